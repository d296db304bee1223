#include "jsondownload.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QScopedPointer>
#include <QTimer>
#include <QUrl>

QJsonDocument downloadJSon(const QString &url, int timeoutMs)
{
    const QUrl address(url);
    if (!address.isValid())
        return QJsonDocument();

    QNetworkAccessManager manager;
    QScopedPointer<QNetworkReply> reply(manager.get(QNetworkRequest(address)));
    QNetworkReply *r = reply.data();

    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(timeoutMs);
    QObject::connect(&timer, &QTimer::timeout, r, &QNetworkReply::abort);
    // Stops a long body early instead of keeping all of it in memory.
    QObject::connect(r, &QNetworkReply::downloadProgress, r, [r](qint64 received, qint64) {
        if (received > updateDownloadMaxBytes)
            r->abort();
    });

    QEventLoop loop;
    QObject::connect(r, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(r, &QNetworkReply::errorOccurred, &loop, &QEventLoop::quit);
    timer.start();
    if (!r->isFinished())
        loop.exec();

    if (!r->isFinished() || r->error() != QNetworkReply::NoError)
        return QJsonDocument();
    // A body that came in one piece was never seen by the progress check.
    const QByteArray body = r->read(updateDownloadMaxBytes + 1);
    if (body.size() > updateDownloadMaxBytes)
        return QJsonDocument();
    return QJsonDocument::fromJson(body);
}
