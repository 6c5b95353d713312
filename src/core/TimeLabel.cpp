#include "TimeLabel.h"
#include "Numbers.h"

#include <cmath>
#include <cstdint>

namespace {
// The decimal digits of a number that is not negative, at least two; returns the end.
// A table of a long storm makes a label per row, so this stays clear of printf.
char *PaddedDigits(char *out, uint64_t value)
{
    char reversed[24];
    int n = 0;
    do {
        reversed[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    if (n < 2)
        reversed[n++] = '0';
    while (n > 0)
        *out++ = reversed[--n];
    return out;
}

char *WriteTwoDigitPair(char *out, int64_t hours, int64_t minutes)
{
    out = PaddedDigits(out, static_cast<uint64_t>(hours));
    *out++ = ':';
    return PaddedDigits(out, static_cast<uint64_t>(minutes));
}

QString TwoDigitPair(int64_t hours, int64_t minutes)
{
    char buf[48];
    return QString::fromLatin1(buf, WriteTwoDigitPair(buf, hours, minutes) - buf);
}

// Beyond this the minute count no longer fits the millisecond arithmetic below; every
// float that large is a whole number anyway.
constexpr double LargeMinute = 1e12;

// Whole minutes of the time, a fraction dropped. The time is taken to the millisecond
// first, as a clock does, so 5 minutes stored as 4.9999999 still reads 00:05.
int64_t WholeMinutes(double minute)
{
    const auto ms = static_cast<int64_t>(std::llround(minute * 60000.0));
    int64_t whole = ms / 60000;
    if (ms % 60000 != 0 && ms < 0)
        --whole;
    return whole;
}
} // namespace

int WriteTimeLabel(double minute, int timeFormat, char *out)
{
    if (!std::isfinite(minute))
        return 0;
    if (std::fabs(minute) >= LargeMinute) {
        if (timeFormat == 0) {
            double m = std::fmod(std::floor(minute), 1440.0);   // exact for whole floats
            if (m < 0)
                m += 1440;
            const auto clock = static_cast<int64_t>(m);
            return static_cast<int>(WriteTwoDigitPair(out, clock / 60, clock % 60) - out);
        }
        if (timeFormat == 1)
            return WriteFixedText(minute, 0, out);
        return 0;
    }
    if (timeFormat == 0) {
        int64_t m = WholeMinutes(minute) % 1440;
        if (m < 0)
            m += 1440;
        return static_cast<int>(WriteTwoDigitPair(out, m / 60, m % 60) - out);
    }
    if (timeFormat == 1) {
        const long long whole = std::llround(minute);   // halves away from zero
        char *end = out;
        if (whole < 0)
            *end++ = '-';
        end = PaddedDigits(end, static_cast<uint64_t>(whole < 0 ? -whole : whole));
        return static_cast<int>(end - out);
    }
    return 0;
}

QString TimeLabel(double minute, int timeFormat)
{
    char buf[TimeLabelRoom];
    const int length = WriteTimeLabel(minute, timeFormat, buf);
    return length > 0 ? QString::fromLatin1(buf, length) : QString();
}

QString ElapsedTimeLabel(double minute)
{
    if (!std::isfinite(minute))
        return {};
    if (minute >= LargeMinute) {
        const double hours = std::floor(std::floor(minute) / 60);
        return FormatFixed(hours, 0) + QLatin1Char(':')
            + TwoDigitPair(0, static_cast<int64_t>(std::fmod(std::floor(minute), 60.0))).mid(3);
    }
    int64_t m = WholeMinutes(minute);
    if (m < 0)
        m = 0;
    return TwoDigitPair(m / 60, m % 60);
}
