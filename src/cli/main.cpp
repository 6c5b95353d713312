#include "CliTool.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

#ifdef TAVREL_WITH_UI
#include "CliCharts.h"
#include <QApplication>
#endif
#ifdef TAVREL_CHARTS_PROGRAM
#include <QDir>
#include <QFileInfo>
#ifdef Q_OS_WIN
#include <QProcess>
#else
#include <unistd.h>
#endif
#endif

namespace {
// Qt's notes about the offscreen platform are of no use to someone reading a table.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toUtf8().constData());
        std::abort();
    }
}

#if defined(TAVREL_WITH_UI) || defined(TAVREL_CHARTS_PROGRAM)
// Only the chart pictures (and the calculation book, which holds one) need the desktop
// libraries and their application object, and loading them (platform plugin, font
// database) takes longer than everything else the tool does.
bool MayWritePicture(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = QByteArray(argv[i]).toLower();
        if (arg.endsWith(".png") || arg.endsWith(".jpg") || arg.endsWith(".bmp"))
            return true;
        if (arg == "--book" || arg.startsWith("--book="))   // the book holds the chart picture
            return true;
        if (arg == "--report" || arg.startsWith("--report="))   // so does the compilation report
            return true;
    }
    return false;
}
#endif

#ifdef TAVREL_CHARTS_PROGRAM
// Runs the companion program that draws charts with the same arguments in place of this
// one (on Windows, which cannot replace a process, as a child whose exit code is ours).
int RunChartsProgram(char **argv)
{
    const QString folder = QCoreApplication::applicationDirPath();
    const QString name = QStringLiteral(TAVREL_CHARTS_PROGRAM);
    for (const QString &candidate : {folder + QLatin1Char('/') + name,
                                     QDir::cleanPath(folder + QStringLiteral("/" TAVREL_CHARTS_INSTALLED "/") + name)}) {
        if (!QFileInfo(candidate).isExecutable())
            continue;
#ifdef Q_OS_WIN
        (void)argv;
        QProcess charts;
        charts.setProcessChannelMode(QProcess::ForwardedChannels);
        charts.setInputChannelMode(QProcess::ForwardedInputChannel);
        charts.start(candidate, QCoreApplication::arguments().mid(1));
        if (charts.waitForFinished(-1) && charts.exitStatus() == QProcess::NormalExit)
            return charts.exitCode();
        std::fprintf(stderr, "无法启动 %s / cannot start it\n", qPrintable(QDir::toNativeSeparators(candidate)));
        return 1;
#else
        const QByteArray path = QFile::encodeName(candidate);
        argv[0] = const_cast<char *>(path.constData());
        execv(path.constData(), argv);
        std::fprintf(stderr, "无法启动 %s / cannot start it\n", path.constData());
        return 1;
#endif
    }
    std::fprintf(stderr, "找不到绘图程序 %s，无法输出图片或计算书 / not found, so no pictures or books\n",
                 qPrintable(name));
    return 1;
}
#endif
// The same UTF-8 bytes as on Linux into a file or a pipe (LF line ends: a script reading
// them sees one output on both systems); a Windows console is given the characters
// themselves, since it shows bytes in its own code page.
void Print(FILE *stream, const QString &text)
{
    if (text.isEmpty())
        return;
#ifdef Q_OS_WIN
    const HANDLE handle = GetStdHandle(stream == stderr ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        DWORD written = 0;
        WriteConsoleW(handle, reinterpret_cast<const wchar_t *>(text.utf16()), DWORD(text.size()), &written, nullptr);
        return;
    }
    _setmode(_fileno(stream), _O_BINARY);
#endif
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}
} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(QuietMessages);
    std::unique_ptr<QCoreApplication> app;
#ifdef TAVREL_CHARTS_PROGRAM
    if (MayWritePicture(argc, argv)) {
        app = std::make_unique<QCoreApplication>(argc, argv);
        return RunChartsProgram(argv);
    }
#endif
    CliChartDrawer drawChart;
    CliFrequencyDrawer drawFrequency;
#ifdef TAVREL_WITH_UI
    if (MayWritePicture(argc, argv)) {
        // The chart of -o picture.png is drawn offscreen: the tool never needs a display.
        // (Windows draws without showing a window on its own platform, whose fonts are
        // the system's; its offscreen platform has none.)
#ifndef Q_OS_WIN
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        app = std::make_unique<QApplication>(argc, argv);
        drawChart = DrawStormChart;
        drawFrequency = DrawFrequencyPicture;
    }
#endif
    if (!app)
        app = std::make_unique<QCoreApplication>(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    CliStreams streams;
    const int code = RunCli(arguments, streams, drawChart, drawFrequency);
    Print(stdout, streams.out);
    Print(stderr, streams.err);
    std::fflush(stdout);
    return code;
}
