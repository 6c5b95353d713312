#include "AnnualMaxima.h"

#include "Failure.h"
#include "Numbers.h"
#include "TextFile.h"

#include <QFile>
#include <cmath>
#include <limits>

namespace {

// Window sums are differences of running sums and carry rounding of ~1e-13 mm; two
// windows of the same rain must count as tied so the first one is taken.
constexpr double TieTolerance = 1e-9;

} // namespace

void CheckYearCount(size_t years)
{
    if (years < size_t(MinimumYears))
        throw TavrelError(QStringLiteral("只有%1年资料，至少需要%2年 / %1 years; at least %2 are needed")
                              .arg(years)
                              .arg(MinimumYears));
}

RecordMaxima ComputeAnnualMaxima(const RainRecord &record, double minCoverage)
{
    RecordMaxima result;
    result.step = record.step;
    const int step = record.step;
    std::vector<double> depth;   // the year's intervals, dry where the record lists none
    std::vector<double> running;
    size_t row = 0;
    for (const RecordYear &year : record.years) {
        const int64_t begin = MinuteOfDate(year.year, 1, 1, 0, 0);
        const int64_t end = MinuteOfDate(year.year + 1, 1, 1, 0, 0);
        YearMaxima maxima;
        maxima.year = year.year;
        maxima.coverage = year.coverage();
        if (maxima.coverage < minCoverage) {
            while (row < record.rows.size() && record.rows[row].minute < end)
                ++row;
            result.leftOut.push_back(maxima);
            continue;
        }
        const size_t n = size_t((end - begin) / step);
        depth.assign(n, 0);
        for (; row < record.rows.size() && record.rows[row].minute < end; ++row)
            if (!std::isnan(record.rows[row].depth))
                depth[size_t((record.rows[row].minute - begin) / step)] = record.rows[row].depth;
        running.assign(n + 1, 0);
        for (size_t k = 0; k < n; ++k)
            running[k + 1] = running[k] + depth[k];

        // The first largest window of `width` intervals.
        auto largest = [&](size_t width, double &sum) {
            size_t at = 0;
            sum = -1;
            for (size_t k = 0; k + width <= n; ++k) {
                const double s = running[k + width] - running[k];
                if (s > sum + TieTolerance) {
                    sum = s;
                    at = k;
                }
            }
            return at;
        };
        for (size_t d = 0; d < MaximaDurations.size(); ++d) {
            // The window's own sum, not a difference of running sums, so equal rain in two
            // years gives equal maxima (and a sample of them no spurious spread).
            const size_t width = size_t(MaximaDurations[d] / step);
            double ignored = 0;
            const size_t at = largest(width, ignored);
            maxima.depth[d] = 0;
            for (size_t k = at; k < at + width; ++k)
                maxima.depth[d] += depth[k];
        }
        for (size_t t = 0; t < PeakRatioDurations.size(); ++t) {
            const size_t width = size_t(PeakRatioDurations[t] / step);
            double sum = 0;
            const size_t at = largest(width, sum);
            size_t peak = at;
            for (size_t k = at + 1; k < at + width; ++k)
                if (depth[k] > depth[peak])
                    peak = k;
            maxima.ratio[t] = (double(peak - at) * step + step / 2.0) / PeakRatioDurations[t];
        }
        result.years.push_back(maxima);
    }
    CheckYearCount(result.years.size());
    result.ratio = MeanPeakRatio(result.years);
    return result;
}

PeakRatio MeanPeakRatio(const std::vector<YearMaxima> &years)
{
    PeakRatio ratio;
    if (years.empty())
        return ratio;
    double weighted = 0, weights = 0;
    for (size_t t = 0; t < PeakRatioDurations.size(); ++t) {
        double sum = 0;
        for (const YearMaxima &y : years)
            sum += y.ratio[t];
        ratio.perDuration[t] = sum / double(years.size());
        weighted += PeakRatioDurations[t] * ratio.perDuration[t];
        weights += PeakRatioDurations[t];
    }
    ratio.r = weighted / weights;
    return ratio;
}

QString MaximaTableText(const std::vector<YearMaxima> &years)
{
    QStringList header{QStringLiteral("年份")};
    for (int d : MaximaDurations)
        header.append(QString::number(d));
    QStringList lines{header.join(QLatin1Char(','))};
    for (const YearMaxima &y : years) {
        QStringList cells{QString::number(y.year)};
        for (double v : y.depth)
            cells.append(FormatFixed(v, 3));
        lines.append(cells.join(QLatin1Char(',')));
    }
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

std::vector<YearMaxima> ParseMaximaTable(const QString &text)
{
    const QStringList lines = SplitLines(text);
    std::vector<YearMaxima> years;
    bool headerSeen = false;
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QString line = lines.at(l).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList cells = line.split(line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(','));
        auto refuse = [&](const QString &reason) {
            throw TavrelError(QStringLiteral("第%1行：%2").arg(l + 1).arg(reason));
        };
        if (!headerSeen) {
            // The header names the durations; they must be the standard ones, in order.
            headerSeen = true;
            bool same = cells.size() == qsizetype(MaximaDurations.size() + 1);
            for (size_t d = 0; same && d < MaximaDurations.size(); ++d)
                same = cells.at(qsizetype(d + 1)).trimmed() == QString::number(MaximaDurations[d]);
            if (!same)
                refuse(QStringLiteral("表头应为“年份,5,10,15,20,30,45,60,90,120,150,180” / the header must name the durations"));
            continue;
        }
        if (cells.size() != qsizetype(MaximaDurations.size() + 1))
            refuse(QStringLiteral("应有%1列，却有%2列 / wrong number of columns").arg(MaximaDurations.size() + 1).arg(cells.size()));
        YearMaxima y;
        y.ratio.fill(std::numeric_limits<double>::quiet_NaN());   // a table carries no peak places
        if (!TryParseInteger(cells.at(0).trimmed(), y.year))
            refuse(QStringLiteral("年份“%1”不是整数 / the year is not a whole number").arg(cells.at(0)));
        if (!years.empty() && y.year <= years.back().year)
            refuse(QStringLiteral("年份%1不在上一行之后 / years must increase").arg(y.year));
        for (size_t d = 0; d < MaximaDurations.size(); ++d) {
            const QString cell = cells.at(qsizetype(d + 1)).trimmed();
            if (!TryParseNumber(cell, y.depth[d]) || y.depth[d] < 0)
                refuse(QStringLiteral("第%1列“%2”不是非负的数 / not a depth").arg(d + 2).arg(cell));
        }
        years.push_back(y);
    }
    CheckYearCount(years.size());
    return years;
}

std::vector<YearMaxima> ReadMaximaTable(const QString &path)
{
    return ParseMaximaTable(DecodeText(ReadWholeFile(path, 64 * 1024 * 1024)));
}

bool IsMaximaTableFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    for (const QString &line : SplitLines(DecodeText(file.read(4096)))) {
        if (line.trimmed().isEmpty())
            continue;
        const QStringList cells = line.trimmed().split(line.contains(QLatin1Char('\t')) ? QLatin1Char('\t') : QLatin1Char(','));
        if (cells.size() != qsizetype(MaximaDurations.size() + 1))
            return false;
        for (size_t d = 0; d < MaximaDurations.size(); ++d)
            if (cells.at(qsizetype(d + 1)).trimmed() != QString::number(MaximaDurations[d]))
                return false;
        return true;
    }
    return false;
}
