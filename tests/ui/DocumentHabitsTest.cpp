#include "QtPrinting.h"
#include "WindowTest.h"
#include "core/TextFile.h"
#include "settings/DesktopSettings.h"
#include "ui/GridData.h"
#include "ui/PrintSupport.h"
#include "ui/RecentFiles.h"
#include "ui/StormChart.h"

#include <QDialog>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

const char *const StormText =
    "SIGN=访问www.orvanta.example获取更多实用工具~\r\nF_type=0\r\na1_167=1599.68333333333\r\na1=9.5981\r\n"
    "c=0.846\r\nb=7\r\nn=0.656\r\nLG_LN=0\r\n重现期=5\r\n降雨历时=60\r\n峰值比例=0.35\r\n计算步长=5\r\n";

class Habits : public WindowTest {
public:
    using WindowTest::platform;
    using WindowTest::trigger;
    using WindowTest::window;
    QString writeStorm(const QString &name)
    {
        const QString path = folder + "/" + name;
        WriteBytes(path, EncodeGbk(QString::fromUtf8(StormText)));
        return path;
    }
    // Confirms the new-storm dialog with another duration: the storm then has changes.
    void newStorm(const QString &minutes)
    {
        platform.modalScripts.push_back([minutes](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("EditStormTime")->setText(minutes);
            QTest::mouseClick(dialog->findChild<QPushButton *>("ButtonOK"), Qt::LeftButton);
            return int(QDialog::Rejected);
        });
        trigger("Menu_NewRainModel");
    }
    void dragLabel(QPoint by)
    {
        auto *label = window->findChild<QLabel *>("Label_P");
        const auto send = [label](QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(at), QPointF(label->mapToGlobal(at)), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(label, &event);
        };
        send(QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, QPoint(5, 5) + by, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, QPoint(5, 5) + by, Qt::LeftButton, Qt::NoButton);
    }
    void drop(const QString &path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &enter);
        QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window.get(), &dropped);
        QApplication::processEvents();
    }
    QString undoText() { return window->findChild<QAction *>("Menu_Undo")->text(); }
};

// Each way of leaving a storm with changes behind: a question first; 取消 keeps it all,
// 不保存 goes on. `done` says whether the command went on.
struct Leaving {
    const char *name;
    std::function<void(Habits &, const QString &file)> run;
    std::function<bool(Habits &)> done;
};

class LeavingChanges : public Habits, public ::testing::WithParamInterface<Leaving> {};

TEST_P(LeavingChanges, AskFirstAndCancelKeepsEverything)
{
    const QString file = writeStorm("storm.txt");
    platform.openAnswers.push_back({true, file, 0});
    trigger("Menu_Open1");   // also puts the file in the recent list
    newStorm("30");
    ASSERT_TRUE(window->isWindowModified());

    for (MessageResult answer : {MessageResult::Cancel, MessageResult::Discard}) {
        platform.clearCalls();
        platform.messageAnswers.push_back(answer);
        platform.openAnswers.push_back({true, file, 0});
        GetParam().run(*this, file);
        ASSERT_EQ(platform.count(PlatformCallKind::MessageBox), 1) << GetParam().name;
        EXPECT_EQ(platform.calls.front().buttons, MessageButtons::SaveDiscardCancel);
        EXPECT_TRUE(platform.calls.front().text.contains(QStringLiteral("未命名"))) << platform.calls.front().text.toStdString();
        EXPECT_EQ(GetParam().done(*this), answer == MessageResult::Discard) << GetParam().name;
        if (answer == MessageResult::Cancel) {
            // Nothing else was asked or shown, and the storm is as it was.
            EXPECT_EQ(platform.calls.size(), 1u);
            EXPECT_EQ(window->Model().Storm_Time, 30);
            EXPECT_TRUE(window->isVisible());
            EXPECT_TRUE(window->isWindowModified());
        }
        platform.openAnswers.clear();
    }
}

const auto Opened = [](Habits &h) { return h.window->Model().Storm_Time == 60 && !h.window->isWindowModified(); };
INSTANTIATE_TEST_SUITE_P(
    Habits, LeavingChanges,
    ::testing::Values(
        Leaving{"close", [](Habits &h, const QString &) { h.window->close(); }, [](Habits &h) { return !h.window->isVisible(); }},
        Leaving{"exit", [](Habits &h, const QString &) { h.trigger("Menu_Exit"); }, [](Habits &h) { return !h.window->isVisible(); }},
        Leaving{"new", [](Habits &h, const QString &) { h.trigger("Menu_NewRainModel"); },
                [](Habits &h) { return h.platform.count(PlatformCallKind::ShowModal) == 1; }},
        Leaving{"open", [](Habits &h, const QString &) { h.trigger("Menu_Open1"); }, Opened},
        Leaving{"drop", [](Habits &h, const QString &file) { h.drop(file); }, Opened},
        Leaving{"recent", [](Habits &h, const QString &) { h.trigger("Menu_Recent1"); }, Opened}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Habits, SaveBeforeClosingWritesOrKeepsTheWindowOpen)
{
    newStorm("30");
    platform.messageAnswers = {MessageResult::Save};
    window->close();   // the save dialog is cancelled
    EXPECT_TRUE(window->isVisible());
    platform.messageAnswers = {MessageResult::Save};
    platform.saveAnswers.push_back({true, folder + "/no/such/folder/s", 0});
    window->close();   // the write fails, and says so
    EXPECT_TRUE(platform.lastMessage().text.startsWith(QStringLiteral("无法写入文件"))) << platform.lastMessage().text.toStdString();
    EXPECT_TRUE(window->isVisible());
    platform.messageAnswers = {MessageResult::Save};
    platform.saveAnswers.push_back({true, folder + "/s", 0});
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(DecodeText(ReadBytes(folder + "/s.txt")).contains(QStringLiteral("降雨历时=30\r\n")));
}

TEST_F(Habits, TitleMarkAndUndoFollowTheStorm)
{
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("未命名[*] - ")));
    newStorm("30");
    EXPECT_TRUE(window->isWindowModified());
    platform.saveAnswers.push_back({true, folder + "/thirty", 0});
    trigger("Menu_SaveAs1");
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("thirty.txt[*]")));
    EXPECT_FALSE(window->isWindowModified());

    platform.openAnswers.push_back({true, writeStorm("storm.txt"), 0});
    trigger("Menu_Open1");
    EXPECT_FALSE(window->isWindowModified());
    const QPoint placed = window->findChild<QLabel *>("Label_P")->pos();
    dragLabel({40, 30});
    EXPECT_FALSE(window->isWindowModified());   // the labels are not part of the storm

    EXPECT_EQ(undoText(), QStringLiteral("撤销 移动标签"));
    trigger("Menu_Undo");
    EXPECT_EQ(window->findChild<QLabel *>("Label_P")->pos(), placed);
    EXPECT_EQ(undoText(), QStringLiteral("撤销 打开 storm.txt"));
    trigger("Menu_Undo");
    EXPECT_EQ(window->Model().Storm_Time, 30);
    EXPECT_EQ(window->grid()->model()->rowCount(), 31);
    EXPECT_EQ(window->CurrentFileName(), folder + "/thirty.txt");
    trigger("Menu_Undo");
    EXPECT_EQ(window->Model().Storm_Time, 120);
    EXPECT_TRUE(window->CurrentFileName().isEmpty());
    EXPECT_FALSE(window->isWindowModified());   // back where the window started
    EXPECT_FALSE(window->findChild<QAction *>("Menu_Undo")->isEnabled());

    trigger("Menu_Redo");
    trigger("Menu_Redo");
    EXPECT_EQ(window->Model().Storm_Time, 60);
    EXPECT_EQ(window->CurrentFileName(), folder + "/storm.txt");
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(Habits, RecentFilesAndPlacesAreRememberedAcrossRuns)
{
    QStringList files;
    for (int k = 1; k <= 9; ++k) {
        files << writeStorm(QStringLiteral("s%1.txt").arg(k));
        platform.openAnswers.push_back({true, files.back(), 0});
        trigger("Menu_Open1");
    }
    platform.openAnswers.push_back({true, files[3], 0});
    trigger("Menu_Open1");   // opened again: to the top, once
    QFile::remove(files[5]);
    trigger("Menu_Recent5");   // s6.txt, which has gone
    EXPECT_TRUE(platform.lastMessage().text.contains(QStringLiteral("s6.txt")));
    QStringList expected;
    for (int k : {3, 8, 7, 6, 4, 2, 1})
        expected << files[k];
    EXPECT_EQ(window->Remembered().recentFiles, expected);

    window->move(30, 40);
    window->resize(700, 500);
    dragLabel({50, 60});
    const QPoint label = window->findChild<QLabel *>("Label_P")->pos();
    window->close();

    window = std::make_unique<TFormTavrel>(platform, options);
    window->show();
    QApplication::processEvents();
    EXPECT_EQ(window->findChild<QAction *>("Menu_Recent1")->text(), "&1 " + QDir::toNativeSeparators(files[3]));
    EXPECT_EQ(window->findChild<QAction *>("Menu_Recent7")->text(), "&7 " + QDir::toNativeSeparators(files[1]));
    EXPECT_EQ(window->findChild<QAction *>("Menu_Recent8"), nullptr);
    EXPECT_EQ(window->pos(), QPoint(30, 40));
    EXPECT_EQ(window->size(), QSize(700, 500));
    EXPECT_EQ(window->findChild<QLabel *>("Label_P")->pos(), label);
    trigger("Menu_Open1");
    EXPECT_EQ(platform.last(PlatformCallKind::OpenFileDialog).fileRequest.folder, QDir::toNativeSeparators(folder));
}

TEST_F(Habits, PrintToPdfHoldsTheChartAndEveryRowUnderItsHeading)
{
    newStorm("300");
    const QString pdf = folder + "/storm.pdf";
    platform.printAnswers.push_back(pdf);
    trigger("Menu_Print");
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished(30000));
    const QStringList pages = QString::fromUtf8(text.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("降雨强度(mm/min)")));
    EXPECT_TRUE(pages[0].contains(QStringLiteral("降雨历时t=300min")));

    QStringList rows;
    for (const QString &page : pages) {
        const QStringList lines = page.split('\n');
        const auto heading = std::find_if(lines.begin(), lines.end(), [](const QString &line) {
            return line.simplified() == QStringLiteral("时间 降雨强度mm/min 降雨总量mm");
        });
        ASSERT_NE(heading, lines.end()) << page.toStdString();
        for (auto line = heading + 1; line != lines.end(); ++line)
            if (line->simplified().count(' ') == 2)
                rows << line->simplified();
    }
    const GridTable &grid = window->GridTextsShown();
    ASSERT_EQ(rows.size(), qsizetype(grid.size()));
    for (size_t k = 0; k < grid.size(); ++k)
        EXPECT_EQ(rows[qsizetype(k)], grid.row(k)[0] + ' ' + grid.row(k)[1] + ' ' + grid.row(k)[2]);
}

TEST_F(Habits, CopyPictureAndTheKeysAUserTriesFirst)
{
    trigger("Menu_CopyPicture");
    EXPECT_EQ(platform.last(PlatformCallKind::ClipboardImage).image.size(), window->chart()->size());

    QApplication::setActiveWindow(window.get());
    const std::pair<QKeyCombination, PlatformCallKind> keys[] = {
        {Qt::CTRL | Qt::Key_N, PlatformCallKind::ShowModal},       {Qt::CTRL | Qt::Key_O, PlatformCallKind::OpenFileDialog},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_S, PlatformCallKind::SaveFileDialog}, {Qt::CTRL | Qt::Key_P, PlatformCallKind::PrintPreview},
        {QKeyCombination(Qt::Key_F1), PlatformCallKind::MessageBox},
    };
    for (const auto &[key, call] : keys) {
        platform.clearCalls();
        QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(platform.count(call), 1) << QKeySequence(key).toString().toStdString();
    }
    newStorm("30");
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->Model().Storm_Time, 120);
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(window->Model().Storm_Time, 30);
}

// A menu takes "&" for the mark of the key that picks an entry.
TEST(RecentFilesMenu, AmpersandInAFileNameIsShownAsItIs)
{
    RecentFilesMenu menu;
    menu.setFiles({"/data/R&D.txt"});
    EXPECT_EQ(menu.actions().front()->iconText(), "1 " + QDir::toNativeSeparators("/data/R&D.txt"));
}

// Rows 10 high: the heading and 9 rows fill 100, and the foot beneath stays clear.
TEST(Printing, ThePageKeepsARowForTheHeading)
{
    EXPECT_EQ(RowsUnderHeading(100, 10), 9);
    EXPECT_EQ(RowsUnderHeading(99, 10), 8);
    EXPECT_EQ(RowsUnderHeading(5, 10), 0);
}

TEST(Printing, PagesTooSmallForARowStillTakeOneEach)
{
    EXPECT_EQ(RowsPerPage(3, 0, 0), std::vector<int>({0, 1, 1, 1}));
}

} // namespace
