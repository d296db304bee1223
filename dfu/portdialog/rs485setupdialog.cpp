#include "rs485setupdialog.h"

#include "ui_rs485setupdialog.h"

#include <QSerialPort>
#include <QSettings>

#include <algorithm>
#include <climits>

namespace {

const char AddressKey[] = "RS485/Address";
const char BaudKey[] = "RS485/Baud";
const char ParityKey[] = "RS485/Parity";
const char StopBitsKey[] = "RS485/StopBits";
const char FlowCtrlKey[] = "RS485/FlowCtrl";

constexpr unsigned int DefaultBaud = 115200;

// Rows of the parity and stop-bit combos, in form order.
enum ParityRow { ParityNone = 0, ParityOdd = 1, ParityEven = 2 };
enum StopBitsRow { StopOne = 0, StopOneAndHalf = 1, StopTwo = 2 };

// A table key's name in a settings group: "RS485/Baud" in "Line" is
// "Line/Baud".
QString groupKey(const QString &group, const char *key)
{
    return group + QLatin1Char('/') + QString::fromLatin1(key).section(QLatin1Char('/'), 1);
}

} // namespace

RS485SetupDialog::RS485SetupDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::RS485SetupDialog)
{
    ui->setupUi(this);
    for (unsigned short index = 0; index <= BAUD_LAST; ++index)
        ui->baudCombo->addItem(QString::number(standardBaudrate(index)));
    ui->baudCombo->setEditable(true);
}

RS485SetupDialog::~RS485SetupDialog()
{
    delete ui;
}

unsigned int RS485SetupDialog::standardBaudrate(unsigned short index)
{
    static const unsigned int rates[] = {300,   600,   1200,   2400,   4800,   9600,   14400,  19200, 38400,
                                         57600, 74880, 115200, 128000, 230400, 256000, 460800, 921600};
    return index <= BAUD_LAST ? rates[index] : DefaultBaud;
}

bool RS485SetupDialog::scanning() const
{
    return !ui->addressScanCheck->isHidden();
}

void RS485SetupDialog::setScanning(bool scanning)
{
    ui->addressScanCheck->setVisible(scanning);
}

void RS485SetupDialog::setAddressingMode(AddressingMode mode)
{
    m_mode = mode;
    if (mode == Addressing_MODBUS)
        ui->addressSpin->setRange(1, 247);
    else
        ui->addressSpin->setRange(0, 254);
}

unsigned int RS485SetupDialog::scanAllAddress() const
{
    return m_mode == Addressing_MODBUS ? 0 : 255;
}

void RS485SetupDialog::set(const QHash<QString, QVariant> &values)
{
    const unsigned int address = values.value(QLatin1String(AddressKey), 0).toUInt();
    if (address == scanAllAddress()) {
        if (scanning())
            ui->addressScanCheck->setChecked(true);
    } else {
        ui->addressSpin->setValue(int(std::min<unsigned int>(address, INT_MAX)));
    }
    ui->baudCombo->setCurrentText(QString::number(values.value(QLatin1String(BaudKey), DefaultBaud).toUInt()));
    switch (values.value(QLatin1String(ParityKey), 0).toInt()) {
    case QSerialPort::EvenParity:
        ui->parityCombo->setCurrentIndex(ParityEven);
        break;
    case QSerialPort::OddParity:
        ui->parityCombo->setCurrentIndex(ParityOdd);
        break;
    default:
        ui->parityCombo->setCurrentIndex(ParityNone);
        break;
    }
    switch (values.value(QLatin1String(StopBitsKey), 0).toInt()) {
    case QSerialPort::TwoStop:
        ui->stopBitsCombo->setCurrentIndex(StopTwo);
        break;
    case QSerialPort::OneAndHalfStop:
        ui->stopBitsCombo->setCurrentIndex(StopOneAndHalf);
        break;
    default:
        ui->stopBitsCombo->setCurrentIndex(StopOne);
        break;
    }
}

QHash<QString, QVariant> RS485SetupDialog::get() const
{
    QHash<QString, QVariant> values;
    const bool scanAll = scanning() && ui->addressScanCheck->isChecked();
    values.insert(QLatin1String(AddressKey), scanAll ? scanAllAddress() : unsigned(ui->addressSpin->value()));
    bool ok = false;
    const unsigned int baud = ui->baudCombo->currentText().toUInt(&ok, 10);
    values.insert(QLatin1String(BaudKey), ok ? baud : DefaultBaud);
    int parity = QSerialPort::NoParity;
    if (ui->parityCombo->currentIndex() == ParityOdd)
        parity = QSerialPort::OddParity;
    else if (ui->parityCombo->currentIndex() == ParityEven)
        parity = QSerialPort::EvenParity;
    values.insert(QLatin1String(ParityKey), parity);
    int stopBits = QSerialPort::OneStop;
    if (ui->stopBitsCombo->currentIndex() == StopOneAndHalf)
        stopBits = QSerialPort::OneAndHalfStop;
    else if (ui->stopBitsCombo->currentIndex() == StopTwo)
        stopBits = QSerialPort::TwoStop;
    values.insert(QLatin1String(StopBitsKey), stopBits);
    values.insert(QLatin1String(FlowCtrlKey), int(QSerialPort::NoFlowControl));
    return values;
}

void RS485SetupDialog::readSettings(const QString &group)
{
    QSettings settings;
    QHash<QString, QVariant> values;
    values.insert(QLatin1String(AddressKey), settings.value(groupKey(group, AddressKey), 0));
    values.insert(QLatin1String(BaudKey), settings.value(groupKey(group, BaudKey), DefaultBaud));
    values.insert(QLatin1String(ParityKey), settings.value(groupKey(group, ParityKey), 0));
    values.insert(QLatin1String(FlowCtrlKey), settings.value(groupKey(group, FlowCtrlKey), 0));
    values.insert(QLatin1String(StopBitsKey), settings.value(groupKey(group, StopBitsKey), 1));
    set(values);
}

void RS485SetupDialog::writeSettings(const QString &group)
{
    const QHash<QString, QVariant> values = get();
    QSettings settings;
    for (const char *key : {AddressKey, BaudKey, ParityKey, FlowCtrlKey, StopBitsKey})
        settings.setValue(groupKey(group, key), values.value(QLatin1String(key)));
}
