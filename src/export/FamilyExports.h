#pragma once
// The files of a family of storms: one SWMM input-file section with every storm, the
// side-by-side table as CSV, and the summary of totals, peaks and averages as CSV.
#include "core/StormFamily.h"
#include "core/StormModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// The SWMM section (.inp) with every storm's [TIMESERIES] and [RAINGAGES]. A storm SWMM
// refuses is left out and its message returned; the others are written. Nothing is
// written when every storm is refused. Throws TavrelError when the file cannot be written.
QStringList WriteSwmmInputFamily(const std::vector<TExpressionObject> &storms, bool calcByShow, int precision,
                                 const QString &path);

// The name the save dialogs propose for a family's file: "芝加哥雨型对比T=120分 r=0.4"
// (return periods) or "芝加哥雨型对比P=2年 T=120分" (peak ratios), then `extension`.
QString FamilyProposedFileName(const TExpressionObject &model, FamilyBy by, const QString &extension);

// The side-by-side table as CSV lines: the CSV export's header words with each storm's
// name before its columns, then the table's cells as they stand.
QStringList FamilyCsvLines(const SideBySideTable &table, const StormFamily &family, int timeFormat, int stormUnit);

// The summary lines: heading, then one line per storm.
QStringList FamilySummaryLines(const StormFamily &family, int stormUnit, int decimals);

// Writes such lines as the CSV export writes its file (GBK, CR LF, through a temporary
// file renamed into place). Throws TavrelError.
void WriteFamilyCsvFile(const QString &path, const QStringList &lines);
