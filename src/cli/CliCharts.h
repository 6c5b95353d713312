#pragma once
// The charts of tavrel-cli's pictures and calculation books, drawn offscreen exactly as the
// desktop program draws them. Needs a QApplication; only in the programs with the desktop
// libraries.
#include "CliOutput.h"
#include "core/FrequencyAnalysis.h"
#include <QString>
#include <vector>

// The storm's chart as a picture file (format by extension): at the window's start size
// with the labels the settings show, or at the calculation book's picture size.
void DrawStormChart(const CliOutputContext &storm, const QString &path, bool bookSize);

// One duration's frequency curve on a probability axis of the normal scale (Hazen's paper):
// the sample at its empirical frequencies m/(n+1) and the fitted curve, as a PNG file of the
// compilation report's picture size.
void DrawFrequencyPicture(const std::vector<double> &sample, const FrequencyCurve &curve, int durationMinutes,
                          const QString &path);
