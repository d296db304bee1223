// The IDE's receive path of the device link: bytes from a peer go through
// the SLIP receiver, each frame it cuts out is parsed into a packet and
// queued by the transport interface, as the TCP transport does. Whatever the
// bytes, no frame exceeds the receiver's limit, exactly the frames a packet
// can hold are queued, each queued packet gives back its frame, and a frame
// sent again through the sender's framing arrives unchanged.
//
// The first input byte sets the receiver: bit 0 the checksum, bits 1-7 the
// size of the pieces the rest is fed in (0: all at once), as a socket hands
// over what has arrived.

#include "device_less_messenger.h"
#include "fuzz_check.h"
#include "slip.h"
#include "zuhal_packet.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

namespace {

// A transport whose device is the fuzzer: it only receives.
class ReceivingMessenger : public DeviceLessMessenger
{
public:
    bool open(const QVariant &) override { return true; }
    bool isOpen() const override { return true; }
    void close() override {}
    bool pollData(int) override { return queue() > 0; }
    bool send(const ZuHalPacket &) override { return false; }
};

QList<QByteArray> framesOf(SlipBuffer &slip, const QByteArray &bytes, int piece)
{
    QList<QByteArray> frames;
    const auto connection = QObject::connect(&slip, &SlipBuffer::pktReady,
                                             [&frames](const QByteArray &frame) { frames.append(frame); });
    for (int at = 0; at < bytes.size(); at += piece)
        slip.decode(bytes.mid(at, piece));
    QObject::disconnect(connection);
    return frames;
}

bool fitsPacket(const QByteArray &frame)
{
    return frame.size() >= ZuHalPacket::HeaderSize && frame.size() <= ZuHalPacket::MaxFrameSize;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool crc8 = data[0] & 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const int piece = data[0] >> 1 ? data[0] >> 1 : qMax(1, bytes.size());

    SlipBuffer slip;
    slip.setCrc8(crc8);
    ReceivingMessenger messenger;
    QObject::connect(&slip, &SlipBuffer::pktReady, &messenger,
                     [&messenger](const QByteArray &frame) { messenger.receivePacket(frame); });
    const QList<QByteArray> frames = framesOf(slip, bytes, piece);

    int expectedQueue = 0;
    for (const QByteArray &frame : frames) {
        check(!frame.isEmpty() && frame.size() <= SlipBuffer::MaxFrame);
        if (fitsPacket(frame))
            ++expectedQueue;
    }
    check(messenger.queue() == expectedQueue);

    static const ZuHalPacket::Key key = {1, 2, 3, 4, 5, 6, 7, 8};
    for (const QByteArray &frame : frames) {
        if (!fitsPacket(frame))
            continue;
        ZuHalPacket packet = messenger.pop();
        check(packet.serialize() == frame);
        packet.decrypt(key);
        (void)packet.encrypt(key);

        SlipBuffer echo;
        echo.setCrc8(crc8);
        check(framesOf(echo, slip.encode(frame), qMax(1, piece)) == QList<QByteArray>{frame});
    }
    check(messenger.queue() == 0);
    return 0;
}
