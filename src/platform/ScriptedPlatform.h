#pragma once
// The seam for tests: every call is recorded, every question is answered from a queue, and
// modal forms are shown without a modal loop so a script can fill them in and press their
// buttons.
#include "platform/Platform.h"
#include <QImage>
#include <deque>
#include <optional>
#include <vector>

enum class PlatformCallKind {
    SaveFileDialog,
    OpenFileDialog,
    MessageBox,
    FontDialog,
    ShowModal,
    OpenWithDefaultProgram,
    OpenInTextEditor,
    HttpGet,
    AppDataFolder,
    TempFolder,
    ClipboardText,
    ClipboardImage,
    PrintPreview,
};

struct PlatformCall {
    PlatformCallKind kind = PlatformCallKind::MessageBox;
    QString title;          // file dialog title, message caption, window title of a modal form
    QString text;           // message text; object name of a modal form
    QString parentName;     // object name of the parent widget, if any
    MessageIcon icon = MessageIcon::Information;
    MessageButtons buttons = MessageButtons::Ok;
    FileDialogRequest fileRequest;
    TFontInfo font;         // the font the dialog was opened with
    HttpRequest httpRequest;
    QString path;           // file or address handed to the desktop
    QString clipboard;      // text put on the clipboard
    QImage image;           // picture put on the clipboard
    PrintRequest printRequest;
};

class ScriptedPlatform : public Platform {
public:
    using ModalScript = std::function<int(QDialog *)>;

    ScriptedPlatform();

    FileDialogResult saveFileDialog(QWidget *parent, const FileDialogRequest &request) override;
    FileDialogResult openFileDialog(QWidget *parent, const FileDialogRequest &request) override;
    MessageResult messageBox(QWidget *parent, MessageIcon icon, const QString &caption,
                             const QString &text, MessageButtons buttons = MessageButtons::Ok) override;
    bool fontDialog(QWidget *parent, TFontInfo &font) override;
    // Shows the dialog without a modal loop and runs the next script on it. When the script
    // closes the dialog (by pressing its buttons), the dialog's result is the answer;
    // otherwise the dialog is hidden and the script's return value is the answer, as if the
    // person had closed it some other way. No script: the dialog is shown and rejected at once.
    int showModal(QDialog *dialog) override;
    bool openWithDefaultProgram(const QString &fileOrUrl) override;
    bool openInTextEditor(const QString &path) override;
    HttpReply httpGet(const HttpRequest &request) override;
    QString appDataFolder() override;
    QString tempFolder() override;
    // Recorded as a ClipboardText call with the text; the system clipboard is not touched.
    void setClipboardText(const QString &text) override;
    // Recorded as a ClipboardImage call with the picture.
    void setClipboardImage(const QImage &image) override;
    // Recorded; the next print answer, if any, is the PDF file the person prints to from the
    // preview: the pages are drawn into it as a printer would get them.
    PrintResult printPreview(QWidget *parent, const PrintRequest &request,
                             const std::function<void(QPrinter &)> &paint) override;

    // Every call, in order. Calls made from inside a modal script follow the ShowModal call.
    std::vector<PlatformCall> calls;

    // Answers, taken from the front. An empty queue cancels the dialog, answers Ok to an Ok
    // box, No to a Yes/No box and Cancel to a save question, closes a print preview without
    // printing, and fails an HTTP request with "no network in tests".
    std::deque<FileDialogResult> saveAnswers;
    std::deque<FileDialogResult> openAnswers;
    std::deque<MessageResult> messageAnswers;
    std::deque<std::optional<TFontInfo>> fontAnswers;
    std::deque<ModalScript> modalScripts;
    std::deque<HttpReply> httpReplies;
    std::deque<QString> printAnswers;   // PDF files

    bool desktopOpens = true;   // what openWithDefaultProgram and openInTextEditor answer
    QString appData;        // default: $XDG_CONFIG_HOME
    QString temp;           // default: QDir::tempPath()

    int count(PlatformCallKind kind) const;
    // The calls of one kind, in order.
    std::vector<PlatformCall> callsOf(PlatformCallKind kind) const;
    // The last call of a kind; a default call (empty texts) when there was none.
    PlatformCall last(PlatformCallKind kind) const;
    PlatformCall lastMessage() const { return last(PlatformCallKind::MessageBox); }
    // The texts of all message boxes, in order.
    QStringList messageTexts() const;
    void clearCalls() { calls.clear(); }

private:
    PlatformCall &record(PlatformCallKind kind, QWidget *parent);
    FileDialogResult fileDialog(PlatformCallKind kind, QWidget *parent, const FileDialogRequest &request,
                                std::deque<FileDialogResult> &answers);
};
