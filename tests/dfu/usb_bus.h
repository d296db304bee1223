#pragma once

#include "hid_bootloader.h"
#include "hidproxy.h"

#include <QList>
#include <QPointer>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// USB devices attached for a test: simulated bootloaders with their
// manufacturer and product strings. The device objects that the updater
// window opens and deletes are proxies onto them, so what a bootloader
// stores outlives every proxy.
class SimulatedUsbBus
{
public:
    struct Attached
    {
        QString manufacturer;
        QString product;
        SimulatedHidBootloader *bootloader;
    };

    QList<Attached> devices;
    // Device objects made so far, one per search attempt.
    int proxiesMade = 0;

    void attach(SimulatedHidBootloader *bootloader, const QString &product,
                const QString &manufacturer = QStringLiteral("Halvane"))
    {
        devices.append({manufacturer, product, bootloader});
    }

    SimulatedHidBootloader *find(const QString &name) const
    {
        for (const Attached &device : devices)
            if (device.bootloader->device() == name)
                return device.bootloader;
        return nullptr;
    }

    // The names of the devices whose strings match both patterns exactly;
    // an empty pattern matches everything.
    QStringList matching(const QString &manufacturer, const QString &product) const
    {
        QStringList names;
        for (const Attached &device : devices)
            if (matches(manufacturer, device.manufacturer) && matches(product, device.product))
                names.append(device.bootloader->device());
        return names;
    }

private:
    static bool matches(const QString &pattern, const QString &text)
    {
        return pattern.isEmpty()
               || QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch();
    }
};

// A device object on the simulated bus: everything it is asked goes to the
// bootloader it opened.
class BusHidProxy : public HIDProxy
{
public:
    BusHidProxy(SimulatedUsbBus &bus, QObject *parent)
        : HIDProxy(parent)
        , m_bus(bus)
    {
        ++bus.proxiesMade;
    }

    QStringList availableHidDevices(int, int, const QString &) override { return {}; }
    QStringList availableHidDevices(const QString &manufacturer, const QString &product) override
    {
        return m_bus.matching(manufacturer, product);
    }
    QString device() const override { return m_device ? m_device->device() : QString(); }
    bool setDevice(const QString &name) override
    {
        m_device = m_bus.find(name);
        return isOpen();
    }
    UsbClass deviceClass() override { return UsbClass(); }
    int interfaceCount() override { return m_device ? m_device->interfaceCount() : 0; }
    UsbClass interfaceClass(int interface) override
    {
        return m_device ? m_device->interfaceClass(interface) : UsbClass();
    }
    int endpointCount(int) override { return 0; }
    bool isOpen() const override { return m_device && m_device->isOpen(); }
    bool hasPermission() const override { return true; }
    void close() override { m_device = nullptr; }
    int getQuirks() const override { return 0; }
    void setQuirks(int) override {}
    bool sendPacket(const QByteArray &data, int reportId) override
    {
        return isOpen() && m_device->sendPacket(data, reportId);
    }
    bool sendPacket(const void *data, unsigned int length, int reportId) override
    {
        return isOpen() && m_device->sendPacket(data, length, reportId);
    }
    bool getFeature(int length, QByteArray &out, int reportId) override
    {
        out.clear();
        return isOpen() && m_device->getFeature(length, out, reportId);
    }
    bool rawSend(int interface, const QByteArray &data, int timeoutMs) override
    {
        return isOpen() && m_device->rawSend(interface, data, timeoutMs);
    }
    QByteArray rawReceive(int, int, int, bool *ok) override
    {
        if (ok)
            *ok = false;
        return QByteArray();
    }

protected:
    int periodic() override { return 0; }
    bool writeReport(int) override { return false; }
    bool writeFeature(const unsigned char *, int) override { return false; }

private:
    SimulatedUsbBus &m_bus;
    QPointer<SimulatedHidBootloader> m_device;
};
