#include "StormPicture.h"

#include "core/ChartTexts.h"
#include "export/CalcBook.h"
#include "ui/ChartPanel.h"
#include "ui/PictureEncoding.h"

#include <QCoreApplication>
#include <algorithm>

void WriteStormPicture(const Storm &storm, const TOptions &o, const GridTable &grid, const QString &path, bool bookSize)
{
    const std::vector<HyetographPoint> &points = storm.points;
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
    panel.showStorm({points, grid, o.Int_TimeForamtidx, texts.bottomTitle});
    panel.showSeries(bars, line);
    panel.scaleAxes(bars, line, largestIntensity, largestCumulative);
    panel.showTexts(texts);
    panel.show();
    QCoreApplication::processEvents();
    WritePictureFile(path, bookSize ? panel.pictureAt(CalcBookPictureSize(panel.logicalDpiX())) : panel.picture());
}
