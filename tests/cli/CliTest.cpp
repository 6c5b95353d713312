#include "CliRun.h"
#include "TestSupport.h"
#include "cli/CliTool.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"
#include "settings/Options.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

class Cli : public ::testing::Test {
protected:
    void SetUp() override { QFile::remove(SettingsFilePath(UserAppDataFolder(), false)); }
    void TearDown() override { QFile::remove(SettingsFilePath(UserAppDataFolder(), false)); }
};
} // namespace

TEST_F(Cli, DefaultStormPrintsTheWorkedExample)
{
    const QStringList lines = Lines(RunTool({}).out);
    ASSERT_EQ(lines.size(), 1 + 121 + 2);
    EXPECT_EQ(lines[0], QStringLiteral("时间(min),降雨强度(mm/min),降雨总量(mm)"));
    EXPECT_EQ(lines[1], "00,0.1908,0.1908");
    EXPECT_EQ(lines[49], "48,3.3599,25.9954");
    EXPECT_EQ(lines[121], "120,0.1908,60.6345");
    EXPECT_EQ(lines[122], QStringLiteral("降雨总量H=60.6345mm"));
    EXPECT_EQ(lines[123], QStringLiteral("平均雨强i=0.5011mm/min"));
}

TEST_F(Cli, OptionsChangeUnitTimeDecimalsAndStorm)
{
    const QStringList lines =
        Lines(RunTool({"--unit", "mm/h", "--time", "hm", "--precision", "2", "--T", "1500", "--step=60", "--r", "0.5", "--P", "5"}).out);
    EXPECT_EQ(lines[0], QStringLiteral("时间(H:M),降雨强度(mm/h),降雨总量(mm)"));
    ASSERT_EQ(lines.size(), 1 + 26 + 2);
    EXPECT_TRUE(lines[1].startsWith("00:00,"));
    EXPECT_TRUE(lines[25].startsWith("00:00,")) << lines[25].toStdString();   // minute 1440
    EXPECT_TRUE(lines[26].startsWith("01:00,"));
    EXPECT_TRUE(lines.last().endsWith("mm/h"));
    EXPECT_TRUE(lines.last().contains(QRegularExpression(R"(=\d+\.\d\dmm/h$)")));
}

TEST_F(Cli, CalcByShowRoundsBeforeSumming)
{
    const QStringList plain = Lines(RunTool({"--precision", "1"}).out);
    const QStringList rounded = Lines(RunTool({"--precision", "1", "--calc-by-show"}).out);
    // 121 intensities summed as printed with one decimal: 60.8 mm instead of 60.6345.
    EXPECT_EQ(plain.at(plain.size() - 2), QStringLiteral("降雨总量H=60.6mm"));
    EXPECT_EQ(rounded.at(rounded.size() - 2), QStringLiteral("降雨总量H=60.8mm"));
    EXPECT_EQ(rounded[1], "00,0.2,0.2");
    EXPECT_EQ(rounded[2], "01,0.2,0.4");
}

TEST_F(Cli, OptionsOverrideTheSettingsFileAndKeepEveryDecimalAsked)
{
    QDir().mkpath(QFileInfo(SettingsFilePath(UserAppDataFolder(), false)).path());
    WriteBytes(SettingsFilePath(UserAppDataFolder(), false), "[OPTIONS]\r\nTimeFormat=0\r\nStormUnit=0\r\n");
    const QStringList lines = Lines(RunTool({"--time", "min", "--unit", "mm/min", "--precision", "99"}).out);
    ASSERT_EQ(lines.size(), 1 + 121 + 2);
    EXPECT_EQ(lines[0], QStringLiteral("时间(min),降雨强度(mm/min),降雨总量(mm)"));
    const QStringList peak = lines[49].split(',');
    EXPECT_EQ(peak[0], "48");
    // 15 significant digits, then zeros up to the 99th decimal.
    EXPECT_EQ(peak[1], "3.35993554651027" + QString(85, '0'));
    EXPECT_EQ(lines.last(), "平均雨强i=0.501111350422156" + QString(84, '0') + "mm/min");
}

TEST_F(Cli, UsesTheUsersSettingsFile)
{
    QDir().mkpath(QFileInfo(SettingsFilePath(UserAppDataFolder(), false)).path());
    WriteBytes(SettingsFilePath(UserAppDataFolder(), false), "[OPTIONS]\r\nPrecision=2\r\nTimeFormat=0\r\n");
    const QStringList lines = Lines(RunTool({}).out);
    EXPECT_EQ(lines[1], "00:00,0.19,0.19");
    EXPECT_EQ(lines.at(lines.size() - 2), QStringLiteral("降雨总量H=60.63mm"));
}

TEST_F(Cli, ReadsAndWritesRainModelFiles)
{
    const QString folder = MakeTempFolder();
    const QString path = folder + "/model.txt";
    RunTool({"--T", "60", "--r", "0.35", "--step", "5", "-o", path});
    const RainModelRead read = ReadRainModelFile(path, {});
    ASSERT_EQ(read.status, RainModelRead::Ok);
    EXPECT_EQ(read.model.Storm_Time, 60);
    EXPECT_EQ(read.model.Storm_Percent, 0.35);
    EXPECT_EQ(read.model.Storm_Step, 5);
    const QStringList lines = Lines(RunTool({path}).out);
    EXPECT_EQ(lines.size(), 1 + 13 + 2);
}

struct CliFailure {
    QStringList args;
    const char *inMessage;
};

class CliFailures : public ::testing::TestWithParam<CliFailure> {};

TEST_P(CliFailures, GoToStandardErrorWithANonZeroCode)
{
    CliStreams s;
    EXPECT_NE(RunCli(GetParam().args, s), 0);
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_TRUE(s.err.contains(QString::fromUtf8(GetParam().inMessage))) << s.err.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Args, CliFailures,
    ::testing::Values(CliFailure{{"--T", "100001"}, "出错："}, CliFailure{{"--step", "0"}, "出错："},
                      CliFailure{{"--T", "abc"}, "abc"}, CliFailure{{"--unit", "cm"}, "--unit"},
                      CliFailure{{"--bogus"}, "--bogus"}, CliFailure{{"--P"}, "--P"},
                      CliFailure{{"/no/such/model.txt"}, "model.txt"}, CliFailure{{"-o", "x.xyz"}, ".xyz"},
                      CliFailure{{"--precision", "-1"}, "--precision"}, CliFailure{{"--precision", "+-5"}, "--precision"},
                      CliFailure{{"a.txt", "b.txt"}, "只能给出一个雨型文件"},
                      CliFailure{{"--P", "0.01", "-o", "never.txt"}, "P=0.01"}));

TEST_F(Cli, FailedComputationWritesNoFile)
{
    const QString path = MakeTempFolder() + "/x.csv";
    CliStreams s;
    EXPECT_NE(RunCli({"--r", "0", "-o", path}, s), 0);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(Cli, WrongSignatureIsReported)
{
    const QString path = MakeTempFolder() + "/bad.txt";
    WriteBytes(path, "SIGN=other\r\n");
    CliStreams s;
    EXPECT_NE(RunCli({path}, s), 0);
    EXPECT_TRUE(s.err.contains(QStringLiteral("该文件不包含正确的数据格式")));
}

TEST_F(Cli, HelpIsInChineseAndEnglish)
{
    const QString help = RunTool({"--help"}).out;
    for (const char *word : {"用法", "Usage", "--unit", "--calc-by-show", "--step", "-o", "降雨历时", "duration"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(word))) << word;
}
