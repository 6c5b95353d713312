#include "StormComparison.h"
#include "ChartPanel.h"
#include "CompareTables.h"
#include "FamilyChart.h"
#include "FormCompareStorms.h"
#include "FormTavrel.h"
#include "PictureEncoding.h"

#include "core/DesignStormCheck.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "core/TextFile.h"
#include "export/FamilyExports.h"
#include "export/SwmmInputSection.h"
#include "platform/Platform.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QScreen>

namespace {
const QString NoFamilyMessage = QStringLiteral("没有对比的暴雨可以保存~\r\n点击“对比暴雨...”选择要对比的暴雨");
const QString SaveTitle = QStringLiteral("保存对比数据");

FamilyBy ByOf(const TCompareChoice &choice)
{
    return choice.Int_CompareBy == 1 ? FamilyBy::PeakRatio : FamilyBy::ReturnPeriod;
}
} // namespace

StormComparison::StormComparison(TFormTavrel &window, Platform &platform, StormChartPanel *panel,
                                 const QString &settingsPath)
    : QObject(&window), window(window), platform(platform), panel(panel), settingsPath(settingsPath),
      chartLines(std::make_unique<FamilyChartLines>(panel->chart()))
{
    LoadCompareChoice(settingsPath, chosen);
}

StormComparison::~StormComparison() = default;

QMenu *StormComparison::buildMenu(QWidget *parent)
{
    auto *menu = new QMenu(QStringLiteral("对比(&C)"), parent);
    menu->setObjectName(QStringLiteral("Menu_Compare"));
    auto add = [&](const char *name, const QString &caption, void (StormComparison::*handler)()) {
        auto *action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this, [this, handler] { RunCommand(platform, &window, [this, handler] { (this->*handler)(); }); });
    };
    add("Menu_CompareStorms", QStringLiteral("对比暴雨..."), &StormComparison::CompareStormsClick);
    add("Menu_CompareTables", QStringLiteral("对比表和汇总"), &StormComparison::CompareTablesClick);
    add("Menu_DesignStormCheck", QStringLiteral("设计暴雨校核"), &StormComparison::DesignStormCheckClick);
    menu->addSeparator();
    add("Menu_CompareSaveSwmm", QStringLiteral("保存对比数据(SWMM输入文件)..."), &StormComparison::SaveCompareSwmmClick);
    add("Menu_CompareSaveCsv", QStringLiteral("保存对比数据(EXCEL格式)..."), &StormComparison::SaveCompareCsvClick);
    add("Menu_CompareSaveSummary", QStringLiteral("保存对比汇总(EXCEL格式)..."), &StormComparison::SaveCompareSummaryClick);
    add("Menu_CompareSavePicture", QStringLiteral("保存对比图片..."), &StormComparison::SaveComparePictureClick);
    menu->addSeparator();
    add("Menu_CompareEnd", QStringLiteral("结束对比"), &StormComparison::EndCompareClick);
    return menu;
}

void StormComparison::computeFamily()
{
    const TOptions &o = window.Options();
    const FamilyBy by = ByOf(chosen);
    FamilyValues typed = ParseFamilyValues(by, by == FamilyBy::ReturnPeriod ? chosen.Str_ComparePeriods
                                                                             : chosen.Str_CompareRatios);
    storms = ComputeStormFamily(window.Model(), by, typed.values, {o.Int_StormUnitidx, o.Bool_CalcByShow, o.Int_Precision},
                                {o.Int_TimeForamtidx, o.Int_StormUnitidx, o.Int_Precision});
    typed.problems.append(storms.problems);
    storms.problems = typed.problems;
    sideBySide = SideBySideOf(storms);
}

void StormComparison::refresh()
{
    if (comparing) {
        computeFamily();
        chartLines->show(storms, window.StormPoints());
    } else if (chartLines->shown()) {
        chartLines->clear();
        storms = StormFamily();
        sideBySide = SideBySideTable();
    } else if (!tablesWindow) {
        return;   // never compared: the window is exactly as it always was
    }
    fillTables();
    window.HideSomeSeries(nullptr);   // the axes for what is drawn now
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
    comparison.window.HideSomeSeries(nullptr);
}

StormComparison::SingleStormView::~SingleStormView()
{
    if (!wasShown)
        return;
    comparison.single = false;
    comparison.window.HideSomeSeries(nullptr);
}

TFormCompareTables *StormComparison::ensureTables()
{
    if (!tablesWindow) {
        tablesWindow = new TFormCompareTables([this](const QString &text) { platform.setClipboardText(text); }, &window);
        fillTables();
        // Beside the main window where the screen has room, else a little below its corner.
        const QRect main = window.frameGeometry();
        const QRect screen = window.screen() ? window.screen()->availableGeometry() : QRect();
        QPoint place = main.topRight() + QPoint(8, 0);
        if (!screen.contains(QRect(place, tablesWindow->size())))
            place = main.topLeft() + QPoint(60, 60);
        tablesWindow->move(place);
    }
    return tablesWindow;
}

void StormComparison::fillTables()
{
    if (!tablesWindow)
        return;
    const TOptions &o = window.Options();
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
    const TOptions &o = window.Options();
    const TExpressionObject &m = window.Model();
    const DesignStormCheckResult check = CheckDesignStorm(m, {o.Int_StormUnitidx, o.Bool_CalcByShow, o.Int_Precision});
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
    const TExpressionObject &m = window.Model();
    const QString current = QStringLiteral("P=%1年 T=%2分 r=%3")
                                .arg(FormatGeneral(m.Storm_RepeatYear), FormatGeneral(m.Storm_Time), FormatGeneral(m.Storm_Percent));
    const std::unique_ptr<TFormCompareStorms> dialog(new TFormCompareStorms(chosen, current, &window));
    if (platform.showModal(dialog.get()) != QDialog::Accepted)
        return;
    chosen = dialog->choice();
    comparing = true;
    ensureTables();
    refresh();
    tablesWindow->showPage(TFormCompareTables::SideBySidePage);
    tablesWindow->show();
    if (!storms.problems.isEmpty())
        platform.messageBox(&window, MessageIcon::Information, QStringLiteral("提示"), storms.problems.join(QStringLiteral("\r\n")));
    // Remembered last: a settings file that cannot be written must not lose the comparison.
    SaveCompareChoice(settingsPath, chosen);
}

void StormComparison::CompareTablesClick()
{
    ensureTables()->showPage(TFormCompareTables::SideBySidePage);
    tablesWindow->show();
    tablesWindow->raise();
}

void StormComparison::DesignStormCheckClick()
{
    ensureTables();
    fillCheck();
    tablesWindow->showPage(TFormCompareTables::CheckPage);
    tablesWindow->show();
    tablesWindow->raise();
}

void StormComparison::EndCompareClick()
{
    comparing = false;
    refresh();
}

bool StormComparison::refuseNoFamily()
{
    if (comparing && !storms.members.empty())
        return false;
    platform.messageBox(&window, MessageIcon::Information, QStringLiteral("提示"), NoFamilyMessage);
    return true;
}

QString StormComparison::askFileName(const QList<FileTypeEntry> &types, int &selected, const QString &proposed)
{
    FileDialogRequest request;
    request.title = SaveTitle;
    request.types = types;
    request.selectedType = selected;
    request.fileName = proposed;
    request.overwritePrompt = true;
    const FileDialogResult answer = platform.saveFileDialog(&window, request);
    if (!answer.accepted || answer.path.trimmed().isEmpty())
        return {};
    // "所有文件" keeps the format of the command; a picture takes the type chosen.
    if (answer.selectedType >= 0 && answer.selectedType < types.size() && types[answer.selectedType].mask != QLatin1String("*.*"))
        selected = answer.selectedType;
    return ReplaceExtension(answer.path, types[selected].mask.mid(1));
}

void StormComparison::opened(const QString &path, bool inTextEditor)
{
    const bool done = inTextEditor ? platform.openInTextEditor(path) : platform.openWithDefaultProgram(path);
    if (!done)
        platform.messageBox(&window, MessageIcon::Information, QStringLiteral("提示"),
                            QStringLiteral("文件已保存为“%1”，但系统中没有可以打开这类文件的程序。").arg(QDir::toNativeSeparators(path)));
}

void StormComparison::SaveCompareSwmmClick()
{
    if (refuseNoFamily())
        return;
    int selected = 0;
    const QString path = askFileName({{QStringLiteral("SWMM输入文件(*.inp)"), QStringLiteral("*.inp")},
                                      {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}},
                                     selected, FamilyProposedFileName(window.Model(), storms.by, SwmmInputExtension));
    if (path.isEmpty())
        return;
    std::vector<TExpressionObject> models;
    for (const FamilyMember &member : storms.members)
        models.push_back(member.model);
    const TOptions &o = window.Options();
    const QStringList leftOut = WriteSwmmInputFamily(models, o.Bool_CalcByShow, o.Int_Precision, path);
    if (!leftOut.isEmpty()) {
        const bool none = leftOut.size() == static_cast<qsizetype>(models.size());
        platform.messageBox(&window, none ? MessageIcon::Error : MessageIcon::Information,
                            none ? QStringLiteral("错误") : QStringLiteral("提示"),
                            (none ? QStringLiteral("没有写入文件：\r\n") : QStringLiteral("以下暴雨未写入：\r\n"))
                                + leftOut.join(QStringLiteral("\r\n")));
        if (none)
            return;
    }
    opened(path, true);
}

void StormComparison::SaveCompareCsvClick()
{
    if (refuseNoFamily())
        return;
    int selected = 0;
    const QString path = askFileName({{QStringLiteral("Excel文件(*.csv)"), QStringLiteral("*.csv")},
                                      {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}},
                                     selected, FamilyProposedFileName(window.Model(), storms.by, QStringLiteral(".csv")));
    if (path.isEmpty())
        return;
    const TOptions &o = window.Options();
    WriteFamilyCsvFile(path, FamilyCsvLines(sideBySide, storms, o.Int_TimeForamtidx, o.Int_StormUnitidx));
    opened(path, false);
}

void StormComparison::SaveCompareSummaryClick()
{
    if (refuseNoFamily())
        return;
    int selected = 0;
    const QString path = askFileName({{QStringLiteral("Excel文件(*.csv)"), QStringLiteral("*.csv")},
                                      {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}},
                                     selected,
                                     FamilyProposedFileName(window.Model(), storms.by, QStringLiteral("汇总.csv")));
    if (path.isEmpty())
        return;
    const TOptions &o = window.Options();
    WriteFamilyCsvFile(path, FamilySummaryLines(storms, o.Int_StormUnitidx, o.Int_Precision));
    opened(path, false);
}

void StormComparison::SaveComparePictureClick()
{
    if (refuseNoFamily())
        return;
    int selected = 2;
    const QString path = askFileName({{QStringLiteral("位图文件"), QStringLiteral("*.bmp")},
                                      {QStringLiteral("JPG文件"), QStringLiteral("*.jpg")},
                                      {QStringLiteral("PNG文件"), QStringLiteral("*.png")}},
                                     selected, FamilyProposedFileName(window.Model(), storms.by, QStringLiteral(".png")));
    if (path.isEmpty())
        return;
    window.SaveChartPicture(path);
    opened(path, false);
}
