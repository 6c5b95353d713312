#pragma once
// A GET over HTTP, as the platform seam asks for it and answers it.
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
