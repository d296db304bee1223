#include "qcomport.h"

#include "serial_port_catalog.h"

#include <QSerialPort>
#include <QSettings>

#include <functional>
#include <limits>

namespace {

struct LineSetting
{
    const char *suffix;
    int fallback;
    bool (*accepted)(int value);
};

const LineSetting Baud = {"/Baud", 115200, [](int v) { return v > 0; }};
const LineSetting Parity = {"/Parity", QSerialPort::NoParity,
                            [](int v) { return v == 0 || (v >= 2 && v <= 5); }};
const LineSetting Bits = {"/Bits", QSerialPort::Data8, [](int v) { return v >= 5 && v <= 8; }};
const LineSetting FlowCtrl = {"/FlowCtrl", QSerialPort::NoFlowControl,
                              [](int v) { return v >= 0 && v <= 2; }};
const LineSetting StopBits = {"/StopBits", QSerialPort::OneStop,
                              [](int v) { return v >= 1 && v <= 3; }};

// Where the values come from: `read` gives the stored value or the default,
// `repair` is told about a value that was replaced by its default.
struct LineValues
{
    std::function<QVariant(const QString &key, int fallback)> read;
    std::function<void(const QString &key, int value)> repair;
    bool parityFirst;
};

int lineValue(const QString &group, const LineSetting &setting, const LineValues &values)
{
    const QString key = group + QLatin1String(setting.suffix);
    bool ok = false;
    // Read wide: a text past the int range would otherwise come back cut.
    const qlonglong value = values.read(key, setting.fallback).toLongLong(&ok);
    if (ok && value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max()
        && setting.accepted(int(value)))
        return int(value);
    values.repair(key, setting.fallback);
    return setting.fallback;
}

bool setupComPort(const serial_port_catalog::Port &listed, const QString &group,
                  const LineValues &values, QSerialPort &port)
{
    port.setPortName(listed.systemLocation);
    const int baud = lineValue(group, Baud, values);
    port.setBaudRate(baud, QSerialPort::Input);
    port.setBaudRate(baud, QSerialPort::Output);
    const auto applyParity = [&] {
        port.setParity(QSerialPort::Parity(lineValue(group, Parity, values)));
    };
    if (values.parityFirst)
        applyParity();
    port.setDataBits(QSerialPort::DataBits(lineValue(group, Bits, values)));
    if (!values.parityFirst)
        applyParity();
    port.setFlowControl(QSerialPort::FlowControl(lineValue(group, FlowCtrl, values)));
    port.setStopBits(QSerialPort::StopBits(lineValue(group, StopBits, values)));
    return port.open(QIODevice::ReadWrite);
}

} // namespace

void QComPort::defaultComSettings(QSettings &settings, const QString &group)
{
    for (const LineSetting *setting : {&Baud, &Parity, &Bits, &FlowCtrl, &StopBits})
        settings.setValue(group + QLatin1String(setting->suffix), setting->fallback);
}

bool QComPort::setupComPortFromSettings(const QString &portName, QSettings &settings,
                                        const QString &group, QSerialPort &port)
{
    serial_port_catalog::Port listed;
    if (!serial_port_catalog::find(portName, &listed))
        return false;
    if (settings.value(group + QLatin1String(Baud.suffix)).toString().isEmpty())
        defaultComSettings(settings, group);
    LineValues values;
    values.read = [&](const QString &key, int fallback) { return settings.value(key, fallback); };
    values.repair = [&](const QString &key, int value) { settings.setValue(key, value); };
    values.parityFirst = false;
    return setupComPort(listed, group, values, port);
}

bool QComPort::setupComPortFromHash(const QString &portName, const QHash<QString, QVariant> &hash,
                                    const QString &group, QSerialPort &port)
{
    serial_port_catalog::Port listed;
    if (!serial_port_catalog::find(portName, &listed))
        return false;
    LineValues values;
    values.read = [&](const QString &key, int fallback) { return hash.value(key, fallback); };
    values.repair = [](const QString &, int) {};
    values.parityFirst = true;
    return setupComPort(listed, group, values, port);
}
