#include "serial_port_catalog.h"

#include <QSerialPortInfo>

namespace serial_port_catalog {

namespace {

Source &customSource()
{
    static Source source;
    return source;
}

QList<Port> systemPorts()
{
    QList<Port> ports;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        Port port;
        port.portName = info.portName();
        port.systemLocation = info.systemLocation();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        port.hasProductIdentifier = info.hasProductIdentifier();
        port.productIdentifier = info.productIdentifier();
        ports.append(port);
    }
    return ports;
}

} // namespace

QList<Port> availablePorts()
{
    return customSource() ? customSource()() : systemPorts();
}

bool find(const QString &portName, Port *port)
{
    for (const Port &listed : availablePorts()) {
        if (listed.portName == portName) {
            *port = listed;
            return true;
        }
    }
    return false;
}

void setSource(Source source)
{
    customSource() = std::move(source);
}

} // namespace serial_port_catalog
