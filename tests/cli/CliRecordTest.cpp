#include "CliRun.h"
#include "TestSupport.h"
#include "core/RainModelFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

// Twelve years, each one peaked 3-hour storm from 1 June 08:00 whose size grows with the
// year; the 5-minute depths fall off from the peak at 09:00 (offset 60 of 180 minutes).
QByteArray TwelveYears()
{
    QByteArray text;
    for (int y = 0; y < 12; ++y)
        for (int k = 0; k < 36; ++k) {
            const double depth = (4 + (y * 7) % 12) / (1 + std::abs(k - 12) * 0.5);
            text += QStringLiteral("%1-06-01 %2:%3,%4\n")
                        .arg(2001 + y)
                        .arg(8 + k / 12, 2, 10, QLatin1Char('0'))
                        .arg(k % 12 * 5, 2, 10, QLatin1Char('0'))
                        .arg(depth, 0, 'f', 3)
                        .toUtf8();
        }
    return text;
}

QStringList Coefficients(const QString &out)
{
    QStringList lines;
    for (const QString &line : Lines(out))
        if (QStringList{"A1", "C", "b", "n"}.contains(line.section(',', 0, 0)) && lines.size() < 4)
            lines.append(line);
    return lines;
}

} // namespace

TEST(CliRecord, WrittenTablesGiveTheSameFormulaAndTheFileCarriesThePeakRatio)
{
    const QString folder = MakeTempFolder();
    WriteBytes(folder + "/rec.csv", TwelveYears());
    const CliStreams s = RunTool({"--record", folder + "/rec.csv", "--maxima-out", folder + "/m.csv", "--table-out",
                                  folder + "/t.csv", "-o", folder + "/m.txt"});
    EXPECT_TRUE(s.err.contains("GB 50014")) << s.err.toStdString();   // twelve years, not twenty
    // 2001: peak 4 / 1 at 09:00; 10 minutes: 4 + 4/1.5.
    EXPECT_TRUE(ReadBytes(folder + "/m.csv").contains("\r\n2001,4.000,6.667,")) << ReadBytes(folder + "/m.csv").constData();
    EXPECT_EQ(Coefficients(RunTool({"--fit", folder + "/t.csv"}).out), Coefficients(s.out));
    EXPECT_EQ(Coefficients(RunTool({"--maxima", folder + "/m.csv"}).out).size(), 4);

    // The storm is symmetric about its peak, so the first of two tied windows is taken: the
    // peak lies 15, 30, 45, 60, 60, 60 minutes into the windows of 30 ... 180 minutes;
    // r = (17.5 + 32.5 + 47.5 + 62.5 + 62.5 + 62.5) / 630.
    EXPECT_TRUE(s.out.contains("\n180,0.3472\n")) << s.out.toStdString();
    TExpressionObject start;
    const RainModelRead read = ReadRainModelFile(folder + "/m.txt", start);
    ASSERT_EQ(read.status, RainModelRead::Ok) << read.message.toStdString();
    EXPECT_EQ(read.model.Storm_Percent, 0.4524);
}

TEST(CliRecord, RefusedRecordWritesNothing)
{
    const QString folder = MakeTempFolder();
    WriteBytes(folder + "/rec.csv", TwelveYears() + "2012-06-01 11:05,-1\n");
    const CliStreams s = RunTool({"--record", folder + "/rec.csv", "--maxima-out", folder + "/m.csv", "-o", folder + "/m.txt"}, 1);
    EXPECT_TRUE(s.err.contains("第433行：雨量 -1 为负")) << s.err.toStdString();
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"rec.csv"});
}
