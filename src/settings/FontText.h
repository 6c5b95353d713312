#pragma once
// The font text of the settings file: "\"Arial\", 9, [Bold|Underline], [clBlack]".
#include <QColor>
#include <QFont>
#include <QString>
#include <cstdint>

// A colour as the settings file knows it: 0x00BBGGRR, or a system colour 0xFF0000nn.
using TColor = int32_t;

struct TFontInfo {
    QString Name = QStringLiteral("Arial");
    int Size = 9;   // points
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    TColor Color = 0;

    bool operator==(const TFontInfo &) const = default;
};

QString FontToText(const TFontInfo &font);
// Sets what it can read, in order (name, size, styles and colour); stops silently at the
// first step that fails and leaves the rest as it was.
void TextToFont(const QString &text, TFontInfo &font);

// Colour names: "clBlack" ... and the system colours ("clWindowText", "clBtnFace" ...);
// a colour without a name is "$00BBGGRR".
QString ColorToText(TColor color);
bool TextToColor(const QString &text, TColor &color);

// To and from Qt's objects. System colours take the usual desktop values.
QColor ToQColor(TColor color);
TColor FromQColor(const QColor &color);
QFont ToQFont(const TFontInfo &font);
TFontInfo FromQFont(const QFont &font, const QColor &color);
