#pragma once
#include <QFont>

// The font of every window: the sans-serif Chinese face that Chinese desktops use for their
// interfaces, with 12-pixel characters. Noto Sans CJK SC on Linux (the package depends on it),
// 微软雅黑 on Windows, then the other common sans-serif Chinese faces; the chart and the
// documents keep the faces their settings name.
inline QFont WindowFont()
{
    QFont font;
#ifdef Q_OS_WIN
    font.setFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("微软雅黑"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Droid Sans Fallback")});
#else
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Microsoft YaHei"), QStringLiteral("微软雅黑"),
                      QStringLiteral("Source Han Sans SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Droid Sans Fallback")});
#endif
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    return font;
}
