#pragma once

#include <QCoreApplication>
#include <QString>

#include <QStringList>

#include <memory>

#include "kolmpackagelog.h"

class KolmPackageProgress;
class QuaZip;

// Unpacks a package into a directory. Everything read from the archive is
// checked before use: the description is a small JSON object; before
// anything is written the archive's directory must stay within the bounds
// below and no file entry may name a file that already exists (an import
// never replaces a file); an entry name that is empty, absolute, has a ".."
// part or leads out of the target (also through a link already there)
// stops the import; an entry whose data is damaged leaves no file behind.
// A cancelled import removes every file and directory it made.
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

    // What an import may unpack: generous for a project of sources, far
    // below what fills a disk or takes minutes.
    static constexpr int maxEntries = 10000;
    static constexpr quint64 maxBytes = quint64(256) << 20;
    // The data may grow to this many times the package's size, once it is
    // larger than ratioFloor bytes.
    static constexpr quint64 maxExpansion = 200;
    static constexpr quint64 ratioFloor = quint64(1) << 20;

    // Extracts every entry below target, which is created first. True when
    // the package's project file exists afterwards; projectFile() names it.
    // A progress receives the bytes written and may cancel the import.
    bool extractTo(const QString& target, KolmPackageProgress* progress = nullptr);
    QString projectFile() const { return m_projectFile; }
    // The absolute directory extractTo() unpacked into.
    QString target() const { return m_target; }

    const KolmPackageLog& messages() const { return m_log; }

private:
    enum class Place { Made, Outside, Failed };
    enum class Entry { Written, Failed, Cancelled };
    bool readManifest();
    bool checkBeforeWriting(KolmPackageProgress* progress);
    bool makeTarget();
    Entry extractEntry(const QString& name, quint64 size, KolmPackageProgress* progress);
    Place makeDirectories(const QString& relative, QString* failedPath);
    void removeWhatWasMade();
    bool staysInside(const QString& path) const;
    bool fail(const QString& text);

    QString m_packagePath;
    std::unique_ptr<QuaZip> m_zip;
    QString m_name;
    QString m_project;
    QString m_target;
    QString m_canonicalTarget;
    QString m_projectFile;
    // Every file and directory this import made, in the order made.
    QStringList m_made;
    KolmPackageLog m_log;
};
