#include "updatetooloutput.h"

#include <QRegularExpression>

#include <cmath>

int UpdateToolOutput::read(const QString &chunk)
{
    static const QRegularExpression progressBar(QStringLiteral("\\#(?:\\-+)(?:\\s*)(\\d+(?:\\.\\d+)?)\\%"));
    static const QLatin1String errorMark("ERROR: ");

    int progress = -1;
    QRegularExpressionMatchIterator matches = progressBar.globalMatch(chunk);
    QString last;
    while (matches.hasNext())
        last = matches.next().captured(1);
    if (!last.isEmpty()) {
        const double percent = last.toDouble();
        if (percent <= 100.0)
            progress = static_cast<int>(std::floor(percent));
    }

    const int mark = chunk.indexOf(errorMark);
    if (mark >= 0) {
        const int start = mark + errorMark.size();
        const int end = chunk.indexOf(QLatin1Char('\n'), start);
        m_error = chunk.mid(start, end < 0 ? -1 : end - start);
    }
    return progress;
}

QString UpdateToolOutput::errorText() const
{
    return m_error;
}
