#pragma once
// The tables of a formula compiled from annual maxima, as texts: the same rows on screen,
// on the clipboard and in a report.
#include "FormulaCompilation.h"

#include <QStringList>
#include <vector>

struct CompilationTable {
    QStringList heading;
    std::vector<QStringList> rows;
};

// Year, then the maxima of each duration (headed by its minutes), mm to three decimals.
CompilationTable MaximaRows(const std::vector<YearMaxima> &years);
// Per duration the curve's parameters: mean, Cv, Cs (Gumbel: u, alpha; exponential: Cv, s).
CompilationTable CurveParameterRows(const FormulaCompilation &compilation);
// The i-t-P table in mm/min to four decimals, durations down, return periods across.
CompilationTable IntensityRows(const FormulaCompilation &compilation);
// r_t per duration and r at the end; no rows when the years carry no peak places.
CompilationTable PeakRatioRows(const FormulaCompilation &compilation);
