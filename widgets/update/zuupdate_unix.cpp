#include "zuupdate_unix.h"

#include "jsondownload.h"
#include "updateschedule.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonObject>
#include <QSettings>
#include <QThread>
#include <QTimer>
#include <QVersionNumber>
#include <QtConcurrent>

static const int autoCheckDelayMs = 1000;

AppUpdater::AppUpdater(const QString &url, QObject *parent)
    : QObject(parent)
    , m_url(url)
    , m_watcher(new QFutureWatcher<JsonDownload>(this))
{
    connect(m_watcher, &QFutureWatcher<JsonDownload>::finished, this, &AppUpdater::asyncFinished);

    // No repeating timer: a long-running IDE checks again on request or at
    // its next start.
    if (automaticUpdateCheckDue(QSettings(), QDateTime::currentDateTime()))
        QTimer::singleShot(autoCheckDelayMs, this, &AppUpdater::checkUpdatesInt);
}

// Closing the IDE during a check waits for the download, which gives up
// after its time-out.
AppUpdater::~AppUpdater()
{
    while (!m_watcher->isFinished()) {
        QCoreApplication::processEvents();
        QThread::msleep(250);
    }
}

void AppUpdater::checkForUpdates()
{
    checkUpdatesInt();
}

void AppUpdater::checkUpdatesInt()
{
    if (!m_watcher->isFinished())
        return;
    QSettings().setValue(QStringLiteral("Updates/LastCheck"),
                         QDateTime::currentDateTime().toString(QLatin1String(updateCheckTimeFormat)));
    m_watcher->setFuture(QtConcurrent::run(downloadJSon, m_url, updateDownloadTimeoutMs));
}

// Why a download brought no update description, as the user reads it.
static QString failureText(const JsonDownload &download, const QString &url)
{
    switch (download.failure) {
    case JsonDownload::InvalidAddress:
        return AppUpdater::tr("the address \"%1\" is not valid").arg(url);
    case JsonDownload::NetworkError:
        return download.networkError;
    case JsonDownload::TimedOut:
        return AppUpdater::tr("no answer within %1 seconds").arg(updateDownloadTimeoutMs / 1000);
    case JsonDownload::TooLong:
        return AppUpdater::tr("the update description is too long");
    case JsonDownload::NotJson:
    case JsonDownload::None:
        break;
    }
    return AppUpdater::tr("the update description is not readable");
}

void AppUpdater::asyncFinished()
{
    const JsonDownload download = m_watcher->result();
    const QJsonDocument doc = download.document;
    if (download.failure != JsonDownload::None || !doc.isArray()) {
        emit updateCheckFailed(failureText(download, m_url));
        return;
    }

    const QVersionNumber current = QVersionNumber::fromString(QCoreApplication::applicationVersion());
    QVersionNumber best(0, 0, 0);
    QString bestVersion;
    QString bestUrl;
    QString changelog;
    const QJsonArray releases = doc.array();
    for (const QJsonValue &entry : releases) {
        const QJsonObject release = entry.toObject();
        const QString versionText = release.value(QLatin1String("version")).toString();
        const QVersionNumber version = QVersionNumber::fromString(versionText);
        if (versionText.isEmpty() || version <= current)
            continue;

        QString notes;
        const QJsonArray lines = release.value(QLatin1String("changelog")).toArray();
        for (const QJsonValue &line : lines)
            notes += QLatin1Char('\n') + line.toVariant().toString();
        changelog.prepend(notes);

        if (version > best) {
            best = version;
            bestVersion = versionText;
            bestUrl = release.value(QLatin1String("url86")).toString();
        }
    }

    if (bestVersion.isEmpty())
        emit updateInfoAvailable(false, QString(), QString(), QString());
    else
        emit updateInfoAvailable(true, bestVersion, changelog, bestUrl);
}
