#include "IdfTable.h"
#include "Failure.h"
#include "Numbers.h"
#include "TextFile.h"

#include <QStringList>
#include <algorithm>

namespace {

// A table is a few kilobytes; anything this large is some other file chosen by mistake.
constexpr qint64 MaxTableFileBytes = 1024 * 1024;

struct Line {
    int number = 0;         // line of the text, from 1
    QStringList cells;
};

QString Unquoted(QString cell)
{
    cell = cell.trimmed();
    if (cell.size() >= 2 && cell.startsWith(QLatin1Char('"')) && cell.endsWith(QLatin1Char('"')))
        cell = cell.mid(1, cell.size() - 2).replace(QStringLiteral("\"\""), QStringLiteral("\"")).trimmed();
    return cell;
}

bool AllEmpty(const QStringList &cells)
{
    for (const QString &cell : cells)
        if (!cell.isEmpty())
            return false;
    return true;
}

// Spreadsheets paste tab-separated cells; a CSV file has commas. A tab anywhere decides.
std::vector<Line> SplitTable(const QString &text)
{
    const QChar separator = text.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(',');
    std::vector<Line> lines;
    const QStringList raw = SplitLines(text);
    for (qsizetype i = 0; i < raw.size(); ++i) {
        Line line{int(i + 1), {}};
        for (const QString &cell : raw[i].split(separator))
            line.cells.append(Unquoted(cell));
        // Blank lines and lines of empty cells (a spreadsheet's spare rows) are no rows.
        if (!AllEmpty(line.cells))
            lines.push_back(std::move(line));
    }
    return lines;
}

QString Where(const Line &line, qsizetype column)
{
    return QStringLiteral("第%1行第%2列").arg(line.number).arg(column + 1);
}

double PositiveNumber(const Line &line, qsizetype column, const QString &what)
{
    const QString &text = line.cells[column];
    double value = 0;
    if (text.isEmpty())
        throw TavrelError(QStringLiteral("%1缺少%2").arg(Where(line, column), what));
    if (!TryParseNumber(text, value))
        throw TavrelError(QStringLiteral("%1的%2“%3”不是数字").arg(Where(line, column), what, text));
    if (value <= 0)
        throw TavrelError(QStringLiteral("%1的%2%3不是正数").arg(Where(line, column), what, text));
    return value;
}

double ToMmPerMin(double value, IdfUnit unit, double qiRatio)
{
    switch (unit) {
    case IdfUnit::MmPerMin:
        return value;
    case IdfUnit::MmPerHour:
        return value / 60;
    case IdfUnit::LitrePerSecondHectare:
        // The settings' rule: a ratio below 166 marks the exact conversion, i = q * 0.006.
        return CompareValue(qiRatio, 166) < 0 ? value * 0.006 : CheckedDiv(value, qiRatio);
    }
    return value;
}

// The largest value of a design table is the intensity of its shortest, rarest storm, and
// the tables this program takes run from minutes to a few hours. Published ones put that
// value between about 0.5 mm/min (a dry city's) and 5 mm/min (a wet coast's 100-year
// rain); the world's greatest short falls stay under 10 mm/min (600 mm/h), and a rarest
// short storm under 0.2 mm/min (12 mm/h) is no storm at all. A unit chosen by mistake
// moves every number by 60 (mm/min against mm/h) or about 167 (mm/min against
// L/(s*hm2)), so it lands outside this band: a mm/min table read as mm/h tops out near
// 0.08, a mm/h table read as mm/min starts near 60.
constexpr double PlausibleLargestLow = 0.2;      // mm/min
constexpr double PlausibleLargestHigh = 10;      // mm/min

} // namespace

QString IdfUnitName(IdfUnit unit)
{
    switch (unit) {
    case IdfUnit::MmPerMin:
        return QStringLiteral("mm/min");
    case IdfUnit::MmPerHour:
        return QStringLiteral("mm/h");
    case IdfUnit::LitrePerSecondHectare:
        break;
    }
    return QStringLiteral("L/(s·hm²)");
}

QString ImplausibleUnitWarning(const IdfTable &table, IdfUnit unit)
{
    double largest = 0;
    for (const IdfCell &cell : table.cells)
        largest = std::max(largest, cell.intensity);
    const auto plausible = [](double i) { return i >= PlausibleLargestLow && i <= PlausibleLargestHigh; };
    if (table.cells.empty() || plausible(largest))
        return {};
    // The table's own number, back from mm/min; the flow unit is judged by the usual 167.
    const auto perMmPerMin = [](IdfUnit u) {
        return u == IdfUnit::MmPerMin ? 1.0 : u == IdfUnit::MmPerHour ? 60.0 : 167.0;
    };
    const double written = largest * perMmPerMin(unit);
    QStringList likely;
    for (IdfUnit other : {IdfUnit::MmPerMin, IdfUnit::MmPerHour, IdfUnit::LitrePerSecondHectare})
        if (other != unit && plausible(written / perMmPerMin(other)))
            likely << IdfUnitName(other);
    QString found = QStringLiteral("表中最大雨强%1 %2").arg(FormatGeneral(DisplayRound(4, written)), IdfUnitName(unit));
    if (unit != IdfUnit::MmPerMin)
        found += QStringLiteral("（合%1 mm/min）").arg(FormatGeneral(DisplayRound(4, largest)));
    found += QStringLiteral("，不像暴雨强度表的数值");
    if (likely.isEmpty())
        return found + QStringLiteral("，请检查表中的数值和单位");
    return found + QStringLiteral("，单位可能是%1").arg(likely.join(QStringLiteral("或")));
}

IdfTable ParseIdfTable(const QString &text, IdfUnit unit, double qiRatio)
{
    std::vector<Line> lines = SplitTable(text);
    if (lines.size() < 2)
        throw TavrelError(QStringLiteral("表格至少要有一行重现期（第一行）和一行数据"));

    // The return periods of the first line set the width; empty cells beyond it (a
    // selection wider than the table) are dropped.
    const Line &header = lines.front();
    qsizetype width = header.cells.size();
    while (width > 0 && header.cells[width - 1].isEmpty())
        --width;
    for (Line &line : lines) {
        if (line.cells.size() < width)
            throw TavrelError(QStringLiteral("第%1行只有%2列，而第%3行（重现期）有%4列，表格不是矩形")
                                  .arg(line.number).arg(line.cells.size()).arg(header.number).arg(width));
        qsizetype used = line.cells.size();
        while (used > width && line.cells[used - 1].isEmpty())
            --used;
        if (used > width)
            throw TavrelError(QStringLiteral("%1在第%2行的重现期之外，表格不是矩形").arg(Where(line, used - 1)).arg(header.number));
        line.cells = line.cells.mid(0, width);
    }
    if (width < 2)
        throw TavrelError(QStringLiteral("表格至少要有一列历时（第一列）和一列数据"));

    IdfTable table;
    for (qsizetype c = 1; c < width; ++c) {
        const double P = PositiveNumber(header, c, QStringLiteral("重现期"));
        for (qsizetype k = 0; k < qsizetype(table.periods.size()); ++k)
            if (CompareValue(table.periods[k], P) == 0)
                throw TavrelError(QStringLiteral("%1的重现期%2与第%3列重复").arg(Where(header, c), header.cells[c]).arg(k + 2));
        table.periods.push_back(P);
    }
    std::vector<int> durationLines;
    for (size_t r = 1; r < lines.size(); ++r) {
        const Line &line = lines[r];
        const double t = PositiveNumber(line, 0, QStringLiteral("历时"));
        for (size_t k = 0; k < table.durations.size(); ++k)
            if (CompareValue(table.durations[k], t) == 0)
                throw TavrelError(QStringLiteral("%1的历时%2与第%3行重复").arg(Where(line, 0), line.cells[0]).arg(durationLines[k]));
        table.durations.push_back(t);
        durationLines.push_back(line.number);
        for (qsizetype c = 1; c < width; ++c) {
            if (line.cells[c].isEmpty())
                continue;
            const double value = PositiveNumber(line, c, QStringLiteral("雨强"));
            const double i = CheckedFinite(ToMmPerMin(value, unit, qiRatio));
            // A value at the very bottom of the float range converts to nothing.
            if (!(i > 0))
                throw TavrelError(QStringLiteral("%1的雨强%2太小，换算后为0").arg(Where(line, c), line.cells[c]));
            table.cells.push_back({int(r - 1), int(c - 1), i, line.cells[c]});
        }
    }
    return table;
}

QString ReadIdfTableText(const QString &path)
{
    return DecodeText(ReadWholeFile(path, MaxTableFileBytes));
}

IdfTable ReadIdfTableFile(const QString &path, IdfUnit unit, double qiRatio)
{
    return ParseIdfTable(ReadIdfTableText(path), unit, qiRatio);
}
