#include "chat_markup.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QString linkAddress(const QString &run)
{
    QString address = run;
    address.replace(QLatin1Char('"'), QLatin1String("&quot;"));
    return address;
}

// Links of one line. Built in one pass, so a line full of links costs no
// more than its length.
QString withLinks(const QString &line)
{
    static const QRegularExpression scheme(QStringLiteral("(https?|ftp|file)://"));
    QString out;
    out.reserve(line.size());
    int from = 0;
    for (;;) {
        const QRegularExpressionMatch found = scheme.match(line, from);
        if (!found.hasMatch())
            break;
        const int start = found.capturedStart();
        int end = line.indexOf(QLatin1Char(' '), found.capturedEnd());
        if (end < 0)
            end = line.size();
        const QString run = line.mid(start, end - start);
        out += line.midRef(from, start - from);
        out += QStringLiteral("<a href=\"%1\">%2</a>").arg(linkAddress(run), run);
        from = end;
    }
    out += line.midRef(from);
    return out;
}

} // namespace

QString chat_messageMarkup(const QString &text, bool escape)
{
    const QString source = escape ? text.toHtmlEscaped() : text;
    QStringList lines = source.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString &line = lines[i];
        if (i + 1 < lines.size() && line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        line = withLinks(line);
    }
    return lines.join(QLatin1String("<br>"));
}
