#pragma once
#include "core/GridText.h"
#include "core/Hyetograph.h"
#include "core/StormModel.h"
#include "settings/Options.h"

#include <optional>
#include <vector>

// The rows in hours:minutes and mm/h that the SWMM formats need.
struct SwmmRows {
    std::vector<HyetographPoint> points;
    GridTexts grid;
};

// What a writer of tavrel-cli -o gets: the model after overrides, the settings in force,
// the computed rows (with the model's results set) and the table texts.
struct CliOutputContext {
    TExpressionObject model;
    TOptions options;
    HyetographResult result;
    GridTexts grid;
    // Made by the first SWMM writer of the storm and kept for the next one.
    mutable std::optional<SwmmRows> swmmRows;
};
