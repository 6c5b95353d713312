#pragma once
// The hyetograph chart: intensity line on the left axis, cumulative-rainfall bars hanging
// from the top on the reversed right axis, time labels below.
#include "LegendPlacement.h"
#include "core/GridText.h"

#include <QVector>
#include <qcustomplot.h>

// Bars that each take their own colour from the palette, in turn by point index.
class PaletteBars : public QCPBars {
    Q_OBJECT
public:
    PaletteBars(QCPAxis *keyAxis, QCPAxis *valueAxis);
    static const QVector<QColor> &Palette();

protected:
    void draw(QCPPainter *painter) override;
};

// Bottom-axis ticks at the points, labelled with their time texts and thinned evenly so
// the labels never overlap.
class TimeLabelTicker : public QCPAxisTicker {
public:
    GridTable table;   // labels are made for the ticks shown alone
    int step = 1;

protected:
    double getTickStep(const QCPRange &range) override;
    int getSubTickCount(double tickStep) override;
    QString getTickLabel(double tick, const QLocale &locale, QChar formatChar, int precision) override;
    QVector<double> createTickVector(double tickStep, const QCPRange &range) override;
};

class StormChart : public QCustomPlot {
    Q_OBJECT
public:
    explicit StormChart(QWidget *parent = nullptr);

    QCPGraph *intensitySeries() const { return lineSeries; }
    PaletteBars *rainfallSeries() const { return barSeries; }
    QCPAxis *leftAxis() const { return yAxis; }
    QCPAxis *rightAxis() const { return yAxis2; }
    QCPAxis *bottomAxis() const { return xAxis; }

    // Loads the points; x is the sequence number 0, 1, 2 ...
    void setPoints(const QVector<double> &intensity, const QVector<double> &cumulative, const GridTable &labels);
    void clearPoints();
    int pointCount() const { return static_cast<int>(ticker->table.size()); }
    void setBottomLabelsUpright(bool upright);
    int bottomLabelStep() const { return ticker->step; }

    // The line's point under a pixel position (within a few pixels), or -1.
    int lineIndexAt(const QPointF &pos) const;
    // The bar under a pixel position, or -1.
    int barIndexAt(const QPointF &pos) const;

    // The right axis' maximum. The axis keeps RightAxisMarginPixels of space beyond it,
    // so the longest bar stops short of the chart's bottom edge; its range reaches that much
    // further, whatever the chart's height.
    static constexpr int RightAxisMarginPixels = 10;
    void setRightMaximum(double value);
    double rightMaximum() const { return rightMax; }

    // The highlighted (hover) point, -1 for none. Drawn as a ring on the line.
    int hoverIndex() const { return hover; }
    void setHoverIndex(int index);
    void setLineVisible(bool visible);

signals:
    void chartMouseMoved(QMouseEvent *event);
    void chartMousePressed(QMouseEvent *event);

protected:
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    // Every layout (a resize, new points, a picture at another size) places the legend anew.
    void updateLayout() override;

private:
    void updateLabelStep();
    void applyRightMargin();
    // A shown legend lies where it hides no line, bar or widget on the chart; where no such
    // place is, it lies below the plot.
    void placeLegend();
    void arrangeLegend(QCPLayoutGrid::FillOrder order, int wrap);
    ChartObstacles legendObstacles() const;

    QCPGraph *lineSeries = nullptr;
    PaletteBars *barSeries = nullptr;
    QCPGraph *hoverMark = nullptr;
    QSharedPointer<TimeLabelTicker> ticker;
    int hover = -1;
    double rightMax = 1;
};
