#pragma once
// The desktop side of the seam: real dialogs, the desktop's programs, the network.
#include "platform/Platform.h"
#include <QDialog>

class QCheckBox;
class QFontComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

class QtPlatform : public Platform {
public:
    FileDialogResult saveFileDialog(QWidget *parent, const FileDialogRequest &request) override;
    FileDialogResult openFileDialog(QWidget *parent, const FileDialogRequest &request) override;
    MessageResult messageBox(QWidget *parent, MessageIcon icon, const QString &caption,
                             const QString &text, MessageButtons buttons = MessageButtons::Ok) override;
    bool fontDialog(QWidget *parent, TFontInfo &font) override;
    int showModal(QDialog *dialog) override;
    bool openWithDefaultProgram(const QString &fileOrUrl) override;
    bool openInTextEditor(const QString &path) override;
    HttpReply httpGet(const HttpRequest &request) override;
    QString appDataFolder() override;
    QString tempFolder() override;
    void setClipboardText(const QString &text) override;
    void setClipboardImage(const QImage &image) override;
    PrintResult printPreview(QWidget *parent, const PrintRequest &request,
                             const std::function<void(QPrinter &)> &paint) override;
};

// The name filters of a file dialog, one per type entry: the entry's name as it stands when
// it already ends with its mask in brackets ("文本文件(*.txt)"), otherwise the name followed
// by the mask ("Excel文件 (*.csv)"), so the dialog can read the patterns from every filter.
QStringList FileDialogNameFilters(const QList<FileTypeEntry> &types);

// Qt's own font dialog knows nothing of colour, which the chart fonts carry, so the font
// choice is made here: face, size, the four styles and the colour, with a sample.
class FontColorDialog : public QDialog {
    Q_OBJECT
public:
    explicit FontColorDialog(QWidget *parent = nullptr);

    void setFontInfo(const TFontInfo &font);
    TFontInfo fontInfo() const { return current; }
    // What the colour button sets after its colour dialog.
    void setColor(const QColor &color);

private:
    void chooseColor();
    void updateSample();

    TFontInfo current;
    QFontComboBox *faceBox;
    QSpinBox *sizeBox;
    QCheckBox *boldBox;
    QCheckBox *italicBox;
    QCheckBox *underlineBox;
    QCheckBox *strikeOutBox;
    QPushButton *colorButton;
    QLabel *sample;
};
