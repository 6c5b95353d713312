// Number texts: any text is a number, a whole number or refused. Every number read is
// written so that it reads back, and writing it again gives the same text.
#include "FuzzCheck.h"
#include "core/Numbers.h"
#include "core/TimeLabel.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int decimals = static_cast<int8_t>(data[0]);
    const QString text = QString::fromUtf8(FuzzBytes(data + 1, size - 1));

    double value = 0;
    if (TryParseNumber(text, value)) {
        FUZZ_CHECK(IsWritableNumber(value), text);
        const QString general = FormatGeneral(value);
        double back = 0;
        FUZZ_CHECK(TryParseNumber(general, back), text + " -> " + general);
        FUZZ_CHECK(FormatGeneral(back) == general, text + " -> " + general + " -> " + FormatGeneral(back));
        const QString fixed = FormatFixed(value, decimals);
        FUZZ_CHECK(!fixed.isEmpty() && fixed.size() <= 320 + MaxDecimals, fixed);
        FUZZ_CHECK(std::isfinite(DisplayRound(decimals, value)), text);
        for (int format : {0, 1})
            (void)TimeLabel(value, format);
        (void)ElapsedTimeLabel(value);
        FUZZ_CHECK(CompareValue(value, value) == 0, text);
    }
    int whole = 0;
    if (TryParseInteger(text, whole)) {
        int back = 0;
        FUZZ_CHECK(TryParseInteger(QString::number(whole), back) && back == whole, text);
        FUZZ_CHECK(TryParseNumber(text, value) && value == whole, text);
    }
    return 0;
}
