#pragma once
// Where a box (the chart's legend) can lie over a chart without hiding anything drawn on it.
#include <QPolygonF>
#include <QRect>
#include <optional>
#include <vector>

// What the box must leave visible, in pixels: the series' lines through their points, and
// rectangles (bars, widgets lying on the chart).
struct ChartObstacles {
    std::vector<QPolygonF> lines;
    std::vector<QRectF> boxes;
};

// The first place, in order of preference, where a box of `size` lies inside `area` and
// keeps `clearance` pixels from every obstacle; none when every place covers one. The
// places lie on a grid across the area, tried corners first (top right, bottom right, top
// left, bottom left), then along the edges, then inwards: the box keeps to the edges and
// out of the reader's way when it can.
std::optional<QRect> FreePlaceFor(const QRect &area, const QSize &size, const ChartObstacles &obstacles,
                                  int clearance = 3);
