#include "CliRun.h"
#include "TestSupport.h"
#include "cli/CliTool.h"
#include "core/TextFile.h"
#include "settings/Options.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
const QStringList EightPeriods = {"1", "2", "3", "5", "10", "20", "50", "100"};


QStringList Files(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// The [TIMESERIES] entries of an input-file section, by series name, as "time value".
QMap<QString, QStringList> SeriesOf(const QString &section)
{
    QMap<QString, QStringList> series;
    bool inSeries = false;
    for (const QString &line : SplitLines(section)) {
        if (line.startsWith('['))
            inSeries = line == "[TIMESERIES]";
        const QStringList words = line.section(';', 0, 0).split(' ', Qt::SkipEmptyParts);
        if (inSeries && words.size() == 3)
            series[words[0]].append(words[1] + ' ' + words[2]);
    }
    return series;
}

// The data lines of a .dat file, as "time value".
QStringList DatEntries(const QString &path)
{
    QStringList entries;
    for (const QString &line : SplitLines(DecodeText(ReadBytes(path)))) {
        if (!line.startsWith(";;"))
            entries.append(line.split(' ', Qt::SkipEmptyParts).join(' '));
    }
    return entries;
}

class CliFamily : public ::testing::Test {
protected:
    void SetUp() override
    {
        QFile::remove(SettingsFilePath(UserAppDataFolder(), false));
        folder = MakeTempFolder();
    }
    QString folder;
};

class CliFamilyFormats : public CliFamily, public ::testing::WithParamInterface<const char *> {};
} // namespace

// Every storm of the family gets its own file, byte for byte the file a run of that storm
// alone writes.
TEST_P(CliFamilyFormats, WriteOneFilePerStormAsASingleRunWould)
{
    const QString extension = QString::fromLatin1(GetParam());
    RunTool({"--step", "5", "--P", EightPeriods.join(','), "-o", folder + "/storm_P{P}" + extension});
    QStringList expected;
    for (const QString &P : EightPeriods)
        expected.append("storm_P" + P + extension);
    expected.sort();
    ASSERT_EQ(Files(folder), expected);

    const QString single = MakeTempFolder() + "/single" + extension;
    for (const QString &P : EightPeriods) {
        RunTool({"--step", "5", "--P", P, "-o", single});
        EXPECT_EQ(ReadBytes(folder + "/storm_P" + P + extension), ReadBytes(single)) << P.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, CliFamilyFormats, ::testing::Values(".csv", ".dat", ".inp", ".txt"));

TEST_F(CliFamily, SummaryLinesMatchTheSingleStormRuns)
{
    const QStringList summary = Lines(RunTool({"--unit", "mm/h", "--P", EightPeriods.join(',')}).out);
    ASSERT_EQ(summary.size(), 1 + 8);
    EXPECT_EQ(summary[0], QStringLiteral("重现期P(年),降雨总量H(mm),峰值雨强(mm/h),平均雨强(mm/h)"));
    for (qsizetype k = 0; k < EightPeriods.size(); ++k) {
        const QStringList single = Lines(RunTool({"--unit", "mm/h", "--P", EightPeriods[k]}).out);
        double peak = 0;
        QString peakText;
        for (qsizetype row = 1; row < single.size() - 2; ++row) {
            const QString intensity = single[row].split(',')[1];
            if (intensity.toDouble() > peak) {
                peak = intensity.toDouble();
                peakText = intensity;
            }
        }
        const QString total = single[single.size() - 2].section('=', 1).chopped(2);     // "降雨总量H=60.6345mm"
        const QString average = single[single.size() - 1].section('=', 1).chopped(4);   // "平均雨强i=30.0667mm/h"
        EXPECT_EQ(summary[k + 1], QStringList({EightPeriods[k], total, peakText, average}).join(','));
    }
    // The default storm, P = 2: the worked example's total and peak.
    EXPECT_TRUE(summary[2].startsWith("2,60.6345,201.5961,")) << summary[2].toStdString();
}

TEST_F(CliFamily, NamesTakeTheGeneralNumberTextsOfPTAndR)
{
    RunTool({"--P", "0.5,2", "--T", "60", "--r", "0.45", "-o", folder + "/P{P}_T{T}_r{r}.csv", "-o", folder + "/all.inp"});
    EXPECT_EQ(Files(folder), QStringList({"P0.5_T60_r0.45.csv", "P2_T60_r0.45.csv", "all.inp"}));
    const QStringList names = SeriesOf(DecodeText(ReadBytes(folder + "/all.inp"))).keys();
    EXPECT_EQ(names, QStringList({"CHI_P0.5_T60_R0.45", "CHI_P2_T60_R0.45"}));
}

TEST_F(CliFamily, ANameWithoutPIsRefusedBeforeAnythingIsWritten)
{
    CliStreams s;
    EXPECT_NE(RunCli({"--P", "2,5", "-o", folder + "/a_{P}.dat", "-o", folder + "/all.inp", "-o", folder + "/table.csv"}, s), 0);
    EXPECT_TRUE(s.err.contains("table.csv")) << s.err.toStdString();
    EXPECT_TRUE(s.err.contains("{P}"));
    EXPECT_TRUE(s.out.isEmpty());
    EXPECT_TRUE(Files(folder).isEmpty());
    // A repeated return period would write one file twice.
    EXPECT_NE(RunCli({"--P", "2,2.0", "-o", folder + "/a_{P}.dat"}, s), 0);
    EXPECT_TRUE(Files(folder).isEmpty());
}

TEST_F(CliFamily, AFailingStormIsNamedAndTheOthersAreWritten)
{
    CliStreams s;
    EXPECT_EQ(RunCli({"--P", "2,-1,5", "-o", folder + "/P{P}.dat", "-o", folder + "/all.inp"}, s), 1);
    EXPECT_TRUE(s.err.contains(QStringLiteral("P=-1年：出错："))) << s.err.toStdString();
    EXPECT_EQ(Lines(s.err).size(), 1);
    EXPECT_EQ(Files(folder), QStringList({"P2.dat", "P5.dat", "all.inp"}));
    const QStringList summary = Lines(s.out);
    ASSERT_EQ(summary.size(), 3);
    EXPECT_TRUE(summary[1].startsWith("2,") && summary[2].startsWith("5,"));

    // The input-file section holds exactly the series of the .dat files.
    const QMap<QString, QStringList> series = SeriesOf(DecodeText(ReadBytes(folder + "/all.inp")));
    EXPECT_EQ(series.keys(), QStringList({"CHI_P2_T120_R0.4", "CHI_P5_T120_R0.4"}));
    EXPECT_EQ(series["CHI_P2_T120_R0.4"], DatEntries(folder + "/P2.dat"));
    EXPECT_EQ(series["CHI_P5_T120_R0.4"], DatEntries(folder + "/P5.dat"));
    EXPECT_EQ(series["CHI_P5_T120_R0.4"].size(), 121);
}

TEST_F(CliFamily, StormsSwmmRefusesAreLeftOutOfTheSectionAndNamed)
{
    // At 46 decimals an intensity of 100 mm/h or more is longer than SWMM reads: the storm
    // of P = 2 peaks at 201 mm/h, that of P = 0.1 at 31 mm/h.
    CliStreams s;
    EXPECT_EQ(RunCli({"--precision", "46", "--P", "0.1,2", "-o", folder + "/all.inp", "-o", folder + "/P{P}.csv"}, s), 1);
    EXPECT_TRUE(s.err.contains(QStringLiteral("P=2 T=120 r=0.4"))) << s.err.toStdString();
    EXPECT_FALSE(s.err.contains(QStringLiteral("P=0.1")));
    EXPECT_EQ(Files(folder), QStringList({"P0.1.csv", "P2.csv", "all.inp"}));
    const QByteArray section = ReadBytes(folder + "/all.inp");
    EXPECT_TRUE(section.contains("CHI_P0.1_") && !section.contains("CHI_P2_"));

    // A section that cannot be written is the file's failure, not its first storm's.
    EXPECT_EQ(RunCli({"--P", "1,2", "-o", folder + "/gone/all.inp"}, s), 1);
    EXPECT_TRUE(s.err.contains("gone/all.inp") && s.err.contains(QStringLiteral("文件夹不存在"))) << s.err.toStdString();
    EXPECT_FALSE(s.err.contains(QStringLiteral("P=1年")));

    // One storm alone fails the run as before.
    EXPECT_EQ(RunCli({"--precision", "46", "-o", folder + "/one.inp"}, s), 1);
    EXPECT_FALSE(QFile::exists(folder + "/one.inp"));
}

TEST_F(CliFamily, CheckPrintsOneTablePerStormAtAOneMinuteStep)
{
    const QStringList lines = Lines(RunTool({"--check", "--step", "5", "--P", "2,5"}).out);
    // Summary (3 lines), blank, 3 + 9 lines for P = 2, blank, 3 + 9 lines for P = 5.
    ASSERT_EQ(lines.size(), 3 + 1 + 12 + 1 + 12);
    EXPECT_TRUE(lines[4].contains("P=2年 T=120分 r=0.4")) << lines[4].toStdString();
    EXPECT_TRUE(lines[5].contains("step 1"));
    EXPECT_EQ(lines[7], "5,11.7962,11.9535,1.33");
    EXPECT_EQ(lines[15], "120,60.2284,60.4437,0.36");
    EXPECT_TRUE(lines[17].contains("P=5年"));
}
