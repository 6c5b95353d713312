// The text formats of -o: the CSV table and the SWMM rainfall time series, written by the
// same routines as the desktop program's exports.
#include "CliOutput.h"
#include "CliTool.h"

#include "core/Failure.h"
#include "export/CsvExport.h"
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
} // namespace

void RegisterExportCliWriters()
{
    // Assigning by key keeps a second call harmless.
    CliWriters()[QStringLiteral(".csv")] = WriteCsv;
    CliWriters()[QStringLiteral(".dat")] = WriteSwmm;
}
