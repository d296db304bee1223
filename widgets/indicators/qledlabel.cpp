#include "qledlabel.h"

#include "themedetector.h"

#include <QPainter>

#include <algorithm>

QLedLabel::QLedLabel(QWidget *parent)
    : QWidget(parent)
    , m_rim(ThemeDetector::isDarkThemeEnabled() ? Qt::white : Qt::black)
{
}

bool QLedLabel::isOn() const
{
    return m_state;
}

QColor QLedLabel::color() const
{
    return m_color;
}

void QLedLabel::on(const QString &colorName, const QString &toolTip)
{
    m_color = QColor(colorName);
    setToolTip(toolTip);
    if (!m_state) {
        m_state = true;
        emit stateChanged(true);
    }
    update();
}

void QLedLabel::off()
{
    if (m_state) {
        m_state = false;
        emit stateChanged(false);
    }
    setToolTip(QString());
    update();
}

// The lamp is the largest circle that fits the widget, inside a one-pixel
// rim; an unlit lamp shows the rim only.
void QLedLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_rim, 1, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    painter.setBrush(m_state ? QBrush(m_color) : QBrush(Qt::transparent));
    const qreal diameter = std::max(std::min(width(), height()) - 2, 0);
    QRectF lamp(0, 0, diameter, diameter);
    lamp.moveCenter(QRectF(rect()).center());
    painter.drawEllipse(lamp);
}
