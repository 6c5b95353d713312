#include "WindowTest.h"
#include "TestSupport.h"
#include "core/TextFile.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormAbout.h"
#include "ui/FormTavrel.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class HelpMenu : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        platform.clearCalls();
    }

    void reply(const QByteArray &body, const QByteArray &contentType = "text/html")
    {
        HttpReply r;
        r.ok = true;
        r.status = 200;
        r.body = body;
        r.contentType = contentType;
        platform.httpReplies.push_back(r);
    }

    QStringList opened() const
    {
        QStringList paths;
        for (const PlatformCall &call : platform.callsOf(PlatformCallKind::OpenWithDefaultProgram))
            paths << call.path;
        return paths;
    }
};

const QString Latest = QStringLiteral("已经是最新版本了");

} // namespace

TEST_F(HelpMenu, UpdateCheckAsksTheFixedAddressWithoutFollowingRedirects)
{
    reply("2.10\r\nhttp://www.orvanta.example/\r\n@@@@@@");
    trigger("Menu_Update");
    ASSERT_EQ(platform.count(PlatformCallKind::HttpGet), 1);
    const HttpRequest request = platform.last(PlatformCallKind::HttpGet).httpRequest;
    EXPECT_EQ(request.url, "http://www.orvanta.example/zb_users/upload/tavrel/update.php");
    EXPECT_FALSE(request.followRedirects);
    EXPECT_EQ(request.timeLimitMs, 10000);
    EXPECT_EQ(request.maxBodyBytes, 65536);
    const QList<QPair<QByteArray, QByteArray>> headers = {
        {"Accept", "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8"},
        {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"}};
    EXPECT_EQ(request.headers, headers);
}

TEST_F(HelpMenu, NewerVersionAsksWithTheNotesAndOpensThePageOnYes)
{
    // Declared GBK: the notes arrive as the server wrote them.
    reply(EncodeGbk(QStringLiteral(" 2.11 \r\nhttp://www.orvanta.example/v211\r\n修复：导出文件名\r\n新增：公式库\r\n"
                                   "@@@@@@\r\n<p>统计代码</p>")),
          "text/html; charset=GBK");
    platform.messageAnswers.push_back(MessageResult::Yes);
    trigger("Menu_Update");
    const PlatformCall question = platform.lastMessage();
    EXPECT_EQ(question.title, QStringLiteral("更新"));
    EXPECT_EQ(question.icon, MessageIcon::Question);
    EXPECT_EQ(question.buttons, MessageButtons::YesNo);
    EXPECT_EQ(question.text, QStringLiteral("新版本：Ver2.11 已经发布~\r\n更新内容:\r\n修复：导出文件名\r\n新增：公式库\r\n\r\n"
                                            "是否立即查看？"));
    EXPECT_EQ(opened(), QStringList{"http://www.orvanta.example/v211"});

    // 2.9 is newer than 2.10; No opens nothing.
    platform.clearCalls();
    reply("2.9\nhttps://www.orvanta.example/v29\n@@@@@@");
    trigger("Menu_Update");
    EXPECT_EQ(platform.lastMessage().text, QStringLiteral("新版本：Ver2.9 已经发布~\r\n更新内容:\r\n\r\n是否立即查看？"));
    EXPECT_TRUE(opened().isEmpty());
}

TEST_F(HelpMenu, SameOrOlderVersionSaysSo)
{
    for (const char *version : {"2.10", "2.1", "2.100", " 2.09 "}) {
        platform.clearCalls();
        reply(QByteArray(version) + "\r\nhttp://www.orvanta.example/\r\n说明\r\n@@@@@@");
        trigger("Menu_Update");
        ASSERT_EQ(platform.count(PlatformCallKind::MessageBox), 1) << version;
        EXPECT_EQ(platform.lastMessage().text, Latest) << version;
        EXPECT_EQ(platform.lastMessage().title, QStringLiteral("提示"));
        EXPECT_EQ(platform.lastMessage().icon, MessageIcon::Information);
        EXPECT_TRUE(opened().isEmpty());
    }
}

struct UpdateFailure {
    const char *name;
    QByteArray body;
    bool ok;
    QString error;      // the transfer's own failure
    QString shown;      // what must stand after 出错： (a part of it)
};

void PrintTo(const UpdateFailure &c, std::ostream *os)
{
    *os << c.name;
}

class UpdateFailures : public HelpMenu, public testing::WithParamInterface<UpdateFailure> {};

TEST_P(UpdateFailures, AreReportedAsErrorsAndOpenNothing)
{
    const UpdateFailure &c = GetParam();
    HttpReply r;
    r.ok = c.ok;
    r.status = c.ok ? 200 : 404;
    r.error = c.error;
    r.body = c.body;
    platform.httpReplies.push_back(r);
    trigger("Menu_Update");
    ASSERT_EQ(platform.count(PlatformCallKind::MessageBox), 1);
    const PlatformCall box = platform.lastMessage();
    EXPECT_EQ(box.title, QStringLiteral("错误"));
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_TRUE(box.text.startsWith(QStringLiteral("出错："))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(c.shown)) << box.text.toStdString();
    EXPECT_TRUE(opened().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, UpdateFailures,
    testing::Values(
        UpdateFailure{"HttpError", "", false, "HTTP 404 Not Found", "HTTP 404 Not Found"},
        UpdateFailure{"VersionOnly", "2.11\r\n@@@@@@", true, "", "不完整"},
        UpdateFailure{"NoEndMark", "2.11\r\nhttp://www.orvanta.example/\r\nnotes\r\n", true, "", "不完整"},
        UpdateFailure{"VersionNotANumber", "v2.11\r\nhttp://www.orvanta.example/\r\n@@@@@@", true, "", "v2.11"},
        UpdateFailure{"FileAddress", "2.11\r\nfile:///etc/passwd\r\n@@@@@@", true, "", "file:///etc/passwd"},
        UpdateFailure{"ScriptAddress", "2.11\r\njavascript:alert(1)\r\n@@@@@@", true, "", "javascript:alert(1)"},
        UpdateFailure{"ProgramPath", "2.11\r\n/usr/bin/xterm\r\n@@@@@@", true, "", "/usr/bin/xterm"},
        UpdateFailure{"OtherScheme", "2.11\r\nftp://www.orvanta.example/t.zip\r\n@@@@@@", true, "", "ftp://"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(HelpMenu, AboutBoxIsMadeOnceAndShowsTheVersion)
{
    trigger("Menu_About");
    trigger("Menu_About");
    const auto boxes = window->findChildren<TFormAbout *>();
    ASSERT_EQ(boxes.size(), 1);
    TFormAbout *about = boxes.first();
    const auto shown = platform.callsOf(PlatformCallKind::ShowModal);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].title, QStringLiteral("关于"));
    EXPECT_FALSE(about->isVisible());

    EXPECT_EQ(about->findChild<QLabel *>("Label2")->text(), QStringLiteral("Tavrel 芝加哥雨型"));
    EXPECT_TRUE(about->findChild<QLabel *>("Label2")->font().bold());
    EXPECT_EQ(about->findChild<QLabel *>("LabelVersion")->text(), QStringLiteral("版本：Ver2.10"));
    EXPECT_TRUE(window->windowTitle().contains(QStringLiteral("Ver2.10")));
    EXPECT_TRUE(about->windowFlags() & Qt::WindowStaysOnTopHint);

    // The link goes to the desktop's browser; 确定 closes the box.
    emit about->findChild<QLabel *>("LinkLabel1")->linkActivated("http://www.orvanta.example/");
    EXPECT_EQ(opened(), QStringList{"http://www.orvanta.example/"});
    platform.modalScripts.push_back([](QDialog *dialog) {
        dialog->findChild<QPushButton *>("ButtonOK")->click();
        return int(QDialog::Rejected);
    });
    trigger("Menu_About");
    EXPECT_EQ(about->result(), QDialog::Accepted);
    EXPECT_FALSE(about->isVisible());
}

TEST_F(HelpMenu, HelpOpensTheFirstManualOfTheProgramFolder)
{
    const QString folder = MakeTempFolder();
    window->SetProgramFolder(folder);
    WriteBytes(folder + "/说明.pdf", "%PDF");
    trigger("Menu_help1");
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_TRUE(platform.lastMessage().text.contains(QStringLiteral("找不到用户手册")));

    WriteBytes(folder + "/软件说明书-旧版.pdf", "%PDF");
    trigger("Menu_help1");
    EXPECT_EQ(opened(), QStringList{folder + "/软件说明书-旧版.pdf"});

    platform.clearCalls();
    WriteBytes(folder + "/软件说明书 Tavrel.pdf", "%PDF");
    trigger("Menu_help1");
    EXPECT_EQ(opened(), QStringList{folder + "/软件说明书 Tavrel.pdf"});

    // A desktop without a PDF reader: the user is told, not left waiting.
    platform.desktopOpens = false;
    trigger("Menu_help1");
    EXPECT_TRUE(platform.lastMessage().text.contains(QStringLiteral("没有可以打开PDF文件的程序")));
}

TEST_F(HelpMenu, CommunityEntryOpensTheCommunityPage)
{
    trigger("Menu_AddQQ");
    EXPECT_EQ(opened(), QStringList{"http://www.orvanta.example/community"});
}

TEST_F(HelpMenu, FileNamedAtStartOpensLikeTheOpenCommand)
{
    const QString folder = MakeTempFolder();
    WriteBytes(folder + "/s.txt", EncodeGbk(QStringLiteral(
        "SIGN=访问www.orvanta.example获取更多实用工具~\r\na1=9.5981\r\nc=0.846\r\nb=7\r\nn=0.656\r\nLG_LN=0\r\n"
        "重现期=5\r\n降雨历时=60\r\n峰值比例=0.35\r\n计算步长=5\r\n")));
    window->OpenFileFromCommandLine(folder + "/s.txt");
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 0);
    EXPECT_EQ(window->Model().Storm_RepeatYear, 5);
    EXPECT_EQ(window->StormPoints().size(), 13u);
    EXPECT_EQ(window->CurrentFileName(), folder + "/s.txt");

    WriteBytes(folder + "/wrong.txt", EncodeGbk(QStringLiteral("SIGN=别的程序\r\n")));
    window->OpenFileFromCommandLine(folder + "/wrong.txt");
    EXPECT_EQ(platform.lastMessage().text, QStringLiteral("该文件不包含正确的数据格式，请确认后重试~"));
    EXPECT_EQ(platform.lastMessage().title, QStringLiteral("错误"));

    window->OpenFileFromCommandLine(folder + "/missing.txt");
    EXPECT_EQ(platform.count(PlatformCallKind::MessageBox), 2);
    EXPECT_TRUE(platform.lastMessage().text.contains("missing.txt"));
    EXPECT_EQ(window->CurrentFileName(), folder + "/s.txt");
    EXPECT_EQ(window->Model().Storm_RepeatYear, 5);
}
