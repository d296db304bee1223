#include "package_project.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>

namespace {

QByteArray content(int index, int fileSize)
{
    QByteArray bytes(fileSize, '\0');
    if (index % 2 == 0) {
        QRandomGenerator generator{quint32(index)};
        for (char& c : bytes)
            c = char(generator.bounded(256));
    } else {
        const QByteArray line = "var f" + QByteArray::number(index) + "(var a) { return a + 1; }\n";
        for (int i = 0; i < fileSize; ++i)
            bytes[i] = line.at(i % line.size());
    }
    return bytes;
}

} // namespace

bool makePackageProject(const QString& directory, int files, int fileSize)
{
    QJsonArray entries;
    for (int i = 0; i < files; ++i) {
        const QString name = QStringLiteral("f%1.kos").arg(i);
        const QString folder = i % 4 == 0 ? QStringLiteral("lib") : QString();
        QDir().mkpath(directory + QLatin1Char('/') + folder);
        QFile file(directory + QLatin1Char('/') + (folder.isEmpty() ? name : folder + '/' + name));
        const QByteArray bytes = content(i, fileSize);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        QJsonArray flags;
        if (i == 1)
            flags.append(QStringLiteral("main"));
        entries.append(QJsonObject{{"name", name}, {"path", folder}, {"flags", flags}});
    }
    QFile project(directory + QStringLiteral("/bench.kcpro"));
    const QByteArray text = QJsonDocument(QJsonObject{{"name", "bench"}, {"files", entries}}).toJson();
    return project.open(QIODevice::WriteOnly) && project.write(text) == text.size();
}
