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
    EXPECT_NEAR(fit.optimum.A1, f.A1, 0.005 * f.A1);
    EXPECT_NEAR(fit.optimum.C, f.C, 0.01);
    EXPECT_NEAR(fit.optimum.b, f.b, 0.2);
    EXPECT_NEAR(fit.optimum.n, f.n, 0.005);
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
    // Pasted from a spreadsheet: tabs, a caption with a comma, quotes, an empty cell, spare
    // empty columns and spare rows of empty cells below.
    const IdfTable pasted = ParseIdfTable(
        QStringLiteral("\"t,min\"\t\"2\"\t5\t\t\n5\t1.50\t\t\n\n10\t1.25\t1.75\t\t\n\t\t\t\t\n\t\t\n"),
        IdfUnit::MmPerMin, 167);
    ASSERT_EQ(pasted.cells.size(), 3u);
    EXPECT_EQ(pasted.durations, (std::vector<double>{5, 10}));
    EXPECT_EQ(pasted.periods, (std::vector<double>{2, 5}));
    EXPECT_EQ(pasted.cells[2].row, 1);
    EXPECT_EQ(pasted.cells[2].column, 1);
    EXPECT_DOUBLE_EQ(pasted.cells[2].intensity, 1.75);
    EXPECT_EQ(pasted.cells[0].text, "1.50");

    const auto one = [](const char *text, IdfUnit unit, double ratio) {
        return ParseIdfTable(QString::fromUtf8(text), unit, ratio).cells.at(0).intensity;
    };
    EXPECT_DOUBLE_EQ(one("t,2\n5,126", IdfUnit::MmPerHour, 167), 2.1);
    EXPECT_DOUBLE_EQ(one("t,2\n5,334", IdfUnit::LitrePerSecondHectare, 167), 2);
    EXPECT_DOUBLE_EQ(one("t,2\n5,332", IdfUnit::LitrePerSecondHectare, 166), 2);    // 166 is a ratio
    EXPECT_DOUBLE_EQ(one("t,2\n5,500", IdfUnit::LitrePerSecondHectare, 0.006), 3);   // the exact conversion
    // The smallest float in mm/h is nothing in mm/min: refused, not read as a zero intensity.
    EXPECT_THROW(one("t,2\n5,5e-324", IdfUnit::MmPerHour, 167), TavrelError);
}

TEST(IdfTable, WarnsOfAUnitTheNumbersDoNotFit)
{
    const auto warning = [](const char *text, IdfUnit unit) {
        return ImplausibleUnitWarning(ParseIdfTable(QString::fromUtf8(text), unit, 167), unit);
    };
    // A 5-minute rain of 150 mm/h is 2.5 mm/min; of 150 L/(s·hm²), 0.9 mm/min.
    EXPECT_TRUE(warning("t,2,10\n5,2.6,4.2\n60,0.6,0.9", IdfUnit::MmPerMin).isEmpty());
    EXPECT_TRUE(warning("t,2,10\n5,150,250\n60,40,60", IdfUnit::MmPerHour).isEmpty());
    EXPECT_TRUE(warning("t,2,10\n5,150,250\n60,40,60", IdfUnit::MmPerMin).endsWith("单位可能是mm/h或L/(s·hm²)"));
    EXPECT_TRUE(warning("t,2,10\n5,2.6,4.2\n60,0.6,0.9", IdfUnit::MmPerHour).endsWith("单位可能是mm/min"));
    EXPECT_TRUE(warning("t,2,10\n5,2.6,4.2\n60,0.6,0.9", IdfUnit::LitrePerSecondHectare).endsWith("单位可能是mm/min"));
}

// A small table worked by hand: 10 values, so 6 degrees of freedom. The period of 10 years
// has 2 values, too few for a formula of its own.
TEST(IdfFit, FiguresAreOfTheFormulaAsWritten)
{
    const IdfFitResult fit = FitIdfTable(
        ParseIdfTable(QStringLiteral("t,2,5,10\n5,2.10,2.62,3.01\n10,1.68,2.13,2.38\n20,1.27,1.55,\n30,1.01,1.27,\n"),
                      IdfUnit::MmPerMin, 167),
        0);
    const TotalFormula &f = fit.formula;
    for (const auto &[written, optimum] : {std::pair{f.A1, fit.optimum.A1}, {f.C, fit.optimum.C}, {f.b, fit.optimum.b},
                                           {f.n, fit.optimum.n}})
        EXPECT_EQ(written, std::round(optimum * 1e4) / 1e4);

    const double given[] = {2.10, 2.62, 3.01, 1.68, 2.13, 2.38, 1.27, 1.55, 1.01, 1.27};
    const double t[] = {5, 5, 5, 10, 10, 10, 20, 20, 30, 30};
    const double P[] = {2, 5, 10, 2, 5, 10, 2, 5, 2, 5};
    ASSERT_EQ(fit.cells.size(), 10u);
    double squares = 0, absolute = 0, relative = 0;
    for (int k = 0; k < 10; ++k) {
        const double i = f.A1 * (1 + f.C * std::log10(P[k])) / std::pow(t[k] + f.b, f.n);
        EXPECT_NEAR(fit.cells[size_t(k)].fitted, i, 1e-12) << k;
        squares += (i - given[k]) * (i - given[k]);
        absolute += std::abs(i - given[k]);
        relative += std::abs(i - given[k]) / given[k];
    }
    EXPECT_NEAR(fit.sumOfSquares, squares, 1e-12);
    EXPECT_NEAR(fit.standardError, std::sqrt(squares / 6), 1e-12);
    EXPECT_NEAR(fit.accuracy.meanAbsolute, absolute / 10, 1e-12);
    EXPECT_NEAR(fit.accuracy.meanRelative, relative / 10 * 100, 1e-10);

    ASSERT_EQ(fit.periods.size(), 3u);
    EXPECT_TRUE(fit.periods[1].fitted);
    EXPECT_FALSE(fit.periods[2].fitted);
    EXPECT_EQ(fit.periods[2].note, "只有2个数值，至少需要3个");
}

TEST(IdfFit, TableTenPercentOffTheFormulaFailsTheRelativeLimit)
{
    // Cells alternately 10 % above and below one formula: no formula comes nearer than that.
    QString text = QStringLiteral("t,2,5,10,20");
    const double periods[] = {2, 5, 10, 20};
    int k = 0;
    for (double t : {5.0, 10.0, 15.0, 20.0, 30.0, 45.0, 60.0, 90.0, 120.0}) {
        text += QStringLiteral("\n%1").arg(t);
        for (double P : periods)
            text += QStringLiteral(",%1").arg((k++ % 2 ? 0.9 : 1.1) * 10 * (1 + 0.8 * std::log10(P)) / std::pow(t + 10, 0.7));
        ++k;
    }
    const IdfFitResult fit = FitIdfTable(ParseIdfTable(text, IdfUnit::MmPerMin, 167), 0);
    EXPECT_NEAR(fit.accuracy.meanRelative, 10, 1);
    const QStringList lines = AccuracyLines(fit.accuracy);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith("平均相对均方差") && lines[1].endsWith("不满足")) << lines[1].toStdString();
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
                    BadTable{"t,2,3\n5,2.1,\n10,1.6,1.9\n", "表中只有3个雨强数值，拟合4个参数至少需要4个"},
                    BadTable{"t,2,3\n5,2.1,2.4\n10,1.6,1.9\n", "只有2个历时有雨强数值，拟合b和n至少需要3个历时"},
                    BadTable{"t,2\n5,2.1\n10,1.6\n20,1.2\n30,1\n", "只有1个重现期有雨强数值，拟合C至少需要2个重现期"}));
