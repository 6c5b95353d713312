#include "GridText.h"
#include "Numbers.h"
#include "TimeLabel.h"

GridRow GridHeading(int stormUnit)
{
    QString unit;
    if (stormUnit == 0)
        unit = QStringLiteral("降雨强度mm/h");
    else if (stormUnit == 1)
        unit = QStringLiteral("降雨强度mm/min");
    return {QStringLiteral("时间"), unit, QStringLiteral("降雨总量mm")};
}

GridTexts MakeGridTexts(const std::vector<HyetographPoint> &points, const GridFormat &format)
{
    GridTexts texts;
    texts.heading = GridHeading(format.StormUnit);
    texts.rows.reserve(points.size());
    for (const HyetographPoint &p : points) {
        texts.rows.push_back({TimeLabel(p.minute, format.TimeFormat), FormatFixed(p.intensity, format.Precision),
                              FormatFixed(p.cumulative, format.Precision)});
    }
    return texts;
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

QString TabSeparatedRows(const GridTexts &texts, const std::vector<size_t> &rows)
{
    auto line = [](const GridRow &row) {
        return row[0] + QLatin1Char('\t') + row[1] + QLatin1Char('\t') + row[2] + QLatin1Char('\n');
    };
    QString text = line(texts.heading);
    text.reserve(text.size() * static_cast<qsizetype>(rows.size() + 1));
    for (size_t row : rows) {
        if (row < texts.rows.size())
            text += line(texts.rows[row]);
    }
    return text;
}
