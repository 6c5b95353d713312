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

TEST(CliFit, RainModelFileHoldsTheFittedFormulaAndTheGivenStorm)
{
    const QString folder = MakeTempFolder();
    const QStringList lines = Lines(
        RunTool({"--fit", NoisyTable, "--T", "180", "--r", "0.35", "--P", "5", "-o", folder + "/fit-{P}.txt"}).out);
    TExpressionObject start;
    const RainModelRead read = ReadRainModelFile(folder + "/fit-5.txt", start);
    ASSERT_EQ(read.status, RainModelRead::Ok) << read.message.toStdString();
    const TExpressionObject &m = read.model;
    EXPECT_EQ(m.a1, Printed(lines, "A1"));
    EXPECT_EQ(m.c, Printed(lines, "C"));
    EXPECT_EQ(m.b, Printed(lines, "b"));
    EXPECT_EQ(m.n, Printed(lines, "n"));
    EXPECT_NEAR(m.a1, 14.22694317, 1e-6);   // SciPy's least_squares on the same table
    EXPECT_EQ(m.LG_LN, 0);
    EXPECT_EQ(m.F_type, 0);
    EXPECT_NEAR(m.a1_167, m.a1 * 167, 1e-9);
    EXPECT_EQ(m.Storm_RepeatYear, 5);
    EXPECT_EQ(m.Storm_Time, 180);
    EXPECT_EQ(m.Storm_Percent, 0.35);
}

TEST(CliFit, BadTableNamesTheFileAndWritesNothing)
{
    const QString folder = MakeTempFolder();
    WriteBytes(folder + "/table.csv", "t,2,3\n5,2.1,x\n10,1.6,1.9\n20,1.2,1.4\n");
    const CliStreams s = RunTool({"--fit", folder + "/table.csv", "-o", folder + "/fit.txt"}, 1);
    EXPECT_EQ(s.err, folder + "/table.csv：第2行第3列的雨强“x”不是数字\n");
    EXPECT_FALSE(QFile::exists(folder + "/fit.txt"));
}
