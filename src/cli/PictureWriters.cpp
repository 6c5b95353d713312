// The charts of tavrel-cli: the chart panel alone, offscreen, with the storm and settings
// of the run, drawn exactly as the desktop program draws it.
#include "CliCharts.h"

#include "core/ChartTexts.h"
#include "core/Failure.h"
#include "export/CalcBook.h"
#include "ui/ChartPanel.h"
#include "ui/PictureEncoding.h"

#include <QApplication>
#include <algorithm>

void DrawStormChart(const CliOutputContext &storm, const QString &path, bool bookSize)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        throw TavrelError(QStringLiteral("图片输出需要图形界面库 / pictures need the desktop libraries"));
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
