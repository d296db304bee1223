#pragma once
// The chat page's conversation under a flood. New messages wait in a queue
// and go into the list in batches, one batch per turn of the event loop,
// each batch building bubbles for a bounded time, so that a burst of
// thousands of messages keeps every bubble and never holds the window for
// long. The sent bubbles that wait for their acknowledgement are kept apart
// in order, so acknowledgements are matched without walking the list.
// The conversation keeps the newest MaxMessages messages: older ones are
// dropped (queued ones before their bubble is built), and a line at the top
// of the list says how many.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class QChatLabel;
class QListWidget;

class ChatFeed : public QObject
{
    Q_OBJECT

public:
    // How long one batch may spend building bubbles before it adds them.
    static constexpr int BatchBudgetMs = 20;
    // The messages kept, in the list and in the queue together.
    static constexpr int MaxMessages = 5000;

    // maxMessages: the bound, MaxMessages but in tests.
    explicit ChatFeed(QListWidget *list, QObject *parent = nullptr, int maxMessages = MaxMessages);

    // A sent message's bubble, already set up (its wait for the
    // acknowledgement runs from now); it joins the list after every message
    // before it.
    void addSent(QChatLabel *bubble);
    // A received message; its bubble is built with its batch.
    void addReceived(quint16 address, quint8 port, const QString &text);

    // Offers an acknowledgement from `address` to the bubbles that wait for
    // one, oldest first; true when one took it.
    bool offerAck(quint16 address, quint16 checksum);
    // The peer of the newest message, sent or received; false when there is
    // none.
    bool newestAddress(quint16 *address) const;
    // Messages not yet in the list.
    int queued() const { return m_queue.size(); }
    // Older messages dropped since the last clear.
    int dropped() const { return m_dropped; }

    // Puts every queued message into the list now.
    void flush();
    // Empties the queue and the list; the bubbles and their timers go.
    void clear();

private slots:
    void addBatch();

private:
    struct Message {
        bool outgoing = false;
        QPointer<QChatLabel> sent; // the bubble of a sent message
        quint16 address = 0xFFFF;
        quint8 port = 0;
        QString text;
    };

    QChatLabel *bubbleOf(const Message &message) const;
    // Adds the oldest queued messages, all of them or as many as are built
    // within budgetMs.
    void addQueued(int budgetMs);
    // Drops the oldest queued messages beyond the bound.
    void boundQueue();
    // Drops the oldest bubbles of the list so that `incoming` more fit.
    void makeRoom(int incoming);
    void showDropped();

    QListWidget *m_list;
    QList<Message> m_queue;
    QList<QPointer<QChatLabel>> m_awaiting;
    QTimer m_batch;
    const int m_maxMessages;
    int m_dropped = 0;
};
