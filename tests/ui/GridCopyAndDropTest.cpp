#include "WindowTest.h"
#include "TestSupport.h"
#include "core/RainModelFile.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"
#include "ui/GridData.h"

#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>

namespace {
class GridCopyAndDrop : public WindowTest {
protected:
    void selectRows(std::initializer_list<int> rows)
    {
        QItemSelectionModel *selection = window->grid()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(window->grid()->model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QString copied()
    {
        platform.clearCalls();
        window->findChild<QAction *>("MenuCopyData")->trigger();
        return platform.last(PlatformCallKind::ClipboardText).clipboard;
    }

    // Drags the files over the window and drops them; false when the window refuses the drag.
    bool drop(const QStringList &paths)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls.append(QUrl::fromLocalFile(path));
        data.setUrls(urls);
        const QPoint at(100, 100);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        if (!enter.isAccepted())
            return false;
        const TExpressionObject before = window->Model();
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &dropped);
        // The program the file came from is not held up: nothing is opened during the drop.
        EXPECT_TRUE(window->Model() == before);
        QApplication::processEvents();
        return true;
    }
};

const QString Heading = QStringLiteral("时间\t降雨强度mm/min\t降雨总量mm\n");
} // namespace

TEST_F(GridCopyAndDrop, CopyGivesTheHeadingAndTheSelectedRowsAsTabSeparatedLines)
{
    selectRows({2, 1});
    EXPECT_EQ(copied(), Heading + "01\t0.1937\t0.3845\n02\t0.1967\t0.5811\n");

    // Nothing selected: every row.
    window->grid()->selectionModel()->clearSelection();
    const QStringList all = copied().split('\n');
    ASSERT_EQ(all.size(), 1 + 121 + 1);   // and the empty text after the last line end
    EXPECT_EQ(all[0] + '\n', Heading);
    EXPECT_EQ(all[121], "120\t0.1908\t60.6345");

    // Hours:minutes and mm/h, as the table shows them; Ctrl+C in the table does the same.
    options.Int_TimeForamtidx = 0;
    options.Int_StormUnitidx = 0;
    window->RefreshRainModel();
    selectRows({48});
    window->activateWindow();
    window->grid()->setFocus();
    platform.clearCalls();
    QTest::keyClick(window->grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(platform.last(PlatformCallKind::ClipboardText).clipboard,
              QStringLiteral("时间\t降雨强度mm/h\t降雨总量mm\n00:48\t201.5961\t25.9954\n"));
    EXPECT_NE(window->findChild<QMenu *>("PopupMenu_Data")->actions().indexOf(window->findChild<QAction *>("MenuCopyData")), -1);

    // A failed storm has no table: the clipboard keeps what it had.
    window->Model().Storm_Step = 0;
    window->RefreshRainModel();
    platform.clearCalls();
    window->findChild<QAction *>("MenuCopyData")->trigger();
    EXPECT_EQ(platform.count(PlatformCallKind::ClipboardText), 0);
}

TEST_F(GridCopyAndDrop, ADroppedModelFileOpensAsThroughTheOpenCommand)
{
    TExpressionObject stored;
    SetStartValues(stored);
    stored.Storm_RepeatYear = 5;
    stored.Storm_Time = 60;
    stored.Storm_Step = 5;
    const QString path = folder + "/storm.dat";   // any extension, as in the open dialog
    WriteRainModelFile(path, stored);
    ASSERT_TRUE(drop({path}));
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0) << platform.lastMessage().text.toStdString();
    EXPECT_EQ(window->Model().Storm_RepeatYear, 5);
    EXPECT_EQ(window->CurrentFileName(), path);
    EXPECT_EQ(window->grid()->model()->rowCount(), 13);
}

TEST_F(GridCopyAndDrop, ADroppedFileOfAnotherKindIsRefusedAndChangesNothing)
{
    const TExpressionObject before = window->Model();
    const QString picture = folder + "/chart.png";
    WriteBytes(picture, QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(64, '\0'));
    // A real model file's text at the start does not make a 2 MiB file a model file.
    TExpressionObject stored;
    SetStartValues(stored);
    stored.Storm_Time = 60;
    const QString large = folder + "/large.txt";
    WriteRainModelFile(large, stored);
    WriteBytes(large, ReadBytes(large) + QByteArray(2 * 1024 * 1024, ' '));

    for (const QString &path : {picture, large}) {
        platform.clearCalls();
        ASSERT_TRUE(drop({path}));
        if (path == picture)
            EXPECT_EQ(platform.lastMessage().text, QStringLiteral("该文件不包含正确的数据格式，请确认后重试~"));
        else
            EXPECT_TRUE(platform.lastMessage().text.contains(QStringLiteral("太大"))) << platform.lastMessage().text.toStdString();
        EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Error);
    }
    EXPECT_EQ(window->Model(), before);
    EXPECT_TRUE(window->CurrentFileName().isEmpty());
    EXPECT_EQ(window->grid()->model()->rowCount(), 121);

    // Two files, or a folder, are not taken at all.
    EXPECT_FALSE(drop({picture, large}));
    EXPECT_FALSE(drop({folder}));
}
