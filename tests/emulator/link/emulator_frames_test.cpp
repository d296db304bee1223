// halvane-kdb in emulator mode under malformed and broken traffic: raw bytes
// on a plain socket, replies read back through the device link's framer.
#include "emulator_process.h"
#include "slip.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

// Own-address request from the host to the management port.
const QByteArray kAddressRequest = QByteArray::fromHex("0012ffffffff010000");

QByteArray framed(const QByteArray &packet)
{
    SlipBuffer slip;
    slip.setCrc8(true);
    return slip.encode(packet);
}

// A raw connection to the emulator; replies are unframed with the checksum
// checked.
class Client
{
public:
    Client()
    {
        m_slip.setCrc8(true);
        QObject::connect(&m_slip, &SlipBuffer::pktReady, [this](const QByteArray &packet) { m_replies << packet; });
    }

    bool connect(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        return m_socket.waitForConnected(5000);
    }

    void send(const QByteArray &bytes)
    {
        m_socket.write(bytes);
        m_socket.flush();
    }

    void close()
    {
        m_socket.abort();
    }

    // The next reply packet; empty after the time-out.
    QByteArray reply(int timeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (m_replies.isEmpty() && timer.elapsed() < timeoutMs) {
            if (m_socket.bytesAvailable() > 0 || m_socket.waitForReadyRead(50))
                m_slip.decode(m_socket.readAll());
            if (m_socket.state() != QAbstractSocket::ConnectedState && m_socket.bytesAvailable() == 0)
                break;
        }
        return m_replies.isEmpty() ? QByteArray() : m_replies.takeFirst();
    }

    // The own-address request is answered, and nothing came before it.
    bool answersOwnAddress()
    {
        send(framed(kAddressRequest));
        const QByteArray packet = reply();
        return packet.size() == 11 && packet.mid(6, 3) == QByteArray::fromHex("010000");
    }

private:
    QTcpSocket m_socket;
    SlipBuffer m_slip;
    QList<QByteArray> m_replies;
};

} // namespace

class EmulatorFramesTest : public QObject
{
    Q_OBJECT

private slots:
    void dropped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("warning");
        QTest::newRow("one byte") << QByteArray::fromHex("c005c0") << "invalid slip message - no data";
        QByteArray badSum = framed(kAddressRequest);
        badSum[badSum.size() - 2] = char(badSum[badSum.size() - 2] + 1);
        QTest::newRow("bad checksum") << badSum << "corrupted slip message - invalid crc";
        QTest::newRow("header only") << framed(QByteArray::fromHex("0012ffffffff")) << "invalid slip message - too short";
        QTest::newRow("short command") << framed(QByteArray::fromHex("0012ffffffff0100"))
                                       << "invalid MC packet - not enough data";
        QTest::newRow("short board operation") << framed(QByteArray::fromHex("0032ffffffff00000000"))
                                               << "invalid HAL packet - not enough data";
        QTest::newRow("host port") << framed(QByteArray::fromHex("0022ffffffff010000")) << "drop message for port 2";
        QTest::newRow("port 15") << framed(QByteArray::fromHex("00f2ffffffff010000")) << "drop message for port 15";
        QTest::newRow("long message") << framed(QByteArray::fromHex("0002ffffffff") + QByteArray(59, 'x'))
                                      << "message too long - drop";
        QTest::newRow("bad escape") << QByteArray::fromHex("c001db0502c0") << QString();
        // The END of the next request right after ESC opens that request.
        QTest::newRow("cut off after ESC") << QByteArray::fromHex("c01012db") << QString();
    }

    // No reply, the warning in the log, and the next request answered.
    void dropped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, warning);
        EmulatorProcess emulator;
        QVERIFY(emulator.start());
        Client client;
        QVERIFY(client.connect(emulator.port()));
        client.send(bytes);
        QVERIFY(client.answersOwnAddress());
        if (!warning.isEmpty())
            QVERIFY2(emulator.waitForLog(warning), qPrintable(emulator.log()));
    }

    // Frames that share their END are all answered.
    void sharedEnd()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start());
        Client client;
        QVERIFY(client.connect(emulator.port()));
        QByteArray two = framed(kAddressRequest);
        two += framed(QByteArray::fromHex("0012ffffffff010100")).mid(1);
        client.send(two);
        QCOMPARE(client.reply().mid(6, 3), QByteArray::fromHex("010000"));
        QCOMPARE(client.reply().mid(6, 3), QByteArray::fromHex("010100"));
    }

    void brokenClients_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("gone mid-frame") << framed(kAddressRequest).left(5);
        QTest::newRow("gone before its reply") << framed(kAddressRequest);
        QTest::newRow("4 KB without END") << QByteArray(4096, 0x01);
        QTest::newRow("4 KB frame") << QByteArray(1, char(0xC0)) + QByteArray(4096, 0x01);
    }

    // A client that leaves in the middle of things; the next client's first
    // request is answered.
    void brokenClients()
    {
        QFETCH(QByteArray, bytes);
        EmulatorProcess emulator;
        QVERIFY(emulator.start());
        {
            Client first;
            QVERIFY(first.connect(emulator.port()));
            first.send(bytes);
            first.close();
        }
        Client next;
        QVERIFY(next.connect(emulator.port()));
        QVERIFY(next.answersOwnAddress());
        QCOMPARE(emulator.process().state(), QProcess::Running);
    }

    // An over-long frame is dropped on the same connection, and the frame
    // after it is answered.
    void overlongFrameThenRequest()
    {
        EmulatorProcess emulator;
        QVERIFY(emulator.start());
        Client client;
        QVERIFY(client.connect(emulator.port()));
        client.send(QByteArray(1, char(0xC0)) + QByteArray(4096, 0x01) + QByteArray(1, char(0xC0)));
        QVERIFY(client.answersOwnAddress());
    }
};

QTEST_GUILESS_MAIN(EmulatorFramesTest)
#include "emulator_frames_test.moc"
