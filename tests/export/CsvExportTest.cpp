#include "ExportTestSupport.h"
#include "TestSupport.h"
#include "core/Failure.h"
#include "core/TextFile.h"
#include "export/CsvExport.h"
#include "export/SwmmExport.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {
GridTable SmallGrid()
{
    return GridTable({{0, 11.448, 0.1908}, {1, 201.594, 3.5507}, {2, 12.5, 3.759}}, {0, 0, 4});
}
} // namespace

TEST(CsvExport, BytesAreGbkHeaderAndCellsWithCrLfAfterEveryLine)
{
    // 时间(H:M),降雨强度(mm/h),降雨总量(mm) in code page 936, no byte-order mark.
    const QByteArray header =
        QByteArray::fromHex("cab1bce428483a4d292cbdb5d3eac7bfb6c8286d6d2f68292cbdb5d3ead7dcc1bf286d6d29");
    EXPECT_EQ(CsvFileBytes(SmallGrid(), 0, 0),
              header + "\r\n00:00,11.4480,0.1908\r\n00:01,201.5940,3.5507\r\n00:02,12.5000,3.7590\r\n");
}

struct HeaderCase {
    int timeFormat;
    int stormUnit;
    const char *header;
};

class CsvHeaders : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(CsvHeaders, NameTheTimeFormatAndUnit)
{
    const QStringList lines = CsvLines(SmallGrid(), GetParam().timeFormat, GetParam().stormUnit);
    EXPECT_EQ(lines.first(), QString::fromUtf8(GetParam().header));
    EXPECT_EQ(lines.first().count(','), 2);
}

INSTANTIATE_TEST_SUITE_P(AllFour, CsvHeaders,
    ::testing::Values(HeaderCase{0, 0, "时间(H:M),降雨强度(mm/h),降雨总量(mm)"},
                      HeaderCase{0, 1, "时间(H:M),降雨强度(mm/min),降雨总量(mm)"},
                      HeaderCase{1, 0, "时间(min),降雨强度(mm/h),降雨总量(mm)"},
                      HeaderCase{1, 1, "时间(min),降雨强度(mm/min),降雨总量(mm)"}));

struct NameCase {
    double P, T, r;
    const char *csv;
    const char *dat;
};

class ProposedNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(ProposedNames, CarryTheStormParametersAsGeneralNumbers)
{
    TExpressionObject m;
    SetStartValues(m);
    m.Storm_RepeatYear = GetParam().P;
    m.Storm_Time = GetParam().T;
    m.Storm_Percent = GetParam().r;
    EXPECT_EQ(CsvProposedFileName(m), QString::fromUtf8(GetParam().csv));
    EXPECT_EQ(SwmmProposedFileName(m), QString::fromUtf8(GetParam().dat));
}

INSTANTIATE_TEST_SUITE_P(Storms, ProposedNames,
    ::testing::Values(NameCase{2, 120, 0.4, "芝加哥雨型计算数据P=2年 t=120分 r=0.4.csv", "芝加哥雨型计算数据P=2年 t=120分 r=0.4.dat"},
                      NameCase{0.5, 60, 0.35, "芝加哥雨型计算数据P=0.5年 t=60分 r=0.35.csv",
                               "芝加哥雨型计算数据P=0.5年 t=60分 r=0.35.dat"}));

TEST(CsvExport, ComputedStormGivesOneLinePerRowAndNoTableHeading)
{
    const ComputedStorm s = MakeStorm(120, 0.4, 7, {1, 1, 2});
    ASSERT_EQ(s.grid.size(), 121u);
    const QByteArray bytes = CsvFileBytes(s.grid, 1, 1);
    EXPECT_EQ(bytes.count("\r\n"), 122);
    EXPECT_EQ(bytes.count('\n'), 122);
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    const QStringList lines = SplitLines(DecodeText(bytes));
    ASSERT_EQ(lines.size(), 122);
    EXPECT_EQ(lines[0], QStringLiteral("时间(min),降雨强度(mm/min),降雨总量(mm)"));
    EXPECT_EQ(lines[1], "00,0.19,0.19");   // the table's decimals, not the computation's
    EXPECT_EQ(lines[121], "120,0.19,60.63");
    for (qsizetype i = 1; i < lines.size(); ++i)
        EXPECT_FALSE(lines[i].contains(QStringLiteral("时间"))) << i;
}

TEST(CsvExport, ClockLabelsRestartAfterOneDayAsTheTableShowsThem)
{
    const ComputedStorm s = MakeStorm(1500, 0.4);
    const QStringList lines = CsvLines(s.grid, 0, 0);
    ASSERT_EQ(lines.size(), 1 + 1501);
    EXPECT_TRUE(lines[1 + 1439].startsWith("23:59,"));
    EXPECT_TRUE(lines[1 + 1440].startsWith("00:00,"));
    EXPECT_TRUE(lines[1 + 1500].startsWith("01:00,"));
}

TEST(CsvExport, KeepsRowsThatShareAMinute)
{
    // With b = 0 and the peak between two whole minutes, two rows carry minute 5; the
    // table and this file show both.
    const ComputedStorm s = MakeStorm(10, 0.45, 0);
    ASSERT_TRUE(s.result.ok) << s.result.message.toStdString();
    const QStringList lines = CsvLines(s.grid, 0, 0);
    ASSERT_EQ(lines.size(), 1 + 11);
    EXPECT_TRUE(lines[5].startsWith("00:05,"));
    EXPECT_TRUE(lines[6].startsWith("00:05,"));
}

TEST(CsvExport, FailedWriteKeepsTheOldFileAndLeavesNoWorkFile)
{
    SKIP_WITHOUT_FULL_DISK();
    const QString folder = MakeTempFolder();
    const QString path = folder + "/table.csv";
    WriteBytes(path, "old contents");
    const QString failure = FailureOnAFullDisk([&] { WriteCsvFile(path, SmallGrid(), 0, 0); });
    EXPECT_TRUE(failure.startsWith(QStringLiteral("无法写入文件“%1”：").arg(path))) << failure.toStdString();
    EXPECT_EQ(ReadBytes(path), "old contents");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"table.csv"});
    WriteCsvFile(path, SmallGrid(), 0, 0);
    EXPECT_EQ(ReadBytes(path), CsvFileBytes(SmallGrid(), 0, 0));
}
