#include "jsondownload.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopedPointer>
#include <QTimer>
#include <QUrl>

JsonDownload downloadJSon(const QString &url, int timeoutMs)
{
    JsonDownload result;
    const QUrl address(url);
    if (url.isEmpty() || !address.isValid()) {
        result.failure = JsonDownload::InvalidAddress;
        return result;
    }

    QNetworkAccessManager manager;
    QScopedPointer<QNetworkReply> reply(manager.get(QNetworkRequest(address)));
    QNetworkReply *r = reply.data();

    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(timeoutMs);
    bool timedOut = false;
    bool tooLong = false;
    QObject::connect(&timer, &QTimer::timeout, r, [r, &timedOut] {
        timedOut = true;
        r->abort();
    });
    // Stops a long body early instead of keeping all of it in memory.
    QObject::connect(r, &QNetworkReply::downloadProgress, r, [r, &tooLong](qint64 received, qint64) {
        if (received > updateDownloadMaxBytes) {
            tooLong = true;
            r->abort();
        }
    });

    QEventLoop loop;
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(r, &QNetworkReply::errorOccurred, &loop, &QEventLoop::quit);
    timer.start();
    if (!r->isFinished())
        loop.exec();

    if (timedOut || tooLong) {
        result.failure = timedOut ? JsonDownload::TimedOut : JsonDownload::TooLong;
        return result;
    }
    if (!r->isFinished() || r->error() != QNetworkReply::NoError) {
        result.failure = JsonDownload::NetworkError;
        result.networkError = r->errorString();
        return result;
    }
    // A body that came in one piece was never seen by the progress check.
    const QByteArray body = r->read(updateDownloadMaxBytes + 1);
    if (body.size() > updateDownloadMaxBytes) {
        result.failure = JsonDownload::TooLong;
        return result;
    }
    result.document = QJsonDocument::fromJson(body);
    if (result.document.isNull())
        result.failure = JsonDownload::NotJson;
    return result;
}
