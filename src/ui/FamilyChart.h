#pragma once
// The other storms of a family over the chart: each one's intensity line in its own
// colour, under the current storm's line and bars, and a legend naming every storm.
// Cleared, the chart is exactly what it was before.
#include "core/StormFamily.h"

#include <QColor>
#include <QVector>
#include <vector>

class QCPGraph;
class StormChart;

class FamilyChartLines {
public:
    explicit FamilyChartLines(StormChart *chart);

    // Draws every storm of the family but the current one, whose rows the chart shows as
    // `current` (the other storms' rows are placed by their minutes on its axis).
    void show(const StormFamily &family, const std::vector<HyetographPoint> &current);
    void clear();
    bool shown() const { return !graphs.empty() || currentEntry; }
    // Hides and shows the lines and the legend without forgetting them.
    void setVisible(bool visible);

    const std::vector<QCPGraph *> &lines() const { return graphs; }
    // The colour of the k-th storm that is not the current one.
    static QColor LineColour(size_t k);

private:
    StormChart *chart;
    std::vector<QCPGraph *> graphs;
    QCPGraph *currentEntry = nullptr;   // the legend's entry for the chart's own line
};

// The horizontal positions of `rows` on a chart whose points are `axis` (0, 1, 2 ... in
// its order): a row at a minute of the axis takes that point's position; other minutes
// fall in between, or continue beyond the ends at the axis' last spacing.
QVector<double> KeysOnAxis(const std::vector<HyetographPoint> &axis, const std::vector<HyetographPoint> &rows);
