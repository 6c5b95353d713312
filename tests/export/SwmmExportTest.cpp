#include "ExportTestSupport.h"
#include "TestSupport.h"
#include "core/Failure.h"
#include "core/TextFile.h"
#include "export/SwmmExport.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
struct SmallSeries {
    GridTexts grid;
    std::vector<HyetographPoint> points;
};

SmallSeries Small()
{
    SmallSeries s;
    s.grid.heading = GridHeading(0);
    s.grid.rows = {{"00:00", "11.4480", "0.1908"}, {"00:01", "201.5940", "3.5507"}, {"00:02", "12.5000", "3.7590"}};
    s.points = {{0, 11.448, 0.1908}, {1, 201.594, 3.5507}, {2, 12.5, 3.759}};
    return s;
}

QString RefusalOf(const GridTexts &grid, const std::vector<HyetographPoint> &points)
{
    try {
        SwmmLines(grid, points);
    } catch (const TavrelError &e) {
        return e.message();
    }
    return {};
}
} // namespace

TEST(SwmmExport, BytesAreTwoCommentLinesThenPaddedTimeAndIntensity)
{
    // ;;时间(时:分)  数值(毫米/时) in code page 936, no byte-order mark.
    const QByteArray heading = QByteArray::fromHex("3b3bcab1bce428cab13ab7d6292020cafdd6b528bac1c3d72fcab129");
    const SmallSeries s = Small();
    EXPECT_EQ(SwmmFileBytes(s.grid, s.points), heading +
                                                   "\r\n;;------------ ------------\r\n"
                                                   "00:00           11.4480\r\n"
                                                   "00:01           201.5940\r\n"
                                                   "00:02           12.5000\r\n");
}

struct FieldCase {
    double minute;
    const char *line;
};

class SwmmTimeField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(SwmmTimeField, IsPaddedToSixteenAndNeverCut)
{
    GridTexts grid;
    grid.rows = {{"x", "7.0000", "1.0000"}};
    const QStringList lines = SwmmLines(grid, {{GetParam().minute, 7, 1}});
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2].toStdString(), GetParam().line);
}

INSTANTIATE_TEST_SUITE_P(Times, SwmmTimeField,
    ::testing::Values(FieldCase{5, "00:05           7.0000"}, FieldCase{1439, "23:59           7.0000"},
                      FieldCase{6000, "100:00          7.0000"},
                      FieldCase{1e14, "1666666666666:407.0000"}));   // sixteen characters: nothing added

TEST(SwmmExport, ComputedStormWritesEveryRowsIntensityAsTheTableShowsIt)
{
    const ComputedStorm s = MakeStorm(120, 0.4, 7, {0, 0, 3});
    const QByteArray bytes = SwmmFileBytes(s.grid, s.result.points);
    EXPECT_EQ(bytes.count("\r\n"), 121 + 2);
    EXPECT_EQ(bytes.count('\n'), 121 + 2);
    const QStringList lines = SplitLines(DecodeText(bytes));
    ASSERT_EQ(lines.size(), 121 + 2);
    EXPECT_EQ(lines[0], QStringLiteral(";;时间(时:分)  数值(毫米/时)"));
    EXPECT_EQ(lines[1], ";;------------ ------------");
    for (size_t i = 0; i < s.grid.rows.size(); ++i) {
        const QString &line = lines[static_cast<qsizetype>(i) + 2];
        EXPECT_EQ(line, s.grid.rows[i][0].leftJustified(16) + s.grid.rows[i][1]) << i;
        EXPECT_FALSE(line.endsWith(' '));
    }
}

TEST(SwmmExport, TimesCountOnPastOneDayWhereTheTableRestarts)
{
    const ComputedStorm s = MakeStorm(1500, 0.4);
    const QStringList lines = SwmmLines(s.grid, s.result.points);
    ASSERT_EQ(lines.size(), 1501 + 2);
    for (int minute = 0; minute < 1440; ++minute)
        ASSERT_TRUE(lines[minute + 2].startsWith(s.grid.rows[static_cast<size_t>(minute)][0] + "           "))
            << minute;
    EXPECT_EQ(s.grid.rows[1440][0], "00:00");
    EXPECT_EQ(lines[1440 + 2], "24:00           " + s.grid.rows[1440][1]);
    EXPECT_EQ(lines[1500 + 2], "25:00           " + s.grid.rows[1500][1]);

    // From 100 hours on the hours take three digits and the field still pads to 16.
    const ComputedStorm days = MakeStorm(6001, 0.4);
    const QStringList long_ = SwmmLines(days.grid, days.result.points);
    EXPECT_EQ(long_[5999 + 2], "99:59           " + days.grid.rows[5999][1]);
    EXPECT_EQ(long_[6000 + 2], "100:00          " + days.grid.rows[6000][1]);
    EXPECT_EQ(long_[6001 + 2], "100:01          " + days.grid.rows[6001][1]);
}

TEST(SwmmExport, EitherSettingOtherThanHoursMinutesAndMillimetresPerHourNeedsTheSwitch)
{
    EXPECT_FALSE(SwmmNeedsSwitch(0, 0));
    EXPECT_TRUE(SwmmNeedsSwitch(0, 1));
    EXPECT_TRUE(SwmmNeedsSwitch(1, 0));
    EXPECT_TRUE(SwmmNeedsSwitch(1, 1));
}

struct PeakCase {
    double peakRatio;
    const char *repeated;   // empty: the series is accepted
};

class SwmmWithoutB : public ::testing::TestWithParam<PeakCase> {};

TEST_P(SwmmWithoutB, RefusesASeriesWhoseTimesRepeat)
{
    const ComputedStorm s = MakeStorm(10, GetParam().peakRatio, 0);
    ASSERT_TRUE(s.result.ok) << s.result.message.toStdString();
    const QString refusal = RefusalOf(s.grid, s.result.points);
    if (*GetParam().repeated == 0) {
        EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
        return;
    }
    EXPECT_TRUE(refusal.contains(QStringLiteral("时间“%1”出现了不止一次").arg(GetParam().repeated)))
        << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("SWMM"))) << refusal.toStdString();
}

// A peak between whole minutes gives two rows at minute 5; on a whole minute the peak row
// itself is dropped and the times stay strictly increasing.
INSTANTIATE_TEST_SUITE_P(Peaks, SwmmWithoutB, ::testing::Values(PeakCase{0.45, "00:05"}, PeakCase{0.5, ""}));

TEST(SwmmExport, RefusedSeriesLeavesTheOldFileWhole)
{
    const ComputedStorm s = MakeStorm(10, 0.45, 0);
    const QString path = MakeTempFolder() + "/series.dat";
    WriteBytes(path, "old contents");
    EXPECT_THROW(WriteSwmmFile(path, s.grid, s.result.points), TavrelError);
    EXPECT_EQ(ReadBytes(path), "old contents");
}

TEST(SwmmExport, RefusesValuesTooLongForSwmmsReader)
{
    SmallSeries s = Small();
    s.grid.rows[1][1] = "1." + QString(47, '0');   // 49 characters: the most SWMM reads
    EXPECT_TRUE(RefusalOf(s.grid, s.points).isEmpty());
    s.grid.rows[1][1] += '0';
    EXPECT_TRUE(RefusalOf(s.grid, s.points).contains(QStringLiteral("第2行的数值有50个字符")));
}

TEST(SwmmExport, TableAndPointsMustMatch)
{
    SmallSeries s = Small();
    s.points.pop_back();
    EXPECT_FALSE(RefusalOf(s.grid, s.points).isEmpty());
}

TEST(SwmmExport, FailedWriteKeepsTheOldFile)
{
    // A day of rows, more than Qt keeps in its write buffer (the CSV test covers the
    // buffered case).
    const ComputedStorm s = MakeStorm(1440, 0.4);
    const QString folder = MakeTempFolder();
    const QString path = folder + "/series.dat";
    WriteBytes(path, "old contents");
    const QString failure = FailureOnAFullDisk([&] { WriteSwmmFile(path, s.grid, s.result.points); });
    EXPECT_TRUE(failure.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path))) << failure.toStdString();
    EXPECT_EQ(ReadBytes(path), "old contents");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"series.dat"});
    WriteSwmmFile(path, s.grid, s.result.points);
    EXPECT_EQ(ReadBytes(path), SwmmFileBytes(s.grid, s.result.points));
}
