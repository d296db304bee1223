#include "slip.h"
#include "test_packets.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QList<QByteArray> framesOf(const QSignalSpy &spy)
{
    QList<QByteArray> frames;
    for (const QList<QVariant> &args : spy)
        frames.append(args.at(0).toByteArray());
    return frames;
}

// Feeds `input` to a fresh receiver in pieces of `step` bytes (0: all at
// once) and returns the frames it delivered.
QList<QByteArray> decodeAll(const QByteArray &input, bool crc8, int step)
{
    SlipBuffer slip;
    slip.setCrc8(crc8);
    QSignalSpy spy(&slip, &SlipBuffer::pktReady);
    if (step == 0) {
        slip.decode(input);
    } else {
        for (int i = 0; i < input.size(); i += step)
            slip.decode(input.mid(i, step));
    }
    return framesOf(spy);
}

} // namespace

using Frames = QList<QByteArray>;

class SlipTest : public QObject
{
    Q_OBJECT

private slots:
    void encode_data()
    {
        QTest::addColumn<QByteArray>("packet");
        QTest::addColumn<bool>("crc8");
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("escapes and checksum") << hexBytes("01c0db02") << true << hexBytes("c001dbdcdbdd029ec0");
        QTest::newRow("escapes, no checksum") << hexBytes("01c0db02") << false << hexBytes("c001dbdcdbdd02c0");
        QTest::newRow("checksum C0 escaped") << hexBytes("c0") << true << hexBytes("c0dbdcdbdcc0");
        QTest::newRow("checksum DB escaped") << hexBytes("da01") << true << hexBytes("c0da01dbddc0");
        QTest::newRow("empty, no checksum") << QByteArray() << false << hexBytes("c0c0");
        QTest::newRow("empty with checksum") << QByteArray() << true << hexBytes("c000c0");
        QTest::newRow("sum wraps") << hexBytes("ff02") << true << hexBytes("c0ff0201c0");
    }
    void encode()
    {
        QFETCH(QByteArray, packet);
        QFETCH(bool, crc8);
        QFETCH(QByteArray, frame);
        SlipBuffer slip;
        slip.setCrc8(crc8);
        QCOMPARE(slip.encode(packet), frame);
    }

    void getCRC8()
    {
        QCOMPARE(SlipBuffer::getCRC8(QByteArray()), uchar(0));
        QCOMPARE(SlipBuffer::getCRC8("abc"), uchar(0x26));
        QCOMPARE(SlipBuffer::getCRC8(QByteArray(300, '\x01')), uchar(300 & 0xFF));
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("crc8");
        QTest::addColumn<Frames>("frames");
        QTest::newRow("checked frame") << hexBytes("c001020306c0") << true << Frames{hexBytes("010203")};
        QTest::newRow("bad checksum dropped") << hexBytes("c001020307c0") << true << Frames{};
        QTest::newRow("escapes") << hexBytes("c0dbdcdbdd9bc0") << true << Frames{hexBytes("c0db")};
        QTest::newRow("separate ENDs") << hexBytes("c00101c0c00202c0") << true << Frames{hexBytes("01"), hexBytes("02")};
        QTest::newRow("shared END") << hexBytes("c00101c00202c0") << true << Frames{hexBytes("01"), hexBytes("02")};
        QTest::newRow("shared END, no checksum") << hexBytes("c001c002c0") << false << Frames{hexBytes("01"), hexBytes("02")};
        QTest::newRow("greeting before first END") << hexBytes("0c0cc00101c0") << true << Frames{hexBytes("01")};
        QTest::newRow("only ENDs") << hexBytes("c0c0c0") << true << Frames{};
        QTest::newRow("only ENDs, no checksum") << hexBytes("c0c0c0") << false << Frames{};
        QTest::newRow("bad escape abandons frame")
            << hexBytes("c001db410202c0c00303c0") << true << Frames{hexBytes("03")};
        QTest::newRow("bad escape, next frame shares END")
            << hexBytes("c001db4102c00303c0") << true << Frames{hexBytes("03")};
        QTest::newRow("frame cut after ESC, next frame kept")
            << hexBytes("c01012db" "c001020306c0") << true << Frames{hexBytes("010203")};
        QTest::newRow("frame cut after ESC, no checksum")
            << hexBytes("c01012db" "c00102c0") << false << Frames{hexBytes("0102")};
        QTest::newRow("one byte with checksum") << hexBytes("c005c0") << true << Frames{};
        QTest::newRow("one byte without checksum") << hexBytes("c005c0") << false << Frames{hexBytes("05")};
        QTest::newRow("unfinished frame") << hexBytes("c0010203") << false << Frames{};
        QTest::newRow("repeated ENDs between frames")
            << hexBytes("c00101c0c0c0c00202c0") << true << Frames{hexBytes("01"), hexBytes("02")};
    }
    void decode()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, crc8);
        QFETCH(Frames, frames);
        QCOMPARE(decodeAll(input, crc8, 0), frames);
        QCOMPARE(decodeAll(input, crc8, 1), frames);
        QCOMPARE(decodeAll(input, crc8, 3), frames);
    }

    // Every byte value survives encoding and decoding, in any pieces.
    void roundTrip()
    {
        QByteArray packet;
        for (int i = 0; i < 255; ++i)
            packet.append(char(255 - i));
        SlipBuffer sender;
        sender.setCrc8(true);
        const QByteArray stream = sender.encode(packet) + sender.encode(hexBytes("c0")) + sender.encode(packet);
        const Frames expected{packet, hexBytes("c0"), packet};
        QCOMPARE(decodeAll(stream, true, 0), expected);
        QCOMPARE(decodeAll(stream, true, 1), expected);
        QCOMPARE(decodeAll(stream, true, 7), expected);
    }

    // A frame holds at most 256 unescaped bytes (the largest packet and its
    // checksum); a longer one is abandoned and the next frame still arrives.
    void oversizeFrames_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("delivered");
        QTest::newRow("256 bytes") << 256 << true;
        QTest::newRow("257 bytes") << 257 << false;
        QTest::newRow("4096 bytes") << 4096 << false;
    }
    void oversizeFrames()
    {
        QFETCH(int, size);
        QFETCH(bool, delivered);
        const QByteArray body(size, '\x11');
        const QByteArray input = hexBytes("c0") + body + hexBytes("c0") + hexBytes("0707c0");
        Frames expected;
        if (delivered)
            expected.append(body);
        expected.append(hexBytes("0707"));
        QCOMPARE(decodeAll(input, false, 0), expected);
        QCOMPARE(decodeAll(input, false, 1), expected);
    }

    void resetDropsPartialFrame()
    {
        SlipBuffer slip;
        slip.setCrc8(true);
        QSignalSpy frames(&slip, &SlipBuffer::pktReady);
        QSignalSpy states(&slip, &SlipBuffer::stateChanged);
        slip.decode(hexBytes("c00102"));
        QCOMPARE(slip.state(), SlipBuffer::SLIP_INPKT);
        states.clear();
        slip.reset();
        QCOMPARE(slip.state(), SlipBuffer::SLIP_INIT);
        QCOMPARE(states.count(), 1);
        slip.reset();
        QCOMPARE(states.count(), 1);
        slip.decode(hexBytes("03c0c00404c0"));
        QCOMPARE(framesOf(frames), Frames{hexBytes("04")});
    }

    void crc8PropertyNotifiesChanges()
    {
        SlipBuffer slip;
        QSignalSpy spy(&slip, &SlipBuffer::crc8Changed);
        QVERIFY(!slip.crc8());
        QVERIFY(slip.setProperty("crc8", true));
        QVERIFY(slip.crc8());
        slip.setCrc8(true);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toBool(), true);
    }

    // A receiver that deletes the framer on the first frame ends decoding
    // there.
    void receiverMayDeleteTheFramer()
    {
        auto *slip = new SlipBuffer;
        int frames = 0;
        connect(slip, &SlipBuffer::pktReady, slip, [&frames, slip] {
            ++frames;
            delete slip;
        });
        slip->decode(hexBytes("c001c0c002c0"));
        QCOMPARE(frames, 1);
    }
};

QTEST_GUILESS_MAIN(SlipTest)
#include "slip_test.moc"
