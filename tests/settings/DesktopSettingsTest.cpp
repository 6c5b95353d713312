#include "TestSupport.h"
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
    desktop.recentFiles = {"/data/b=c.txt"};
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
}
