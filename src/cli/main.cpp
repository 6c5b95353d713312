#include "CliTool.h"

#include <QCoreApplication>
#include <cstdio>

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
} // namespace

int main(int argc, char **argv)
{
#ifdef TAVREL_WITH_UI
    // The chart of -o picture.png is drawn offscreen: the tool never needs a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QApplication app(argc, argv);
    RegisterPictureCliWriters();
#else
    qInstallMessageHandler(QuietMessages);
    QCoreApplication app(argc, argv);
#endif
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
