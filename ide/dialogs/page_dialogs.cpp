#include "page_dialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>

QMessageBox::StandardButton pageMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                           const QString& text, QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton)
{
    QPointer<QMessageBox> box = new QMessageBox(icon, title, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box->setDefaultButton(defaultButton);
    box->exec();
    if (!box)
        return QMessageBox::NoButton;
    const QMessageBox::StandardButton answer = box->standardButton(box->clickedButton());
    delete box;
    return answer;
}

QString defaultProjectsDirectory()
{
    const QString documents = QStandardPaths::standardLocations(QStandardPaths::DocumentsLocation).value(0);
    return !documents.isEmpty() && QDir(documents).exists() ? documents : QDir::homePath();
}

QString projectsDirectory()
{
    return QSettings().value(QStringLiteral("Directory"), defaultProjectsDirectory()).toString();
}

void pageWarning(QWidget* parent, const QString& title, const QString& text)
{
    pageMessageBox(parent, QMessageBox::Warning, title, text);
}

QMessageBox::StandardButton pageSaveQuestion(QWidget* parent, const QString& title, const QString& text)
{
    return pageMessageBox(parent, QMessageBox::Question, title, text,
                          QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Cancel);
}

namespace {

QStringList runFileDialog(QWidget* parent, const QString& title, const QString& directory, const QString& filter,
                          QFileDialog::AcceptMode mode, QFileDialog::FileMode fileMode)
{
    QPointer<QFileDialog> dialog = new QFileDialog(parent, title, directory, filter);
    dialog->setAcceptMode(mode);
    dialog->setFileMode(fileMode);
    const bool accepted = dialog->exec() == QDialog::Accepted;
    if (!dialog)
        return QStringList();
    const QStringList files = accepted ? dialog->selectedFiles() : QStringList();
    delete dialog;
    return files;
}

} // namespace

QString pageSaveFileName(QWidget* parent, const QString& title, const QString& directory, const QString& filter)
{
    return runFileDialog(parent, title, directory, filter, QFileDialog::AcceptSave, QFileDialog::AnyFile).value(0);
}

QString pageOpenFileName(QWidget* parent, const QString& title, const QString& directory, const QString& filter)
{
    return runFileDialog(parent, title, directory, filter, QFileDialog::AcceptOpen, QFileDialog::ExistingFile).value(0);
}

QStringList pageOpenFileNames(QWidget* parent, const QString& title, const QString& directory,
                              const QString& filter)
{
    return runFileDialog(parent, title, directory, filter, QFileDialog::AcceptOpen, QFileDialog::ExistingFiles);
}
