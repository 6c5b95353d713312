#include "WindowTest.h"
#include "TestSupport.h"
#include "core/Failure.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"
#include "ui/StormChart.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>
#include <zip.h>

#include <memory>
#include <sys/stat.h>

namespace {

// One entry of a ZIP file, or nothing.
QByteArray ZipEntry(const QString &path, const char *name)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return {};
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_stat(archive, name, 0, &stat) == 0) {
        bytes.resize(static_cast<qsizetype>(stat.size));
        zip_file_t *file = zip_fopen(archive, name, 0);
        if (!file || zip_fread(file, bytes.data(), stat.size) != static_cast<zip_int64_t>(stat.size))
            bytes.clear();
        if (file)
            zip_fclose(file);
    }
    zip_discard(archive);
    return bytes;
}

using CalcBookCommand = WindowTest;

} // namespace

TEST_F(CalcBookCommand, WritesTheBookWithTheChartAtTheFramesSize)
{
    ASSERT_EQ(window->logicalDpiX(), 96);
    auto *button = window->findChild<QAbstractButton *>("Button_OutputResult");
    ASSERT_TRUE(button->isEnabled());
    const QRect placed = window->chart()->geometry();
    platform.saveAnswers.push_back({true, folder + QStringLiteral("/报告.doc"), 1});
    button->click();

    const QString path = folder + QStringLiteral("/报告.docx");
    ASSERT_TRUE(ReadBytes(path).startsWith("PK\x03\x04")) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(platform.last(PlatformCallKind::OpenWithDefaultProgram).path, path);
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0);
    const FileDialogRequest request = platform.last(PlatformCallKind::SaveFileDialog).fileRequest;
    EXPECT_EQ(request.title, QStringLiteral("保存雨型数据"));
    EXPECT_EQ(request.fileName, QStringLiteral("雨型计算书 P=2年 T=120分 R=0.4.docx"));
    ASSERT_EQ(request.types.size(), 3);
    EXPECT_EQ(request.types[1].mask, "*.docx");
    EXPECT_EQ(request.selectedType, 1);
    EXPECT_TRUE(QDir(platform.temp).isEmpty());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("报告.docx")});

    // The chart as the window draws it, at the picture frame's 553 x 400 pixels, and the
    // chart back in its place afterwards.
    const QImage picture = QImage::fromData(ZipEntry(path, "word/media/image9.png"), "PNG");
    EXPECT_EQ(picture.size(), QSize(553, 400));
    EXPECT_EQ(window->chart()->geometry(), placed);
    window->SaveBookChartPicture(folder + "/direct.png");
    EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB888),
              QImage(folder + "/direct.png").convertToFormat(QImage::Format_RGB888));

    // The menu item runs the same command; a cancelled dialog writes nothing.
    platform.clearCalls();
    window->findChild<QAction *>("Menu_outputResult")->trigger();
    EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 1);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files).size(), 2);
}

TEST_F(CalcBookCommand, ChartIsBackInItsPlaceWhenThePictureFails)
{
    const QRect placed = window->chart()->geometry();
    ASSERT_NE(placed.size(), QSize(553, 400));
    WriteBytes(folder + "/file", "a file, not a folder");
    EXPECT_THROW(window->SaveBookChartPicture(folder + "/file/image9.png"), TavrelError);
    EXPECT_EQ(window->chart()->geometry(), placed);
    // And the splitter still gives it its room.
    window->resize(window->width() + 200, window->height());
    QApplication::processEvents();
    EXPECT_EQ(window->chart()->width(), placed.width() + 200);
}

TEST_F(CalcBookCommand, ReadOnlyFolderKeepsTheOldBookAndSaysWhy)
{
    SKIP_WITHOUT_POSIX_PERMISSIONS();
    const QString readOnly = MakeUserFolder();
    platform.temp = MakeUserFolder();
    WriteBytes(readOnly + "/book.docx", "old book");
    ASSERT_EQ(chmod(QFile::encodeName(readOnly).constData(), 0555), 0);
    {
        AsOrdinaryUser user;
        QFile probe(readOnly + "/probe");
        ASSERT_FALSE(probe.open(QIODevice::WriteOnly)) << "the folder is writable; the test would check nothing";
        platform.saveAnswers.push_back({true, readOnly + "/book.docx", 1});
        window->findChild<QAbstractButton *>("Button_OutputResult")->click();
    }
    chmod(QFile::encodeName(readOnly).constData(), 0755);
    EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Error);
    EXPECT_TRUE(platform.lastMessage().text.startsWith(QStringLiteral("无法写入文件"))) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(ReadBytes(readOnly + "/book.docx"), "old book");
    EXPECT_EQ(QDir(readOnly).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"book.docx"});
    EXPECT_TRUE(QDir(platform.temp).isEmpty());
    EXPECT_EQ(platform.count(PlatformCallKind::OpenWithDefaultProgram), 0);
}
