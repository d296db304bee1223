#pragma once
// The GPIO hint: a controller's short text describing its general-purpose
// pins, read right after connecting. Entries are separated by ";"; each is a
// pin and a label joined by "/". A pin is one name ("PA5") or a run of one
// port ("PA0-3") whose label carries the label number of its first pin as
// trailing digits ("D0" gives D0, D1, D2, D3).

#include <QMap>
#include <QString>

struct GpioHint
{
    // Label to pin name; a later entry with the same label wins.
    QMap<QString, QString> pins;
    // The "GPIO Mapping" table (HTML) that goes after the device's
    // information text, one row per entry. Device texts are escaped.
    QString table;
};

// The longest run that a hint entry may describe; longer runs, and runs
// whose numbers do not convert, are shown whole like any unreadable entry.
constexpr unsigned MaxGpioRun = 256;

GpioHint parseGpioHint(const QString &text);
