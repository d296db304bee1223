#pragma once

#include "bootloader_core.h"
#include "bootloader_status.h"
#include "memory_hid_proxy.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QThread>
#include <QtEndian>

#include <atomic>
#include <optional>

// A USB bootloader in memory: output report 1 takes its commands, report 2
// its image data, feature report 3 answers its status and feature report 4
// its information text. With a bulk interface staged it has a second
// interface that takes image data in raw blocks.
//
// The updater uses it unmoved from its worker thread: its timers stay off
// (no reply time-out, no polling), it emits no signals while in use, and
// what it stores is locked for the test's reads.
class SimulatedHidBootloader : public MemoryHidProxy, public SimulatedBootloaderCore
{
public:
    static constexpr int CommandReport = 1;
    static constexpr int DataReport = 2;
    static constexpr int StatusReport = 3;
    static constexpr int InfoReport = 4;
    static constexpr int InfoSize = 32;
    // Image bytes of a data report start at byte 8, counting the report ID.
    static constexpr int DataOffset = 8;
    static constexpr int DataBytes = 56;
    static constexpr int BulkClass = 0xFF;
    static constexpr int HidClass = 3;

    explicit SimulatedHidBootloader(QObject *parent = nullptr)
        : MemoryHidProxy(parent)
    {
        setDevice(QStringLiteral("0483:df11:sim"));
    }

    QByteArray info = QByteArrayLiteral("Pellam DFU 1.0");
    // When set, the status report's data bytes instead of the live status.
    std::optional<QByteArray> statusReply;
    bool failFeatureReads = false;
    QList<int> featureReads; // report IDs asked for, in order

    // The class of interface 1; none when negative (one interface only).
    int bulkInterfaceClass = -1;
    // The bulk transfer of this index (0 = the first) fails.
    int failBulkTransferAt = -1;
    // A failing transfer first hangs, like one that times out: this long,
    // or until a test lets it go.
    int failedTransferMs = 0;
    std::atomic<bool> transferHanging{false};
    std::atomic<bool> letTransferGo{false};

    int interfaceCount() override { return bulkInterfaceClass < 0 ? 1 : 2; }
    UsbClass interfaceClass(int interface) override
    {
        UsbClass usbClass;
        if (interface == 0)
            usbClass.deviceClass = HidClass;
        else if (interface == 1 && bulkInterfaceClass >= 0)
            usbClass.deviceClass = (unsigned char)bulkInterfaceClass;
        return usbClass;
    }

    bool getFeature(int length, QByteArray &out, int reportId) override
    {
        out.clear();
        featureReads.append(reportId);
        if (!isOpen() || failFeatureReads || length < 0)
            return false;
        if (reportId == StatusReport) {
            out = statusReply ? *statusReply : bootloaderStatusBytes(read());
            return true;
        }
        if (reportId == InfoReport) {
            out = info.leftJustified(InfoSize, '\0', true);
            return true;
        }
        return false;
    }

    bool rawSend(int interface, const QByteArray &data, int) override
    {
        if (interface != 1 || bulkInterfaceClass != BulkClass)
            return false;
        if (m_bulkTransfers++ == failBulkTransferAt) {
            transferHanging = true;
            QElapsedTimer clock;
            clock.start();
            while (!letTransferGo && clock.elapsed() < failedTransferMs)
                QThread::msleep(1);
            transferHanging = false;
            return false;
        }
        write(data, uint32_t(data.size()), "bulk");
        return true;
    }

protected:
    bool writeReport(int length) override
    {
        if (!isOpen() || failWrites || length < 1 + DataOffset - 1 + DataBytes)
            return false;
        const unsigned char *report = outputBuffer();
        writtenReports.append(QByteArray(reinterpret_cast<const char *>(report), length));
        if (report[0] == CommandReport)
            command(report[1], qFromLittleEndian<quint32>(report + 2));
        else if (report[0] == DataReport)
            write(QByteArray(reinterpret_cast<const char *>(report) + DataOffset, DataBytes), DataBytes, "data");
        return true;
    }

private:
    void command(unsigned char code, uint32_t argument)
    {
        switch (code) {
        case 0x01:
            setAddress(argument);
            break;
        case 0x02:
            erase(argument);
            break;
        case 0x10:
            eraseStorage();
            break;
        default:
            break;
        }
    }

    int m_bulkTransfers = 0;
};
