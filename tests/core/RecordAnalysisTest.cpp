#include "core/AnnualMaxima.h"
#include "core/Failure.h"
#include "core/FrequencyAnalysis.h"
#include "core/RainModelFile.h"
#include "core/RainRecord.h"
#include "core/TextFile.h"

#include <QDateTime>
#include <cmath>
#include <gtest/gtest.h>

namespace {

RainRecord Parse(const QByteArray &text)
{
    return ParseRainRecord(text.constData(), text.size());
}

// Eleven years 2000-2010 of a 5-minute record listing only rainy intervals: each year a
// storm of 1, 2, 6, 3 mm (times 1 + j/10 in year 2000 + j) from 1 July 10:00; 7 mm either
// side of the first New Year's midnight; three missing values in 2002.
QByteArray ElevenYears()
{
    QByteArray text = "时间,雨量(mm)\r\n";
    for (int j = 0; j <= 10; ++j) {
        const double f = 1 + j / 10.0;
        for (int k = 0; k < 4; ++k)
            text += QByteArray::number(2000 + j) + "-07-01 10:" + QByteArray::number(k * 5).rightJustified(2, '0') + ',' +
                    QByteArray::number(std::array{1, 2, 6, 3}[k] * f, 'g', 15) + "\r\n";
        if (j == 0)
            text += "2000/12/31 23:55,7\n2001-01-01 00:00:00,7\n";
        if (j == 2)
            text += "2002-08-01 00:00,NA\r\n2002-08-01 00:05,-9999\r\n2002-08-01 00:10,\r\n";
    }
    return text;
}

QString Refusal(const QByteArray &text)
{
    try {
        ComputeAnnualMaxima(Parse(text), 0);
    } catch (const TavrelError &e) {
        return e.message();
    }
    return QStringLiteral("accepted");
}

} // namespace

TEST(RecordAnalysis, MaximaOfWindowsWithinEachCalendarYear)
{
    const RecordMaxima m = ComputeAnnualMaxima(Parse(ElevenYears()), 0);
    ASSERT_EQ(m.step, 5);
    ASSERT_EQ(m.years.size(), 11u);
    // 2000: the storm 1,2,6,3 and 7 mm at 23:55 on 31 December; the 7 mm after midnight is 2001's.
    const std::array<double, 11> y2000{7, 9, 11, 12, 12, 12, 12, 12, 12, 12, 12};
    for (size_t d = 0; d < y2000.size(); ++d)
        EXPECT_NEAR(m.years[0].depth[d], y2000[d], 1e-12) << MaximaDurations[d];
    // 2010: the storm times 2, no other rain.
    EXPECT_NEAR(m.years[10].depth[0], 12, 1e-12);
    EXPECT_NEAR(m.years[10].depth[1], 18, 1e-12);
    EXPECT_NEAR(m.years[10].depth[10], 24, 1e-12);
}

TEST(RecordAnalysis, PeakRatioTakesTheFirstLargestWindowAndItsHeaviestInterval)
{
    // Every year the first largest t-minute window ends with the storm's last interval
    // (10:15), so the 6 mm interval at 10:10 starts t - 10 minutes into it: r_t = (t - 7.5)/t.
    const RecordMaxima m = ComputeAnnualMaxima(Parse(ElevenYears()), 0);
    EXPECT_NEAR(m.ratio.perDuration[0], 22.5 / 30, 1e-12);
    EXPECT_NEAR(m.ratio.perDuration[5], 172.5 / 180, 1e-12);
    EXPECT_NEAR(m.ratio.r, 1 - 6 * 7.5 / 630, 1e-12);
}

TEST(RecordAnalysis, MissingValuesCountAgainstTheYearsCoverage)
{
    const RainRecord record = Parse(ElevenYears());
    // 2002 has 365 days of 288 intervals, three of them without a value.
    EXPECT_EQ(record.years[2].intervals, 365 * 288);
    EXPECT_EQ(record.years[2].missing, 3);
    const RecordMaxima m = ComputeAnnualMaxima(record, 0.99999);
    ASSERT_EQ(m.leftOut.size(), 1u);
    EXPECT_EQ(m.leftOut[0].year, 2002);
    EXPECT_EQ(m.years.size(), 10u);
}

TEST(RecordAnalysis, BadRecordsAreRefusedNamingTheLine)
{
    const QByteArray good = "2000-01-01 00:00,1\n2000-01-01 00:05,1\n";
    EXPECT_TRUE(Refusal("").contains("没有")) << Refusal("").toStdString();
    EXPECT_TRUE(Refusal(good + "2000-01-01 00:00,1\n").startsWith("第3行：时间比上一行早"));
    EXPECT_TRUE(Refusal(good + "2000-01-01 00:05,1\n").startsWith("第3行：时间与上一行重复"));
    EXPECT_TRUE(Refusal(good + "2000-01-01 00:10,1\n2000-01-01 00:13,1\n").startsWith("第4行：时间不在5分钟"));
    EXPECT_TRUE(Refusal(good + "2000-01-01 00:10,abc\n").startsWith("第3行：雨量“abc”不是数字"));
    EXPECT_TRUE(Refusal(good + "2000-01-01 00:10,-0.5\n").startsWith("第3行：雨量 -0.5 为负"));
    EXPECT_TRUE(Refusal("2000-01-01 00:00,1\n2000-01-01 00:03,1\n2000-01-01 00:06,1\n").startsWith("第2行：时段为3分钟"));
    EXPECT_TRUE(Refusal(good + "2000-01-01 00:10\n").startsWith("第3行"));
    EXPECT_TRUE(Refusal(good).contains("只有1年资料"));
    const QByteArray model = EncodeGbk(RainModelLines(TExpressionObject{}).join("\r\n"));
    EXPECT_TRUE(Refusal(model).startsWith("第1行：这是雨型文件")) << Refusal(model).toStdString();
}

TEST(RecordAnalysis, PearsonFactorMatchesPublishedTables)
{
    // Frequency factors of the Pearson III table at p = 1% and 50%.
    EXPECT_NEAR(PearsonFactor(0, 0.01), 2.326, 5e-4);
    EXPECT_NEAR(PearsonFactor(1.0, 0.01), 3.023, 5e-4);
    EXPECT_NEAR(PearsonFactor(2.0, 0.01), 3.605, 5e-4);
    EXPECT_NEAR(PearsonFactor(2.0, 0.5), -0.307, 5e-4);
    EXPECT_NEAR(PearsonFactor(-1.0, 0.99), -3.023, 5e-4);
    // A skew too small for the gamma inverse still gives the normal quantile.
    EXPECT_NEAR(PearsonFactor(1e-6, 0.01), 2.326, 5e-4);
}

TEST(RecordAnalysis, SpreadOfRoundingIsNoFrequencyCurve)
{
    // Equal maxima summed in another order differ in the last bit; a Cv of 1e-16 would
    // give a Cs of 1e32.
    const std::vector<double> sample{3, 3, std::nextafter(3.0, 4.0), 3, 3, 3, 3, 3, 3, 3};
    EXPECT_THROW(FitFrequencyCurve(sample, Distribution::P3Moments), TavrelError);
}

TEST(RecordAnalysis, ReadingStopsWhenItsProgressSaysSo)
{
    // About 3 MB of rows: asked at the start, after the first megabyte, and told to stop there.
    QByteArray text;
    const QDateTime start(QDate(2000, 1, 1), QTime(0, 0));
    for (int k = 0; k < 100000; ++k)
        text += start.addSecs(60 * k).toString(QStringLiteral("yyyy-MM-dd HH:mm")).toLatin1() + ",0.1\n";
    std::vector<double> heard;
    const auto progress = [&](double fraction) {
        heard.push_back(fraction);
        return heard.size() < 2;
    };
    EXPECT_THROW(ParseRainRecord(text.constData(), text.size(), progress), ReadCancelled);
    ASSERT_EQ(heard.size(), 2u);
    EXPECT_NEAR(heard[1], (1 << 20) / double(text.size()), 0.01);
}
