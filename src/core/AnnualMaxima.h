#pragma once
// Each year's largest depths over the standard durations (the annual-maximum series), and
// the design storm's peak ratio read from the same record.
#include "RainRecord.h"

#include <QString>
#include <array>
#include <vector>

inline constexpr std::array<int, 11> MaximaDurations{5, 10, 15, 20, 30, 45, 60, 90, 120, 150, 180};
inline constexpr std::array<int, 6> PeakRatioDurations{30, 60, 90, 120, 150, 180};
// Fewer years give no frequency curve; the design code asks for twenty.
constexpr int MinimumYears = 10;
constexpr int CodeYears = 20;

struct YearMaxima {
    int year = 0;
    double coverage = 1;                             // share of intervals with a value
    std::array<double, MaximaDurations.size()> depth{};   // mm, per duration
    // The year's r_t: where the heaviest interval lies in its largest window of each
    // PeakRatioDurations (NaN for a table of maxima, which holds none).
    std::array<double, PeakRatioDurations.size()> ratio{};
};

struct PeakRatio {
    std::array<double, PeakRatioDurations.size()> perDuration{};   // r_t, mean over the years
    double r = 0;                                                  // weighted by t
};

struct RecordMaxima {
    int step = 0;
    std::vector<YearMaxima> years;       // the years used
    std::vector<YearMaxima> leftOut;     // below the coverage asked for (depths not computed)
    PeakRatio ratio;
};

// r_t as the mean over the years and r = sum(t r_t) / sum(t); the years must carry ratios.
PeakRatio MeanPeakRatio(const std::vector<YearMaxima> &years);

// Throws TavrelError when `years` is fewer than MinimumYears.
void CheckYearCount(size_t years);

// Windows slide by one step and never reach across New Year. Throws TavrelError when
// fewer than MinimumYears years are left.
RecordMaxima ComputeAnnualMaxima(const RainRecord &record, double minCoverage);

// The table "年份,5,10,...,180", one row per year, mm to three decimals, CR LF lines.
QString MaximaTableText(const std::vector<YearMaxima> &years);
// Reads such a table (UTF-8 or GBK text); throws TavrelError naming the line.
std::vector<YearMaxima> ParseMaximaTable(const QString &text);
// The same from a file.
std::vector<YearMaxima> ReadMaximaTable(const QString &path);
// Whether the file's first line is such a table's heading (a record's is a time stamp or
// a heading of its own); false when it cannot be read.
bool IsMaximaTableFile(const QString &path);
