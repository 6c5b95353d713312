#include "TestSupport.h"
#include "core/Failure.h"
#include "core/RainModelFile.h"
#include "core/TextFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {
TExpressionObject StartModel()
{
    TExpressionObject m;
    SetStartValues(m);
    return m;
}

const char *const StartModelText =
    "SIGN=访问www.orvanta.example获取更多实用工具~\r\n"
    "F_type=0\r\n"
    "a1_167=1599.68333333333\r\n"
    "a1=9.5981\r\n"
    "c=0.846\r\n"
    "b=7\r\n"
    "n=0.656\r\n"
    "LG_LN=0\r\n"
    "重现期=2\r\n"
    "降雨历时=120\r\n"
    "峰值比例=0.4\r\n"
    "计算步长=1\r\n";

QString Text(const char *utf8) { return QString::fromUtf8(utf8); }
} // namespace

TEST(RainModelFile, WritesTheTwelveLinesInGbkWithCrLf)
{
    const QString path = MakeTempFolder() + "/storm.txt";
    WriteRainModelFile(path, StartModel());
    const QByteArray bytes = ReadBytes(path);
    EXPECT_EQ(bytes, EncodeGbk(Text(StartModelText)));
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.endsWith("\r\n"));
    EXPECT_EQ(DecodeText(bytes), Text(StartModelText));
}

TEST(RainModelFile, RoundTripKeepsEveryInput)
{
    TExpressionObject m = StartModel();
    m.F_type = 1;
    m.a1_167 = 1602.8827;
    m.a1 = 1602.8827 / 167;
    m.b = 0;
    m.LG_LN = 1;
    m.Storm_RepeatYear = 0.5;
    m.Storm_Time = 1440;
    m.Storm_Percent = 0.35;
    m.Storm_Step = 5;
    const QString path = MakeTempFolder() + "/round.txt";
    WriteRainModelFile(path, m);
    TExpressionObject base;
    base.Strom_Overall_Rainfall = 12;
    const RainModelRead read = ReadRainModelFile(path, base);
    ASSERT_EQ(read.status, RainModelRead::Ok) << read.message.toStdString();
    TExpressionObject expected = m;
    expected.Strom_Overall_Rainfall = 12;   // results are not in the file
    EXPECT_EQ(read.model.a1, expected.a1);  // 15 digits are enough for this value
    EXPECT_EQ(read.model, expected);
}

TEST(RainModelFile, ReadsByKeyInAnyOrderAndIgnoresOtherLines)
{
    const QString text = Text("计算步长=5\n峰值比例=0.35\rextra line\r\n降雨历时=60\nsign=访问www.orvanta.example获取更多实用工具~\n"
                              "LG_LN=1\nn=0.7\nB=9\nc=1\nA1=10\n重现期=3\nF_TYPE=1\na1_167=1670\nb=99\n");
    const RainModelRead read = ParseRainModelText(text, TExpressionObject{});
    ASSERT_EQ(read.status, RainModelRead::Ok) << read.message.toStdString();
    EXPECT_EQ(read.model.Storm_Step, 5);
    EXPECT_EQ(read.model.Storm_Percent, 0.35);
    EXPECT_EQ(read.model.Storm_Time, 60);
    EXPECT_EQ(read.model.b, 9);   // the first matching line wins
    EXPECT_EQ(read.model.a1, 10);
    EXPECT_EQ(read.model.F_type, 1);
    EXPECT_EQ(read.model.a1_167, 1670);
    EXPECT_EQ(read.model.LG_LN, 1);
}

TEST(RainModelFile, WithoutFormTypeTheFlowCoefficientIsTheExactConversion)
{
    QString text = Text(StartModelText);
    text.remove(Text("F_type=0\r\na1_167=1599.68333333333\r\n"));
    text.replace(Text("a1=9.5981"), Text("a1=6"));
    const RainModelRead read = ParseRainModelText(text, TExpressionObject{});
    ASSERT_EQ(read.status, RainModelRead::Ok);
    EXPECT_EQ(read.model.F_type, 0);
    EXPECT_EQ(read.model.a1_167, 6 / 0.006);
}

TEST(RainModelFile, LogarithmChoiceKeepsItsLowestEightBits)
{
    QString text = Text(StartModelText);
    text.replace(Text("LG_LN=0"), Text("LG_LN=257"));
    EXPECT_EQ(ParseRainModelText(text, {}).model.LG_LN, 1);
}

TEST(RainModelFile, WrongOrMissingSignIsRefused)
{
    QString text = Text(StartModelText);
    text.replace(Text("www.orvanta"), Text("WWW.orvanta"));
    EXPECT_EQ(ParseRainModelText(text, {}).status, RainModelRead::WrongSign);
    EXPECT_EQ(ParseRainModelText(text, {}).message, Text("该文件不包含正确的数据格式，请确认后重试~"));
    text = Text(StartModelText);
    text.remove(0, text.indexOf('\n') + 1);
    EXPECT_EQ(ParseRainModelText(text, {}).status, RainModelRead::WrongSign);
}

struct BrokenCase {
    const char *from;
    const char *to;
    const char *inMessage;
};

class BrokenRainModel : public ::testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenRainModel, FailsWholeAndNamesTheKey)
{
    QString text = Text(StartModelText);
    text.replace(Text(GetParam().from), Text(GetParam().to));
    TExpressionObject current;
    current.a1 = 42;
    const RainModelRead read = ParseRainModelText(text, current);
    EXPECT_EQ(read.status, RainModelRead::Failed);
    EXPECT_TRUE(read.message.contains(Text(GetParam().inMessage))) << read.message.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenRainModel,
    ::testing::Values(BrokenCase{"b=7\r\n", "", "b"}, BrokenCase{"重现期=2\r\n", "", "重现期"},
                      BrokenCase{"峰值比例=0.4", "峰值比例=0,4", "0,4"}, BrokenCase{"计算步长=1", "计算步长=1.5", "计算步长"},
                      BrokenCase{"a1_167=1599.68333333333\r\n", "", "a1_167"}, BrokenCase{"c=0.846", "c=nan", "nan"},
                      BrokenCase{"n=0.656", "n=1e999", "n"}, BrokenCase{"LG_LN=0", "LG_LN=x", "LG_LN"},
                      BrokenCase{"计算步长=1", "计算步长=+-5", "计算步长"},
                      // Would be saved as 1.79769313486232E308, which no reader takes back.
                      BrokenCase{"a1=9.5981", "a1=1.7976931348623157e308", "a1"},
                      // An older file: the flow form derived from a1 overflows.
                      BrokenCase{"F_type=0\r\na1_167=1599.68333333333\r\na1=9.5981", "a1=1.1e306", "a1_167"}));

TEST(RainModelFile, AFileFarLargerThanAModelIsRefusedUnread)
{
    const QString path = MakeTempFolder() + "/huge.txt";
    QByteArray bytes = EncodeGbk(Text(StartModelText));
    bytes.append(QByteArray(1024 * 1024, '\n'));
    WriteBytes(path, bytes);
    const RainModelRead read = ReadRainModelFile(path, {});
    EXPECT_EQ(read.status, RainModelRead::Failed);
    EXPECT_TRUE(read.message.contains(Text("太大"))) << read.message.toStdString();
#ifndef Q_OS_WIN
    // A device that never ends is refused as well instead of read until memory runs out.
    EXPECT_EQ(ReadRainModelFile("/dev/zero", {}).status, RainModelRead::Failed);
#endif
}

// Windows writes GBK through its code page 936, Linux through ICU: the files must not tell
// which wrote them, whatever characters a user types.
TEST(Gbk, EveryCharacterIsWrittenAsOnEitherSystem)
{
    EXPECT_EQ(EncodeGbk(QString::fromUtf8("中文·€😀")).toHex(), "d6d0cec4a1a4803f");
    QString all;
    for (uint c = 1; c <= 0xFFFF; ++c)
        if (!QChar::isSurrogate(c))
            all.append(QChar(char16_t(c)));
    const QByteArray bytes = EncodeGbk(all);
    // The bytes ICU writes: every character of GBK (the private-use area in its user-defined
    // rows) and "?" for each of the others.
    EXPECT_EQ(bytes.size(), 87361);
    EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
              "6d66f4e2a45b78f580bc6236fd1f4952f68687bca592f52ce52007f21432b87f");
    EXPECT_EQ(DecodeGbk(EncodeGbk(QString::fromUtf8("芝加哥雨型 r=0.4"))), QString::fromUtf8("芝加哥雨型 r=0.4"));
}

TEST(RainModelFile, ReadsByteOrderMarksAndGbk)
{
    const QString text = Text(StartModelText);
    const QByteArray utf8 = "\xEF\xBB\xBF" + text.toUtf8();
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    for (const QByteArray &bytes : {utf8, utf16, text.toUtf8(), EncodeGbk(text)})
        EXPECT_EQ(ParseRainModelText(DecodeText(bytes), {}).status, RainModelRead::Ok);
}

TEST(RainModelFile, MissingFileIsAFailure)
{
    const RainModelRead read = ReadRainModelFile(MakeTempFolder() + "/none.txt", {});
    EXPECT_EQ(read.status, RainModelRead::Failed);
    EXPECT_FALSE(read.message.isEmpty());
}

TEST(AtomicWrite, AFailedWriteLeavesTheOldFileWhole)
{
    SKIP_WITHOUT_POSIX_PERMISSIONS();
    const QString folder = MakeUserFolder();
    const QString path = folder + "/keep.txt";
    {
        AsOrdinaryUser user;
        WriteBytes(path, "old");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        try {
            WriteFileAtomically(path, "new");
            ADD_FAILURE() << "write into a read-only folder succeeded";
        } catch (const TavrelError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("无法写入文件“"))) << e.message().toStdString();
        }
        EXPECT_EQ(ReadBytes(path), "old");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_THROW(WriteFileAtomically(folder + "/no/such/folder/x.txt", "x"), TavrelError);
    WriteFileAtomically(path, "new");
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(ExtensionRule, ReplacesTheLastDotOfTheNameOrAppends)
{
    EXPECT_EQ(ReplaceExtension("/d/abc", ".csv"), "/d/abc.csv");
    EXPECT_EQ(ReplaceExtension("/d/abc.txt", ".csv"), "/d/abc.csv");
    EXPECT_EQ(ReplaceExtension("/d/x r=0.4", ".csv"), "/d/x r=0.csv");
    EXPECT_EQ(ReplaceExtension("/d.e/abc", ".dat"), "/d.e/abc.dat");
}

TEST(TextLines, SplitAtAnyLineBreak)
{
    EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines("a\r\n"), QStringList({"a"}));
}
