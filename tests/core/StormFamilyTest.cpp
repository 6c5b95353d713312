#include "core/StormFamily.h"

#include <gtest/gtest.h>

// With b = 0 the peak minute has no intensity and the rising minutes are labelled one
// later, so peak ratios give storms whose rows differ: r = 0.4 of 10 minutes has the
// rows 01 … 10, r = 0.35 has 01 … 04, 04 … 10. Each storm's cells stay on its own times.
TEST(StormFamily, SideBySideMatchesRowsByTheirTimes)
{
    TExpressionObject m;
    SetStartValues(m);
    m.b = 0;
    m.Storm_Time = 10;
    m.Storm_Percent = 0.4;
    const StormFamily family = ComputeStormFamily(m, FamilyBy::PeakRatio, {0.35}, {}, {1, 1, 4});
    ASSERT_EQ(family.members.size(), 2u);
    EXPECT_EQ(family.members[0].name, "r=0.35");
    const SideBySideTable table = SideBySideOf(family);
    ASSERT_EQ(table.rows.size(), 11u);
    QStringList times, withoutRow;
    for (const QStringList &row : table.rows) {
        times.append(row[0]);
        if (row[2].isEmpty())
            withoutRow.append(row[0] + '/' + row[4]);
    }
    EXPECT_EQ(times, QStringList({"01", "02", "03", "04", "04", "05", "06", "07", "08", "09", "10"}));
    // r = 0.4 has one row at 04, so the second 04 is r = 0.35's alone.
    ASSERT_EQ(withoutRow.size(), 1);
    EXPECT_EQ(withoutRow[0], "04/");
    EXPECT_EQ(table.rows[4][1], family.members[0].grid.row(4)[1]);
}

TEST(StormFamily, ValuesTypedWithFullWidthCommas)
{
    const FamilyValues parsed = ParseFamilyValues(FamilyBy::ReturnPeriod, QStringLiteral("1，2，3"));
    EXPECT_EQ(parsed.values, std::vector<double>({1, 2, 3}));
    EXPECT_TRUE(parsed.problems.isEmpty());
}

TEST(StormFamily, ReturnPeriodZeroIsNamedAndLeftOut)
{
    const FamilyValues kept = FamilyValuesOf(FamilyBy::ReturnPeriod, {0, 5}, 2);
    EXPECT_EQ(kept.values, std::vector<double>({2, 5}));
    ASSERT_EQ(kept.problems.size(), 1);
    EXPECT_TRUE(kept.problems[0].contains(QStringLiteral("P=0年")));
}

// r = 1 puts the peak at the storm's very end.
TEST(StormFamily, PeakRatioOneIsNamedAndLeftOut)
{
    const FamilyValues kept = FamilyValuesOf(FamilyBy::PeakRatio, {1, 0.3}, 0.4);
    EXPECT_EQ(kept.values, std::vector<double>({0.3, 0.4}));
    ASSERT_EQ(kept.problems.size(), 1);
    EXPECT_TRUE(kept.problems[0].contains(QStringLiteral("r=1")));
}

TEST(StormFamily, ChoosingTheCurrentValueAgainIsNoRepeat)
{
    const FamilyValues kept = FamilyValuesOf(FamilyBy::ReturnPeriod, {2, 5}, 2);
    EXPECT_EQ(kept.values, std::vector<double>({2, 5}));
    EXPECT_TRUE(kept.problems.isEmpty()) << kept.problems.join('\n').toStdString();
}

TEST(StormFamily, TwelveStormsFitAndTheThirteenthIsNamed)
{
    std::vector<double> chosen{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    FamilyValues kept = FamilyValuesOf(FamilyBy::ReturnPeriod, chosen, 1);
    EXPECT_EQ(kept.values.size(), 12u);
    EXPECT_TRUE(kept.problems.isEmpty());
    chosen.push_back(13);
    kept = FamilyValuesOf(FamilyBy::ReturnPeriod, chosen, 1);
    EXPECT_EQ(kept.values.back(), 12);
    ASSERT_EQ(kept.problems.size(), 1);
    EXPECT_TRUE(kept.problems[0].contains(QStringLiteral("P=13年")));
}

// The chart's cumulative axis must reach the largest total, that of P = 5.
TEST(StormFamily, CumulativeAxisTakesTheLargestTotal)
{
    TExpressionObject m;
    SetStartValues(m);
    const StormFamily family = ComputeStormFamily(m, FamilyBy::ReturnPeriod, {5, 1}, {}, {1, 1, 4});
    ASSERT_EQ(family.members.size(), 3u);
    EXPECT_EQ(family.largestCumulative, family.members[2].model.Strom_Overall_Rainfall);
    EXPECT_GT(family.largestCumulative, family.members[1].model.Strom_Overall_Rainfall);
}
