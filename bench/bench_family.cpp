// A family of eight design storms (return periods 1 to 100 years) of a day at one-minute
// steps, 1,441 rows each, written by tavrel-cli in process as eight .dat files, eight .csv
// files and one SWMM input-file section: computation, table texts and the files. Every
// file is synced to its disk before it is renamed into place, so the time on a disk
// (argument 0: the temporary folder) is mostly the disk's; argument 1 writes to memory
// (/dev/shm) and shows the program's own share.
#include "cli/CliTool.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
void FamilyOfEightDays(benchmark::State &state)
{
    QTemporaryDir dir(state.range(0) == 0 ? QDir::tempPath() + QStringLiteral("/family-XXXXXX")
                                          : QStringLiteral("/dev/shm/family-XXXXXX"));
    if (!dir.isValid()) {
        state.SkipWithError("no folder to write to");
        return;
    }
    // The tool reads the user's settings; a fresh folder gives the defaults (minutes,
    // mm/min), so both SWMM outputs recompute in hours:minutes and mm/h.
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    const QStringList args = {"--T", "1440", "--P", "1,2,3,5,10,20,50,100",
                              "-o", dir.filePath("day_P{P}.dat"), "-o", dir.filePath("day_P{P}.csv"),
                              "-o", dir.filePath("days.inp")};
    for (auto _ : state) {
        CliStreams streams;
        if (RunCli(args, streams) != 0) {
            state.SkipWithError(streams.err.toStdString().c_str());
            break;
        }
        benchmark::DoNotOptimize(streams.out.data());
    }
    state.counters["storms"] = 8;
    state.counters["rows"] = 8 * 1441;
}
} // namespace

BENCHMARK(FamilyOfEightDays)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
