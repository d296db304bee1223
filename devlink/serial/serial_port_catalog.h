#pragma once

#include <QList>
#include <QString>

#include <functional>

// The serial ports the system lists, with what their USB side tells about
// them. By default the list comes from Qt SerialPort's own listing; tests
// set a source of their own (pseudo-terminals are never listed by Qt).
namespace serial_port_catalog {

struct Port
{
    QString portName;       // the name by which the port is chosen
    QString systemLocation; // the device file the port is opened through
    QString manufacturer;
    QString serialNumber;
    bool hasProductIdentifier = false;
    quint16 productIdentifier = 0;
};

using Source = std::function<QList<Port>()>;

QList<Port> availablePorts();

// The first listed port of that exact name; false when there is none.
bool find(const QString &portName, Port *port);

// Replaces the listing; an empty source restores Qt's.
void setSource(Source source);

} // namespace serial_port_catalog
