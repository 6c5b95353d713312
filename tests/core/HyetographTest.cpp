#include "core/GridText.h"
#include "core/Hyetograph.h"
#include "core/Numbers.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
TExpressionObject StartModel()
{
    TExpressionObject m;
    SetStartValues(m);
    return m;
}

} // namespace

TEST(Hyetograph, WorkedExampleInMillimetresPerMinute)
{
    const auto r = ComputeHyetographRows(StartModel(), {1, false, 4});
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    ASSERT_EQ(r.points.size(), 121u);
    for (size_t i = 0; i < r.points.size(); ++i)
        EXPECT_EQ(r.points[i].minute, double(i));
    EXPECT_NEAR(r.points[0].intensity, 0.190802, 1e-6);
    EXPECT_NEAR(r.points[0].cumulative, 0.190802, 1e-6);
    EXPECT_NEAR(r.points[1].intensity, 0.193676, 1e-6);
    EXPECT_NEAR(r.points[1].cumulative, 0.384479, 1e-6);
    EXPECT_NEAR(r.points[47].cumulative, 22.635465, 1e-6);
    EXPECT_NEAR(r.points[49].intensity, 2.552227, 1e-6);
    EXPECT_NEAR(r.points[120].cumulative, 60.634473, 1e-6);
    // The peak minute lies on the rising limb and carries a / b^n.
    EXPECT_NEAR(r.points[48].intensity, 3.359936, 1e-6);
    EXPECT_NEAR(r.overall, 60.634473, 1e-6);
    EXPECT_NEAR(r.average, 0.501111, 1e-6);
    EXPECT_EQ(r.overall, r.points.back().cumulative);
}

TEST(Hyetograph, PerHourMultipliesIntensitiesButNotTheRainfall)
{
    const auto r = ComputeHyetographRows(StartModel(), {0, false, 4});
    ASSERT_TRUE(r.ok);
    EXPECT_NEAR(r.points[0].intensity, 11.448137, 1e-6);
    EXPECT_NEAR(r.points[48].intensity, 201.596133, 1e-6);
    EXPECT_NEAR(r.overall, 60.634473, 1e-6);
    EXPECT_NEAR(r.average, 30.066681, 1e-6);
    // Any unit other than 0 computes in mm/min.
    const auto other = ComputeHyetographRows(StartModel(), {2, false, 4});
    EXPECT_EQ(other.points[48].intensity, ComputeHyetographRows(StartModel(), {1, false, 4}).points[48].intensity);
}

TEST(Hyetograph, StepKeepsEveryStepthMinuteAndTheLast)
{
    auto m = StartModel();
    m.Storm_Step = 5;
    auto r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_EQ(r.points.size(), 25u);
    EXPECT_EQ(r.points[1].minute, 5);
    // The step thins the rows; the storm still rains 60.6 mm over 121 minutes.
    for (int step : {1, 2, 5, 10}) {
        m.Storm_Step = step;
        for (int unit : {1, 0}) {
            const auto thinned = ComputeHyetographRows(m, {unit, false, 4});
            ASSERT_TRUE(thinned.ok);
            EXPECT_NEAR(thinned.overall, 60.634473, 1e-6) << step;
            EXPECT_NEAR(thinned.average, unit == 0 ? 30.066681 : 0.501111, 1e-6) << step;
        }
    }
    m.Storm_Step = 5;

    m.Storm_Time = 121;
    r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_EQ(r.points.size(), 26u);
    EXPECT_EQ(r.points[24].minute, 120);
    EXPECT_EQ(r.points[25].minute, 121);
}

TEST(Hyetograph, FractionalDurationKeepsTheUnroundedPeak)
{
    auto m = StartModel();
    m.Storm_Time = 120.7;
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_EQ(r.points.size(), 121u);
    EXPECT_EQ(r.points.back().minute, 120);
    // The peak at 48.28: minute 48 lies 0.28 before it on the rising limb (x = 0.7), minute
    // 49 lies 0.72 after it on the falling limb (x = 1.2).
    EXPECT_NEAR(r.points[48].intensity, 2.968063, 1e-6);
    EXPECT_NEAR(r.points[49].intensity, 2.737927, 1e-6);
}

TEST(Hyetograph, ZeroDurationGivesOneRowAtTheFormulaPeak)
{
    auto m = StartModel();
    m.Storm_Time = 0;
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_EQ(r.points.size(), 1u);
    EXPECT_NEAR(r.points[0].intensity, 3.359936, 1e-6);
    EXPECT_EQ(r.overall, r.points[0].intensity);
    EXPECT_EQ(r.average, r.points[0].intensity);
}

TEST(Hyetograph, ZeroBLabelsTheRisingLimbOneLaterAndDropsThePeak)
{
    auto m = StartModel();
    m.b = 0;
    m.Storm_Time = 10;
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_TRUE(r.ok) << r.message.toStdString();
    ASSERT_EQ(r.points.size(), 10u);
    const double expected[] = {0.9147, 1.1047, 1.4413, 2.2710, 2.9631};
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(r.points[k].minute, k + 1);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(DisplayRound(4, r.points[k].intensity), expected[k]) << k;
    EXPECT_EQ(DisplayRound(4, r.points[9].intensity), 0.9147);
    EXPECT_EQ(DisplayRound(4, r.overall), 15.1555);
    // Ten minutes summed, the peak minute left out.
    EXPECT_EQ(DisplayRound(4, r.average), 1.5155);
}

// With b = 0 the intensity I = a (1 - n) x^-n grows without bound towards the peak, so the
// peak minute must be recognised even when r * T carries rounding (0.29 * 100 computes as
// 28.999999999999996). A minute d minutes before the peak has x = d / r, one after it
// x = d / (1 - r); whole minutes lie at least the distances below away from it.
TEST(Hyetograph, ZeroBNeverEvaluatesThePeakMinute)
{
    auto m = StartModel();
    m.b = 0;
    const double a = 9.5981 * (1 + 0.846 * 0.30102999566398120);   // lg 2
    const double n = 0.656;
    for (int T : {50, 100, 200, 1000}) {
        for (int k = 1; k <= 99; ++k) {
            m.Storm_Time = T;
            m.Storm_Percent = k / 100.0;
            const auto r = ComputeHyetographRows(m, {1, false, 4});
            ASSERT_TRUE(r.ok) << T << " " << k;
            const int hundredths = (k * T) % 100;   // the peak's distance past a whole minute
            const bool wholePeak = hundredths == 0;
            ASSERT_EQ(r.points.size(), size_t(wholePeak ? T : T + 1)) << T << " " << k;
            const double before = wholePeak ? 1 : hundredths / 100.0;
            const double after = wholePeak ? 1 : 1 - before;
            const double rr = k / 100.0;
            const double bound = a * (1 - n) * std::max(std::pow(rr / before, n), std::pow((1 - rr) / after, n));
            for (const auto &p : r.points)
                ASSERT_LE(p.intensity, bound * (1 + 1e-9)) << T << " " << k << " minute " << p.minute;
        }
    }
}

TEST(Hyetograph, CalcByShowSumsTheRoundedIntensities)
{
    for (int unit : {1, 0}) {
        const auto r = ComputeHyetographRows(StartModel(), {unit, true, 2});
        ASSERT_TRUE(r.ok);
        double sum = 0;
        for (const auto &p : r.points) {
            EXPECT_EQ(p.intensity, DisplayRound(2, p.intensity));
            sum += p.intensity;
            EXPECT_DOUBLE_EQ(p.cumulative, unit == 0 ? sum / 60 : sum);
        }
    }
}

TEST(Hyetograph, UnknownLogarithmGivesZeroRain)
{
    auto m = StartModel();
    m.LG_LN = 2;
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_TRUE(r.ok);
    for (const auto &p : r.points)
        EXPECT_EQ(p.intensity, 0);
    EXPECT_EQ(r.overall, 0);
    EXPECT_EQ(r.average, 0);
}

TEST(Hyetograph, NaturalLogarithmUsesLnP)
{
    auto m = StartModel();
    m.LG_LN = 1;
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.points.size(), 121u);
    EXPECT_NEAR(r.points[0].intensity, 0.241250, 1e-6);
    EXPECT_NEAR(r.points[48].intensity, 4.248292, 1e-6);
}

struct FailureCase {
    const char *name;
    void (*change)(TExpressionObject &);
};

class HyetographFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(HyetographFailure, ReportsAnErrorAndNoRows)
{
    auto m = StartModel();
    GetParam().change(m);
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.message.startsWith(QStringLiteral("出错："))) << r.message.toStdString();   // added where shown
    EXPECT_GT(r.message.size(), 3);
    EXPECT_TRUE(r.points.empty());
}

INSTANTIATE_TEST_SUITE_P(Inputs, HyetographFailure,
    ::testing::Values(FailureCase{"step0", [](TExpressionObject &m) { m.Storm_Step = 0; }},
                      FailureCase{"r0", [](TExpressionObject &m) { m.Storm_Percent = 0; }},
                      FailureCase{"P0", [](TExpressionObject &m) { m.Storm_RepeatYear = 0; }},
                      FailureCase{"Pneg", [](TExpressionObject &m) { m.Storm_RepeatYear = -1; }},
                      FailureCase{"Tneg", [](TExpressionObject &m) { m.Storm_Time = -1; }},
                      FailureCase{"Ttoolong", [](TExpressionObject &m) { m.Storm_Time = 100000.5; }},
                      FailureCase{"Thuge", [](TExpressionObject &m) { m.Storm_Time = 1e300; }},
                      FailureCase{"negativeBase", [](TExpressionObject &m) { m.b = -60; }},
                      FailureCase{"overflow", [](TExpressionObject &m) { m.a1 = 1e308; m.c = 1e308; }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Hyetograph, FailuresNameTheParameterInTheUsersWords)
{
    auto m = StartModel();
    m.Storm_RepeatYear = 0;
    EXPECT_TRUE(ComputeHyetographRows(m, {1, false, 4}).message.contains(QStringLiteral("重现期P")));
    m = StartModel();
    m.Storm_Step = 0;
    EXPECT_TRUE(ComputeHyetographRows(m, {1, false, 4}).message.contains(QStringLiteral("计算步长")));
}

// 1 + 0.846 lg 0.01 = -0.692 and 1 + 0.846 ln 0.3 = -0.0186 give no rain at all; P = 0.5
// (factor 0.745) is a storm like any other. n = 1.2, b = 7 turns negative 35 minutes out.
TEST(Hyetograph, AFormulaWithoutPositiveRainIsRefused)
{
    auto m = StartModel();
    m.Storm_RepeatYear = 0.01;
    StormRuleProblem problem = CheckStormRules(m);
    EXPECT_EQ(problem.field, StormRuleProblem::ReturnPeriod);
    EXPECT_TRUE(problem.message.contains("P=0.01") && problem.message.contains("-0.692")) << problem.message.toStdString();
    EXPECT_FALSE(ComputeHyetographRows(m, {1, false, 4}).ok);
    m.LG_LN = 1;
    m.Storm_RepeatYear = 0.3;
    EXPECT_EQ(CheckStormRules(m).field, StormRuleProblem::ReturnPeriod);
    m.LG_LN = 0;
    m.Storm_RepeatYear = 0.5;
    EXPECT_FALSE(CheckStormRules(m));
    EXPECT_TRUE(ComputeHyetographRows(m, {1, false, 4}).ok);
    m.a1 = -9.5981;
    EXPECT_EQ(CheckStormRules(m).field, StormRuleProblem::A1);
    m = StartModel();
    m.n = 1.2;
    EXPECT_EQ(CheckStormRules(m).field, StormRuleProblem::Exponent);
    EXPECT_FALSE(ComputeHyetographRows(m, {1, false, 4}).ok);
    m.Storm_Time = 34;
    EXPECT_TRUE(ComputeHyetographRows(m, {1, false, 4}).ok);
}

TEST(Hyetograph, LongestStormIsComputed)
{
    auto m = StartModel();
    m.Storm_Time = MaxStormMinutes;
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.points.size(), 100001u);
}

TEST(GridTable, ShowsTheRoundedValuesInTheChosenFormats)
{
    auto m = StartModel();
    m.Storm_Step = 5;
    const auto r = ComputeHyetographRows(m, {1, false, 4});
    GridTable grid(r.points, {1, 1, 4});
    EXPECT_EQ(grid.heading()[1], QStringLiteral("降雨强度mm/min"));
    ASSERT_EQ(grid.size(), 25u);
    EXPECT_EQ(grid.row(0)[0], "00");
    EXPECT_EQ(grid.row(1)[0], "05");
    EXPECT_EQ(grid.row(24)[0], "120");
    EXPECT_EQ(grid.timeLabel(24), "120");
    EXPECT_EQ(grid.row(0)[1], "0.1908");
    EXPECT_EQ(grid.row(24)[2], "60.6345");

    grid = GridTable(r.points, {0, 0, 2});
    EXPECT_EQ(grid.heading()[0], QStringLiteral("时间"));
    EXPECT_EQ(grid.heading()[1], QStringLiteral("降雨强度mm/h"));
    EXPECT_EQ(grid.heading()[2], QStringLiteral("降雨总量mm"));
    EXPECT_EQ(grid.row(1)[0], "00:05");
    EXPECT_EQ(grid.timeLabel(24), "02:00");

    grid = GridTable(r.points, {7, 7, 4});
    EXPECT_TRUE(grid.heading()[1].isEmpty());
    EXPECT_TRUE(grid.row(3)[0].isEmpty());
}

TEST(CsvLines, HeaderForEachFormatAndPlainDataLines)
{
    EXPECT_EQ(CsvHeaderLine(0, 0), QStringLiteral("时间(H:M),降雨强度(mm/h),降雨总量(mm)"));
    EXPECT_EQ(CsvHeaderLine(0, 1), QStringLiteral("时间(H:M),降雨强度(mm/min),降雨总量(mm)"));
    EXPECT_EQ(CsvHeaderLine(1, 0), QStringLiteral("时间(min),降雨强度(mm/h),降雨总量(mm)"));
    EXPECT_EQ(CsvHeaderLine(1, 1), QStringLiteral("时间(min),降雨强度(mm/min),降雨总量(mm)"));
    EXPECT_EQ(CsvDataLine({"00:05", "0.8123", "3.9871"}), "00:05,0.8123,3.9871");
}
