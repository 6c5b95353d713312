#include "LegendPlacement.h"

#include <QLineF>
#include <algorithm>
#include <array>
#include <cmath>

namespace {
bool SegmentMeetsRect(const QPointF &a, const QPointF &b, const QRectF &rect)
{
    if (rect.contains(a) || rect.contains(b))
        return true;
    if (std::max(a.x(), b.x()) < rect.left() || std::min(a.x(), b.x()) > rect.right()
        || std::max(a.y(), b.y()) < rect.top() || std::min(a.y(), b.y()) > rect.bottom())
        return false;
    // Both ends outside: the segment crosses the rectangle only through one of its sides.
    const QLineF segment(a, b);
    const std::array<QLineF, 4> sides = {QLineF(rect.topLeft(), rect.topRight()), QLineF(rect.topRight(), rect.bottomRight()),
                                         QLineF(rect.bottomRight(), rect.bottomLeft()),
                                         QLineF(rect.bottomLeft(), rect.topLeft())};
    return std::any_of(sides.begin(), sides.end(),
                       [&](const QLineF &side) { return segment.intersects(side, nullptr) == QLineF::BoundedIntersection; });
}

bool Covers(const QRectF &rect, const ChartObstacles &obstacles)
{
    for (const QRectF &box : obstacles.boxes)
        if (box.intersects(rect))
            return true;
    for (const QPolygonF &line : obstacles.lines) {
        if (line.size() == 1 && rect.contains(line.first()))
            return true;
        for (qsizetype k = 1; k < line.size(); ++k)
            if (SegmentMeetsRect(line[k - 1], line[k], rect))
                return true;
    }
    return false;
}
} // namespace

std::optional<QRect> FreePlaceFor(const QRect &area, const QSize &size, const ChartObstacles &obstacles, int clearance)
{
    if (size.width() > area.width() || size.height() > area.height())
        return std::nullopt;
    // Fractions of the room left around the box: 0 at the area's left or top, 1 at its
    // right or bottom. The nearer a place is to a corner, the earlier it is tried; among
    // places as near, right before left, then top before bottom.
    static constexpr double Steps = 4;
    struct Candidate {
        double fx, fy;
    };
    std::vector<Candidate> candidates;
    for (int i = 0; i <= Steps; ++i)
        for (int j = 0; j <= Steps; ++j)
            candidates.push_back({1 - i / Steps, j / Steps});
    const auto edgeness = [](const Candidate &c) { return std::abs(c.fx - 0.5) + std::abs(c.fy - 0.5); };
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const Candidate &a, const Candidate &b) { return edgeness(a) > edgeness(b); });
    const int roomX = area.width() - size.width();
    const int roomY = area.height() - size.height();
    for (const Candidate &c : candidates) {
        const QRect place(area.left() + static_cast<int>(std::lround(c.fx * roomX)),
                          area.top() + static_cast<int>(std::lround(c.fy * roomY)), size.width(), size.height());
        if (!Covers(QRectF(place).adjusted(-clearance, -clearance, clearance, clearance), obstacles))
            return place;
    }
    return std::nullopt;
}
