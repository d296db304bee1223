#include "kolmproject.h"
#include "whole_file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonParseError>

KolmProject* KolmProject::create(const QString& mainFile, const QStringList& files,
                                 const QString& name, const QString& author, const QString& bsp)
{
    auto* project = new KolmProject;
    const QFileInfo main(mainFile);
    project->setName(name.isEmpty() ? main.completeBaseName() : name);
    project->setOutput(project->name() + QStringLiteral(".kcs"));
    // Provisional location beside the main file, so that the package copy
    // and the file entries below have a project directory.
    project->m_fileName = main.absolutePath() + QDir::separator() + main.completeBaseName()
                          + QStringLiteral(".kcpro");
    project->setCreator(QStringLiteral("KolmIDE"));
    project->setVersion(QStringLiteral("0.1.0"));
    project->setAuthor(author);
    project->setBSP(bsp);
    project->add(mainFile, true);
    for (const QString& file : files)
        project->add(file, false);
    return project;
}

bool KolmProject::load(const QString& fileName)
{
    // Opening a FIFO without a writer blocks, and a device reads for ever:
    // only a regular file of bounded size is opened at all.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile()) {
        emit error(tr("Project file %1 is not a regular file").arg(fileName));
        return false;
    }
    const auto tooLarge = [&] {
        emit error(tr("Project file %1 is larger than %2 bytes").arg(fileName).arg(maxProjectFileBytes));
        return false;
    };
    if (info.size() > maxProjectFileBytes)
        return tooLarge();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        emit error(tr("Cannot read %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    // The file may have grown since it was looked at.
    const QByteArray text = file.read(maxProjectFileBytes + 1);
    if (text.size() > maxProjectFileBytes)
        return tooLarge();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        emit error(tr("Project file is corrupted: %1").arg(parseError.errorString()));
        return false;
    }
    if (!document.isObject()) {
        emit error(tr("Project file is invalid"));
        return false;
    }
    m_project = document.object();
    setModified(false);

    const QDir directory(QFileInfo(fileName).absolutePath());
    bool haveMain = false;
    for (const QJsonValue& value : m_project.value(QStringLiteral("files")).toArray()) {
        if (!value.isObject()) {
            emit error(tr("Project file is corrupted: file entry is not an object"));
            return false;
        }
        const QJsonObject entry = value.toObject();
        if (entry.value(QStringLiteral("name")).toString().isEmpty()) {
            emit error(tr("File entry without a name"));
            return false;
        }
        const QString path = projectPath(entry);
        // A directory is no source file.
        if (!QFileInfo(directory.absoluteFilePath(path)).isFile()) {
            emit error(tr("File %1 does not exist").arg(path));
            return false;
        }
        if (!entry.value(QStringLiteral("flags")).toArray().contains(QStringLiteral("main")))
            continue;
        if (haveMain) {
            emit error(tr("Project file is corrupted: more than one \"main\" file entry"));
            return false;
        }
        haveMain = true;
        m_mainFile = path;
    }
    if (!haveMain) {
        emit error(tr("Invalid project - \"main\" file is missing"));
        return false;
    }
    m_fileName = fileName;
    return true;
}

bool KolmProject::save(const QString& fileName, bool compact)
{
    const QString target = fileName.isEmpty() ? m_fileName : fileName;
    const QByteArray text = QJsonDocument(m_project).toJson(compact ? QJsonDocument::Compact
                                                                     : QJsonDocument::Indented);
    QString reason;
    if (!writeWholeFile(target, text, &reason)) {
        emit error(tr("Cannot write to %1: %2").arg(target, reason));
        return false;
    }
    if (!fileName.isEmpty())
        m_fileName = fileName;
    setModified(false);
    return true;
}

QByteArray KolmProject::read(const QString& path, bool* ok)
{
    QFile file(absolutePath(path));
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    if (!opened) {
        emit error(tr("Cannot read item %1: %2").arg(path, file.errorString()));
        return QByteArray();
    }
    return file.readAll();
}

bool KolmProject::saveFile(const QString& path, const QString& text)
{
    const QString target = absolutePath(path);
    QString reason;
    if (writeWholeFile(target, text.toUtf8(), &reason))
        return true;
    emit error(tr("Cannot write to %1: %2").arg(target, reason));
    return false;
}
