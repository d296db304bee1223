#include "qpathparser.h"

#include <QDir>
#include <QFileInfo>

QString QPathParser::canonicalFilePath(const QString &path)
{
    const QString expanded = path.startsWith(QLatin1Char('~')) ? QDir::homePath() + path.mid(1) : path;
    return QFileInfo(expanded).canonicalFilePath();
}
