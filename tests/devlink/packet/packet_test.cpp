#include "rc4.h"
#include "test_packets.h"
#include "zuhal_packet.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

ZuHalPacket parsed(const QByteArray &frame)
{
    ZuHalPacket packet;
    packet.parse(frame.constData(), uchar(frame.size()));
    return packet;
}

const ZuHalPacket::Key testKey = {'s', 'e', 'c', 'r', 'e', 't', '4', '2'};

// Emits packets, for checking that they cross a queued connection.
class PacketSender : public QObject
{
    Q_OBJECT
signals:
    void packet(ZuHalPacket packet);
};

} // namespace

class PacketTest : public QObject
{
    Q_OBJECT

private slots:
    void defaultPacketSerializes()
    {
        QCOMPARE(ZuHalPacket().serialize(), hexBytes("0000ffffffff"));
    }

    void parseRefusesShortFrames_data()
    {
        QTest::addColumn<int>("length");
        for (int length = 0; length < 6; ++length)
            QTest::addRow("%d bytes", length) << length;
    }
    void parseRefusesShortFrames()
    {
        QFETCH(int, length);
        const QByteArray before = hexBytes("5a13341278560102");
        ZuHalPacket packet = parsed(before);
        const QByteArray frame = hexBytes("ffffffffffff").left(length);
        QVERIFY(!packet.parse(frame.constData(), uchar(frame.size())));
        QCOMPARE(packet.serialize(), before);
    }

    void parseReadsTheHeader()
    {
        ZuHalPacket packet;
        const QByteArray frame = hexBytes("a5a3341278569988");
        QVERIFY(packet.parse(frame.constData(), uchar(frame.size())));
        QCOMPARE(packet.sequence(), uchar(0xA));
        QVERIFY(packet.isEncrypted());
        QVERIFY(packet.wack());
        QCOMPARE(packet.dstPort(), uchar(0xA));
        QCOMPARE(packet.srcPort(), uchar(0x3));
        QCOMPARE(packet.destination(), quint16(0x1234));
        QCOMPARE(packet.source(), quint16(0x5678));
        QCOMPARE(packet.data(), hexBytes("9988"));
    }

    void parseThenSerializeKeepsEveryBit_data()
    {
        QTest::addColumn<QByteArray>("frame");
        QTest::newRow("header only") << hexBytes("000012345678");
        QTest::newRow("bits 3 and 1 carried") << hexBytes("0a0fffff0000");
        QTest::newRow("all frame control bits") << hexBytes("ff21feff0100c0db00");
        QTest::newRow("largest frame") << QByteArray(255, '\x7e');
    }
    void parseThenSerializeKeepsEveryBit()
    {
        QFETCH(QByteArray, frame);
        QCOMPARE(parsed(frame).serialize(), frame);
    }

    void portsAreFourBits_data()
    {
        QTest::addColumn<int>("dst");
        QTest::addColumn<int>("src");
        QTest::addColumn<int>("byte1");
        QTest::newRow("A and 3") << 0x0A << 0x03 << 0xA3;
        QTest::newRow("high bits dropped") << 0x1A << 0xF3 << 0xA3;
        QTest::newRow("both 15") << 0x0F << 0x0F << 0xFF;
        QTest::newRow("both 0") << 0x10 << 0x20 << 0x00;
    }
    void portsAreFourBits()
    {
        QFETCH(int, dst);
        QFETCH(int, src);
        QFETCH(int, byte1);
        ZuHalPacket packet;
        packet.setDstPort(uchar(dst));
        packet.setSrcPort(uchar(src));
        QCOMPARE(uchar(packet.serialize().at(1)), uchar(byte1));
        QCOMPARE(packet.dstPort(), uchar(dst & 0x0F));

        // The same through the Qt properties.
        ZuHalPacket viaProperty;
        QVERIFY(viaProperty.setProperty("dstPort", QVariant::fromValue(uchar(dst))));
        QVERIFY(viaProperty.setProperty("srcPort", QVariant::fromValue(uchar(src))));
        QCOMPARE(uchar(viaProperty.serialize().at(1)), uchar(byte1));
    }

    void sequenceKeepsTheLowNibble_data()
    {
        QTest::addColumn<int>("fcf");
        QTest::addColumn<int>("sequence");
        QTest::addColumn<int>("expected");
        QTest::newRow("0x1F keeps 0xF") << 0x0F << 0x1F << 0xFF;
        QTest::newRow("replaces old sequence") << 0x95 << 0x03 << 0x35;
        QTest::newRow("zero") << 0xF0 << 0x00 << 0x00;
    }
    void sequenceKeepsTheLowNibble()
    {
        QFETCH(int, fcf);
        QFETCH(int, sequence);
        QFETCH(int, expected);
        QByteArray frame = hexBytes("000000000000");
        frame[0] = char(fcf);
        ZuHalPacket packet = parsed(frame);
        packet.setSequence(uchar(sequence));
        QCOMPARE(uchar(packet.serialize().at(0)), uchar(expected));
        QCOMPARE(packet.property("sequence").value<uchar>(), uchar(expected >> 4));
    }

    void addressesAreLittleEndian()
    {
        ZuHalPacket packet;
        QVERIFY(packet.setProperty("destination", QVariant::fromValue(quint16(0x1234))));
        packet.setSource(0xABCD);
        QCOMPARE(packet.serialize(), hexBytes("00003412cdab"));
        QCOMPARE(packet.property("source").value<quint16>(), quint16(0xABCD));
    }

    void flagBitsSetAndClear()
    {
        ZuHalPacket packet;
        packet.setEncrypted(true);
        packet.setWack(true);
        QCOMPARE(uchar(packet.serialize().at(0)), uchar(0x05));
        packet.setEncrypted(false);
        QCOMPARE(uchar(packet.serialize().at(0)), uchar(0x01));
        QVERIFY(!packet.isEncrypted());
        packet.setWack(false);
        QCOMPARE(uchar(packet.serialize().at(0)), uchar(0x00));
    }

    // Published RC4 test vectors. A 4-byte key written twice schedules the
    // same state as the key itself.
    void rc4MatchesPublishedVectors_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipher");
        QTest::newRow("64-bit key, first keystream bytes")
            << hexBytes("0102030405060708") << QByteArray(16, '\0') << hexBytes("97ab8a1bf0afb96132f2f67258da15a8");
        QTest::newRow("Wiki") << QByteArray("WikiWiki") << QByteArray("pedia") << hexBytes("1021bf0420");
    }
    void rc4MatchesPublishedVectors()
    {
        QFETCH(QByteArray, key);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipher);
        QByteArray data = plain;
        rs4_run(data.data(), unsigned(data.size()), reinterpret_cast<const uchar *>(key.constData()));
        QCOMPARE(data, cipher);
        rs4_run(data.data(), unsigned(data.size()), reinterpret_cast<const uchar *>(key.constData()));
        QCOMPARE(data, plain);
    }

    void setDataEnciphersUpTo58Bytes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("enciphered");
        QTest::newRow("empty") << 0 << true;
        QTest::newRow("1 byte") << 1 << true;
        QTest::newRow("58 bytes") << 58 << true;
        QTest::newRow("59 bytes") << 59 << false;
        QTest::newRow("249 bytes") << 249 << false;
    }
    void setDataEnciphersUpTo58Bytes()
    {
        QFETCH(int, size);
        QFETCH(bool, enciphered);
        QByteArray plain(size, 'p');
        for (int i = 0; i < size; ++i)
            plain[i] = char(i * 7);

        ZuHalPacket packet;
        packet.setDestination(0x0102);
        packet.setSource(0x0304);
        packet.setDstPort(1);
        packet.setSrcPort(2);
        packet.setEncrypted(true);
        QCOMPARE(packet.setData(plain, testKey), enciphered);
        QVERIFY(packet.isEncrypted());
        if (!enciphered) {
            QCOMPARE(packet.data(), plain);
            return;
        }
        if (size > 0)
            QVERIFY(packet.data() != plain);
        QCOMPARE(packet.serialize().mid(1, 5), hexBytes("1202010403"));

        // The same key gives the same bytes: no nonce, no carried state.
        ZuHalPacket again;
        again.setEncrypted(true);
        again.setData(plain, testKey);
        QCOMPARE(again.data(), packet.data());

        QVERIFY(packet.decrypt(testKey));
        QVERIFY(!packet.isEncrypted());
        QCOMPARE(packet.data(), plain);
    }

    void setDataWithoutCryptKeepsPlain()
    {
        ZuHalPacket packet;
        QVERIFY(packet.setData(QByteArray(100, 'x'), testKey));
        QCOMPARE(packet.data(), QByteArray(100, 'x'));
    }

    void encryptRules_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("crypt");
        QTest::newRow("empty payload stays plain") << 0 << true << false;
        QTest::newRow("58 bytes") << 58 << true << true;
        QTest::newRow("59 bytes refused") << 59 << false << false;
    }
    void encryptRules()
    {
        QFETCH(int, size);
        QFETCH(bool, result);
        QFETCH(bool, crypt);
        ZuHalPacket packet;
        packet.setData(QByteArray(size, 'k'), testKey);
        QCOMPARE(packet.encrypt(testKey), result);
        QCOMPARE(packet.isEncrypted(), crypt);
        QCOMPARE(packet.data() == QByteArray(size, 'k'), !crypt);
    }

    void encryptTwiceEnciphersOnce()
    {
        ZuHalPacket packet;
        packet.setData("hello", testKey);
        QVERIFY(packet.encrypt(testKey));
        const QByteArray once = packet.data();
        QVERIFY(!packet.encrypt(testKey));
        QCOMPARE(packet.data(), once);
        QVERIFY(packet.decrypt(testKey));
        QCOMPARE(packet.data(), QByteArray("hello"));
    }

    void decryptOfPlainPacketChangesNothing()
    {
        ZuHalPacket packet;
        packet.setData("plain", testKey);
        QVERIFY(packet.decrypt(testKey));
        QCOMPARE(packet.data(), QByteArray("plain"));
    }

    void encryptDataLeavesCopiesAlone()
    {
        const QByteArray original("shared");
        QByteArray copy = original;
        ZuHalPacket::encryptData(testKey, copy);
        QCOMPARE(original, QByteArray("shared"));
        ZuHalPacket::decryptData(testKey, copy);
        QCOMPARE(copy, original);
    }

    void printKey_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("capital A") << QByteArray(8, 'A') << QStringLiteral("AAAAAAAA");
        QTest::newRow("zero byte") << hexBytes("0001020304050607") << QStringLiteral("0001020304050607");
        QTest::newRow("high byte") << hexBytes("41414141414141ff") << QStringLiteral("41414141414141FF");
        QTest::newRow("vertical tab printable") << QByteArray("abc\x0b" "defg") << QStringLiteral("abc\x0b" "defg");
        QTest::newRow("space and tilde") << QByteArray(" ~ ~ ~ ~") << QStringLiteral(" ~ ~ ~ ~");
    }
    void printKey()
    {
        QFETCH(QByteArray, key);
        QFETCH(QString, text);
        ZuHalPacket::Key bytes;
        memcpy(bytes, key.constData(), 8);
        QCOMPARE(ZuHalPacket::printKey(bytes), text);
    }

    void pasteKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("8 characters") << QStringLiteral("AAAAAAAA") << true << QByteArray(8, 'A');
        QTest::newRow("16 hex digits") << QStringLiteral("0001020304050607") << true << hexBytes("0001020304050607");
        QTest::newRow("hex with spaces") << QStringLiteral("00 01 02 03 04 05 06 ff") << true
                                         << hexBytes("00010203040506ff");
        QTest::newRow("tab and newline count") << QStringLiteral("ab\tc\nd\re") << true << QByteArray("ab\tc\nd\re");
        QTest::newRow("7 characters") << QStringLiteral("secret!") << false << QByteArray();
        QTest::newRow("9 characters") << QStringLiteral("secret!!!") << false << QByteArray();
        QTest::newRow("vertical tab refused") << QStringLiteral("abc\x0b" "defg") << false << QByteArray();
        QTest::newRow("14 hex digits") << QStringLiteral("00010203040506") << false << QByteArray();
        QTest::newRow("empty") << QString() << false << QByteArray();
    }
    void pasteKey()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        QFETCH(QByteArray, key);
        ZuHalPacket::Key bytes;
        memset(bytes, 0x5A, sizeof bytes);
        QCOMPARE(ZuHalPacket::pasteKey(text, bytes), ok);
        const QByteArray result(reinterpret_cast<const char *>(bytes), 8);
        QCOMPARE(result, ok ? key : QByteArray(8, 0x5A));
    }

    void printedKeysPasteBack_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("text") << QByteArray("k3y-Text");
        QTest::newRow("binary") << hexBytes("00ff10c0db7f8001");
    }
    void printedKeysPasteBack()
    {
        QFETCH(QByteArray, key);
        ZuHalPacket::Key bytes;
        memcpy(bytes, key.constData(), 8);
        ZuHalPacket::Key back = {};
        QVERIFY(ZuHalPacket::pasteKey(ZuHalPacket::printKey(bytes), back));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(back), 8), key);
    }

    void debugText()
    {
        ZuHalPacket packet = parsed(hexBytes("a7b3ffff1200") + QByteArray("hi\n"));
        QString text;
        QDebug(&text).nospace() << packet;
        QCOMPARE(text, QStringLiteral("ZU Packet:\n"
                                      "  FCF:\n"
                                      "    SEQ   ---a----\n"
                                      "    CRYPT -----1--\n"
                                      "    FF    ------1-\n"
                                      "    ACK   -------1\n"
                                      "  DPT: 11\n"
                                      "  SPT: 3\n"
                                      "  DST:   bcst\n"
                                      "  SRC:   0012h\n"
                                      "  DAT: 68690A (3 bytes;hi\n)"));
    }

    void debugTextOfBinaryPayload()
    {
        ZuHalPacket packet = parsed(hexBytes("000000ab0100ff00"));
        QString text;
        QDebug(&text).nospace() << packet;
        QVERIFY2(text.contains(QStringLiteral("  DST:   AB00h\n")), qPrintable(text));
        QVERIFY2(text.endsWith(QStringLiteral("  DAT: FF00 (2 bytes;)")), qPrintable(text));
    }

    void copyHasNoParent()
    {
        auto *parent = new QObject;
        auto *original = new ZuHalPacket(parent);
        original->setSource(0x42);
        ZuHalPacket copy(*original);
        QList<ZuHalPacket> list{*original, copy};
        delete parent;
        QCOMPARE(copy.parent(), nullptr);
        QCOMPARE(copy.source(), quint16(0x42));
        QCOMPARE(list.at(1).source(), quint16(0x42));
    }

    void packetsCrossQueuedConnections()
    {
        PacketSender sender;
        ZuHalPacket received;
        QObject context;
        connect(&sender, &PacketSender::packet, &context,
                [&received](const ZuHalPacket &packet) { received = packet; }, Qt::QueuedConnection);
        ZuHalPacket packet;
        packet.setDestination(0x0777);
        emit sender.packet(packet);
        QTRY_COMPARE(received.destination(), quint16(0x0777));
    }
};

QTEST_GUILESS_MAIN(PacketTest)
#include "packet_test.moc"
