#ifndef KOLM_JSONDOWNLOAD_H
#define KOLM_JSONDOWNLOAD_H

#include <QJsonDocument>
#include <QString>

// Longest wait for the update description.
constexpr int updateDownloadTimeoutMs = 10000;
// The update description is a short list; a longer body is refused.
constexpr qint64 updateDownloadMaxBytes = 1024 * 1024;

// What a download brought: the document, or why there is none.
struct JsonDownload {
    enum Failure { None, InvalidAddress, NetworkError, TimedOut, TooLong, NotJson };
    QJsonDocument document;
    Failure failure = None;
    QString networkError;  // the network's own text for NetworkError
};

// Fetches a JSON document, blocking the calling thread (run it on a pool
// thread). An invalid address, a network error, a body that is not JSON, one
// longer than updateDownloadMaxBytes, or no complete answer within timeoutMs
// all give a null document and the failure.
JsonDownload downloadJSon(const QString &url, int timeoutMs = updateDownloadTimeoutMs);

#endif
