#pragma once

// Small file helpers shared by the project model's tests.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include "file_size_limit.h"

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QJsonObject readJsonObject(const QString& path)
{
    return QJsonDocument::fromJson(readBytes(path)).object();
}

// A built-in board package as it lies in the source tree.
inline QByteArray builtinPackage(const QString& fileName)
{
    return readBytes(QStringLiteral(KOLM_BSP_DIR "/") + fileName);
}
