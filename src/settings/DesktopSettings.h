#pragma once
// What the desktop program remembers between runs beside the settings record: the window's
// place, where the chart labels were left, the folders of the last files per kind and the
// recent rain-model files. They live in options.ini in sections of their own, so the
// section "OPTIONS" and everyone who reads it see the file as before; a file without them
// gives the defaults below.
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

struct TDesktopSettings {
    // The window's frame position and client size; an empty rectangle: the default size,
    // centred on the screen.
    QRect window;
    bool windowMaximized = false;
    // The five chart labels in their order on the chart; empty: where the chart starts them.
    QList<QPoint> labelPositions;
    QString rainModelFolder;   // of the last rain-model file opened or written
    QString exportFolder;      // of the last export, picture or printed PDF written
    QString tableFolder;       // of the last intensity table opened to fit the formula
    QString recordFolder;      // of the last rain record read to compile the formula
    QStringList recentFiles;   // rain-model files, newest first

    static constexpr int MaxRecentFiles = 8;
    static constexpr int LabelCount = 5;

    bool operator==(const TDesktopSettings &) const = default;
};

// Reads the sections of these settings from the file; whatever is missing or does not read
// keeps its default. Reading never creates the file.
void LoadDesktopSettings(const QString &path, TDesktopSettings &settings);
// Writes them, keeping every other line of the file as it was. Throws TavrelError when the
// file cannot be written.
void SaveDesktopSettings(const QString &path, const TDesktopSettings &settings);

// The list with `path` at its head, any older mention of the same file dropped, cut to
// MaxRecentFiles.
QStringList WithRecentFile(const QStringList &recent, const QString &path);
// The list without `path`.
QStringList WithoutRecentFile(const QStringList &recent, const QString &path);
