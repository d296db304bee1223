// The device connection: connect and disconnect, the reply and ping
// timers. Until the connection lands only the disconnected state exists.

#include "zurovurazev.h"

#include "zuhal_messenger.h"

void ZuROVUrazev::on_actionConnect_triggered() {}
void ZuROVUrazev::msg_timeout() {}
void ZuROVUrazev::ping_timeout() {}

void ZuROVUrazev::usb_disconnected()
{
    if (messenger) {
        messenger->deleteLater();
        messenger = nullptr;
    }
    device.address = 0xFFFF;
    device.localAddress = 0xFFFF;
    device.kind = D_Unknown;
    device.state = DS_Invalid;
    relayConnect = false;
    freeConfigWidget();
}
