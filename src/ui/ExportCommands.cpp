// The commands that write the storm to other files: the data exports of the format table,
// the calculation book, the chart pictures, and opening what was written.
#include "ChartPanel.h"
#include "FormTavrel.h"
#include "PictureEncoding.h"
#include "StormComparison.h"

#include "core/Numbers.h"
#include "core/TextFile.h"
#include "export/CalcBook.h"
#include "export/ExportFormats.h"
#include "export/SwmmExport.h"
#include "platform/Platform.h"
#include "settings/DesktopSettings.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

QString TFormTavrel::askExportFileName(const ExportFormat &format, const ExportInput &input)
{
    FileDialogRequest request;
    request.title = format.title;
    request.types = format.types;
    request.selectedType = format.selectedType;
    request.fileName = format.proposedName(input);
    request.overwritePrompt = true;
    request.folder = folderFor(&TDesktopSettings::exportFolder);
    // The dialog adds the extension to a name typed without one, so the replace question
    // is its own, and 否 there keeps the dialog open.
    request.defaultSuffix = format.extension.mid(1);
    request.suffixFollowsType = format.typeDecidesFormat;
    for (;;) {
        const FileDialogResult chosen = platform.saveFileDialog(this, request);
        if (!chosen.accepted || chosen.path.trimmed().isEmpty())
            return {};
        const QString path = ReplaceExtension(chosen.path, ExportExtension(format, chosen.selectedType));
        if (confirmChangedName(chosen.path, path, request.title)) {
            rememberFile(&TDesktopSettings::exportFolder, path);
            return path;
        }
        // 否 to replacing the file under the changed name: back to the dialog.
        request.fileName = chosen.path;
        request.selectedType = chosen.selectedType;
    }
}

void TFormTavrel::MenuSaveDataToExcelClick()
{
    RunExport(CsvFormat());
}

void TFormTavrel::MenuSaveDataToSWMMClick()
{
    RunExport(SwmmFormat());
}

void TFormTavrel::MenuSaveDataToWordClick()
{
    RunExport(WordTableFormat());
}

void TFormTavrel::btn_OutputExcelPicDataClick()
{
    RunExport(ExcelChartFormat());
}

void TFormTavrel::Button_OutputResultClick()
{
    RunExport(CalcBookFormat());
}

void TFormTavrel::Menu_SavePicClick(int tag)
{
    RunExport(PictureFormat(tag));
}

void TFormTavrel::RunExport(const ExportFormat &format)
{
    const StormFamily *family = Comparison->active() ? &Comparison->family() : nullptr;
    if (format.wholeFamily ? !family || family->members.empty() : storm.points.empty()) {
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"), format.emptyMessage);
        return;
    }
    if (format.swmmUnits && SwmmNeedsSwitch(options.Int_TimeForamtidx, options.Int_StormUnitidx)) {
        // The table shows what the file holds: the window switches with it and says so.
        options.Int_TimeForamtidx = 0;
        options.Int_StormUnitidx = 0;
        RefreshRainModel();
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"), SwmmSwitchMessage);
        if (storm.points.empty())
            return;   // the recomputation failed and said so
    }
    const ExportInput input = exportInput(format);
    const QString path = askExportFileName(format, input);
    if (path.isEmpty())
        return;
    const ExportResult result = format.write(input, path);
    if (result.placement != PackagePlacement::Placed) {
        platform.messageBox(this, MessageIcon::Error, QStringLiteral("错误"), PackagePlacementFailedMessage);
        return;
    }
    if (!result.leftOut.isEmpty()) {
        const QString storms = result.leftOut.join(QStringLiteral("\r\n"));
        if (!result.written) {
            platform.messageBox(this, MessageIcon::Error, QStringLiteral("错误"), QStringLiteral("没有写入文件：\r\n") + storms);
            return;
        }
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"), QStringLiteral("以下暴雨未写入：\r\n") + storms);
    }
    openWrittenFile(path, format.opensInTextEditor);
}

ExportInput TFormTavrel::exportInput(const ExportFormat &format)
{
    ChartPictureWriter picture = [this](const QString &path) { SaveChartPicture(path); };
    if (format.chartAtBookSize)
        picture = [this](const QString &path) { SaveBookChartPicture(path); };
    return {model, options, GridTextsShown(), platform.tempFolder(), picture,
            Comparison->active() ? &Comparison->family() : nullptr};
}

PackagePlacement TFormTavrel::WriteCalcBookFile(const QString &path)
{
    return CalcBookFormat().write(exportInput(CalcBookFormat()), path).placement;
}

void TFormTavrel::SaveBookChartPicture(const QString &path)
{
    // The book is about the current storm: its chart shows no family.
    const StormComparison::SingleStormView single(*Comparison);
    WritePictureFile(path, ChartPanel->pictureAt(CalcBookPictureSize(logicalDpiX())));
}

void TFormTavrel::openWrittenFile(const QString &path, bool inTextEditor)
{
    const bool opened = inTextEditor ? platform.openInTextEditor(path) : platform.openWithDefaultProgram(path);
    if (!opened)
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"),
                            QStringLiteral("文件已保存为“%1”，但系统中没有可以打开这类文件的程序。")
                                .arg(QDir::toNativeSeparators(path)));
}

void TFormTavrel::SaveChartPicture(const QString &path)
{
    if (PictureFormatOf(path))
        WritePictureFile(path, ChartPanel->picture());
}
