#include "codepointsreader.h"

#include <QIODevice>
#include <QStringList>

void readCodepoints(QIODevice &file, QHash<QString, unsigned int> &codepoints)
{
    for (;;) {
        const QByteArray line = file.readLine();
        if (line.isNull())
            break;
        const QStringList parts = QString::fromLatin1(line).trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() != 2)
            continue;
        bool ok = false;
        const unsigned int code = parts.at(1).toUInt(&ok, 16);
        codepoints.insert(parts.at(0), ok ? code : 0);
    }
}
