// The conversation list: appending bubbles, a burst of them, and the saved
// HTML document.

#include "chat_list.h"
#include "qchatlabel.h"

#include <QListWidget>
#include <QtTest>

namespace {

const QDateTime When(QDate(2026, 3, 4), QTime(9, 5, 7));

QChatLabel *addBubble(QListWidget &list, quint16 address, const QString &text, bool outgoing)
{
    auto *bubble = new QChatLabel(&list);
    bubble->setup(address, 2, text, outgoing);
    chat_appendBubble(&list, bubble);
    return bubble;
}

} // namespace

class ChatListTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { QChatLabel::setClock([] { return When; }); }
    void cleanup() { QChatLabel::setClock({}); }
    void emptyConversation();
    void documentInListOrder();
    void itemsWithoutABubbleAreSkipped();
    void appendedItemSizeHint();
    void savedDocumentShowsReceivedMarkupAsText();
    void burstKeepsEveryBubble();
};

void ChatListTest::emptyConversation()
{
    QListWidget list;
    QCOMPARE(chat_toHtml(&list), QStringLiteral("<html>\n<head/><body></body></html>"));
}

void ChatListTest::documentInListOrder()
{
    QListWidget list;
    addBubble(list, 0x12, QStringLiteral("first"), false);
    addBubble(list, 0xFFFF, QStringLiteral("second"), true);
    QCOMPARE(chat_toHtml(&list),
             QStringLiteral("<html>\n<head/><body>"
                            "<p><i><b>2026-03-04 09:05:07</b></i><br><i>0012h@2</i><br>first</p>"
                            "<p><i><b>2026-03-04 09:05:07</b></i><br><i>Me (delivered)</i><br>second</p>"
                            "</body></html>"));
}

void ChatListTest::itemsWithoutABubbleAreSkipped()
{
    QListWidget list;
    list.addItem(QStringLiteral("plain item"));
    auto *other = new QListWidgetItem(&list);
    list.setItemWidget(other, new QWidget);
    addBubble(list, 0x12, QStringLiteral("only"), false);
    QCOMPARE(chat_toHtml(&list).count(QStringLiteral("<p>")), 1);
    QVERIFY(chat_toHtml(&list).contains(QStringLiteral("only</p>")));
}

void ChatListTest::appendedItemSizeHint()
{
    QListWidget list;
    QChatLabel *bubble = addBubble(list, 0x12, QStringLiteral("a longer line of text"), true);
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.itemWidget(list.item(0)), bubble);
    QCOMPARE(list.item(0)->sizeHint(), bubble->minimumSize() + QSize(20, 0));
}

void ChatListTest::savedDocumentShowsReceivedMarkupAsText()
{
    QListWidget list;
    addBubble(list, 0x12, QStringLiteral("<script>alert(1)</script>"), false);
    const QString html = chat_toHtml(&list);
    QVERIFY(!html.contains(QStringLiteral("<script>")));
    QVERIFY(html.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
}

// A burst is added in one batch after what the list holds; every bubble
// stays, in arrival order, and the list's updates are on again.
void ChatListTest::burstKeepsEveryBubble()
{
    QListWidget list;
    list.resize(400, 300);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    addBubble(list, 0, QStringLiteral("message 0"), false);
    constexpr int Burst = 1000;
    QList<QChatLabel *> burst;
    for (int i = 1; i < Burst; ++i) {
        auto *bubble = new QChatLabel(&list);
        bubble->setup(quint16(i), 2, QStringLiteral("message %1").arg(i), false);
        burst.append(bubble);
    }
    chat_appendBubbles(&list, burst);
    QVERIFY(list.updatesEnabled());
    QCOMPARE(list.count(), Burst);
    for (int row = 0; row < Burst; row += 111) {
        auto *bubble = qobject_cast<QChatLabel *>(list.itemWidget(list.item(row)));
        QVERIFY(bubble);
        QCOMPARE(bubble->address(), quint16(row));
        QCOMPARE(list.item(row)->sizeHint(), bubble->minimumSize() + QSize(20, 0));
    }
    const auto *last = qobject_cast<QChatLabel *>(list.itemWidget(list.item(Burst - 1)));
    QVERIFY(last);
    QCOMPARE(last->text(), QStringLiteral("message %1").arg(Burst - 1));
    const QString html = chat_toHtml(&list);
    QCOMPARE(html.count(QStringLiteral("<p>")), Burst);
    QVERIFY(html.indexOf(QStringLiteral(">message 0</p>")) < html.indexOf(QStringLiteral(">message 1</p>")));
}

QTEST_MAIN(ChatListTest)
#include "chat_list_test.moc"
