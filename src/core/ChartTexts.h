#pragma once
// What the chart says of a storm besides its points: the five information labels, the
// axis titles and the axis maxima. The window, tavrel-cli's pictures and the calculation
// book's chart all take them from here.
#include "GridText.h"
#include "StormModel.h"

#include <QString>
#include <array>
#include <optional>

struct StormChartTexts {
    // P, T, r, total and average, in that order.
    std::array<QString, 5> labels;
    // Empty where a unit or time format other than the two known ones (only from a
    // hand-edited settings file) leaves the title as it was, as it does the average's label.
    QString leftTitle;
    QString bottomTitle;
};

// The texts for a computed storm (its results in the model) shown in `format`.
StormChartTexts ChartTextsOf(const TExpressionObject &model, const GridFormat &format);

// The axis ranges the chart takes for its largest intensity and cumulative rainfall: with
// both series shown each axis runs to twice its largest value, so line and bars share the
// height; with one series that one runs to 1.1 times its largest; a storm of no rain gets
// 1. A range the series shown do not need stays as it was (no value).
struct StormAxisMaxima {
    std::optional<double> left;
    std::optional<double> right;
};
StormAxisMaxima AxisMaximaOf(double largestIntensity, double largestCumulative, bool bars, bool line);
