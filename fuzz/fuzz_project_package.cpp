// The import of a project package on any file: the input is written to a
// package file and imported into a target inside a directory of its own.
// Whatever the bytes, nothing appears beside the target, every logged line
// has a text, a failed open leaves nothing to extract, and a successful
// import names a project file inside the target.

#include "fuzz_check.h"
#include "kolmpackageimport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    check(dir.isValid());
    const QString package = dir.filePath(QStringLiteral("input.zip"));
    const QString jail = dir.filePath(QStringLiteral("jail"));
    const QString target = jail + QStringLiteral("/t");
    QDir(jail).removeRecursively();
    check(QDir().mkpath(jail));

    QFile file(package);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate)
          && file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size));
    file.close();

    KolmPackageImport importer(package);
    const bool opened = importer.open();
    bool imported = false;
    if (opened) {
        imported = importer.extractTo(target);
    } else {
        check(!importer.extractTo(target));
        check(!QFile::exists(target));
    }
    for (const KolmPackageMessage &message : importer.messages())
        check(!message.text.isEmpty());
    if (imported)
        check(importer.projectFile().startsWith(target + QLatin1Char('/')));

    const QStringList beside = QDir(jail).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                    | QDir::NoDotAndDotDot);
    check(beside.isEmpty() || beside == QStringList{QStringLiteral("t")});
    const QStringList above = QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                                         | QDir::NoDotAndDotDot);
    check(above == (QStringList{QStringLiteral("input.zip"), QStringLiteral("jail")}));
    return 0;
}
