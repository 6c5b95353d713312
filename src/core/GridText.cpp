#include "GridText.h"
#include "Numbers.h"
#include "TimeLabel.h"

#include <algorithm>
#include <string>

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
    RemakeGridTexts(texts, points, format);
    return texts;
}

void RemakeGridTexts(GridTexts &texts, const std::vector<HyetographPoint> &points, const GridFormat &format)
{
    texts.heading = GridHeading(format.StormUnit);
    texts.rows.clear();   // keeps its room, and lets go of the old characters
    QString &block = texts.storage;
    block.resize(0);      // keeps its room too, unless a cell of the old table is still held
    if (points.empty())
        return;

    // Every cell's characters go into one block, each cell ended by a null as every
    // string's are, and the cells share the block: a long storm's table costs one
    // allocation rather than one per cell. Each cell holds its own reference on the block,
    // so a cell copied out of the table keeps its text, and a cell that is changed gets a
    // copy of its own first.
    char cell[std::max(TimeLabelRoom, FixedTextRoom)];
    const auto rowLength = [&](const HyetographPoint &p) {
        return WriteTimeLabel(p.minute, format.TimeFormat, cell) + WriteFixedText(p.intensity, format.Precision, cell)
            + WriteFixedText(p.cumulative, format.Precision, cell);
    };
    // The first and last rows bound the widths well (the peak may add a digit or two).
    const qsizetype guess = std::max(rowLength(points.front()), rowLength(points.back())) + 3 + 4;
    block.reserve(guess * static_cast<qsizetype>(points.size()));
    const auto append = [&](int length) {
        block.append(QLatin1StringView(cell, length));
        block.append(QChar(0));
    };
    for (const HyetographPoint &p : points) {
        append(WriteTimeLabel(p.minute, format.TimeFormat, cell));
        append(WriteFixedText(p.intensity, format.Precision, cell));
        append(WriteFixedText(p.cumulative, format.Precision, cell));
    }

    QStringPrivate &shared = block.data_ptr();
    char16_t *at = shared.data();
    texts.rows.resize(points.size());
    for (GridRow &row : texts.rows) {
        for (QString &text : row) {
            const auto length = static_cast<qsizetype>(std::char_traits<char16_t>::length(at));
            if (length > 0) {
                QStringPrivate part(shared.d_ptr(), at, length);
                part.ref();
                text = QString(std::move(part));
            }
            at += length + 1;
        }
    }
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
