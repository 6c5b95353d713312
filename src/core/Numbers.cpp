#include "Numbers.h"
#include "Failure.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>


namespace {

// A finite double as decimal digits: value = 0.d1d2d3... * 10^(pointPos), at most 15
// significant digits, no trailing zeros. Zero is the empty digit string.
struct Decimal {
    bool negative = false;
    char digits[24];
    int count = 0;      // number of significant digits
    int exponent = 0;   // decimal exponent of the first digit (d1 * 10^exponent)
};

// Reads the digits and the exponent of a text "d.ddde+XX" (or "de+XX"), trailing zeros
// dropped.
Decimal FromScientific(const char *p, const char *end)
{
    Decimal d;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    while (p < end && *p != 'e') {
        if (*p != '.')
            d.digits[d.count++] = *p;
        ++p;
    }
    int exp = 0;
    if (p < end) {
        ++p;
        std::from_chars(*p == '+' ? p + 1 : p, end, exp);
    }
    d.exponent = exp;
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
    return d;
}

// The 15 significant digits of a value between 1E-13 and 1E15, by integer arithmetic:
// |value| = m * 2^e exactly, so |value| * 10^k = m * 5^k * 2^(e+k), whose integer part and
// remainder are exact in 128 bits for 0 <= k <= 27. False, with `d` untouched, outside that
// range and on an exact half-way case, which the caller settles another way.
#ifdef __SIZEOF_INT128__
// 5^0 ... 5^27; 5^27 is just under 2^63.
constexpr auto PowersOfFive = [] {
    std::array<std::uint64_t, 28> powers{};
    powers[0] = 1;
    for (size_t k = 1; k < powers.size(); ++k)
        powers[k] = powers[k - 1] * 5;
    return powers;
}();
#endif

bool DecomposeByIntegers(double value, Decimal &d)
{
#ifndef __SIZEOF_INT128__
    return false;   // a compiler without 128-bit integers takes the exact text every time
#else
    constexpr std::uint64_t Low = 100'000'000'000'000;    // 10^14
    constexpr std::uint64_t High = 1'000'000'000'000'000; // 10^15
    int binary = 0;
    const double fraction = std::frexp(std::fabs(value), &binary);   // in [0.5, 1)
    const auto m = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    const int e = binary - 53;
    // |value| lies in [2^(binary-1), 2^binary): its decimal exponent is this or one more.
    int exponent = ((binary - 1) * 78913) >> 18;   // floor((binary - 1) * log10(2))
    for (int attempt = 0; attempt < 2; ++attempt, ++exponent) {
        const int k = 14 - exponent;
        if (k < 0 || k > 27)
            return false;
        const unsigned __int128 scaled = static_cast<unsigned __int128>(m) * PowersOfFive[k];
        const int shift = e + k;
        unsigned __int128 whole = scaled;
        bool up = false;
        if (shift >= 0) {
            if (shift > 10)
                continue;   // 2^53 * 2^10 is above 10^15: the exponent is too small
            whole = scaled << shift;
        } else {
            if (-shift >= 127)
                return false;
            whole = scaled >> -shift;
            const unsigned __int128 rest = scaled - (whole << -shift);
            const unsigned __int128 half = static_cast<unsigned __int128>(1) << (-shift - 1);
            if (rest == half)
                return false;
            up = rest > half;
        }
        if (whole >= High)
            continue;
        if (whole < Low)
            return false;   // cannot happen with the exponent estimated from below
        std::uint64_t n = static_cast<std::uint64_t>(whole) + (up ? 1 : 0);
        d.negative = value < 0;
        d.exponent = exponent;
        if (n == High) {   // 9.99...95 rounds up to the next power of ten
            d.digits[0] = '1';
            d.count = 1;
            ++d.exponent;
            return true;
        }
        for (int i = 14; i >= 0; --i) {
            d.digits[i] = static_cast<char>('0' + n % 10);
            n /= 10;
        }
        d.count = 15;
        while (d.digits[d.count - 1] == '0')
            --d.count;
        return true;
    }
    return false;
#endif
}

// `value` to 15 significant digits, rounded to nearest, as an exact decimal expansion of
// the double would round it.
Decimal Decompose(double value)
{
    Decimal d;
    if (value == 0 || !std::isfinite(value) || DecomposeByIntegers(value, d))
        return d;
    // d.dddddddddddddde+XX: 15 significant digits of the exact value, rounded to nearest.
    char buf[40];
    const auto exact = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 14);
    return FromScientific(buf, exact.ptr);
}

// Rounds to `decimals` places after the point, halves away from zero, on the digits.
void RoundDecimal(Decimal &d, int decimals)
{
    if (d.count == 0)
        return;
    const int keep = d.exponent + decimals + 1;   // digits that stay
    if (keep >= d.count)
        return;
    if (keep < 0) {
        d.count = 0;
        return;
    }
    const bool up = d.digits[keep] >= '5';
    d.count = keep;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            // 9.99 -> 10.0: one more digit in front.
            std::memmove(d.digits + 1, d.digits, static_cast<size_t>(d.count));
            d.digits[0] = '1';
            ++d.count;
            ++d.exponent;
        }
    }
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
}

// Writes d in fixed notation with exactly `decimals` decimals (-1: as many as needed).
int WriteFixed(const Decimal &d, int decimals, char *out)
{
    char *o = out;
    if (d.negative && d.count > 0)
        *o++ = '-';
    // Integer part.
    if (d.count == 0 || d.exponent < 0) {
        *o++ = '0';
    } else {
        for (int k = 0; k <= d.exponent; ++k)
            *o++ = k < d.count ? d.digits[k] : '0';
    }
    // Fraction digits present in d.
    const int firstFraction = d.exponent + 1;   // index of the digit at 10^-1
    int fractionDigits = d.count == 0 ? 0 : d.count - firstFraction;
    if (fractionDigits < 0)
        fractionDigits = 0;
    const int written = decimals < 0 ? fractionDigits : decimals;
    if (written > 0) {
        *o++ = '.';
        for (int place = 1; place <= written; ++place) {
            const int k = firstFraction + place - 1;
            *o++ = (d.count > 0 && k >= 0 && k < d.count) ? d.digits[k] : '0';
        }
    }
    return static_cast<int>(o - out);
}

int WriteGeneral(const Decimal &d, char *out)
{
    if (d.count == 0) {
        out[0] = '0';
        return 1;
    }
    if (d.exponent >= -5 && d.exponent < 15)
        return WriteFixed(d, -1, out);
    char *o = out;
    if (d.negative)
        *o++ = '-';
    *o++ = d.digits[0];
    if (d.count > 1) {
        *o++ = '.';
        for (int k = 1; k < d.count; ++k)
            *o++ = d.digits[k];
    }
    *o++ = 'E';
    auto res = std::to_chars(o, o + 8, d.exponent);
    return static_cast<int>(res.ptr - out);
}

bool ParseAscii(const QString &text, double &out)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 400)
        return false;
    char buf[401];
    int len = 0;
    for (QChar ch : trimmed) {
        const char16_t c = ch.unicode();
        const bool allowed = (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
        if (!allowed)
            return false;
        buf[len++] = static_cast<char>(c);
    }
    const char *begin = buf;
    if (*begin == '+') {
        ++begin;
        if (begin < buf + len && (*begin == '-' || *begin == '+'))
            return false;
    }
    double value = 0;
    auto res = std::from_chars(begin, buf + len, value, std::chars_format::general);
    if (res.ec != std::errc() || res.ptr != buf + len || !IsWritableNumber(value))
        return false;
    out = value;
    return true;
}

[[noreturn]] void ThrowArithmetic(const char *what)
{
    throw TavrelError(QString::fromUtf8(what));
}

} // namespace

QString FormatGeneral(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    char buf[48];
    const int len = WriteGeneral(Decompose(value), buf);
    return QString::fromLatin1(buf, len);
}

int WriteFixedText(double value, int decimals, char *out)
{
    if (!std::isfinite(value)) {
        const QByteArray general = FormatGeneral(value).toLatin1();
        std::memcpy(out, general.constData(), static_cast<size_t>(general.size()));
        return static_cast<int>(general.size());
    }
    decimals = std::clamp(decimals, 0, MaxDecimals);
    Decimal d = Decompose(value);
    RoundDecimal(d, decimals);
    // The integer part of a double has at most 309 digits.
    return WriteFixed(d, decimals, out);
}

QString FormatFixed(double value, int decimals)
{
    char buf[FixedTextRoom];
    return QString::fromLatin1(buf, WriteFixedText(value, decimals, buf));
}

double DisplayRound(int decimals, double value)
{
    if (!std::isfinite(value))
        return value;
    decimals = std::clamp(decimals, 0, MaxDecimals);
    Decimal d = Decompose(value);
    RoundDecimal(d, decimals);
    if (d.count == 0)
        return 0.0;
    // Back to a number through scientific text, which is short whatever `decimals` is.
    char buf[48];
    char *o = buf;
    if (d.negative)
        *o++ = '-';
    *o++ = d.digits[0];
    *o++ = '.';
    for (int k = 1; k < d.count; ++k)
        *o++ = d.digits[k];
    *o++ = 'e';
    o = std::to_chars(o, buf + sizeof buf, d.exponent).ptr;
    double result = 0;
    // Near the largest float the 15-digit text can lie beyond it (1.79769313486232E308);
    // such a value has no decimals to round, so it stays as it is.
    if (std::from_chars(buf, o, result).ec != std::errc())
        return value;
    return result;
}

int CompareValue(double x, double y)
{
    const double e = std::max(std::min(std::fabs(x), std::fabs(y)) * ComparisonTolerance, ComparisonTolerance);
    if (std::fabs(x - y) <= e)
        return 0;
    return x < y ? -1 : 1;
}

bool TryParseNumber(const QString &text, double &out)
{
    return ParseAscii(text, out);
}

double ParseNumber(const QString &text)
{
    double value = 0;
    if (!ParseAscii(text, value))
        throw TavrelError(QStringLiteral("“%1”不是有效的数字").arg(text));
    return value;
}

bool TryParseInteger(const QString &text, int &out)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 20)
        return false;
    const QByteArray ascii = trimmed.toLatin1();
    const char *begin = ascii.constData();
    const char *end = begin + ascii.size();
    if (*begin == '+')
        ++begin;
    // One sign only: "+-5" and "++5" are not numbers.
    if (begin == end || (begin != ascii.constData() && (*begin == '+' || *begin == '-')))
        return false;
    int value = 0;
    auto res = std::from_chars(begin, end, value, 10);
    if (res.ec != std::errc() || res.ptr != end)
        return false;
    // from_chars accepts "-" only as a sign; make sure Latin-1 conversion lost nothing.
    if (QString::fromLatin1(ascii) != trimmed)
        return false;
    out = value;
    return true;
}

int ParseInteger(const QString &text)
{
    int value = 0;
    if (!TryParseInteger(text, value))
        throw TavrelError(QStringLiteral("“%1”不是有效的整数").arg(text));
    return value;
}

bool IsWritableNumber(double value)
{
    // The general text has 15 significant digits, so the floats from half a unit of the
    // 15th digit below the largest one upwards are written as 1.79769313486232E308, which
    // lies beyond it. This is the last float that is written 1.79769313486231E308.
    constexpr double Largest = 1.7976931348623149e308;
    return std::isfinite(value) && std::fabs(value) <= Largest;
}

double CheckedWritable(double x, const QString &name)
{
    if (!IsWritableNumber(x))
        throw TavrelError(QStringLiteral("“%1”超出了可以计算和保存的数值范围").arg(name));
    return x;
}

double CheckedFinite(double x)
{
    if (std::isnan(x))
        ThrowArithmetic("无效的浮点运算");
    if (std::isinf(x))
        ThrowArithmetic("浮点溢出");
    return x;
}

double CheckedDiv(double x, double y)
{
    if (y == 0)
        ThrowArithmetic("除数为零");
    return CheckedFinite(x / y);
}

double CheckedPow(double base, double exponent)
{
    if (base < 0 && exponent != std::trunc(exponent))
        ThrowArithmetic("负数不能取非整数次幂");
    if (base == 0 && exponent < 0)
        ThrowArithmetic("除数为零");
    return CheckedFinite(std::pow(base, exponent));
}

double CheckedLog10(double x)
{
    if (!(x > 0))
        ThrowArithmetic("对数的真数必须大于零");
    return CheckedFinite(std::log10(x));
}

double CheckedLn(double x)
{
    if (!(x > 0))
        ThrowArithmetic("对数的真数必须大于零");
    return CheckedFinite(std::log(x));
}
