#include "whole_file_writer.h"

#include <QSaveFile>

bool writeWholeFile(const QString& path, const QByteArray& data, QString* reason, bool directWriteFallback)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(directWriteFallback);
    // Small writes only fill the buffer, and commit() does not see a failure
    // of the flush that empties it (a full disk, a file size limit), so the
    // buffer is flushed and checked here first.
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush()
        && file.commit())
        return true;
    *reason = file.errorString();
    return false;
}
