// Fitting the formula to the table people have: 11 durations by 8 return periods, with
// the scatter of a real frequency analysis.
#include "core/IdfFit.h"

#include <benchmark/benchmark.h>
#include <cmath>

namespace {
QString NoisyTable()
{
    const double durations[] = {5, 10, 15, 20, 30, 45, 60, 90, 120, 150, 180};
    const double periods[] = {2, 3, 5, 10, 20, 30, 50, 100};
    QString text = QStringLiteral("t");
    for (double P : periods)
        text += QStringLiteral(",%1").arg(P);
    int k = 0;
    for (double t : durations) {
        text += QStringLiteral("\n%1").arg(t);
        for (double P : periods) {
            // A fixed scatter of a few per cent, the same every run.
            const double noise = 1 + 0.04 * std::sin(12.9898 * ++k);
            text += QStringLiteral(",%1").arg(15.2 * (1 + 0.72 * std::log10(P)) / std::pow(t + 12.5, 0.74) * noise, 0, 'f', 3);
        }
    }
    return text;
}

void FitTable(benchmark::State &state)
{
    const IdfTable table = ParseIdfTable(NoisyTable(), IdfUnit::MmPerMin, 167);
    for (auto _ : state) {
        IdfFitResult fit = FitIdfTable(table, 0);
        benchmark::DoNotOptimize(fit.formula.A1);
    }
}
} // namespace

BENCHMARK(FitTable)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
