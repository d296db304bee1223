#ifndef KOLM_TEST_SPY_TEXTS_H
#define KOLM_TEST_SPY_TEXTS_H

// The first argument of every signal a spy caught, as text, in order.

#include <QSignalSpy>
#include <QStringList>

inline QStringList spyTexts(const QSignalSpy &spy)
{
    QStringList list;
    for (const QList<QVariant> &signal : spy)
        list << signal.at(0).toString();
    return list;
}

#endif
