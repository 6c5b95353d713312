#pragma once
// tavrel-cli: the storm table for scripts. Kept apart from main() so tests can run it.
#include "CliOutput.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct CliOutputContext;
// Draws a storm's chart into a picture file, its format by the path's extension: at the
// window's start size, or at the calculation book's picture size. Only the programs with
// the desktop libraries have one.
using CliChartDrawer = std::function<void(const CliOutputContext &storm, const QString &path, bool bookSize)>;

// Runs the tool with its arguments (without the program name); returns the exit code.
// Without `drawChart` the pictures and the book are refused with a message.
int RunCli(const QStringList &arguments, CliStreams &streams, const CliChartDrawer &drawChart = {});

QString CliHelpText();
