#pragma once

#include <QByteArray>
#include <QString>

// Writes data to path through a temporary file that replaces the target only
// once every byte has been written. On failure the old file stays as it was,
// the result is false and *reason holds the system's error text. With
// directWriteFallback a file in a folder where no temporary file can be made
// (a read-only folder with a writable file) is written in place instead.
bool writeWholeFile(const QString& path, const QByteArray& data, QString* reason,
                    bool directWriteFallback = false);
