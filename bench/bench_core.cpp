// The storm computation and the table texts at the sizes people use: a 24-hour storm at
// one-minute steps, and the longest storm the program accepts.
#include "core/GridText.h"
#include "core/Hyetograph.h"

#include <benchmark/benchmark.h>

namespace {
TExpressionObject Storm(double minutes)
{
    TExpressionObject m;
    SetStartValues(m);
    m.Storm_Time = minutes;
    return m;
}

void Compute(benchmark::State &state)
{
    const TExpressionObject m = Storm(static_cast<double>(state.range(0)));
    for (auto _ : state) {
        auto r = ComputeHyetographRows(m, {1, false, 4});
        benchmark::DoNotOptimize(r.points.data());
    }
}

// Every row's texts, as an export writes them.
void GridRowsOf(benchmark::State &state)
{
    const auto r = ComputeHyetographRows(Storm(static_cast<double>(state.range(0))), {1, false, 4});
    const GridTable table(r.points, {0, 1, 4});
    for (auto _ : state) {
        for (size_t i = 0; i < table.size(); ++i) {
            GridRow row = table.row(i);
            benchmark::DoNotOptimize(row);
        }
    }
}
} // namespace

BENCHMARK(Compute)->Arg(1440)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(GridRowsOf)->Arg(1440)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
