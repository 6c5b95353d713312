// options.ini as a person may have edited it, read for the window's memory and the family
// choice: any bytes. Loading never fails, and what is then saved loads back the same.
// Values the profile store cannot keep are let pass: blanks at either end, a pair of
// matching quotes around the whole, which reading takes off as the desktop's profile
// functions do (a path has neither), and what UTF-8, the file's encoding once written,
// cannot hold (a lone surrogate read from a UTF-16 file).
#include "FuzzCheck.h"
#include "core/TextFile.h"
#include "settings/CompareChoice.h"
#include "settings/DesktopSettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <algorithm>

namespace {
bool Storable(const QString &value)
{
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return !quoted && value.trimmed() == value && QString::fromUtf8(value.toUtf8()) == value;
}

bool Storable(const TDesktopSettings &desktop, const TCompareChoice &choice)
{
    QStringList values = desktop.recentFiles;
    values << desktop.rainModelFolder << desktop.exportFolder << choice.Str_ComparePeriods << choice.Str_CompareRatios;
    return std::all_of(values.begin(), values.end(), [](const QString &v) { return Storable(v); });
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Every save syncs the file to its disk; in memory that costs nothing.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/tavrel-fuzz-XXXXXX")
                                                                         : QDir::tempPath() + QStringLiteral("/tavrel-fuzz-XXXXXX"));
    const QString path = folder.filePath(QStringLiteral("options.ini"));
    WriteFileAtomically(path, FuzzBytes(data, size));

    TDesktopSettings desktop;
    LoadDesktopSettings(path, desktop);
    TCompareChoice choice;
    LoadCompareChoice(path, choice);
    SaveDesktopSettings(path, desktop);
    SaveCompareChoice(path, choice);

    TDesktopSettings desktopAgain;
    LoadDesktopSettings(path, desktopAgain);
    TCompareChoice choiceAgain;
    LoadCompareChoice(path, choiceAgain);
    if (!Storable(desktop, choice))
        return 0;
    const QString saved = QString::fromUtf8(ReadWholeFile(path, -1));
    FUZZ_CHECK(desktopAgain == desktop, saved);
    FUZZ_CHECK(choiceAgain == choice, saved);
    return 0;
}
