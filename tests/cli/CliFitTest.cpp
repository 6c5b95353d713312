#include "CliRun.h"
#include "TestSupport.h"
#include "core/RainModelFile.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {
const QString NoisyTable = QStringLiteral(TAVREL_TEST_DATA "/idf/noisy.csv");

// The value printed on the parameter's line, all fifteen digits of it.
double Printed(const QStringList &lines, const QString &name)
{
    for (const QString &line : lines)
        if (line.startsWith(name + ','))
            return line.section(',', 1, 1).toDouble();
    ADD_FAILURE() << "no line for " << name.toStdString();
    return 0;
}
} // namespace

TEST(CliFit, RainModelFileHoldsTheFormulaAsWrittenAndTheGivenStorm)
{
    const QString folder = MakeTempFolder();
    const CliStreams s = RunTool({"--fit", NoisyTable, "--fit-log", "ln", "--T", "180", "--r", "0.35", "--P", "5", "-o",
                                  folder + "/fit-{P}.txt"});
    const QStringList lines = Lines(s.out);
    EXPECT_NEAR(Printed(lines, "A1"), 14.22694317, 1e-6);   // SciPy's least_squares on the same table
    EXPECT_TRUE(s.err.isEmpty()) << s.err.toStdString();
    TExpressionObject start;
    const RainModelRead read = ReadRainModelFile(folder + "/fit-5.txt", start);
    ASSERT_EQ(read.status, RainModelRead::Ok) << read.message.toStdString();
    const TExpressionObject &m = read.model;
    // SciPy's optimum to four decimals, as the new-storm dialog enters it from the same table.
    EXPECT_EQ(m.a1, 14.2269);
    EXPECT_EQ(m.c, 0.3174);
    EXPECT_EQ(m.b, 11.782);
    EXPECT_EQ(m.n, 0.729);
    EXPECT_EQ(m.LG_LN, 1);
    EXPECT_EQ(m.F_type, 0);
    EXPECT_EQ(m.a1_167, 14.2269 * 167);
    EXPECT_EQ(m.Storm_RepeatYear, 5);
    EXPECT_EQ(m.Storm_Time, 180);
    EXPECT_EQ(m.Storm_Percent, 0.35);
}

TEST(CliFit, TableInAnotherUnitIsFittedWithAWarning)
{
    const QString folder = MakeTempFolder();
    // Intensities in mm/h, read as mm/min by default.
    WriteBytes(folder + "/table.csv", "t,2,5\n5,126,158\n10,101,127\n20,76,95\n30,61,76\n");
    const CliStreams s = RunTool({"--fit", folder + "/table.csv"});
    EXPECT_TRUE(s.err.contains("单位可能是mm/h")) << s.err.toStdString();
    EXPECT_TRUE(s.out.contains("A1,")) << s.out.toStdString();
}

TEST(CliFit, BadTableNamesTheFileAndWritesNothing)
{
    const QString folder = MakeTempFolder();
    WriteBytes(folder + "/table.csv", "t,2,3\n5,2.1,x\n10,1.6,1.9\n20,1.2,1.4\n");
    const CliStreams s = RunTool({"--fit", folder + "/table.csv", "-o", folder + "/fit.txt"}, 1);
    EXPECT_EQ(s.err, folder + "/table.csv：第2行第3列的雨强“x”不是数字\n");
    EXPECT_FALSE(QFile::exists(folder + "/fit.txt"));
}
