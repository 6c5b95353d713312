#pragma once
#include <QFont>

// The font of every window: 宋体 with 12-pixel characters where Windows has it, the same
// Song face from AR PL elsewhere.
inline QFont SongWindowFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL UMing TW")});
    font.setPixelSize(12);
    return font;
}
