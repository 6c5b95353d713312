#pragma once
// The storm as an EPA SWMM rainfall time series file: two ";;" comment lines, then one
// "time value" line per table row, the time as hours:minutes since the start of the storm
// and the value the intensity in mm/h as the table shows it. SWMM reads such a file as a
// time series whose times count from the start of the simulation.
#include "core/GridText.h"
#include "core/Hyetograph.h"
#include "core/StormModel.h"
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

inline const QString SwmmExtension = QStringLiteral(".dat");

// The name the save dialog proposes: "芝加哥雨型计算数据P=2年 t=120分 r=0.4.dat".
QString SwmmProposedFileName(const TExpressionObject &model);

// SWMM wants hours:minutes and mm/h. When the settings say otherwise the window switches
// both to 0 and redraws before the export, and then tells the user with this message.
bool SwmmNeedsSwitch(int timeFormat, int stormUnit);
extern const QString SwmmSwitchMessage;

// Width of the time field; shorter times are padded with spaces, longer ones kept whole.
constexpr int SwmmTimeFieldWidth = 16;

// SWMM reads each field of a time series line into a 50-byte buffer without a bound, so a
// longer value (only with some 45 or more decimals) would overrun it; such a series is
// refused with a message asking for fewer decimals.
constexpr int SwmmMaxValueLength = 49;

// One line of the series as SWMM reads it: the elapsed time and the value text.
struct SwmmEntry {
    QString time;       // "00:05", "24:00", "100:00"
    QString value;      // the table's intensity text, mm/h
};

// The series with every check below applied (times strictly increasing, values short
// enough, table and rows of equal length); both the .dat file and the input-file section
// are made from it. Throws TavrelError.
std::vector<SwmmEntry> SwmmSeries(const GridTexts &grid, const std::vector<HyetographPoint> &points);

// The file's lines. `grid` must have been made with TimeFormat 0 and StormUnit 0, and
// `points` are the rows it was made from (one per table row, same order): the value is
// the table's intensity text, the time is the elapsed hours:minutes of the point's
// minute. Below 24 hours that is the table's own text; from there on the table's clock
// restarts at 00:00 while the file counts on (24:00, 25:00 ...), since SWMM refuses a
// series that runs backwards. For the same reason a series whose times do not strictly
// increase (two rows labelled with the same minute) is refused: throws TavrelError
// naming the repeated time. Also throws when grid and points differ in length or a value
// is longer than SwmmMaxValueLength.
QStringList SwmmLines(const GridTexts &grid, const std::vector<HyetographPoint> &points);

// The file's bytes: GBK, no byte-order mark, CR LF after every line, the last included.
QByteArray SwmmFileBytes(const GridTexts &grid, const std::vector<HyetographPoint> &points);

// Writes the file at `path` exactly (the caller forces the extension first, with
// ReplaceExtension(path, SwmmExtension)). Everything is checked before the disk is
// touched; the bytes go to a temporary file that is renamed into place, so a refused
// series or a failed write leaves an existing file whole. Throws TavrelError.
void WriteSwmmFile(const QString &path, const GridTexts &grid, const std::vector<HyetographPoint> &points);
