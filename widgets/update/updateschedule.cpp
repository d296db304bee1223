#include "updateschedule.h"

#include <QSettings>

const char updateCheckTimeFormat[] = "yyyy.MM.dd hh:mm:ss";

bool automaticUpdateCheckDue(const QSettings &settings, const QDateTime &now)
{
    if (!settings.value(QStringLiteral("Updates/Auto"), true).toBool())
        return false;
    const qint64 secondsPerDay = 86400;
    const qint64 period = qMax<qint64>(1, settings.value(QStringLiteral("Updates/Interval"), 7).toUInt()) * secondsPerDay;
    const QDateTime last = QDateTime::fromString(settings.value(QStringLiteral("Updates/LastCheck")).toString(),
                                                 QLatin1String(updateCheckTimeFormat));
    return !last.isValid() || last.secsTo(now) > period;
}
