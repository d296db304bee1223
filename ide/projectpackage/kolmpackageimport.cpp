#include "kolmpackageimport.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <quazip.h>
#include <quazipfile.h>
#include <unzip.h>

#include "kolmpackagecopy.h"
#include "kolmpackagenames.h"

namespace {

const QString kManifest = QStringLiteral(".manifest");

// A description of two short names; anything larger is no description.
constexpr qint64 kManifestLimit = 64 * 1024;

// The current entry's name exactly as recorded, NUL bytes and all, where
// QuaZip's own reading stops at a NUL or after 256 bytes, and the size its
// data has once inflated.
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

bool KolmPackageImport::extractTo(const QString& target)
{
    if (!m_zip)
        return false;
    m_target = QDir::cleanPath(QDir(target).absolutePath());
    if (!QDir().mkpath(m_target))
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
        if (!extractEntry(name, size)) {
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

bool KolmPackageImport::extractEntry(const QString& name, quint64 size)
{
    const QString invalid = tr("Import failed - invalid entry %1").arg(name);
    if (!isPackageEntryName(name))
        return fail(invalid);
    const QString relative = QDir::cleanPath(name);
    const bool isDirectory = name.endsWith(QLatin1Char('/'));
    QString failedPath;
    switch (makeDirectories(isDirectory ? relative : QFileInfo(relative).path(), &failedPath)) {
    case Place::Outside:
        return fail(invalid);
    case Place::Failed:
        return fail(tr("Import failed - cannot create directory %1").arg(failedPath));
    case Place::Made:
        break;
    }
    if (isDirectory)
        return true;

    const QString path = m_target + QLatin1Char('/') + relative;
    // An existing file may be a link; the import writes only inside.
    const QFileInfo existing(path);
    if ((existing.exists() || existing.isSymLink()) && !staysInside(path))
        return fail(invalid);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(tr("Import failed - cannot write to %1: %2").arg(path, file.errorString()));
    const QString damaged = tr("Import failed (package damaged) - file %1 is not readable").arg(name);
    QuaZipFile entry(m_zip.get());
    if (!entry.open(QIODevice::ReadOnly))
        return fail(damaged);
    switch (copyInPieces(entry, file)) {
    case KolmPackageCopy::ReadFailed:
        return fail(damaged);
    case KolmPackageCopy::WriteFailed:
        return fail(tr("Import failed - cannot write to %1: %2").arg(path, file.errorString()));
    case KolmPackageCopy::Done:
        break;
    }
    // Closing the entry compares the checksum with the recorded one, but
    // only when the data ran to the recorded size, so the size is checked
    // here: a damaged stream may end early.
    const bool whole = quint64(file.pos()) == size;
    entry.close();
    if (!whole || entry.getZipError() != UNZ_OK)
        return fail(damaged);
    if (!file.flush() || !file.commit())
        return fail(tr("Import failed - cannot write to %1: %2").arg(path, file.errorString()));
    m_log.append({false, tr("Imported %1 from %2").arg(name, m_name)});
    return true;
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
        } else if (!QDir().mkdir(path)) {
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
