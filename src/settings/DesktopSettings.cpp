#include "DesktopSettings.h"
#include "IniProfile.h"
#include "core/Failure.h"

#include <QDir>
#include <limits>

namespace {

const QString WindowSection = QStringLiteral("WINDOW");
const QString RecentSection = QStringLiteral("RECENT_FILES");
const char *const LabelKeys[TDesktopSettings::LabelCount] = {"Label_P", "Label_T", "Label_r", "Label_Overall_Rainfall",
                                                             "Label_Average"};

bool ReadInt(const IniProfile &ini, const char *key, int &value)
{
    bool ok = false;
    const int n = ini.value(WindowSection, QLatin1String(key)).toInt(&ok);
    if (ok)
        value = n;
    return ok;
}

// The far edge of a place (start + length - 1) must be a number a rectangle can hold: a
// hand-edited Window_Left=2147483647 with any width would overflow it.
bool EdgeFits(int start, int length)
{
    return qint64(start) + qint64(length) - 1 <= std::numeric_limits<int>::max();
}

// "x,y"
bool ReadPoint(const QString &text, QPoint &point)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return false;
    bool okX = false, okY = false;
    const int x = parts[0].trimmed().toInt(&okX);
    const int y = parts[1].trimmed().toInt(&okY);
    if (!okX || !okY)
        return false;
    point = QPoint(x, y);
    return true;
}

QString RecentKey(int number)
{
    return QStringLiteral("File%1").arg(number);
}

// Paths name the same file when they are the same after cleaning; Windows' file names do
// not care about letter case.
bool SameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    const Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    const Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    return QDir::cleanPath(a).compare(QDir::cleanPath(b), cs) == 0;
}

} // namespace

void LoadDesktopSettings(const QString &path, TDesktopSettings &settings)
{
    settings = TDesktopSettings();
    IniProfile ini;
    ini.load(path);

    int left = 0, top = 0, width = 0, height = 0, maximized = 0;
    // A place is taken whole or not at all: half of one puts the window anywhere.
    if (ReadInt(ini, "Window_Left", left) && ReadInt(ini, "Window_Top", top) && ReadInt(ini, "Window_Width", width)
        && ReadInt(ini, "Window_Height", height) && width > 0 && height > 0 && EdgeFits(left, width)
        && EdgeFits(top, height))
        settings.window = QRect(left, top, width, height);
    if (ReadInt(ini, "Window_Maximized", maximized))
        settings.windowMaximized = maximized != 0;

    QList<QPoint> labels;
    for (const char *key : LabelKeys) {
        QPoint point;
        if (!ReadPoint(ini.value(WindowSection, QLatin1String(key)), point))
            break;
        labels << point;
    }
    if (labels.size() == TDesktopSettings::LabelCount)
        settings.labelPositions = labels;

    settings.rainModelFolder = ini.value(WindowSection, QStringLiteral("Folder_RainModel"));
    settings.exportFolder = ini.value(WindowSection, QStringLiteral("Folder_Export"));
    settings.tableFolder = ini.value(WindowSection, QStringLiteral("Folder_Table"));
    settings.recordFolder = ini.value(WindowSection, QStringLiteral("Folder_Record"));

    for (int k = 1; k <= TDesktopSettings::MaxRecentFiles; ++k) {
        const QString file = ini.value(RecentSection, RecentKey(k));
        if (!file.isEmpty() && !settings.recentFiles.contains(file))
            settings.recentFiles << file;
    }
}

void SaveDesktopSettings(const QString &path, const TDesktopSettings &settings)
{
    IniProfile ini;
    // Rewriting a file we could not read would throw away everything else in it.
    if (!ini.load(path))
        throw TavrelError(QStringLiteral("无法写入设置文件“%1”").arg(QDir::toNativeSeparators(path)));
    const auto set = [&ini](const char *key, const QString &value) { ini.setValue(WindowSection, QLatin1String(key), value); };
    if (!settings.window.isEmpty()) {
        set("Window_Left", QString::number(settings.window.left()));
        set("Window_Top", QString::number(settings.window.top()));
        set("Window_Width", QString::number(settings.window.width()));
        set("Window_Height", QString::number(settings.window.height()));
    }
    set("Window_Maximized", settings.windowMaximized ? QStringLiteral("1") : QStringLiteral("0"));
    if (settings.labelPositions.size() == TDesktopSettings::LabelCount)
        for (int k = 0; k < TDesktopSettings::LabelCount; ++k)
            set(LabelKeys[k], QStringLiteral("%1,%2").arg(settings.labelPositions[k].x()).arg(settings.labelPositions[k].y()));
    set("Folder_RainModel", settings.rainModelFolder);
    set("Folder_Export", settings.exportFolder);
    set("Folder_Table", settings.tableFolder);
    set("Folder_Record", settings.recordFolder);
    // Every place is written, the empty ones empty, so a shorter list leaves no old name behind.
    for (int k = 1; k <= TDesktopSettings::MaxRecentFiles; ++k)
        ini.setValue(RecentSection, RecentKey(k), settings.recentFiles.value(k - 1));
    ini.save(path);
}

QStringList WithRecentFile(const QStringList &recent, const QString &path)
{
    QStringList list = WithoutRecentFile(recent, path);
    list.prepend(path);
    while (list.size() > TDesktopSettings::MaxRecentFiles)
        list.removeLast();
    return list;
}

QStringList WithoutRecentFile(const QStringList &recent, const QString &path)
{
    QStringList list;
    for (const QString &each : recent)
        if (!SameFile(each, path))
            list << each;
    return list;
}
