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

bool TFormTavrel::refuseEmptyResult(const QString &message)
{
    if (!points.empty())
        return false;
    platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"), message);
    return true;
}

namespace {
const QString NoCurveMessage = QStringLiteral("没有曲线可以保存~\r\n点击“添加”按钮，添加新曲线");
} // namespace

QString TFormTavrel::askDataFileName(const QList<FileTypeEntry> &types, int selectedType, const QString &extension,
                                     const QString &proposed)
{
    FileDialogRequest request;
    request.title = QStringLiteral("保存雨型数据");
    request.types = types;
    request.selectedType = selectedType;
    request.fileName = proposed;
    request.overwritePrompt = true;
    request.folder = folderFor(&TDesktopSettings::exportFolder);
    const FileDialogResult chosen = platform.saveFileDialog(this, request);
    if (!chosen.accepted || chosen.path.trimmed().isEmpty())
        return {};
    const QString path = ReplaceExtension(chosen.path, extension);
    if (!confirmChangedName(chosen.path, path, request.title))
        return {};
    rememberFile(&TDesktopSettings::exportFolder, path);
    return path;
}

void TFormTavrel::MenuSaveDataToExcelClick()
{
    runExport(CsvFormat());
}

void TFormTavrel::MenuSaveDataToSWMMClick()
{
    runExport(SwmmFormat());
}

void TFormTavrel::MenuSaveDataToWordClick()
{
    runExport(WordTableFormat());
}

void TFormTavrel::btn_OutputExcelPicDataClick()
{
    runExport(ExcelChartFormat());
}

void TFormTavrel::Button_OutputResultClick()
{
    runExport(CalcBookFormat());
}

void TFormTavrel::runExport(const ExportFormat &format)
{
    if (!format.emptyMessage.isEmpty() && refuseEmptyResult(format.emptyMessage))
        return;
    if (format.swmmUnits && SwmmNeedsSwitch(options.Int_TimeForamtidx, options.Int_StormUnitidx)) {
        // The table shows what the file holds: the window switches with it and says so.
        options.Int_TimeForamtidx = 0;
        options.Int_StormUnitidx = 0;
        RefreshRainModel();
        platform.messageBox(this, MessageIcon::Information, QStringLiteral("提示"), SwmmSwitchMessage);
        if (points.empty())
            return;   // the recomputation failed and said so
    }
    const QString path = askDataFileName(format.types, format.selectedType, format.extension, format.proposedName(model));
    if (path.isEmpty())
        return;
    if (format.write(exportInput(), path) != PackagePlacement::Placed)
        platform.messageBox(this, MessageIcon::Error, QStringLiteral("错误"), PackagePlacementFailedMessage);
    else
        openWrittenFile(path, format.opensInTextEditor);
}

ExportInput TFormTavrel::exportInput()
{
    return {model, options, GridTextsShown(), platform.tempFolder(),
            [this](const QString &picture) { SaveBookChartPicture(picture); }};
}

PackagePlacement TFormTavrel::WriteCalcBookFile(const QString &path)
{
    return CalcBookFormat().write(exportInput(), path);
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

void TFormTavrel::Menu_SavePicClick(int tag)
{
    if (refuseEmptyResult(NoCurveMessage))
        return;
    const QList<FileTypeEntry> types = {{QStringLiteral("位图文件"), QStringLiteral("*.bmp")},
                                        {QStringLiteral("JPG文件"), QStringLiteral("*.jpg")},
                                        {QStringLiteral("PNG文件"), QStringLiteral("*.png")}};
    const int index = std::clamp(tag, 1, 3) - 1;
    FileDialogRequest request;
    request.title = QStringLiteral("保存曲线图片");
    request.types = types;
    request.selectedType = index;
    request.fileName = QStringLiteral("芝加哥雨型P=%1年 t=%2分 r=%3")
                           .arg(FormatGeneral(model.Storm_RepeatYear), FormatGeneral(model.Storm_Time),
                                FormatGeneral(model.Storm_Percent))
        + types[index].mask.mid(1);
    request.overwritePrompt = true;
    request.folder = folderFor(&TDesktopSettings::exportFolder);
    const FileDialogResult chosen = platform.saveFileDialog(this, request);
    if (!chosen.accepted || chosen.path.trimmed().isEmpty())
        return;
    // The type chosen in the dialog decides the format, not the menu entry.
    const int selected = std::clamp(chosen.selectedType, 0, 2);
    const QString path = ReplaceExtension(chosen.path, types[selected].mask.mid(1));
    if (!confirmChangedName(chosen.path, path, request.title))
        return;
    rememberFile(&TDesktopSettings::exportFolder, path);
    SaveChartPicture(path);
    if (QFileInfo::exists(path))
        openWrittenFile(path);
}

void TFormTavrel::SaveChartPicture(const QString &path)
{
    if (PictureFormatOf(path))
        WritePictureFile(path, ChartPanel->picture());
}

