#include "uartcommunicator.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QSettings>
#include <QStringList>

namespace {

const QString AddressOption = QStringLiteral("address");
const QString ParityOption = QStringLiteral("parity");
const QString BaudOption = QStringLiteral("baud");
const QString StopOption = QStringLiteral("stop");

// "0x" or "0X" and hexadecimal digits, or decimal digits; 0..255.
bool parseAddress(const QString &text, uint *address)
{
    bool ok = false;
    const int value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? text.mid(2).toInt(&ok, 16)
                                                                                  : text.toInt(&ok, 10);
    if (!ok || value < 0 || value > 255)
        return false;
    *address = uint(value);
    return true;
}

// The serial port's parity code of a parity word; -1 for an unknown word.
int parityCode(const QString &word)
{
    if (word == QLatin1String("odd"))
        return QSerialPort::OddParity;
    // "event" is the spelling that older command lines used for "even".
    if (word == QLatin1String("even") || word == QLatin1String("event"))
        return QSerialPort::EvenParity;
    if (word == QLatin1String("none"))
        return QSerialPort::NoParity;
    return -1;
}

// The serial port's stop-bit code of a stop-bit count; -1 for another text.
int stopBitsCode(const QString &text)
{
    if (text == QLatin1String("1.5"))
        return QSerialPort::OneAndHalfStop;
    if (text == QLatin1String("2"))
        return QSerialPort::TwoStop;
    if (text == QLatin1String("1"))
        return QSerialPort::OneStop;
    return -1;
}

} // namespace

void UARTCommunicator::app_addParserOptions(QCommandLineParser &parser)
{
    parser.addOption(QCommandLineOption({QStringLiteral("b"), BaudOption},
                                        QStringLiteral("Baud <rate> (default: 115200)."),
                                        QStringLiteral("baud"), QStringLiteral("115200")));
    parser.addOption(QCommandLineOption({QStringLiteral("p"), ParityOption},
                                        QStringLiteral("Parity (none,odd,even; default: none)"),
                                        QStringLiteral("parity"), QStringLiteral("none")));
    parser.addOption(QCommandLineOption({QStringLiteral("s"), StopOption},
                                        QStringLiteral("Stop bits (1,1.5,2; default: 1)"),
                                        QStringLiteral("stops"), QStringLiteral("1")));
    parser.addOption(QCommandLineOption({QStringLiteral("a"), AddressOption},
                                        QStringLiteral("Pre-select the device addrss (default: ask)."),
                                        QStringLiteral("address")));
}

bool UARTCommunicator::app_parserOptionsSet(const QCommandLineParser &parser)
{
    for (const QString &name : {BaudOption, AddressOption, StopOption, ParityOption}) {
        if (parser.isSet(name))
            return true;
    }
    return false;
}

bool UARTCommunicator::app_processParserOptions(QCommandLineParser &parser, QString &error)
{
    QSettings settings;
    const QString group = QLatin1String(SettingsGroup) + QLatin1Char('/');
    if (parser.isSet(AddressOption)) {
        const QString value = parser.value(AddressOption);
        uint address = 0;
        if (!parseAddress(value, &address)) {
            error = tr("Invalid address %1").arg(value);
            return false;
        }
        settings.setValue(group + QLatin1String("Address"), address);
    }
    if (parser.isSet(ParityOption)) {
        const QString value = parser.value(ParityOption).toLower();
        const int parity = parityCode(value);
        if (parity < 0) {
            error = tr("Invalid parity value %1").arg(value);
            return false;
        }
        settings.setValue(group + QLatin1String("Parity"), parity);
    }
    if (parser.isSet(BaudOption)) {
        const QString value = parser.value(BaudOption);
        bool ok = false;
        const uint baud = value.toUInt(&ok, 10);
        if (!ok) {
            error = tr("Invalid baudrate %1").arg(value);
            return false;
        }
        settings.setValue(group + QLatin1String("Baud"), baud);
    }
    if (parser.isSet(StopOption)) {
        const QString value = parser.value(StopOption);
        const int stopBits = stopBitsCode(value);
        if (stopBits < 0) {
            error = tr("Invalid stop bits value %1").arg(value);
            return false;
        }
        settings.setValue(group + QLatin1String("StopBits"), stopBits);
    }
    return true;
}
