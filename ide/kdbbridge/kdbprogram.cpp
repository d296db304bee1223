#include "kdbprogram.h"

#include <QCoreApplication>
#include <QDir>

QString kdbProgramPath()
{
    return QCoreApplication::applicationDirPath() + QDir::separator() + QStringLiteral("halvane-kdb");
}

QString decodeChildChunk(const QByteArray &chunk)
{
    return QString::fromLocal8Bit(chunk.constData(), int(qstrnlen(chunk.constData(), uint(chunk.size()))));
}

QStringList takeLines(QString &buffer)
{
    QStringList lines;
    int position = 0;
    for (int newline = buffer.indexOf(QLatin1Char('\n')); newline >= 0;
         newline = buffer.indexOf(QLatin1Char('\n'), position)) {
        if (newline > position)
            lines.append(buffer.mid(position, newline - position).trimmed());
        position = newline + 1;
    }
    if (position > 0)
        buffer.remove(0, position);
    return lines;
}
