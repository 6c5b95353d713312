#include "StormChart.h"

#include <algorithm>
#include <cmath>

namespace {
const QColor GridLineColour(255, 128, 128);
const QColor IntensityColour(255, 128, 0);
constexpr double HoverTolerance = 6.0;   // pixels around a line point that count as on it
constexpr int LegendGap = 6;             // pixels between the legend and the axes

void StyleAxis(QCPAxis *axis, bool gridLines)
{
    axis->setBasePen(QPen(QColor(Qt::lightGray), 1));
    axis->setTickPen(QPen(QColor(Qt::lightGray), 1));
    axis->setSubTickPen(QPen(QColor(Qt::lightGray), 1));
    axis->grid()->setVisible(gridLines);
    axis->grid()->setPen(QPen(GridLineColour, 1, Qt::DotLine));
    axis->grid()->setZeroLinePen(Qt::NoPen);
}
} // namespace

PaletteBars::PaletteBars(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPBars(keyAxis, valueAxis) {}

const QVector<QColor> &PaletteBars::Palette()
{
    // Distinct colours, cycled by point index; none of them white, which would vanish on
    // the chart's background.
    static const QVector<QColor> palette = {
        QColor(255, 0, 0), QColor(0, 128, 0), QColor(255, 255, 0), QColor(0, 0, 255), QColor(128, 64, 0),
        QColor(128, 128, 128), QColor(255, 0, 255), QColor(0, 128, 128), QColor(0, 0, 128), QColor(128, 0, 0),
        QColor(0, 255, 0), QColor(128, 128, 0), QColor(128, 0, 128), QColor(192, 192, 192), QColor(0, 255, 255),
        QColor(0, 0, 0), QColor(173, 255, 47), QColor(135, 206, 235), QColor(255, 228, 196), QColor(255, 165, 0),
    };
    return palette;
}

void PaletteBars::draw(QCPPainter *painter)
{
    if (!mKeyAxis || !mValueAxis || mDataContainer->isEmpty())
        return;
    QCPBarsDataContainer::const_iterator begin, end;
    getVisibleDataBounds(begin, end);
    if (begin == end)
        return;
    const QVector<QColor> &palette = Palette();
    // With more bars than pixels, draw one bar per pixel column: the last one, which is
    // the tallest, since the rain fallen only grows.
    for (auto it = begin; it != end; ++it) {
        QRectF rect = getBarRect(it->key, it->value);
        if (rect.width() < 1 && std::next(it) != end
            && std::floor(getBarRect(std::next(it)->key, 0).left()) == std::floor(rect.left()))
            continue;
        if (rect.width() < 1)
            rect.setWidth(1);   // a bar narrower than a pixel would fade to nothing
        const int index = static_cast<int>(it - mDataContainer->constBegin());
        const QColor colour = palette[index % palette.size()];
        // Solid fills with a light and a dark edge give the embossed look; a gradient per
        // bar costs ten times as much to draw.
        painter->setPen(Qt::NoPen);
        painter->setBrush(colour);
        painter->drawRect(rect);
        if (rect.width() > 3) {
            painter->setPen(QPen(colour.lighter(150), 1));
            painter->drawLine(QLineF(rect.left() + 0.5, rect.top(), rect.left() + 0.5, rect.bottom()));
            painter->setPen(QPen(colour.darker(150), 1));
            painter->drawLine(QLineF(rect.right() - 0.5, rect.top(), rect.right() - 0.5, rect.bottom()));
        }
    }
}

double TimeLabelTicker::getTickStep(const QCPRange &)
{
    return step;
}

int TimeLabelTicker::getSubTickCount(double)
{
    return 0;
}

QString TimeLabelTicker::getTickLabel(double tick, const QLocale &, QChar, int)
{
    const auto index = std::llround(tick);
    if (index < 0 || static_cast<size_t>(index) >= table.size())
        return {};
    return table.timeLabel(static_cast<size_t>(index));
}

QVector<double> TimeLabelTicker::createTickVector(double, const QCPRange &range)
{
    QVector<double> ticks;
    if (table.empty())
        return ticks;
    const auto last = static_cast<qsizetype>(table.size()) - 1;
    const auto first = std::max<qsizetype>(0, static_cast<qsizetype>(std::ceil(range.lower / step)) * step);
    const auto upper = std::min<qsizetype>(last, static_cast<qsizetype>(std::floor(range.upper)));
    for (qsizetype k = first; k <= upper; k += step)
        ticks.append(static_cast<double>(k));
    return ticks;
}

StormChart::StormChart(QWidget *parent) : QCustomPlot(parent)
{
    setBackground(Qt::white);
    setAntialiasedElements(QCP::aeAll);
    setNotAntialiasedElements(QCP::aeNone);
    setInteractions(QCP::Interactions());   // no zoom, no pan
    setMouseTracking(true);
    setNoAntialiasingOnDrag(false);
    // Nothing is drawn on the overlay layer, so it shares the one paint buffer instead of
    // a window-sized buffer of its own, filled at every replot.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);

    // The widget background is white already; a second fill of the plot area costs time.
    xAxis->setLabel(QStringLiteral("降雨历时(min)"));
    yAxis->setLabel(QStringLiteral("降雨强度(mm/min)"));
    yAxis2->setLabel(QStringLiteral("降雨总量(mm)"));
    yAxis2->setVisible(true);
    yAxis2->setRangeReversed(true);
    for (QCPAxis *axis : {yAxis, yAxis2}) {
        axis->setNumberFormat(QStringLiteral("f"));
        axis->setNumberPrecision(3);
        axis->setRange(0, 1);
    }
    StyleAxis(xAxis, true);
    StyleAxis(yAxis, true);
    StyleAxis(yAxis2, false);
    xAxis2->setVisible(true);
    xAxis2->setTicks(false);
    xAxis2->setTickLabels(false);
    xAxis2->setBasePen(QPen(QColor(Qt::gray), 1));
    yAxis->setBasePen(QPen(QColor(Qt::gray), 1));

    ticker.reset(new TimeLabelTicker);
    xAxis->setTicker(ticker);
    xAxis->setRange(-0.5, 0.5);

    barSeries = new PaletteBars(xAxis, yAxis2);
    barSeries->setObjectName(QStringLiteral("Series_Overall_Rainfall"));
    barSeries->setName(QStringLiteral("降雨总量"));
    barSeries->setWidth(0.3);
    barSeries->setPen(QPen(QColor(0, 128, 255)));
    barSeries->setBrush(QColor(0, 128, 255));
    barSeries->setSelectable(QCP::stNone);

    lineSeries = addGraph(xAxis, yAxis);
    lineSeries->setObjectName(QStringLiteral("Series_Rainfall_Intensity"));
    lineSeries->setName(QStringLiteral("降雨强度"));
    lineSeries->setPen(QPen(IntensityColour, 2));
    lineSeries->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, QPen(IntensityColour.darker(140), 1),
                                                QBrush(IntensityColour), 5));
    lineSeries->setSelectable(QCP::stNone);

    hoverMark = addGraph(xAxis, yAxis);
    hoverMark->setLineStyle(QCPGraph::lsNone);
    hoverMark->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QPen(QColor(0, 0, 255), 2), QBrush(Qt::white), 11));
    hoverMark->setSelectable(QCP::stNone);
    // No legend of its own: a hidden legend with entries is still measured at every replot.
    legend->clearItems();
    legend->setVisible(false);
    connect(this, &QCustomPlot::beforeReplot, this, &StormChart::updateLabelStep);
    // The margin is in pixels, so it is measured once the layout has its final size.
    connect(this, &QCustomPlot::afterLayout, this, &StormChart::applyRightMargin);
    applyRightMargin();
}

void StormChart::setRightMaximum(double value)
{
    rightMax = value;
    applyRightMargin();
}

void StormChart::applyRightMargin()
{
    const double height = axisRect()->height();
    const double upper = height > 2 * RightAxisMarginPixels ? rightMax * height / (height - RightAxisMarginPixels)
                                                            : rightMax;
    yAxis2->setRange(0, upper);
}

void StormChart::setPoints(const QVector<double> &intensity, const QVector<double> &cumulative, const GridTable &labels)
{
    const auto n = static_cast<qsizetype>(labels.size());
    QVector<double> keys(n);
    for (qsizetype k = 0; k < n; ++k)
        keys[k] = static_cast<double>(k);
    lineSeries->setData(keys, intensity, true);
    barSeries->setData(keys, cumulative, true);
    ticker->table = labels;
    xAxis->setRange(-0.5, std::max<double>(0.5, static_cast<double>(n) - 0.5));
    setHoverIndex(-1);
}

void StormChart::clearPoints()
{
    setPoints({}, {}, {});
}

void StormChart::setBottomLabelsUpright(bool upright)
{
    xAxis->setTickLabelRotation(upright ? 0 : 90);
}

void StormChart::updateLabelStep()
{
    const auto n = ticker->table.size();
    if (n == 0) {
        ticker->step = 1;
        return;
    }
    const QFontMetrics metrics(xAxis->tickLabelFont());
    double pitch;
    if (std::abs(xAxis->tickLabelRotation()) > 45) {
        pitch = metrics.height() + 2;
    } else {
        QString widest;
        // Labels of one storm differ in length only by their number of digits.
        for (const QString &label : {ticker->table.timeLabel(0), ticker->table.timeLabel(n - 1)})
            if (label.size() > widest.size())
                widest = label;
        pitch = metrics.horizontalAdvance(widest) + 8;
    }
    const double length = std::max(1, axisRect()->width());
    const double perPoint = length / static_cast<double>(n);
    const double needed = pitch / perPoint;
    static const int steps[] = {1, 2, 5, 10, 15, 20, 30, 60, 120, 180, 240, 360, 720, 1440, 2880, 7200, 14400, 28800};
    int step = steps[std::size(steps) - 1];
    for (int candidate : steps) {
        if (candidate >= needed) {
            step = candidate;
            break;
        }
    }
    while (step < needed)
        step *= 2;
    ticker->step = step;
}

int StormChart::lineIndexAt(const QPointF &pos) const
{
    if (!lineSeries->visible() || lineSeries->dataCount() == 0)
        return -1;
    const double left = xAxis->pixelToCoord(pos.x() - HoverTolerance);
    const double right = xAxis->pixelToCoord(pos.x() + HoverTolerance);
    const int last = lineSeries->dataCount() - 1;
    const int from = std::clamp(static_cast<int>(std::ceil(std::min(left, right))), 0, last);
    const int to = std::clamp(static_cast<int>(std::floor(std::max(left, right))), 0, last);
    int best = -1;
    double bestDistance = HoverTolerance;
    auto data = lineSeries->data();
    for (int k = from; k <= to && k - from < 5000; ++k) {
        const double px = xAxis->coordToPixel(k);
        const double py = yAxis->coordToPixel((data->constBegin() + k)->value);
        const double distance = std::hypot(px - pos.x(), py - pos.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = k;
        }
    }
    return best;
}

int StormChart::barIndexAt(const QPointF &pos) const
{
    if (!barSeries->visible() || barSeries->dataCount() == 0)
        return -1;
    const int k = static_cast<int>(std::llround(xAxis->pixelToCoord(pos.x())));
    if (k < 0 || k >= barSeries->dataCount())
        return -1;
    const double value = (barSeries->data()->constBegin() + k)->value;
    const double x0 = xAxis->coordToPixel(k - barSeries->width() / 2);
    const double x1 = xAxis->coordToPixel(k + barSeries->width() / 2);
    const double y0 = yAxis2->coordToPixel(0);
    const double y1 = yAxis2->coordToPixel(value);
    const bool inside = pos.x() >= std::min(x0, x1) - 1 && pos.x() <= std::max(x0, x1) + 1
        && pos.y() >= std::min(y0, y1) - 1 && pos.y() <= std::max(y0, y1) + 1;
    return inside ? k : -1;
}

void StormChart::setHoverIndex(int index)
{
    if (index < 0 || index >= lineSeries->dataCount())
        index = -1;
    if (index == hover && (index >= 0) == (hoverMark->dataCount() > 0))
        return;
    hover = index;
    if (index < 0) {
        hoverMark->data()->clear();
    } else {
        const double value = (lineSeries->data()->constBegin() + index)->value;
        hoverMark->setData(QVector<double>{double(index)}, QVector<double>{value}, true);
    }
    replot(QCustomPlot::rpQueuedReplot);
}

void StormChart::setLineVisible(bool visible)
{
    // The hover ring belongs to the line and goes with it.
    lineSeries->setVisible(visible);
    hoverMark->setVisible(visible);
}

void StormChart::mouseMoveEvent(QMouseEvent *event)
{
    QCustomPlot::mouseMoveEvent(event);
    setHoverIndex(lineIndexAt(event->position()));
    emit chartMouseMoved(event);
}

void StormChart::mousePressEvent(QMouseEvent *event)
{
    QCustomPlot::mousePressEvent(event);
    emit chartMousePressed(event);
}

void StormChart::updateLayout()
{
    // The legend starts every layout inside the plot, so a chart that has grown finds room
    // for it there again; and a chart without a legend is laid out as it always was.
    if (legend->layout() != axisRect()->insetLayout()) {
        axisRect()->insetLayout()->addElement(legend, Qt::AlignRight | Qt::AlignTop);
        plotLayout()->simplify();
    }
    QCustomPlot::updateLayout();
    if (legend->visible() && legend->itemCount() > 0)
        placeLegend();
}

void StormChart::arrangeLegend(QCPLayoutGrid::FillOrder order, int wrap)
{
    if (legend->fillOrder() == order && legend->wrap() == wrap)
        return;
    legend->setWrap(wrap);
    legend->setFillOrder(order, true);
}

void StormChart::placeLegend()
{
    // Up to six storms in one column; more in two columns read downwards, so the legend
    // stays short.
    const int count = legend->itemCount();
    arrangeLegend(QCPLayoutGrid::foRowsFirst, count > 6 ? (count + 1) / 2 : count);
    // The legend draws its box around its outer rectangle, a little in from the axes.
    const QRect area = axisRect()->rect().adjusted(LegendGap, LegendGap, -LegendGap, -LegendGap);
    if (const auto place = FreePlaceFor(area, legend->minimumOuterSizeHint(), legendObstacles())) {
        legend->setOuterRect(*place);
        legend->update(QCPLayoutElement::upLayout);
        return;
    }
    // Below the plot, in one row if the chart is wide enough, else in as few rows as fit.
    int columns = count;
    for (; columns > 1; --columns) {
        arrangeLegend(QCPLayoutGrid::foColumnsFirst, columns);
        if (legend->minimumOuterSizeHint().width() <= viewport().width())
            break;
    }
    arrangeLegend(QCPLayoutGrid::foColumnsFirst, columns);
    plotLayout()->addElement(1, 0, legend);
    plotLayout()->setRowStretchFactor(1, 0.001);   // the legend's height, the plot the rest
    QCustomPlot::updateLayout();
    // The row is as wide as the chart; the legend keeps its own width, under the plot's
    // middle unless a label lies there.
    const QSize size = legend->minimumOuterSizeHint();
    const int left = std::clamp(axisRect()->left() + (axisRect()->width() - size.width()) / 2, viewport().left(),
                                std::max(viewport().left(), viewport().right() + 1 - size.width()));
    const QRect middle(QPoint(left, legend->outerRect().top()), size);
    ChartObstacles widgets;
    widgets.boxes = std::move(legendObstacles().boxes);
    auto place = FreePlaceFor(middle, size, widgets, 0);
    if (!place)
        place = FreePlaceFor(QRect(viewport().left(), middle.top(), viewport().width(), size.height()), size, widgets, 0);
    legend->setOuterRect(place.value_or(middle));
    legend->update(QCPLayoutElement::upLayout);
}

ChartObstacles StormChart::legendObstacles() const
{
    ChartObstacles obstacles;
    for (int k = 0; k < graphCount(); ++k) {
        const QCPGraph *line = graph(k);
        // The hover ring comes and goes with the mouse; the legend does not move for it.
        if (line == hoverMark || !line->realVisibility())
            continue;
        QPolygonF points;
        points.reserve(line->dataCount());
        for (auto it = line->data()->constBegin(); it != line->data()->constEnd(); ++it)
            points << QPointF(line->keyAxis()->coordToPixel(it->key), line->valueAxis()->coordToPixel(it->value));
        if (!points.isEmpty())
            obstacles.lines.push_back(std::move(points));
    }
    if (barSeries->realVisibility()) {
        const double top = yAxis2->coordToPixel(0);
        for (auto it = barSeries->data()->constBegin(); it != barSeries->data()->constEnd(); ++it) {
            const double x0 = xAxis->coordToPixel(it->key - barSeries->width() / 2);
            const double x1 = xAxis->coordToPixel(it->key + barSeries->width() / 2);
            const double bottom = yAxis2->coordToPixel(it->value);
            // A bar narrower than a pixel is drawn one pixel wide.
            obstacles.boxes.push_back(QRectF(QPointF(std::min(x0, x1), std::min(top, bottom)),
                                             QPointF(std::max(x0, x1 + 1), std::max(top, bottom))));
        }
    }
    // The information labels lie on the chart as widgets of their own.
    for (const QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (child->isVisibleTo(this))
            obstacles.boxes.push_back(child->geometry());
    return obstacles;
}
