#pragma once
// A GET over HTTP, as the platform seam asks for it and answers it. The transfer itself is
// done by the program's module "tavrel-network" (see core/PrivateModule.h), so that the
// network libraries are loaded when the first request is made, not when the program starts.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

struct HttpRequest {
    QString url;
    QList<QPair<QByteArray, QByteArray>> headers;
    bool followRedirects = false;
    // The whole exchange, connecting included, must end within this time, and the body may
    // not grow beyond this size: a silent or endless server must not hold the window.
    int timeLimitMs = 10000;
    qint64 maxBodyBytes = 64 * 1024;
};

struct HttpReply {
    bool ok = false;            // a 2xx reply arrived
    int status = 0;
    QString error;              // why it failed, when !ok
    QByteArray body;
    QByteArray contentType;
};

// What the module reports of one GET; QtPlatform makes the HttpReply of it.
struct HttpTransfer {
    enum class Stop { No, TimeLimit, TooLarge };
    Stop stop = Stop::No;       // the transfer was broken off
    int status = 0;             // the HTTP status, 0 when none arrived
    QByteArray contentType;
    QByteArray location;        // of a redirection
    QString reasonPhrase;
    bool failed = false;        // the network layer reported an error ...
    QString failure;            // ... in these words
    QByteArray body;            // as far as it arrived
};

// The module's entry point, named as below.
using HttpTransferFunction = void(const HttpRequest &request, HttpTransfer &transfer);
inline constexpr const char *NetworkModuleName = "tavrel-network";
inline constexpr const char *HttpTransferName = "TavrelHttpTransfer";
