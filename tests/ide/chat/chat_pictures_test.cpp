// Pictures of a conversation with every bubble state, of one whose older
// messages were dropped, and of the "Advanced" form, for a person to look
// at.

#include "chat_feed.h"
#include "chat_list.h"
#include "chatadvancedform.h"
#include "qchatlabel.h"

#include <QDir>
#include <QListWidget>
#include <QtTest>

class ChatPicturesTest : public QObject
{
    Q_OBJECT

private slots:
    void conversation();
    void droppedLine();
    void advancedForm();
};

void ChatPicturesTest::conversation()
{
    QChatLabel::setClock([] { return QDateTime(QDate(2026, 3, 4), QTime(9, 5)); });
    QChatLabel::setDeliveryInterval(30);
    QListWidget list;
    list.resize(460, 420);
    auto add = [&list](quint16 address, quint8 port, const QString &text, bool outgoing) {
        auto *bubble = new QChatLabel(&list);
        bubble->setup(address, port, text, outgoing);
        chat_appendBubble(&list, bubble);
        return bubble;
    };
    add(0x12A, 7, QStringLiteral("Received on port 7"), false);
    add(0x12, 2, QStringLiteral("Two lines\nsee https://example.org/x and more"), false);
    add(0x12, 2, QStringLiteral("<img src=\"x.png\"> shows as text"), false);
    QChatLabel *late = add(0x12, 2, QStringLiteral("Not delivered"), true);
    QTRY_COMPARE_WITH_TIMEOUT(late->delivery(), QChatLabel::NotDelivered, 10000);
    QChatLabel::setDeliveryInterval(5000);
    add(0x12, 2, QStringLiteral("Pending"), true);
    QChatLabel *acked = add(0x12, 2, QStringLiteral("Delivered"), true);
    QVERIFY(acked->match(0x12, qChecksum("Delivered", 9)));
    add(0xFFFF, 2, QStringLiteral("Broadcast, <b>typed bold</b>"), true);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(QDir().mkpath(KOLM_SCREENSHOT_DIR));
    QVERIFY(list.grab().save(KOLM_SCREENSHOT_DIR "/chat_bubbles.png"));
    QChatLabel::setClock({});
}

void ChatPicturesTest::droppedLine()
{
    QListWidget list;
    list.resize(460, 300);
    ChatFeed feed(&list, nullptr, 3);
    for (int i = 0; i < 5; ++i)
        feed.addReceived(0x12, 2, QStringLiteral("Message %1").arg(i));
    feed.flush();
    QCOMPARE(list.item(0)->text(), QStringLiteral("Older messages dropped: 2"));
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QVERIFY(QDir().mkpath(KOLM_SCREENSHOT_DIR));
    QVERIFY(list.grab().save(KOLM_SCREENSHOT_DIR "/chat_dropped.png"));
}

void ChatPicturesTest::advancedForm()
{
    ChatAdvancedForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(QDir().mkpath(KOLM_SCREENSHOT_DIR));
    QVERIFY(form.grab().save(KOLM_SCREENSHOT_DIR "/chat_advanced_form.png"));
}

QTEST_MAIN(ChatPicturesTest)
#include "chat_pictures_test.moc"
