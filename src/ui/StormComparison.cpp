#include "StormComparison.h"
#include "ChartPanel.h"
#include "CompareTables.h"
#include "FamilyChart.h"
#include "FormCompareStorms.h"
#include "PictureEncoding.h"

#include "core/DesignStormCheck.h"
#include "core/Storm.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "export/ExportFormats.h"
#include "export/FamilyExports.h"
#include "export/SwmmInputSection.h"
#include "platform/Platform.h"
#include "settings/Options.h"

#include <QDir>
#include <QFileInfo>
#include <QScreen>

namespace {

FamilyBy ByOf(const TCompareChoice &choice)
{
    return choice.Int_CompareBy == 1 ? FamilyBy::PeakRatio : FamilyBy::ReturnPeriod;
}
} // namespace

StormComparison::StormComparison(ComparisonHost &host, Platform &platform, StormChartPanel *panel,
                                 const TOptions &options, const QString &settingsPath)
    : QObject(host.hostWindow()), host(host), platform(platform), panel(panel), options(options),
      settingsPath(settingsPath), chartLines(std::make_unique<FamilyChartLines>(panel->chart()))
{
    LoadCompareChoice(settingsPath, chosen);
}

StormComparison::~StormComparison() = default;

void StormComparison::computeFamily()
{
    const TOptions &o = options;
    const FamilyBy by = ByOf(chosen);
    FamilyValues typed = ParseFamilyValues(by, by == FamilyBy::ReturnPeriod ? chosen.Str_ComparePeriods
                                                                             : chosen.Str_CompareRatios);
    storms = ComputeStormFamily(host.currentStorm().model, by, typed.values, ComputeSettingsOf(o), GridFormatOf(o));
    typed.problems.append(storms.problems);
    storms.problems = typed.problems;
    sideBySide = SideBySideOf(storms);
}

void StormComparison::refresh()
{
    if (comparing) {
        computeFamily();
        chartLines->show(storms, host.currentStorm().points);
    } else if (chartLines->shown()) {
        chartLines->clear();
        storms = StormFamily();
        sideBySide = SideBySideTable();
    } else if (!tablesWindow) {
        return;   // never compared: the window is exactly as it always was
    }
    fillTables();
    host.rescaleChart();   // the axes for what is drawn now
}

void StormComparison::showLines(bool line)
{
    if (chartLines->shown())
        chartLines->setVisible(line && !single);
}

double StormComparison::largestIntensity(double current) const
{
    return comparing && !single ? std::max(current, storms.largestIntensity) : current;
}

double StormComparison::largestCumulative(double current) const
{
    return comparing && !single ? std::max(current, storms.largestCumulative) : current;
}

StormComparison::SingleStormView::SingleStormView(StormComparison &comparison)
    : comparison(comparison), wasShown(comparison.chartLines->shown())
{
    if (!wasShown)
        return;
    comparison.single = true;
    comparison.host.rescaleChart();
}

StormComparison::SingleStormView::~SingleStormView()
{
    if (!wasShown)
        return;
    comparison.single = false;
    comparison.host.rescaleChart();
}

QPoint PlaceBeside(const QRect &main, const QRect &covered, const QSize &size, const QRect &screen)
{
    // Right of the main window, else left of it, else below, else above; where none fits,
    // against the screen's side away from the part that must stay in view.
    const QPoint candidates[] = {
        {main.right() + 8, main.top()},
        {main.left() - 8 - size.width(), main.top()},
        {main.left(), main.bottom() + 8},
        {main.left(), main.top() - 8 - size.height()},
    };
    for (const QPoint &place : candidates)
        if (screen.contains(QRect(place, size)))
            return place;
    const bool coveredOnLeft = covered.center().x() < screen.center().x();
    const int x = coveredOnLeft ? screen.right() + 1 - size.width() : screen.left();
    return {x, std::clamp(main.top(), screen.top(), std::max(screen.top(), screen.bottom() + 1 - size.height()))};
}

TFormCompareTables *StormComparison::ensureTables()
{
    if (!tablesWindow) {
        tablesWindow = new TFormCompareTables([this](const QString &text) { platform.setClipboardText(text); }, host.hostWindow());
        fillTables();
    }
    return tablesWindow;
}

void StormComparison::showTables(int page)
{
    ensureTables()->showPage(TFormCompareTables::Page(page));
    if (!tablesWindow->isVisible()) {
        // Beside the main window, never over the chart.
        const QRect chart(panel->mapToGlobal(QPoint(0, 0)), panel->size());
        const QWidget *main = host.hostWindow();
        const QRect screen = main->screen() ? main->screen()->availableGeometry() : QRect();
        tablesWindow->move(PlaceBeside(main->frameGeometry(), chart, tablesWindow->frameGeometry().size(), screen));
    }
    tablesWindow->show();
    tablesWindow->raise();
}

void StormComparison::fillTables()
{
    if (!tablesWindow)
        return;
    const TOptions &o = options;
    QStringList summary = FamilySummaryLines(storms, o.Int_StormUnitidx, o.Int_Precision);
    std::vector<QStringList> summaryRows;
    for (qsizetype k = 1; k < summary.size(); ++k)
        summaryRows.push_back(summary[k].split(QLatin1Char(',')));
    QStringList summaryHeading = summary.first().split(QLatin1Char(','));
    if (!comparing)
        summaryHeading.clear();
    tablesWindow->sideBySide()->table()->setTable(sideBySide.heading, sideBySide.rows);
    tablesWindow->summary()->table()->setTable(summaryHeading, std::move(summaryRows));
    tablesWindow->showProblems(storms.problems);
    fillCheck();
}

void StormComparison::fillCheck()
{
    const TOptions &o = options;
    const TExpressionObject &m = host.currentStorm().model;
    const DesignStormCheckResult check = CheckDesignStorm(m, ComputeSettingsOf(o));
    if (!check.ok) {
        tablesWindow->showCheckCaption(ErrorPrefix + check.message);
        tablesWindow->check()->table()->setTable({}, {});
        return;
    }
    tablesWindow->showCheckCaption(
        QStringLiteral("P=%1年 T=%2分 r=%3，a=%4mm/min b=%5 n=%6。公式在各历时的雨量与雨型中同样长的最大雨量对照，逐分钟计算。")
            .arg(FormatGeneral(m.Storm_RepeatYear), FormatGeneral(m.Storm_Time), FormatGeneral(m.Storm_Percent),
                 FormatFixed(check.a, o.Int_Precision), FormatGeneral(m.b), FormatGeneral(m.n)));
    tablesWindow->check()->table()->setTable(DesignStormCheckHeading(), DesignStormCheckTexts(check, o.Int_Precision));
}

void StormComparison::CompareStormsClick()
{
    const TExpressionObject &m = host.currentStorm().model;
    const QString current = QStringLiteral("P=%1年 T=%2分 r=%3")
                                .arg(FormatGeneral(m.Storm_RepeatYear), FormatGeneral(m.Storm_Time), FormatGeneral(m.Storm_Percent));
    const std::unique_ptr<TFormCompareStorms> dialog(new TFormCompareStorms(chosen, current, host.hostWindow()));
    if (platform.showModal(dialog.get()) != QDialog::Accepted)
        return;
    chosen = dialog->choice();
    comparing = true;
    refresh();
    // Only the values compared are remembered: what was refused is said now, not kept.
    QString &typed = ByOf(chosen) == FamilyBy::ReturnPeriod ? chosen.Str_ComparePeriods : chosen.Str_CompareRatios;
    typed = AcceptedFamilyValues(ByOf(chosen), typed, ByOf(chosen) == FamilyBy::ReturnPeriod ? m.Storm_RepeatYear
                                                                                             : m.Storm_Percent);
    if (!storms.problems.isEmpty())
        platform.messageBox(host.hostWindow(), MessageIcon::Information, QStringLiteral("提示"), storms.problems.join(QStringLiteral("\r\n")));
    // Remembered last: a settings file that cannot be written must not lose the comparison.
    SaveCompareChoice(settingsPath, chosen);
}

void StormComparison::CompareTablesClick()
{
    showTables(TFormCompareTables::SideBySidePage);
}

void StormComparison::DesignStormCheckClick()
{
    ensureTables();
    fillCheck();
    showTables(TFormCompareTables::CheckPage);
}

void StormComparison::EndCompareClick()
{
    comparing = false;
    refresh();
    // The tables go with the comparison.
    if (tablesWindow)
        tablesWindow->hide();
}

// The family's files go through the window's one export routine, like every other save.
void StormComparison::SaveCompareSwmmClick()
{
    host.saveFamily(FamilySwmmFormat());
}

void StormComparison::SaveCompareCsvClick()
{
    host.saveFamily(FamilyCsvFormat());
}

void StormComparison::SaveCompareSummaryClick()
{
    host.saveFamily(FamilySummaryFormat());
}

void StormComparison::SaveComparePictureClick()
{
    host.saveFamily(FamilyPictureFormat());
}
