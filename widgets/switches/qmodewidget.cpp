#include "qmodewidget.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>

QModeWidget::QModeWidget(QWidget *parent)
    : QWidget(parent)
    , m_animation(this, "slider")
{
    m_animation.setDuration(500);
    m_animation.setLoopCount(1);
    setMinimumHeight(32);
    setAttribute(Qt::WA_TranslucentBackground);
}

void QModeWidget::setItems(const QStringList &texts)
{
    m_animation.stop();
    m_items = texts;
    m_enabled = QVector<bool>(texts.size(), true);
    m_current = -1;
    m_slider = -1;
    update();
}

QStringList QModeWidget::items() const
{
    return m_items;
}

void QModeWidget::setColors(const QColor &background, const QColor &slider)
{
    m_background = background;
    m_sliderColor = slider;
    update();
}

int QModeWidget::currentIndex() const
{
    return m_current;
}

bool QModeWidget::isItemEnabled(int i) const
{
    return contains(i) && m_enabled.at(i);
}

int QModeWidget::slider() const
{
    return m_slider;
}

void QModeWidget::setSlider(int x)
{
    m_slider = x;
    update();
}

bool QModeWidget::contains(int i) const
{
    return i >= 0 && i < m_items.size();
}

int QModeWidget::segmentWidth() const
{
    return m_items.isEmpty() ? width() : width() / m_items.size();
}

int QModeWidget::index(const QPoint &p) const
{
    if (m_items.isEmpty())
        return -1;
    const int w = segmentWidth();
    if (w <= 0)
        return m_items.size() - 1;
    return std::clamp(p.x() / w, 0, int(m_items.size()) - 1);
}

QRect QModeWidget::boundary(int i) const
{
    if (m_items.isEmpty())
        return rect();
    const int w = segmentWidth();
    return QRect(i * w + 1, 1, w - 2, height() - 2);
}

void QModeWidget::slideTo(int i)
{
    m_animation.stop();
    m_animation.setStartValue(m_slider);
    m_animation.setEndValue(boundary(i).left());
    m_animation.start();
}

// Indices outside the items are ignored.
void QModeWidget::setCurrentIndex(int i)
{
    if (!contains(i))
        return;
    m_enabled[i] = true;
    m_current = i;
    emit clicked(i);
    slideTo(i);
}

void QModeWidget::reset()
{
    m_enabled.fill(true);
    if (m_current < 0 && !m_items.isEmpty()) {
        m_slider = 0;
        setCurrentIndex(0);
    }
    update();
}

void QModeWidget::enable(int i)
{
    if (!contains(i))
        return;
    m_enabled[i] = true;
    if (m_current < 0) {
        m_slider = 0;
        setCurrentIndex(i);
    }
}

void QModeWidget::disable(int i)
{
    if (!contains(i))
        return;
    m_enabled[i] = false;
    if (i != m_current)
        return;
    for (int below = i - 1; below >= 0; --below) {
        if (m_enabled.at(below)) {
            setCurrentIndex(below);
            return;
        }
    }
    for (int above = i + 1; above < m_items.size(); ++above) {
        if (m_enabled.at(above)) {
            setCurrentIndex(above);
            return;
        }
    }
    m_animation.stop();
    m_current = -1;
    m_slider = -1;
    update();
}

void QModeWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int i = index(QPoint(qRound(event->localPos().x()), qRound(event->localPos().y())));
    if (isItemEnabled(i) && i != m_current)
        setCurrentIndex(i);
    event->accept();
}

void QModeWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_current >= 0)
        slideTo(m_current);
}

void QModeWidget::paintEvent(QPaintEvent *)
{
    const bool dark = 11 * m_background.red() + 16 * m_background.green() + 5 * m_background.blue() <= 4063;
    const QColor textColor = dark ? Qt::white : Qt::black;
    const QColor disabledColor(dark ? "#cccccc" : "#444444");
    const QColor background = isEnabled() ? m_background : QColor(Qt::transparent);

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(rect(), 4, 4);

    if (m_slider >= 0 && !m_items.isEmpty()) {
        const int w = segmentWidth();
        const QRectF sliderRect(m_slider, 1, w - 2, height() - 2);
        QRadialGradient gradient(sliderRect.center(), w / 2.0);
        gradient.setColorAt(0, m_sliderColor);
        gradient.setColorAt(1, background);
        painter.setPen(Qt::white);
        painter.setBrush(gradient);
        painter.drawRoundedRect(sliderRect, 2, 2);
    }

    for (int i = 0; i < m_items.size(); ++i) {
        QFont itemFont = font();
        itemFont.setWeight(i == m_current ? QFont::Bold : QFont::Normal);
        painter.setFont(itemFont);
        painter.setPen(isEnabled() && m_enabled.at(i) ? textColor : disabledColor);
        painter.drawText(boundary(i), Qt::AlignCenter | Qt::TextWordWrap, m_items.at(i));
    }
}
