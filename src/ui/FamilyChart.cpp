#include "FamilyChart.h"
#include "StormChart.h"

#include <algorithm>

namespace {
const QString FamilyLayer = QStringLiteral("family");
} // namespace

QColor FamilyChartLines::LineColour(size_t k)
{
    // Distinct from each other, from the current storm's orange and from the white ground.
    static const QColor colours[] = {
        QColor(0, 114, 189),  QColor(0, 158, 115), QColor(204, 0, 0),    QColor(126, 47, 142),
        QColor(0, 0, 0),      QColor(77, 190, 238), QColor(162, 20, 47),  QColor(119, 172, 48),
        QColor(230, 0, 126),  QColor(128, 128, 0),  QColor(0, 128, 128),  QColor(128, 128, 128),
    };
    return colours[k % std::size(colours)];
}

FamilyChartLines::FamilyChartLines(StormChart *chart) : chart(chart) {}

QVector<double> KeysOnAxis(const std::vector<HyetographPoint> &axis, const std::vector<HyetographPoint> &rows)
{
    const auto n = static_cast<qsizetype>(rows.size());
    QVector<double> keys(n);
    const bool sameMinutes = axis.size() == rows.size()
        && std::equal(axis.begin(), axis.end(), rows.begin(),
                      [](const HyetographPoint &a, const HyetographPoint &b) { return a.minute == b.minute; });
    if (sameMinutes || axis.size() < 2) {
        for (qsizetype k = 0; k < n; ++k)
            keys[k] = static_cast<double>(k);
        return keys;
    }
    const size_t last = axis.size() - 1;
    for (qsizetype k = 0; k < n; ++k) {
        const double m = rows[static_cast<size_t>(k)].minute;
        auto it = std::lower_bound(axis.begin(), axis.end(), m,
                                   [](const HyetographPoint &p, double minute) { return p.minute < minute; });
        size_t right = std::clamp<size_t>(static_cast<size_t>(it - axis.begin()), 1, last);
        const size_t left = right - 1;
        const double span = axis[right].minute - axis[left].minute;
        keys[k] = span > 0 ? static_cast<double>(left) + (m - axis[left].minute) / span : static_cast<double>(right);
    }
    return keys;
}

void FamilyChartLines::show(const StormFamily &family, const std::vector<HyetographPoint> &current)
{
    clear();
    if (!chart->layer(FamilyLayer))
        chart->addLayer(FamilyLayer, chart->layer(QStringLiteral("main")), QCustomPlot::limBelow);
    QCPLegend *legend = chart->legend;
    legend->clearItems();
    QCPGraph *own = chart->intensitySeries();
    size_t colour = 0;
    for (const FamilyMember &member : family.members) {
        QCPGraph *graph = chart->addGraph(chart->bottomAxis(), chart->leftAxis());
        graph->setSelectable(QCP::stNone);
        graph->setName(member.name + (member.current ? QStringLiteral("(当前)") : QString()));
        if (member.current) {
            // The chart's own line draws this storm; the entry only names it in the legend.
            graph->setPen(own->pen());
            graph->setScatterStyle(own->scatterStyle());
            currentEntry = graph;
            continue;
        }
        graph->setLayer(FamilyLayer);
        graph->setPen(QPen(LineColour(colour++), 1.5));
        QVector<double> values(static_cast<qsizetype>(member.points.size()));
        for (size_t k = 0; k < member.points.size(); ++k)
            values[static_cast<qsizetype>(k)] = member.points[k].intensity;
        graph->setData(KeysOnAxis(current, member.points), values, true);
        graphs.push_back(graph);
    }
    if (current.empty()) {
        // Without the current storm the axis holds no points; it spans the family's rows.
        size_t longest = 0;
        for (const FamilyMember &member : family.members)
            longest = std::max(longest, member.points.size());
        chart->bottomAxis()->setRange(-0.5, std::max<double>(0.5, static_cast<double>(longest) - 0.5));
    }
    legend->setFont(chart->bottomAxis()->tickLabelFont());
    legend->setBrush(QColor(255, 255, 255, 220));
    legend->setBorderPen(QPen(QColor(Qt::lightGray)));
    legend->setRowSpacing(0);
    legend->setColumnSpacing(6);
    legend->setIconSize(20, 10);
    legend->setIconTextPadding(4);
    // The chart places the legend at every layout, clear of what it draws.
    legend->setVisible(true);
    chart->replot(QCustomPlot::rpQueuedReplot);
}

void FamilyChartLines::clear()
{
    if (!shown())
        return;
    for (QCPGraph *graph : graphs)
        chart->removeGraph(graph);
    if (currentEntry)
        chart->removeGraph(currentEntry);
    graphs.clear();
    currentEntry = nullptr;
    // Back to the chart's own state: no legend.
    chart->legend->clearItems();
    chart->legend->setVisible(false);
    chart->replot(QCustomPlot::rpQueuedReplot);
}

void FamilyChartLines::setVisible(bool visible)
{
    for (QCPGraph *graph : graphs)
        graph->setVisible(visible);
    chart->legend->setVisible(visible && shown());
}
