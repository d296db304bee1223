#pragma once

#include <QHash>
#include <QString>
#include <QVariant>

class QSerialPort;
class QSettings;

// Turns a stored group of serial-line settings ("Baud", "Parity", "Bits",
// "FlowCtrl", "StopBits" under the group, as Qt SerialPort enumeration
// values) into a configured and opened serial port.
class QComPort
{
public:
    QComPort() = delete;

    // Writes the defaults: 115200 baud, no parity, 8 data bits, no flow
    // control, one stop bit.
    static void defaultComSettings(QSettings &settings, const QString &group);

    // Sets up and opens the listed port `portName`. An empty group gets the
    // defaults written first; invalid stored values are replaced by the
    // defaults, in the port and in the settings. False when the port is not
    // listed (nothing set, nothing written) or cannot be opened.
    static bool setupComPortFromSettings(const QString &portName, QSettings &settings,
                                         const QString &group, QSerialPort &port);

    // The same with the values taken from `values`; nothing is written.
    static bool setupComPortFromHash(const QString &portName, const QHash<QString, QVariant> &values,
                                     const QString &group, QSerialPort &port);
};
