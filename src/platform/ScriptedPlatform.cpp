#include "platform/ScriptedPlatform.h"
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

ScriptedPlatform::ScriptedPlatform()
    : appData(qEnvironmentVariable("XDG_CONFIG_HOME")), temp(QDir::tempPath())
{
}

PlatformCall &ScriptedPlatform::record(PlatformCallKind kind, QWidget *parent)
{
    PlatformCall call;
    call.kind = kind;
    if (parent)
        call.parentName = parent->objectName();
    calls.push_back(call);
    return calls.back();
}

namespace {

template <typename T>
std::optional<T> TakeFront(std::deque<T> &queue)
{
    if (queue.empty())
        return std::nullopt;
    T value = std::move(queue.front());
    queue.pop_front();
    return value;
}

} // namespace

FileDialogResult ScriptedPlatform::fileDialog(PlatformCallKind kind, QWidget *parent, const FileDialogRequest &request,
                                              std::deque<FileDialogResult> &answers)
{
    PlatformCall &call = record(kind, parent);
    call.title = request.title;
    call.fileRequest = request;
    FileDialogResult cancelled;
    cancelled.selectedType = request.selectedType;
    FileDialogResult answer = TakeFront(answers).value_or(cancelled);
    // As a real save dialog does: a name typed without an extension gets the default one.
    if (answer.accepted && !request.defaultSuffix.isEmpty() && !QFileInfo(answer.path).fileName().contains(QLatin1Char('.')))
        answer.path += QLatin1Char('.') + request.defaultSuffix;
    return answer;
}

FileDialogResult ScriptedPlatform::saveFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    return fileDialog(PlatformCallKind::SaveFileDialog, parent, request, saveAnswers);
}

FileDialogResult ScriptedPlatform::openFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    return fileDialog(PlatformCallKind::OpenFileDialog, parent, request, openAnswers);
}

MessageResult ScriptedPlatform::messageBox(QWidget *parent, MessageIcon icon, const QString &caption,
                                           const QString &text, MessageButtons buttons)
{
    PlatformCall &call = record(PlatformCallKind::MessageBox, parent);
    call.title = caption;
    call.text = text;
    call.icon = icon;
    call.buttons = buttons;
    const MessageResult unanswered = buttons == MessageButtons::YesNo ? MessageResult::No
        : buttons == MessageButtons::SaveDiscardCancel                ? MessageResult::Cancel
                                                                      : MessageResult::Ok;
    return TakeFront(messageAnswers).value_or(unanswered);
}

bool ScriptedPlatform::fontDialog(QWidget *parent, TFontInfo &font)
{
    PlatformCall &call = record(PlatformCallKind::FontDialog, parent);
    call.font = font;
    const std::optional<TFontInfo> answer = TakeFront(fontAnswers).value_or(std::nullopt);
    if (!answer)
        return false;
    font = *answer;
    return true;
}

int ScriptedPlatform::showModal(QDialog *dialog)
{
    {
        // The script may add calls of its own, so the reference must not outlive this block.
        PlatformCall &call = record(PlatformCallKind::ShowModal, dialog->parentWidget());
        call.title = dialog->windowTitle();
        call.text = dialog->objectName();
    }
    // Taken before it runs, so a form opened from inside the script gets the next one.
    std::optional<ModalScript> script = TakeFront(modalScripts);
    dialog->setResult(QDialog::Rejected);
    dialog->show();
    if (!script || !*script) {
        // Nobody to fill it in: the person closes it again.
        dialog->reject();
        return dialog->result();
    }
    const int answer = (*script)(dialog);
    if (!dialog->isVisible())
        return dialog->result();
    dialog->hide();
    return answer;
}

bool ScriptedPlatform::openWithDefaultProgram(const QString &fileOrUrl)
{
    record(PlatformCallKind::OpenWithDefaultProgram, nullptr).path = fileOrUrl;
    return desktopOpens;
}

bool ScriptedPlatform::openInTextEditor(const QString &path)
{
    record(PlatformCallKind::OpenInTextEditor, nullptr).path = path;
    return desktopOpens;
}

HttpReply ScriptedPlatform::httpGet(const HttpRequest &request)
{
    record(PlatformCallKind::HttpGet, nullptr).httpRequest = request;
    HttpReply offline;
    offline.error = QStringLiteral("no network in tests");
    return TakeFront(httpReplies).value_or(offline);
}

QString ScriptedPlatform::appDataFolder()
{
    record(PlatformCallKind::AppDataFolder, nullptr).path = appData;
    return appData;
}

QString ScriptedPlatform::tempFolder()
{
    record(PlatformCallKind::TempFolder, nullptr).path = temp;
    return temp;
}

int ScriptedPlatform::count(PlatformCallKind kind) const
{
    int n = 0;
    for (const PlatformCall &call : calls)
        n += call.kind == kind;
    return n;
}

std::vector<PlatformCall> ScriptedPlatform::callsOf(PlatformCallKind kind) const
{
    std::vector<PlatformCall> result;
    for (const PlatformCall &call : calls)
        if (call.kind == kind)
            result.push_back(call);
    return result;
}

PlatformCall ScriptedPlatform::last(PlatformCallKind kind) const
{
    for (auto it = calls.rbegin(); it != calls.rend(); ++it)
        if (it->kind == kind)
            return *it;
    PlatformCall none;
    none.kind = kind;
    return none;
}

QStringList ScriptedPlatform::messageTexts() const
{
    QStringList texts;
    for (const PlatformCall &call : calls)
        if (call.kind == PlatformCallKind::MessageBox)
            texts << call.text;
    return texts;
}

void ScriptedPlatform::setClipboardText(const QString &text)
{
    record(PlatformCallKind::ClipboardText, nullptr).clipboard = text;
}

void ScriptedPlatform::setClipboardImage(const QImage &image)
{
    record(PlatformCallKind::ClipboardImage, nullptr).image = image;
}

PrintResult ScriptedPlatform::printPreview(QWidget *parent, const PrintRequest &request,
                                           const std::function<void(QPrinter &)> &paint)
{
    record(PlatformCallKind::PrintPreview, parent).printRequest = request;
    PrintResult result;
    const std::optional<QString> pdf = TakeFront(printAnswers);
    if (!pdf)
        return result;
    // The screen's resolution: the chart measures its texts there (QCustomPlot does the same
    // for its own PDF files); lines and texts stay vectors all the same.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(*pdf);
    printer.setDocName(request.title);
    paint(printer);
    result.printed = true;
    result.pdfFile = *pdf;
    return result;
}
