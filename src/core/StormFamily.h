#pragma once
// A family of design storms compared with the current one: the same formula, duration
// and step, with several return periods or several peak ratios. The window draws them on
// one chart and side by side in one table; tavrel-cli writes families of return periods.
#include "GridText.h"
#include "Hyetograph.h"
#include "StormModel.h"

#include <QString>
#include <QStringList>
#include <vector>

enum class FamilyBy { ReturnPeriod, PeakRatio };

// More storms than this make neither a readable chart nor a readable table.
constexpr size_t MaxFamilyStorms = 12;

// "P=2年" or "r=0.4": how a storm of the family is named in legends, headings and messages.
QString FamilyMemberName(FamilyBy by, double value);

// Values typed as a list ("1, 2, 5" or "1 2 5", commas of either width); what is not a
// number is named in `problems`.
struct FamilyValues {
    std::vector<double> values;
    QStringList problems;
};
FamilyValues ParseFamilyValues(FamilyBy by, const QString &text);

// The values compared: the current storm's own and the chosen ones, each once, in
// ascending order, at most MaxFamilyStorms. A repeated value, a return period not above
// 0, a peak ratio outside (0, 1), and the values beyond the limit are left out, each
// named in `problems`.
FamilyValues FamilyValuesOf(FamilyBy by, const std::vector<double> &chosen, double current);

// The values of `text` that FamilyValuesOf keeps, in the order typed, as a list to
// remember: what is not a number, out of range, repeated or beyond the limit is dropped.
QString AcceptedFamilyValues(FamilyBy by, const QString &text, double current);

// One storm of the family, computed: its model (with its results), rows and table texts.
struct FamilyMember {
    QString name;
    double value = 0;               // its return period or peak ratio
    bool current = false;           // the storm the window shows
    TExpressionObject model;
    std::vector<HyetographPoint> points;
    GridTable grid;
    double peak = 0;                // the largest intensity of the rows
};

struct StormFamily {
    FamilyBy by = FamilyBy::ReturnPeriod;
    std::vector<FamilyMember> members;  // the storms computed, in ascending order
    QStringList problems;               // one line per value left out or storm failed
    double largestIntensity = 0;
    double largestCumulative = 0;
};

// Computes every storm of the family of `model` (its P or r is the current one). A storm
// whose computation fails is left out and named with its reason; the others are kept.
StormFamily ComputeStormFamily(const TExpressionObject &model, FamilyBy by, const std::vector<double> &chosen,
                               const ComputeSettings &settings, const GridFormat &format);


// The family side by side: the time, then each storm's intensity, then each storm's
// cumulative rainfall, as the storms' own tables show them. Rows are matched by their
// time; where a storm has no row for a time (only when peak ratios of a storm with b = 0
// drop different peak minutes) its cells are empty.
struct SideBySideTable {
    QStringList heading;
    std::vector<QStringList> rows;
};
SideBySideTable SideBySideOf(const StormFamily &family);

// The heading and the rows as tab-separated lines, each ended by "\n", for a spreadsheet.
QString TabSeparatedText(const QStringList &heading, const std::vector<QStringList> &rows);

// The summary: one line per storm with its return period (or peak ratio), total,
// peak intensity and average intensity, comma-separated.
QString FamilySummaryHeading(FamilyBy by, int stormUnit);
QString FamilySummaryLine(FamilyBy by, const TExpressionObject &model, double peak, int decimals);
