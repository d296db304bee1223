#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <QVariant>

namespace Ui {
class RS485SetupDialog;
}

// Edits the serial bootloader link's settings: the device address (or a
// scan of all addresses), baud rate, parity and stop bits. The values go in
// and out as the table the serial link opens from ("RS485/Address",
// "RS485/Baud", "RS485/Parity", "RS485/StopBits", "RS485/FlowCtrl"), with
// the serial port's own codes, and can be loaded from and stored into a
// settings group.
class RS485SetupDialog : public QDialog
{
    Q_OBJECT
    // Whether "Scan All" is offered (not whether it is ticked).
    Q_PROPERTY(bool scanning READ scanning WRITE setScanning)

public:
    // How addresses count: RS458 scans all with 255, MODBUS with 0.
    enum AddressingMode { Addressing_RS458 = 0, Addressing_MODBUS = 1 };
    Q_ENUM(AddressingMode)

    enum StandardBaudrates {
        BAUD_300 = 0,
        BAUD_600 = 1,
        BAUD_1200 = 2,
        BAUD_2400 = 3,
        BAUD_4800 = 4,
        BAUD_9600 = 5,
        BAUD_14400 = 6,
        BAUD_19200 = 7,
        BAUD_38400 = 8,
        BAUD_57600 = 9,
        BAUD_74880 = 10,
        BAUD_115200 = 11,
        BAUD_128000 = 12,
        BAUD_230400 = 13,
        BAUD_256000 = 14,
        BAUD_460800 = 15,
        BAUD_921600 = 16,
        BAUD_LAST = 16
    };
    Q_ENUM(StandardBaudrates)

    explicit RS485SetupDialog(QWidget *parent = nullptr);
    ~RS485SetupDialog() override;

    // The rate of a StandardBaudrates index; 115200 past the last.
    static unsigned int standardBaudrate(unsigned short index);

    bool scanning() const;
    void setScanning(bool scanning);
    AddressingMode addressingMode() const { return m_mode; }
    void setAddressingMode(AddressingMode mode);

    void set(const QHash<QString, QVariant> &values);
    QHash<QString, QVariant> get() const;
    void readSettings(const QString &group);
    void writeSettings(const QString &group);

private:
    // The address that stands for "scan all" in the current mode.
    unsigned int scanAllAddress() const;

    Ui::RS485SetupDialog *ui;
    AddressingMode m_mode = Addressing_RS458;
};
