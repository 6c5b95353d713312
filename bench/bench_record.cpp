// From a rain gauge's record to the formula: reading a 30-year record (5-minute and 1-minute
// steps, every interval listed, as gauges deliver them), the annual maxima and peak places,
// and the frequency curves, table and fit. The whole process is timed by hand with
//     python3 bench/make_record.py /tmp/r5.csv 30 5 && time tavrel-cli --record /tmp/r5.csv
#include "core/AnnualMaxima.h"
#include "core/FormulaCompilation.h"
#include "core/RainRecord.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

namespace {
// Every interval of 30 years from 1991, mostly dry, with showers; the same text every run.
const std::string &RecordText(int step)
{
    static std::string texts[2];
    std::string &text = texts[step == 1 ? 0 : 1];
    if (!text.empty())
        return text;
    std::mt19937 random(1);
    std::uniform_real_distribution<double> uniform(0, 1);
    std::exponential_distribution<double> heavy(1 / (0.8 * step / 5));
    text = "时间,雨量(mm)\n";
    int rain = 0;
    char line[64];
    for (int year = 1991; year < 2021; ++year) {
        const bool leap = year % 4 == 0;
        const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        for (int month = 1; month <= 12; ++month)
            for (int day = 1; day <= days[month - 1]; ++day)
                for (int minute = 0; minute < 1440; minute += step) {
                    if (rain == 0 && uniform(random) < 0.002 * step / 5)
                        rain = 6 + int(uniform(random) * 54) * 5 / step;
                    const double depth = rain ? std::round(heavy(random) * 10) / 10 : 0;
                    rain = rain > 0 ? rain - 1 : 0;
                    const int n = std::snprintf(line, sizeof line, "%04d-%02d-%02d %02d:%02d,%.1f\n", year, month, day,
                                                minute / 60, minute % 60, depth);
                    text.append(line, size_t(n));
                }
    }
    return text;
}

void ReadAndMaxima(benchmark::State &state)
{
    const std::string &text = RecordText(int(state.range(0)));
    for (auto _ : state) {
        const RainRecord record = ParseRainRecord(text.data(), int64_t(text.size()));
        const RecordMaxima maxima = ComputeAnnualMaxima(record, 0);
        benchmark::DoNotOptimize(maxima.ratio.r);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
}

void CurvesTableAndFit(benchmark::State &state)
{
    const std::string &text = RecordText(5);
    const RecordMaxima maxima = ComputeAnnualMaxima(ParseRainRecord(text.data(), int64_t(text.size())), 0);
    for (auto _ : state) {
        const FormulaCompilation compiled = CompileFormula(maxima.years, Distribution::P3, DefaultCsCv, 167);
        benchmark::DoNotOptimize(compiled.fit.formula.A1);
    }
}
} // namespace

BENCHMARK(ReadAndMaxima)->Arg(5)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CurvesTableAndFit)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
