// Every test program runs with its own home and settings folders, offscreen, so no test
// touches the user's files or needs a display.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    QTemporaryDir root;
    // Others may pass through (not list), so tests that drop root rights reach their folders.
    QFile::setPermissions(root.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup
                                           | QFile::ExeOther);
    const QByteArray rootPath = root.path().toUtf8();
    qputenv("TAVREL_TEST_ROOT", rootPath);
    qputenv("HOME", rootPath + "/home");
    qputenv("XDG_CONFIG_HOME", rootPath + "/config");
    qputenv("XDG_DATA_HOME", rootPath + "/data");
    qputenv("APPDATA", rootPath + "/config");   // where Windows keeps the settings
    QDir().mkpath(root.path() + "/home");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
