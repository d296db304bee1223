#ifndef KOLM_USBDEVICEFILTERBOX_H
#define KOLM_USBDEVICEFILTERBOX_H

// The settings that decide which devices the program looks for: USB vendor
// and product ids, optional USB vendor and product strings, and for serial
// ports the line speed, flow control and a list of ports to leave alone.
// The box only shows and stores them. The USB keys stand under the group
// the caller names, the serial keys always under "Serial".

#include <QGroupBox>

class QSettings;
namespace Ui {
class USBDeviceFilterBox;
}

class USBDeviceFilterBox : public QGroupBox {
    Q_OBJECT

public:
    static constexpr int DefaultVendorId = 0x0483;
    static constexpr int DefaultProductId = 0xA26A;
    static constexpr unsigned DefaultBaud = 115200;

    explicit USBDeviceFilterBox(QWidget *parent = nullptr);
    ~USBDeviceFilterBox() override;

    void readSettings(QSettings &settings, const QString &defaultProduct, const QString &group);
    void writeSettings(QSettings &settings, const QString &group);

    static QString vid_entry(const QString &group);
    static QString pid_entry(const QString &group);
    static QString vendor_entry(const QString &group);
    static QString product_entry(const QString &group);

private:
    Ui::USBDeviceFilterBox *ui;
};

#endif
