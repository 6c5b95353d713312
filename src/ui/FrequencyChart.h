#pragma once
// One duration's annual maxima on Hazen probability paper: the exceedance probability on a
// normal-probability scale, the sample at its empirical frequencies m/(n+1) as points and
// the fitted frequency curve as a line. The dialog shows it; the compilation report draws
// one picture per duration with render().
#include "core/FrequencyAnalysis.h"
#include <QImage>
#include <qcustomplot.h>
#include <vector>

class FrequencyChart : public QCustomPlot {
    Q_OBJECT
public:
    explicit FrequencyChart(QWidget *parent = nullptr);

    // The sample in any order (mm); the curve fitted to it.
    void setCurve(int duration, const std::vector<double> &sample, const FrequencyCurve &curve);
    void clearCurve();
    // The chart drawn at this size, whether or not it is on screen.
    QImage render(QSize size);

    // Where an exceedance probability (0..1) lies along the probability axis.
    static double axisPosition(double probability);
};
