#pragma once
// The charts of tavrel-cli's pictures and calculation books, drawn offscreen exactly as the
// desktop program draws them. Needs a QApplication; only in the programs with the desktop
// libraries.
#include "CliOutput.h"
#include <QString>

// The storm's chart as a picture file (format by extension): at the window's start size
// with the labels the settings show, or at the calculation book's picture size.
void DrawStormChart(const CliOutputContext &storm, const QString &path, bool bookSize);
