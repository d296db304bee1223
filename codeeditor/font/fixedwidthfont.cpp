#include "fixedwidthfont.h"

#include <QFontDatabase>
#include <QFontMetricsF>

bool hasEqualAdvances(const QFont& font)
{
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(QLatin1Char('M'));
    for (const QLatin1Char glyph : {QLatin1Char('i'), QLatin1Char('0'), QLatin1Char(' ')}) {
        if (metrics.horizontalAdvance(glyph) != advance)
            return false;
    }
    return advance > 0;
}

QFont firstEqualAdvanceFont(const QList<QFont>& candidates)
{
    for (const QFont& font : candidates) {
        if (hasEqualAdvances(font))
            return font;
    }
    return candidates.isEmpty() ? QFont() : candidates.constLast();
}

QFont fixedWidthFont(int pointSize)
{
    QFont system = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (pointSize > 0)
        system.setPointSize(pointSize);
    system.setFixedPitch(true);
    QList<QFont> candidates{system};
    for (const QString& family : {QStringLiteral("monospace"), QStringLiteral("DejaVu Sans Mono")}) {
        QFont font = system;
        font.setFamily(family);
        font.setStyleHint(QFont::TypeWriter);
        candidates.append(font);
    }
    return firstEqualAdvanceFont(candidates);
}
