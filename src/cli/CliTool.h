#pragma once
// tavrel-cli: the storm table for scripts. Kept apart from main() so tests can run it.
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct CliStreams {
    QString out;    // what goes to standard output (UTF-8)
    QString err;    // what goes to standard error
};

struct CliOutputContext;
// Draws a storm's chart into a picture file, its format by the path's extension: at the
// window's start size, or at the calculation book's picture size. Only the programs with
// the desktop libraries have one.
using CliChartDrawer = std::function<void(const CliOutputContext &storm, const QString &path, bool bookSize)>;

// An output name for one storm: {P}, {T} and {r} replaced by the general number texts of
// the storm's return period, duration and peak ratio.
QString StormOutputName(const QString &name, double P, double T, double r);

// Runs the tool with its arguments (without the program name); returns the exit code.
// Without `drawChart` the pictures and the book are refused with a message.
int RunCli(const QStringList &arguments, CliStreams &streams, const CliChartDrawer &drawChart = {});

QString CliHelpText();
