#include "platform/Platform.h"
#include "core/Failure.h"

const QString ProductTitle = QStringLiteral("Tavrel 芝加哥雨型");

bool RunCommand(Platform &platform, QWidget *parent, const std::function<void()> &command)
{
    // The message is taken inside the handler but shown outside it, so a box is never
    // opened while the exception machinery is still unwinding.
    QString message;
    try {
        command();
        return true;
    } catch (const std::exception &e) {
        message = FailureMessage(e);
    } catch (...) {
        message = QStringLiteral("未知错误");
    }
    platform.messageBox(parent, MessageIcon::Error, ProductTitle, message);
    return false;
}
