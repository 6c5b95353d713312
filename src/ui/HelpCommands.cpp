// The commands of the help menu: the user manual, the update check, the community page and
// the about box.
#include "FormTavrel.h"
#include "FormAbout.h"

#include "core/Failure.h"
#include "core/Version.h"
#include "platform/Platform.h"
#include "update/ManualLookup.h"
#include "update/UpdateCheck.h"

#include <QDir>
#include <QGuiApplication>

namespace {

// The window waits for the server; the pointer says so.
class BusyCursor {
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace

void TFormTavrel::Menu_help1Click()
{
    // Help that does nothing leaves the user guessing: both failures are said.
    const QString manual = FindUserManual(programFolder);
    if (manual.isEmpty())
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"),
                            QStringLiteral("找不到用户手册：程序文件夹“%1”中没有“软件说明书*.pdf”。")
                                .arg(QDir::toNativeSeparators(programFolder)));
    else if (!platform.openWithDefaultProgram(manual))
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"),
                            QStringLiteral("无法打开用户手册“%1”：系统中没有可以打开PDF文件的程序。")
                                .arg(QDir::toNativeSeparators(manual)));
}

void TFormTavrel::Menu_UpdateClick()
{
    QString failure;
    try {
        HttpRequest request;
        request.url = UpdateEndpoint;
        request.headers = UpdateRequestHeaders();
        request.followRedirects = false;
        HttpReply reply;
        {
            BusyCursor busy;
            reply = platform.httpGet(request);
        }
        if (!reply.ok)
            throw TavrelError(reply.error);
        const UpdateDocument document = ParseUpdateDocument(DecodeReplyText(reply.body, reply.contentType));
        if (IsNewerVersion(document.version, ProgramVersion())) {
            if (!IsWebPageAddress(document.page))
                throw TavrelError(QStringLiteral("更新信息中的地址“%1”不是网页地址，不会打开").arg(document.page));
            if (platform.messageBox(this, MessageIcon::Question, QStringLiteral("更新"), NewVersionQuestion(document),
                                    MessageButtons::YesNo)
                == MessageResult::Yes)
                platform.openWithDefaultProgram(document.page);
        } else {
            platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"), QStringLiteral("已经是最新版本了"));
        }
        return;
    } catch (const std::exception &e) {
        failure = FailureMessage(e);
    }
    platform.messageBox(this, MessageIcon::Error, QStringLiteral("错误"), ErrorPrefix + failure);
}

void TFormTavrel::Menu_AddQQClick()
{
    platform.openWithDefaultProgram(CommunityPage);
}

void TFormTavrel::Menu_AboutClick()
{
    ShowAboutBox(platform, aboutForm, this, ProgramVersion());
}

void TFormTavrel::SetProgramFolder(const QString &folder)
{
    programFolder = folder;
    if (!programFolder.isEmpty() && !programFolder.endsWith(QLatin1Char('/')))
        programFolder += QLatin1Char('/');
}
