#pragma once
// tavrel-cli: the storm table for scripts. Kept apart from main() so tests can run it.
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

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

// Writers that put every storm of a run into one file (".inp"), by lower-case extension.
// They get the storms in order and return a message for each storm they had to leave out
// (naming it); a failure of the whole file is thrown. Given a name with {P}, they are
// called once per storm, like the writers above.
using CliFamilyWriter = std::function<QStringList(const std::vector<CliOutputContext> &storms, const QString &path)>;
std::map<QString, CliFamilyWriter> &CliFamilyWriters();

// An output name for one storm: {P}, {T} and {r} replaced by the general number texts of
// the storm's return period, duration and peak ratio.
QString StormOutputName(const QString &name, double P, double T, double r);

// Registers ".csv", ".dat", ".inp", ".docx" and ".xlsx" (the export library's formats). RunCli calls it; more
// calls do no harm.
void RegisterExportCliWriters();
// Registers ".png", ".jpg" and ".bmp": the chart drawn offscreen. Needs a QApplication;
// only in builds with the desktop side.
void RegisterPictureCliWriters();
// The picture formats under one writer. tavrel-cli itself hands runs with pictures to its
// companion program, so it registers them only to name them (in --help).
void RegisterPictureCliFormats(const CliWriter &writer);

// The writer of --book (the calculation book, chart picture included), registered with the
// pictures; empty in builds without the desktop side.
CliWriter &CliBookWriter();

// Runs the tool with its arguments (without the program name); returns the exit code.
int RunCli(const QStringList &arguments, CliStreams &streams);

QString CliHelpText();
