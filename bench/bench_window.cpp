// The main window's refresh cycle (computation, table texts, chart series, labels; the
// chart is not painted), a full repaint of the chart, the calculation book, and start-up
// to the first painted window. Runs offscreen.
#include "export/TemplatePackage.h"
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"
#include "ui/StormChart.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
QTemporaryDir *settingsRoot = nullptr;

std::unique_ptr<TFormTavrel> OpenWindow(ScriptedPlatform &platform)
{
    platform.appData = settingsRoot->path();
    static TOptions options;   // outlives every window of the run
    auto window = std::make_unique<TFormTavrel>(platform, options);
    window->show();
    QApplication::processEvents();
    return window;
}

void Refresh(benchmark::State &state)
{
    ScriptedPlatform platform;
    auto window = OpenWindow(platform);
    window->Model().Storm_Time = static_cast<double>(state.range(0));
    for (auto _ : state)
        window->RefreshRainModel();
    state.counters["rows"] = static_cast<double>(window->StormPoints().size());
}

void Replot(benchmark::State &state)
{
    ScriptedPlatform platform;
    auto window = OpenWindow(platform);
    window->Model().Storm_Time = static_cast<double>(state.range(0));
    window->RefreshRainModel();
    for (auto _ : state)
        window->chart()->replot(QCustomPlot::rpImmediateRefresh);
}

void PngPicture(benchmark::State &state)
{
    ScriptedPlatform platform;
    auto window = OpenWindow(platform);
    window->Model().Storm_Time = static_cast<double>(state.range(0));
    window->RefreshRainModel();
    const QString path = settingsRoot->path() + QStringLiteral("/chart.png");
    for (auto _ : state)
        window->SaveChartPicture(path);
}

// The calculation book of a 24-hour storm (1,441 rows) from the window's state to the file
// in place, the chart picture at the book's size included. Target: at most 150 ms.
void CalcBookFile(benchmark::State &state)
{
    ScriptedPlatform platform;
    auto window = OpenWindow(platform);
    platform.temp = settingsRoot->path();
    window->Model().Storm_Time = static_cast<double>(state.range(0));
    window->RefreshRainModel();
    const QString path = settingsRoot->path() + QStringLiteral("/book.docx");
    for (auto _ : state) {
        if (window->WriteCalcBookFile(path) != PackagePlacement::Placed)
            state.SkipWithError("not placed");
    }
    state.counters["rows"] = static_cast<double>(window->StormPoints().size());
}

void StartUp(benchmark::State &state)
{
    for (auto _ : state) {
        ScriptedPlatform platform;
        auto window = OpenWindow(platform);
        window->chart()->replot(QCustomPlot::rpImmediateRefresh);
        QApplication::processEvents();
        benchmark::DoNotOptimize(window.get());
    }
}
} // namespace

BENCHMARK(Refresh)->Arg(120)->Arg(1440)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Replot)->Arg(1440)->Unit(benchmark::kMillisecond);
BENCHMARK(PngPicture)->Arg(1440)->Unit(benchmark::kMillisecond);
BENCHMARK(CalcBookFile)->Arg(1440)->Unit(benchmark::kMillisecond);
BENCHMARK(StartUp)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir root;
    settingsRoot = &root;
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
