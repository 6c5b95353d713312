#include "ExportFormats.h"
#include "CalcBook.h"
#include "CsvExport.h"
#include "DataFileName.h"
#include "OfficeExports.h"
#include "SwmmExport.h"

#include "FamilyExports.h"
#include "SwmmInputSection.h"

#include "core/Failure.h"
#include "core/Numbers.h"

#include <algorithm>

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
const QString NoFamilyMessage = QStringLiteral("没有对比的暴雨可以保存~\r\n点击“对比暴雨...”选择要对比的暴雨");
const QString DataTitle = QStringLiteral("保存雨型数据");

const QList<FileTypeEntry> PictureTypes = {
    {QStringLiteral("位图文件"), QStringLiteral("*.bmp")},
    {QStringLiteral("JPG文件"), QStringLiteral("*.jpg")},
    {QStringLiteral("PNG文件"), QStringLiteral("*.png")},
};

ExportResult Written(const std::function<void()> &write)
{
    write();
    return {};
}

// The proposed name of a format whose name comes from the storm alone.
std::function<QString(const ExportInput &)> ByModel(QString (*name)(const TExpressionObject &))
{
    return [name](const ExportInput &in) { return name(in.model); };
}

ExportFormat MakeCsv()
{
    ExportFormat f;
    f.title = DataTitle;
    f.extension = CsvExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("Excel文件(*.csv)"), QStringLiteral("*.csv"));
    f.proposedName = ByModel(CsvProposedFileName);
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
    f.title = DataTitle;
    f.extension = SwmmExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("SWMM文件(*.dat)"), QStringLiteral("*.dat"));
    f.proposedName = ByModel(SwmmProposedFileName);
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
    f.title = DataTitle;
    f.extension = WordTableExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("Word文件(*.docx)"), QStringLiteral("*.docx"));
    f.proposedName = ByModel(WordTableProposedFileName);
    f.emptyMessage = NoDataMessage;
    f.description = QStringLiteral("Word雨型数据表格 / Word table of the rows");
    f.write = [](const ExportInput &in, const QString &path) {
        return ExportResult{WriteWordTable(path, in.grid, in.options.Int_TimeForamtidx, in.options.Int_StormUnitidx,
                                           in.tempFolder), {}};
    };
    return f;
}

ExportFormat MakeExcelChart()
{
    ExportFormat f;
    f.title = DataTitle;
    f.extension = ExcelChartExtension;
    f.types = StandardDataFileTypes;
    f.selectedType = 2;
    f.proposedName = ByModel(ExcelChartProposedFileName);
    f.emptyMessage = NoDataMessage;   // a workbook without rows would hold a chart of nothing
    f.description = QStringLiteral("Excel工作簿，含雨型图表 / Excel workbook with the chart");
    f.write = [](const ExportInput &in, const QString &path) {
        return ExportResult{WriteExcelChart(path, in.grid, in.options.Int_TimeForamtidx, in.options.Int_StormUnitidx,
                                            in.tempFolder), {}};
    };
    return f;
}

ExportFormat MakeCalcBook()
{
    ExportFormat f;
    f.title = DataTitle;
    f.extension = CalcBookExtension;
    f.types = StandardDataFileTypes;
    f.selectedType = 1;
    f.proposedName = ByModel(CalcBookProposedFileName);
    f.emptyMessage = NoDataMessage;   // a failed storm has no chart, table or totals to report
    f.needsChart = true;
    f.chartAtBookSize = true;
    f.write = [](const ExportInput &in, const QString &path) {
        return ExportResult{WriteCalcBook(path, in.model, in.options, in.grid, in.chartPicture, in.tempFolder), {}};
    };
    return f;
}

ExportFormat MakePicture(int index)
{
    ExportFormat f;
    f.title = QStringLiteral("保存曲线图片");
    f.types = PictureTypes;
    f.selectedType = index;
    f.extension = PictureTypes[index].mask.mid(1);
    f.typeDecidesFormat = true;
    f.proposedName = [extension = f.extension](const ExportInput &in) {
        return QStringLiteral("芝加哥雨型P=%1年 t=%2分 r=%3")
                   .arg(FormatGeneral(in.model.Storm_RepeatYear), FormatGeneral(in.model.Storm_Time),
                        FormatGeneral(in.model.Storm_Percent))
            + extension;
    };
    f.emptyMessage = NoCurveMessage;
    f.needsChart = true;
    f.description = QStringLiteral("雨型图片 / chart picture");
    f.write = [](const ExportInput &in, const QString &path) { return Written([&] { in.chartPicture(path); }); };
    return f;
}

// A format of the storms compared; its name tells the family apart by what varies.
ExportFormat MakeFamily(const QString &title, const QString &nameEnding)
{
    ExportFormat f;
    f.title = title;
    f.wholeFamily = true;
    f.emptyMessage = NoFamilyMessage;
    f.proposedName = [nameEnding](const ExportInput &in) {
        return FamilyProposedFileName(in.model, in.family->by, nameEnding);
    };
    return f;
}

ExportFormat MakeFamilySwmm()
{
    ExportFormat f = MakeFamily(QStringLiteral("保存对比数据(SWMM输入文件)"), SwmmInputExtension);
    f.extension = SwmmInputExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("SWMM输入文件(*.inp)"), QStringLiteral("*.inp"));
    f.opensInTextEditor = true;
    f.description = QStringLiteral("SWMM输入文件的[TIMESERIES]和[RAINGAGES]，各重现期一个序列 / SWMM input sections");
    f.write = [](const ExportInput &in, const QString &path) {
        std::vector<TExpressionObject> models;
        for (const FamilyMember &member : in.family->members)
            models.push_back(member.model);
        ExportResult result;
        result.leftOut = WriteSwmmInputFamily(models, in.options.Bool_CalcByShow, in.options.Int_Precision, path);
        result.written = result.leftOut.size() < static_cast<qsizetype>(models.size());
        return result;
    };
    return f;
}

ExportFormat MakeFamilyCsv()
{
    ExportFormat f = MakeFamily(QStringLiteral("保存对比数据(EXCEL格式)"), CsvExtension);
    f.extension = CsvExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("Excel文件(*.csv)"), QStringLiteral("*.csv"));
    f.write = [](const ExportInput &in, const QString &path) {
        const StormFamily &family = *in.family;
        return Written([&] {
            WriteFamilyCsvFile(path, FamilyCsvLines(SideBySideOf(family), family, in.options.Int_TimeForamtidx,
                                                    in.options.Int_StormUnitidx));
        });
    };
    return f;
}

ExportFormat MakeFamilySummary()
{
    ExportFormat f = MakeFamily(QStringLiteral("保存对比汇总(EXCEL格式)"), QStringLiteral("汇总") + CsvExtension);
    f.extension = CsvExtension;
    f.types = OwnTypeAndAllFiles(QStringLiteral("Excel文件(*.csv)"), QStringLiteral("*.csv"));
    f.write = [](const ExportInput &in, const QString &path) {
        return Written([&] {
            WriteFamilyCsvFile(path, FamilySummaryLines(*in.family, in.options.Int_StormUnitidx, in.options.Int_Precision));
        });
    };
    return f;
}

ExportFormat MakeFamilyPicture()
{
    ExportFormat f = MakeFamily(QStringLiteral("保存对比图片"), PictureTypes[2].mask.mid(1));
    f.types = PictureTypes;
    f.selectedType = 2;
    f.extension = PictureTypes[2].mask.mid(1);
    f.typeDecidesFormat = true;
    f.needsChart = true;
    f.write = [](const ExportInput &in, const QString &path) { return Written([&] { in.chartPicture(path); }); };
    return f;
}

template <ExportFormat (*make)()>
const ExportFormat &Once()
{
    static const ExportFormat format = make();
    return format;
}
} // namespace

const ExportFormat &CsvFormat() { return Once<MakeCsv>(); }
const ExportFormat &SwmmFormat() { return Once<MakeSwmm>(); }
const ExportFormat &WordTableFormat() { return Once<MakeWordTable>(); }
const ExportFormat &ExcelChartFormat() { return Once<MakeExcelChart>(); }
const ExportFormat &CalcBookFormat() { return Once<MakeCalcBook>(); }
const ExportFormat &FamilySwmmFormat() { return Once<MakeFamilySwmm>(); }
const ExportFormat &FamilyCsvFormat() { return Once<MakeFamilyCsv>(); }
const ExportFormat &FamilySummaryFormat() { return Once<MakeFamilySummary>(); }
const ExportFormat &FamilyPictureFormat() { return Once<MakeFamilyPicture>(); }

const ExportFormat &PictureFormat(int tag)
{
    static const ExportFormat formats[] = {MakePicture(0), MakePicture(1), MakePicture(2)};
    return formats[std::clamp(tag, 1, 3) - 1];
}

QString ExportExtension(const ExportFormat &format, int chosenType)
{
    if (format.typeDecidesFormat && chosenType >= 0 && chosenType < format.types.size()
        && format.types[chosenType].mask != QLatin1String("*.*"))
        return format.types[chosenType].mask.mid(1);
    return format.extension;
}

std::vector<const ExportFormat *> CliExportFormats()
{
    return {&CsvFormat(), &SwmmFormat(), &WordTableFormat(), &ExcelChartFormat(), &PictureFormat(3), &PictureFormat(2),
            &PictureFormat(1)};
}

const ExportFormat *FindExportFormat(const QString &extension)
{
    for (const ExportFormat *format : CliExportFormats())
        if (format->extension == extension)
            return format;
    return nullptr;
}
