#include "zuupdate_unix.h"

#include "jsondownload.h"

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

static const char lastCheckKey[] = "Updates/LastCheck";
static const char lastCheckFormat[] = "yyyy.MM.dd hh:mm:ss";
static const qint64 secondsPerDay = 86400;
static const int autoCheckDelayMs = 1000;

AppUpdater::AppUpdater(const QString &url, QObject *parent)
    : QObject(parent)
    , m_url(url)
    , m_watcher(new QFutureWatcher<QJsonDocument>(this))
{
    connect(m_watcher, &QFutureWatcher<QJsonDocument>::finished, this, &AppUpdater::asyncFinished);

    QSettings settings;
    const qint64 period = qMax<qint64>(1, settings.value(QStringLiteral("Updates/Interval"), 7).toUInt()) * secondsPerDay;
    const QDateTime last =
        QDateTime::fromString(settings.value(QLatin1String(lastCheckKey)).toString(), QLatin1String(lastCheckFormat));
    const bool due = !last.isValid() || last.secsTo(QDateTime::currentDateTime()) > period;
    if (settings.value(QStringLiteral("Updates/Auto"), true).toBool() && due)
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
    QSettings().setValue(QLatin1String(lastCheckKey),
                         QDateTime::currentDateTime().toString(QLatin1String(lastCheckFormat)));
    m_watcher->setFuture(QtConcurrent::run(downloadJSon, m_url, updateDownloadTimeoutMs));
}

void AppUpdater::asyncFinished()
{
    const QJsonDocument doc = m_watcher->result();
    if (doc.isNull() || !doc.isArray()) {
        emit updateInfoAvailable(false, QString(), QString(), QString());
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
