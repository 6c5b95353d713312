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

void GridTextsOf(benchmark::State &state)
{
    const auto r = ComputeHyetographRows(Storm(static_cast<double>(state.range(0))), {1, false, 4});
    for (auto _ : state) {
        auto texts = MakeGridTexts(r.points, {0, 1, 4});
        benchmark::DoNotOptimize(texts.rows.data());
    }
}
} // namespace

BENCHMARK(Compute)->Arg(1440)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(GridTextsOf)->Arg(1440)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
