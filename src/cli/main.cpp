#include "CliTool.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList arguments = app.arguments();
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
