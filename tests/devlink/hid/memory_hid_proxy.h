#pragma once

#include "hidproxy.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstring>

// A HID device in memory: input reports are fed by the test, output and
// feature reports are recorded, and a read failure can be staged.
class MemoryHidProxy : public HIDProxy
{
public:
    explicit MemoryHidProxy(QObject *parent = nullptr)
        : HIDProxy(parent)
    {
    }

    QList<QByteArray> inputReports;  // delivered one per read, oldest first
    QList<QByteArray> writtenReports;
    QList<QByteArray> writtenFeatures;
    bool failNextRead = false;
    bool failWrites = false;
    QString openedName;
    int reads = 0; // periodic() calls, to see how busy a wait keeps the device

    // Name that setDevice refuses, like a device that is not attached.
    static constexpr const char *MissingDevice = "0483:a26a:missing";

    QStringList availableHidDevices(int, int, const QString &) override { return {}; }
    QStringList availableHidDevices(const QString &, const QString &) override { return {}; }
    QString device() const override { return openedName; }
    bool setDevice(const QString &name) override
    {
        if (isOpen())
            close();
        if (name.isEmpty() || name == QLatin1String(MissingDevice))
            return false;
        openedName = name;
        startPolling();
        emit deviceChanged(name);
        return true;
    }
    UsbClass deviceClass() override { return UsbClass(); }
    int interfaceCount() override { return 0; }
    UsbClass interfaceClass(int) override { return UsbClass(); }
    int endpointCount(int) override { return 0; }
    bool isOpen() const override { return !openedName.isEmpty(); }
    bool hasPermission() const override { return true; }
    void close() override
    {
        stopTraffic();
        if (openedName.isEmpty())
            return;
        openedName.clear();
        emit deviceChanged(QString());
    }
    int getQuirks() const override { return 0; }
    void setQuirks(int) override {}
    bool getFeature(int, QByteArray &out, int) override
    {
        out.clear();
        return false;
    }
    bool rawSend(int, const QByteArray &, int) override { return false; }
    QByteArray rawReceive(int, int, int, bool *ok) override
    {
        if (ok)
            *ok = false;
        return QByteArray();
    }

    using HIDProxy::processPeriodic;

protected:
    int periodic() override
    {
        ++reads;
        if (!isOpen() || failNextRead) {
            failNextRead = false;
            return -1;
        }
        if (inputReports.isEmpty())
            return 0;
        const QByteArray report = inputReports.takeFirst();
        const int size = std::min(int(report.size()), int(BufferSize));
        std::memcpy(inputBuffer(), report.constData(), size_t(size));
        return size;
    }
    bool writeReport(int length) override
    {
        writtenReports.append(
            QByteArray(reinterpret_cast<const char *>(outputBuffer()), length));
        return isOpen() && !failWrites;
    }
    bool writeFeature(const unsigned char *data, int length) override
    {
        writtenFeatures.append(QByteArray(reinterpret_cast<const char *>(data), length));
        return isOpen() && !failWrites;
    }
};
