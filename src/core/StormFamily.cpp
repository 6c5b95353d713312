#include "StormFamily.h"
#include "Failure.h"
#include "Numbers.h"
#include "Storm.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

QString FamilyMemberName(FamilyBy by, double value)
{
    return by == FamilyBy::ReturnPeriod ? QStringLiteral("P=%1年").arg(FormatGeneral(value))
                                        : QStringLiteral("r=%1").arg(FormatGeneral(value));
}

FamilyValues ParseFamilyValues(FamilyBy by, const QString &text)
{
    static const QRegularExpression separators(QStringLiteral("[,，;；\\s]+"));
    FamilyValues parsed;
    for (const QString &item : text.split(separators, Qt::SkipEmptyParts)) {
        double value = 0;
        if (TryParseNumber(item, value))
            parsed.values.push_back(value);
        else
            parsed.problems.append(QStringLiteral("“%1”不是有效的%2，已略去")
                                       .arg(item, by == FamilyBy::ReturnPeriod ? QStringLiteral("重现期")
                                                                               : QStringLiteral("峰值比例")));
    }
    return parsed;
}

FamilyValues FamilyValuesOf(FamilyBy by, const std::vector<double> &chosen, double current)
{
    FamilyValues kept;
    QSet<QString> seen, chosenNames;
    // The current storm is always compared: it is the one the chart draws in full.
    std::vector<double> candidates{current};
    candidates.insert(candidates.end(), chosen.begin(), chosen.end());
    for (size_t k = 0; k < candidates.size(); ++k) {
        const double value = candidates[k];
        const QString name = FamilyMemberName(by, value);
        if (by == FamilyBy::ReturnPeriod && !(value > 0)) {
            kept.problems.append(QStringLiteral("%1：重现期必须大于0，已略去").arg(name));
            continue;
        }
        // As the new-storm dialog takes it: the peak inside the storm, not at either end.
        if (by == FamilyBy::PeakRatio && !(value > 0 && value < 1)) {
            kept.problems.append(QStringLiteral("%1：峰值比例只能取值(0~1)之间，已略去").arg(name));
            continue;
        }
        // Values that print alike are one storm (the same name in every file). Choosing
        // the current storm's own value is no repetition.
        if (k > 0 && chosenNames.contains(name)) {
            kept.problems.append(QStringLiteral("%1重复，只对比一次").arg(name));
            continue;
        }
        if (k > 0)
            chosenNames.insert(name);
        if (seen.contains(name))
            continue;
        seen.insert(name);
        kept.values.push_back(value);
    }
    if (kept.values.size() > MaxFamilyStorms) {
        QStringList dropped;
        for (size_t k = MaxFamilyStorms; k < kept.values.size(); ++k)
            dropped.append(FamilyMemberName(by, kept.values[k]));
        kept.problems.append(QStringLiteral("最多对比%1场暴雨，%2未列入").arg(MaxFamilyStorms).arg(dropped.join(QStringLiteral("、"))));
        kept.values.resize(MaxFamilyStorms);
    }
    std::sort(kept.values.begin(), kept.values.end());
    return kept;
}

QString AcceptedFamilyValues(FamilyBy by, const QString &text, double current)
{
    const FamilyValues typed = ParseFamilyValues(by, text);
    QSet<QString> kept;
    for (double value : FamilyValuesOf(by, typed.values, current).values)
        kept.insert(FormatGeneral(value));
    QStringList accepted;
    for (double value : typed.values) {
        const QString name = FormatGeneral(value);
        if (kept.contains(name) && !accepted.contains(name))
            accepted.append(name);
    }
    return accepted.join(QLatin1Char(','));
}

StormFamily ComputeStormFamily(const TExpressionObject &model, FamilyBy by, const std::vector<double> &chosen,
                               const ComputeSettings &settings, const GridFormat &format)
{
    const double current = by == FamilyBy::ReturnPeriod ? model.Storm_RepeatYear : model.Storm_Percent;
    FamilyValues values = FamilyValuesOf(by, chosen, current);
    StormFamily family;
    family.by = by;
    family.problems = std::move(values.problems);
    family.members.reserve(values.values.size());
    for (double value : values.values) {
        FamilyMember member;
        member.value = value;
        member.name = FamilyMemberName(by, value);
        member.model = model;
        (by == FamilyBy::ReturnPeriod ? member.model.Storm_RepeatYear : member.model.Storm_Percent) = value;
        member.current = member.name == FamilyMemberName(by, current);
        Storm storm = ComputeStorm(member.model, settings);
        if (!storm.ok) {
            family.problems.append(QStringLiteral("%1：%2").arg(member.name, storm.message));
            continue;
        }
        member.model = storm.model;
        member.points = std::move(storm.points);
        member.grid = GridTable(member.points, format);
        member.peak = storm.largestIntensity;
        family.largestIntensity = std::max(family.largestIntensity, member.peak);
        family.largestCumulative = std::max(family.largestCumulative, storm.largestCumulative);
        family.members.push_back(std::move(member));
    }
    return family;
}

SideBySideTable SideBySideOf(const StormFamily &family)
{
    SideBySideTable table;
    const auto &members = family.members;
    const size_t n = members.size();
    if (n == 0)
        return table;
    table.heading.append(members.front().grid.heading()[0]);
    for (const FamilyMember &m : members)
        table.heading.append(m.name + QLatin1Char(' ') + m.grid.heading()[1]);
    for (const FamilyMember &m : members)
        table.heading.append(m.name + QLatin1Char(' ') + m.grid.heading()[2]);

    // A merge of the storms' rows by minute; storms of one family share their minutes,
    // so every row then takes one row of each storm.
    std::vector<size_t> next(n, 0);
    size_t longest = 0;
    for (const FamilyMember &m : members)
        longest = std::max(longest, m.points.size());
    table.rows.reserve(longest);
    for (;;) {
        double minute = 0;
        bool any = false;
        for (size_t s = 0; s < n; ++s) {
            if (next[s] < members[s].points.size() && (!any || members[s].points[next[s]].minute < minute)) {
                minute = members[s].points[next[s]].minute;
                any = true;
            }
        }
        if (!any)
            break;
        QStringList row;
        row.reserve(static_cast<qsizetype>(2 * n + 1));
        row.append(QString());
        for (size_t s = 0; s < n; ++s)
            row.append(QString());
        for (size_t s = 0; s < n; ++s)
            row.append(QString());
        for (size_t s = 0; s < n; ++s) {
            if (next[s] < members[s].points.size() && members[s].points[next[s]].minute == minute) {
                const GridRow cells = members[s].grid.row(next[s]);
                row[0] = cells[0];
                row[static_cast<qsizetype>(1 + s)] = cells[1];
                row[static_cast<qsizetype>(1 + n + s)] = cells[2];
                ++next[s];
            }
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

QString TabSeparatedText(const QStringList &heading, const std::vector<QStringList> &rows)
{
    QString text = heading.join(QLatin1Char('\t')) + QLatin1Char('\n');
    text.reserve(text.size() * static_cast<qsizetype>(rows.size() + 1));
    for (const QStringList &row : rows)
        text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    return text;
}

QString FamilySummaryHeading(FamilyBy by, int stormUnit)
{
    const QString unit = stormUnit == 0 ? QStringLiteral("mm/h") : QStringLiteral("mm/min");
    const QString first = by == FamilyBy::ReturnPeriod ? QStringLiteral("重现期P(年)") : QStringLiteral("峰值比例r");
    return QStringLiteral("%1,降雨总量H(mm),峰值雨强(%2),平均雨强(%2)").arg(first, unit);
}

QString FamilySummaryLine(FamilyBy by, const TExpressionObject &model, double peak, int decimals)
{
    const double value = by == FamilyBy::ReturnPeriod ? model.Storm_RepeatYear : model.Storm_Percent;
    return QStringList{FormatGeneral(value), FormatFixed(model.Strom_Overall_Rainfall, decimals),
                       FormatFixed(peak, decimals), FormatFixed(model.Strom_Average_Rainfall_Intensity, decimals)}
        .join(QLatin1Char(','));
}
