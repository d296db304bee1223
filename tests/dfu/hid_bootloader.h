#pragma once

#include "bootloader_status.h"
#include "memory_hid_proxy.h"

#include <QByteArray>
#include <QList>

#include <optional>

// A USB bootloader in memory: feature report 3 answers its status, feature
// report 4 its information text; every feature read is recorded.
class SimulatedHidBootloader : public MemoryHidProxy
{
public:
    static constexpr int StatusReport = 3;
    static constexpr int InfoReport = 4;
    static constexpr int InfoSize = 32;

    explicit SimulatedHidBootloader(QObject *parent = nullptr)
        : MemoryHidProxy(parent)
    {
        setDevice(QStringLiteral("0483:df11:sim"));
    }

    // What the bootloader reports; `limit` as it goes out, counted from the
    // flash base.
    DFUStatus status;
    QByteArray info = QByteArrayLiteral("Pellam DFU 1.0");
    // When set, the status report's data bytes instead of `status`.
    std::optional<QByteArray> statusReply;
    bool failFeatureReads = false;
    QList<int> featureReads; // report IDs asked for, in order

    bool getFeature(int length, QByteArray &out, int reportId) override
    {
        out.clear();
        featureReads.append(reportId);
        if (!isOpen() || failFeatureReads || length < 0)
            return false;
        if (reportId == StatusReport) {
            out = statusReply ? *statusReply : bootloaderStatusBytes(status);
            return true;
        }
        if (reportId == InfoReport) {
            out = info.leftJustified(InfoSize, '\0', true);
            return true;
        }
        return false;
    }
};
