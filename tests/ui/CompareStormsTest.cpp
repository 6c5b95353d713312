#include "WindowTest.h"

#include "cli/CliTool.h"
#include "core/TextFile.h"
#include "settings/CompareChoice.h"
#include "settings/DesktopSettings.h"
#include "ui/CompareTables.h"
#include "ui/FamilyChart.h"
#include "ui/StormChart.h"
#include "ui/StormComparison.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
const QStringList Eight = {"1", "2", "3", "5", "10", "20", "50", "100"};

class CompareStorms : public WindowTest {
protected:
    // Runs 对比暴雨... with the periods typed beside the ticked ones (by default the eight).
    void compare(const QString &typed = QString(), const QString &ratios = QString())
    {
        platform.modalScripts.push_back([=](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("Edit_OtherPeriods")->setText(typed);
            if (!ratios.isEmpty()) {
                dialog->findChild<QRadioButton *>("Radio_ByRatio")->click();
                dialog->findChild<QLineEdit *>("Edit_Ratios")->setText(ratios);
            }
            QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonOK"), Qt::LeftButton);
            return int(QDialog::Rejected);
        });
        trigger("Menu_CompareStorms");
    }
    StormComparison &comparison() { return *window->comparison(); }
    QStringList column(const QStringList &lines, int k)
    {
        QStringList cells;
        for (const QString &line : lines)
            cells.append(line.split('\t').value(k));
        return cells;
    }
};
} // namespace

TEST_F(CompareStorms, EightReturnPeriodsOnOneChartWithLegendAndAxesOfTheLargest)
{
    window->Model().Storm_RepeatYear = 100;
    window->RefreshRainModel();
    const double largest = window->CurrentStorm().largestIntensity;
    window->Model().Storm_RepeatYear = 2;
    window->RefreshRainModel();
    compare();

    StormChart *chart = window->chart();
    EXPECT_EQ(comparison().lines().lines().size(), 7u);   // the current storm keeps its own line
    ASSERT_TRUE(chart->legend->visible());
    QStringList names;
    for (int k = 0; k < chart->legend->itemCount(); ++k)
        names.append(static_cast<QCPPlottableLegendItem *>(chart->legend->item(k))->plottable()->name());
    EXPECT_EQ(names, QStringList({"P=1年", "P=2年(当前)", "P=3年", "P=5年", "P=10年", "P=20年", "P=50年", "P=100年"}));
    EXPECT_DOUBLE_EQ(chart->leftAxis()->range().upper, 2 * largest);
    EXPECT_EQ(chart->intensitySeries()->dataCount(), 121);   // the hover link's series is the current storm's
}

// Each storm's columns are that storm's own table; Ctrl+C gives the same for a spreadsheet.
TEST_F(CompareStorms, SideBySideTableHoldsEachStormsGridAndCopies)
{
    options.Int_TimeForamtidx = 0;
    options.Int_Precision = 3;
    compare();
    EXPECT_EQ(comparison().tables(), nullptr);   // the tables open when asked
    trigger("Menu_CompareTables");
    TextTableView *table = comparison().tables()->sideBySide();
    comparison().tables()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(comparison().tables()));
    table->setFocus();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(platform.count(PlatformCallKind::ClipboardText), 1);
    const QStringList copied = platform.last(PlatformCallKind::ClipboardText).clipboard.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(copied.size(), 122);

    comparison().EndCompareClick();
    EXPECT_FALSE(comparison().tables()->isVisible());   // and close with the comparison
    for (int k = 0; k < Eight.size(); ++k) {
        window->Model().Storm_RepeatYear = Eight[k].toDouble();
        window->RefreshRainModel();
        QStringList time{"时间"}, intensity{"P=" + Eight[k] + "年 降雨强度mm/min"}, total{"P=" + Eight[k] + "年 降雨总量mm"};
        const GridTable &grid = window->GridTextsShown();
        for (size_t r = 0; r < grid.size(); ++r) {
            const GridRow row = grid.row(r);
            time.append(row[0]);
            intensity.append(row[1]);
            total.append(row[2]);
        }
        EXPECT_EQ(column(copied, 0), time);
        EXPECT_EQ(column(copied, 1 + k), intensity) << k;
        EXPECT_EQ(column(copied, 9 + k), total) << k;
    }
}

TEST_F(CompareStorms, SwmmInputOfTheFamilyIsTheCommandLineToolsFile)
{
    options.Int_Precision = 2;
    window->Model().Storm_Step = 5;
    window->RefreshRainModel();
    compare();
    platform.saveAnswers.push_back({true, folder + "/family.inp", 0});
    trigger("Menu_CompareSaveSwmm");

    QFile::remove(SettingsFilePath(UserAppDataFolder(), false));
    CliStreams streams;
    ASSERT_EQ(RunCli({"--precision", "2", "--step", "5", "--P", Eight.join(','), "-o", folder + "/cli.inp"}, streams), 0);
    EXPECT_EQ(ReadBytes(folder + "/family.inp"), ReadBytes(folder + "/cli.inp"));
    EXPECT_EQ(platform.last(PlatformCallKind::OpenInTextEditor).path, folder + "/family.inp");
}

TEST_F(CompareStorms, BadValuesAreNamedAndTheOthersShown)
{
    // A coefficient so large that the rain of P = 1E300 no longer fits a number.
    window->Model().a1 = 1e305;
    window->RefreshRainModel();
    compare("-1, 5, 5, abc, 1e300, 7, 8, 9, 11, 12");
    const QString message = platform.lastMessage().text;
    for (const char *named : {"P=-1年", "P=5年重复", "“abc”", "P=1E300年：", "P=11年、P=12年"})
        EXPECT_TRUE(message.contains(QString::fromUtf8(named))) << named << message.toStdString();
    EXPECT_EQ(comparison().family().members.size(), 11u);
    EXPECT_EQ(comparison().lines().lines().size(), 10u);

    compare(QString(), "0.3, 1.5");
    EXPECT_TRUE(platform.lastMessage().text.startsWith("r=1.5：")) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(comparison().table().heading.size(), 5);   // r=0.3 and the current r=0.4

    // The choice is kept for the next start, apart from the settings dialog's keys.
    TCompareChoice stored;
    LoadCompareChoice(platform.appData + "/Orvanta/Tavrel/options.ini", stored);
    EXPECT_EQ(stored.Int_CompareBy, 1);
    EXPECT_EQ(stored.Str_CompareRatios, "0.3");   // only what was compared
    EXPECT_EQ(stored.Str_ComparePeriods, "1,2,3,5,10,20,50,100");
}

// Comparing changes nothing of the single storm's pictures: the book draws the storm alone,
// and ending the comparison gives back the chart as it was.
TEST_F(CompareStorms, SingleStormPicturesUnchanged)
{
    window->SaveChartPicture(folder + "/before.png");
    window->SaveBookChartPicture(folder + "/book-before.png");
    compare();
    window->SaveChartPicture(folder + "/family.png");
    window->SaveBookChartPicture(folder + "/book-family.png");
    trigger("Menu_CompareEnd");
    window->SaveChartPicture(folder + "/after.png");

    EXPECT_NE(ReadBytes(folder + "/family.png"), ReadBytes(folder + "/before.png"));
    EXPECT_EQ(ReadBytes(folder + "/book-family.png"), ReadBytes(folder + "/book-before.png"));
    EXPECT_EQ(ReadBytes(folder + "/after.png"), ReadBytes(folder + "/before.png"));
}

TEST_F(CompareStorms, CheckOfTheCurrentStormIsTheCommandLineToolsTable)
{
    trigger("Menu_DesignStormCheck");
    TextTableView *check = window->findChild<TextTableView *>("GridCheck");
    ASSERT_TRUE(check && check->isVisible());
    check->copy();
    const QString copied = platform.last(PlatformCallKind::ClipboardText).clipboard;

    QFile::remove(SettingsFilePath(UserAppDataFolder(), false));
    CliStreams streams;
    ASSERT_EQ(RunCli({"--check"}, streams), 0);
    const QStringList printed = streams.out.split('\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(copied.split('\n', Qt::SkipEmptyParts), QStringList(printed).replaceInStrings(",", "\t"));
}

// The summary's figures are those of each storm computed alone; the CSV has one column
// pair per storm under the CSV export's words.
TEST_F(CompareStorms, SummaryAndCsvOfTheFamily)
{
    compare();
    platform.saveAnswers.push_back({true, folder + "/summary", 0});
    trigger("Menu_CompareSaveSummary");
    platform.saveAnswers.push_back({true, folder + "/table.txt", 0});
    trigger("Menu_CompareSaveCsv");
    const QStringList summary = SplitLines(DecodeText(ReadBytes(folder + "/summary.csv")));
    const QStringList csv = SplitLines(DecodeText(ReadBytes(folder + "/table.csv")));
    ASSERT_EQ(summary.size(), 9);
    ASSERT_EQ(csv.size(), 122);
    EXPECT_EQ(csv[0].section(',', 0, 1), "时间(min),P=1年 降雨强度(mm/min)");
    EXPECT_EQ(csv[0].section(',', 16), "P=100年 降雨总量(mm)");
    // The family's saves are the exports' own: the folder is remembered, and the file under
    // the changed name is not replaced without asking.
    EXPECT_EQ(window->Remembered().exportFolder, QDir::toNativeSeparators(folder));
    WriteBytes(folder + "/table.csv", "keep");
    platform.saveAnswers.push_back({true, folder + "/table.txt", 0});
    platform.messageAnswers.push_back(MessageResult::No);
    trigger("Menu_CompareSaveCsv");
    EXPECT_EQ(platform.lastMessage().buttons, MessageButtons::YesNo);
    EXPECT_EQ(ReadBytes(folder + "/table.csv"), "keep");

    trigger("Menu_CompareEnd");
    window->Model().Storm_RepeatYear = 100;
    window->RefreshRainModel();
    const GridTable &grid = window->GridTextsShown();
    GridRow peak = grid.row(0);
    for (size_t r = 1; r < grid.size(); ++r)
        if (grid.row(r)[1].toDouble() > peak[1].toDouble())
            peak = grid.row(r);
    EXPECT_EQ(summary[8].section(',', 0, 2), "100," + grid.row(grid.size() - 1)[2] + ',' + peak[1]);
}

// The tables window opens beside the main window, on the side with room, and on the screen.
TEST(CompareTablesPlace, BesideTheMainWindowWhereThereIsRoom)
{
    const QRect screen(0, 0, 1920, 1080);
    const QSize size(720, 460);
    EXPECT_EQ(PlaceBeside(QRect(100, 100, 800, 500), QRect(100, 120, 550, 480), size, screen), QPoint(907, 100));
    EXPECT_EQ(PlaceBeside(QRect(1100, 100, 800, 500), QRect(1100, 120, 550, 480), size, screen), QPoint(372, 100));
    // No room on any side: on the screen, clear of the chart's left part.
    const QPoint crowded = PlaceBeside(QRect(0, 0, 1920, 1040), QRect(0, 20, 1600, 1000), size, screen);
    EXPECT_TRUE(screen.contains(QRect(crowded, size)));
    EXPECT_GE(crowded.x(), 1920 - 720);
}

// The legend hides no point of any line or bar and no label, and lies wholly on the chart:
// for a family whose peaks run across the chart and one whose tallest peaks lie right of
// the middle, at the opening size and at the smallest.
TEST_F(CompareStorms, LegendCoversNoPointNorLabelAndStaysOnTheChart)
{
    StormChart *chart = window->chart();
    const QSize opening = window->size();
    for (bool byRatio : {false, true}) {
        window->Model().Storm_Percent = byRatio ? 0.4 : 0.6;
        window->RefreshRainModel();
        compare(QString(), byRatio ? "0.2, 0.3, 0.5, 0.6" : "");
        ASSERT_EQ(comparison().family().members.size(), byRatio ? 5u : 8u);
        for (const QSize &size : {opening, window->minimumSize()}) {
            window->resize(size);
            QApplication::processEvents();
            chart->replot(QCustomPlot::rpImmediateRefresh);
            ASSERT_TRUE(chart->legend->visible());
            const QRect legend = chart->legend->outerRect();
            const QString where = QStringLiteral("%1 at %2x%3").arg(byRatio ? "ratios" : "periods").arg(size.width()).arg(size.height());
            EXPECT_TRUE(chart->rect().contains(legend)) << where.toStdString();
            std::vector<QPointF> points;
            for (int k = 0; k < chart->graphCount(); ++k) {
                const QCPGraph *graph = chart->graph(k);
                if (graph->visible())
                    for (auto it = graph->data()->constBegin(); it != graph->data()->constEnd(); ++it)
                        points.emplace_back(chart->bottomAxis()->coordToPixel(it->key), chart->leftAxis()->coordToPixel(it->value));
            }
            const QCPBars *bars = chart->rainfallSeries();
            for (auto it = bars->data()->constBegin(); it != bars->data()->constEnd(); ++it)
                points.emplace_back(chart->bottomAxis()->coordToPixel(it->key), chart->rightAxis()->coordToPixel(it->value));
            ASSERT_GT(points.size(), 600u);
            EXPECT_EQ(std::count_if(points.begin(), points.end(), [&](const QPointF &p) { return QRectF(legend).contains(p); }), 0)
                << where.toStdString();
            for (const QLabel *label : chart->findChildren<QLabel *>())
                EXPECT_FALSE(label->isVisible() && label->geometry().intersects(legend)) << where.toStdString();
        }
    }
}
