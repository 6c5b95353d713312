#include "QtPrinting.h"
#include "core/Failure.h"
#include "core/TextFile.h"
#include "platform/QtPlatform.h"
#include "platform/ScriptedPlatform.h"
#include "update/UpdateCheck.h"
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// Runs `inspect` on the modal window once it is up, from the modal loop itself.
template <typename Window>
void WhenModal(std::function<void(Window *)> inspect)
{
    QTimer::singleShot(0, [inspect] {
        auto *window = qobject_cast<Window *>(QApplication::activeModalWidget());
        ASSERT_NE(window, nullptr);
        inspect(window);
    });
}

} // namespace

TEST(ScriptedPlatform, AnswersFromItsQueuesThenWithTheDefaults)
{
    ScriptedPlatform platform;
    platform.saveAnswers.push_back({true, "/x/a.csv", 1});
    platform.messageAnswers.push_back(MessageResult::Yes);
    TFontInfo bold;
    bold.Bold = true;
    platform.fontAnswers.push_back(bold);
    HttpReply reply;
    reply.ok = true;
    reply.body = "1.0";
    platform.httpReplies.push_back(reply);

    FileDialogRequest request;
    request.title = "保存雨型数据";
    request.selectedType = 2;
    const FileDialogResult saved = platform.saveFileDialog(nullptr, request);
    EXPECT_TRUE(saved.accepted);
    EXPECT_EQ(saved.path, "/x/a.csv");
    EXPECT_EQ(saved.selectedType, 1);
    const FileDialogResult cancelled = platform.saveFileDialog(nullptr, request);
    EXPECT_FALSE(cancelled.accepted);
    EXPECT_FALSE(platform.openFileDialog(nullptr, request).accepted);

    EXPECT_EQ(platform.messageBox(nullptr, MessageIcon::Question, "更新", "?", MessageButtons::YesNo),
              MessageResult::Yes);
    EXPECT_EQ(platform.messageBox(nullptr, MessageIcon::Question, "更新", "?", MessageButtons::YesNo),
              MessageResult::No);
    EXPECT_EQ(platform.messageBox(nullptr, MessageIcon::Information, "提示", "好"), MessageResult::Ok);

    TFontInfo font;
    EXPECT_TRUE(platform.fontDialog(nullptr, font));
    EXPECT_TRUE(font.Bold);
    EXPECT_FALSE(platform.fontDialog(nullptr, font));
    EXPECT_TRUE(font.Bold);

    EXPECT_EQ(platform.httpGet({"http://example.invalid/u", {}, false}).body, "1.0");
    const HttpReply offline = platform.httpGet({"http://example.invalid/u", {}, false});
    EXPECT_FALSE(offline.ok);
    EXPECT_EQ(offline.error, "no network in tests");

    platform.openWithDefaultProgram("/x/a.csv");
    platform.openInTextEditor("/x/a.dat");
    platform.appData = "/cfg";
    EXPECT_EQ(platform.appDataFolder(), "/cfg");

    EXPECT_EQ(platform.count(PlatformCallKind::SaveFileDialog), 2);
    EXPECT_EQ(platform.last(PlatformCallKind::SaveFileDialog).title, "保存雨型数据");
    EXPECT_EQ(platform.last(PlatformCallKind::SaveFileDialog).fileRequest.selectedType, 2);
    EXPECT_EQ(platform.messageTexts(), QStringList({"?", "?", "好"}));
    EXPECT_EQ(platform.lastMessage().title, "提示");
    EXPECT_EQ(platform.last(PlatformCallKind::FontDialog).font.Bold, true);
    EXPECT_EQ(platform.last(PlatformCallKind::OpenWithDefaultProgram).path, "/x/a.csv");
    EXPECT_EQ(platform.last(PlatformCallKind::OpenInTextEditor).path, "/x/a.dat");
    EXPECT_EQ(platform.count(PlatformCallKind::HttpGet), 2);
}

TEST(ScriptedPlatform, ShowsFormsWithoutAModalLoopAndKeepsNestedCallsInOrder)
{
    ScriptedPlatform platform;
    QDialog outer, inner;
    outer.setObjectName("outer");
    platform.modalScripts.push_back([&](QDialog *dialog) {
        EXPECT_TRUE(dialog->isVisible());
        platform.messageBox(dialog, MessageIcon::Information, "提示", "inside");
        EXPECT_EQ(platform.showModal(&inner), QDialog::Rejected);   // left open: its own answer
        dialog->accept();
        return QDialog::Rejected;
    });
    platform.modalScripts.push_back([](QDialog *) { return int(QDialog::Rejected); });

    EXPECT_EQ(platform.showModal(&outer), QDialog::Accepted);
    EXPECT_FALSE(outer.isVisible());
    EXPECT_FALSE(inner.isVisible());
    ASSERT_EQ(platform.calls.size(), 3u);
    EXPECT_EQ(platform.calls[0].kind, PlatformCallKind::ShowModal);
    EXPECT_EQ(platform.calls[0].text, "outer");
    EXPECT_EQ(platform.calls[1].kind, PlatformCallKind::MessageBox);
    EXPECT_EQ(platform.calls[1].parentName, "outer");
    EXPECT_EQ(platform.calls[2].kind, PlatformCallKind::ShowModal);

    // Nobody scripted it: closed again as by the person.
    EXPECT_EQ(platform.showModal(&outer), QDialog::Rejected);
    EXPECT_FALSE(outer.isVisible());
}

struct FailureCase {
    const char *name;
    std::function<void()> command;
    QString message;
};

class GeneralErrorReport : public testing::TestWithParam<FailureCase> {};

TEST_P(GeneralErrorReport, ShowsTheFailureInAnErrorBoxUnderTheProductTitle)
{
    ScriptedPlatform platform;
    EXPECT_FALSE(RunCommand(platform, nullptr, GetParam().command));
    ASSERT_EQ(platform.count(PlatformCallKind::MessageBox), 1);
    const PlatformCall box = platform.lastMessage();
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_EQ(box.title, "Tavrel 芝加哥雨型");
    EXPECT_EQ(box.text, GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, GeneralErrorReport,
    testing::Values(FailureCase{"TavrelError", [] { throw TavrelError("“x”不是有效的数字"); }, "“x”不是有效的数字"},
                    FailureCase{"StdException", [] { throw std::runtime_error("disk full"); }, "disk full"},
                    FailureCase{"Other", [] { throw 42; }, "未知错误"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RunCommand, StaysQuietWhenTheCommandSucceeds)
{
    ScriptedPlatform platform;
    bool ran = false;
    EXPECT_TRUE(RunCommand(platform, nullptr, [&] { ran = true; }));
    EXPECT_TRUE(ran);
    EXPECT_TRUE(platform.calls.empty());
}

TEST(QtPlatform, FileTypeEntriesBecomeFiltersTheDialogCanRead)
{
    EXPECT_EQ(FileDialogNameFilters({{"文本文件(*.txt)", "*.txt"},
                                     {"Excel文件", "*.csv"},
                                     {"图片", "*.bmp;*.jpg"},
                                     {"所有文件(*.*)", "*.*"}}),
              QStringList({"文本文件(*.txt)", "Excel文件 (*.csv)", "图片 (*.bmp *.jpg)", "所有文件(*.*)"}));
}

TEST(QtPlatform, SaveDialogPresetsTypeAndNameAndReportsTheChosenType)
{
    QtPlatform platform;
    FileDialogRequest request;
    request.title = "保存雨型数据";
    request.types = {{"Excel文件", "*.csv"}, {"Word文件", "*.docx"}, {"Excel文件", "*.xlsx"}};
    request.selectedType = 1;
    request.fileName = "/tmp/P=2.docx";
    WhenModal<QFileDialog>([](QFileDialog *dialog) {
        EXPECT_EQ(dialog->windowTitle(), "保存雨型数据");
        EXPECT_EQ(dialog->selectedNameFilter(), "Word文件 (*.docx)");
        EXPECT_EQ(QFileInfo(dialog->selectedFiles().value(0)).fileName(), "P=2.docx");
        dialog->selectNameFilter("Excel文件 (*.xlsx)");
        dialog->selectFile("/tmp/P=2.xlsx");
        static_cast<QDialog *>(dialog)->accept();   // QFileDialog hides its own accept()
    });
    const FileDialogResult result = platform.saveFileDialog(nullptr, request);
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.path, "/tmp/P=2.xlsx");
    EXPECT_EQ(result.selectedType, 2);
}

TEST(QtPlatform, QuestionBoxAnswersWithTheButtonPressed)
{
    QtPlatform platform;
    WhenModal<QMessageBox>([](QMessageBox *box) {
        EXPECT_EQ(box->windowTitle(), "更新");
        EXPECT_EQ(box->text(), "是否立即查看？");
        EXPECT_EQ(box->icon(), QMessageBox::Question);
        EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(platform.messageBox(nullptr, MessageIcon::Question, "更新", "是否立即查看？", MessageButtons::YesNo),
              MessageResult::Yes);
}

TEST(QtPlatform, SaveQuestionNamesItsThreeAnswersAndEscapeCancels)
{
    QtPlatform platform;
    for (const char *pressed : {"不保存", "保存", ""}) {
        WhenModal<QMessageBox>([pressed](QMessageBox *box) {
            const QList<QAbstractButton *> buttons = box->buttons();
            ASSERT_EQ(buttons.size(), 3);
            for (QAbstractButton *button : buttons)
                if (button->text() == QString::fromUtf8(pressed))
                    return button->click();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        const MessageResult expected = *pressed == 0 ? MessageResult::Cancel
            : QString::fromUtf8(pressed) == "保存" ? MessageResult::Save : MessageResult::Discard;
        EXPECT_EQ(platform.messageBox(nullptr, MessageIcon::Question, "Tavrel", "?", MessageButtons::SaveDiscardCancel),
                  expected) << pressed;
    }
}

TEST(FontColorDialog, ChangesOnlyWhatThePersonChanged)
{
    TFontInfo font;
    font.Name = "No Such Face";         // not installed: must not turn into the substitute's name
    font.Size = 11;
    font.Italic = true;
    font.Color = TColor(0xFF000008);    // clWindowText, a system colour
    FontColorDialog dialog;
    dialog.setFontInfo(font);
    EXPECT_EQ(dialog.fontInfo(), font);

    dialog.findChild<QCheckBox *>("boldBox")->click();
    dialog.findChild<QCheckBox *>("strikeOutBox")->click();
    TFontInfo expected = font;
    expected.Bold = expected.StrikeOut = true;
    EXPECT_EQ(dialog.fontInfo(), expected);

    dialog.setColor(QColor(255, 0, 0));
    EXPECT_EQ(dialog.fontInfo().Color, 0x0000FF);
}

TEST(QtPlatform, FontDialogChangesTheFontOnlyWhenConfirmed)
{
    QtPlatform platform;
    TFontInfo font;
    WhenModal<FontColorDialog>([](FontColorDialog *dialog) {
        dialog->findChild<QCheckBox *>("underlineBox")->click();
        dialog->reject();
    });
    EXPECT_FALSE(platform.fontDialog(nullptr, font));
    EXPECT_FALSE(font.Underline);

    WhenModal<FontColorDialog>([](FontColorDialog *dialog) {
        dialog->findChild<QCheckBox *>("underlineBox")->click();
        dialog->accept();
    });
    EXPECT_TRUE(platform.fontDialog(nullptr, font));
    EXPECT_TRUE(font.Underline);
}

// A one-shot HTTP server on the loopback interface.
class LocalServer {
public:
    explicit LocalServer(QByteArray reply) : reply(std::move(reply))
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket *socket = server.nextPendingConnection();
            QObject::connect(socket, &QTcpSocket::readyRead, [this, socket] {
                request += socket->readAll();
                if (request.contains("\r\n\r\n")) {
                    ++requests;
                    socket->write(this->reply);
                    socket->disconnectFromHost();
                }
            });
        });
    }
    QString url(const QString &path) const { return QString("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path); }

    QTcpServer server;
    QByteArray reply;
    QByteArray request;
    int requests = 0;
};

TEST(QtPlatform, HttpGetWaitsForTheWholeReplyAndSendsTheHeaders)
{
    LocalServer server("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: 11\r\n"
                       "Connection: close\r\n\r\n2.11\r\nhttp:");
    QtPlatform platform;
    const HttpReply reply = platform.httpGet({server.url("/update.php"), {{"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}}, false});
    EXPECT_TRUE(reply.ok) << reply.error.toStdString();
    EXPECT_EQ(reply.status, 200);
    EXPECT_EQ(reply.body, "2.11\r\nhttp:");
    EXPECT_EQ(reply.contentType, "text/html; charset=utf-8");
    EXPECT_TRUE(server.request.startsWith("GET /update.php HTTP/1.1\r\n"));
    EXPECT_TRUE(server.request.contains("User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"));
}

TEST(QtPlatform, HttpGetReportsRedirectionsAndErrorsAsFailures)
{
    LocalServer moved("HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    QtPlatform platform;
    const HttpReply redirect = platform.httpGet({moved.url("/update.php"), {}, false});
    EXPECT_FALSE(redirect.ok);
    EXPECT_EQ(redirect.status, 302);
    EXPECT_FALSE(redirect.error.isEmpty());
    EXPECT_EQ(moved.requests, 1);

    LocalServer missing("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
    const HttpReply notFound = platform.httpGet({missing.url("/update.php"), {}, false});
    EXPECT_FALSE(notFound.ok);
    EXPECT_EQ(notFound.status, 404);
    EXPECT_EQ(notFound.error, "HTTP 404 Not Found");

    const quint16 closedPort = missing.server.serverPort();
    missing.server.close();
    const HttpReply refused = platform.httpGet({QString("http://127.0.0.1:%1/").arg(closedPort), {}, false});
    EXPECT_FALSE(refused.ok);
    EXPECT_FALSE(refused.error.isEmpty());
}

// A server that takes the connection and then either says nothing or never stops talking.
class StubbornServer {
public:
    enum Mode { Silent, Endless };
    explicit StubbornServer(Mode mode)
    {
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [this, mode] {
            QTcpSocket *socket = server.nextPendingConnection();
            if (mode == Endless) {
                socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n");
                QObject::connect(socket, &QTcpSocket::bytesWritten, [this, socket] {
                    if (sent < 16 * 1024 * 1024 && socket->bytesToWrite() < 65536) {
                        sent += 8192;
                        socket->write(QByteArray(8192, 'x'));
                    }
                });
            }
            // A broken time limit must fail the test, not hang it.
            QTimer::singleShot(5000, socket, [socket] { socket->abort(); });
        });
    }
    QString url() const { return QString("http://127.0.0.1:%1/update.php").arg(server.serverPort()); }

    QTcpServer server;
    qint64 sent = 0;
};

TEST(QtPlatform, HttpGetGivesUpOnASilentServerAtTheTimeLimit)
{
    StubbornServer silent(StubbornServer::Silent);
    QtPlatform platform;
    HttpRequest request{silent.url(), {}, false};
    request.timeLimitMs = 300;
    const HttpReply reply = platform.httpGet(request);
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, QStringLiteral("服务器在0.3秒内没有回复完毕"));
}

TEST(QtPlatform, HttpGetStopsAnEndlessReplyAtTheSizeCap)
{
    StubbornServer endless(StubbornServer::Endless);
    QtPlatform platform;
    const HttpReply reply = platform.httpGet({endless.url(), {}, false});
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.error, QStringLiteral("服务器的回复超过了64 KiB，已放弃"));
    EXPECT_TRUE(reply.body.isEmpty());
    EXPECT_LT(endless.sent, 4 * 1024 * 1024);
}

TEST(QtPlatform, HttpGetKeepsTheDeclaredCharsetForDecoding)
{
    const QString text = QStringLiteral("2.11\r\nhttp://www.orvanta.example/\r\n修复：计算书页码\r\n@@@@@@");
    const QByteArray gbk = EncodeGbk(text);
    LocalServer server("HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=GBK\r\nContent-Length: "
                       + QByteArray::number(gbk.size()) + "\r\nConnection: close\r\n\r\n" + gbk);
    QtPlatform platform;
    const HttpReply reply = platform.httpGet({server.url("/update.php"), {}, false});
    ASSERT_TRUE(reply.ok) << reply.error.toStdString();
    EXPECT_EQ(DecodeReplyText(reply.body, reply.contentType), text);
}
