// The charts of tavrel-cli: the chart panel alone, offscreen, with the storm and settings
// of the run, drawn exactly as the desktop program draws it.
#include "CliCharts.h"

#include "core/ChartTexts.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "export/CalcBook.h"
#include "export/CompilationReport.h"
#include "ui/ChartPanel.h"
#include "ui/PictureEncoding.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {
void RequireApplication()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw TavrelError(QStringLiteral("图片输出需要图形界面库 / pictures need the desktop libraries"));
}
} // namespace

void DrawStormChart(const CliOutputContext &storm, const QString &path, bool bookSize)
{
    RequireApplication();
    const TOptions &o = storm.options;
    const std::vector<HyetographPoint> &points = storm.storm.points;
    const StormChartTexts texts = ChartTextsOf(storm.model, GridFormatOf(o));
    double largestIntensity = 0, largestCumulative = 0;
    for (const HyetographPoint &p : points) {
        largestIntensity = std::max(largestIntensity, p.intensity);
        largestCumulative = std::max(largestCumulative, p.cumulative);
    }
    const bool bars = o.Bool_ShowAxis_Overall_Rainfall;
    const bool line = o.Bool_ShowAxis_Rainfall_Intensity;

    StormChartPanel panel;
    panel.setAttribute(Qt::WA_DontShowOnScreen);
    panel.resize(StormChartPanel::StartSize);
    panel.showLabels(o);
    panel.applyFonts(o);
    panel.showStorm({points, storm.grid, o.Int_TimeForamtidx, texts.bottomTitle});
    panel.showSeries(bars, line);
    panel.scaleAxes(bars, line, largestIntensity, largestCumulative);
    panel.showTexts(texts);
    panel.show();
    QCoreApplication::processEvents();
    WritePictureFile(path, bookSize ? panel.pictureAt(CalcBookPictureSize(panel.logicalDpiX())) : panel.picture());
}

// A plain drawing of the frequency curve; the probability axis is linear in the normal
// quantile, so a normal distribution would be a straight line.
void DrawFrequencyPicture(const std::vector<double> &sample, const FrequencyCurve &curve, int durationMinutes,
                          const QString &path)
{
    RequireApplication();
    const double pFirst = 0.005, pLast = 0.99;   // exceedance probability at the left and right ends
    const auto quantile = [](double p) { return PearsonFactor(0, p); };
    const QSize size = CompilationFrequencyPictureSize;
    const QRectF plot(86, 48, size.width() - 116, size.height() - 124);
    const auto xOf = [&](double p) {
        return plot.left() + (quantile(pFirst) - quantile(p)) / (quantile(pFirst) - quantile(pLast)) * plot.width();
    };

    std::vector<double> sorted = sample;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    QPolygonF line;
    for (int k = 0; k <= 200; ++k) {
        const double z = quantile(pFirst) + (quantile(pLast) - quantile(pFirst)) * k / 200;
        const double p = std::erfc(z / std::sqrt(2.0)) / 2;
        line << QPointF(xOf(p), curve.depth(1 / p));
    }
    double top = sorted.empty() ? 1 : sorted.front();
    for (const QPointF &point : line)
        top = std::max(top, point.y());
    top = std::ceil(top * 1.05 / 10) * 10;
    const auto yOf = [&](double depth) { return plot.bottom() - depth / top * plot.height(); };
    for (QPointF &point : line)
        point.setY(yOf(point.y()));

    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(20);
    painter.setFont(font);
    painter.setPen(QColor(200, 200, 200));
    const double ticks[] = {0.5, 1, 2, 5, 10, 20, 30, 50, 70, 80, 90, 95, 99};
    for (double percent : ticks) {
        const double x = xOf(percent / 100);
        painter.setPen(QColor(200, 200, 200));
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 30, plot.bottom() + 4, 60, 26), Qt::AlignCenter, FormatGeneral(percent));
    }
    for (int k = 0; k <= 5; ++k) {
        const double y = yOf(top * k / 5);
        painter.setPen(QColor(200, 200, 200));
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, y - 13, plot.left() - 6, 26), Qt::AlignRight | Qt::AlignVCenter, FormatGeneral(top * k / 5));
    }
    painter.drawRect(plot);
    painter.drawText(QRectF(0, 8, size.width(), 34), Qt::AlignCenter, QStringLiteral("%1分钟").arg(durationMinutes));
    painter.drawText(QRectF(plot.left(), size.height() - 38, plot.width(), 32), Qt::AlignCenter, QStringLiteral("频率 P (%)"));
    painter.save();
    painter.translate(20, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-90, -16, 180, 32), Qt::AlignCenter, QStringLiteral("雨量 (mm)"));
    painter.restore();

    painter.setClipRect(plot);
    painter.setPen(QPen(QColor(0, 90, 200), 2));
    painter.drawPolyline(line);
    painter.setPen(QPen(QColor(200, 30, 30), 1.5));
    const double n = double(sorted.size());
    for (size_t m = 0; m < sorted.size(); ++m)
        painter.drawEllipse(QPointF(xOf(double(m + 1) / (n + 1)), yOf(sorted[m])), 4, 4);
    painter.end();
    WritePictureFile(path, image);
}
