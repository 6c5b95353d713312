// The charts of tavrel-cli: the chart panel alone, offscreen, with the storm and settings
// of the run, drawn exactly as the desktop program draws it.
#include "CliCharts.h"
#include "ui/FrequencyChart.h"

#include "core/ChartTexts.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "export/CalcBook.h"
#include "export/CompilationReport.h"
#include "ui/ChartPanel.h"
#include "ui/PictureEncoding.h"
#include "ui/StormPicture.h"

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
    WriteStormPicture(storm.storm, storm.options, storm.grid, path, bookSize);
}

// The dialog's own chart on Hazen's probability paper, drawn offscreen.
void DrawFrequencyPicture(const std::vector<double> &sample, const FrequencyCurve &curve, int durationMinutes,
                          const QString &path)
{
    RequireApplication();
    FrequencyChart chart;
    chart.setCurve(durationMinutes, sample, curve);
    WritePictureFile(path, chart.render(CompilationFrequencyPictureSize));
}
