#pragma once
// Storms as a piece of an EPA SWMM input (.inp) file, to be pasted into a modeller's own
// model: a [TIMESERIES] section holding every storm's series inline and a [RAINGAGES]
// section with one rain gauge per series. The series are the .dat file's lines (same
// times, same values, same checks); the gauge reads them as intensities (mm/h) recorded
// once per computation step.
//
// The text is plain ASCII, so it reads the same in a model file of any encoding.
#include "SwmmExport.h"

#include "core/Hyetograph.h"
#include "core/StormModel.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

inline const QString SwmmInputExtension = QStringLiteral(".inp");

// SWMM object names built from P, T and r: "CHI_P2_T120_R0.4" for the series and
// "RG_P2_T120_R0.4" for its gauge. The numbers are general number texts, so a name never
// holds a space, a ";" or a quotation mark, which SWMM would read as the end of the name.
QString SwmmSeriesName(const TExpressionObject &model);
QString SwmmGaugeName(const TExpressionObject &model);

// One storm's part of the section, checked and ready to be written.
struct SwmmInputSeries {
    QString seriesName;
    QString gaugeName;
    QString interval;       // the step as elapsed hours:minutes, "00:05"
    QString description;    // "P=2 T=120 r=0.4 step 5 min"
    std::vector<SwmmEntry> entries;
};

// One storm's series for SWMM (SwmmSeries: one mean intensity per step, so every gap is a
// multiple of the step and the gauge records once per step, as SWMM requires of a gauge
// whose interval may not exceed its series' shortest gap). Throws TavrelError naming the
// storm.
SwmmInputSeries MakeSwmmInputSeries(const TExpressionObject &model, bool calcByShow, int precision);

// The section text, one line per element: [TIMESERIES] with a comment line and the entries
// of each storm, a blank line, then [RAINGAGES] with one gauge per storm. Throws
// TavrelError when two storms would get the same name (SWMM names ignore letter case).
QStringList SwmmInputLines(const std::vector<SwmmInputSeries> &storms);

// The bytes (ASCII, CR LF after every line) and the file, written through a temporary
// file that is renamed into place. Throw TavrelError.
QByteArray SwmmInputFileBytes(const std::vector<SwmmInputSeries> &storms);
void WriteSwmmInputFile(const QString &path, const std::vector<SwmmInputSeries> &storms);
