// halvane-kdb in emulator mode, driven as the IDE drives it: through the
// device link's TCP transport, one device packet per request.
#include "emulator_process.h"
#include "image_builder.h"
#include "kdb_images.h"
#include "slip.h"
#include "zuhal_packet.h"
#include "zuhal_tcp.h"

#include <QSignalSpy>
#include <QtEndian>
#include <QtTest>

namespace {

constexpr uchar kHostPort = 2;
constexpr uchar kManagement = 1;
constexpr uchar kBoard = 3;
constexpr int kChunk = 48;
constexpr quint32 kHalt = 0x800;
constexpr quint32 kSegv = 0x100;

QByteArray u16(quint16 value)
{
    QByteArray bytes(2, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray u32(quint32 value)
{
    QByteArray bytes(4, 0);
    qToLittleEndian(value, bytes.data());
    return bytes;
}

quint32 u32At(const QByteArray &bytes, int offset)
{
    return offset + 4 <= bytes.size() ? qFromLittleEndian<quint32>(bytes.constData() + offset) : 0xDEADBEEF;
}

ZuHalPacket packetTo(uchar port, const QByteArray &payload)
{
    static const ZuHalPacket::Key noKey = {};
    ZuHalPacket packet;
    packet.setDstPort(port);
    packet.setSrcPort(kHostPort);
    packet.setDestination(0xFFFF);
    packet.setSource(0xFFFF);
    packet.setData(payload, noKey);
    return packet;
}

// The emulator with one connected transport.
class Device
{
public:
    bool open(const QByteArray &image = {})
    {
        if (!emulator.start())
            return false;
        QSignalSpy up(&link, &ZuHalAbstractMessenger::connected);
        if (!link.open(emulator.address()) || (up.isEmpty() && !up.wait(5000)))
            return false;
        return image.isEmpty() || upload(image);
    }

    // The reply to one request: the whole packet, or a default one after
    // the time-out.
    ZuHalPacket request(uchar port, const QByteArray &payload)
    {
        if (!link.send(packetTo(port, payload)))
            return ZuHalPacket();
        if (link.queue() == 0 && !link.pollData(5000))
            return ZuHalPacket();
        return link.pop();
    }

    // The reply data of a management command, after the echoed command
    // and sub-code.
    QByteArray command(uchar cmd, quint16 sub, const QByteArray &data = {})
    {
        const QByteArray payload = QByteArray(1, char(cmd)) + u16(sub) + data;
        const ZuHalPacket reply = request(kManagement, payload);
        const QByteArray bytes = reply.data();
        if (!bytes.startsWith(payload.left(3)))
            return QByteArray("no reply");
        return bytes.mid(3);
    }

    // The reply data of a board operation, after the echoed operation and
    // address.
    QByteArray board(uchar operation, quint32 address, const QByteArray &data = {})
    {
        const QByteArray payload = QByteArray(1, char(operation)) + u32(address) + data;
        const QByteArray bytes = request(kBoard, payload).data();
        if (!bytes.startsWith(payload.left(5)))
            return QByteArray("no reply");
        return bytes.mid(5);
    }

    bool upload(const QByteArray &image)
    {
        for (int offset = 0; offset < image.size(); offset += kChunk) {
            if (command(34, quint16(offset), image.mid(offset, kChunk)) != u32(0))
                return false;
        }
        return true;
    }

    quint32 flags() { return u32At(command(32, 0), 0); }
    quint32 registerValue(int index) { return u32At(command(37, 0), 4 * index); }

    // Polls the flags until the bits are set.
    bool waitForFlags(quint32 bits)
    {
        for (int i = 0; i < 250; ++i) {
            if ((flags() & bits) == bits)
                return true;
            QTest::qWait(20);
        }
        return false;
    }

    EmulatorProcess emulator;
    ZuHalTCPMessenger link;
};

QByteArray bytesOf(const std::string &image)
{
    return QByteArray(image.data(), int(image.size()));
}

// main: EAX += 1 for ever.
QByteArray countingImage()
{
    ImageBuilder image;
    const uint32_t loop = image.here();
    image.ins(OP_addv, {REG_EAX, 1}).ins(OP_jmp, {loop, loop});
    return bytesOf(image.build());
}

constexpr char kSent[] = "hi there";

// main sends "hi there" to the host, then halts.
QByteArray sendingImage()
{
    ImageBuilder image;
    image.ins(OP_spvi, {sizeof kSent - 1})
        .ins(OP_spvi, {KOLM_ADDR_DATA})
        .ins(OP_spvi, {0x4130000C})
        .ins(OP_mcp)
        .ins(OP_halt);
    return bytesOf(image.data(kSent).build());
}

} // namespace

class EmulatorLinkTest : public QObject
{
    Q_OBJECT

private slots:
    void deviceInformation_data()
    {
        QTest::addColumn<int>("sub");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("1/1") << 1 << u32(8);
        QTest::newRow("capabilities") << 3 << u32(0x704);
        QTest::newRow("identity") << 4 << QByteArray("EMU-PLC (Nov 24 2020) 0.1o");
        QTest::newRow("version") << 6 << QByteArray("EMU") + QByteArray(13, 0);
        QTest::newRow("1/7") << 7 << QByteArray("d");
        QTest::newRow("unknown") << 8 << QByteArray();
    }

    void deviceInformation()
    {
        QFETCH(int, sub);
        QFETCH(QByteArray, expected);
        Device device;
        QVERIFY(device.open());
        QCOMPARE(device.command(1, quint16(sub)), expected);
    }

    // The reply comes from the own address, to the host's port.
    void ownAddressAndConfiguration()
    {
        Device device;
        QVERIFY(device.open());
        const ZuHalPacket reply = device.request(kManagement, QByteArray::fromHex("010000"));
        QCOMPARE(reply.dstPort(), kHostPort);
        QCOMPARE(reply.srcPort(), kManagement);
        QVERIFY(reply.source() < 0xFFFF);
        QCOMPARE(reply.data().mid(3), u16(reply.source()));

        const QByteArray config = device.command(3, 0);
        QCOMPARE(config.size(), 8);
        QCOMPARE(quint16(qFromLittleEndian<quint16>(config.constData()) & 0x7FFF), quint16(0x0492));
        QCOMPARE(config.mid(2, 2), u16(reply.source()));
        QCOMPARE(u32At(config, 4), 0u); // no image at start

        const QByteArray written = u16(0x8492) + u16(0x1234) + u32(100);
        QCOMPARE(device.command(4, 0, written), QByteArray());
        QCOMPARE(device.command(3, 0), written);
        QCOMPARE(device.command(1, 0), u16(0x1234));
        // Seven bytes are no configuration block.
        QCOMPARE(device.command(4, 0, written.left(7)), QByteArray());
        QCOMPARE(device.command(3, 0), written);
    }

    void uploadReadBackAndRun()
    {
        Device device;
        const QByteArray image = bytesOf(returningImage(42)) + QByteArray(100, char(0xC0));
        QVERIFY(device.open(image));
        QCOMPARE(device.command(32, 1), u32(quint32(image.size())));
        QByteArray back;
        for (int offset = 0; offset < image.size();) {
            const QByteArray piece = device.command(33, quint16(offset));
            QVERIFY(!piece.isEmpty() && piece.size() <= 55);
            back += piece;
            offset += piece.size();
        }
        QCOMPARE(back, image);
        QCOMPARE(device.command(33, quint16(image.size())), QByteArray());

        QCOMPARE(device.command(35, 1), QByteArray());
        QVERIFY(device.waitForFlags(kHalt));
        QCOMPARE(device.flags() & kSegv, 0u);
        QCOMPARE(device.registerValue(0), 42u);
        const QByteArray entries = device.command(36, 1);
        QCOMPARE(entries.size(), 24);
        QCOMPARE(u32At(entries, 0), 36u);
    }

    void ramReads_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("size");
        QTest::newRow("start") << 0 << 55;
        QTest::newRow("near the end") << 760 << 8;
        QTest::newRow("past the end") << 768 << 0;
    }

    void ramReads()
    {
        QFETCH(int, offset);
        QFETCH(int, size);
        Device device;
        QVERIFY(device.open());
        QCOMPARE(device.command(38, quint16(offset)).size(), size);
    }

    void pauseContinueAndStep()
    {
        Device device;
        QVERIFY(device.open(countingImage()));
        QCOMPARE(device.command(35, 1), QByteArray());
        QTRY_VERIFY(device.registerValue(0) > 1000);
        QCOMPARE(device.command(35, 2), QByteArray());
        QVERIFY(device.flags() & kHalt);
        const quint32 paused = device.registerValue(0);
        QTest::qWait(50);
        QCOMPARE(device.registerValue(0), paused);

        // Two steps: one add and one jump.
        QCOMPARE(device.command(35, 4), QByteArray());
        QCOMPARE(device.command(35, 4), QByteArray());
        QCOMPARE(device.registerValue(0), paused + 1);

        QCOMPARE(device.command(35, 3), QByteArray());
        QTRY_VERIFY(device.registerValue(0) > paused + 1000);

        // Stop: back at main, halted.
        QCOMPARE(device.command(35, 0), QByteArray());
        QVERIFY(device.flags() & kHalt);
        QCOMPARE(device.registerValue(0), 0u);
        QCOMPARE(device.registerValue(4), 36u);
    }

    void messageToTheScript()
    {
        Device device;
        QVERIFY(device.open(bytesOf(interruptImage().bytes)));
        QCOMPARE(device.command(35, 1), QByteArray());
        QVERIFY(device.link.send(packetTo(0, QByteArray("hello"))));
        QTRY_COMPARE(u32At(device.command(38, 0), 0), 5u);
        const QByteArray ram = device.command(38, 0);
        QCOMPARE(ram.mid(12, 5), QByteArray("hello"));
        QCOMPARE(u32At(ram, 8), quint32(kHostPort));
    }

    void messageFromTheScript()
    {
        Device device;
        QVERIFY(device.open(sendingImage()));
        QCOMPARE(device.command(35, 1), QByteArray());
        QVERIFY(device.link.queue() > 0 || device.link.pollData(5000));
        const ZuHalPacket message = device.link.pop();
        QCOMPARE(message.dstPort(), kHostPort);
        QCOMPARE(message.srcPort(), uchar(0));
        QCOMPARE(message.data(), QByteArray(kSent));
    }

    // Pin PD12: value, toggle, read back.
    void boardOperationsOnAPin()
    {
        Device device;
        QVERIFY(device.open());
        const quint32 pin = 0x403C0000;
        QCOMPARE(device.board(1, pin, u32(1)), u32(1));
        QCOMPARE(device.board(0, pin), u32(1));
        QCOMPARE(device.board(1, pin + 4, u32(0)), u32(0));
        QCOMPARE(device.board(0, pin), u32(0));
        // A set without its value does nothing and carries no data.
        QCOMPARE(device.board(1, pin, QByteArray(2, 0)), QByteArray());
        QCOMPARE(device.board(9, pin), QByteArray());
    }

    // Board replies come from the board's port (header byte 0x23), where
    // the host looks for them; management replies stay on port 1.
    void repliesComeFromThePortAsked_data()
    {
        QTest::addColumn<uchar>("port");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<uchar>("header");
        QTest::newRow("board") << kBoard << QByteArray(1, 0) + u32(0x403C0000) << uchar(0x23);
        QTest::newRow("management") << kManagement << QByteArray::fromHex("010000") << uchar(0x21);
    }

    void repliesComeFromThePortAsked()
    {
        QFETCH(uchar, port);
        QFETCH(QByteArray, payload);
        QFETCH(uchar, header);
        Device device;
        QVERIFY(device.open());
        const ZuHalPacket reply = device.request(port, payload);
        QCOMPARE(uchar(reply.dstPort() << 4 | reply.srcPort()), header);
        QVERIFY(reply.data().startsWith(payload));
    }

    // A board write longer than the reply area is refused with an empty
    // reply, never with data that reads as a result.
    void oversizedBoardWriteHasAnEmptyReply()
    {
        Device device;
        QVERIFY(device.open());
        QCOMPARE(device.board(4, 0x41200000, QByteArray(54, 'x')), QByteArray());
        QVERIFY(device.emulator.waitForLog("board write too long"));
    }
};

QTEST_GUILESS_MAIN(EmulatorLinkTest)
#include "emulator_link_test.moc"
