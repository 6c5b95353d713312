#pragma once
// Compiling a storm-intensity formula from annual maxima: a frequency curve per duration,
// the i-t-P table read off the curves, the formula fitted to that table, and the peak ratio
// of the years that carry one. The command line and the window both go through here.
#include "AnnualMaxima.h"
#include "FrequencyAnalysis.h"
#include "IdfFit.h"
#include "IdfTable.h"

#include <vector>

struct FormulaCompilation {
    std::vector<int> durations;            // MaximaDurations
    std::vector<FrequencyCurve> curves;    // one per duration
    QString tableText;                     // the i-t-P table as written (mm/min)
    IdfTable table;                        // that text as the fit reads it
    IdfFitResult fit;                      // the formula fitted to the table as written
    bool hasRatio = false;                 // the years came from a record, not a table
    PeakRatio ratio;
};

// Throws TavrelError naming the duration whose sample carries no curve, or the fit's reason.
FormulaCompilation CompileFormula(const std::vector<YearMaxima> &years, Distribution distribution,
                                  double csCv, double qiRatio);
