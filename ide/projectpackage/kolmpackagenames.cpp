#include "kolmpackagenames.h"

#include <QDir>
#include <QRegularExpression>
#include <QStringList>

namespace {

// Both separators: a package made on Windows may use either, and an archive
// name that splits into ".." there must be refused here too.
const QRegularExpression kSeparators(QStringLiteral("[/\\\\]"));

bool hasNul(const QString& name)
{
    return name.contains(QChar(0));
}

// A drive ("C:", also "C:name", relative to that drive's current directory)
// or a scheme ("sys:") before the first separator.
const QRegularExpression kDrive(QStringLiteral("^[A-Za-z]:"));

bool hasPrefix(const QString& firstPart)
{
    return firstPart.endsWith(QLatin1Char(':')) || firstPart.contains(kDrive);
}

} // namespace

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
           && !name.contains(kSeparators) && !hasNul(name) && !hasPrefix(name);
}

bool isPackageEntryName(const QString& name)
{
    if (name.isEmpty() || hasNul(name) || QDir::isAbsolutePath(name))
        return false;
    const QStringList parts = name.split(kSeparators);
    if (parts.first().isEmpty() || hasPrefix(parts.first()))
        return false;
    bool namesSomething = false;
    for (const QString& part : parts) {
        if (part == QLatin1String(".."))
            return false;
        if (!part.isEmpty() && part != QLatin1String("."))
            namesSomething = true;
    }
    return namesSomething;
}

QString shownEntryName(const QString& name)
{
    QString shown;
    shown.reserve(name.size());
    for (const QChar c : name) {
        if (c == QChar(0))
            shown += QStringLiteral("\\0");
        else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            shown += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}
