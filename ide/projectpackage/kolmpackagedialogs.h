#pragma once

#include <QCoreApplication>
#include <QString>

class QSettings;

// What the main window's package dialogs and status bar show, and where the dialogs start: the
// package file dialogs open in the directory of the last package chosen
// (setting "ImportExport", at first the home directory). The texts are the
// window's own and are translated in its context.
class KolmPackageDialogs
{
    Q_DECLARE_TR_FUNCTIONS(ZuROVUrazev)

public:
    static QString fileFilter();
    static QString exportTitle();        // the save dialog of the export
    static QString importTitle();        // the open dialog of the import
    static QString importTargetTitle();  // the directory dialog of the import
    static QString exportProgress();     // the progress dialogs' labels
    static QString importProgress();
    // The status bar's line after a package was written or unpacked.
    static QString exportedTo(const QString& name, const QString& packagePath);
    static QString importedTo(const QString& name, const QString& directory);

    static QString packageDirectory(const QSettings& settings);
    // Stores the absolute directory of the package file the user chose.
    static void rememberPackage(QSettings& settings, const QString& packagePath);
};
