#include "chat_feed.h"

#include "chat_list.h"
#include "qchatlabel.h"

#include <QElapsedTimer>
#include <QListWidget>

#include <algorithm>

ChatFeed::ChatFeed(QListWidget *list, QObject *parent, int maxMessages)
    : QObject(parent)
    , m_list(list)
    , m_maxMessages(maxMessages)
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
    boundQueue();
    m_batch.start();
}

void ChatFeed::addReceived(quint16 address, quint8 port, const QString &text)
{
    m_queue.append({false, nullptr, address, port, text});
    boundQueue();
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
    m_dropped = 0;
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
    makeRoom(bubbles.size());
    chat_appendBubbles(m_list, bubbles);
}

void ChatFeed::boundQueue()
{
    const int excess = m_queue.size() - m_maxMessages;
    if (excess <= 0)
        return;
    for (int i = 0; i < excess; ++i)
        delete m_queue.takeFirst().sent.data();
    m_dropped += excess;
    showDropped();
}

void ChatFeed::makeRoom(int incoming)
{
    const int excess = chat_bubbleCount(m_list) + incoming - m_maxMessages;
    if (excess <= 0)
        return;
    chat_removeOldest(m_list, excess);
    m_dropped += excess;
    // Dropped bubbles are deleted later with their items; those of earlier
    // drops that waited for an acknowledgement are gone from the waiting
    // list now.
    m_awaiting.erase(std::remove_if(m_awaiting.begin(), m_awaiting.end(),
                                    [](const QPointer<QChatLabel> &bubble) { return bubble.isNull(); }),
                     m_awaiting.end());
    showDropped();
}

void ChatFeed::showDropped()
{
    chat_setDroppedLine(m_list, tr("Older messages dropped: %1").arg(m_dropped));
}
