#ifndef KOLM_ZUUPDATE_UNIX_H
#define KOLM_ZUUPDATE_UNIX_H

// Looks for a newer release of the IDE in the update description, a JSON
// array of releases at an address the owner gives, and installs it into the
// running AppImage package on request.
//
// Settings: "Updates/Interval" (days between automatic checks, default 7),
// "Updates/Auto" (automatic checks, default on) and "Updates/LastCheck"
// (when the last check started, written here).

#include "jsondownload.h"
#include "zuupdater.h"

#include <QObject>
#include <QString>

template <typename T>
class QFutureWatcher;

class AppUpdater : public QObject, public ZUUpdater {
    Q_OBJECT

public:
    AppUpdater(const QString &url, QObject *parent);
    ~AppUpdater() override;

    void checkForUpdates() override;

    // Runs the AppImage update tool on the running package with a progress
    // dialog. True when the tool succeeded; the caller should then end the
    // program so that the next start runs the new release.
    bool doSelfUpdate();

signals:
    // Once per check that read the update description: whether a newer
    // release exists, its version, the change notes of all newer releases
    // (each note after a newline) and its download address.
    void updateInfoAvailable(bool can_update, QString version, QString changelog, QString url);
    // Instead, when the check could not read the update description: why.
    void updateCheckFailed(QString reason);

private slots:
    void checkUpdatesInt();
    void asyncFinished();

private:
    QString m_url;
    QFutureWatcher<JsonDownload> *m_watcher;
};

#endif
