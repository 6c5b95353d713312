#include "core/Failure.h"
#include "core/IdfFit.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct KnownFormula {
    double A1, C, b, n;
    uint8_t lgLn;
    IdfUnit unit;
    double perMmPerMin;     // the table's numbers per mm/min
};

// The standard durations and return periods, each cell rounded to three decimals as
// tables are published.
QString PublishedTable(const KnownFormula &f)
{
    const double durations[] = {5, 10, 15, 20, 30, 45, 60, 90, 120, 150, 180};
    const double periods[] = {2, 3, 5, 10, 20, 30, 50, 100};
    QString text = QStringLiteral("t\\P");
    for (double P : periods)
        text += QStringLiteral(",%1").arg(P);
    for (double t : durations) {
        text += QStringLiteral("\n%1").arg(t);
        for (double P : periods) {
            const double L = f.lgLn == 0 ? std::log10(P) : std::log(P);
            text += QStringLiteral(",%1").arg(f.perMmPerMin * f.A1 * (1 + f.C * L) / std::pow(t + f.b, f.n), 0, 'f', 3);
        }
    }
    return text;
}

class KnownFormulaTable : public testing::TestWithParam<KnownFormula> {};

} // namespace

TEST_P(KnownFormulaTable, GivesBackItsParametersWellWithinTheAccuracyLimits)
{
    const KnownFormula f = GetParam();
    const IdfFitResult fit = FitIdfTable(ParseIdfTable(PublishedTable(f), f.unit, 167), f.lgLn);
    EXPECT_NEAR(fit.formula.A1, f.A1, 0.005 * f.A1);
    EXPECT_NEAR(fit.formula.C, f.C, 0.01);
    EXPECT_NEAR(fit.formula.b, f.b, 0.2);
    EXPECT_NEAR(fit.formula.n, f.n, 0.005);
    EXPECT_EQ(fit.accuracy.cells, 11 * 5);    // P of 2, 3, 5, 10 and 20 years
    EXPECT_LT(fit.accuracy.meanAbsolute, 0.005);
    EXPECT_LT(fit.accuracy.meanRelative, 0.5);
    EXPECT_TRUE(fit.accuracy.absoluteHolds() && fit.accuracy.relativeHolds());

    // Each period alone follows A/(t+b)^n with the same b and n; A, b and n trade off
    // against each other, so the curve is what is checked, to the table's rounding.
    ASSERT_EQ(fit.periods.size(), 8u);
    const PeriodFormula &tenYears = fit.periods[3];
    const double A = f.A1 * (1 + f.C * (f.lgLn == 0 ? 1 : std::log(10.0)));
    ASSERT_TRUE(tenYears.fitted);
    for (double t : {5.0, 60.0, 180.0})
        EXPECT_NEAR(tenYears.intensity(t), A / std::pow(t + f.b, f.n), 0.001) << t;
    EXPECT_NEAR(tenYears.b, f.b, 0.5);
}

INSTANTIATE_TEST_SUITE_P(Formulas, KnownFormulaTable,
    testing::Values(KnownFormula{9.5981, 0.846, 7.0, 0.656, 0, IdfUnit::MmPerMin, 1},
                    KnownFormula{2001.0 / 167, 0.811, 8.0, 0.711, 0, IdfUnit::LitrePerSecondHectare, 167},
                    KnownFormula{14.2, 0.55, 12.0, 0.78, 1, IdfUnit::MmPerHour, 60},
                    KnownFormula{35.0, 0.9, 30.0, 0.95, 0, IdfUnit::MmPerMin, 1}));

TEST(IdfTable, ReadsSpreadsheetCellsInEachUnit)
{
    // Pasted from a spreadsheet: tabs, quotes, an empty cell and spare empty columns.
    const IdfTable pasted = ParseIdfTable(QStringLiteral("\"t\"\t\"2\"\t5\t\t\n5\t1.5\t\t\n\n10\t1.25\t1.75\t\t\n"),
                                          IdfUnit::MmPerMin, 167);
    ASSERT_EQ(pasted.cells.size(), 3u);
    EXPECT_EQ(pasted.durations, (std::vector<double>{5, 10}));
    EXPECT_EQ(pasted.periods, (std::vector<double>{2, 5}));
    EXPECT_EQ(pasted.cells[2].row, 1);
    EXPECT_EQ(pasted.cells[2].column, 1);
    EXPECT_DOUBLE_EQ(pasted.cells[2].intensity, 1.75);

    const auto one = [](const char *text, IdfUnit unit, double ratio) {
        return ParseIdfTable(QString::fromUtf8(text), unit, ratio).cells.at(0).intensity;
    };
    EXPECT_DOUBLE_EQ(one("t,2\n5,126", IdfUnit::MmPerHour, 167), 2.1);
    EXPECT_DOUBLE_EQ(one("t,2\n5,334", IdfUnit::LitrePerSecondHectare, 167), 2);
    EXPECT_DOUBLE_EQ(one("t,2\n5,500", IdfUnit::LitrePerSecondHectare, 0.006), 3);   // the exact conversion
    // The smallest float in mm/h is nothing in mm/min: refused, not read as a zero intensity.
    EXPECT_THROW(one("t,2\n5,5e-324", IdfUnit::MmPerHour, 167), TavrelError);
}

struct BadTable {
    const char *text;
    const char *message;
};

class BadTableInput : public testing::TestWithParam<BadTable> {};

TEST_P(BadTableInput, IsRefusedNamingWhere)
{
    try {
        FitIdfTable(ParseIdfTable(QString::fromUtf8(GetParam().text), IdfUnit::MmPerMin, 167), 0);
        FAIL() << "accepted";
    } catch (const TavrelError &e) {
        EXPECT_EQ(e.message().toStdString(), GetParam().message);
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, BadTableInput,
    testing::Values(BadTable{"t,2,3\n5,2.1,abc\n10,1.6,2\n", "第2行第3列的雨强“abc”不是数字"},
                    BadTable{"t,2,3\n5,2.1,-1\n10,1.6,2\n", "第2行第3列的雨强-1不是正数"},
                    BadTable{"t,2,0\n5,2.1,2\n", "第1行第3列的重现期0不是正数"},
                    BadTable{"t,2,2\n5,2.1,2\n", "第1行第3列的重现期2与第2列重复"},
                    BadTable{"t,2,3\n5,2.1,2.4\n\n5,1.6,2\n", "第4行第1列的历时5与第2行重复"},
                    BadTable{"t,2,3\n5,2.1\n", "第2行只有2列，而第1行（重现期）有3列，表格不是矩形"},
                    BadTable{"t,2,3\n5,2.1,2.4,2.6\n", "第2行第4列在第1行的重现期之外，表格不是矩形"},
                    BadTable{"t,2,3\n5,2.1,\n10,1.6,\n", "表中只有2个雨强数值，拟合4个参数至少需要4个"},
                    BadTable{"t,2\n5,2.1\n10,1.6\n20,1.2\n30,1\n", "只有1个重现期有雨强数值，拟合C至少需要2个重现期"}));
