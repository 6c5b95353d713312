// Rain-model files as they come from disk: any bytes, decoded by their byte-order mark,
// UTF-8 or GBK, then read by key. A model that is read must write a file that reads back
// to the same text.
#include "FuzzCheck.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TExpressionObject current;
    SetStartValues(current);
    const RainModelRead read = ParseRainModelText(DecodeText(FuzzBytes(data, size)), current);
    if (read.status != RainModelRead::Ok) {
        FUZZ_CHECK(!read.message.isEmpty(), QString());
        return 0;
    }
    const QStringList written = RainModelLines(read.model);
    const RainModelRead again = ParseRainModelText(DecodeText(GbkLines(written)), current);
    FUZZ_CHECK(again.status == RainModelRead::Ok, again.message + "\n" + written.join('\n'));
    FUZZ_CHECK(RainModelLines(again.model) == written, written.join('\n'));
    return 0;
}
