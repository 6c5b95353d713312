#include "GridText.h"
#include "Numbers.h"
#include "TimeLabel.h"

#include <algorithm>

GridRow GridHeading(int stormUnit)
{
    QString unit;
    if (stormUnit == 0)
        unit = QStringLiteral("降雨强度mm/h");
    else if (stormUnit == 1)
        unit = QStringLiteral("降雨强度mm/min");
    return {QStringLiteral("时间"), unit, QStringLiteral("降雨总量mm")};
}

GridRow FormatGridRow(const HyetographPoint &point, const GridFormat &format)
{
    char cell[std::max(TimeLabelRoom, FixedTextRoom)];
    const auto text = [&](int length) { return QString::fromLatin1(cell, length); };
    return {text(WriteTimeLabel(point.minute, format.TimeFormat, cell)),
            text(WriteFixedText(point.intensity, format.Precision, cell)),
            text(WriteFixedText(point.cumulative, format.Precision, cell))};
}

GridTable::GridTable(std::vector<HyetographPoint> points, const GridFormat &format)
    : points_(std::make_shared<const std::vector<HyetographPoint>>(std::move(points))), format_(format)
{
}

QString GridTable::timeLabel(size_t index) const
{
    char cell[TimeLabelRoom];
    return QString::fromLatin1(cell, WriteTimeLabel((*points_)[index].minute, format_.TimeFormat, cell));
}

QString CsvHeaderLine(int timeFormat, int stormUnit)
{
    const QString time = timeFormat == 0 ? QStringLiteral("时间(H:M),") : QStringLiteral("时间(min),");
    const QString values = stormUnit == 0 ? QStringLiteral("降雨强度(mm/h),降雨总量(mm)")
                                          : QStringLiteral("降雨强度(mm/min),降雨总量(mm)");
    return time + values;
}

QString CsvDataLine(const GridRow &row)
{
    return row[0] + QLatin1Char(',') + row[1] + QLatin1Char(',') + row[2];
}

QString TabSeparatedRows(const GridTable &table, const std::vector<size_t> &rows)
{
    auto line = [](const GridRow &row) {
        return row[0] + QLatin1Char('\t') + row[1] + QLatin1Char('\t') + row[2] + QLatin1Char('\n');
    };
    QString text = line(table.heading());
    text.reserve(text.size() * static_cast<qsizetype>(rows.size() + 1));
    for (size_t row : rows) {
        if (row < table.size())
            text += line(table.row(row));
    }
    return text;
}
