#include "FontText.h"
#include "core/Numbers.h"
#include <QStringList>
#include <iterator>

namespace {

struct NamedColor {
    const char *name;
    TColor value;
};

constexpr TColor SystemColor(int index)
{
    return static_cast<TColor>(0xFF000000u | static_cast<uint32_t>(index));
}

// The colour names a settings file may hold, with their values (0x00BBGGRR).
const NamedColor ColorNames[] = {
    {"clBlack", 0x000000},      {"clMaroon", 0x000080},  {"clGreen", 0x008000},
    {"clOlive", 0x008080},      {"clNavy", 0x800000},    {"clPurple", 0x800080},
    {"clTeal", 0x808000},       {"clGray", 0x808080},    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},        {"clLime", 0x00FF00},    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},       {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},      {"clMoneyGreen", 0xC0DCC0}, {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},      {"clMedGray", 0xA4A0A0},
    {"clScrollBar", SystemColor(0)},
    {"clBackground", SystemColor(1)},
    {"clActiveCaption", SystemColor(2)},
    {"clInactiveCaption", SystemColor(3)},
    {"clMenu", SystemColor(4)},
    {"clWindow", SystemColor(5)},
    {"clWindowFrame", SystemColor(6)},
    {"clMenuText", SystemColor(7)},
    {"clWindowText", SystemColor(8)},
    {"clCaptionText", SystemColor(9)},
    {"clActiveBorder", SystemColor(10)},
    {"clInactiveBorder", SystemColor(11)},
    {"clAppWorkSpace", SystemColor(12)},
    {"clHighlight", SystemColor(13)},
    {"clHighlightText", SystemColor(14)},
    {"clBtnFace", SystemColor(15)},
    {"clBtnShadow", SystemColor(16)},
    {"clGrayText", SystemColor(17)},
    {"clBtnText", SystemColor(18)},
    {"clInactiveCaptionText", SystemColor(19)},
    {"clBtnHighlight", SystemColor(20)},
    {"cl3DDkShadow", SystemColor(21)},
    {"cl3DLight", SystemColor(22)},
    {"clInfoText", SystemColor(23)},
    {"clInfoBk", SystemColor(24)},
    {"clHotLight", SystemColor(26)},
    {"clGradientActiveCaption", SystemColor(27)},
    {"clGradientInactiveCaption", SystemColor(28)},
    {"clMenuHighlight", SystemColor(29)},
    {"clMenuBar", SystemColor(30)},
    {"clNone", 0x1FFFFFFF},
    {"clDefault", 0x20000000},
};

// What a default Windows desktop answers for the system colours, as 0xRRGGBB, by index.
const QRgb SystemColorValues[] = {
    0xC8C8C8, // scroll bar
    0x000000, // background
    0x99B4D1, // active caption
    0xBFCDDB, // inactive caption
    0xF0F0F0, // menu
    0xFFFFFF, // window
    0x646464, // window frame
    0x000000, // menu text
    0x000000, // window text
    0x000000, // caption text
    0xB4B4B4, // active border
    0xF4F7FC, // inactive border
    0xABABAB, // application work space
    0x0078D7, // highlight
    0xFFFFFF, // highlight text
    0xF0F0F0, // button face
    0xA0A0A0, // button shadow
    0x6D6D6D, // grey text
    0x000000, // button text
    0x000000, // inactive caption text
    0xFFFFFF, // button highlight
    0x696969, // 3D dark shadow
    0xE3E3E3, // 3D light
    0x000000, // info text
    0xFFFFE1, // info background
    0x000000, // (unused index)
    0x0066CC, // hot light
    0xB9D1EA, // gradient active caption
    0xD7E4F2, // gradient inactive caption
    0x3399FF, // menu highlight
    0xF0F0F0, // menu bar
};

constexpr TColor ClNone = 0x1FFFFFFF;
constexpr TColor ClDefault = 0x20000000;

// Copy(s, index, count) with 1-based positions: out-of-range parts are simply empty.
QString Copy(const QString &s, qsizetype index, qsizetype count)
{
    if (index < 1 || count <= 0 || index > s.size())
        return {};
    return s.mid(index - 1, count);
}

// 1-based position of the first comma, 0 when there is none.
qsizetype CommaPos(const QString &s)
{
    return s.indexOf(QLatin1Char(',')) + 1;
}

} // namespace

QString ColorToText(TColor color)
{
    for (const NamedColor &c : ColorNames)
        if (c.value == color)
            return QLatin1String(c.name);
    return QStringLiteral("$%1").arg(static_cast<uint32_t>(color), 8, 16, QLatin1Char('0')).toUpper();
}

bool TextToColor(const QString &text, TColor &color)
{
    for (const NamedColor &c : ColorNames) {
        if (text.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0) {
            color = c.value;
            return true;
        }
    }
    if (text.startsWith(QLatin1Char('$'))) {
        const QString digits = text.mid(1);
        if (digits.isEmpty() || digits.size() > 8)
            return false;
        for (QChar ch : digits)
            if (!ch.isDigit() && !QStringLiteral("abcdefABCDEF").contains(ch))
                return false;
        bool ok = false;
        const uint32_t value = digits.toUInt(&ok, 16);
        if (!ok)
            return false;
        color = static_cast<TColor>(value);
        return true;
    }
    int value = 0;
    if (!TryParseInteger(text, value))
        return false;
    color = value;
    return true;
}

QString FontToText(const TFontInfo &font)
{
    QStringList styles;
    if (font.Bold)
        styles << QStringLiteral("Bold");
    if (font.Italic)
        styles << QStringLiteral("Italic");
    if (font.Underline)
        styles << QStringLiteral("Underline");
    if (font.StrikeOut)
        styles << QStringLiteral("Strikeout");
    return QStringLiteral("\"%1\", %2, [%3], [%4]")
        .arg(font.Name, QString::number(font.Size), styles.join(QLatin1Char('|')), ColorToText(font.Color));
}

// The text is cut at its first three commas; each piece is taken at fixed offsets from
// the commas, and the first piece that does not make sense ends the reading quietly.
void TextToFont(const QString &text, TFontInfo &font)
{
    QString rest = text;

    qsizetype c = CommaPos(rest);
    if (c == 0)
        return;
    // The name runs from after the opening quote up to the comma, without the closing
    // quote; a name that holds a comma thus ends at it ("A,B" gives A).
    QString name = Copy(rest, 2, c - 2);
    if (name.endsWith(QLatin1Char('"')))
        name.chop(1);
    font.Name = name;
    rest = rest.mid(c);

    c = CommaPos(rest);
    if (c == 0)
        return;
    int size = 0;
    if (!TryParseInteger(Copy(rest, 2, c - 2), size))
        return;
    font.Size = size;
    rest = rest.mid(c);

    c = CommaPos(rest);
    if (c == 0)
        return;
    const QString styles = QLatin1Char('|') + Copy(rest, 3, c - 4);   // inside " [" ... "]"
    rest = rest.mid(c);

    TColor color = 0;
    if (!TextToColor(Copy(rest, 3, rest.size() - 3), color))
        return;
    font.Color = color;

    font.Bold = styles.contains(QStringLiteral("|Bold"));
    font.Italic = styles.contains(QStringLiteral("|Italic"));
    font.Underline = styles.contains(QStringLiteral("|Underline"));
    font.StrikeOut = styles.contains(QStringLiteral("|Strikeout"));
}

QColor ToQColor(TColor color)
{
    if (color == ClNone)
        return QColor(Qt::transparent);
    if (color == ClDefault)
        return QColor(Qt::black);
    const uint32_t value = static_cast<uint32_t>(color);
    if ((value & 0xFF000000u) == 0xFF000000u) {
        const uint32_t index = value & 0xFFu;
        const QRgb rgb = index < std::size(SystemColorValues) ? SystemColorValues[index] : 0;
        return QColor::fromRgb(rgb);
    }
    // The high byte only says how a palette would pick the colour; the low three are it.
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

TColor FromQColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return static_cast<TColor>(uint32_t(rgb.red()) | uint32_t(rgb.green()) << 8 | uint32_t(rgb.blue()) << 16);
}

QFont ToQFont(const TFontInfo &font)
{
    QFont f(font.Name);
    // A size a hand-edited file made zero or negative would only make Qt complain.
    if (font.Size > 0)
        f.setPointSize(font.Size);
    else
        f.setPointSize(TFontInfo().Size);
    f.setBold(font.Bold);
    f.setItalic(font.Italic);
    f.setUnderline(font.Underline);
    f.setStrikeOut(font.StrikeOut);
    return f;
}

TFontInfo FromQFont(const QFont &font, const QColor &color)
{
    TFontInfo info;
    info.Name = font.family();
    if (font.pointSize() > 0)
        info.Size = font.pointSize();
    else if (font.pixelSize() > 0)
        info.Size = qRound(font.pixelSize() * 72.0 / 96.0);   // Windows' 96 dots per inch
    info.Bold = font.bold();
    info.Italic = font.italic();
    info.Underline = font.underline();
    info.StrikeOut = font.strikeOut();
    info.Color = FromQColor(color);
    return info;
}
