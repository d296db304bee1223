// The About box and the self-update notice.

#include "zurovurazev.h"

#include "ui_zurovurazev.h"
#include "zuupdate_unix.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>

namespace {

const char DefaultUpdateUrl[] = "https://kolm.dev/kolmide/releases.json";

} // namespace

void ZuROVUrazev::createUpdater()
{
    const QString url = QSettings().value(QStringLiteral("Updates/Url"), QLatin1String(DefaultUpdateUrl)).toString();
    auto *appUpdater = new AppUpdater(url, this);
    updater = appUpdater;
    connect(appUpdater, &AppUpdater::updateInfoAvailable, this, &ZuROVUrazev::updater_updatesAvailable);
    connect(appUpdater, &AppUpdater::updateCheckFailed, this, &ZuROVUrazev::updater_checkFailed);
    connect(&updateTimer, &QTimer::timeout, this, &ZuROVUrazev::updater_noAnswer);
    connect(ui->actionCheck_for_updates, &QAction::triggered, this, &ZuROVUrazev::checkUpdate);
}

void ZuROVUrazev::destroyUpdater()
{
    auto *appUpdater = dynamic_cast<AppUpdater *>(updater);
    updater = nullptr;
    if (!appUpdater)
        return;
    disconnect(appUpdater, nullptr, this, nullptr);
    delete appUpdater;
}

void ZuROVUrazev::checkUpdate()
{
    if (!updater)
        return;
    updateTimer.stop();
    manualCheck = true;
    updater->checkForUpdates();
    updateTimer.start();
}

void ZuROVUrazev::updater_noAnswer()
{
    if (manualCheck) {
        manualCheck = false;
        QMessageBox::information(this, tr("Check for Updates"), tr("No available updates."), QMessageBox::Ok);
    } else {
        statusBar()->showMessage(tr("No available updates."), 5000);
    }
}

// A check that could not read the update description says so: to the
// user who asked in a box, for an automatic check only in the log.
void ZuROVUrazev::updater_checkFailed(const QString &reason)
{
    updateTimer.stop();
    const QString text = tr("Cannot check for updates: %1").arg(reason);
    if (manualCheck) {
        manualCheck = false;
        QMessageBox::warning(this, tr("Check for Updates"), text, QMessageBox::Ok);
    } else {
        logInfo(text);
    }
}

void ZuROVUrazev::updater_updatesAvailable(bool can_update, QString latest, QString changelog, QString url)
{
    updateTimer.stop();
    if (!can_update) {
        if (manualCheck) {
            manualCheck = false;
            QMessageBox::information(this, tr("Check for Updates"), tr("You have the latest version."),
                                     QMessageBox::Ok);
        } else {
            statusBar()->showMessage(tr("The latest app version is installed."), 5000);
        }
        return;
    }
    QPointer<ZuROVUrazev> self(this);
    QMessageBox box;
    box.setIconPixmap(QPixmap(QStringLiteral(":/images/images/software-update-available.ico")));
    box.setWindowTitle(tr("Check for Updates"));
    box.setText(tr("An update to version <b>%1</b> is available<br>Update now?<br>"
                   "You can download the latest version <a href=\"%2\">here</a>")
                    .arg(latest, url));
    box.setDetailedText(tr("Changelog:\n") + changelog);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::No);
    if (box.exec() != QMessageBox::Yes || !self)
        return;
    auto *appUpdater = dynamic_cast<AppUpdater *>(updater);
    if (appUpdater && appUpdater->doSelfUpdate() && self)
        QCoreApplication::exit(0);
}

void ZuROVUrazev::on_actionAbout_triggered()
{
    const QString text =
        tr("Kolm IDE v%1").arg(QCoreApplication::applicationVersion()) + QStringLiteral("<br>")
        + tr("Made by the Kolm team at Halvane") + QStringLiteral("<br>")
        + QStringLiteral("<a href=\"https://kolm.dev/support\">kolm.dev/support</a><br><br>")
        + tr("3rd party software:")
        + QStringLiteral(
            "<ul>"
            "<li><a href=\"https://github.com/stachenov/quazip\">QuaZip</a> (GNU LGPL with static linking "
            "exception)</li>"
            "<li><a href=\"https://github.com/libusb/hidapi\">hidapi</a> (BSD-style license)</li>"
            "<li><a href=\"https://github.com/Megaxela/QCodeEditor\">QSourceEditor</a> (MIT License)</li>"
            "<li><a href=\"https://github.com/google/material-design-icons\">Material design icons</a> (Apache "
            "License 2.0)</li>"
            "<li><a href=\"https://github.com/leethomason/tinyxml2\">TinyXML-2</a> (zLib License)</li>"
            "</ul>");
    QMessageBox::about(this, tr("KolmIDE"), text);
}
