#include "ExportFormats.h"
#include "CalcBook.h"
#include "CsvExport.h"
#include "DataFileName.h"
#include "OfficeExports.h"
#include "SwmmExport.h"

#include "core/Numbers.h"

namespace {
// The list the Word-table, CSV and SWMM exports show: their own type and all files.
QList<FileTypeEntry> OwnTypeAndAllFiles(const QString &name, const QString &mask)
{
    return {{name, mask}, {QStringLiteral("所有文件(*.*)"), QStringLiteral("*.*")}};
}

// The data save dialog's standard list; the calculation book and the workbook preselect
// their own entry in it.
const QList<FileTypeEntry> StandardDataFileTypes = {
    {QStringLiteral("Excel文件"), QStringLiteral("*.csv")},
    {QStringLiteral("Word文件"), QStringLiteral("*.docx")},
    {QStringLiteral("Excel文件"), QStringLiteral("*.xlsx")},
};

const QString NoCurveMessage = QStringLiteral("没有曲线可以保存~\r\n点击“添加”按钮，添加新曲线");

PackagePlacement Written(const std::function<void()> &write)
{
    write();
    return PackagePlacement::Placed;
}

ExportFormat MakeCsv()
{
    ExportFormat f;
    f.extension = CsvExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("Excel文件(*.csv)"), QStringLiteral("*.csv"));
    f.proposedName = CsvProposedFileName;
    f.emptyMessage = NoDataMessage;
    f.description = QStringLiteral("CSV表格 / CSV table (GBK)");
    f.write = [](const ExportInput &in, const QString &path) {
        return Written([&] { WriteCsvFile(path, in.grid, in.options.Int_TimeForamtidx, in.options.Int_StormUnitidx); });
    };
    return f;
}

ExportFormat MakeSwmm()
{
    ExportFormat f;
    f.extension = SwmmExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("SWMM文件(*.dat)"), QStringLiteral("*.dat"));
    f.proposedName = SwmmProposedFileName;
    f.emptyMessage = NoDataMessage;
    f.swmmUnits = true;
    f.opensInTextEditor = true;
    f.description = QStringLiteral("SWMM降雨时间序列（时:分，mm/h）/ SWMM rainfall time series");
    // The series is computed from the model in hours:minutes and mm/h, whatever the table shows.
    f.write = [](const ExportInput &in, const QString &path) {
        return Written([&] { WriteSwmmFile(path, in.model, in.options.Bool_CalcByShow, in.options.Int_Precision); });
    };
    return f;
}

ExportFormat MakeWordTable()
{
    ExportFormat f;
    f.extension = WordTableExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("Word文件(*.docx)"), QStringLiteral("*.docx"));
    f.proposedName = WordTableProposedFileName;
    f.emptyMessage = NoDataMessage;
    f.description = QStringLiteral("Word雨型数据表格 / Word table of the rows");
    f.write = [](const ExportInput &in, const QString &path) {
        return WriteWordTable(path, in.grid, in.options.Int_TimeForamtidx, in.options.Int_StormUnitidx, in.tempFolder);
    };
    return f;
}

ExportFormat MakeExcelChart()
{
    ExportFormat f;
    f.extension = ExcelChartExtension;
    f.types = StandardDataFileTypes;
    f.selectedType = 2;
    f.proposedName = ExcelChartProposedFileName;
    f.emptyMessage = NoDataMessage;   // a workbook without rows would hold a chart of nothing
    f.description = QStringLiteral("Excel工作簿，含雨型图表 / Excel workbook with the chart");
    f.write = [](const ExportInput &in, const QString &path) {
        return WriteExcelChart(path, in.grid, in.options.Int_TimeForamtidx, in.options.Int_StormUnitidx, in.tempFolder);
    };
    return f;
}

ExportFormat MakeCalcBook()
{
    ExportFormat f;
    f.extension = CalcBookExtension;
    f.types = StandardDataFileTypes;
    f.selectedType = 1;
    f.proposedName = CalcBookProposedFileName;
    f.emptyMessage = NoDataMessage;   // a failed storm has no chart, table or totals to report
    f.needsChart = true;
    f.write = [](const ExportInput &in, const QString &path) {
        return WriteCalcBook(path, in.model, in.options, in.grid, in.chartPicture, in.tempFolder);
    };
    return f;
}

ExportFormat MakePicture(const char *extension)
{
    ExportFormat f;
    f.extension = QString::fromLatin1(extension);
    f.emptyMessage = NoCurveMessage;
    f.needsChart = true;
    f.description = QStringLiteral("雨型图片 / chart picture");
    f.write = [](const ExportInput &in, const QString &path) { return Written([&] { in.chartPicture(path); }); };
    return f;
}
} // namespace

const ExportFormat &CsvFormat()
{
    static const ExportFormat format = MakeCsv();
    return format;
}

const ExportFormat &SwmmFormat()
{
    static const ExportFormat format = MakeSwmm();
    return format;
}

const ExportFormat &WordTableFormat()
{
    static const ExportFormat format = MakeWordTable();
    return format;
}

const ExportFormat &ExcelChartFormat()
{
    static const ExportFormat format = MakeExcelChart();
    return format;
}

const ExportFormat &CalcBookFormat()
{
    static const ExportFormat format = MakeCalcBook();
    return format;
}

std::vector<const ExportFormat *> CliExportFormats()
{
    static const ExportFormat png = MakePicture(".png"), jpg = MakePicture(".jpg"), bmp = MakePicture(".bmp");
    return {&CsvFormat(), &SwmmFormat(), &WordTableFormat(), &ExcelChartFormat(), &png, &jpg, &bmp};
}

const ExportFormat *FindExportFormat(const QString &extension)
{
    for (const ExportFormat *format : CliExportFormats())
        if (format->extension == extension)
            return format;
    return nullptr;
}
