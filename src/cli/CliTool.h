#pragma once
// tavrel-cli: the storm table for scripts. Kept apart from main() so tests can run it.
#include "CliOutput.h"
#include "core/FrequencyAnalysis.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct CliOutputContext;
// Draws a storm's chart into a picture file, its format by the path's extension: at the
// window's start size, or at the calculation book's picture size. Only the programs with
// the desktop libraries have one.
using CliChartDrawer = std::function<void(const CliOutputContext &storm, const QString &path, bool bookSize)>;

// Draws the frequency curve of one duration of the compilation report into a PNG file: the
// annual maxima of `durationMinutes` at their empirical frequencies and the fitted curve.
using CliFrequencyDrawer = std::function<void(const std::vector<double> &sample, const FrequencyCurve &curve,
                                              int durationMinutes, const QString &path)>;

// Runs the tool with its arguments (without the program name); returns the exit code.
// Without `drawChart` the pictures and the book are refused with a message, and without
// `drawFrequency` the compilation report.
int RunCli(const QStringList &arguments, CliStreams &streams, const CliChartDrawer &drawChart = {},
           const CliFrequencyDrawer &drawFrequency = {});

QString CliHelpText();
