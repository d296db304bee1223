#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

// The modal boxes and file dialogs of the project page and its dialogs.
// Each lives on the heap with its parent: when the parent is deleted while
// the dialog is open (a close from inside its event loop), the dialog goes with it and the call
// returns "no answer" (NoButton, an empty name) instead of touching a
// destroyed object. Callers check their own life the same way afterwards.

QMessageBox::StandardButton pageMessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                           const QString& text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// The default of the setting "Directory": the user's first documents
// location when that folder exists, else the home folder (a fresh account
// may have no documents folder yet).
QString defaultProjectsDirectory();

// Where the project dialogs start looking: the setting "Directory", by
// default defaultProjectsDirectory().
QString projectsDirectory();

// A warning with one OK button.
void pageWarning(QWidget* parent, const QString& title, const QString& text);

// The Save, Discard, Cancel question of the page, Cancel the default.
QMessageBox::StandardButton pageSaveQuestion(QWidget* parent, const QString& title, const QString& text);

// A file name to save to; empty when none was chosen.
QString pageSaveFileName(QWidget* parent, const QString& title, const QString& directory, const QString& filter);

// One existing file; empty when none was chosen.
QString pageOpenFileName(QWidget* parent, const QString& title, const QString& directory, const QString& filter);

// One or more existing files; empty when none were chosen.
QStringList pageOpenFileNames(QWidget* parent, const QString& title, const QString& directory,
                              const QString& filter);
