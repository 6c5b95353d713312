#include "ui/FrequencyChart.h"
#include "WindowFont.h"
#include "core/Numbers.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace {

// The probabilities (percent) the paper is ruled at, spaced so that their labels stay apart.
constexpr double RuledPercents[] = {0.01, 0.1, 1, 5, 10, 20, 50, 80, 90, 95, 99, 99.9};
constexpr double FirstPercent = 0.01, LastPercent = 99.9;

} // namespace

double FrequencyChart::axisPosition(double probability)
{
    // The normal quantile exceeded with this probability: the paper's linear coordinate.
    return PearsonFactor(0, probability);
}

FrequencyChart::FrequencyChart(QWidget *parent) : QCustomPlot(parent)
{
    setObjectName(QStringLiteral("ChartFrequency"));
    const QFont font = WindowFont();
    auto ticker = QSharedPointer<QCPAxisTickerText>::create();
    for (double percent : RuledPercents)
        ticker->addTick(axisPosition(percent / 100), FormatGeneral(percent));
    xAxis->setTicker(ticker);
    // Rare floods on the left, as the paper is printed: the coordinate falls as p grows.
    xAxis->setRangeReversed(true);
    xAxis->setRange(axisPosition(FirstPercent / 100), axisPosition(LastPercent / 100));
    xAxis->setLabel(QStringLiteral("频率 P (%)"));
    yAxis->setLabel(QStringLiteral("雨量 (mm)"));
    for (QCPAxis *axis : {xAxis, yAxis}) {
        axis->setLabelFont(font);
        axis->setTickLabelFont(font);
        axis->grid()->setPen(QPen(QColor(190, 190, 190), 0, Qt::DotLine));
    }
    legend->setFont(font);
    legend->setVisible(false);
    axisRect()->insetLayout()->setInsetAlignment(0, Qt::AlignTop | Qt::AlignRight);
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, new QCPTextElement(this, QString(), font));

    QCPGraph *points = addGraph();
    points->setName(QStringLiteral("实测 m/(n+1)"));
    points->setLineStyle(QCPGraph::lsNone);
    points->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCircle, QColor(31, 119, 180), 6));
    QCPGraph *line = addGraph();
    line->setName(QStringLiteral("频率曲线"));
    line->setPen(QPen(QColor(214, 39, 40), 1.6));
}

void FrequencyChart::setCurve(int duration, const std::vector<double> &sample, const FrequencyCurve &curve)
{
    std::vector<double> sorted = sample;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    const double n = double(sorted.size());
    QVector<double> px, py;
    double low = sorted.empty() ? 0 : sorted.back(), high = sorted.empty() ? 1 : sorted.front();
    for (size_t m = 0; m < sorted.size(); ++m) {
        px << axisPosition(double(m + 1) / (n + 1));
        py << sorted[m];
    }
    graph(0)->setData(px, py);

    // The curve over the whole paper, finer where the probability axis stretches.
    QVector<double> cx, cy;
    constexpr int Samples = 160;
    const double from = axisPosition(FirstPercent / 100), to = axisPosition(LastPercent / 100);
    for (int k = 0; k <= Samples; ++k) {
        const double z = from + (to - from) * k / Samples;
        const double p = std::clamp(0.5 * std::erfc(z / std::sqrt(2.0)), 1e-9, 1 - 1e-9);
        const double x = curve.depth(1 / p);
        if (!std::isfinite(x))
            continue;
        cx << z;
        cy << x;
        low = std::min(low, x);
        high = std::max(high, x);
    }
    graph(1)->setData(cx, cy);
    const double margin = (high - low) * 0.05 + 1e-6;
    yAxis->setRange(std::max(0.0, low - margin), high + margin);
    legend->setVisible(true);
    static_cast<QCPTextElement *>(plotLayout()->element(0, 0))
        ->setText(QStringLiteral("%1分钟年最大雨量频率曲线（%2，n=%3）").arg(duration).arg(DistributionName(curve.distribution).section(QLatin1Char('/'), 0, 0).trimmed()).arg(sorted.size()));
    replot();
}

void FrequencyChart::clearCurve()
{
    graph(0)->data()->clear();
    graph(1)->data()->clear();
    legend->setVisible(false);
    static_cast<QCPTextElement *>(plotLayout()->element(0, 0))->setText(QString());
    replot();
}

QImage FrequencyChart::render(QSize size)
{
    // toPixmap lays the chart out at the asked size and gives the on-screen size back after.
    return toPixmap(size.width(), size.height(), 1.0).toImage();
}
