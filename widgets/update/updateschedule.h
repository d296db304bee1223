#ifndef KOLM_UPDATESCHEDULE_H
#define KOLM_UPDATESCHEDULE_H

// When the IDE checks for updates by itself: with "Updates/Auto" on (the
// default), when no earlier check is recorded in "Updates/LastCheck" or the
// last one lies more than "Updates/Interval" days (default 7, at least 1)
// back.

#include <QDateTime>

class QSettings;

// The format of "Updates/LastCheck", local time.
extern const char updateCheckTimeFormat[];

bool automaticUpdateCheckDue(const QSettings &settings, const QDateTime &now);

#endif
