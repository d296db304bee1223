// The project's files on the page: switching, creating, adding and removing
// files, and the IDE's temporary files.

#include "kolmprojectwindow.h"
#include "ui_kolmprojectwindow.h"

#include "kolmproject.h"
#include "page_dialogs.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

void KolmProjectWindow::on_codeSelectorCombo_activated(int idx)
{
    const QString entry = ui->codeSelectorCombo->itemText(idx);
    if (entry == m_currentFile)
        return;
    const QPointer<KolmProjectWindow> self(this);
    const bool saved = codeSave_core(false);
    if (!self)
        return;
    if (!saved || !m_project || !openFile(entry)) {
        if (self)
            ui->codeSelectorCombo->setCurrentIndex(ui->codeSelectorCombo->findText(m_currentFile));
        return;
    }
    m_currentFile = entry;
}

void KolmProjectWindow::on_codeNewTool_clicked()
{
    if (!m_project)
        return;
    const QPointer<KolmProjectWindow> self(this);
    const QString path =
        pageSaveFileName(this, tr("Save As"), projectDirectory(), KolmProject::scriptFileSelector());
    if (!self || !m_project || path.isEmpty())
        return;
    // A file of the project keeps its contents: refused before it is
    // opened. The project's add refuses it as well and says why.
    if (m_project->holds(path)) {
        m_project->add(path, false);
        pageWarning(this, tr("New File"), tr("Cannot add file to project"));
        return;
    }
    QFile file(path);
    const QByteArray header = QStringLiteral("/*\n * KolM Script %1\n * Project: %2\n * Created %3\n */\n\n")
                                  .arg(QFileInfo(path).fileName(), m_project->name(),
                                       QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss")))
                                  .toUtf8();
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(header) != header.size()
        || !file.flush()) {
        pageWarning(this, tr("New File"), tr("Cannot create file %1: %2").arg(path, file.errorString()));
        return;
    }
    file.close();
    if (!m_project->add(path, false)) {
        pageWarning(this, tr("New File"), tr("Cannot add file to project"));
        return;
    }
    ui->codeSelectorCombo->addItem(m_project->relativePath(path));
}

void KolmProjectWindow::on_codeAddTool_clicked()
{
    if (!m_project)
        return;
    const QPointer<KolmProjectWindow> self(this);
    const QStringList files =
        pageOpenFileNames(this, tr("Add Files"), projectDirectory(), KolmProject::scriptFileSelector());
    if (!self || !m_project || files.isEmpty())
        return;
    bool refused = false;
    for (const QString& file : files) {
        if (m_project->add(file, false))
            ui->codeSelectorCombo->addItem(m_project->relativePath(file));
        else
            refused = true;
    }
    if (refused)
        pageWarning(this, tr("Add Files"), tr("Could not add some of the files to project"));
}

void KolmProjectWindow::on_codeRemoveTool_clicked()
{
    if (!m_project)
        return;
    const QString entry = ui->codeSelectorCombo->currentText();
    if (entry.isEmpty())
        return;
    const QPointer<KolmProjectWindow> self(this);
    if (!codeSave_core(false) || !self || !m_project)
        return;
    const QMessageBox::StandardButton answer = pageMessageBox(
        this, QMessageBox::Question, tr("Remove File"),
        tr("Remove file %1 from project %2?<br>The file itself will not be deleted.")
            .arg(m_project->absolutePath(entry), m_project->name()),
        QMessageBox::Yes | QMessageBox::No);
    if (!self || !m_project || answer != QMessageBox::Yes || !m_project->remove(entry))
        return;
    // Nothing is shown until the user picks a file, so nothing typed can go
    // into the removed one.
    m_currentFile.clear();
    emptyEditor();
    ui->codeSelectorCombo->removeItem(ui->codeSelectorCombo->findText(entry));
}

namespace {

QString temporaryDirectory()
{
    return QStandardPaths::standardLocations(QStandardPaths::AppDataLocation).value(0);
}

const QString kTemporaryPrefix = QStringLiteral("__kolmide_temp_");

} // namespace

QString KolmProjectWindow::makeTemporaryFile(const QString& name)
{
    const QString directory = temporaryDirectory();
    if (directory.isEmpty() || !QDir().mkpath(directory))
        return QString();
    const QString base = directory + QDir::separator() + kTemporaryPrefix + name + QLatin1Char('_');
    for (qint64 counter = 0;; ++counter) {
        const QString candidate = base + QStringLiteral("%1").arg(counter, 3, 10, QLatin1Char('0'));
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

void KolmProjectWindow::cleanTemporaryStorage()
{
    const QString directory = temporaryDirectory();
    if (directory.isEmpty())
        return;
    QDir dir(directory);
    if (!dir.exists())
        return;
    for (const QString& file : dir.entryList({kTemporaryPrefix + QLatin1Char('*')}, QDir::Files, QDir::Unsorted))
        dir.remove(file);
}
