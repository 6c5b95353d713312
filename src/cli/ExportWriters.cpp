// The file formats of -o: the CSV table, the SWMM rainfall time series and input-file
// section, the Word table and the Excel workbook, written by the same routines as the
// desktop program's exports.
#include "CliOutput.h"
#include "CliTool.h"

#include "core/Failure.h"
#include "export/CsvExport.h"
#include "export/OfficeExports.h"
#include "export/SwmmExport.h"
#include "export/SwmmInputSection.h"

#include <QDir>

namespace {
void WriteCsv(const CliOutputContext &context, const QString &path)
{
    WriteCsvFile(path, context.grid, context.options.Int_TimeForamtidx, context.options.Int_StormUnitidx);
}

void WriteSwmm(const CliOutputContext &context, const QString &path)
{
    // SWMM wants hours:minutes and mm/h whatever the settings say; the series is made in
    // those units from the model.
    WriteSwmmFile(path, context.model, context.options.Bool_CalcByShow, context.options.Int_Precision);
}

// The storms SWMM refuses are left out and named; the others are written.
QStringList WriteSwmmInput(const std::vector<CliOutputContext> &storms, const QString &path)
{
    std::vector<SwmmInputSeries> series;
    QStringList leftOut;
    for (const CliOutputContext &context : storms) {
        try {
            const TOptions &o = context.options;
            series.push_back(MakeSwmmInputSeries(context.model, o.Bool_CalcByShow, o.Int_Precision));
        } catch (const TavrelError &e) {
            leftOut.append(e.message());
        }
    }
    if (!series.empty())
        WriteSwmmInputFile(path, series);
    return leftOut;
}

// The Office packages are made in the temporary folder; a target that cannot be replaced
// is a failure of the tool.
void CheckPlaced(PackagePlacement placement)
{
    if (placement != PackagePlacement::Placed)
        throw TavrelError(PackagePlacementFailedMessage);
}

void WriteWord(const CliOutputContext &context, const QString &path)
{
    const TOptions &o = context.options;
    CheckPlaced(WriteWordTable(path, context.grid, o.Int_TimeForamtidx, o.Int_StormUnitidx, QDir::tempPath()));
}

void WriteExcel(const CliOutputContext &context, const QString &path)
{
    const TOptions &o = context.options;
    CheckPlaced(WriteExcelChart(path, context.grid, o.Int_TimeForamtidx, o.Int_StormUnitidx, QDir::tempPath()));
}
} // namespace

void RegisterExportCliWriters()
{
    // Assigning by key keeps a second call harmless.
    CliWriters()[QStringLiteral(".csv")] = WriteCsv;
    CliWriters()[QStringLiteral(".dat")] = WriteSwmm;
    CliFamilyWriters()[SwmmInputExtension] = WriteSwmmInput;
    CliWriters()[QStringLiteral(".docx")] = WriteWord;
    CliWriters()[QStringLiteral(".xlsx")] = WriteExcel;
}
