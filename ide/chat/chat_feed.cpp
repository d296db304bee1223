#include "chat_feed.h"

#include "chat_list.h"
#include "qchatlabel.h"

#include <QElapsedTimer>
#include <QListWidget>

ChatFeed::ChatFeed(QListWidget *list, QObject *parent)
    : QObject(parent)
    , m_list(list)
{
    m_batch.setSingleShot(true);
    m_batch.setInterval(0);
    connect(&m_batch, &QTimer::timeout, this, &ChatFeed::addBatch);
}

void ChatFeed::addSent(QChatLabel *bubble)
{
    if (bubble->delivery() == QChatLabel::Pending)
        m_awaiting.append(bubble);
    m_queue.append({true, bubble, bubble->address(), 0, QString()});
    m_batch.start();
}

void ChatFeed::addReceived(quint16 address, quint8 port, const QString &text)
{
    m_queue.append({false, nullptr, address, port, text});
    m_batch.start();
}

bool ChatFeed::offerAck(quint16 address, quint16 checksum)
{
    for (int i = 0; i < m_awaiting.size(); ++i) {
        QChatLabel *bubble = m_awaiting.at(i);
        if (bubble && bubble->match(address, checksum)) {
            m_awaiting.removeAt(i);
            return true;
        }
    }
    return false;
}

bool ChatFeed::newestAddress(quint16 *address) const
{
    if (!m_queue.isEmpty()) {
        *address = m_queue.constLast().address;
        return true;
    }
    for (int row = m_list->count() - 1; row >= 0; --row) {
        if (const auto *bubble = qobject_cast<const QChatLabel *>(m_list->itemWidget(m_list->item(row)))) {
            *address = bubble->address();
            return true;
        }
    }
    return false;
}

void ChatFeed::flush()
{
    m_batch.stop();
    addQueued(-1);
}

void ChatFeed::clear()
{
    m_batch.stop();
    for (const Message &message : qAsConst(m_queue))
        delete message.sent.data();
    m_queue.clear();
    m_awaiting.clear();
    m_list->clear();
}

void ChatFeed::addBatch()
{
    addQueued(BatchBudgetMs);
    if (!m_queue.isEmpty())
        m_batch.start();
}

QChatLabel *ChatFeed::bubbleOf(const Message &message) const
{
    if (message.outgoing)
        return message.sent;
    auto *bubble = new QChatLabel(m_list);
    bubble->setup(message.address, message.port, message.text, false);
    return bubble;
}

void ChatFeed::addQueued(int budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    QList<QChatLabel *> bubbles;
    while (!m_queue.isEmpty() && (budgetMs < 0 || bubbles.isEmpty() || clock.elapsed() < budgetMs)) {
        const Message message = m_queue.takeFirst();
        // A sent bubble deleted meanwhile (with its window) is gone.
        if (message.outgoing && !message.sent)
            continue;
        bubbles.append(bubbleOf(message));
    }
    chat_appendBubbles(m_list, bubbles);
}
