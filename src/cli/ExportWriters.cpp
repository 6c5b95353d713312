// The file formats of -o: the CSV table, the SWMM rainfall time series, the Word table and
// the Excel workbook, written by the same routines as the desktop program's exports.
#include "CliOutput.h"
#include "CliTool.h"

#include "core/Failure.h"

#include <QDir>
#include "export/CsvExport.h"
#include "export/OfficeExports.h"
#include "export/SwmmExport.h"

namespace {
void WriteCsv(const CliOutputContext &context, const QString &path)
{
    WriteCsvFile(path, context.grid, context.options.Int_TimeForamtidx, context.options.Int_StormUnitidx);
}

// SWMM wants hours:minutes and mm/h. The desktop program switches its settings and
// recomputes; here the rows are recomputed in those units for this file only.
void WriteSwmm(const CliOutputContext &context, const QString &path)
{
    const TOptions &o = context.options;
    if (!SwmmNeedsSwitch(o.Int_TimeForamtidx, o.Int_StormUnitidx)) {
        WriteSwmmFile(path, context.grid, context.result.points);
        return;
    }
    const HyetographResult perHour = ComputeHyetographRows(context.model, {0, o.Bool_CalcByShow, o.Int_Precision});
    if (!perHour.ok)
        throw TavrelError(perHour.message);
    const GridTexts grid = MakeGridTexts(perHour.points, {0, 0, o.Int_Precision});
    WriteSwmmFile(path, grid, perHour.points);
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
    CliWriters()[QStringLiteral(".docx")] = WriteWord;
    CliWriters()[QStringLiteral(".xlsx")] = WriteExcel;
}
