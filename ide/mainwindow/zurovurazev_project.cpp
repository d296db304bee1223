// Project actions of the main window: new, open, close, save and build a
// project, the wait for an up-to-date build, and the page's modified and
// compiled states.

#include "zurovurazev.h"

#include "kolmproject.h"
#include "kolmprojectcreator.h"
#include "page_dialogs.h"
#include "ui_zurovurazev.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace {

constexpr int SavedMessageMs = 10000;
constexpr int WaitCompiledMs = 2000;

} // namespace

void ZuROVUrazev::on_actionNew_Script_triggered()
{
    QPointer<ZuROVUrazev> self(this);
    if (ui->projectPage->modified() && !ui->projectPage->saveChanges())
        return;
    if (!self)
        return;
    QPointer<KolmProjectCreator> dialog = new KolmProjectCreator(this);
    const int answer = dialog->exec();
    if (!self || !dialog)
        return;
    // The entries are taken and the dialog goes before any box: the window,
    // and the dialog with it, may be deleted while a box is open.
    const QString chosenMain = dialog->mainFile();
    const QString projectDir = dialog->projectDir();
    const QString projectFile = dialog->projectFile();
    const QString projectName = dialog->projectName();
    const QString author = dialog->projectAuthor();
    const QString bsp = dialog->bsp();
    delete dialog;
    if (answer != QDialog::Accepted)
        return;

    // A relative main file is taken against the working directory, as the
    // dialog's own check reads it.
    QString mainFile = QFileInfo(chosenMain).absoluteFilePath();
    if (QDir(QFileInfo(mainFile).absolutePath()) != QDir(projectDir)) {
        const QString copy = projectDir + QDir::separator() + QStringLiteral("main.kos");
        if (!QFile::copy(mainFile, copy)) {
            pageWarning(this, tr("Create Project"), tr("Cannot copy %1 to %2").arg(mainFile, copy));
            return;
        }
        mainFile = copy;
    }

    std::unique_ptr<KolmProject> project(KolmProject::create(mainFile, QStringList(), projectName, author, bsp));
    connect(project.get(), &KolmProject::error, this, &ZuROVUrazev::logError);
    const bool saved = project->save(projectFile, false);
    disconnect(project.get(), &KolmProject::error, this, &ZuROVUrazev::logError);
    if (!saved) {
        project.reset();
        pageWarning(this, tr("Create Project"), tr("Cannot create project at %1").arg(projectName));
        return;
    }
    ui->actionBuild->setEnabled(true);
    ui->actionUpload->setEnabled(false);
    adoptProject(project.release(), projectFile);
}

void ZuROVUrazev::code_open(const QString &requested)
{
    QPointer<ZuROVUrazev> self(this);
    if (ui->projectPage->modified() && !ui->projectPage->saveChanges())
        return;
    if (!self)
        return;
    QString path = requested;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, tr("Open Project"), projectsDirectory(),
                                            KolmProject::projectSelector());
        if (!self || path.isEmpty())
            return;
    }
    if (!QFileInfo::exists(path))
        return;

    auto project = std::make_unique<KolmProject>();
    connect(project.get(), &KolmProject::error, this, &ZuROVUrazev::logError);
    if (!project->load(path)) {
        project.reset();
        pageWarning(this, tr("Open Project"), tr("Project %1 could not be opened").arg(QFileInfo(path).fileName()));
        return;
    }
    disconnect(project.get(), &KolmProject::error, this, &ZuROVUrazev::logError);
    ui->actionBuild->setEnabled(true);
    ui->actionUpload->setEnabled(false);
    adoptProject(project.release(), path);
}

void ZuROVUrazev::adoptProject(KolmProject *project, const QString &path)
{
    QPointer<ZuROVUrazev> self(this);
    QPointer<KolmProject> guard(project);
    // Closing the page's project may ask to save it.
    const bool accepted = ui->projectPage->setProject(project);
    if (!self) {
        if (!accepted)
            delete guard.data();
        return;
    }
    if (!accepted) {
        delete guard.data();
    } else {
        ui->zudbgPage->setProject(project);
        halApiReinit();
    }
    checkRecentFile(path);
}

void ZuROVUrazev::on_actionOpen_Script_triggered()
{
    code_open(QString());
}

void ZuROVUrazev::on_actionClose_Script_triggered()
{
    QPointer<ZuROVUrazev> self(this);
    ui->projectPage->closeProject();
    if (!self)
        return;
    // A cancelled close keeps the project on the page and in the debugger.
    if (ui->projectPage->project())
        return;
    ui->zudbgPage->unsetProject();
    ui->msgHalGroup->setEnabled(false);
}

void ZuROVUrazev::on_actionSave_Script_triggered()
{
    QPointer<ZuROVUrazev> self(this);
    if (ui->projectPage->saveChanges() && self)
        ui->statusbar->showMessage(tr("%1 saved").arg(ui->projectPage->name()), SavedMessageMs);
}

void ZuROVUrazev::on_actionBuild_triggered()
{
    ui->projectPage->compile();
}

bool ZuROVUrazev::project_waitCompiled()
{
    KolmProjectWindow *page = ui->projectPage;
    if (!page->project())
        return false;
    if (page->compiled())
        return true;
    QPointer<ZuROVUrazev> self(this);
    QPointer<KolmProjectWindow> pageGuard(page);
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setInterval(WaitCompiledMs);
    const QMetaObject::Connection finished = connect(
        page, &KolmProjectWindow::compilationFinished, this, [&loop](bool result) { loop.exit(result ? 0 : 1); });
    connect(&timer, &QTimer::timeout, this, [&loop] { loop.exit(1); });
    // The window going away ends the wait as well.
    connect(this, &QObject::destroyed, &loop, [&loop] { loop.exit(1); });
    QMetaObject::invokeMethod(page, &KolmProjectWindow::compile, Qt::QueuedConnection);
    timer.start();
    loop.exec();
    if (!self || !pageGuard)
        return false;
    disconnect(finished);
    return !m_closed && page->compiled();
}

void ZuROVUrazev::project_modified(bool on)
{
    ui->actionSave_Script->setEnabled(on);
}

void ZuROVUrazev::project_compiled(bool on)
{
    const bool deviceMode = device.state == DS_Messaging || device.state == DS_Config;
    ui->actionUpload->setEnabled(on && messenger && deviceMode);
}

void ZuROVUrazev::project_compilationFinished(bool)
{
    ui->actionLog->setChecked(true);
}
