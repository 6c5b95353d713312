#pragma once
// Every place where the program would wait for a person or reach outside the process goes
// through this interface. The desktop gets QtPlatform; tests get ScriptedPlatform, which
// answers from a script and records every call.
#include "core/FileType.h"
#include "platform/Http.h"
#include "settings/FontText.h"
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QImage;
class QPrinter;
class QWidget;


struct FileDialogRequest {
    QString title;
    QList<FileTypeEntry> types;
    int selectedType = 0;       // index into types, from 0
    QString fileName;           // proposed name, may be a bare name
    QString folder;             // where the dialog opens when the name has no folder; empty: anywhere
    bool overwritePrompt = false;
    bool mustExist = false;     // open dialog: folder and file must exist
    // Save dialog: the extension (without its dot) the dialog adds to a name typed without
    // one, before it asks about replacing a file. Empty: names stay as typed.
    QString defaultSuffix;
    bool suffixFollowsType = false;   // pictures: the type chosen gives the suffix
};

struct FileDialogResult {
    bool accepted = false;
    QString path;
    int selectedType = 0;       // index into the request's types when the dialog closed
};

enum class MessageIcon { Information, Warning, Error, Question };
// SaveDiscardCancel: the question before work that is not saved would be lost, answered
// Save (保存), Discard (不保存) or Cancel (取消).
enum class MessageButtons { Ok, YesNo, SaveDiscardCancel };
enum class MessageResult { Ok, Yes, No, Cancel, Save, Discard };

struct PrintRequest {
    QString title;              // the preview's title and the printed document's name
    QString pdfFileName;        // proposed file where no printer is set up and a PDF file is written
};

struct PrintResult {
    bool printed = false;
    QString pdfFile;            // the PDF file written, when the print went to one
};

class Platform {
public:
    virtual ~Platform() = default;

    virtual FileDialogResult saveFileDialog(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual FileDialogResult openFileDialog(QWidget *parent, const FileDialogRequest &request) = 0;
    virtual MessageResult messageBox(QWidget *parent, MessageIcon icon, const QString &caption,
                                     const QString &text, MessageButtons buttons = MessageButtons::Ok) = 0;
    // Face, size, styles and colour; false when the user cancels.
    virtual bool fontDialog(QWidget *parent, TFontInfo &font) = 0;
    // Shows a form modally and returns its QDialog result code.
    virtual int showModal(QDialog *dialog) = 0;
    // The desktop's default program for a file or web address; never waited for. False
    // when the desktop has no program for it, or none could be started.
    virtual bool openWithDefaultProgram(const QString &fileOrUrl) = 0;
    // The desktop's text editor with this file; false as above.
    virtual bool openInTextEditor(const QString &path) = 0;
    virtual HttpReply httpGet(const HttpRequest &request) = 0;
    virtual QString appDataFolder() = 0;
    virtual QString tempFolder() = 0;
    // Puts plain text on the system clipboard.
    virtual void setClipboardText(const QString &text) = 0;
    // Puts a picture on the system clipboard.
    virtual void setClipboardImage(const QImage &image) = 0;
    // A print preview of what `paint` draws on a printer's pages, from which the person
    // prints, to a printer or, where none is set up, to a PDF file.
    virtual PrintResult printPreview(QWidget *parent, const PrintRequest &request,
                                     const std::function<void(QPrinter &)> &paint) = 0;
};

// The product title, the caption of the general error report.
extern const QString ProductTitle;

// The general error report: runs a command handler and shows any failure that escapes
// it in an error box with the product title as caption and the failure's own message.
// Returns false when the command failed.
bool RunCommand(Platform &platform, QWidget *parent, const std::function<void()> &command);
