#include "messagelines.h"

QStringList takeMessageLines(QString &buffer)
{
    const QLatin1String newline("\n");
    const QLatin1String emptyLine("\n\n");
    while (buffer.contains(emptyLine))
        buffer.replace(emptyLine, newline);
    // A newline left at the front (an empty line at the start of the
    // message) would otherwise hide every line after it.
    while (buffer.startsWith(newline))
        buffer.remove(0, 1);

    QStringList lines;
    int end;
    while ((end = buffer.indexOf(newline)) > 0) {
        lines.append(buffer.left(end));
        buffer.remove(0, end + 1);
    }
    return lines;
}
