#include "Storm.h"

#include <algorithm>

Storm ComputeStorm(const TExpressionObject &model, const ComputeSettings &settings)
{
    Storm storm;
    storm.model = model;
    HyetographResult rows = ComputeHyetographRows(model, settings);
    storm.ok = rows.ok;
    storm.message = std::move(rows.message);
    storm.points = std::move(rows.points);
    storm.model.Strom_Overall_Rainfall = rows.ok ? rows.overall : 0;
    storm.model.Strom_Average_Rainfall_Intensity = rows.ok ? rows.average : 0;
    for (const HyetographPoint &p : storm.points) {
        storm.largestIntensity = std::max(storm.largestIntensity, p.intensity);
        storm.largestCumulative = std::max(storm.largestCumulative, p.cumulative);
    }
    return storm;
}
