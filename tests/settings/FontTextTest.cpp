// Fonts as the settings file stores them, and the colours behind their names.
#include "settings/FontText.h"
#include <gtest/gtest.h>

namespace {

constexpr TColor clBlack = 0x000000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clNavy = 0x800000;
constexpr TColor clWindowText = static_cast<TColor>(0xFF000008u);
constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000Fu);
constexpr TColor clWindow = static_cast<TColor>(0xFF000005u);
constexpr TColor Orange = 0x0080FF;   // red 255, green 128, blue 0

TFontInfo Font(const QString &name, int size, TColor color, bool bold = false, bool italic = false,
               bool underline = false, bool strikeOut = false)
{
    return TFontInfo{name, size, bold, italic, underline, strikeOut, color};
}

struct ToTextCase {
    const char *name;
    TFontInfo font;
    const char *text;
};
void PrintTo(const ToTextCase &c, std::ostream *os) { *os << c.name; }


class FontToTextCases : public ::testing::TestWithParam<ToTextCase> {};

TEST_P(FontToTextCases, WritesNameSizeStylesAndColour)
{
    EXPECT_EQ(FontToText(GetParam().font), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    FontText, FontToTextCases,
    ::testing::Values(
        ToTextCase{"Regular", Font("Arial", 9, clBlack), "\"Arial\", 9, [], [clBlack]"},
        ToTextCase{"BoldUnderline", Font("Arial", 9, clBlack, true, false, true),
                   "\"Arial\", 9, [Bold|Underline], [clBlack]"},
        ToTextCase{"AllStyles", Font("Arial", 9, clBlack, true, true, true, true),
                   "\"Arial\", 9, [Bold|Italic|Underline|Strikeout], [clBlack]"},
        ToTextCase{"SystemColour", Font("Arial", 9, clWindowText, true), "\"Arial\", 9, [Bold], [clWindowText]"},
        ToTextCase{"UnnamedColour", Font("Arial", 11, Orange), "\"Arial\", 11, [], [$000080FF]"},
        ToTextCase{"ChineseFace", Font(QStringLiteral("宋体"), 12, clNavy, false, true),
                   "\"宋体\", 12, [Italic], [clNavy]"}),
    [](const auto &info) { return std::string(info.param.name); });

struct ToFontCase {
    const char *name;
    const char *text;
    TFontInfo expected;
};
void PrintTo(const ToFontCase &c, std::ostream *os) { *os << c.name; }


// The font each text is applied to: every property differs from what the texts set.
TFontInfo Previous()
{
    return Font("Courier New", 20, clNavy, false, true, false, true);
}

class TextToFontCases : public ::testing::TestWithParam<ToFontCase> {};

TEST_P(TextToFontCases, SetsWhatItCanReadInOrder)
{
    TFontInfo font = Previous();
    TextToFont(QString::fromUtf8(GetParam().text), font);
    EXPECT_EQ(font, GetParam().expected) << FontToText(font).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    FontText, TextToFontCases,
    ::testing::Values(
        ToFontCase{"InfoDefault", "\"Arial\", 9, [Bold], [clWindowText]", Font("Arial", 9, clWindowText, true)},
        ToFontCase{"BoldUnderline", "\"Arial\", 9, [Bold|Underline], [clBlack]",
                   Font("Arial", 9, clBlack, true, false, true)},
        ToFontCase{"UnnamedColour", "\"Arial\", 11, [], [$000080FF]", Font("Arial", 11, Orange)},
        ToFontCase{"DecimalColour", "\"Arial\", 11, [], [255]", Font("Arial", 11, clRed)},
        ToFontCase{"NameIgnoresCase", "\"Arial\", 11, [], [CLRED]", Font("Arial", 11, clRed)},
        ToFontCase{"ChineseFace", "\"宋体\", 12, [Strikeout], [clNavy]",
                   Font(QStringLiteral("宋体"), 12, clNavy, false, false, false, true)},
        // Style names are matched exactly as written.
        ToFontCase{"StyleCaseMatters", "\"Arial\", 9, [bold|Italic], [clBlack]",
                   Font("Arial", 9, clBlack, false, true)},
        // A failing step keeps what came before it and leaves the rest alone.
        ToFontCase{"SizeNotANumber", "\"Arial\", x, [Bold], [clRed]", Font("Arial", 20, clNavy, false, true, false, true)},
        ToFontCase{"UnknownColour", "\"Arial\", 9, [Bold], [clOrange]",
                   Font("Arial", 9, clNavy, false, true, false, true)},
        ToFontCase{"NoComma", "Arial", Previous()},
        ToFontCase{"Empty", "", Previous()},
        ToFontCase{"StylesMissing", "\"Arial\", 9", Font("Arial", 20, clNavy, false, true, false, true)},
        // The face name ends at its first comma, and the rest of the name then spoils the size.
        ToFontCase{"CommaInFaceName", "\"Times, Roman\", 9, [], [clBlack]",
                   Font("Times", 20, clNavy, false, true, false, true)},
        ToFontCase{"ShortNameWithComma", "\"A,B\", 9, [], [clBlack]", Font("A", 20, clNavy, false, true, false, true)}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(FontText, FaceNameWithCommaDoesNotSurviveSaveAndLoad)
{
    TFontInfo loaded = Previous();
    TextToFont(FontToText(Font("Times, Roman", 9, clBlack, true)), loaded);
    EXPECT_EQ(loaded, Font("Times", 20, clNavy, false, true, false, true));
}

TEST(FontText, EveryWrittenColourIsReadBack)
{
    std::vector<TColor> colours = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000,
                                   0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF,
                                   0xFFFF00, 0xFFFFFF, 0xC0DCC0, 0xF0CAA6, 0xF0FBFF, 0xA4A0A0, 0x1FFFFFFF,
                                   0x20000000, Orange, 0x123456, 0x02ABCDEF, -1};
    for (uint32_t index = 0; index <= 31; ++index)
        colours.push_back(static_cast<TColor>(0xFF000000u | index));
    for (TColor colour : colours) {
        const QString text = ColorToText(colour);
        TColor read = 0x7A7A7A;
        EXPECT_TRUE(TextToColor(text, read)) << text.toStdString();
        EXPECT_EQ(read, colour) << text.toStdString();
    }
}

TEST(FontText, ColourTextForms)
{
    EXPECT_EQ(ColorToText(clRed), "clRed");
    EXPECT_EQ(ColorToText(clBtnFace), "clBtnFace");
    EXPECT_EQ(ColorToText(0x02ABCDEF), "$02ABCDEF");
    EXPECT_EQ(ColorToText(static_cast<TColor>(0xFF000019u)), "$FF000019");   // no name for index 25
    TColor colour = 0;
    for (const char *bad : {"", "$", "$123456789", "$12G4", "clOrange", "12.5", "0x12"})
        EXPECT_FALSE(TextToColor(bad, colour)) << bad;
}

TEST(FontText, QtColoursOfNamedAndSystemColours)
{
    EXPECT_EQ(ToQColor(clWindowText), QColor(0, 0, 0));
    EXPECT_EQ(ToQColor(clBtnFace), QColor(0xF0, 0xF0, 0xF0));
    // Indexes past the first sixteen have their own desktop colours.
    EXPECT_EQ(ToQColor(static_cast<TColor>(0xFF000010u)), QColor(0xA0, 0xA0, 0xA0));   // button shadow
    EXPECT_EQ(ToQColor(static_cast<TColor>(0xFF000018u)), QColor(0xFF, 0xFF, 0xE1));   // tooltip background
    EXPECT_EQ(ToQColor(static_cast<TColor>(0xFF00001Eu)), QColor(0xF0, 0xF0, 0xF0));   // menu bar
    EXPECT_EQ(ToQColor(static_cast<TColor>(0xFF0000FFu)), QColor(0, 0, 0));
    EXPECT_EQ(ToQColor(clWindow), QColor(255, 255, 255));
    EXPECT_EQ(ToQColor(Orange), QColor(255, 128, 0));
    EXPECT_EQ(ToQColor(clNavy), QColor(0, 0, 128));
    EXPECT_EQ(FromQColor(QColor(255, 128, 0)), Orange);
    EXPECT_EQ(FromQColor(QColor(0, 0, 128)), clNavy);
}

TEST(FontText, QtFontRoundTrip)
{
    const TFontInfo info = Font("Arial", 14, Orange, true, false, true, false);
    const QFont font = ToQFont(info);
    EXPECT_EQ(font.family(), "Arial");
    EXPECT_EQ(font.pointSize(), 14);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.italic());
    EXPECT_EQ(FromQFont(font, ToQColor(info.Color)), info);

    // A font sized in pixels is stored in points at 96 dots per inch.
    QFont pixels(QStringLiteral("Arial"));
    pixels.setPixelSize(16);
    EXPECT_EQ(FromQFont(pixels, Qt::black).Size, 12);
    pixels.setPixelSize(13);
    EXPECT_EQ(FromQFont(pixels, Qt::black).Size, 10);
}

} // namespace
