// The habits of a desktop tool around the storm as a document: the title with the file's
// name and the mark of changes, the question before changes would be lost, undo and redo,
// the recent files, what the window remembers between runs, printing and copying the chart.
#include "FormTavrel.h"
#include "ChartPanel.h"
#include "DocumentState.h"
#include "PrintSupport.h"
#include "RecentFiles.h"
#include "StormChart.h"

#include "core/Failure.h"
#include "core/Numbers.h"
#include "platform/Platform.h"
#include "settings/DesktopSettings.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

QString TFormTavrel::CurrentFileName() const
{
    return document->fileName();
}

void TFormTavrel::prepareDocument()
{
    desktop = std::make_unique<TDesktopSettings>();
    LoadDesktopSettings(settingsPath, *desktop);
    document = new StormDocument(
        [this](const TExpressionObject &shown) {
            model = shown;
            RefreshRainModel();
        },
        [this](const QList<QPoint> &positions) { ChartPanel->setLabelPositions(positions); }, this);
    connect(document, &StormDocument::stateChanged, this, &TFormTavrel::updateTitle);
    connect(ChartPanel, &StormChartPanel::labelsMoved, this, [this](const QList<QPoint> &before, const QList<QPoint> &after) {
        document->labelsMoved(QStringLiteral("移动标签"), before, after);
    });
}

void TFormTavrel::updateTitle()
{
    // Qt shows the mark of changes where "[*]" stands, while the window is modified; a
    // "[*]" in the file's own name is doubled to stay text.
    QString name = document ? document->displayName() : QStringLiteral("未命名");
    name.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    setWindowTitle(QStringLiteral("%1[*] - %2").arg(name, MainWindowCaption));
    setWindowModified(document && document->isModified());
}

bool TFormTavrel::MaybeSaveChanges()
{
    if (!document->isModified())
        return true;
    const MessageResult answer = platform.messageBox(
        this, MessageIcon::Question, ProductTitle,
        QStringLiteral("雨型“%1”已修改，尚未保存。\r\n是否保存修改？").arg(document->displayName()),
        MessageButtons::SaveDiscardCancel);
    if (answer == MessageResult::Discard)
        return true;
    if (answer != MessageResult::Save)
        return false;
    // A failed save is reported like any command's failure, and the storm stays.
    bool saved = false;
    RunCommand(platform, this, [this, &saved] { saved = SaveRainModelFile(CurrentFileName()); });
    return saved;
}

void TFormTavrel::closeEvent(QCloseEvent *event)
{
    if (!MaybeSaveChanges()) {
        event->ignore();
        return;
    }
    rememberDesktop();
    event->accept();
}

void TFormTavrel::OpenRecentFile(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        desktop->recentFiles = WithoutRecentFile(desktop->recentFiles, path);
        recentMenu->setFiles(desktop->recentFiles);
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"),
                            QStringLiteral("找不到文件“%1”，已将它从最近打开的文件中删去。").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (MaybeSaveChanges())
        OpenRainModelFile(path);
}

void TFormTavrel::restoreDesktop()
{
    const QRect saved = desktop->window;
    if (!saved.isEmpty()) {
        // A place on a screen that is no longer there would put the window out of reach.
        for (const QScreen *screen : QGuiApplication::screens()) {
            const QRect seen = screen->availableGeometry().intersected(saved);
            if (seen.width() >= 100 && seen.height() >= 50) {
                resize(saved.size().boundedTo(screen->availableGeometry().size()));
                move(saved.topLeft());
                break;
            }
        }
    }
    if (desktop->windowMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (!desktop->labelPositions.isEmpty())
        ChartPanel->setLabelPositions(desktop->labelPositions);
}

void TFormTavrel::rememberDesktop()
{
    desktop->windowMaximized = isMaximized();
    desktop->window = isMaximized() || isFullScreen() ? normalGeometry() : QRect(pos(), size());
    desktop->labelPositions = ChartPanel->labelPositions();
    try {
        SaveDesktopSettings(settingsPath, *desktop);
    } catch (const TavrelError &) {
        // Only a convenience is lost; the person is not held up for it. The settings' own
        // writes say it when the file cannot be written.
    }
}

void TFormTavrel::rememberFile(QString TDesktopSettings::*kind, const QString &path)
{
    const QFileInfo info(path);
    (*desktop).*kind = QDir::toNativeSeparators(info.absolutePath());
    if (kind == &TDesktopSettings::rainModelFolder) {
        desktop->recentFiles = WithRecentFile(desktop->recentFiles, QDir::toNativeSeparators(info.absoluteFilePath()));
        recentMenu->setFiles(desktop->recentFiles);
    }
}

QString TFormTavrel::folderFor(QString TDesktopSettings::*kind) const
{
    return (*desktop).*kind;
}

void TFormTavrel::Menu_PrintClick()
{
    const QString title = QStringLiteral("芝加哥雨型P=%1年 t=%2分 r=%3")
                              .arg(FormatGeneral(model.Storm_RepeatYear), FormatGeneral(model.Storm_Time),
                                   FormatGeneral(model.Storm_Percent));
    const QString folder = folderFor(&TDesktopSettings::exportFolder);
    PrintRequest request;
    request.title = title;
    request.pdfFileName = QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(title + QStringLiteral(".pdf"));
    const StormPrintout printout{title, QSizeF(Chart1->size()),
                                 [this](QCPPainter &painter, const QRectF &target) { ChartPanel->paintVector(painter, target); },
                                 GridTextsShown()};
    const PrintResult result =
        platform.printPreview(this, request, [&printout](QPrinter &printer) { PaintStormPrintout(printer, printout); });
    if (result.printed && !result.pdfFile.isEmpty())
        rememberFile(&TDesktopSettings::exportFolder, result.pdfFile);
}

void TFormTavrel::CopyPictureClick()
{
    platform.setClipboardImage(ChartPanel->picture());
}
