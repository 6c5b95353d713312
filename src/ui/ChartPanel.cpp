#include "ChartPanel.h"
#include "StormChart.h"
#include "WindowFont.h"

#include "settings/FontText.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>
#include <algorithm>

namespace {
void ApplyAxisFont(QCPAxis *axis, const QString &text, bool title)
{
    TFontInfo info = FromQFont(title ? axis->labelFont() : axis->tickLabelFont(),
                               title ? axis->labelColor() : axis->tickLabelColor());
    TextToFont(text, info);
    if (title) {
        axis->setLabelFont(ToQFont(info));
        axis->setLabelColor(ToQColor(info.Color));
    } else {
        axis->setTickLabelFont(ToQFont(info));
        axis->setTickLabelColor(ToQColor(info.Color));
    }
}
} // namespace

StormChartPanel::StormChartPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ChartPanel"));
    // The chart and its labels take the window's font, also where no window holds them.
    setFont(WindowFont());
    chart_ = new StormChart(this);
    chart_->setObjectName(QStringLiteral("Chart1"));
    chart_->setContextMenuPolicy(Qt::CustomContextMenu);
    chart_->installEventFilter(this);

    wanted = startPositions();
    for (const char *name : {"Label_P", "Label_T", "Label_r", "Label_Overall_Rainfall", "Label_Average_Rainfall_Intensity"}) {
        auto *label = new QLabel(chart_);
        label->setObjectName(QString::fromLatin1(name));
        label->move(wanted[labels.size()]);
        label->setToolTip(QStringLiteral("按住拖动调整位置"));
        label->setAutoFillBackground(true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::Window, Qt::white);
        label->setPalette(palette);
        label->setCursor(Qt::SizeAllCursor);
        label->hide();
        label->installEventFilter(this);
        labels.append(label);
    }
}

void StormChartPanel::showLabels(const TOptions &o)
{
    const bool shown[] = {o.Bool_ShowLabel_P, o.Bool_ShowLabel_T, o.Bool_ShowLabel_R, o.Bool_ShowLabel_Overall_Rainfall,
                          o.Bool_ShowLabel_Average_Rainfall_Intensity};
    for (qsizetype k = 0; k < labels.size(); ++k)
        labels[k]->setVisible(shown[k]);
    chart_->replot(QCustomPlot::rpQueuedReplot);   // the legend keeps clear of the labels shown
}

void StormChartPanel::applyFonts(const TOptions &o)
{
    ApplyAxisFont(chart_->leftAxis(), o.Font_LeftAxis, false);
    ApplyAxisFont(chart_->leftAxis(), o.Font_LeftTitle, true);
    ApplyAxisFont(chart_->rightAxis(), o.Font_RightAxis, false);
    ApplyAxisFont(chart_->rightAxis(), o.Font_RightTitle, true);
    ApplyAxisFont(chart_->bottomAxis(), o.Font_BottomAxis, false);
    ApplyAxisFont(chart_->bottomAxis(), o.Font_BottomTitle, true);
    for (QLabel *label : labels) {
        TFontInfo info = FromQFont(label->font(), label->palette().color(QPalette::WindowText));
        TextToFont(o.Font_RainModelInfo, info);
        label->setFont(ToQFont(info));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, ToQColor(info.Color));
        label->setPalette(palette);
        label->adjustSize();
    }
    chart_->replot(QCustomPlot::rpQueuedReplot);
}

void StormChartPanel::showStorm(const StormChartData &storm)
{
    const auto n = static_cast<qsizetype>(storm.points.size());
    QVector<double> intensity(n), cumulative(n);
    for (qsizetype k = 0; k < n; ++k) {
        const HyetographPoint &p = storm.points[static_cast<size_t>(k)];
        intensity[k] = p.intensity;
        cumulative[k] = p.cumulative;
    }
    if (storm.timeFormat == 0)
        chart_->setBottomLabelsUpright(false);
    else if (storm.timeFormat == 1)
        chart_->setBottomLabelsUpright(true);
    if (!storm.bottomTitle.isEmpty())
        chart_->bottomAxis()->setLabel(storm.bottomTitle);
    chart_->setPoints(intensity, cumulative, storm.grid);
    chart_->leftAxis()->setRangeLower(0);
}

void StormChartPanel::showTexts(const StormChartTexts &texts)
{
    for (qsizetype k = 0; k < labels.size(); ++k) {
        if (!texts.labels[static_cast<size_t>(k)].isEmpty())
            labels[k]->setText(texts.labels[static_cast<size_t>(k)]);
        labels[k]->adjustSize();
    }
    if (!texts.leftTitle.isEmpty())
        chart_->leftAxis()->setLabel(texts.leftTitle);
    chart_->replot(QCustomPlot::rpQueuedReplot);
}

void StormChartPanel::clearStorm()
{
    chart_->clearPoints();
}

void StormChartPanel::showSeries(bool bars, bool line)
{
    chart_->rainfallSeries()->setVisible(bars);
    chart_->setLineVisible(line);
    chart_->replot(QCustomPlot::rpQueuedReplot);
}

void StormChartPanel::scaleAxes(bool bars, bool line, double largestIntensity, double largestCumulative)
{
    const StormAxisMaxima maxima = AxisMaximaOf(largestIntensity, largestCumulative, bars, line);
    if (maxima.left)
        chart_->leftAxis()->setRangeUpper(*maxima.left);
    if (maxima.right)
        chart_->setRightMaximum(*maxima.right);
}

QImage StormChartPanel::picture()
{
    // What the window shows: the chart drawn now, with the labels lying on it.
    chart_->replot(QCustomPlot::rpImmediateRefresh);
    QImage picture = chart_->grab().toImage();
    if (picture.size() != chart_->size())
        picture = picture.scaled(chart_->size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return picture.convertToFormat(QImage::Format_RGB888);
}

QImage StormChartPanel::pictureAt(QSize size)
{
    // The panel gives the chart its place; while the picture is drawn the chart takes the
    // asked size instead, and its place comes back on every path.
    const QRect placed = chart_->geometry();
    const auto reattach = qScopeGuard([this, placed] {
        chart_->setGeometry(placed);
        chart_->setViewport(chart_->rect());
        chart_->replot(QCustomPlot::rpQueuedReplot);
    });
    chart_->setGeometry(QRect(placed.topLeft(), size));
    // A hidden window gets no resize event; the chart must lay itself out all the same.
    chart_->setViewport(chart_->rect());
    chart_->replot(QCustomPlot::rpImmediateRefresh);
    return picture();
}

void StormChartPanel::paintVector(QCPPainter &painter, const QRectF &target)
{
    const QSize size = chart_->size();
    if (size.isEmpty())
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / size.width(), target.height() / size.height());
    painter.setClipRect(QRect(QPoint(0, 0), size));
    painter.setMode(QCPPainter::pmVectorized);
    chart_->toPainter(&painter, size.width(), size.height());
    for (QLabel *label : labels) {
        if (!label->isVisibleTo(this))
            continue;
        painter.fillRect(label->geometry(), label->palette().color(QPalette::Window));
        painter.setFont(label->font());
        painter.setPen(label->palette().color(QPalette::WindowText));
        painter.drawText(label->geometry(), static_cast<int>(label->alignment()), label->text());
    }
    painter.restore();
}

QList<QPoint> StormChartPanel::startPositions()
{
    QList<QPoint> positions;
    for (int k = 0; k < 5; ++k)
        positions << QPoint(LabelStartLeft, LabelStartTop + k * LabelStartSpacing);
    return positions;
}

void StormChartPanel::setLabelPositions(const QList<QPoint> &positions)
{
    if (positions.size() != labels.size())
        return;
    wanted = positions;
    for (qsizetype k = 0; k < labels.size(); ++k)
        showLabelAt(labels[k], wanted[k]);
    chart_->replot(QCustomPlot::rpQueuedReplot);
}

void StormChartPanel::resetLabels()
{
    setLabelPositions(startPositions());
}

void StormChartPanel::placeLabel(QLabel *label, const QPoint &position)
{
    showLabelAt(label, position);
    wanted[labels.indexOf(label)] = label->pos();
    chart_->replot(QCustomPlot::rpQueuedReplot);   // the legend moves out of the label's way
}

void StormChartPanel::showLabelAt(QLabel *label, const QPoint &position)
{
    // Inside the chart, where it can always be grabbed again.
    const int right = std::max(0, chart_->width() - label->width());
    const int bottom = std::max(0, chart_->height() - label->height());
    label->move(std::clamp(position.x(), 0, right), std::clamp(position.y(), 0, bottom));
}

void StormChartPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    chart_->setGeometry(rect());
}

bool StormChartPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *label = qobject_cast<QLabel *>(watched);
    if (label && labels.contains(label)) {
        if (event->type() == QEvent::MouseButtonPress) {
            dragAnchor = static_cast<QMouseEvent *>(event)->position().toPoint();
            beforeDrag = wanted;
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            if (!beforeDrag.isEmpty() && beforeDrag != wanted)
                emit labelsMoved(beforeDrag, wanted);
            beforeDrag.clear();
            return true;
        }
        if (event->type() == QEvent::MouseMove) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->buttons() & Qt::LeftButton)
                placeLabel(label, label->pos() + mouse->position().toPoint() - dragAnchor);
            return true;
        }
    }
    if (watched == chart_ && event->type() == QEvent::Resize) {
        // A smaller chart must not hide a label beyond its edge.
        for (qsizetype k = 0; k < labels.size(); ++k)
            showLabelAt(labels[k], wanted[k]);
    }
    return QWidget::eventFilter(watched, event);
}
