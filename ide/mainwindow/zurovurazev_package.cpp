// Project packages: the Export action packs the open project into a zip
// file, the Import action unpacks one into a directory and opens the
// project found there when none is open. Every step reaches the log.

#include "zurovurazev.h"

#include "kolmpackagedialogs.h"
#include "kolmpackageexport.h"
#include "kolmpackageimport.h"
#include "page_dialogs.h"
#include "ui_zurovurazev.h"

#include <QFileDialog>
#include <QPointer>

namespace {

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
    KolmPackageExport package(ui->projectPage->project(), ui->projectPage->name());
    if (package.hasProject()) {
        const QString path = QFileDialog::getSaveFileName(
            this, KolmPackageDialogs::exportTitle(),
            package.proposedPath(KolmPackageDialogs::packageDirectory(settings)), KolmPackageDialogs::fileFilter());
        if (!self || path.isEmpty())
            return;
        KolmPackageDialogs::rememberPackage(settings, path);
        package.writeTo(path);
    }
    logMessages(this, package.messages());
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
        imported = package.extractTo(target);
    }
    logMessages(this, package.messages());
    if (imported && !ui->projectPage->project())
        code_open(package.projectFile());
}
