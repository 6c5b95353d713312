#pragma once
// tavrel-cli: the storm table for scripts. Kept apart from main() so tests can run it.
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

struct CliStreams {
    QString out;    // what goes to standard output (UTF-8)
    QString err;    // what goes to standard error
};

// Writers for the other formats of -o, by lower-case extension (".csv", ".png" ...).
// The text formats register themselves from the export library, pictures from the
// desktop library, so this tool grows with them without reaching up.
struct CliOutputContext;
using CliWriter = std::function<void(const CliOutputContext &context, const QString &path)>;
std::map<QString, CliWriter> &CliWriters();

// Registers ".csv", ".dat", ".docx" and ".xlsx" (the export library's formats). RunCli calls it; more
// calls do no harm.
void RegisterExportCliWriters();
// Registers ".png", ".jpg" and ".bmp": the chart drawn offscreen. Needs a QApplication;
// only in builds with the desktop side.
void RegisterPictureCliWriters();

// Runs the tool with its arguments (without the program name); returns the exit code.
int RunCli(const QStringList &arguments, CliStreams &streams);

QString CliHelpText();
