#include "kolmproject.h"
#include "whole_file_writer.h"

#include "builtin_board_packages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kBuiltinDirectory = QStringLiteral(":/data/bsp/");
const QString kBuiltinScheme = QStringLiteral("sys://");

} // namespace

QStringList KolmProject::builtinBSP()
{
    initBuiltinBoardPackages();
    QStringList names = QDir(kBuiltinDirectory, QStringLiteral("*.kbsp"), QDir::NoSort, QDir::Files)
                            .entryList();
    for (QString& name : names)
        name.prepend(kBuiltinScheme);
    return names;
}

void KolmProject::setBSP(const QString& name)
{
    if (name.isEmpty())
        return;
    // Without a location the copy would land in the working directory.
    if (!hasLocation(QStringLiteral("Cannot set the board package - project location is not specified")))
        return;
    if (name.startsWith(kBuiltinScheme)) {
        initBuiltinBoardPackages();
        const QString fileName = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
        copyIntoProject(kBuiltinDirectory + name.mid(kBuiltinScheme.size()), fileName, true);
        return;
    }
    const QFileInfo package(absolutePath(name));
    if (QDir(package.absolutePath()) == QDir(projectDirectory())) {
        // Stored bare, so the project can move with its directory.
        store(QStringLiteral("bsp"), package.fileName());
        return;
    }
    copyIntoProject(package.absoluteFilePath(), package.fileName(), false);
}

void KolmProject::copyIntoProject(const QString& source, const QString& fileName, bool overwrite)
{
    const QString target = QDir(projectDirectory()).absoluteFilePath(fileName);
    if (fileName.isEmpty() || !QFileInfo(source).isFile() || (!overwrite && QFileInfo::exists(target)))
        return;
    QFile input(source);
    QString reason;
    if (!input.open(QIODevice::ReadOnly) || !writeWholeFile(target, input.readAll(), &reason))
        return;
    store(QStringLiteral("bsp"), fileName);
}
