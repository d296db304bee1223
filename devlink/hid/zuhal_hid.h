#pragma once

#include "zuhal_messenger.h"

#include <functional>

class HIDProxy;

// The transport for controllers attached over USB HID: every device packet
// travels alone in one report of number 1, as [1][length][packet][zeros] out
// and [1][length][packet]... in. Input arrives only while the device is
// polled (setPollTime). disconnected() is delivered queued, like that of the
// other transports, so its receivers may delete the transport.
class ZuHalHidMessenger : public ZuHalAbstractMessenger
{
    Q_OBJECT

public:
    // Makes the proxy for a connection, with the transport as its parent.
    using ProxyFactory = std::function<HIDProxy *(QObject *parent)>;

    explicit ZuHalHidMessenger(QObject *parent = nullptr);

    // The attached controllers ("KOLM-..." products of 0483:a26a).
    static QList<ZuHalDevice> enumerate();
    // Replaces the desktop back end for every later open (tests use a device
    // in memory); an empty factory restores the desktop back end.
    static void setProxyFactory(ProxyFactory factory);

    bool open(const QVariant &device) override;
    bool isOpen() const override;
    void close() override;
    QString toString() const override;
    Type type() const override;
    QString transport() const override;
    int error() const override;
    QString errorString() const override;
    int pollTime() const override;
    void setPollTime(int ms) override;
    bool pollData(int timeoutMs) override;

public slots:
    bool send(const ZuHalPacket &pkt) override;

private slots:
    void hid_in(const QByteArray &data);
    void hid_disconnected();

private:
    void releaseProxy();

    HIDProxy *m_proxy = nullptr;
};
