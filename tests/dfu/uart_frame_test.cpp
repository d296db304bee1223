#include "uart_frame.h"

#include <QtTest>

namespace {

// A message as one byte string: its address, then its payload.
QByteArray flat(const UARTMessage &message)
{
    return QByteArray(1, char(message.first)) + message.second;
}

QByteArray frame(uint8_t address, const QByteArray &payload)
{
    return uart_frame::encode(address, payload);
}

} // namespace

class UartFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void parse_data();
    void parse();
    void frameFedByteByByte();
};

void UartFrameTest::encode_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("status request to 5") << 5 << QByteArray::fromHex("03") << QByteArray::fromHex("7e01050387");
    QTest::newRow("empty payload") << 9 << QByteArray() << QByteArray::fromHex("7e000987");
    QTest::newRow("sum wraps, start byte inside")
        << 0xFF << QByteArray::fromHex("7e7e") << QByteArray::fromHex("7e02ff7e7e7b");
    const QByteArray largest(255, '\x01');
    QTest::newRow("255 bytes") << 1 << largest << QByteArray::fromHex("7eff01") + largest + QByteArray::fromHex("7d");
    QTest::newRow("256 bytes refused") << 1 << QByteArray(256, '\x01') << QByteArray();
}

void UartFrameTest::encode()
{
    QFETCH(int, address);
    QFETCH(QByteArray, payload);
    QTEST(uart_frame::encode(uint8_t(address), payload), "expected");
}

void UartFrameTest::parse_data()
{
    QTest::addColumn<QByteArrayList>("reads");
    QTest::addColumn<QByteArrayList>("messages");
    QTest::addColumn<int>("buffered");

    const QByteArray status = frame(5, QByteArray::fromHex("03"));
    const QByteArray reply = frame(7, QByteArray("ok"));
    QTest::newRow("two frames in one read")
        << QByteArrayList{status + reply} << QByteArrayList{QByteArray::fromHex("0503"), QByteArray("\x07ok")} << 0;
    QTest::newRow("garbage before the start byte")
        << QByteArrayList{QByteArray::fromHex("0011ff") + status} << QByteArrayList{QByteArray::fromHex("0503")} << 0;
    QTest::newRow("garbage only") << QByteArrayList{QByteArray::fromHex("0011ff")} << QByteArrayList{} << 0;

    // A bad frame of length 5 whose payload is a genuine frame: both go,
    // the frame behind them is found.
    QByteArray bad = QByteArray::fromHex("7e0501") + status;
    bad.append(char(uart_frame::encode(1, status).back() + 1));
    QTest::newRow("bad sum drops a frame inside its length")
        << QByteArrayList{bad + reply} << QByteArrayList{QByteArray("\x07ok")} << 0;
    QTest::newRow("start byte and two bytes kept")
        << QByteArrayList{status.left(3)} << QByteArrayList{} << 3;
    QTest::newRow("start byte and two bytes completed later")
        << QByteArrayList{status.left(3), status.mid(3)} << QByteArrayList{QByteArray::fromHex("0503")} << 0;
    QTest::newRow("start byte alone after garbage")
        << QByteArrayList{QByteArray::fromHex("55") + status.left(1)} << QByteArrayList{} << 1;
    QTest::newRow("incomplete frame waits for its length")
        << QByteArrayList{reply.left(5)} << QByteArrayList{} << 5;
    QTest::newRow("frame, then half a frame")
        << QByteArrayList{status + reply.left(4)} << QByteArrayList{QByteArray::fromHex("0503")} << 4;
    QTest::newRow("empty payload") << QByteArrayList{frame(3, QByteArray())} << QByteArrayList{QByteArray("\x03")} << 0;
}

void UartFrameTest::parse()
{
    QFETCH(QByteArrayList, reads);
    QFETCH(QByteArrayList, messages);
    uart_frame::Parser parser;
    QByteArrayList parsed;
    for (const QByteArray &read : reads) {
        parser.append(read);
        UARTMessage message;
        while (parser.next(&message))
            parsed.append(flat(message));
    }
    QCOMPARE(parsed, messages);
    QTEST(parser.buffered(), "buffered");
}

void UartFrameTest::frameFedByteByByte()
{
    const QByteArray bytes = frame(0x42, QByteArray("\x7e\x00\x7e", 3));
    uart_frame::Parser parser;
    UARTMessage message;
    for (int i = 0; i < bytes.size() - 1; ++i) {
        parser.append(bytes.mid(i, 1));
        QVERIFY2(!parser.next(&message), qPrintable(QString::number(i)));
    }
    parser.append(bytes.right(1));
    QVERIFY(parser.next(&message));
    QCOMPARE(flat(message), QByteArray("\x42\x7e\x00\x7e", 4));
    QVERIFY(!parser.next(&message));
    QCOMPARE(parser.buffered(), 0);
}

QTEST_APPLESS_MAIN(UartFrameTest)
#include "uart_frame_test.moc"
