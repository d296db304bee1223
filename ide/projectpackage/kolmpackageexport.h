#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "kolmpackagelog.h"

class KolmPackageProgress;
class KolmProject;

// Packs a project into a package: ".manifest" first, then the project's
// local files, its other items (schematics, board package) and last the
// project file, each under its project-relative name. Files outside the
// project directory are left out and reported. The package is written
// beside its path under a temporary name and replaces an older package
// only once the whole archive has been written and closed; a cancelled
// export leaves nothing behind.
class KolmPackageExport
{
    Q_DECLARE_TR_FUNCTIONS(ZuROVUrazev)

public:
    // Takes from the project everything the export needs, so the project
    // may close while the window asks for the package path. A null project
    // leaves nothing to export and logs why.
    KolmPackageExport(const KolmProject* project, const QString& name);

    bool hasProject() const { return m_hasProject; }
    // The path the save dialog proposes: directory, the project name, ".zip".
    QString proposedPath(const QString& directory) const;
    // The names of the package's entries after ".manifest", in order.
    QStringList entries() const { return m_entries; }

    // Writes the package; false when it was not written, the reason logged.
    // A progress receives the bytes read and may cancel the export.
    bool writeTo(const QString& packagePath, KolmPackageProgress* progress = nullptr);

    const KolmPackageLog& messages() const { return m_log; }

private:
    void addEntry(const QString& name);
    bool fail(const QString& text);
    void inform(const QString& text);

    bool m_hasProject = false;
    QString m_name;
    QString m_directory;
    QString m_projectFileName;
    QStringList m_entries;
    bool m_external = false;
    KolmPackageLog m_log;
};
