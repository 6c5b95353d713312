#include "RainRecord.h"

#include "Failure.h"
#include "RainModelFile.h"
#include "TextFile.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
int64_t DaysFromCivil(int64_t y, int m, int d)
{
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

const int64_t Epoch1900 = DaysFromCivil(1900, 1, 1);

bool IsLeap(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

[[noreturn]] void Refuse(int64_t line, const QString &reason)
{
    throw TavrelError(QStringLiteral("第%1行：%2").arg(line).arg(reason));
}

// Reads 1 to `most` digits.
bool Digits(const char *&p, const char *end, int most, int &value)
{
    int count = 0;
    value = 0;
    while (p < end && *p >= '0' && *p <= '9' && count < most) {
        value = value * 10 + (*p - '0');
        ++p;
        ++count;
    }
    return count > 0;
}

bool Expect(const char *&p, const char *end, char c)
{
    if (p < end && *p == c) {
        ++p;
        return true;
    }
    return false;
}

// "YYYY-MM-DD HH:MM", "YYYY/MM/DD HH:MM", each with an optional ":SS"; the seconds must be
// 00 (a stamp in mid-minute is on no grid). Returns false when the text is no stamp.
bool ParseStamp(const char *p, const char *end, int64_t &minute, bool &seconds)
{
    int y, mo, d, h, mi;
    if (!Digits(p, end, 4, y) || p >= end || (*p != '-' && *p != '/'))
        return false;
    const char sep = *p++;
    if (!Digits(p, end, 2, mo) || !Expect(p, end, sep) || !Digits(p, end, 2, d))
        return false;
    if (p >= end || (*p != ' ' && *p != 'T'))
        return false;
    while (p < end && (*p == ' ' || *p == 'T'))
        ++p;
    if (!Digits(p, end, 2, h) || !Expect(p, end, ':') || !Digits(p, end, 2, mi))
        return false;
    seconds = false;
    if (Expect(p, end, ':')) {
        int s;
        if (!Digits(p, end, 2, s))
            return false;
        seconds = s != 0;
    }
    while (p < end && (*p == ' ' || *p == '"'))
        ++p;
    static const int monthDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (p != end || y < 1900 || y > 5000 || mo < 1 || mo > 12 || d < 1 || d > monthDays[mo - 1] ||
        (mo == 2 && d == 29 && !IsLeap(y)) || h > 23 || mi > 59)
        return false;
    minute = MinuteOfDate(y, mo, d, h, mi);
    return true;
}

bool SameText(const char *p, const char *end, const char *word)
{
    for (; *word; ++word, ++p)
        if (p >= end || (*p | 0x20) != (*word | 0x20))
            return false;
    return p == end;
}

// Missing values as gauges and bureaus write them: empty, NA, NaN, -9999.
bool IsMissing(const char *p, const char *end, double value, bool parsed)
{
    return p == end || SameText(p, end, "na") || SameText(p, end, "nan") || (parsed && value == -9999);
}

} // namespace

int64_t MinuteOfDate(int year, int month, int day, int hour, int minute)
{
    return (DaysFromCivil(year, month, day) - Epoch1900) * 1440 + hour * 60 + minute;
}

int YearOfMinute(int64_t minute)
{
    // Close in from an estimate; at most a step or two.
    int y = 1900 + int(minute / (1440 * 365.2425));
    while (MinuteOfDate(y + 1, 1, 1, 0, 0) <= minute)
        ++y;
    while (MinuteOfDate(y, 1, 1, 0, 0) > minute)
        --y;
    return y;
}

RainRecord ReadRainRecord(const QString &path, const ReadProgress &progress)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TavrelError(QStringLiteral("无法读取文件“%1”：%2").arg(path, file.errorString()));
    if (file.size() == 0)
        throw TavrelError(QStringLiteral("文件是空的 / the file is empty"));
    // Mapped, so the file's bytes are not copied: the rows are all the record holds.
    const uchar *mapped = file.map(0, file.size());
    if (mapped)
        return ParseRainRecord(reinterpret_cast<const char *>(mapped), file.size(), progress);
    const QByteArray bytes = file.readAll();
    return ParseRainRecord(bytes.constData(), bytes.size(), progress);
}

RainRecord ParseRainRecord(const char *data, int64_t size, const ReadProgress &progress)
{
    const char *p = data;
    const char *const end = data + size;
    if (size >= 3 && uchar(p[0]) == 0xEF && uchar(p[1]) == 0xBB && uchar(p[2]) == 0xBF)
        p += 3;
    RainRecord record;
    // Counting the lines first costs a fraction of the parse and saves the doubling of a
    // growing vector, which would hold up to twice the rows' 16 bytes each.
    size_t lines = 1;
    for (const char *q = p; (q = static_cast<const char *>(memchr(q, '\n', size_t(end - q)))); ++q)
        ++lines;
    record.rows.reserve(lines);
    int64_t line = 0;
    constexpr int64_t ProgressBytes = 1 << 20;
    const char *nextReport = p;
    while (p < end) {
        ++line;
        if (progress && p >= nextReport) {
            if (!progress(double(p - data) / double(size)))
                throw ReadCancelled();
            nextReport = p + std::min<int64_t>(ProgressBytes, end - p);
        }
        const char *eol = static_cast<const char *>(memchr(p, '\n', size_t(end - p)));
        const char *lineEnd = eol ? eol : end;
        const char *next = eol ? eol + 1 : end;
        if (lineEnd > p && lineEnd[-1] == '\r')
            --lineEnd;
        const char *first = p;
        p = next;
        while (first < lineEnd && (*first == ' ' || *first == '"'))
            ++first;
        if (first == lineEnd)
            continue;   // a blank line, often the last
        const char *sep = first;
        while (sep < lineEnd && *sep != ',' && *sep != '\t')
            ++sep;
        int64_t minute = 0;
        bool seconds = false;
        if (!ParseStamp(first, sep, minute, seconds)) {
            // A header line is allowed before the first row, nothing after it.
            if (line == 1) {
                const QString text = DecodeText(QByteArray(first, int(lineEnd - first))).trimmed();
                // A rain-model file begins with its signature line; naming it saves a puzzled
                // look at "line 2 is not a time".
                if (text.startsWith(QStringLiteral("SIGN=")) && text.contains(RainModelSign))
                    Refuse(line, QStringLiteral("这是雨型文件，不是降雨资料 / a rain-model file, not a rain record"));
                continue;
            }
            Refuse(line, QStringLiteral("“%1”不是时间（应为 YYYY-MM-DD HH:MM）/ not a time stamp")
                             .arg(DecodeText(QByteArray(first, int(sep - first)))));
        }
        if (seconds)
            Refuse(line, QStringLiteral("时间不在整分钟上 / the stamp is not on a whole minute"));
        if (sep == lineEnd)
            Refuse(line, QStringLiteral("缺少雨量列 / no depth column"));
        const char *v = sep + 1;
        const char *vEnd = v;
        while (vEnd < lineEnd && *vEnd != ',' && *vEnd != '\t')
            ++vEnd;
        while (v < vEnd && (*v == ' ' || *v == '"'))
            ++v;
        while (vEnd > v && (vEnd[-1] == ' ' || vEnd[-1] == '"'))
            --vEnd;
        double depth = 0;
        const char *numberStart = v + (v < vEnd && *v == '+');
        const auto [ptr, ec] = std::from_chars(numberStart, vEnd, depth);
        const bool parsed = ec == std::errc() && ptr == vEnd && std::isfinite(depth);
        if (IsMissing(v, vEnd, depth, parsed))
            depth = std::numeric_limits<double>::quiet_NaN();
        else if (!parsed)
            Refuse(line, QStringLiteral("雨量“%1”不是数字 / the depth is not a number").arg(DecodeText(QByteArray(v, int(vEnd - v)))));
        else if (depth < 0)
            Refuse(line, QStringLiteral("雨量 %1 为负 / the depth is negative").arg(DecodeText(QByteArray(v, int(vEnd - v)))));
        if (!record.rows.empty()) {
            const int64_t previous = record.rows.back().minute;
            if (minute < previous)
                Refuse(line, QStringLiteral("时间比上一行早 / time goes backwards"));
            if (minute == previous)
                Refuse(line, QStringLiteral("时间与上一行重复 / the time repeats the line before"));
        }
        record.rows.push_back({int32_t(minute), int32_t(line), depth});
    }
    if (record.rows.empty())
        throw TavrelError(QStringLiteral("文件中没有降雨资料 / the file holds no record"));
    if (record.rows.size() < 2)
        Refuse(record.rows.front().line, QStringLiteral("只有一行资料，定不出时段 / one row gives no step"));

    // The step: the most common gap. Gaps of dry spells are larger and rarer.
    std::map<int64_t, int64_t> gaps;
    for (size_t k = 1; k < record.rows.size(); ++k)
        ++gaps[record.rows[k].minute - record.rows[k - 1].minute];
    int64_t step = 0, count = 0;
    for (const auto &[gap, n] : gaps)
        if (n > count) {
            step = gap;
            count = n;
        }
    if (step != 1 && step != 5) {
        for (size_t k = 1; k < record.rows.size(); ++k)
            if (record.rows[k].minute - record.rows[k - 1].minute == step)
                Refuse(record.rows[k].line, QStringLiteral("时段为%1分钟，只能是1或5分钟 / the step is %1 minutes; 1 or 5 are read")
                                                .arg(step));
    }
    record.step = int(step);
    for (const RecordRow &row : record.rows)
        if (row.minute % step != 0)
            Refuse(row.line, QStringLiteral("时间不在%1分钟的时段上 / the stamp is off the %1-minute grid").arg(step));

    // Coverage: the year's intervals from the first stamp to the last one's interval end.
    const int64_t spanBegin = record.rows.front().minute;
    const int64_t spanEnd = record.rows.back().minute + step;
    for (int y = YearOfMinute(spanBegin); y <= YearOfMinute(spanEnd - 1); ++y) {
        const int64_t b = std::max(spanBegin, MinuteOfDate(y, 1, 1, 0, 0));
        const int64_t e = std::min(spanEnd, MinuteOfDate(y + 1, 1, 1, 0, 0));
        record.years.push_back({y, (e - b) / step, 0});
    }
    const int firstYear = record.years.front().year;
    int y = firstYear;
    int64_t nextYear = MinuteOfDate(y + 1, 1, 1, 0, 0);
    for (const RecordRow &row : record.rows) {
        while (row.minute >= nextYear)
            nextYear = MinuteOfDate(++y + 1, 1, 1, 0, 0);
        if (std::isnan(row.depth))
            ++record.years[size_t(y - firstYear)].missing;
    }
    return record;
}
