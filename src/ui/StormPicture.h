#pragma once
// The storm's chart drawn offscreen as a picture file, exactly as the window draws it: at
// the window's start size with the labels the settings show, or at the calculation book's
// picture size. Needs a QApplication.
#include "core/GridText.h"
#include "core/Storm.h"
#include "settings/Options.h"

#include <QString>

void WriteStormPicture(const Storm &storm, const TOptions &options, const GridTable &grid, const QString &path,
                       bool bookSize);
