#include "FamilyExports.h"
#include "SwmmInputSection.h"

#include "core/Failure.h"
#include "core/GridText.h"
#include "core/Numbers.h"
#include "core/TextFile.h"

QStringList WriteSwmmInputFamily(const std::vector<TExpressionObject> &storms, bool calcByShow, int precision,
                                 const QString &path)
{
    std::vector<SwmmInputSeries> series;
    QStringList leftOut;
    for (const TExpressionObject &storm : storms) {
        try {
            series.push_back(MakeSwmmInputSeries(storm, calcByShow, precision));
        } catch (const TavrelError &e) {
            leftOut.append(e.message());
        }
    }
    if (!series.empty())
        WriteSwmmInputFile(path, series);
    return leftOut;
}

QString FamilyProposedFileName(const TExpressionObject &model, FamilyBy by, const QString &extension)
{
    const QString T = FormatGeneral(model.Storm_Time);
    const QString name = by == FamilyBy::ReturnPeriod
        ? QStringLiteral("芝加哥雨型对比T=%1分 r=%2").arg(T, FormatGeneral(model.Storm_Percent))
        : QStringLiteral("芝加哥雨型对比P=%1年 T=%2分").arg(FormatGeneral(model.Storm_RepeatYear), T);
    return name + extension;
}

QStringList FamilyCsvLines(const SideBySideTable &table, const StormFamily &family, int timeFormat, int stormUnit)
{
    // "时间(min)", "降雨强度(mm/min)", "降雨总量(mm)": the single storm's words.
    const QStringList words = CsvHeaderLine(timeFormat, stormUnit).split(QLatin1Char(','));
    QStringList header{words.value(0)};
    for (const FamilyMember &m : family.members)
        header.append(m.name + QLatin1Char(' ') + words.value(1));
    for (const FamilyMember &m : family.members)
        header.append(m.name + QLatin1Char(' ') + words.value(2));
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(table.rows.size()) + 1);
    lines.append(header.join(QLatin1Char(',')));
    for (const QStringList &row : table.rows)
        lines.append(row.join(QLatin1Char(',')));
    return lines;
}

QStringList FamilySummaryLines(const StormFamily &family, int stormUnit, int decimals)
{
    QStringList lines{FamilySummaryHeading(family.by, stormUnit)};
    for (const FamilyMember &m : family.members)
        lines.append(FamilySummaryLine(family.by, m.model, m.peak, decimals));
    return lines;
}

void WriteFamilyCsvFile(const QString &path, const QStringList &lines)
{
    WriteFileAtomically(path, GbkLines(lines));
}
