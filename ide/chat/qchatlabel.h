#pragma once
// One message of the chat page: the text in a tinted box (grey for sent,
// green for received), its time beside the box and, for a sent message, a
// dot that tells whether it waits for its acknowledgement, was delivered or
// was not delivered. A waiting bubble turns "not delivered" when its
// delivery interval passes without an acknowledgement; a late one still
// turns it delivered.

#include <QByteArray>
#include <QDateTime>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QTimer;

class QChatLabel : public QWidget
{
    Q_OBJECT

public:
    enum Delivery { Received = 0, Delivered = 1, Pending = 2, NotDelivered = 3 };

    using Clock = std::function<QDateTime()>;

    explicit QChatLabel(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Fills the bubble; called once, right after construction. A sent
    // message to one address on port 2 waits for its acknowledgement.
    // Received text is escaped, typed text is shown as markup.
    void setup(quint16 address, quint8 port, const QString &text, bool outgoing);
    // The same for a sent message whose bytes are not the text's UTF-8 (a
    // message typed as hex shows "Binary data"): the acknowledgement is
    // matched against the bytes that were sent.
    void setup(quint16 address, quint8 port, const QString &text, bool outgoing,
               const QByteArray &sentBytes);

    // Takes the acknowledgement when this bubble waits for one (pending or
    // not delivered), is to that address and its bytes give that checksum.
    bool match(quint16 address, quint16 checksum);

    // The bubble as an HTML fragment for the saved conversation.
    QString html() const;

    // Recomputes the minimum size from the text and the time.
    void setSizeHint();

    quint16 address() const { return m_address; }
    QDateTime timeStamp() const { return m_timeStamp; }
    QString text() const { return m_text; }
    Delivery delivery() const { return Delivery(m_delivery); }
    // The time as drawn beside the box: hours without a leading zero.
    QString timeText() const;

    // Process-wide: how long a new sent bubble waits for its acknowledgement
    // (5000 ms) and where setup takes the time from (local now). Tests
    // shorten the one and fix the other; an empty clock restores local now.
    static void setDeliveryInterval(int ms);
    static int deliveryInterval();
    static void setClock(Clock clock);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void delivery_timeout();

private:
    void placeLabel();

    QLabel *m_label;
    QTimer *m_deliveryTimer;
    QFont m_smallFont;
    QString m_text;
    quint16 m_address = 0xFFFF;
    QDateTime m_timeStamp;
    int m_delivery = Received;
    quint16 m_checksum = 0;
};
