// Project packages: the Export action packs the open project into a zip
// file, the Import action unpacks one into a directory and opens the
// project found there when none is open. Both run on a worker thread with
// a progress dialog; every step reaches the log, and the status bar says
// where a package or a project went.

#include "zurovurazev.h"

#include "kolmpackagedialogs.h"
#include "kolmpackageexport.h"
#include "kolmpackageimport.h"
#include "page_dialogs.h"
#include "ui_zurovurazev.h"

#include "kolmpackageprogress.h"
#include "package_run.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QStatusBar>

namespace {

// Import and Export are off while one of them runs; on again when it ends,
// also when the window goes first (the pointers then are null).
class PackageActionsOff
{
public:
    PackageActionsOff(QAction *import, QAction *exportAction) : m_import(import), m_export(exportAction)
    {
        m_import->setEnabled(false);
        m_export->setEnabled(false);
    }
    ~PackageActionsOff()
    {
        if (m_import)
            m_import->setEnabled(true);
        if (m_export)
            m_export->setEnabled(true);
    }
    PackageActionsOff(const PackageActionsOff &) = delete;
    PackageActionsOff &operator=(const PackageActionsOff &) = delete;

private:
    QPointer<QAction> m_import;
    QPointer<QAction> m_export;
};

void logMessages(ZuROVUrazev *window, const KolmPackageLog &messages)
{
    for (const KolmPackageMessage &m : messages) {
        if (m.error)
            window->logError(m.text);
        else
            window->logInfo(m.text);
    }
}

} // namespace

void ZuROVUrazev::on_actionExport_Script_triggered()
{
    QPointer<ZuROVUrazev> self(this);
    const QString name = ui->projectPage->name();
    KolmPackageExport package(ui->projectPage->project(), name);
    bool exported = false;
    QString path;
    if (package.hasProject()) {
        path = QFileDialog::getSaveFileName(
            this, KolmPackageDialogs::exportTitle(),
            package.proposedPath(KolmPackageDialogs::packageDirectory(settings)), KolmPackageDialogs::fileFilter());
        if (!self || path.isEmpty())
            return;
        KolmPackageDialogs::rememberPackage(settings, path);
        const PackageActionsOff off(ui->actionImport_Script, ui->actionExport_Script);
        exported = runPackageWork(this, KolmPackageDialogs::exportProgress(),
                                  [&](KolmPackageProgress *progress) { return package.writeTo(path, progress); });
        if (!self)
            return;
    }
    logMessages(this, package.messages());
    if (exported)
        statusBar()->showMessage(KolmPackageDialogs::exportedTo(name,
                                                                 QDir::toNativeSeparators(path)));
}

void ZuROVUrazev::on_actionImport_Script_triggered()
{
    QPointer<ZuROVUrazev> self(this);
    const QString path =
        QFileDialog::getOpenFileName(this, KolmPackageDialogs::importTitle(),
                                     KolmPackageDialogs::packageDirectory(settings), KolmPackageDialogs::fileFilter());
    if (!self || path.isEmpty())
        return;
    KolmPackageDialogs::rememberPackage(settings, path);
    KolmPackageImport package(path);
    bool imported = false;
    if (package.open()) {
        QString target = package.defaultTarget(projectsDirectory());
        if (target.isEmpty()) {
            target = QFileDialog::getExistingDirectory(this, KolmPackageDialogs::importTargetTitle(),
                                                       projectsDirectory(), QFileDialog::ShowDirsOnly);
            if (!self || target.isEmpty())
                return;
        }
        const PackageActionsOff off(ui->actionImport_Script, ui->actionExport_Script);
        imported = runPackageWork(this, KolmPackageDialogs::importProgress(),
                                  [&](KolmPackageProgress *progress) { return package.extractTo(target, progress); });
        if (!self)
            return;
    }
    logMessages(this, package.messages());
    if (imported) {
        statusBar()->showMessage(KolmPackageDialogs::importedTo(package.name(),
                                                                 QDir::toNativeSeparators(package.target())));
        if (!ui->projectPage->project())
            code_open(package.projectFile());
    }
}
