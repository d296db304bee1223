#ifndef KOLM_TEST_UNIQUE_APP_NAME_H
#define KOLM_TEST_UNIQUE_APP_NAME_H

// An application name no other test run uses: the guard's semaphore,
// segment and socket are named after it.

#include <QString>
#include <QUuid>

inline QString uniqueAppName()
{
    return QStringLiteral("kolm-singleapp-test-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
}

#endif
