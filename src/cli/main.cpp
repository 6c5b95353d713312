#include "CliTool.h"

#include <QCoreApplication>
#include <cstdio>
#include <memory>

#ifdef TAVREL_WITH_UI
#include <QApplication>
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

#ifdef TAVREL_WITH_UI
// Only the chart pictures (and the calculation book, which holds one) need the desktop
// library's application object, and making one (platform plugin, font database) takes
// most of the tool's start-up; everything else does with the core one.
bool MayWritePicture(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg = QByteArray(argv[i]).toLower();
        if (arg.endsWith(".png") || arg.endsWith(".jpg") || arg.endsWith(".bmp"))
            return true;
        if (arg == "--book" || arg.startsWith("--book="))   // the book holds the chart picture
            return true;
    }
    return false;
}
#endif
} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(QuietMessages);
    std::unique_ptr<QCoreApplication> app;
#ifdef TAVREL_WITH_UI
    if (MayWritePicture(argc, argv)) {
        // The chart of -o picture.png is drawn offscreen: the tool never needs a display.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QApplication>(argc, argv);
    }
    RegisterPictureCliWriters();
#endif
    if (!app)
        app = std::make_unique<QCoreApplication>(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    CliStreams streams;
    const int code = RunCli(arguments, streams);
    const QByteArray out = streams.out.toUtf8();
    const QByteArray err = streams.err.toUtf8();
    std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stdout);
    std::fwrite(err.constData(), 1, static_cast<size_t>(err.size()), stderr);
    std::fflush(stdout);
    return code;
}
