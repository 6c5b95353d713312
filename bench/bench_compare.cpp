// The main window comparing a family of eight day-long storms (return periods 1 to 100
// years, 1,441 rows each): the refresh (the storm, the family, the side-by-side table and
// its summary, the chart's lines; not painted), and a full repaint of the chart with every
// line. Target for the refresh: at most 50 ms. Runs offscreen.
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"
#include "ui/StormChart.h"
#include "ui/StormComparison.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

namespace {
QTemporaryDir *settingsRoot = nullptr;

std::unique_ptr<TFormTavrel> ComparingWindow(ScriptedPlatform &platform, TOptions &options)
{
    platform.appData = settingsRoot->path();
    auto window = std::make_unique<TFormTavrel>(platform, options);
    window->show();
    window->Model().Storm_Time = 1440;
    window->RefreshRainModel();
    // The choice the program starts with is the eight return periods.
    platform.modalScripts.push_back([](QDialog *) { return int(QDialog::Accepted); });
    window->comparison()->CompareStormsClick();
    QApplication::processEvents();
    return window;
}

void FamilyRefresh(benchmark::State &state)
{
    ScriptedPlatform platform;
    TOptions options;
    auto window = ComparingWindow(platform, options);
    for (auto _ : state)
        window->RefreshRainModel();
    state.counters["storms"] = static_cast<double>(window->comparison()->family().members.size());
    state.counters["rows"] = static_cast<double>(window->comparison()->table().rows.size());
}

void FamilyReplot(benchmark::State &state)
{
    ScriptedPlatform platform;
    TOptions options;
    auto window = ComparingWindow(platform, options);
    for (auto _ : state)
        window->chart()->replot(QCustomPlot::rpImmediateRefresh);
}
} // namespace

BENCHMARK(FamilyRefresh)->Unit(benchmark::kMillisecond);
BENCHMARK(FamilyReplot)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    settingsRoot = &root;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
