// The module "tavrel-network": one HTTP GET through QtNetwork (see platform/Http.h).
#include "platform/Http.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <type_traits>

extern "C" Q_DECL_EXPORT void TavrelHttpTransfer(const HttpRequest &request, HttpTransfer &transfer)
{
    using Stop = HttpTransfer::Stop;
    QNetworkAccessManager manager;
    QNetworkRequest networkRequest{QUrl(request.url)};
    for (const auto &header : request.headers)
        networkRequest.setRawHeader(header.first, header.second);
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                request.followRedirects ? QNetworkRequest::NoLessSafeRedirectPolicy
                                                        : QNetworkRequest::ManualRedirectPolicy);

    // The reply belongs to the manager and goes with it.
    QNetworkReply *reply = manager.get(networkRequest);
    QByteArray &body = transfer.body;
    const auto take = [&] {
        if (transfer.stop != Stop::No)
            return;
        body += reply->readAll();
        if (body.size() > request.maxBodyBytes) {
            transfer.stop = Stop::TooLarge;
            reply->abort();
        }
    };
    QObject::connect(reply, &QNetworkReply::readyRead, reply, take);
    if (!reply->isFinished()) {
        // The command waits for its answer; the person at the window waits with it, but
        // never longer than the time limit.
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
            transfer.stop = Stop::TimeLimit;
            reply->abort();
        });
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        deadline.start(std::max(request.timeLimitMs, 0));
        if (!reply->isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    take();

    transfer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    transfer.contentType = reply->rawHeader("Content-Type");
    transfer.location = reply->rawHeader("Location");
    transfer.reasonPhrase = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
    transfer.failed = reply->error() != QNetworkReply::NoError;
    transfer.failure = reply->errorString();
}

static_assert(std::is_same_v<decltype(TavrelHttpTransfer), HttpTransferFunction>);
