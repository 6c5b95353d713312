// The commands on rain-model files: save, save as, open (by dialog, by drop, from the
// command line).
#include "FormTavrel.h"
#include "DocumentState.h"

#include "core/Failure.h"
#include "core/Hyetograph.h"
#include "core/RainModelFile.h"
#include "platform/Platform.h"
#include "settings/DesktopSettings.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

namespace {
// The save and open dialogs of rain-model files: their title, the text-file types, and the
// folder of the last rain-model file.
FileDialogRequest RainModelDialog(const QString &title, const QString &folder)
{
    FileDialogRequest request;
    request.title = title;
    request.types = {{QStringLiteral("文本文件(*.txt)"), QStringLiteral("*.txt")},
                     {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}};
    request.folder = folder;
    return request;
}
} // namespace

bool TFormTavrel::SaveRainModelFile(const QString &name)
{
    QString path = name;
    if (path.trimmed().isEmpty()) {
        FileDialogRequest request =
            RainModelDialog(QStringLiteral("保存曲线"), folderFor(&TDesktopSettings::rainModelFolder));
        request.overwritePrompt = true;
        // The dialog adds ".txt" to a bare name itself, so its replace question covers it.
        request.defaultSuffix = QStringLiteral("txt");
        for (;;) {
            const FileDialogResult chosen = platform.saveFileDialog(this, request);
            if (!chosen.accepted || chosen.path.trimmed().isEmpty())
                return false;
            path = chosen.path;
            if (QFileInfo(path).suffix().toLower() != QLatin1String("txt"))
                path += QStringLiteral(".txt");
            if (confirmChangedName(chosen.path, path, request.title))
                break;
            request.fileName = chosen.path;   // 否: back to the dialog
        }
    }
    WriteRainModelFile(path, model);
    // Only a name the model was written under becomes the file of 保存雨型.
    document->saved(path);
    rememberFile(&TDesktopSettings::rainModelFolder, path);
    return true;
}

void TFormTavrel::Menu_Save1Click()
{
    SaveRainModelFile(CurrentFileName());
}

void TFormTavrel::Menu_SaveAs1Click()
{
    SaveRainModelFile(QString());
}

void TFormTavrel::Menu_Open1Click()
{
    if (!MaybeSaveChanges())
        return;
    FileDialogRequest request = RainModelDialog(QStringLiteral("打开雨型"), folderFor(&TDesktopSettings::rainModelFolder));
    request.mustExist = true;
    const FileDialogResult chosen = platform.openFileDialog(this, request);
    if (!chosen.accepted || !QFileInfo::exists(chosen.path))
        return;
    OpenRainModelFile(chosen.path);
}

void TFormTavrel::OpenRainModelFile(const QString &path)
{
    const RainModelRead read = ReadRainModelFile(path, model);
    if (read.status == RainModelRead::WrongSign) {
        platform.messageBox(this, MessageIcon::Error, QStringLiteral("错误"), WrongSignMessage);
        return;
    }
    if (read.status != RainModelRead::Ok)
        throw TavrelError(read.message);
    // A storm of negative rain is not opened: the storm shown stays.
    if (const StormRuleProblem problem = CheckStormRules(read.model))
        throw TavrelError(problem.message);
    // Shown and recomputed by the document, which keeps the storm before for undo.
    document->opened(path, model, read.model);
    rememberFile(&TDesktopSettings::rainModelFolder, path);
}

void TFormTavrel::OpenFileFromCommandLine(const QString &path)
{
    runCommand([this, path] {
        // No dialog stood before it, so a missing file is said, not passed over.
        if (!QFileInfo(path).isFile())
            throw TavrelError(QStringLiteral("找不到雨型文件“%1”").arg(QDir::toNativeSeparators(path)));
        OpenRainModelFile(QFileInfo(path).absoluteFilePath());
    });
}

namespace {
// The one local file a drag carries, or an empty text when it carries anything else
// (several files, a folder, text, a web address).
QString DroppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return {};
    const QString path = data->urls().front().toLocalFile();
    return QFileInfo(path).isFile() ? path : QString();
}
} // namespace

void TFormTavrel::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFormTavrel::dragMoveEvent(QDragMoveEvent *event)
{
    if (!DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TFormTavrel::dropEvent(QDropEvent *event)
{
    const QString path = DroppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Opened once the drop is over, so the program the file came from is not held up
    // while a message box waits for an answer.
    QMetaObject::invokeMethod(
        this,
        [this, path] {
            runCommand([this, path] {
                if (MaybeSaveChanges())
                    OpenRainModelFile(path);
            });
        },
        Qt::QueuedConnection);
}

bool TFormTavrel::confirmChangedName(const QString &chosen, const QString &changed, const QString &caption)
{
    // The dialog asked about the name as typed; a file under the changed name would
    // otherwise be replaced without a word.
    if (changed == chosen || !QFileInfo::exists(changed))
        return true;
    return platform.messageBox(this, MessageIcon::Question, caption,
                               QStringLiteral("%1 已存在。\r\n要替换它吗？").arg(QFileInfo(changed).fileName()),
                               MessageButtons::YesNo)
        == MessageResult::Yes;
}

