#pragma once
// A rain gauge's record: time stamps and the depth that fell in the interval starting at
// each. Read by streaming through the mapped file, holding one small row per line given.
#include <QString>
#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

// One line of the record. 16 bytes, so a 30-year minute record stays within a few
// hundred megabytes even when every interval is listed.
struct RecordRow {
    int32_t minute = 0;   // minutes since 1900-01-01 00:00
    int32_t line = 0;     // line of the file, from 1, for the messages
    double depth = 0;     // mm; NaN: missing
};

struct RecordYear {
    int year = 0;
    int64_t intervals = 0;   // the year's intervals within the record's span
    int64_t missing = 0;     // of them, the ones given without a value
    double coverage() const { return intervals > 0 ? double(intervals - missing) / double(intervals) : 0; }
};

struct RainRecord {
    int step = 0;                   // minutes: 1 or 5
    std::vector<RecordRow> rows;    // in time order, strictly increasing
    std::vector<RecordYear> years;  // every calendar year the span touches
};

// Throws TavrelError "第N行：reason" (or the file's reason) on anything that is not a
// record this program can use: time going backwards or repeated, a stamp off the step's
// grid, a depth that is not a number or negative, a step other than 1 or 5 minutes, an
// empty file, a rain-model file.
//
// `progress`, when given, is told the share of the file read so far about every megabyte;
// when it answers false the reading stops and throws ReadCancelled.
using ReadProgress = std::function<bool(double fraction)>;
struct ReadCancelled : std::exception {
    const char *what() const noexcept override { return "reading cancelled"; }
};
RainRecord ReadRainRecord(const QString &path, const ReadProgress &progress = {});
// The same from bytes in memory (a file's content).
RainRecord ParseRainRecord(const char *data, int64_t size, const ReadProgress &progress = {});

// The calendar of the record's minute count.
int64_t MinuteOfDate(int year, int month, int day, int hour, int minute);
int YearOfMinute(int64_t minute);
