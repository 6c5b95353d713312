// The Word table and the Excel workbook of a 24-hour storm at one-minute steps (1,441
// rows), from the table's texts to the finished file in place: unpacking the template,
// editing the parts, packing and the rename. Target: at most 50 ms each.
#include "core/GridText.h"
#include "core/Hyetograph.h"
#include "export/OfficeExports.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
const GridTable &OneDay()
{
    static const GridTable grid = [] {
        TExpressionObject m;
        SetStartValues(m);
        m.Storm_Time = 1440;
        return GridTable(ComputeHyetographRows(m, {0, false, 4}).points, {0, 0, 4});
    }();
    return grid;
}

void WordTableFile(benchmark::State &state)
{
    const GridTable &grid = OneDay();
    QTemporaryDir dir;
    const QString path = dir.filePath("table.docx");
    for (auto _ : state) {
        if (WriteWordTable(path, grid, 0, 0, dir.path()) != PackagePlacement::Placed)
            state.SkipWithError("not placed");
    }
    state.counters["rows"] = static_cast<double>(grid.size());
}

void ExcelWorkbookFile(benchmark::State &state)
{
    const GridTable &grid = OneDay();
    QTemporaryDir dir;
    const QString path = dir.filePath("chart.xlsx");
    for (auto _ : state) {
        if (WriteExcelChart(path, grid, 0, 0, dir.path()) != PackagePlacement::Placed)
            state.SkipWithError("not placed");
    }
    state.counters["rows"] = static_cast<double>(grid.size());
}

// The text edits alone, without the disk and the packing.
void ExcelWorkbookParts(benchmark::State &state)
{
    const GridTable &grid = OneDay();
    QTemporaryDir dir;
    TemplatePackage package(dir.path());
    package.Open(QStringLiteral("ExcelPicData"));
    const ExcelChartParts parts{package.ReadPartText(QStringLiteral("xl/worksheets/sheet2.xml")),
                                package.ReadPartText(QStringLiteral("xl/sharedStrings.xml")),
                                package.ReadPartText(QStringLiteral("xl/charts/chart1.xml")),
                                package.ReadPartText(QStringLiteral("xl/styles.xml"))};
    for (auto _ : state) {
        const ExcelChartFiles edited = FillExcelChartParts(parts, grid, 0, 0);
        benchmark::DoNotOptimize(edited.chart.data());
    }
}
} // namespace

BENCHMARK(WordTableFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ExcelWorkbookFile)->Unit(benchmark::kMillisecond);
BENCHMARK(ExcelWorkbookParts)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
