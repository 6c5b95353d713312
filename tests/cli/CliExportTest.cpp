#include "TestSupport.h"
#include "cli/CliTool.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"
#include "settings/Options.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>

namespace {
QStringList PrintedTable(const QStringList &args)
{
    CliStreams s;
    EXPECT_EQ(RunCli(args, s), 0) << s.err.toStdString();
    QStringList lines = s.out.split('\n');
    lines.removeLast();   // after the closing newline
    lines.removeLast();   // average
    lines.removeLast();   // total
    return lines;
}

class CliExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(SettingsFilePath(UserAppDataFolder(), false));
        folder = MakeTempFolder();
    }
    void TearDown() override { QFile::remove(SettingsFilePath(UserAppDataFolder(), false)); }
    QString folder;
};
} // namespace

TEST_F(CliExport, CsvFileHoldsThePrintedTableInGbkWithCrLf)
{
    const QString path = folder + "/table.CSV";
    CliStreams s;
    ASSERT_EQ(RunCli({"--precision", "3", "-o", path}, s), 0) << s.err.toStdString();
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_EQ(ReadBytes(path), GbkLines(PrintedTable({"--precision", "3"})));
}

TEST_F(CliExport, SwmmFileSwitchesToHoursMinutesAndMillimetresPerHour)
{
    const QString path = folder + "/series.dat";
    CliStreams s;
    ASSERT_EQ(RunCli({"-o", path}, s), 0) << s.err.toStdString();   // settings: minutes, mm/min
    const QStringList lines = SplitLines(DecodeText(ReadBytes(path)));
    const QStringList table = PrintedTable({"--time", "hm", "--unit", "mm/h"});
    ASSERT_EQ(lines.size(), 121 + 2);
    ASSERT_EQ(table.size(), 121 + 1);
    EXPECT_EQ(lines[0], QStringLiteral(";;时间(时:分)  数值(毫米/时)"));
    for (qsizetype i = 1; i < table.size(); ++i) {
        const QStringList cells = table[i].split(',');
        EXPECT_EQ(lines[i + 1], cells[0].leftJustified(16) + cells[1]) << i;
    }
    EXPECT_FALSE(QFile::exists(SettingsFilePath(UserAppDataFolder(), false)));   // the switch is for this file only
}

TEST_F(CliExport, SwmmFileKeepsTheDecimalsAskedWithRoundedComputation)
{
    const QString path = folder + "/series.dat";
    CliStreams s;
    ASSERT_EQ(RunCli({"--calc-by-show", "--precision", "2", "-o", path}, s), 0) << s.err.toStdString();
    const QStringList lines = SplitLines(DecodeText(ReadBytes(path)));
    ASSERT_EQ(lines.size(), 121 + 2);
    EXPECT_EQ(lines[2], "00:00           11.45");
    EXPECT_EQ(lines[50], "00:48           201.60");
}

TEST_F(CliExport, SwmmFileSwmmCannotReadIsRefusedAndNotWritten)
{
    const QString path = folder + "/series.dat";
    CliStreams s;
    EXPECT_NE(RunCli({"--precision", "46", "-o", path}, s), 0);
    EXPECT_TRUE(s.err.contains(QStringLiteral("50个字符"))) << s.err.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(RunCli({"--precision", "46", "-o", folder + "/table.csv"}, s), 0) << s.err.toStdString();
}

TEST_F(CliExport, HelpListsTheTextFormats)
{
    CliStreams s;
    ASSERT_EQ(RunCli({"--help"}, s), 0);
    EXPECT_TRUE(s.out.contains(".csv"));
    EXPECT_TRUE(s.out.contains(".dat"));
    EXPECT_TRUE(s.out.contains(".docx"));
    EXPECT_TRUE(s.out.contains(".xlsx"));
}

TEST_F(CliExport, OfficeFileThatCannotReplaceItsTargetFails)
{
    const QString target = folder + "/busy.docx";
    QDir().mkpath(target);
    CliStreams s;
    EXPECT_NE(RunCli({"-o", target}, s), 0);
    EXPECT_EQ(s.err.trimmed(), QStringLiteral("出错：保存文件失败，可能是文件被占用"));
    EXPECT_FALSE(QFile::exists(folder + "/busy.bin"));
}

#ifdef TAVREL_WITH_UI
#include "cli/CliCharts.h"

TEST(CliPictures, ChartIsDrawnAtTheWindowsStartSize)
{
    const QString folder = MakeTempFolder();
    CliStreams streams;
    ASSERT_EQ(RunCli({"--T", "60", "-o", folder + "/chart.PNG"}, streams, DrawStormChart), 0) << streams.err.toStdString();
    const QImage picture(folder + "/chart.PNG");
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(550, 480));
    ASSERT_EQ(RunCli({"-o", folder + "/chart.jpg"}, streams, DrawStormChart), 0);
    EXPECT_TRUE(ReadBytes(folder + "/chart.jpg").startsWith("\xFF\xD8"));
    // A failed computation writes no picture.
    EXPECT_NE(RunCli({"--step", "0", "-o", folder + "/none.png"}, streams, DrawStormChart), 0);
    EXPECT_FALSE(QFile::exists(folder + "/none.png"));
}
#endif
