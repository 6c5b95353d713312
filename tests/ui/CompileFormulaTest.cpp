#include "TestSupport.h"
#include "core/Numbers.h"
#include "core/StormModel.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/CompareTables.h"
#include "ui/FormAddNewRainModel.h"
#include "ui/FormCompileFormula.h"
#include "ui/FrequencyChart.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSemaphore>
#include <QTableWidget>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>
#include <zip.h>

namespace {

// Eleven years 2001-2011 of a 5-minute record listing only its rain: each year a three-hour
// storm on 15 July from 10:00, 1 mm every five minutes but 4, 7, 4 mm at 10:25-10:35 (in
// 2004 at 12:25-12:35), times 1 + k/10 in year 2001 + k. Its maxima over 5, 10, ... 180
// minutes are 7, 11, 15, 16, 18, 21, 24, 30, 36, 42, 48 mm times that factor. The first
// largest window of t minutes puts the 7 mm 30 minutes into the storm (t >= 60; at 20
// minutes in the window of 30 minutes), so r_t = 32.5/t and 22.5/30, r = 185/630; in 2004
// the same windows give r = 565/630.
QByteArray StormYears()
{
    QByteArray text = "时间,雨量(mm)\n";
    for (int k = 0; k <= 10; ++k) {
        const int peak = k == 3 ? 30 : 6;
        for (int i = 0; i < 36; ++i) {
            const int depth = i == peak ? 7 : std::abs(i - peak) == 1 ? 4 : 1;
            const int minute = 10 * 60 + 5 * i;
            text += QStringLiteral("%1-07-15 %2:%3,%4\n")
                        .arg(2001 + k)
                        .arg(minute / 60, 2, 10, QLatin1Char('0'))
                        .arg(minute % 60, 2, 10, QLatin1Char('0'))
                        .arg(depth * (1 + k / 10.0))
                        .toUtf8();
        }
    }
    return text;
}

class CompileDialog : public testing::Test {
protected:
    void SetUp() override
    {
        folder = MakeTempFolder();
        WriteBytes(folder + "/storms.csv", StormYears());
        dialog = std::make_unique<TFormCompileFormula>(platform, 167, recordFolder);
    }

    // Opens a file through the dialog's 打开 and waits until its formula is shown.
    bool open(const QString &name)
    {
        platform.openAnswers.push_back({true, folder + "/" + name, 0});
        QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonOpen"), Qt::LeftButton);
        return settled();
    }
    bool settled()
    {
        return QTest::qWaitFor([this] { return !busy("ProgressRead") && !busy("ProgressCompile") &&
                                               dialog->formula().has_value(); }, 30000);
    }
    bool busy(const char *bar) const { return dialog->findChild<QProgressBar *>(bar)->isVisibleTo(dialog.get()); }
    const TextTableModel *table(const char *name) const { return dialog->findChild<TextTableView *>(name)->table(); }
    QTableWidgetItem *year(int row) const { return dialog->findChild<QTableWidget *>("GridYears")->item(row, 0); }
    QString ratio() const { return table("GridRatio")->rows().empty() ? "" : table("GridRatio")->rows().back().value(1); }

    ScriptedPlatform platform;
    QString recordFolder = QStringLiteral("/data/records");
    QString folder;
    std::unique_ptr<TFormCompileFormula> dialog;
};

} // namespace

TEST_F(CompileDialog, ShowsEachYearsMaximaAndTheRecordsPeakRatio)
{
    ASSERT_TRUE(open("storms.csv"));
    const auto &rows = table("GridMaxima")->rows();
    ASSERT_EQ(rows.size(), 11u);
    EXPECT_EQ(rows[5], QStringList({"2006", "10.500", "16.500", "22.500", "24.000", "27.000", "31.500", "36.000",
                                    "45.000", "54.000", "63.000", "72.000"}));
    // (10 * 185 + 565) / (11 * 630)
    EXPECT_EQ(ratio(), "0.3485");
    EXPECT_EQ(table("GridRatio")->rows()[1], QStringList({"60", "0.5720"}));
    EXPECT_EQ(recordFolder, QDir::toNativeSeparators(folder));
}

TEST_F(CompileDialog, LeavingAYearOutCompilesFromTheOthers)
{
    ASSERT_TRUE(open("storms.csv"));
    year(3)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(settled());
    EXPECT_EQ(ratio(), "0.2937");   // 185 / 630
    EXPECT_EQ(table("GridRatio")->rows()[1], QStringList({"60", "0.5417"}));
    EXPECT_EQ(table("GridMaxima")->rows().size(), 10u);
    EXPECT_EQ(table("GridMaxima")->rows()[3].value(0), "2005");
}

TEST_F(CompileDialog, TenYearsAreTheLeastItLeaves)
{
    ASSERT_TRUE(open("storms.csv"));
    year(0)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(settled());
    year(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(year(1)->checkState(), Qt::Checked);
    EXPECT_TRUE(platform.last(PlatformCallKind::MessageBox).text.startsWith("只有9年资料，至少需要10年"));
    ASSERT_TRUE(settled());
    EXPECT_EQ(table("GridMaxima")->rows().size(), 10u);
}

TEST_F(CompileDialog, ABadRecordIsNamedByItsLineAndTakesNothingAway)
{
    ASSERT_TRUE(open("storms.csv"));
    WriteBytes(folder + "/bad.csv", "时间,雨量\n2001-07-15 10:00,1\n2001-07-15 10:05,-2\n");
    platform.openAnswers.push_back({true, folder + "/bad.csv", 0});
    QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonOpen"), Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([this] { return platform.count(PlatformCallKind::MessageBox) == 1; }, 30000));
    EXPECT_TRUE(platform.last(PlatformCallKind::MessageBox).text.contains("第3行"));
    EXPECT_TRUE(dialog->findChild<QPushButton *>("ButtonOK")->isEnabled());
    EXPECT_EQ(table("GridMaxima")->rows().size(), 11u);
    EXPECT_EQ(ratio(), "0.3485");
}

TEST_F(CompileDialog, CancelledReadingLeavesTheDialogAsItWas)
{
    ASSERT_TRUE(open("storms.csv"));
    WriteBytes(folder + "/other.csv", StormYears().replace(",4\n", ",5\n"));
    // Every worker held, so the reading cannot start before it is cancelled.
    QSemaphore release;
    const int workers = QThreadPool::globalInstance()->maxThreadCount();
    for (int k = 0; k < workers; ++k)
        QThreadPool::globalInstance()->start([&release] { release.acquire(); });
    platform.openAnswers.push_back({true, folder + "/other.csv", 0});
    QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonOpen"), Qt::LeftButton);
    EXPECT_TRUE(busy("ProgressRead"));
    QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonStopRead"), Qt::LeftButton);
    release.release(workers);
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_FALSE(busy("ProgressRead"));
    EXPECT_TRUE(dialog->findChild<QPushButton *>("ButtonOpen")->isEnabled());
    ASSERT_EQ(table("GridMaxima")->rows().size(), 11u);
    EXPECT_EQ(table("GridMaxima")->rows()[0].value(2), "11.000");
}

TEST_F(CompileDialog, ATableOfMaximaIsReadWithoutAPeakRatio)
{
    QByteArray text = "年份,5,10,15,20,30,45,60,90,120,150,180\n";
    for (int y = 0; y < 12; ++y) {
        text += QByteArray::number(1990 + y);
        for (int depth : {7, 11, 15, 16, 18, 21, 24, 30, 36, 42, 48})
            text += ',' + QByteArray::number(depth * (1 + y / 10.0));
        text += '\n';
    }
    WriteBytes(folder + "/maxima.csv", text);
    ASSERT_TRUE(open("maxima.csv"));
    EXPECT_EQ(table("GridMaxima")->rows()[11].value(11), "100.800");
    EXPECT_EQ(table("GridRatio")->rows().size(), 0u);
    EXPECT_FALSE(dialog->peakRatio().has_value());
}

TEST_F(CompileDialog, ConfirmingFillsTheNewStormDialogWithTheFormulaAndR)
{
    TOptions options;
    options.D_QI_ConversionRatio = 167;
    TExpressionObject model;
    SetStartValues(model);
    const TExpressionObject before = model;
    QString tableFolder;
    TFormAddNewRainModel form(platform, model, options, tableFolder, recordFolder);
    form.prepareToShow();
    form.findChild<QComboBox *>("ComboBox_LgLn")->setCurrentIndex(1);
    platform.openAnswers.push_back({true, folder + "/storms.csv", 0});
    TotalFormula shown;
    platform.modalScripts.push_back([&](QDialog *compile) {
        auto *ok = compile->findChild<QPushButton *>("ButtonOK");
        QTest::mouseClick(compile->findChild<QPushButton *>("ButtonOpen"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([ok] { return ok->isEnabled(); }, 30000));
        shown = *static_cast<TFormCompileFormula *>(compile)->formula();
        QTest::mouseClick(ok, Qt::LeftButton);
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(form.findChild<QPushButton *>("ButtonCompileFormula"), Qt::LeftButton);
    const auto text = [&form](const char *name) { return form.findChild<QLineEdit *>(name)->text(); };
    EXPECT_EQ(QStringList({text("Edit_a1"), text("Edit_c"), text("Edit_b"), text("Edit_n"), text("EditStormPercent"),
                           form.findChild<QComboBox *>("ComboBox_LgLn")->currentText()}),
              QStringList({FormatGeneral(shown.A1), FormatGeneral(shown.C), FormatGeneral(shown.b),
                           FormatGeneral(shown.n), "0.3485", "lgP"}));
    EXPECT_EQ(model, before);   // until the new-storm dialog is confirmed
}

TEST(FrequencyChart, PutsTheSampleAtItsEmpiricalFrequencies)
{
    FrequencyCurve curve;
    curve.distribution = Distribution::Gumbel;
    curve.u = 2;
    curve.alpha = 1;
    FrequencyChart chart;
    chart.setCurve(60, {3, 5, 1, 4, 2}, curve);
    // m/(n+1) = 1/6 ... 5/6 on the normal scale: z = 0.967422, 0.430727, 0, ...
    const auto points = chart.graph(0)->data();
    ASSERT_EQ(points->size(), 5);
    const double z[] = {0.967422, 0.430727, 0, -0.430727, -0.967422};
    for (int m = 0; m < 5; ++m) {
        EXPECT_NEAR(points->at(m)->key, z[4 - m], 1e-6);
        EXPECT_EQ(points->at(m)->value, m + 1);
    }
}

TEST_F(CompileDialog, CtrlCCopiesTheYearsWithTheirTicks)
{
    ASSERT_TRUE(open("storms.csv"));
    year(3)->setCheckState(Qt::Unchecked);
    dialog->show();
    auto *years = dialog->findChild<QTableWidget *>("GridYears");
    years->setFocus();
    QTest::keyClick(years, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = platform.last(PlatformCallKind::ClipboardText).clipboard.split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[4], "2004\t100.00\t否");
}

TEST_F(CompileDialog, TheReportIsOfTheTickedYears)
{
    TExpressionObject base;
    base.Storm_Time = 120;
    base.Storm_Step = 5;
    base.Storm_Percent = 0.4;
    dialog->setReportBasis(base, TOptions());
    ASSERT_TRUE(open("storms.csv"));
    year(3)->setCheckState(Qt::Unchecked);
    ASSERT_TRUE(settled());
    platform.saveAnswers.push_back({true, folder + "/report.docx", 0});
    QTest::mouseClick(dialog->findChild<QPushButton *>("Button_Report"), Qt::LeftButton);
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(folder + "/report.docx").constData(), ZIP_RDONLY, &error);
    ASSERT_NE(archive, nullptr) << platform.lastMessage().text.toStdString();
    int pictures = 0;
    QByteArray document;
    for (zip_int64_t i = 0; i < zip_get_num_entries(archive, 0); ++i) {
        const QString name = QString::fromUtf8(zip_get_name(archive, zip_uint64_t(i), 0));
        pictures += name.startsWith("word/media/") && name.endsWith(".png");
        zip_stat_t stat;
        if (name == "word/document.xml" && zip_stat_index(archive, zip_uint64_t(i), 0, &stat) == 0) {
            document.resize(qsizetype(stat.size));
            zip_file_t *file = zip_fopen_index(archive, zip_uint64_t(i), 0);
            zip_fread(file, document.data(), stat.size);
            zip_fclose(file);
        }
    }
    zip_discard(archive);
    EXPECT_EQ(pictures, 12);   // eleven frequency curves and the storm
    EXPECT_TRUE(document.contains("0.2937")) << "r of the ten years ticked, 185 / 630";
    EXPECT_FALSE(document.contains("0.3485")) << "r of all eleven years";
}
