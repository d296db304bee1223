#pragma once
// The chat page's conversation under a flood. New messages wait in a queue
// and go into the list in batches, one batch per turn of the event loop,
// each batch building bubbles for a bounded time, so that a burst of
// thousands of messages keeps every bubble and never holds the window for
// long. The sent bubbles that wait for their acknowledgement are kept apart
// in order, so acknowledgements are matched without walking the list.

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

    explicit ChatFeed(QListWidget *list, QObject *parent = nullptr);

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

    QListWidget *m_list;
    QList<Message> m_queue;
    QList<QPointer<QChatLabel>> m_awaiting;
    QTimer m_batch;
};
