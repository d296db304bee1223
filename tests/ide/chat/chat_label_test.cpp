// One chat bubble: header, delivery states and their dots, acknowledgement
// matching, time text, HTML and the handling of text from the network.

#include "qchatlabel.h"

#include <QLabel>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QtTest>

namespace {

const QDateTime NineOhFive(QDate(2026, 3, 4), QTime(9, 5, 7));

quint16 crc(const QByteArray &bytes)
{
    return qChecksum(bytes.constData(), uint(bytes.size()));
}

QString labelText(const QChatLabel &bubble)
{
    return bubble.findChild<QLabel *>()->text();
}

// Whether a row of the bubble's picture, left of the box, holds the colour.
bool dotShows(QChatLabel &bubble, const QColor &colour)
{
    bubble.resize(bubble.minimumSize());
    const QImage picture = bubble.grab().toImage();
    for (int x = 0; x < 40; ++x)
        if (picture.pixelColor(x, 12) == colour)
            return true;
    return false;
}

} // namespace

class ChatLabelTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void receivedHeader_data();
    void receivedHeader();
    void stateAfterSetup_data();
    void stateAfterSetup();
    void checksumIsX25();
    void match_data();
    void match();
    void pendingTurnsNotDeliveredThenDeliveredOnALateAck();
    void deletedWhilePendingStopsItsTimer();
    void hexMessageMatchesTheBytesSent();
    void twoLineMessageChecksumCoversTheLineBreak();
    void timeText_data();
    void timeText();
    void dotColours();
    void htmlByState();
    void receivedMarkupShowsAsText();
    void typedMarkupTakesEffect();
    void labelPlacement();
    void hugeReceivedText();
};

void ChatLabelTest::init()
{
    QChatLabel::setClock([] { return NineOhFive; });
}

void ChatLabelTest::cleanup()
{
    QChatLabel::setClock({});
    QChatLabel::setDeliveryInterval(5000);
}

void ChatLabelTest::receivedHeader_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("header");
    QTest::newRow("012Ah@7") << 0x12A << 7 << "<i>012Ah@7</i><br>";
    QTest::newRow("bcst@2") << 0xFFFF << 2 << "<i>bcst@2</i><br>";
    QTest::newRow("0000h@15") << 0 << 15 << "<i>0000h@15</i><br>";
}

void ChatLabelTest::receivedHeader()
{
    QFETCH(int, address);
    QFETCH(int, port);
    QFETCH(QString, header);
    QChatLabel bubble;
    bubble.setup(quint16(address), quint8(port), QStringLiteral("hi"), false);
    QCOMPARE(labelText(bubble), header + QStringLiteral("hi"));
    QCOMPARE(bubble.address(), quint16(address));
}

void ChatLabelTest::stateAfterSetup_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("outgoing");
    QTest::addColumn<int>("state");
    QTest::newRow("received") << 0x12 << 2 << false << int(QChatLabel::Received);
    QTest::newRow("sent broadcast") << 0xFFFF << 2 << true << int(QChatLabel::Delivered);
    QTest::newRow("sent to another port") << 0x12 << 5 << true << int(QChatLabel::Delivered);
    QTest::newRow("sent to one address") << 0x12 << 2 << true << int(QChatLabel::Pending);
}

void ChatLabelTest::stateAfterSetup()
{
    QFETCH(int, address);
    QFETCH(int, port);
    QFETCH(bool, outgoing);
    QFETCH(int, state);
    QChatLabel bubble;
    QCOMPARE(int(bubble.delivery()), int(QChatLabel::Received));
    QCOMPARE(bubble.address(), quint16(0xFFFF));
    QCOMPARE(bubble.timeStamp().toSecsSinceEpoch(), qint64(0));
    bubble.setup(quint16(address), quint8(port), QStringLiteral("x"), outgoing);
    QCOMPARE(int(bubble.delivery()), state);
    QCOMPARE(bubble.timeStamp(), NineOhFive);
}

void ChatLabelTest::checksumIsX25()
{
    QCOMPARE(crc("123456789"), quint16(0x906E));
    QCOMPARE(crc(QByteArray()), quint16(0));
}

void ChatLabelTest::match_data()
{
    QTest::addColumn<int>("address");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("outgoing");
    QTest::addColumn<int>("ackAddress");
    QTest::addColumn<QByteArray>("ackedBytes");
    QTest::addColumn<bool>("taken");
    QTest::newRow("pending, right ack") << 0x12 << 2 << true << 0x12 << QByteArray("hello") << true;
    QTest::newRow("pending, other address") << 0x12 << 2 << true << 0x13 << QByteArray("hello") << false;
    QTest::newRow("pending, other text") << 0x12 << 2 << true << 0x12 << QByteArray("hellO") << false;
    QTest::newRow("received refuses") << 0x12 << 2 << false << 0x12 << QByteArray("hello") << false;
    QTest::newRow("delivered broadcast refuses") << 0xFFFF << 2 << true << 0xFFFF << QByteArray("hello")
                                                 << false;
    QTest::newRow("delivered other port refuses") << 0x12 << 4 << true << 0x12 << QByteArray("hello")
                                                  << false;
}

void ChatLabelTest::match()
{
    QFETCH(int, address);
    QFETCH(int, port);
    QFETCH(bool, outgoing);
    QFETCH(int, ackAddress);
    QFETCH(QByteArray, ackedBytes);
    QFETCH(bool, taken);
    QChatLabel bubble;
    bubble.setup(quint16(address), quint8(port), QStringLiteral("hello"), outgoing);
    const QChatLabel::Delivery before = bubble.delivery();
    QCOMPARE(bubble.match(quint16(ackAddress), crc(ackedBytes)), taken);
    QCOMPARE(bubble.delivery(), taken ? QChatLabel::Delivered : before);
    // Taken once only.
    QVERIFY(!bubble.match(quint16(ackAddress), crc(ackedBytes)));
}

void ChatLabelTest::pendingTurnsNotDeliveredThenDeliveredOnALateAck()
{
    QChatLabel::setDeliveryInterval(50);
    QChatLabel bubble;
    bubble.setup(0x12, 2, QStringLiteral("ping"), true);
    QCOMPARE(bubble.delivery(), QChatLabel::Pending);
    QTRY_COMPARE_WITH_TIMEOUT(bubble.delivery(), QChatLabel::NotDelivered, 10000);
    QVERIFY(bubble.match(0x12, crc("ping")));
    QCOMPARE(bubble.delivery(), QChatLabel::Delivered);
}

void ChatLabelTest::deletedWhilePendingStopsItsTimer()
{
    QChatLabel::setDeliveryInterval(20);
    auto *bubble = new QChatLabel;
    bubble->setup(0x12, 2, QStringLiteral("ping"), true);
    delete bubble;
    QTest::qWait(100); // no timer of the deleted bubble may fire
    QChatLabel acked;
    acked.setup(0x12, 2, QStringLiteral("ping"), true);
    QVERIFY(acked.match(0x12, crc("ping")));
    QTest::qWait(100); // a delivered bubble stays delivered past its interval
    QCOMPARE(acked.delivery(), QChatLabel::Delivered);
}

void ChatLabelTest::hexMessageMatchesTheBytesSent()
{
    QChatLabel bubble;
    bubble.setup(0x12, 2, QStringLiteral("Binary data"), true, QByteArray("\x48\x69"));
    QVERIFY(!bubble.match(0x12, crc("Binary data")));
    QVERIFY(bubble.match(0x12, crc("Hi")));
    QCOMPARE(labelText(bubble), QStringLiteral("Binary data"));
}

void ChatLabelTest::twoLineMessageChecksumCoversTheLineBreak()
{
    QChatLabel bubble;
    bubble.setup(0x12, 2, QStringLiteral("one\r\ntwo"), true);
    QCOMPARE(labelText(bubble), QStringLiteral("one<br>two"));
    QCOMPARE(bubble.text(), QStringLiteral("one\r\ntwo"));
    QVERIFY(!bubble.match(0x12, crc("one<br>two")));
    QVERIFY(bubble.match(0x12, crc("one\r\ntwo")));
}

void ChatLabelTest::timeText_data()
{
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QString>("text");
    QTest::newRow("9:05") << QTime(9, 5) << "9:05";
    QTest::newRow("14:30") << QTime(14, 30) << "14:30";
    QTest::newRow("0:00") << QTime(0, 0) << "0:00";
}

void ChatLabelTest::timeText()
{
    QFETCH(QTime, time);
    QFETCH(QString, text);
    const QDateTime when(QDate(2026, 1, 1), time);
    QChatLabel::setClock([when] { return when; });
    QChatLabel bubble;
    bubble.setup(0x12, 2, QStringLiteral("x"), false);
    QCOMPARE(bubble.timeText(), text);
}

void ChatLabelTest::dotColours()
{
    const QColor grey(QStringLiteral("#989898"));
    const QColor green(QStringLiteral("#4CB521"));
    const QColor red(Qt::red);

    QChatLabel::setDeliveryInterval(50);
    QChatLabel pending;
    pending.setup(0x12, 2, QStringLiteral("x"), true);
    QVERIFY(dotShows(pending, grey));
    QVERIFY(!dotShows(pending, green));
    QTRY_COMPARE_WITH_TIMEOUT(pending.delivery(), QChatLabel::NotDelivered, 10000);
    QVERIFY(dotShows(pending, red));
    QVERIFY(pending.match(0x12, crc("x")));
    QVERIFY(dotShows(pending, green));

    QChatLabel broadcast;
    broadcast.setup(0xFFFF, 2, QStringLiteral("x"), true);
    QVERIFY(dotShows(broadcast, green));

    QChatLabel received;
    received.setup(0x12, 2, QStringLiteral("x"), false);
    QVERIFY(!dotShows(received, green));
    QVERIFY(!dotShows(received, grey));
    QVERIFY(!dotShows(received, red));
}

void ChatLabelTest::htmlByState()
{
    QChatLabel::setDeliveryInterval(50);
    QChatLabel received;
    received.setup(0x12, 2, QStringLiteral("in"), false);
    QCOMPARE(received.html(), QStringLiteral("<i>0012h@2</i><br>in"));

    QChatLabel delivered;
    delivered.setup(0xFFFF, 2, QStringLiteral("out"), true);
    QCOMPARE(delivered.html(), QStringLiteral("<i>Me (delivered)</i><br>out"));

    QChatLabel waiting;
    waiting.setup(0x12, 2, QStringLiteral("out"), true);
    QCOMPARE(waiting.html(), QStringLiteral("<i>Me (pending)</i><br>out"));
    QTRY_COMPARE_WITH_TIMEOUT(waiting.delivery(), QChatLabel::NotDelivered, 10000);
    QCOMPARE(waiting.html(), QStringLiteral("<i>Me (not delivered)</i><br>out"));
}

void ChatLabelTest::receivedMarkupShowsAsText()
{
    QChatLabel bubble;
    bubble.setup(0x12, 2, QStringLiteral("<img src=\"file:///etc/x.png\"><b>b</b>"), false);
    QCOMPARE(labelText(bubble),
             QStringLiteral("<i>0012h@2</i><br>&lt;img src=&quot;<a href=\"file:///etc/x.png&quot;&gt;&lt;b&gt;b&lt;/b&gt;\">"
                            "file:///etc/x.png&quot;&gt;&lt;b&gt;b&lt;/b&gt;</a>"));
    QCOMPARE(bubble.text(), QStringLiteral("<img src=\"file:///etc/x.png\"><b>b</b>"));
    // The label shows the characters, not an image or bold text.
    QTextDocument shown;
    shown.setHtml(labelText(bubble));
    QVERIFY(shown.toPlainText().contains(QStringLiteral("<img src=\"file:///etc/x.png\"><b>b</b>")));
    QCOMPARE(bubble.findChild<QLabel *>()->textFormat(), Qt::RichText);
}

void ChatLabelTest::typedMarkupTakesEffect()
{
    QChatLabel bubble;
    bubble.setup(0x12, 2, QStringLiteral("<b>bold</b>"), true);
    QTextDocument shown;
    shown.setHtml(labelText(bubble));
    QCOMPARE(shown.toPlainText(), QStringLiteral("bold"));
    QVERIFY(shown.begin().begin().fragment().charFormat().fontWeight() > QFont::Normal);
}

void ChatLabelTest::labelPlacement()
{
    QChatLabel received;
    received.setup(0x12, 2, QStringLiteral("left"), false);
    received.resize(400, received.minimumHeight());
    received.show();
    QVERIFY(QTest::qWaitForWindowExposed(&received));
    const QLabel *inner = received.findChild<QLabel *>();
    QCOMPARE(inner->pos(), QPoint(10, 10));

    QChatLabel sent;
    sent.setup(0x12, 2, QStringLiteral("right"), true);
    sent.resize(400, sent.minimumHeight());
    sent.show();
    QVERIFY(QTest::qWaitForWindowExposed(&sent));
    const QLabel *sentInner = sent.findChild<QLabel *>();
    QCOMPARE(sentInner->geometry().right() + 1, 400 - 10);
    QCOMPARE(sentInner->y(), 10);
    QVERIFY(sent.minimumWidth() >= sentInner->width() + 44);
}

// A device may send anything: long, broken or hostile text makes a bubble
// that shows it as text.
void ChatLabelTest::hugeReceivedText()
{
    QByteArray payload;
    for (int i = 0; i < 4096; ++i)
        payload += QByteArray("<a href=x>\xC3\n\r\x01http://a\"b ");
    QChatLabel bubble;
    bubble.setup(0x12, 2, QString::fromUtf8(payload), false);
    QVERIFY(bubble.minimumHeight() > 4096);
    QTextDocument shown;
    shown.setHtml(labelText(bubble));
    QCOMPARE(shown.toPlainText().count(QStringLiteral("<a href=x>")), 4096);
    QVERIFY(!bubble.grab(QRect(0, 0, 200, 200)).isNull());
}

QTEST_MAIN(ChatLabelTest)
#include "chat_label_test.moc"
