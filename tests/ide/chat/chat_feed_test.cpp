// The conversation fed in batches: arrival order kept across sent and
// received messages, a burst spread over several turns of the event loop,
// acknowledgements offered to the oldest waiting bubble, the newest peer
// and clearing with messages still queued; the newest messages kept up to
// the bound, with the line that says how many older ones were dropped.

#include "chat_feed.h"
#include "chat_list.h"
#include "qchatlabel.h"

#include <QListWidget>
#include <QPointer>
#include <QtTest>

namespace {

QChatLabel *sentBubble(QListWidget &list, quint16 address, const QString &text)
{
    auto *bubble = new QChatLabel(&list);
    bubble->setup(address, 2, text, true);
    return bubble;
}

QStringList texts(const QListWidget &list)
{
    QStringList shown;
    for (int i = 0; i < list.count(); ++i)
        if (const auto *bubble = qobject_cast<QChatLabel *>(list.itemWidget(list.item(i))))
            shown << bubble->text();
    return shown;
}

quint16 crc(const QByteArray &bytes)
{
    return qChecksum(bytes.constData(), uint(bytes.size()));
}

} // namespace

class ChatFeedTest : public QObject
{
    Q_OBJECT

private slots:
    void arrivalOrderKept();
    void burstSpreadOverTurns();
    void ackToTheOldestWaiting();
    void newestAddress();
    void clearWithQueuedMessages();
    void boundKeepsNewest_data();
    void boundKeepsNewest();
};

void ChatFeedTest::arrivalOrderKept()
{
    QListWidget list;
    ChatFeed feed(&list);
    feed.addReceived(0x12, 2, QStringLiteral("one"));
    feed.addSent(sentBubble(list, 0x12, QStringLiteral("two")));
    feed.addReceived(0x13, 7, QStringLiteral("three"));
    QCOMPARE(list.count(), 0);
    QCOMPARE(feed.queued(), 3);
    QTRY_COMPARE(list.count(), 3);
    QCOMPARE(texts(list), (QStringList{"one", "two", "three"}));
    QCOMPARE(qobject_cast<QChatLabel *>(list.itemWidget(list.item(2)))->html(),
             QStringLiteral("<i>0013h@7</i><br>three"));
}

// Building 2,000 bubbles takes longer than one batch may: the first turn
// adds some, later turns the rest.
void ChatFeedTest::burstSpreadOverTurns()
{
    QListWidget list;
    ChatFeed feed(&list);
    const int burst = 2000;
    for (int i = 0; i < burst; ++i)
        feed.addReceived(0x12, 2, QStringLiteral("message %1").arg(i));
    QTest::qWait(0);
    QTRY_VERIFY(list.count() > 0);
    QVERIFY2(list.count() < burst, qPrintable(QString::number(list.count())));
    QTRY_COMPARE_WITH_TIMEOUT(list.count(), burst, 60000);
    QCOMPARE(feed.queued(), 0);
    QCOMPARE(texts(list).constLast(), QStringLiteral("message 1999"));
}

void ChatFeedTest::ackToTheOldestWaiting()
{
    QListWidget list;
    ChatFeed feed(&list);
    QChatLabel *listed = sentBubble(list, 0x12, QStringLiteral("same"));
    feed.addSent(listed);
    feed.flush();
    QChatLabel *queued = sentBubble(list, 0x12, QStringLiteral("same"));
    feed.addSent(queued);
    feed.addSent(sentBubble(list, 0xFFFF, QStringLiteral("same")));
    QVERIFY(!feed.offerAck(0x13, crc("same")));
    QVERIFY(feed.offerAck(0x12, crc("same")));
    QCOMPARE(int(listed->delivery()), int(QChatLabel::Delivered));
    QCOMPARE(int(queued->delivery()), int(QChatLabel::Pending));
    QVERIFY(feed.offerAck(0x12, crc("same")));
    QCOMPARE(int(queued->delivery()), int(QChatLabel::Delivered));
    // Delivered bubbles and broadcasts take no more.
    QVERIFY(!feed.offerAck(0x12, crc("same")));
    QVERIFY(!feed.offerAck(0xFFFF, crc("same")));
}

void ChatFeedTest::newestAddress()
{
    QListWidget list;
    ChatFeed feed(&list);
    quint16 address = 0;
    QVERIFY(!feed.newestAddress(&address));
    feed.addReceived(0x12, 2, QStringLiteral("listed"));
    feed.flush();
    QVERIFY(feed.newestAddress(&address));
    QCOMPARE(address, quint16(0x12));
    feed.addSent(sentBubble(list, 0xFFFF, QStringLiteral("queued")));
    QVERIFY(feed.newestAddress(&address));
    QCOMPARE(address, quint16(0xFFFF));
}

void ChatFeedTest::clearWithQueuedMessages()
{
    QListWidget list;
    ChatFeed feed(&list);
    feed.addReceived(0x12, 2, QStringLiteral("listed"));
    feed.flush();
    QPointer<QChatLabel> queued = sentBubble(list, 0x12, QStringLiteral("queued"));
    feed.addSent(queued);
    feed.addReceived(0x12, 2, QStringLiteral("queued too"));
    feed.clear();
    QVERIFY(!queued);
    QCOMPARE(feed.queued(), 0);
    QCOMPARE(list.count(), 0);
    QVERIFY(!feed.offerAck(0x12, crc("queued")));
    QTest::qWait(10);
    QCOMPARE(list.count(), 0);
}

void ChatFeedTest::boundKeepsNewest_data()
{
    QTest::addColumn<int>("bound");
    QTest::addColumn<int>("listed");
    QTest::addColumn<int>("more");
    // Dropped from the queue before their bubbles are built, or from the
    // top of the list (with a small bound: bubbles take their time to
    // build).
    QTest::newRow("5,001 at once") << int(ChatFeed::MaxMessages) << 5001 << 0;
    QTest::newRow("list full, 1 more") << 10 << 10 << 1;
    QTest::newRow("list one short, 3 more") << 10 << 9 << 3;
}

void ChatFeedTest::boundKeepsNewest()
{
    QFETCH(int, bound);
    QFETCH(int, listed);
    QFETCH(int, more);
    QCOMPARE(ChatFeed::MaxMessages, 5000);
    QListWidget list;
    ChatFeed feed(&list, nullptr, bound);
    int next = 0;
    // A sent message among the dropped, still waiting for its
    // acknowledgement.
    feed.addSent(sentBubble(list, 0x12, QStringLiteral("message %1").arg(next++)));
    while (next < listed)
        feed.addReceived(0x12, 2, QStringLiteral("message %1").arg(next++));
    feed.flush();
    for (int i = 0; i < more; ++i)
        feed.addReceived(0x12, 2, QStringLiteral("message %1").arg(next++));
    feed.flush();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    const int dropped = next - bound;
    QCOMPARE(feed.dropped(), dropped);
    QCOMPARE(chat_bubbleCount(&list), bound);
    QCOMPARE(list.count(), bound + 1);
    QCOMPARE(list.findChildren<QChatLabel *>().size(), bound);
    const QString line = QStringLiteral("Older messages dropped: %1").arg(dropped);
    QCOMPARE(list.item(0)->text(), line);
    const QStringList shown = texts(list);
    QCOMPARE(shown.constFirst(), QStringLiteral("message %1").arg(dropped));
    QCOMPARE(shown.constLast(), QStringLiteral("message %1").arg(next - 1));
    QVERIFY(!feed.offerAck(0x12, crc("message 0")));

    // The saved document holds what is kept and says what is not.
    const QString html = chat_toHtml(&list);
    QVERIFY2(html.startsWith(QStringLiteral("<html>\n<head/><body><p><i>%1</i></p><p>").arg(line)), qPrintable(html.left(200)));
    QVERIFY(!html.contains(QStringLiteral("message %1</p>").arg(dropped - 1)));
    QCOMPARE(html.count(QStringLiteral("<p><i><b>")), bound);

    feed.clear();
    QCOMPARE(list.count(), 0);
    QCOMPARE(feed.dropped(), 0);
    feed.addReceived(0x12, 2, QStringLiteral("again"));
    feed.flush();
    QCOMPARE(list.count(), 1);
}

QTEST_MAIN(ChatFeedTest)
#include "chat_feed_test.moc"
