// The settings file as the user and the program find it on disk: what is read back from
// hand-edited or partial files, and the exact text that is written.
#include "core/Failure.h"
#include "settings/Options.h"
#include "TestSupport.h"
#include "core/TextFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <cstring>
#include <gtest/gtest.h>

namespace {

const char FreshFile[] =
    "[OPTIONS]\r\n"
    "ShowLabel_P=1\r\n"
    "ShowLabel_T=1\r\n"
    "ShowLabel_R=1\r\n"
    "ShowLabel_Overall_Rainfall=1\r\n"
    "ShowLabel_Average=1\r\n"
    "ShowAxis_Overall=1\r\n"
    "ShowAxis_Intensity=1\r\n"
    "CalcByShow=0\r\n"
    "Precision=4\r\n"
    "TimeFormat=1\r\n"
    "StormUnit=1\r\n"
    "QI_ConversionRatio=167\r\n"
    "Font_LeftAxis=\"Arial\", 9, [], [clBlack]\r\n"
    "Font_LeftTitle=\"Arial\", 9, [], [clBlack]\r\n"
    "Font_RightAxis=\"Arial\", 9, [], [clBlack]\r\n"
    "Font_RightTitle=\"Arial\", 9, [], [clBlack]\r\n"
    "Font_BottomAxis=\"Arial\", 9, [], [clBlack]\r\n"
    "Font_BottomTitle=\"Arial\", 9, [], [clBlack]\r\n"
    "Font_RainModelInfo=\"Arial\", 9, [Bold], [clWindowText]\r\n";

QString IniPath()
{
    return MakeTempFolder() + "/options.ini";
}

// A record that differs from the defaults everywhere, so a stale field cannot hide.
TOptions Scrambled()
{
    TOptions o;
    o.Bool_ShowLabel_P = o.Bool_ShowLabel_T = o.Bool_ShowLabel_R = false;
    o.Bool_ShowLabel_Overall_Rainfall = o.Bool_ShowLabel_Average_Rainfall_Intensity = false;
    o.Bool_ShowAxis_Overall_Rainfall = o.Bool_ShowAxis_Rainfall_Intensity = false;
    o.Bool_CalcByShow = true;
    o.Int_Precision = 12;
    o.D_QI_ConversionRatio = 166.67;
    o.Int_TimeForamtidx = 0;
    o.Int_StormUnitidx = 0;
    o.Font_LeftAxis = "\"宋体\", 10, [Italic], [clRed]";
    o.Font_LeftTitle = "\"Arial\", 11, [Bold|Underline], [$000080FF]";
    o.Font_RightAxis = "\"Courier New\", 8, [], [clNavy]";
    o.Font_RightTitle = "\"Arial\", 14, [Strikeout], [clBlack]";
    o.Font_BottomAxis = "\"Tahoma\", 9, [], [clGreen]";
    o.Font_BottomTitle = "\"Tahoma\", 9, [Bold], [clWindowText]";
    o.Font_RainModelInfo = "\"黑体\", 12, [], [clBlue]";
    return o;
}

TEST(LoadOptions, MissingFileGivesDefaultsAndCreatesNothing)
{
    const QString path = IniPath();
    TOptions options = Scrambled();
    LoadOptions(path, options);
    EXPECT_EQ(options, TOptions());
    EXPECT_FALSE(QFileInfo::exists(path));
}

struct ReadCase {
    const char *name;
    const char *fileText;
    void (*expect)(TOptions &);   // turns the defaults into the expected record
};
void PrintTo(const ReadCase &c, std::ostream *os) { *os << c.name; }


class ReadValues : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadValues, GiveTheFieldOrItsDefault)
{
    const QString path = IniPath();
    WriteBytes(path, GetParam().fileText);
    TOptions expected;
    GetParam().expect(expected);

    TOptions options = Scrambled();
    LoadOptions(path, options);
    EXPECT_EQ(options, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Options, ReadValues,
    ::testing::Values(
        ReadCase{"OnlyPrecision", "[OPTIONS]\r\nPrecision=2\r\n", [](TOptions &o) { o.Int_Precision = 2; }},
        ReadCase{"EmptyFile", "", [](TOptions &) {}},
        ReadCase{"OtherSectionOnly", "[Other]\r\nPrecision=2\r\n", [](TOptions &) {}},
        ReadCase{"BoolZeroIsFalse", "[OPTIONS]\nShowLabel_P=0\n", [](TOptions &o) { o.Bool_ShowLabel_P = false; }},
        ReadCase{"BoolFiveIsTrue", "[OPTIONS]\nShowLabel_P=5\nCalcByShow=5\n", [](TOptions &o) { o.Bool_CalcByShow = true; }},
        ReadCase{"BoolWordIsDefault", "[OPTIONS]\nShowLabel_P=yes\nCalcByShow=yes\n", [](TOptions &) {}},
        ReadCase{"RatioWordIsDefault", "[OPTIONS]\nQI_ConversionRatio=abc\n", [](TOptions &) {}},
        ReadCase{"RatioNotFinite", "[OPTIONS]\nQI_ConversionRatio=nan\n", [](TOptions &) {}},
        ReadCase{"RatioBeyondRange", "[OPTIONS]\nQI_ConversionRatio=1e999\n", [](TOptions &) {}},
        ReadCase{"RatioWithComma", "[OPTIONS]\nQI_ConversionRatio=166,7\n", [](TOptions &) {}},
        ReadCase{"RatioWithBlanks", "[OPTIONS]\nQI_ConversionRatio =  166.7  \n",
                 [](TOptions &o) { o.D_QI_ConversionRatio = 166.7; }},
        ReadCase{"PrecisionNotWhole", "[OPTIONS]\nPrecision=2.5\n", [](TOptions &) {}},
        ReadCase{"OutOfRangeTakenAsRead", "[OPTIONS]\nPrecision=-3\nTimeFormat=7\nStormUnit=-1\n",
                 [](TOptions &o) { o.Int_Precision = -3; o.Int_TimeForamtidx = 7; o.Int_StormUnitidx = -1; }},
        ReadCase{"NamesIgnoreCase", "[options]\r\nprecision=6\r\nSTORMUNIT=0\r\n",
                 [](TOptions &o) { o.Int_Precision = 6; o.Int_StormUnitidx = 0; }},
        ReadCase{"FontTextAsWritten", "[OPTIONS]\r\nFont_LeftAxis=\"宋体\", 12, [Bold], [clRed]\r\n",
                 [](TOptions &o) { o.Font_LeftAxis = "\"宋体\", 12, [Bold], [clRed]"; }},
        ReadCase{"ByteOrderMark", "\xEF\xBB\xBF[OPTIONS]\r\nPrecision=3\r\n", [](TOptions &o) { o.Int_Precision = 3; }}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(LoadOptions, ReadsFileWrittenInGbk)
{
    // Files left by the Windows program are in the ANSI code page.
    const QString path = IniPath();
    WriteBytes(path, EncodeGbk(QStringLiteral("[OPTIONS]\r\nFont_LeftAxis=\"宋体\", 9, [], [clBlack]\r\n")));
    TOptions options;
    LoadOptions(path, options);
    EXPECT_EQ(options.Font_LeftAxis, QStringLiteral("\"宋体\", 9, [], [clBlack]"));
}

TEST(SaveOptions, FreshFileHoldsAllKeysInWrittenOrder)
{
    const QString missing = IniPath();
    SaveOptions(missing, TOptions());
    EXPECT_EQ(ReadBytes(missing), QByteArray(FreshFile));

    // Loading an empty file and saving it again gives the same text.
    const QString empty = IniPath();
    WriteBytes(empty, "");
    TOptions options = Scrambled();
    LoadOptions(empty, options);
    SaveOptions(empty, options);
    EXPECT_EQ(ReadBytes(empty), QByteArray(FreshFile));
}

TEST(SaveOptions, KeepsOtherContentAndReplacesKeysInPlace)
{
    const QString path = IniPath();
    WriteBytes(path,
               "; written by hand\r\n"
               "[Window]\r\n"
               "Left=10\r\n"
               "\r\n"
               "[options]\r\n"
               "Unknown=keep me\r\n"
               " precision = 9 \r\n"
               "; a comment inside\r\n"
               "\r\n"
               "[Recent]\r\n"
               "File1=c:\\rain.txt\r\n");
    TOptions options;
    options.Int_Precision = 2;
    SaveOptions(path, options);

    // The eighteen keys the file lacked follow the section's last non-blank line.
    QByteArray added = QByteArray(FreshFile).mid(int(strlen("[OPTIONS]\r\n")));
    added.replace("Precision=4\r\n", "");
    const QByteArray expected = QByteArray("; written by hand\r\n"
                                           "[Window]\r\n"
                                           "Left=10\r\n"
                                           "\r\n"
                                           "[options]\r\n"
                                           "Unknown=keep me\r\n"
                                           "Precision=2\r\n"
                                           "; a comment inside\r\n")
        + added
        + "\r\n"
          "[Recent]\r\n"
          "File1=c:\\rain.txt\r\n";
    EXPECT_EQ(ReadBytes(path), expected);
}

TEST(SaveOptions, AppendsMissingSectionAtTheEnd)
{
    const QString path = IniPath();
    WriteBytes(path, "[Other]\r\nA=1");   // no line end after the last line
    SaveOptions(path, TOptions());
    EXPECT_EQ(ReadBytes(path), QByteArray("[Other]\r\nA=1\r\n") + FreshFile);
}

TEST(SaveOptions, RoundTripKeepsEveryField)
{
    const QString path = IniPath();
    const TOptions written = Scrambled();
    SaveOptions(path, written);
    const QByteArray bytes = ReadBytes(path);
    EXPECT_TRUE(bytes.contains("\r\nQI_ConversionRatio=166.67\r\n"));
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(bytes.contains(QStringLiteral("宋体").toUtf8()));

    TOptions read;
    LoadOptions(path, read);
    EXPECT_EQ(read, written);
}

class RatioText : public ::testing::TestWithParam<std::pair<double, const char *>> {};

TEST_P(RatioText, IsWrittenShortAndReadBackExactly)
{
    const QString path = IniPath();
    TOptions options;
    options.D_QI_ConversionRatio = GetParam().first;
    SaveOptions(path, options);
    EXPECT_TRUE(ReadBytes(path).contains(QByteArray("\r\nQI_ConversionRatio=") + GetParam().second + "\r\n"));
    TOptions read;
    LoadOptions(path, read);
    EXPECT_EQ(read.D_QI_ConversionRatio, GetParam().first);
}

INSTANTIATE_TEST_SUITE_P(Options, RatioText,
                         ::testing::Values(std::pair{167.0, "167"}, std::pair{166.7, "166.7"},
                                           std::pair{166.67, "166.67"}, std::pair{166.667, "166.667"},
                                           std::pair{166.6667, "166.6667"}, std::pair{0.006, "0.006"}));

void ExpectUnableToWrite(const QString &path, const TOptions &options)
{
    try {
        SaveOptions(path, options);
        FAIL() << "no failure reported";
    } catch (const TavrelError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("无法写入设置文件“%1”").arg(QDir::toNativeSeparators(path)));
    }
}

TEST(SaveOptions, FolderThatCannotExistReportsThePath)
{
    // A file where the folder should be: no one, not even an administrator, can write here.
    const QString blocker = MakeTempFolder() + "/Tavrel";
    WriteBytes(blocker, "not a folder");
    ExpectUnableToWrite(blocker + "/options.ini", Scrambled());
    EXPECT_EQ(ReadBytes(blocker), QByteArray("not a folder"));
}

TEST(SaveOptions, ReadOnlyFolderLeavesTheOldFile)
{
    SKIP_WITHOUT_POSIX_PERMISSIONS();
    const QString folder = MakeUserFolder();
    const QString path = folder + "/options.ini";
    {
        AsOrdinaryUser user;
        WriteBytes(path, "[OPTIONS]\r\nPrecision=2\r\n");
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        ExpectUnableToWrite(path, Scrambled());
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    EXPECT_EQ(ReadBytes(path), QByteArray("[OPTIONS]\r\nPrecision=2\r\n"));
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(SaveOptions, UnreadableFileIsNotOverwritten)
{
    SKIP_WITHOUT_POSIX_PERMISSIONS();
    // Writing over a file we could not read would lose its other sections.
    const QString path = MakeUserFolder() + "/options.ini";
    {
        AsOrdinaryUser user;
        WriteBytes(path, "[Other]\r\nA=1\r\n");
        QFile::setPermissions(path, QFile::WriteOwner);
        ExpectUnableToWrite(path, TOptions());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    EXPECT_EQ(ReadBytes(path), QByteArray("[Other]\r\nA=1\r\n"));

    // Nor a file too large to be a settings file, which no user reads.
    QByteArray huge = "[Other]\r\nA=1\r\n";
    huge.append(QByteArray(1024 * 1024, ' '));
    WriteBytes(path, huge);
    TOptions loaded = Scrambled();
    LoadOptions(path, loaded);
    EXPECT_EQ(loaded, TOptions());
    ExpectUnableToWrite(path, TOptions());
    EXPECT_EQ(ReadBytes(path), huge);
}

TEST(SettingsFilePath, LiesInTheUserConfigFolder)
{
    const QString config = MakeTempFolder() + "/config";
#ifdef Q_OS_WIN
    const char *variable = "APPDATA";
#else
    const char *variable = "XDG_CONFIG_HOME";
#endif
    const QByteArray saved = qgetenv(variable);
    qputenv(variable, config.toUtf8());
    const QString expected = config + "/Orvanta/Tavrel/options.ini";
    EXPECT_EQ(SettingsFilePath(UserAppDataFolder(), false), expected);
    EXPECT_FALSE(QFileInfo::exists(config + "/Orvanta/Tavrel"));
    EXPECT_EQ(SettingsFilePath(UserAppDataFolder(), true), expected);
    EXPECT_TRUE(QFileInfo(config + "/Orvanta/Tavrel").isDir());
    qputenv(variable, saved);
}

} // namespace
