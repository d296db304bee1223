#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>

#include "kolmpackagelog.h"

class QuaZip;

// Unpacks a package into a directory. Everything read from the archive is
// checked before use: the description is a small JSON object, an entry
// name that is empty, absolute, has a ".." part or leads out of the target
// (also through a link already there) stops the import, and every entry is
// written beside its file under a temporary name that replaces the file
// only once the entry has been read whole and its checksum has matched.
//
// Use: open(), then choose the target (defaultTarget(), else ask the
// user), then extractTo(target).
class KolmPackageImport
{
    Q_DECLARE_TR_FUNCTIONS(ZuROVUrazev)

public:
    explicit KolmPackageImport(const QString& packagePath);
    ~KolmPackageImport();
    KolmPackageImport(const KolmPackageImport&) = delete;
    KolmPackageImport& operator=(const KolmPackageImport&) = delete;

    // Opens the archive and reads its ".manifest"; false, the reason
    // logged, when the file is no readable package.
    bool open();

    // The manifest's "name" and "project" (empty when missing).
    QString name() const { return m_name; }
    QString project() const { return m_project; }

    // The directory to import into without asking: base, a separator and
    // the name, when both are set, the name is one plain path component and
    // nothing exists there yet. Otherwise empty: the user chooses.
    QString defaultTarget(const QString& base) const;

    // Extracts every entry below target, which is created first. True when
    // the package's project file exists afterwards; projectFile() names it.
    bool extractTo(const QString& target);
    QString projectFile() const { return m_projectFile; }

    const KolmPackageLog& messages() const { return m_log; }

private:
    enum class Place { Made, Outside, Failed };
    bool readManifest();
    bool extractEntry(const QString& name, quint64 size);
    Place makeDirectories(const QString& relative, QString* failedPath);
    bool staysInside(const QString& path) const;
    bool fail(const QString& text);

    QString m_packagePath;
    std::unique_ptr<QuaZip> m_zip;
    QString m_name;
    QString m_project;
    QString m_target;
    QString m_canonicalTarget;
    QString m_projectFile;
    KolmPackageLog m_log;
};
