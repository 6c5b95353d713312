// The CSV and SWMM exports of a 24-hour storm at one-minute steps (1,441 rows; the SWMM
// series computed from the model): the file bytes, and the bytes written through the temporary file and rename.
#include "core/GridText.h"
#include "core/Hyetograph.h"
#include "export/CsvExport.h"
#include "export/SwmmExport.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
struct Day {
    TExpressionObject model;
    std::vector<HyetographPoint> points;
    GridTable grid;
};

const Day &OneDay()
{
    static const Day day = [] {
        TExpressionObject m;
        SetStartValues(m);
        m.Storm_Time = 1440;
        Day d;
        d.model = m;
        d.points = ComputeHyetographRows(m, {0, false, 4}).points;
        d.grid = GridTable(d.points, {0, 0, 4});
        return d;
    }();
    return day;
}

void CsvBytes(benchmark::State &state)
{
    const Day &d = OneDay();
    for (auto _ : state) {
        QByteArray bytes = CsvFileBytes(d.grid, 0, 0);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["rows"] = static_cast<double>(d.grid.size());
}

void SwmmBytes(benchmark::State &state)
{
    const Day &d = OneDay();
    for (auto _ : state) {
        QByteArray bytes = SwmmFileBytes(d.model, false, 4);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.counters["rows"] = static_cast<double>(d.grid.size());
}

void CsvWrite(benchmark::State &state)
{
    const Day &d = OneDay();
    QTemporaryDir dir;
    const QString path = dir.filePath("table.csv");
    for (auto _ : state)
        WriteCsvFile(path, d.grid, 0, 0);
}

void SwmmWrite(benchmark::State &state)
{
    const Day &d = OneDay();
    QTemporaryDir dir;
    const QString path = dir.filePath("series.dat");
    for (auto _ : state)
        WriteSwmmFile(path, d.model, false, 4);
}
} // namespace

BENCHMARK(CsvBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(SwmmBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(CsvWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK(SwmmWrite)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
