#pragma once
#include "core/GridText.h"
#include "core/Storm.h"
#include "core/StormModel.h"
#include "settings/Options.h"

#include <vector>

// What a writer of tavrel-cli -o gets: the model after overrides, the settings in force,
// the computed rows (with the model's results set) and the table texts.
struct CliOutputContext {
    TExpressionObject model;
    TOptions options;
    Storm storm;
    GridTable grid;
};
