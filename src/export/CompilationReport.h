#pragma once
// The compilation report: a Word document of the whole chain from a rain gauge's record (or
// a table of annual maxima) to the storm-intensity formula and a design storm made with it.
// Made from the built-in template "CompileReport" like the calculation book: the template
// holds the headings, the method's fixed text and the pieces (paragraph, table, picture)
// that the report fills with the figures of one compilation.
#include "CalcBook.h"

#include "core/AnnualMaxima.h"
#include "core/FormulaCompilation.h"
#include "core/Storm.h"
#include "settings/Options.h"

#include <QSize>
#include <QString>
#include <functional>

// The return period of the report's design storm.
constexpr double ReportStormPeriod = 2;

struct CompilationReportInput {
    QString source;                  // the record's (or the maxima table's) file name
    RecordMaxima maxima;             // the years used and left out, and the step (0 for a table)
    bool fromRecord = true;          // false: a table of annual maxima, without coverage or r
    Distribution distribution = Distribution::P3;
    double csCv = DefaultCsCv;
    FormulaCompilation compiled;
    Storm storm;                     // CompilationStorm of the compilation
    TOptions options;                // the unit, time format and precision of the storm's table
};

// The report's design storm: the fitted formula as written, P = ReportStormPeriod, r from the
// record rounded as the formula's coefficients (or `base`'s r when the years carry none),
// duration and step of `base`. Throws TavrelError when the storm cannot be made.
Storm CompilationStorm(const FormulaCompilation &compiled, TExpressionObject base, const TOptions &options);

// Writes the frequency curve of duration `durationIndex` (into MaximaDurations) as a PNG
// file of CompilationFrequencyPictureSize pixels.
using FrequencyPictureWriter = std::function<void(size_t durationIndex, const QString &pngPath)>;
inline constexpr QSize CompilationFrequencyPictureSize{720, 540};

struct CompilationReportPictures {
    FrequencyPictureWriter frequency;
    ChartPictureWriter storm;        // at the calculation book's picture size
};

// Writes the report to `path` exactly. Work folders are made in `tempFolder`. TargetBusy: the
// file could not be replaced and is as it was; any other failure, a picture's included,
// throws, leaves the target untouched and removes the work folder.
PackagePlacement WriteCompilationReport(const QString &path, const CompilationReportInput &input,
                                        const CompilationReportPictures &pictures, const QString &tempFolder);
