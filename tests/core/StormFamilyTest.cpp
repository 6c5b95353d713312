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
