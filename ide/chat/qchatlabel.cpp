#include "qchatlabel.h"

#include "chat_markup.h"
#include "zuc_address.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace {

const char *const SentStyle = "QLabel{padding:2px;border:1px solid grey; border-radius: 3px; "
                              "background-color: rgba(216,216,216,70%);}";
const char *const ReceivedStyle = "QLabel{padding:2px;border:1px solid grey; border-radius: 3px; "
                                  "background-color: rgba(76,181,33,70%);}";
const char *const TimeColour = "#6A6A6A";

constexpr quint8 ChatPort = 2;
constexpr int DefaultDeliveryInterval = 5000;

int &deliveryIntervalMs()
{
    static int interval = DefaultDeliveryInterval;
    return interval;
}

QChatLabel::Clock &currentClock()
{
    static QChatLabel::Clock current;
    return current;
}

QDateTime now()
{
    const QChatLabel::Clock &c = currentClock();
    return c ? c() : QDateTime::currentDateTime();
}

QColor dotColour(int delivery)
{
    switch (delivery) {
    case QChatLabel::Pending:
        return QColor(QStringLiteral("#989898"));
    case QChatLabel::Delivered:
        return QColor(QStringLiteral("#4CB521"));
    default:
        return QColor(Qt::red);
    }
}

quint16 checksumOf(const QByteArray &bytes)
{
    return qChecksum(bytes.constData(), uint(bytes.size()));
}

} // namespace

QChatLabel::QChatLabel(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
    , m_label(new QLabel(this))
    , m_deliveryTimer(new QTimer(this))
    , m_timeStamp(QDateTime::fromSecsSinceEpoch(0))
{
    m_label->move(0, 0);
    // Rich text always: escaped text with no tag left in it would otherwise
    // be taken as plain and show its entities.
    m_label->setTextFormat(Qt::RichText);
    setSizePolicy(QSizePolicy::MinimumExpanding, QSizePolicy::Preferred);
    m_smallFont = font();
    m_smallFont.setPointSize(qMax(m_smallFont.pointSize() - 4, 9));
    setSizeHint();
    m_deliveryTimer->setSingleShot(true);
    m_deliveryTimer->setInterval(deliveryIntervalMs());
    connect(m_deliveryTimer, &QTimer::timeout, this, &QChatLabel::delivery_timeout);
}

void QChatLabel::setup(quint16 address, quint8 port, const QString &text, bool outgoing)
{
    setup(address, port, text, outgoing, text.toUtf8());
}

void QChatLabel::setup(quint16 address, quint8 port, const QString &text, bool outgoing,
                       const QByteArray &sentBytes)
{
    m_timeStamp = now();
    m_address = address;
    m_text = text;
    m_checksum = checksumOf(sentBytes);
    QString display = chat_messageMarkup(text, !outgoing);
    if (!outgoing) {
        m_delivery = Received;
        m_deliveryTimer->stop();
        display.prepend(QStringLiteral("<i>%1@%2</i><br>")
                            .arg(ZUC_ADDRESS::toString(address))
                            .arg(port));
        m_label->setStyleSheet(QLatin1String(ReceivedStyle));
    } else {
        if (address == ZUC_ADDRESS::Broadcast || port != ChatPort) {
            m_delivery = Delivered;
        } else {
            m_delivery = Pending;
            m_deliveryTimer->start();
        }
        m_label->setStyleSheet(QLatin1String(SentStyle));
    }
    m_label->setText(display);
    setSizeHint();
    placeLabel();
    update();
}

bool QChatLabel::match(quint16 address, quint16 checksum)
{
    if (m_delivery != Pending && m_delivery != NotDelivered)
        return false;
    if (address != m_address || checksum != m_checksum)
        return false;
    m_deliveryTimer->stop();
    m_delivery = Delivered;
    update();
    return true;
}

QString QChatLabel::html() const
{
    if (m_delivery == Received)
        return m_label->text();
    QString state;
    switch (m_delivery) {
    case Pending:
        state = tr("pending");
        break;
    case NotDelivered:
        state = tr("not delivered");
        break;
    case Delivered:
        state = tr("delivered");
        break;
    default:
        state = tr("unknown");
        break;
    }
    return QStringLiteral("<i>Me (%1)</i><br>").arg(state) + m_label->text();
}

QString QChatLabel::timeText() const
{
    return m_timeStamp.toString(QStringLiteral("H:mm"));
}

void QChatLabel::setSizeHint()
{
    m_label->adjustSize();
    const QSize time = QFontMetrics(m_smallFont).size(Qt::TextSingleLine, timeText());
    const int width = qMax(time.width() + 5, 24) + m_label->width() + 20;
    const int height = qMax(m_label->height() + 20, time.height() + 34);
    setMinimumSize(width, height);
}

void QChatLabel::setDeliveryInterval(int ms)
{
    deliveryIntervalMs() = ms;
}

int QChatLabel::deliveryInterval()
{
    return deliveryIntervalMs();
}

void QChatLabel::setClock(Clock c)
{
    currentClock() = std::move(c);
}

void QChatLabel::delivery_timeout()
{
    m_delivery = NotDelivered;
    repaint();
}

void QChatLabel::placeLabel()
{
    if (m_delivery == Received)
        m_label->move(10, 10);
    else
        m_label->move(width() - m_label->width() - 10, 10);
}

void QChatLabel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeLabel();
}

void QChatLabel::paintEvent(QPaintEvent *event)
{
    const QString time = timeText();
    const QRect bounds = QFontMetrics(m_smallFont).boundingRect(time);
    const int w = bounds.width() + 2;
    const int h = bounds.height() + 2;
    const int x = m_delivery == Received ? width() - w - 5 : 5;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (m_delivery != Received) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(dotColour(m_delivery));
        painter.drawEllipse(QRect(x + w / 2 - 5, 7, 10, 10));
    }
    painter.setPen(QColor(QLatin1String(TimeColour)));
    painter.setBrush(Qt::NoBrush);
    painter.setFont(m_smallFont);
    painter.drawText(QRect(x, height() - h - 5, w, h), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     time);
    painter.end();
    QWidget::paintEvent(event);
}
