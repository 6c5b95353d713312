#pragma once
#include "core/GridText.h"
#include "core/Storm.h"
#include "core/StormModel.h"
#include "settings/Options.h"

#include <QString>
#include <QStringList>
#include <vector>

// What a writer of tavrel-cli -o gets: the model after overrides, the settings in force,
// the computed rows (with the model's results set) and the table texts.
struct CliOutputContext {
    TExpressionObject model;
    TOptions options;
    Storm storm;
    GridTable grid;
};

// What one run of the tool prints.
struct CliStreams {
    QString out;    // what goes to standard output (UTF-8)
    QString err;    // what goes to standard error
};

// An output name for one storm: {P}, {T} and {r} replaced by the general number texts of
// the storm's return period, duration and peak ratio.
QString StormOutputName(const QString &name, double P, double T, double r);
