#pragma once
// The storm as an EPA SWMM rainfall time series file: ";;" comment lines, then one
// "time value" line per step, the time as hours:minutes since the start of the storm
// and the value an intensity in mm/h. SWMM reads such a file as a
// time series whose times count from the start of the simulation.
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
    QString value;      // intensity in mm/h, `Precision` decimals
};

// The series SWMM gets. SWMM holds each value of an intensity series for the gauge's
// whole recording interval, the step, so a sample of every step-th minute would give it
// another storm: less rain, and a peak that falls between samples. So there is one entry
// for each interval of minutes k·s … k·s + s − 1 (s the step, k = 0, 1, …) that holds a
// minute of the storm, at time k·s, and its value is the rain of those minutes divided by
// s: the interval's mean intensity in mm/h. Every gap is then a multiple of s, the values
// held for s minutes add up to the storm's total, and the heaviest interval is kept. At a
// step of 1 the values are the table's intensities in mm/h. Times are the minutes
// themselves (never the b = 0 rule's shifted labels), as elapsed hours:minutes that count
// on past 24 hours. The minutes are computed in mm/h with `calcByShow` and `precision`
// as the table's are. Throws TavrelError for a step below 1, a failed computation or a
// value longer than SwmmMaxValueLength.
std::vector<SwmmEntry> SwmmSeries(const TExpressionObject &model, bool calcByShow, int precision);

// The file's lines: the two comment lines, at a step above 1 a third saying what the
// values are, then "time value" per entry, the time padded to SwmmTimeFieldWidth.
QStringList SwmmLines(const TExpressionObject &model, bool calcByShow, int precision);

// The file's bytes: GBK, no byte-order mark, CR LF after every line, the last included.
QByteArray SwmmFileBytes(const TExpressionObject &model, bool calcByShow, int precision);

// Writes the file at `path` exactly (the caller forces the extension first, with
// ReplaceExtension(path, SwmmExtension)). Everything is checked before the disk is
// touched; the bytes go to a temporary file that is renamed into place, so a refused
// series or a failed write leaves an existing file whole. Throws TavrelError.
void WriteSwmmFile(const QString &path, const TExpressionObject &model, bool calcByShow, int precision);
