// Font texts from a settings file: any text. Whatever a text sets, the font's own text
// sets again, unless the face name holds a comma (the stored form ends the name there).
#include "FuzzCheck.h"
#include "settings/FontText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(FuzzBytes(data, size));
    TFontInfo font;
    TextToFont(text, font);
    (void)ToQColor(font.Color);

    const QString written = FontToText(font);
    TFontInfo read;
    read.Name = QStringLiteral("other");
    read.Size = -3;
    read.Color = 0x123456;
    TextToFont(written, read);
    if (!font.Name.contains(QLatin1Char(',')))
        FUZZ_CHECK(read == font, text + "\n" + written + "\n" + FontToText(read));
    return 0;
}
