#pragma once

#include "zuhal_messenger.h"

// A transport without a device, for tests and fuzz targets that hand it
// frames themselves: always open, no error, no polling. Subclasses decide
// what sending and waiting do.
class DeviceLessMessenger : public ZuHalAbstractMessenger
{
public:
    using ZuHalAbstractMessenger::notifyDisconnected;
    using ZuHalAbstractMessenger::receivePacket;

    QString toString() const override { return QString(); }
    Type type() const override { return ZU_HAL_OTHER; }
    QString transport() const override { return QString(); }
    int error() const override { return 0; }
    QString errorString() const override { return QString(); }
    int pollTime() const override { return 0; }
    void setPollTime(int) override {}
};
