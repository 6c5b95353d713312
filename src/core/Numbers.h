#pragma once
// Number texts. Every number the program shows, writes or reads goes through here,
// always with "." as the decimal separator, whatever the user's locale says.
#include <QString>

// At most 15 significant digits, trailing zeros and a bare point dropped; fixed notation
// from 0.00001 up to 15 integer digits, exponent notation ("1E-6", "1.5E+20") outside.
QString FormatGeneral(double value);

// Most decimals a text carries; the settings dialog offers 1 to 99.
constexpr int MaxDecimals = 99;

// Fixed-point text with exactly `decimals` decimals (below 0 counts as 0, above
// MaxDecimals as MaxDecimals). The value is
// first brought to a decimal with at most 15 significant digits, then rounded half away
// from zero on its decimal digits, so 2.675 gives 2.68 at two decimals.
QString FormatFixed(double value, int decimals);
// The same text as Latin-1 characters into `out`, which has room for FixedTextRoom;
// returns its length. For tables that write many numbers into one buffer.
constexpr int FixedTextRoom = MaxDecimals + 330;
int WriteFixedText(double value, int decimals, char *out);

// The display rounding: the value of FormatFixed read back as a number.
double DisplayRound(int decimals, double value);

// Three-way comparison, equal within a relative tolerance of 1e-12 (absolute 1e-12 for
// values below 1). The inputs carry at most 15 significant digits and are decimals that a
// float holds only to about 1e-16; a product or sum of a few of them (the peak time r * T,
// a ratio) is off by a few times that. The tolerance absorbs such rounding a thousandfold
// over, so r * T is the whole minute it is mathematically (0.29 * 100 computes as
// 28.999999999999996), and still lies far below any difference a storm parameter or a
// q-i ratio means (0.006 and 166.6667 differ by everything).
constexpr double ComparisonTolerance = 1e-12;
int CompareValue(double x, double y);

// Text to number. Blanks around the text are allowed; "nan", "inf", a comma as decimal
// separator, or a value whose general text would not read back (beyond the range of an
// 8-byte float once rounded to 15 digits) throw TavrelError, so whatever is read can be
// written and read again.
double ParseNumber(const QString &text);
// A whole number in the 32-bit range, decimal digits with an optional sign.
int ParseInteger(const QString &text);
bool TryParseNumber(const QString &text, double &out);
bool TryParseInteger(const QString &text, int &out);

// Checked arithmetic: undefined or out-of-range results throw TavrelError instead of
// passing a NaN or an infinity on.
double CheckedDiv(double x, double y);
double CheckedPow(double base, double exponent);
double CheckedLog10(double x);
double CheckedLn(double x);
double CheckedFinite(double x);

// True when the general text of the value reads back: finite and not within rounding of
// the largest float.
bool IsWritableNumber(double value);
// The value when it is writable; otherwise throws TavrelError naming it.
double CheckedWritable(double x, const QString &name);
