// options.ini as a person may have edited it: any bytes. Loading never fails, and what
// is then saved loads back to the same settings, the rest of the file kept. (A ratio typed
// with more than 15 digits is saved with 15, so it comes back as that number.)
#include "FuzzCheck.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "settings/IniProfile.h"
#include "settings/Options.h"

namespace {
// One pair of matching quotes around a whole value is taken off on reading, as the
// desktop's profile functions do, so such a font text cannot come back as it was.
bool Quoted(const QString &value)
{
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = DecodeText(FuzzBytes(data, size));
    TOptions loaded;
    LoadOptionsText(text, loaded);

    const QString saved = SaveOptionsText(text, loaded);
    TOptions again;
    LoadOptionsText(saved, again);
    for (QString TOptions::*font : {&TOptions::Font_LeftAxis, &TOptions::Font_LeftTitle, &TOptions::Font_RightAxis,
                                    &TOptions::Font_RightTitle, &TOptions::Font_BottomAxis, &TOptions::Font_BottomTitle,
                                    &TOptions::Font_RainModelInfo})
        if (Quoted(loaded.*font))
            again.*font = loaded.*font;
    FUZZ_CHECK(FormatGeneral(again.D_QI_ConversionRatio) == FormatGeneral(loaded.D_QI_ConversionRatio), saved);
    again.D_QI_ConversionRatio = loaded.D_QI_ConversionRatio;
    FUZZ_CHECK(again == loaded, saved);
    // Saving twice changes nothing more.
    FUZZ_CHECK(SaveOptionsText(saved, loaded) == saved, saved);

    // The store by itself: a text it wrote reads as the same lines.
    IniProfile ini;
    ini.setText(text);
    IniProfile copy;
    copy.setText(ini.text());
    FUZZ_CHECK(copy.text() == ini.text(), ini.text());
    return 0;
}
