// The peak memory (VmHWM, kB) of the window showing a storm of the given minutes (0: the
// start-up storm), offscreen; with a second argument the window's picture is saved there.
// The difference of two runs is what a long storm holds; two builds' pictures should match.
#include "platform/ScriptedPlatform.h"
#include "settings/Options.h"
#include "ui/FormTavrel.h"
#include "ui/StormChart.h"
#include <QApplication>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <cstdio>

static long PeakKb()
{
    QFile f("/proc/self/status");
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir root;
    ScriptedPlatform platform;
    platform.appData = root.path();
    TOptions options;
    TFormTavrel window(platform, options);
    window.show();
    QApplication::processEvents();
    if (argc > 1 && QByteArray(argv[1]).toDouble() > 0) {
        window.Model().Storm_Time = QByteArray(argv[1]).toDouble();
        window.RefreshRainModel();
    }
    window.chart()->replot(QCustomPlot::rpImmediateRefresh);
    const QPixmap shot = window.grab();
    if (argc > 2)
        shot.save(QString::fromLocal8Bit(argv[2]));
    QApplication::processEvents();
    std::printf("%ld\n", PeakKb());
    return 0;
}
