#include "kolmpackageimport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <quazip.h>
#include <quazipfile.h>
#include <unzip.h>

#include "kolmpackagecopy.h"
#include "kolmpackagenames.h"
#include "kolmpackageprogress.h"

namespace {

const QString kManifest = QStringLiteral(".manifest");

// A description of two short names; anything larger is no description.
constexpr qint64 kManifestLimit = 64 * 1024;

// The current entry's name exactly as recorded, NUL bytes and all, where
// QuaZip's own reading stops at a NUL or after 256 bytes, and the size its
// data has once inflated (reading never yields more than that).
bool currentEntry(unzFile zip, QString* name, quint64* size)
{
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    // The format stores the length in 16 bits.
    QByteArray raw(int(info.size_filename & 0xffff), '\0');
    if (unzGetCurrentFileInfo64(zip, &info, raw.data(), uLong(raw.size()), nullptr, 0, nullptr, 0)
        != UNZ_OK)
        return false;
    *name = QString::fromUtf8(raw.constData(), raw.size());
    *size = info.uncompressed_size;
    return true;
}

} // namespace

KolmPackageImport::KolmPackageImport(const QString& packagePath) : m_packagePath(packagePath) {}

KolmPackageImport::~KolmPackageImport() = default;

bool KolmPackageImport::fail(const QString& text)
{
    m_log.append({true, text});
    return false;
}

bool KolmPackageImport::open()
{
    m_zip = std::make_unique<QuaZip>(m_packagePath);
    m_zip->setFileNameCodec("UTF-8");
    if (!m_zip->open(QuaZip::mdUnzip) || !m_zip->setCurrentFile(kManifest, QuaZip::csInsensitive)) {
        m_zip.reset();
        return fail(tr("%1 is not a Kolm package").arg(m_packagePath));
    }
    if (!readManifest()) {
        m_zip.reset();
        return false;
    }
    return true;
}

bool KolmPackageImport::readManifest()
{
    const QString broken = tr("%1 package is broken - file is not readable").arg(m_packagePath);
    const QString invalid = tr("%1 is not a Kolm package").arg(m_packagePath) + QLatin1Char(' ')
                            + tr("package description is invalid");
    QuaZipFile entry(m_zip.get());
    if (!entry.open(QIODevice::ReadOnly))
        return fail(broken);
    if (entry.usize() > kManifestLimit)
        return fail(invalid);
    // The recorded size may lie; never read more than the limit and a byte.
    const QByteArray text = entry.read(kManifestLimit + 1);
    if (text.size() > kManifestLimit)
        return fail(invalid);
    entry.close();
    if (entry.getZipError() != UNZ_OK)
        return fail(broken);

    const QJsonObject manifest = QJsonDocument::fromJson(text).object();
    if (manifest.isEmpty())
        return fail(invalid);
    m_name = manifest.value(QStringLiteral("name")).toString();
    m_project = manifest.value(QStringLiteral("project")).toString();
    return true;
}

QString KolmPackageImport::defaultTarget(const QString& base) const
{
    if (base.isEmpty() || !isPlainName(m_name))
        return QString();
    const QString target = base + QDir::separator() + m_name;
    const QFileInfo info(target);
    return info.exists() || info.isSymLink() ? QString() : target;
}

bool KolmPackageImport::extractTo(const QString& target, KolmPackageProgress* progress)
{
    if (!m_zip)
        return false;
    m_target = QDir::cleanPath(QDir(target).absolutePath());
    m_canonicalTarget = QFileInfo(m_target).canonicalFilePath();
    if (!checkBeforeWriting(progress)) {
        m_zip.reset();
        return false;
    }
    if (!makeTarget())
        return fail(tr("Cannot create directory %1").arg(target));
    m_canonicalTarget = QFileInfo(m_target).canonicalFilePath();

    bool walked = true;
    for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
        QString name;
        quint64 size = 0;
        if (!currentEntry(m_zip->getUnzFile(), &name, &size)) {
            walked = false;
            break;
        }
        if (name == kManifest)
            continue;
        const Entry written = extractEntry(name, size, progress);
        if (written == Entry::Cancelled) {
            m_zip.reset();
            removeWhatWasMade();
            m_log.append({false, tr("Import cancelled")});
            return false;
        }
        if (written == Entry::Failed) {
            m_zip.reset();
            return false;
        }
    }
    walked = walked && m_zip->getZipError() == UNZ_OK;
    m_zip->close();
    m_zip.reset();
    if (!walked)
        return fail(tr("%1 package is broken - file is not readable").arg(m_packagePath));

    const QString projectFile = m_target + QLatin1Char('/') + m_project;
    // A "project" that is no plain file name counts as missing: it must not
    // name a file elsewhere.
    if (!isPlainName(m_project) || !QFileInfo(projectFile).isFile() || !staysInside(projectFile))
        return fail(tr("Project %1 imported, but the project file %2 does not exist")
                        .arg(m_name, m_project));
    m_log.append({false, tr("Successfully imported project %1").arg(m_name)});
    m_projectFile = projectFile;
    return true;
}

// Reads the archive's directory only: the number of entries, the bytes they
// unpack to and how much larger that is than the package, and whether a
// file entry would land on a file that exists. Sets the progress's total.
bool KolmPackageImport::checkBeforeWriting(KolmPackageProgress* progress)
{
    int entries = 0;
    quint64 bytes = 0;
    for (bool more = m_zip->goToFirstFile(); more; more = m_zip->goToNextFile()) {
        QString name;
        quint64 size = 0;
        if (!currentEntry(m_zip->getUnzFile(), &name, &size))
            return fail(tr("%1 package is broken - file is not readable").arg(m_packagePath));
        if (++entries > maxEntries)
            return fail(tr("Import refused - %1 holds more than %2 files").arg(m_packagePath).arg(maxEntries));
        bytes += size;
        if (size > maxBytes || bytes > maxBytes)
            return fail(tr("Import refused - %1 would unpack to more than %2 MiB")
                            .arg(m_packagePath)
                            .arg(maxBytes >> 20));
        if (name == kManifest || !isPackageEntryName(name) || name.endsWith(QLatin1Char('/'))
            || m_canonicalTarget.isEmpty())
            continue;
        // A link that leads out of the target is refused by the extraction.
        const QString path = m_target + QLatin1Char('/') + QDir::cleanPath(name);
        const QFileInfo existing(path);
        if ((existing.exists() || existing.isSymLink()) && !existing.isDir() && staysInside(path))
            return fail(tr("Import refused - %1 already exists; import into an empty or new folder")
                            .arg(QDir::toNativeSeparators(path)));
    }
    if (m_zip->getZipError() != UNZ_OK)
        return fail(tr("%1 package is broken - file is not readable").arg(m_packagePath));
    const quint64 packageSize = quint64(qMax<qint64>(QFileInfo(m_packagePath).size(), 1));
    if (bytes > ratioFloor && bytes / packageSize > maxExpansion)
        return fail(tr("Import refused - %1 would grow more than %2 times when unpacked")
                        .arg(m_packagePath)
                        .arg(maxExpansion));
    if (progress)
        progress->setTotal(qint64(bytes) + entries);
    return true;
}

// Creates the target with its missing parents and remembers each level
// made, so that a cancel removes them again.
bool KolmPackageImport::makeTarget()
{
    QStringList missing;
    for (QString level = m_target; !QFileInfo(level).exists() && !QFileInfo(level).isSymLink();
         level = QFileInfo(level).path()) {
        missing.prepend(level);
        if (QFileInfo(level).path() == level)
            break;
    }
    if (!QDir().mkpath(m_target))
        return false;
    m_made += missing;
    return true;
}

KolmPackageImport::Entry KolmPackageImport::extractEntry(const QString& name, quint64 size,
                                                         KolmPackageProgress* progress)
{
    const auto failed = [this](const QString& text) {
        fail(text);
        return Entry::Failed;
    };
    const QString shown = shownEntryName(name);
    const QString invalid = tr("Import failed - invalid entry %1").arg(shown);
    if (!isPackageEntryName(name))
        return failed(invalid);
    const QString relative = QDir::cleanPath(name);
    const bool isDirectory = name.endsWith(QLatin1Char('/'));
    QString failedPath;
    switch (makeDirectories(isDirectory ? relative : QFileInfo(relative).path(), &failedPath)) {
    case Place::Outside:
        return failed(invalid);
    case Place::Failed:
        return failed(tr("Import failed - cannot create directory %1").arg(failedPath));
    case Place::Made:
        break;
    }
    if (progress)
        progress->add(1);
    if (isDirectory)
        return Entry::Written;

    const QString path = m_target + QLatin1Char('/') + relative;
    // An existing file may be a link; the import writes only inside.
    const QFileInfo existing(path);
    if ((existing.exists() || existing.isSymLink()) && !staysInside(path))
        return failed(invalid);

    // Only a new file is opened: whatever exists there stays as it is.
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return failed(tr("Import failed - cannot write to %1: %2").arg(path, file.errorString()));
    m_made.append(path);
    const auto drop = [&](Entry result) {
        file.remove();
        m_made.removeLast();
        return result;
    };
    const QString damaged = tr("Import failed (package damaged) - file %1 is not readable").arg(shown);
    QuaZipFile entry(m_zip.get());
    if (!entry.open(QIODevice::ReadOnly))
        return drop(failed(damaged));
    switch (copyInPieces(entry, file, progress)) {
    case KolmPackageCopy::ReadFailed:
        return drop(failed(damaged));
    case KolmPackageCopy::WriteFailed:
        return drop(failed(tr("Import failed - cannot write to %1: %2").arg(path, file.errorString())));
    case KolmPackageCopy::Cancelled:
        return drop(Entry::Cancelled);
    case KolmPackageCopy::Done:
        break;
    }
    // Closing the entry compares the checksum with the recorded one, but
    // only when the data ran to the recorded size, so the size is checked
    // here: a damaged stream may end early.
    const bool whole = quint64(file.pos()) == size;
    entry.close();
    if (!whole || entry.getZipError() != UNZ_OK)
        return drop(failed(damaged));
    // A full disk or a file size limit can fail the last buffered writes.
    if (!file.flush()) {
        const QString text = tr("Import failed - cannot write to %1: %2").arg(path, file.errorString());
        return drop(failed(text));
    }
    file.close();
    m_log.append({false, tr("Imported %1 from %2").arg(shown, m_name)});
    return Entry::Written;
}

// Removes the files and directories this import made, the last made first;
// a directory that now holds something of another's stays.
void KolmPackageImport::removeWhatWasMade()
{
    for (auto it = m_made.crbegin(); it != m_made.crend(); ++it) {
        const QFileInfo made(*it);
        if (made.isDir() && !made.isSymLink())
            QDir().rmdir(*it);
        else
            QFile::remove(*it);
    }
    m_made.clear();
}

// Creates the directories of a relative path below the target one level at
// a time, so that no level, made here or found there, leads outside.
KolmPackageImport::Place KolmPackageImport::makeDirectories(const QString& relative,
                                                            QString* failedPath)
{
    QString path = m_target;
    for (const QString& part : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        path += QLatin1Char('/') + part;
        const QFileInfo level(path);
        if (level.exists() || level.isSymLink()) {
            if (!staysInside(path))
                return Place::Outside;
            if (!level.isDir()) {
                *failedPath = path;
                return Place::Failed;
            }
        } else if (QDir().mkdir(path)) {
            m_made.append(path);
        } else {
            *failedPath = path;
            return Place::Failed;
        }
    }
    return Place::Made;
}

bool KolmPackageImport::staysInside(const QString& path) const
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    if (canonical == m_canonicalTarget)
        return true;
    const QString prefix = m_canonicalTarget.endsWith(QLatin1Char('/'))
                               ? m_canonicalTarget
                               : m_canonicalTarget + QLatin1Char('/');
    return canonical.startsWith(prefix);
}
