#pragma once
// The chart as a panel of its own: the hyetograph chart, its five information labels that
// the user drags about, and their fonts. It shows a storm from a plain description and
// draws itself as a picture of any size. The main window embeds it; tavrel-cli's pictures
// and books use it alone.
#include "core/ChartTexts.h"
#include "core/GridText.h"
#include "settings/Options.h"

#include <QImage>
#include <QList>
#include <QPoint>
#include <QWidget>
#include <vector>

class QCPPainter;
class QLabel;
class StormChart;

// A storm's rows as the chart shows them.
struct StormChartData {
    const std::vector<HyetographPoint> &points;
    const GridTable &grid;          // column 0 labels the bottom axis
    int timeFormat = 1;             // 0: clock labels, slanted; 1: minutes, upright
    QString bottomTitle;            // StormChartTexts::bottomTitle; empty keeps the title
};

class StormChartPanel : public QWidget {
    Q_OBJECT
public:
    explicit StormChartPanel(QWidget *parent = nullptr);

    StormChart *chart() const { return chart_; }
    QList<QLabel *> infoLabels() const { return labels; }

    // The chart's size in the main window as it opens, which tavrel-cli's pictures keep.
    static constexpr QSize StartSize{550, 480};

    // Which labels show.
    void showLabels(const TOptions &options);
    // The fonts of the axes and the labels.
    void applyFonts(const TOptions &options);
    // Loads the storm's points; the axes are scaled by showSeries.
    void showStorm(const StormChartData &storm);
    // The labels' texts and the intensity axis' title (empty texts keep what is shown).
    void showTexts(const StormChartTexts &texts);
    void clearStorm();
    // Which series show.
    void showSeries(bool bars, bool line);
    // The axis ranges for the series shown, from the storm's largest values.
    void scaleAxes(bool bars, bool line, double largestIntensity, double largestCumulative);

    // The chart drawn now with the labels on it, at its size on screen.
    QImage picture();
    // The same at another size; the chart is back in its place afterwards, whatever happens.
    QImage pictureAt(QSize size);

    // Draws the chart with its labels into `target`, laid out at its size on screen and
    // scaled to fit: lines stay lines and texts stay texts, for a printer. The painter's
    // device must have the screen's resolution, as the chart measures its texts there.
    void paintVector(QCPPainter &painter, const QRectF &target);

    // Where the labels were put, in their order; a smaller chart holds them nearer its
    // edges, and they go back when it grows again.
    QList<QPoint> labelPositions() const { return wanted; }
    // Puts them there (a list of another length is ignored).
    void setLabelPositions(const QList<QPoint> &positions);
    // Puts the labels back where the panel starts them.
    void resetLabels();
    static QList<QPoint> startPositions();
    static constexpr int LabelStartLeft = 100;
    static constexpr int LabelStartTop = 96;
    static constexpr int LabelStartSpacing = 22;

signals:
    // A drag of a label ended somewhere else.
    void labelsMoved(const QList<QPoint> &before, const QList<QPoint> &after);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeLabel(QLabel *label, const QPoint &position);
    void showLabelAt(QLabel *label, const QPoint &position);

    StormChart *chart_ = nullptr;
    QList<QLabel *> labels;
    QPoint dragAnchor;
    QList<QPoint> wanted;
    QList<QPoint> beforeDrag;
};
