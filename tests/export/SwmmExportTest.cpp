#include "ExportTestSupport.h"
#include "TestSupport.h"
#include "core/Failure.h"
#include "core/TextFile.h"
#include "export/SwmmExport.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {
TExpressionObject StartStorm(double minutes = 120, int step = 1)
{
    TExpressionObject m;
    SetStartValues(m);
    m.Storm_Time = minutes;
    m.Storm_Step = step;
    return m;
}

QString RefusalOf(const TExpressionObject &model, int precision = 4)
{
    try {
        SwmmLines(model, false, precision);
    } catch (const TavrelError &e) {
        return e.message();
    }
    return {};
}

// The elapsed minutes of an "H:MM" time.
int MinutesOf(const QString &time)
{
    return time.section(':', 0, 0).toInt() * 60 + time.section(':', 1, 1).toInt();
}
} // namespace

TEST(SwmmExport, BytesAreTwoCommentLinesThenPaddedTimeAndIntensity)
{
    // ;;时间(时:分)  数值(毫米/时) in code page 936, no byte-order mark; the start storm's
    // minutes 0 and 1 are 11.448137 and 11.620560 mm/h.
    const QByteArray heading = QByteArray::fromHex("3b3bcab1bce428cab13ab7d6292020cafdd6b528bac1c3d72fcab129");
    const QByteArray bytes = SwmmFileBytes(StartStorm(), false, 4);
    EXPECT_TRUE(bytes.startsWith(heading + "\r\n;;------------ ------------\r\n"
                                           "00:00           11.4481\r\n"
                                           "00:01           11.6206\r\n"));
    EXPECT_EQ(bytes.count("\r\n"), 121 + 2);
    EXPECT_EQ(bytes.count('\n'), 121 + 2);
}

TEST(SwmmExport, AtStepOneTheSeriesIsTheTableInHoursMinutesAndMillimetresPerHour)
{
    const ComputedStorm s = MakeStorm(120, 0.4, 7, {0, 0, 3});
    const QStringList lines = SwmmLines(s.model, false, 3);
    ASSERT_EQ(lines.size(), 121 + 2);
    for (size_t i = 0; i < s.grid.size(); ++i)
        EXPECT_EQ(lines[static_cast<qsizetype>(i) + 2], s.grid.row(i)[0].leftJustified(16) + s.grid.row(i)[1]) << i;
}

// SWMM holds each value for the gauge's interval, the step: each value is the mean of its
// interval, so SWMM gets the storm's rain and its heaviest interval.
TEST(SwmmExport, AtALongerStepEachValueIsItsIntervalsMeanIntensity)
{
    TExpressionObject m = StartStorm(120, 5);
    m.a1 = 16.5;
    m.c = 0.7;
    m.b = 12;
    m.n = 0.75;
    m.Storm_RepeatYear = 5;
    const QStringList lines = SwmmLines(m, false, 4);
    ASSERT_EQ(lines.size(), 25 + 3);
    EXPECT_TRUE(lines[2].startsWith(";;") && lines[2].contains(QStringLiteral("5分钟内的平均降雨强度")));
    double total = 0;
    for (int k = 0; k < 25; ++k) {
        const QStringList words = lines[k + 3].split(' ', Qt::SkipEmptyParts);
        ASSERT_EQ(words.size(), 2);
        EXPECT_EQ(MinutesOf(words[0]), 5 * k);
        total += words[1].toDouble() * 5 / 60;
    }
    EXPECT_NEAR(total, 76.08, 0.01);   // the storm's total
    EXPECT_EQ(SwmmLines(m, false, 1)[3 + 9], "00:45           168.0");   // minutes 45 to 49

    // A last interval that the storm only begins still starts on the step.
    m.Storm_Time = 121;
    const QStringList longer = SwmmLines(m, false, 4);
    ASSERT_EQ(longer.size(), 25 + 3);
    EXPECT_TRUE(longer.last().startsWith("02:00 "));
}

TEST(SwmmExport, TimesCountOnPastOneDayWhereTheTableRestarts)
{
    const ComputedStorm s = MakeStorm(1500, 0.4);
    const QStringList lines = SwmmLines(s.model, false, 4);
    ASSERT_EQ(lines.size(), 1501 + 2);
    EXPECT_EQ(s.grid.row(1440)[0], "00:00");
    EXPECT_EQ(lines[1440 + 2], "24:00           " + s.grid.row(1440)[1]);
    EXPECT_EQ(lines[1500 + 2], "25:00           " + s.grid.row(1500)[1]);

    // From 100 hours on the hours take three digits and the field still pads to 16.
    const ComputedStorm days = MakeStorm(6001, 0.4);
    const QStringList long_ = SwmmLines(days.model, false, 4);
    EXPECT_EQ(long_[5999 + 2], "99:59           " + days.grid.row(5999)[1]);
    EXPECT_EQ(long_[6000 + 2], "100:00          " + days.grid.row(6000)[1]);
}

TEST(SwmmExport, EitherSettingOtherThanHoursMinutesAndMillimetresPerHourNeedsTheSwitch)
{
    EXPECT_FALSE(SwmmNeedsSwitch(0, 0));
    EXPECT_TRUE(SwmmNeedsSwitch(0, 1));
    EXPECT_TRUE(SwmmNeedsSwitch(1, 0));
    EXPECT_TRUE(SwmmNeedsSwitch(1, 1));
}

// With b = 0 the table shifts the rising limb's labels by a minute; the series follows the
// minutes themselves, so its times never repeat. A peak on a whole minute leaves that
// minute out (0.9147 mm/min at minute 0 is 54.88 mm/h).
TEST(SwmmExport, WithoutBTheSeriesFollowsTheMinutes)
{
    for (double peak : {0.45, 0.4}) {
        TExpressionObject m = StartStorm(10);
        m.b = 0;
        m.Storm_Percent = peak;
        const QStringList lines = SwmmLines(m, false, 4);
        EXPECT_EQ(lines.size(), (peak == 0.4 ? 10 : 11) + 2);
        EXPECT_TRUE(lines[2].startsWith("00:00 "));
        EXPECT_NEAR(lines[2].mid(16).toDouble(), 54.88, 0.01);
        EXPECT_EQ(lines.indexOf(QRegularExpression("00:04 .*")) >= 0, peak != 0.4);
    }
}

TEST(SwmmExport, RefusesAStepBelowOneAndLeavesTheOldFileWhole)
{
    const QString path = MakeTempFolder() + "/series.dat";
    WriteBytes(path, "old contents");
    EXPECT_THROW(WriteSwmmFile(path, StartStorm(120, 0), false, 4), TavrelError);
    EXPECT_EQ(ReadBytes(path), "old contents");
}

TEST(SwmmExport, RefusesValuesTooLongForSwmmsReader)
{
    // Below 100 mm/h 46 decimals make 49 characters, the most SWMM reads; the start
    // storm's peak of 201.59... mm/h makes 50.
    TExpressionObject light = StartStorm();
    light.a1 = 0.9;
    EXPECT_TRUE(RefusalOf(light, 46).isEmpty());
    EXPECT_TRUE(RefusalOf(StartStorm(), 46).contains(QStringLiteral("的数值有50个字符")));
}

TEST(SwmmExport, FailedWriteKeepsTheOldFile)
{
    SKIP_WITHOUT_FULL_DISK();
    // A day of rows, more than Qt keeps in its write buffer (the CSV test covers the
    // buffered case).
    const TExpressionObject day = StartStorm(1440);
    const QString folder = MakeTempFolder();
    const QString path = folder + "/series.dat";
    WriteBytes(path, "old contents");
    const QString failure = FailureOnAFullDisk([&] { WriteSwmmFile(path, day, false, 4); });
    EXPECT_TRUE(failure.startsWith(QStringLiteral("无法写入文件“%1”：").arg(path))) << failure.toStdString();
    EXPECT_EQ(ReadBytes(path), "old contents");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"series.dat"});
    WriteSwmmFile(path, day, false, 4);
    EXPECT_EQ(ReadBytes(path), SwmmFileBytes(day, false, 4));
}
