#include "platform/QtPlatform.h"
#include "core/Failure.h"
#include "core/Numbers.h"
#include "settings/Options.h"
#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontComboBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPixmap>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Whether the desktop names a program for files of this type. xdg-open starts in the
// background and fails there when nothing handles the type, which Qt takes for success,
// so on a free desktop the mime database is asked first. Elsewhere the shell says it.
bool HasProgramFor(const QString &mimeType)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty();
    QProcess process;
    process.start(query, {QStringLiteral("query"), QStringLiteral("default"), mimeType});
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
        return true;   // no answer is no proof of absence: let the shell try
    }
    return !process.readAllStandardOutput().trimmed().isEmpty();
#else
    Q_UNUSED(mimeType);
    return true;
#endif
}

FileDialogResult RunFileDialog(QWidget *parent, const FileDialogRequest &request, bool save)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(!save && request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(save && request.overwritePrompt));

    const QStringList filters = FileDialogNameFilters(request.types);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.selectedType >= 0 && request.selectedType < filters.size())
            dialog.selectNameFilter(filters[request.selectedType]);
    }
    if (save && !request.defaultSuffix.isEmpty()) {
        dialog.setDefaultSuffix(request.defaultSuffix);
        // A picture's type decides its extension: the suffix follows the type chosen.
        const auto followType = [&dialog, &request, filters](const QString &filter) {
            const qsizetype index = filters.indexOf(filter);
            const QString mask = index >= 0 && index < request.types.size() ? request.types[index].mask : QString();
            if (mask.startsWith(QLatin1String("*.")) && mask != QLatin1String("*.*") && !mask.contains(QLatin1Char(';')))
                dialog.setDefaultSuffix(mask.mid(2));
        };
        if (request.suffixFollowsType)
            QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followType);
    }
    if (!request.folder.isEmpty() && QFileInfo(request.folder).isDir())
        dialog.setDirectory(request.folder);
    if (!request.fileName.isEmpty()) {
        const QString name = QDir::fromNativeSeparators(request.fileName);
        if (name.contains(QLatin1Char('/'))) {
            const QFileInfo info(name);
            dialog.setDirectory(info.absolutePath());
            dialog.selectFile(info.fileName());
        } else {
            dialog.selectFile(name);
        }
    }

    FileDialogResult result;
    result.selectedType = request.selectedType;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const int index = filters.indexOf(dialog.selectedNameFilter());
    if (index >= 0)
        result.selectedType = index;
    const QStringList files = dialog.selectedFiles();
    if (accepted && !files.isEmpty()) {
        result.accepted = true;
        result.path = files.first();
    }
    return result;
}

QPixmap ColorSwatch(const QColor &color)
{
    QPixmap swatch(16, 16);
    swatch.fill(color);
    return swatch;
}

} // namespace

QStringList FileDialogNameFilters(const QList<FileTypeEntry> &types)
{
    QStringList filters;
    for (const FileTypeEntry &type : types) {
        // Qt separates the patterns of one filter by blanks, the type lists by ";".
        const QString patterns = type.mask.split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        if (type.name.endsWith(QLatin1Char('(') + type.mask + QLatin1Char(')'))
            || type.name.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << type.name;
        else
            filters << type.name + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

FileDialogResult QtPlatform::saveFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    return RunFileDialog(parent, request, true);
}

FileDialogResult QtPlatform::openFileDialog(QWidget *parent, const FileDialogRequest &request)
{
    return RunFileDialog(parent, request, false);
}

MessageResult QtPlatform::messageBox(QWidget *parent, MessageIcon icon, const QString &caption,
                                     const QString &text, MessageButtons buttons)
{
    QMessageBox::Icon qtIcon = QMessageBox::Information;
    switch (icon) {
    case MessageIcon::Information: qtIcon = QMessageBox::Information; break;
    case MessageIcon::Warning: qtIcon = QMessageBox::Warning; break;
    case MessageIcon::Error: qtIcon = QMessageBox::Critical; break;
    case MessageIcon::Question: qtIcon = QMessageBox::Question; break;
    }
    QMessageBox::StandardButtons qtButtons = QMessageBox::Ok;
    if (buttons == MessageButtons::YesNo)
        qtButtons = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == MessageButtons::SaveDiscardCancel)
        qtButtons = QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel;
    QMessageBox box(qtIcon, caption, text, qtButtons, parent);
    if (buttons == MessageButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    if (buttons == MessageButtons::SaveDiscardCancel) {
        // Qt's own words for these differ between its translations; the question names them so.
        box.button(QMessageBox::Save)->setText(QStringLiteral("保存"));
        box.button(QMessageBox::Discard)->setText(QStringLiteral("不保存"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
        box.setDefaultButton(QMessageBox::Save);
        box.setEscapeButton(QMessageBox::Cancel);
    }
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok: return MessageResult::Ok;
    case QMessageBox::Yes: return MessageResult::Yes;
    case QMessageBox::No: return MessageResult::No;
    case QMessageBox::Save: return MessageResult::Save;
    case QMessageBox::Discard: return MessageResult::Discard;
    case QMessageBox::Cancel: return MessageResult::Cancel;
    default:
        return buttons == MessageButtons::YesNo ? MessageResult::No
            : buttons == MessageButtons::SaveDiscardCancel ? MessageResult::Cancel
                                                           : MessageResult::Ok;
    }
}

bool QtPlatform::fontDialog(QWidget *parent, TFontInfo &font)
{
    FontColorDialog dialog(parent);
    dialog.setFontInfo(font);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    font = dialog.fontInfo();
    return true;
}

int QtPlatform::showModal(QDialog *dialog)
{
    return dialog->exec();
}

bool QtPlatform::openWithDefaultProgram(const QString &fileOrUrl)
{
    const QFileInfo info(fileOrUrl);
    if (!fileOrUrl.isEmpty() && info.exists()) {
        if (!HasProgramFor(QMimeDatabase().mimeTypeForFile(info).name()))
            return false;
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    }
    return QDesktopServices::openUrl(QUrl(fileOrUrl));
}

bool QtPlatform::openInTextEditor(const QString &path)
{
    const QFileInfo info(path);
#ifdef Q_OS_WIN
    const QString notepad = QStandardPaths::findExecutable(QStringLiteral("notepad.exe"));
    if (!notepad.isEmpty())
        return QProcess::startDetached(notepad, {QDir::toNativeSeparators(info.absoluteFilePath())});
#endif
    return openWithDefaultProgram(info.absoluteFilePath());
}

HttpReply QtPlatform::httpGet(const HttpRequest &request)
{
    QNetworkAccessManager manager;
    QNetworkRequest networkRequest{QUrl(request.url)};
    for (const auto &header : request.headers)
        networkRequest.setRawHeader(header.first, header.second);
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                request.followRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                                        : QNetworkRequest::ManualRedirectPolicy);

    // The reply belongs to the manager and goes with it.
    QNetworkReply *reply = manager.get(networkRequest);
    enum class Stop { No, TimeLimit, TooLarge } stop = Stop::No;   // the transfer was broken off
    QByteArray body;
    const auto take = [&] {
        if (stop != Stop::No)
            return;
        body += reply->readAll();
        if (body.size() > request.maxBodyBytes) {
            stop = Stop::TooLarge;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    if (!reply->isFinished()) {
        // The command waits for its answer; the person at the window waits with it, but
        // never longer than the time limit.
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
            stop = Stop::TimeLimit;
            reply->abort();
        });
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        deadline.start(std::max(request.timeLimitMs, 0));
        if (!reply->isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    take();

    HttpReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.contentType = reply->rawHeader("Content-Type");
    if (stop == Stop::TimeLimit) {
        result.error = QStringLiteral("服务器在%1秒内没有回复完毕").arg(FormatGeneral(request.timeLimitMs / 1000.0));
    } else if (stop == Stop::TooLarge) {
        result.error = QStringLiteral("服务器的回复超过了%1 KiB，已放弃").arg(FormatGeneral(request.maxBodyBytes / 1024.0));
    } else if (result.status >= 300 && result.status <= 399) {
        // Redirections are not followed: the address is fixed, a move is reported.
        const QByteArray location = reply->rawHeader("Location");
        result.error = QStringLiteral("服务器要求转到别的地址（HTTP %1%2），没有跟随").arg(result.status)
                           .arg(location.isEmpty() ? QString() : QStringLiteral("：") + QString::fromUtf8(location));
    } else if (reply->error() != QNetworkReply::NoError && (result.status < 400 || result.status > 599)) {
        result.error = reply->errorString();
    } else if (result.status < 200 || result.status > 299) {
        const QString reasonPhrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        result.error = QStringLiteral("HTTP %1 %2").arg(result.status).arg(reasonPhrase).trimmed();
    }
    result.ok = result.error.isEmpty();
    if (stop == Stop::No)
        result.body = std::move(body);
    return result;
}

QString QtPlatform::appDataFolder()
{
    // The settings roam with the user on Windows, as the command-line tool's do.
    return QDir::fromNativeSeparators(UserAppDataFolder());
}

QString QtPlatform::tempFolder()
{
    return QDir::tempPath();
}

FontColorDialog::FontColorDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("字体"));

    faceBox = new QFontComboBox(this);
    faceBox->setObjectName(QStringLiteral("faceBox"));
    sizeBox = new QSpinBox(this);
    sizeBox->setObjectName(QStringLiteral("sizeBox"));
    sizeBox->setRange(1, 999);
    boldBox = new QCheckBox(QStringLiteral("粗体"), this);
    boldBox->setObjectName(QStringLiteral("boldBox"));
    italicBox = new QCheckBox(QStringLiteral("斜体"), this);
    italicBox->setObjectName(QStringLiteral("italicBox"));
    underlineBox = new QCheckBox(QStringLiteral("下划线"), this);
    underlineBox->setObjectName(QStringLiteral("underlineBox"));
    strikeOutBox = new QCheckBox(QStringLiteral("删除线"), this);
    strikeOutBox->setObjectName(QStringLiteral("strikeOutBox"));
    colorButton = new QPushButton(QStringLiteral("颜色..."), this);
    colorButton->setObjectName(QStringLiteral("colorButton"));
    sample = new QLabel(QStringLiteral("示例ABC123"), this);
    sample->setObjectName(QStringLiteral("sample"));
    sample->setAlignment(Qt::AlignCenter);
    sample->setFrameShape(QFrame::StyledPanel);
    sample->setMinimumSize(240, 64);
    sample->setAutoFillBackground(true);

    auto *styles = new QGridLayout;
    styles->addWidget(boldBox, 0, 0);
    styles->addWidget(italicBox, 0, 1);
    styles->addWidget(underlineBox, 1, 0);
    styles->addWidget(strikeOutBox, 1, 1);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("字体："), faceBox);
    form->addRow(QStringLiteral("大小："), sizeBox);
    form->addRow(QStringLiteral("效果："), styles);
    form->addRow(QStringLiteral("颜色："), colorButton);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(sample, 1);
    layout->addWidget(buttons);

    connect(faceBox, &QFontComboBox::currentFontChanged, this, [this](const QFont &font) {
        current.Name = font.family();
        updateSample();
    });
    connect(sizeBox, &QSpinBox::valueChanged, this, [this](int size) {
        current.Size = size;
        updateSample();
    });
    const auto styleBox = [this](QCheckBox *box, bool TFontInfo::*style) {
        connect(box, &QCheckBox::toggled, this, [this, style](bool on) {
            current.*style = on;
            updateSample();
        });
    };
    styleBox(boldBox, &TFontInfo::Bold);
    styleBox(italicBox, &TFontInfo::Italic);
    styleBox(underlineBox, &TFontInfo::Underline);
    styleBox(strikeOutBox, &TFontInfo::StrikeOut);
    connect(colorButton, &QPushButton::clicked, this, &FontColorDialog::chooseColor);

    setFontInfo(current);
}

void FontColorDialog::setFontInfo(const TFontInfo &font)
{
    current = font;
    // The widgets show the font without reporting it back: a face that this desktop lacks
    // keeps its name unless the person picks another one.
    const QList<QWidget *> editors = {faceBox, sizeBox, boldBox, italicBox, underlineBox, strikeOutBox};
    for (QWidget *editor : editors)
        editor->blockSignals(true);
    faceBox->setCurrentFont(QFont(font.Name));
    sizeBox->setValue(font.Size);
    boldBox->setChecked(font.Bold);
    italicBox->setChecked(font.Italic);
    underlineBox->setChecked(font.Underline);
    strikeOutBox->setChecked(font.StrikeOut);
    for (QWidget *editor : editors)
        editor->blockSignals(false);
    updateSample();
}

void FontColorDialog::setColor(const QColor &color)
{
    if (!color.isValid())
        return;
    current.Color = FromQColor(color);
    updateSample();
}

void FontColorDialog::chooseColor()
{
    const QColor chosen = QColorDialog::getColor(ToQColor(current.Color), this, QStringLiteral("颜色"));
    setColor(chosen);
}

void FontColorDialog::updateSample()
{
    const QColor color = ToQColor(current.Color);
    sample->setFont(ToQFont(current));
    QPalette palette = sample->palette();
    palette.setColor(QPalette::WindowText, color);
    sample->setPalette(palette);
    colorButton->setIcon(QIcon(ColorSwatch(color)));
}

void QtPlatform::setClipboardText(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
}

void QtPlatform::setClipboardImage(const QImage &image)
{
    QGuiApplication::clipboard()->setImage(image);
}

PrintResult QtPlatform::printPreview(QWidget *parent, const PrintRequest &request,
                                     const std::function<void(QPrinter &)> &paint)
{
    // The screen's resolution: the chart measures its texts there (QCustomPlot does the same
    // for its own PDF files); lines and texts stay vectors all the same.
    QPrinter printer(QPrinter::ScreenResolution);
    printer.setDocName(request.title);
    // Where no printer is set up the print goes to a PDF file: the preview's print button
    // then asks for its name, starting from the proposed one.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(request.pdfFileName);
    }
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(request.title);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&paint](QPrinter *target) { paint(*target); });
    PrintResult result;
    result.printed = dialog.exec() == QDialog::Accepted;
    if (result.printed && printer.outputFormat() == QPrinter::PdfFormat)
        result.pdfFile = printer.outputFileName();
    return result;
}
