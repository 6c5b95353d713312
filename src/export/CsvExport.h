#pragma once
// The table as comma-separated text: a header naming the units, then the table's cells as
// they stand, so the file carries exactly the time format, unit and decimals on screen.
#include "core/GridText.h"
#include "core/StormModel.h"
#include <QByteArray>
#include <QString>
#include <QStringList>

inline const QString CsvExtension = QStringLiteral(".csv");

// The name the save dialog proposes: "芝加哥雨型计算数据P=2年 t=120分 r=0.4.csv".
QString CsvProposedFileName(const TExpressionObject &model);

// The header line for the settings (TimeFormat 0: hours:minutes, 1: minutes; StormUnit
// 0: mm/h, 1: mm/min), then one line per table row. The table's own heading row is not
// part of the file.
QStringList CsvLines(const GridTable &grid, int timeFormat, int stormUnit);

// The file's bytes: GBK, no byte-order mark, CR LF after every line, the last included.
QByteArray CsvFileBytes(const GridTable &grid, int timeFormat, int stormUnit);

// Writes the file at `path` exactly (the caller forces the extension first, with
// ReplaceExtension(path, CsvExtension)). The bytes go to a temporary file that is then
// renamed into place, so a failed write leaves an existing file whole; the failure is
// thrown as TavrelError ("Cannot create file "<path>". <reason>").
void WriteCsvFile(const QString &path, const GridTable &grid, int timeFormat, int stormUnit);
