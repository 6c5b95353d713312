#include "TestSupport.h"
#include "core/Failure.h"
#include "settings/CompareChoice.h"
#include "settings/DesktopSettings.h"
#include "settings/Options.h"

#include <gtest/gtest.h>

// The window's memory and the settings record share options.ini without touching each
// other's keys, and a file of either kind alone reads as before.
TEST(DesktopSettings, ShareTheFileWithTheSettingsRecord)
{
    const QString path = MakeTempFolder() + "/options.ini";
    TOptions options;
    options.Int_Precision = 2;
    options.Font_LeftAxis = QStringLiteral("\"宋体\", 12, [Bold], [clRed]");
    SaveOptions(path, options);
    const QByteArray optionsOnly = ReadBytes(path);
    TDesktopSettings fresh;
    LoadDesktopSettings(path, fresh);
    EXPECT_EQ(fresh, TDesktopSettings());

    TDesktopSettings desktop;
    desktop.window = QRect(-20, 30, 900, 600);
    desktop.windowMaximized = true;
    desktop.labelPositions = {{1, 2}, {3, 4}, {5, 6}, {7, 8}, {9, 10}};
    desktop.rainModelFolder = QStringLiteral("/data/雨型");
    desktop.tableFolder = QStringLiteral("/data/暴雨强度表");
    desktop.recentFiles = {"/data/a.txt", "/data/b=c.txt"};
    SaveDesktopSettings(path, desktop);
    EXPECT_TRUE(ReadBytes(path).startsWith(optionsOnly));
    SaveOptions(path, options);

    TOptions readOptions;
    LoadOptions(path, readOptions);
    EXPECT_EQ(readOptions, options);
    TDesktopSettings read;
    LoadDesktopSettings(path, read);
    EXPECT_EQ(read, desktop);

    // A shorter list leaves no name of the longer one behind.
    desktop.recentFiles = {"/data/a.txt"};
    SaveDesktopSettings(path, desktop);
    LoadDesktopSettings(path, read);
    EXPECT_EQ(read.recentFiles, desktop.recentFiles);
}

TEST(DesktopSettings, HalfAPlaceIsNoPlace)
{
    const QString path = MakeTempFolder() + "/options.ini";
    WriteBytes(path, "[WINDOW]\r\nWindow_Left=10\r\nWindow_Width=500\r\nWindow_Height=x\r\nLabel_P=4,5\r\n");
    TDesktopSettings read;
    LoadDesktopSettings(path, read);
    EXPECT_TRUE(read.window.isEmpty());
    EXPECT_TRUE(read.labelPositions.isEmpty());
    // A place whose far edge no rectangle can hold is no place either.
    WriteBytes(path, "[WINDOW]\r\nWindow_Left=2147483647\r\nWindow_Top=0\r\nWindow_Width=2\r\nWindow_Height=2\r\n");
    LoadDesktopSettings(path, read);
    EXPECT_TRUE(read.window.isEmpty());
}

TEST(DesktopSettings, RecentFilesNamedTwiceAreListedOnce)
{
    const QString path = MakeTempFolder() + "/options.ini";
    WriteBytes(path, "[RECENT_FILES]\r\nFile1=/a.txt\r\nFile2=/b.txt\r\nFile3=/a.txt\r\n");
    TDesktopSettings read;
    LoadDesktopSettings(path, read);
    EXPECT_EQ(read.recentFiles, QStringList({"/a.txt", "/b.txt"}));
}

TEST(CompareChoice, UnknownKindOfFamilyReadsAsReturnPeriods)
{
    const QString path = MakeTempFolder() + "/options.ini";
    for (const char *by : {"2", "-1"}) {
        WriteBytes(path, QByteArray("[COMPARE]\r\nCompareBy=") + by + "\r\n");
        TCompareChoice read;
        read.Int_CompareBy = 1;
        LoadCompareChoice(path, read);
        EXPECT_EQ(read.Int_CompareBy, 0) << by;
    }
}

// A file too large to be a settings file was not read, so writing it would lose it.
TEST(DesktopSettings, TooLargeFileIsNotOverwritten)
{
    const QString path = MakeTempFolder() + "/options.ini";
    QByteArray huge = "[Other]\r\nA=1\r\n";
    huge.append(QByteArray(1024 * 1024, ' '));
    WriteBytes(path, huge);
    EXPECT_THROW(SaveDesktopSettings(path, TDesktopSettings()), TavrelError);
    EXPECT_THROW(SaveCompareChoice(path, TCompareChoice()), TavrelError);
    EXPECT_EQ(ReadBytes(path), huge);
}
