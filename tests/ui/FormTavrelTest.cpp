#include "TestSupport.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"
#include "ui/GridData.h"
#include "ui/StormChart.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        options = TOptions{};
        platform.appData = MakeTempFolder() + "/appdata";
        folder = MakeTempFolder();
    }

    TFormTavrel &open()
    {
        window = std::make_unique<TFormTavrel>(platform, options);
        window->show();
        QApplication::processEvents();
        window->chart()->replot();
        return *window;
    }

    template <class T>
    T *child(const char *name)
    {
        T *found = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    void trigger(const char *action) { child<QAction>(action)->trigger(); }

    QString cell(int row, int column)
    {
        auto *model = window->grid()->model();
        return model->data(model->index(row, column)).toString();
    }

    QString heading(int column) { return window->grid()->model()->headerData(column, Qt::Horizontal).toString(); }

    QString optionsFile() { return platform.appData + "/Orvanta/Tavrel/options.ini"; }

    void send(QWidget *target, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    QPoint linePoint(int index)
    {
        StormChart *chart = window->chart();
        const double value = (chart->intensitySeries()->data()->constBegin() + index)->value;
        return QPoint(qRound(chart->bottomAxis()->coordToPixel(index)), qRound(chart->leftAxis()->coordToPixel(value)));
    }

    QString writeModel(const QString &name, const QString &text)
    {
        const QString path = folder + "/" + name;
        WriteBytes(path, EncodeGbk(text));
        return path;
    }

    ScriptedPlatform platform;
    TOptions options;   // the window's settings
    QString folder;
    std::unique_ptr<TFormTavrel> window;
};

const char *const ModelText =
    "SIGN=访问www.orvanta.example获取更多实用工具~\r\nF_type=0\r\na1_167=1599.68333333333\r\na1=9.5981\r\n"
    "c=0.846\r\nb=7\r\nn=0.656\r\nLG_LN=0\r\n重现期=5\r\n降雨历时=60\r\n峰值比例=0.35\r\n计算步长=5\r\n";

} // namespace

TEST_F(MainWindow, FirstStartShowsTheDefaultStormAndCreatesOnlyTheFolder)
{
    ASSERT_FALSE(QDir(platform.appData).exists());
    TFormTavrel &w = open();
    EXPECT_TRUE(QDir(platform.appData + "/Orvanta/Tavrel").exists());
    EXPECT_FALSE(QFile::exists(optionsFile()));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("未命名[*] - Tavrel 芝加哥雨型 Ver2.10（www.orvanta.example）"));
    EXPECT_FALSE(w.isWindowModified());
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0);

    ASSERT_EQ(w.grid()->model()->rowCount(), 121);
    EXPECT_EQ(heading(0), QStringLiteral("时间"));
    EXPECT_EQ(heading(1), QStringLiteral("降雨强度mm/min"));
    EXPECT_EQ(heading(2), QStringLiteral("降雨总量mm"));
    EXPECT_EQ(cell(0, 0), "00");
    EXPECT_EQ(cell(0, 1), "0.1908");
    EXPECT_EQ(cell(48, 1), "3.3599");
    EXPECT_EQ(cell(120, 0), "120");
    EXPECT_EQ(cell(120, 2), "60.6345");

    EXPECT_EQ(child<QLabel>("Label_P")->text(), QStringLiteral("重现期  P=2年"));
    EXPECT_EQ(child<QLabel>("Label_T")->text(), QStringLiteral("降雨历时t=120min"));
    EXPECT_EQ(child<QLabel>("Label_r")->text(), QStringLiteral("峰值比例r=0.4"));
    EXPECT_EQ(child<QLabel>("Label_Overall_Rainfall")->text(), QStringLiteral("降雨总量H=60.6345mm"));
    EXPECT_EQ(child<QLabel>("Label_Average_Rainfall_Intensity")->text(), QStringLiteral("平均雨强i=0.5011mm/min"));
    for (const char *name : {"Label_P", "Label_T", "Label_r", "Label_Overall_Rainfall", "Label_Average_Rainfall_Intensity"})
        EXPECT_TRUE(child<QLabel>(name)->isVisible()) << name;
    EXPECT_TRUE(child<QLabel>("Label_P")->font().bold());

    StormChart *chart = w.chart();
    EXPECT_EQ(chart->leftAxis()->label(), QStringLiteral("降雨强度(mm/min)"));
    EXPECT_EQ(chart->intensitySeries()->dataCount(), 121);
    EXPECT_EQ(chart->rainfallSeries()->dataCount(), 121);
    EXPECT_NEAR(w.CurrentStorm().largestIntensity, 3.359936, 1e-6);
    EXPECT_NEAR(w.CurrentStorm().largestCumulative, 60.634473, 1e-6);
    EXPECT_NEAR(chart->leftAxis()->range().upper, 6.719871, 1e-6);
    EXPECT_NEAR(chart->rightMaximum(), 121.268946, 1e-6);
    EXPECT_EQ(chart->leftAxis()->range().lower, 0);
    EXPECT_EQ(chart->rightAxis()->range().lower, 0);
    EXPECT_TRUE(chart->rightAxis()->rangeReversed());
    // The right axis leaves 10 pixels below its maximum, whatever the chart's height.
    for (int height : {480, 700}) {
        w.resize(800, height);
        QApplication::processEvents();
        chart->replot();
        EXPECT_NEAR(chart->rightAxis()->coordToPixel(chart->rightMaximum()), chart->axisRect()->bottom() - 10, 0.5)
            << height;
    }
    EXPECT_EQ(chart->bottomAxis()->tickLabelRotation(), 0);
}

TEST_F(MainWindow, CurveSwitchesScaleTheAxesAndStayInStep)
{
    TFormTavrel &w = open();
    StormChart *chart = w.chart();
    auto *bars = child<QCheckBox>("CheckBox_Overall_Rainfall");
    auto *line = child<QCheckBox>("CheckBox_Rainfall_Intensity");
    auto *barsItem = child<QAction>("menu_Overall_Rainfall");
    const double leftBoth = chart->leftAxis()->range().upper;

    QTest::mouseClick(line, Qt::LeftButton);   // bars only
    EXPECT_FALSE(chart->intensitySeries()->visible());
    EXPECT_FALSE(child<QAction>("menu_Rainfall_Intensity")->isChecked());
    EXPECT_NEAR(chart->rightMaximum(), 66.697920, 1e-6);
    EXPECT_DOUBLE_EQ(chart->leftAxis()->range().upper, leftBoth);
    EXPECT_TRUE(ReadBytes(optionsFile()).contains("ShowAxis_Intensity=0"));

    QTest::mouseClick(line, Qt::LeftButton);
    QTest::mouseClick(bars, Qt::LeftButton);   // line only
    EXPECT_FALSE(barsItem->isChecked());
    EXPECT_FALSE(chart->rainfallSeries()->visible());
    EXPECT_NEAR(chart->leftAxis()->range().upper, 3.695929, 1e-6);
    EXPECT_TRUE(ReadBytes(optionsFile()).contains("ShowAxis_Overall=0"));
    EXPECT_NEAR(chart->rightMaximum(), 121.268946, 1e-6);   // kept from when both were shown

    QTest::mouseClick(line, Qt::LeftButton);   // neither: the maxima stay as the line left them
    EXPECT_FALSE(chart->intensitySeries()->visible() || chart->rainfallSeries()->visible());
    EXPECT_NEAR(chart->leftAxis()->range().upper, 3.695929, 1e-6);
    EXPECT_NEAR(chart->rightMaximum(), 121.268946, 1e-6);

    barsItem->trigger();   // the context-menu item ticks the check box again
    EXPECT_TRUE(bars->isChecked());
    EXPECT_TRUE(chart->rainfallSeries()->visible());
    EXPECT_TRUE(ReadBytes(optionsFile()).contains("ShowAxis_Overall=1"));
    EXPECT_FALSE(options.Bool_ShowAxis_Rainfall_Intensity);
}

TEST_F(MainWindow, StoredSwitchesApplyWithoutWritingTheFile)
{
    QDir().mkpath(QFileInfo(optionsFile()).path());
    WriteBytes(optionsFile(), "[OPTIONS]\r\nShowAxis_Overall=0\r\nShowLabel_T=0\r\nTimeFormat=0\r\n");
    const QByteArray before = ReadBytes(optionsFile());
    TFormTavrel &w = open();
    EXPECT_FALSE(child<QCheckBox>("CheckBox_Overall_Rainfall")->isChecked());
    EXPECT_FALSE(child<QAction>("menu_Overall_Rainfall")->isChecked());
    EXPECT_FALSE(w.chart()->rainfallSeries()->visible());
    EXPECT_FALSE(child<QLabel>("Label_T")->isVisible());
    EXPECT_EQ(child<QLabel>("Label_T")->text(), QStringLiteral("降雨历时t=120min"));
    EXPECT_EQ(ReadBytes(optionsFile()), before);
    // Hours and minutes: upright texts in the grid, turned labels below the chart.
    EXPECT_EQ(cell(65, 0), "01:05");
    EXPECT_EQ(w.chart()->bottomAxis()->tickLabelRotation(), 90);
}

TEST_F(MainWindow, SwitchWriteFailureIsReportedAndTheSwitchStays)
{
    TFormTavrel &w = open();
    QDir(platform.appData + "/Orvanta/Tavrel").removeRecursively();
    WriteBytes(platform.appData + "/Orvanta/Tavrel", "a file where the folder was");
    QTest::mouseClick(child<QCheckBox>("CheckBox_Overall_Rainfall"), Qt::LeftButton);
    EXPECT_FALSE(w.chart()->rainfallSeries()->visible());
    const PlatformCall message = platform.lastMessage();
    EXPECT_EQ(message.icon, MessageIcon::Error);
    EXPECT_TRUE(message.text.startsWith(QStringLiteral("无法写入设置文件"))) << message.text.toStdString();
}

TEST_F(MainWindow, LabelsFollowTheLeftButtonOnly)
{
    open();
    auto *label = child<QLabel>("Label_P");
    const QPoint start = label->pos();
    send(label, QEvent::MouseButtonPress, {5, 5}, Qt::RightButton, Qt::RightButton);
    send(label, QEvent::MouseMove, {45, 25}, Qt::NoButton, Qt::RightButton);
    send(label, QEvent::MouseButtonRelease, {45, 25}, Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(label->pos(), start);
    send(label, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    send(label, QEvent::MouseMove, {25, 15}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(label->pos(), start + QPoint(20, 10));
}

TEST_F(MainWindow, LabelsStayOnTheChartAndGoBackOnRequest)
{
    TFormTavrel &w = open();
    auto *label = child<QLabel>("Label_T");
    const QPoint start = label->pos();
    send(label, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
    send(label, QEvent::MouseMove, {5000, -5000}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(label->pos(), QPoint(w.chart()->width() - label->width(), 0));
    trigger("menu_ResetLabels");
    EXPECT_EQ(label->pos(), start);
}

TEST_F(MainWindow, HoverSelectsAndFramesTheRowOfThePoint)
{
    TFormTavrel &w = open();
    send(w.chart(), QEvent::MouseMove, linePoint(9), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(w.chart()->hoverIndex(), 9);
    EXPECT_EQ(w.grid()->currentIndex().row(), 9);   // the tenth data row
    EXPECT_EQ(w.grid()->framedRow(), 9);
    send(w.chart(), QEvent::MouseMove, linePoint(9) + QPoint(0, -60), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(w.chart()->hoverIndex(), -1);
    EXPECT_EQ(w.grid()->framedRow(), -1);

    // A click in the grid afterwards moves the frame to the clicked row.
    send(w.chart(), QEvent::MouseMove, linePoint(9), Qt::NoButton, Qt::NoButton);
    QTest::mouseClick(w.grid()->viewport(), Qt::LeftButton, {}, w.grid()->visualRect(w.grid()->model()->index(3, 1)).center());
    EXPECT_EQ(w.grid()->framedRow(), 3);
}

TEST_F(MainWindow, ClicksLinkGridRowsAndChartPoints)
{
    TFormTavrel &w = open();
    GridDataView *grid = w.grid();
    const QRect row = grid->visualRect(grid->model()->index(3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_EQ(w.chart()->hoverIndex(), 3);

    // A click on a bar selects its row.
    StormChart *chart = w.chart();
    const int bar = 100;
    const double value = (chart->rainfallSeries()->data()->constBegin() + bar)->value;
    const QPoint inside(qRound(chart->bottomAxis()->coordToPixel(bar)), qRound(chart->rightAxis()->coordToPixel(value / 2)));
    send(chart, QEvent::MouseButtonPress, inside, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(grid->currentIndex().row(), bar);
}

TEST_F(MainWindow, NewStormIsComputedAndForgetsTheFileName)
{
    TFormTavrel &w = open();
    platform.saveAnswers.push_back({true, folder + "/first", 0});
    trigger("Menu_SaveAs1");
    ASSERT_FALSE(w.CurrentFileName().isEmpty());

    platform.modalScripts.push_back([](QDialog *dialog) {
        dialog->findChild<QLineEdit *>("EditStormTime")->setText("60");
        dialog->findChild<QLineEdit *>("EditStep")->setText("5");
        QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonOK"), Qt::LeftButton);
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(child<QPushButton>("ButtonNewRainModel"), Qt::LeftButton);
    EXPECT_EQ(w.Model().Storm_Time, 60);
    EXPECT_EQ(w.grid()->model()->rowCount(), 13);
    EXPECT_EQ(child<QLabel>("Label_T")->text(), QStringLiteral("降雨历时t=60min"));
    EXPECT_TRUE(w.CurrentFileName().isEmpty());

    platform.modalScripts.push_back([](QDialog *dialog) {
        dialog->findChild<QLineEdit *>("EditStormTime")->setText("30");
        QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonCancle"), Qt::LeftButton);
        return int(QDialog::Rejected);
    });
    trigger("Menu_NewRainModel");
    EXPECT_EQ(w.Model().Storm_Time, 60);
}

TEST_F(MainWindow, SaveAsAddsTxtAndSaveWritesBackWithoutAsking)
{
    TFormTavrel &w = open();
    struct Case {
        const char *typed;
        const char *written;
    };
    for (const Case c : {Case{"abc", "abc.txt"}, Case{"abc.txt", "abc.txt"}, Case{"abc.dat", "abc.dat.txt"}, Case{"up.TXT", "up.TXT"}}) {
        QFile::remove(folder + "/" + c.written);
        platform.saveAnswers.push_back({true, folder + "/" + c.typed, 0});
        trigger("Menu_SaveAs1");
        EXPECT_TRUE(QFile::exists(folder + "/" + c.written)) << c.typed;
        EXPECT_EQ(w.CurrentFileName(), folder + "/" + c.written);
    }
    const FileDialogRequest request = platform.last(PlatformCallKind::SaveFileDialog).fileRequest;
    EXPECT_EQ(request.title, QStringLiteral("保存曲线"));
    EXPECT_TRUE(request.overwritePrompt);
    ASSERT_EQ(request.types.size(), 2);
    EXPECT_EQ(request.types[0].name, QStringLiteral("文本文件(*.txt)"));
    EXPECT_EQ(request.types[1].mask, "*.*");

    const int dialogs = platform.count(PlatformCallKind::SaveFileDialog);
    QFile::remove(w.CurrentFileName());
    trigger("Menu_Save1");
    EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), dialogs);
    EXPECT_EQ(ReadBytes(w.CurrentFileName()), GbkLines(RainModelLines(w.Model())));

    platform.saveAnswers.push_back({false, {}, 0});
    trigger("Menu_SaveAs1");   // cancelled: nothing changes
    EXPECT_EQ(w.CurrentFileName(), folder + "/up.TXT");
}

TEST_F(MainWindow, FailedSaveAsKeepsTheNameOfTheLastSave)
{
    TFormTavrel &w = open();
    platform.saveAnswers.push_back({true, folder + "/kept.txt", 0});
    trigger("Menu_SaveAs1");
    platform.saveAnswers.push_back({true, folder + "/gone/new.txt", 0});
    trigger("Menu_SaveAs1");
    EXPECT_TRUE(platform.lastMessage().text.startsWith(QStringLiteral("无法写入文件"))) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(w.CurrentFileName(), folder + "/kept.txt");
}

TEST_F(MainWindow, SaveRightAfterStartAsks)
{
    open();
    trigger("Menu_Save1");
    EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 1);
}

TEST_F(MainWindow, AddedExtensionDoesNotOverwriteSilently)
{
    TFormTavrel &w = open();
    WriteBytes(folder + "/keep.dat.txt", "precious");
    platform.saveAnswers.push_back({true, folder + "/keep.dat", 0});
    platform.messageAnswers.push_back(MessageResult::No);
    trigger("Menu_SaveAs1");
    EXPECT_EQ(ReadBytes(folder + "/keep.dat.txt"), "precious");
    EXPECT_TRUE(w.CurrentFileName().isEmpty());
    EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Question);
}

TEST_F(MainWindow, OpenReadsByKeyAndRecomputes)
{
    TFormTavrel &w = open();
    QString text = QString::fromUtf8(ModelText);
    QStringList lines = SplitLines(text);
    std::reverse(lines.begin(), lines.end());
    lines.replaceInStrings("c=0.846", "C=0.846");
    lines.replaceInStrings("LG_LN=", "lg_ln=");
    const QString path = writeModel("x.dat", lines.join("\r\n"));
    platform.openAnswers.push_back({true, path, 0});
    trigger("Menu_Open1");
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(w.Model().Storm_Time, 60);
    EXPECT_EQ(w.Model().Storm_Step, 5);
    EXPECT_EQ(w.CurrentFileName(), path);
    EXPECT_EQ(w.grid()->model()->rowCount(), 13);
    EXPECT_EQ(child<QLabel>("Label_P")->text(), QStringLiteral("重现期  P=5年"));
    const FileDialogRequest request = platform.last(PlatformCallKind::OpenFileDialog).fileRequest;
    EXPECT_EQ(request.title, QStringLiteral("打开雨型"));
    EXPECT_TRUE(request.mustExist);

    trigger("Menu_Save1");   // writes back to x.dat
    EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 0);
    EXPECT_EQ(DecodeText(ReadBytes(path)), QString::fromUtf8(ModelText));
}

TEST_F(MainWindow, FirstNewStormStartsFromTheOpenedFile)
{
    TFormTavrel &w = open();
    platform.openAnswers.push_back({true, writeModel("x.txt", QString::fromUtf8(ModelText)), 0});
    trigger("Menu_Open1");
    QString shown;
    platform.modalScripts.push_back([&](QDialog *dialog) {
        shown = dialog->findChild<QLineEdit *>("EditStormTime")->text();
        return int(QDialog::Rejected);
    });
    trigger("Menu_NewRainModel");
    EXPECT_EQ(shown, "60");
    EXPECT_EQ(w.Model().Storm_Time, 60);
}

TEST_F(MainWindow, RefusedFilesChangeNothing)
{
    TFormTavrel &w = open();
    const TExpressionObject before = w.Model();
    QString wrongCase = QString::fromUtf8(ModelText);
    wrongCase.replace("www.orvanta.example", "WWW.orvanta.example");
    platform.openAnswers.push_back({true, writeModel("sign.txt", wrongCase), 0});
    trigger("Menu_Open1");
    EXPECT_EQ(platform.lastMessage().text, QStringLiteral("该文件不包含正确的数据格式，请确认后重试~"));
    EXPECT_EQ(platform.lastMessage().title, QStringLiteral("错误"));
    EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Error);

    QString missing = QString::fromUtf8(ModelText);
    missing.remove("降雨历时=60\r\n");
    platform.openAnswers.push_back({true, writeModel("missing.txt", missing), 0});
    trigger("Menu_Open1");
    EXPECT_EQ(platform.lastMessage().title, ProductTitle);
    EXPECT_TRUE(platform.lastMessage().text.contains(QStringLiteral("降雨历时")));
    QString noRain = QString::fromUtf8(ModelText);
    noRain.replace(QStringLiteral("重现期=5"), QStringLiteral("重现期=0.01"));
    platform.openAnswers.push_back({true, writeModel("norain.txt", noRain), 0});
    trigger("Menu_Open1");
    EXPECT_TRUE(platform.lastMessage().text.contains(QStringLiteral("P=0.01年"))) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(w.Model(), before);
    EXPECT_TRUE(w.CurrentFileName().isEmpty());
    EXPECT_EQ(w.grid()->model()->rowCount(), 121);

    platform.openAnswers.push_back({true, folder + "/gone.txt", 0});
    const int messages = platform.count(PlatformCallKind::MessageBox);
    trigger("Menu_Open1");
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), messages);
}

TEST_F(MainWindow, FailedComputationEmptiesRowsAndShowsTheError)
{
    TFormTavrel &w = open();
    QString text = QString::fromUtf8(ModelText);
    text.replace(QStringLiteral("计算步长=5"), QStringLiteral("计算步长=0"));
    platform.openAnswers.push_back({true, writeModel("zero.txt", text), 0});
    trigger("Menu_Open1");
    const PlatformCall message = platform.lastMessage();
    EXPECT_TRUE(message.text.startsWith(QStringLiteral("出错："))) << message.text.toStdString();
    EXPECT_EQ(message.title, QStringLiteral("错误"));
    EXPECT_TRUE(w.StormPoints().empty());
    EXPECT_EQ(w.grid()->model()->rowCount(), 0);
    EXPECT_EQ(heading(1), QStringLiteral("降雨强度mm/min"));
    EXPECT_EQ(w.chart()->intensitySeries()->dataCount(), 0);
    EXPECT_EQ(w.chart()->rainfallSeries()->dataCount(), 0);
    EXPECT_EQ(w.Model().Strom_Overall_Rainfall, 0);
    EXPECT_EQ(child<QLabel>("Label_Overall_Rainfall")->text(), QStringLiteral("降雨总量H=0.0000mm"));
    // Switching a curve without rows touches neither the axes nor the file.
    const double left = w.chart()->leftAxis()->range().upper;
    QTest::mouseClick(child<QCheckBox>("CheckBox_Rainfall_Intensity"), Qt::LeftButton);
    EXPECT_EQ(w.chart()->leftAxis()->range().upper, left);
    EXPECT_FALSE(QFile::exists(optionsFile()));
}

TEST_F(MainWindow, RefreshFollowsUnitAndDecimalsAndLeavesOneSetOfRows)
{
    TFormTavrel &w = open();
    options.Int_StormUnitidx = 0;
    options.Int_Precision = 2;
    w.RefreshRainModel();
    w.RefreshRainModel();
    EXPECT_EQ(w.StormPoints().size(), 121u);
    EXPECT_EQ(w.grid()->model()->rowCount(), 121);
    EXPECT_EQ(w.chart()->intensitySeries()->dataCount(), 121);
    EXPECT_EQ(heading(1), QStringLiteral("降雨强度mm/h"));
    EXPECT_EQ(w.chart()->leftAxis()->label(), QStringLiteral("降雨强度(mm/h)"));
    EXPECT_EQ(child<QLabel>("Label_Overall_Rainfall")->text(), QStringLiteral("降雨总量H=60.63mm"));
    EXPECT_EQ(child<QLabel>("Label_Average_Rainfall_Intensity")->text(), QStringLiteral("平均雨强i=30.07mm/h"));
    EXPECT_EQ(cell(48, 1), "201.60");
}

TEST_F(MainWindow, BottomLabelsAreThinnedWhenTheyWouldOverlap)
{
    TFormTavrel &w = open();
    options.Int_TimeForamtidx = 0;
    w.RefreshRainModel();
    w.chart()->replot();
    const int step = w.chart()->bottomLabelStep();
    EXPECT_GT(step, 1);
    const double pitch = w.chart()->bottomAxis()->coordToPixel(step) - w.chart()->bottomAxis()->coordToPixel(0);
    EXPECT_GE(pitch, QFontMetrics(w.chart()->bottomAxis()->tickLabelFont()).height());
}

TEST_F(MainWindow, MenusCarryTheirCaptionsAndShortcut)
{
    open();
    EXPECT_EQ(child<QAction>("Menu_Save1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(child<QAction>("BMP1")->property("tag").toInt(), 1);
    EXPECT_EQ(child<QAction>("PNG2")->property("tag").toInt(), 3);
    EXPECT_EQ(child<QAction>("menu_Overall_Rainfall")->text(), QStringLiteral("显示总降雨量数据"));
    EXPECT_EQ(child<QAction>("MenuSaveDataToSWMM1")->text(), QStringLiteral("保存雨型数据(SWMM格式)..."));
    EXPECT_EQ(child<QPushButton>("btn_OutputExcelPicData")->text(), QStringLiteral("输出Excel图表"));
}

TEST_F(MainWindow, ExitClosesAtOnce)
{
    TFormTavrel &w = open();
    trigger("Menu_Exit");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0);
}

TEST_F(MainWindow, HidingTheLineHidesItsHoverRing)
{
    TFormTavrel &w = open();
    send(w.chart(), QEvent::MouseMove, linePoint(9), Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(w.chart()->hoverIndex(), 9);
    QTest::mouseClick(child<QCheckBox>("CheckBox_Rainfall_Intensity"), Qt::LeftButton);
    for (int k = 0; k < w.chart()->graphCount(); ++k)
        EXPECT_FALSE(w.chart()->graph(k)->visible()) << k;
}

TEST_F(MainWindow, EachLabelFollowsItsOwnSetting)
{
    TFormTavrel &w = open();
    const std::pair<bool TOptions::*, const char *> labels[] = {
        {&TOptions::Bool_ShowLabel_P, "Label_P"},
        {&TOptions::Bool_ShowLabel_T, "Label_T"},
        {&TOptions::Bool_ShowLabel_R, "Label_r"},
        {&TOptions::Bool_ShowLabel_Overall_Rainfall, "Label_Overall_Rainfall"},
        {&TOptions::Bool_ShowLabel_Average_Rainfall_Intensity, "Label_Average_Rainfall_Intensity"},
    };
    for (const auto &[setting, hidden] : labels) {
        options = TOptions{};
        options.*setting = false;
        w.RefreshRainModel();
        for (const auto &[other, name] : labels)
            EXPECT_EQ(child<QLabel>(name)->isVisible(), name != hidden) << hidden << " hides " << name;
    }
}

TEST_F(MainWindow, AxesLabelsAndGridCellsOfTheStorm)
{
    TFormTavrel &w = open();
    // The bottom axis ends with the last minute's label, and numbers sit at the right.
    const QVector<QString> labels = w.chart()->bottomAxis()->tickVectorLabels();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.first(), "00");
    EXPECT_EQ(labels.last(), "120");
    EXPECT_EQ(w.chart()->bottomAxis()->label(), QStringLiteral("降雨历时(min)"));
    options.Int_TimeForamtidx = 0;
    w.RefreshRainModel();
    EXPECT_EQ(w.chart()->bottomAxis()->label(), QStringLiteral("降雨历时(H:M)"));
    options.Int_TimeForamtidx = 1;
    auto *model = w.grid()->model();
    for (int column : {1, 2})
        EXPECT_EQ(model->data(model->index(7, column), Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
                  Qt::AlignRight);

    // A storm of no rain still gets axes of some height.
    w.Model().LG_LN = 2;
    w.RefreshRainModel();
    ASSERT_EQ(w.StormPoints().size(), 121u);
    EXPECT_EQ(w.chart()->leftAxis()->range().upper, 1);
    EXPECT_EQ(w.chart()->rightMaximum(), 1);
}

TEST_F(MainWindow, TheFirstPointAndTheFirstBarAnswerClicks)
{
    TFormTavrel &w = open();
    GridDataView *grid = w.grid();
    grid->selectRow(50);
    send(w.chart(), QEvent::MouseButtonPress, linePoint(0), Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(grid->currentIndex().row(), 0);

    // Below the line's first point, inside the first bar.
    grid->selectRow(50);
    QTest::mouseClick(child<QCheckBox>("CheckBox_Rainfall_Intensity"), Qt::LeftButton);
    StormChart *chart = w.chart();
    const double value = chart->rainfallSeries()->data()->constBegin()->value;
    send(chart, QEvent::MouseButtonPress,
         QPoint(qRound(chart->bottomAxis()->coordToPixel(0)), qRound(chart->rightAxis()->coordToPixel(value / 2))),
         Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(grid->currentIndex().row(), 0);
}
