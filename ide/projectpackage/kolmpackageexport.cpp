#include "kolmpackageexport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include "kolmpackagecopy.h"
#include "kolmpackagenames.h"
#include "kolmpackageprogress.h"
#include "kolmproject.h"

namespace {

// Every entry, ".manifest" included, is deflated at zlib's default level
// into a raw stream; the archive computes the checksum.
bool openEntry(QuaZipFile& entry, const QString& name)
{
    return entry.open(QIODevice::WriteOnly, QuaZipNewInfo(name), nullptr, 0, Z_DEFLATED,
                      Z_DEFAULT_COMPRESSION, false, -MAX_WBITS, DEF_MEM_LEVEL,
                      Z_DEFAULT_STRATEGY);
}

bool closeEntry(QuaZipFile& entry)
{
    entry.close();
    return entry.getZipError() == ZIP_OK;
}

} // namespace

KolmPackageExport::KolmPackageExport(const KolmProject* project, const QString& name)
    : m_hasProject(project != nullptr), m_name(name)
{
    if (!project) {
        m_log.append({true, tr("No active project to export")});
        return;
    }
    const QFileInfo projectFile(project->fileName());
    m_directory = projectFile.absolutePath();
    m_projectFileName = projectFile.fileName();

    const QStringList local = project->localFileList();
    m_external = local.size() != project->fileCount();
    for (const QString& file : local)
        addEntry(file);
    // Other items may be named by an absolute path; one inside the project
    // directory is packed under its relative name.
    const QDir directory(m_directory);
    for (const QString& item : project->miscList())
        addEntry(QDir::isAbsolutePath(item) ? directory.relativeFilePath(item) : item);
    addEntry(m_projectFileName);
}

void KolmPackageExport::addEntry(const QString& name)
{
    if (isPackageEntryName(name) && !name.endsWith(QLatin1Char('/')))
        m_entries.append(name);
    else
        m_external = true;
}

QString KolmPackageExport::proposedPath(const QString& directory) const
{
    return directory + QDir::separator() + m_name + QStringLiteral(".zip");
}

bool KolmPackageExport::fail(const QString& text)
{
    m_log.append({true, text});
    return false;
}

void KolmPackageExport::inform(const QString& text)
{
    m_log.append({false, text});
}

bool KolmPackageExport::writeTo(const QString& packagePath, KolmPackageProgress* progress)
{
    if (!m_hasProject)
        return false;
    if (progress) {
        qint64 total = m_entries.size();
        for (const QString& name : qAsConst(m_entries))
            total += QFileInfo(m_directory + QDir::separator() + name).size();
        progress->setTotal(total);
    }
    const QString archiveFailure = tr("Export failed - cannot write to archive");
    const auto unreadable = [](const QString& name) {
        return tr("Export failed - cannot read source file %1").arg(name);
    };

    // The archive object is declared after the file, so it is closed first.
    QSaveFile file(packagePath);
    QuaZip zip(&file);
    zip.setAutoClose(false);
    zip.setFileNameCodec("UTF-8");
    zip.setUtf8Enabled(true);
    if (!file.open(QIODevice::WriteOnly) || !zip.open(QuaZip::mdCreate))
        return fail(tr("Export failed - cannot write to %1").arg(packagePath));

    const QByteArray manifest =
        QJsonDocument(QJsonObject{{QStringLiteral("name"), m_name},
                                  {QStringLiteral("project"), m_projectFileName}})
            .toJson(QJsonDocument::Compact);
    QuaZipFile manifestEntry(&zip);
    if (!openEntry(manifestEntry, QStringLiteral(".manifest"))
        || manifestEntry.write(manifest) != manifest.size() || !closeEntry(manifestEntry))
        return fail(archiveFailure);

    for (const QString& name : qAsConst(m_entries)) {
        QFile source(m_directory + QDir::separator() + name);
        if (!source.open(QIODevice::ReadOnly))
            return fail(unreadable(name));
        QuaZipFile entry(&zip);
        if (!openEntry(entry, name))
            return fail(archiveFailure);
        switch (copyInPieces(source, entry, progress)) {
        case KolmPackageCopy::ReadFailed:
            return fail(unreadable(name));
        case KolmPackageCopy::WriteFailed:
            return fail(archiveFailure);
        case KolmPackageCopy::Cancelled:
            // The save file is dropped unwritten when it goes.
            inform(tr("Export cancelled"));
            return false;
        case KolmPackageCopy::Done:
            break;
        }
        if (progress)
            progress->add(1);
        if (!closeEntry(entry))
            return fail(archiveFailure);
        inform(tr("Exported %1").arg(name));
    }

    zip.close();
    // A full disk or a file size limit can fail the last buffered writes,
    // which commit() alone does not notice.
    if (zip.getZipError() != ZIP_OK || !file.flush() || !file.commit())
        return fail(archiveFailure);
    if (m_external)
        inform(tr("Project %1 contains external files which have not been exported").arg(m_name));
    inform(tr("Project %1 exported").arg(m_name));
    return true;
}
