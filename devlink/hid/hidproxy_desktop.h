#pragma once

#include "hidproxy.h"

struct hid_device_;
struct libusb_device_handle;
struct libusb_config_descriptor;
struct libusb_endpoint_descriptor;

// The HID back end of the desktop: reports and feature reports through
// hidapi, and a second handle on the same device through libusb for
// descriptor facts and bulk transfers on a non-HID interface.
class HIDProxyDesktop : public HIDProxy
{
    Q_OBJECT

public:
    explicit HIDProxyDesktop(QObject *parent = nullptr);
    ~HIDProxyDesktop() override;

    QStringList availableHidDevices(int vid, int pid, const QString &product) override;
    QStringList availableHidDevices(const QString &manufacturer, const QString &product) override;
    // The attached HID devices that match the ids (negative: any) and the
    // product pattern, in the HID library's order.
    static QList<HIDProxy::Descriptor> availableHidDevicesList(int vid, int pid, const QString &product);

    QString device() const override;
    bool setDevice(const QString &name) override;
    UsbClass deviceClass() override;
    int interfaceCount() override;
    UsbClass interfaceClass(int interface) override;
    int endpointCount(int interface) override;
    bool isOpen() const override;
    bool hasPermission() const override;
    void close() override;
    int getQuirks() const override;
    void setQuirks(int quirks) override;
    // At most 63 bytes; more are refused.
    bool getFeature(int length, QByteArray &out, int reportId = -1) override;
    bool rawSend(int interface, const QByteArray &data, int timeoutMs) override;
    QByteArray rawReceive(int interface, int length, int timeoutMs, bool *ok = nullptr) override;

protected:
    int periodic() override;
    bool writeReport(int length) override;
    bool writeFeature(const unsigned char *data, int length) override;

private:
    // Opens the libusb device whose ids and serial number are those of the
    // open HID device.
    bool openRaw();
    bool ensureRaw();
    void closeRaw();
    QString hidSerialNumber() const;
    // The first bulk endpoint of `interface` in the given direction, or null.
    const libusb_endpoint_descriptor *bulkEndpoint(int interface, bool in);

    hid_device_ *m_hid = nullptr;
    int m_quirks = 0;
    libusb_device_handle *m_raw = nullptr;
    libusb_config_descriptor *m_config = nullptr;
    int m_vendorId = 0;
    int m_productId = 0;
};
