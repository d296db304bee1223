#include "qstatuslabel.h"

QStatusLabel::QStatusLabel(QWidget *parent)
    : QLabel(parent)
{
}

int QStatusLabel::iconSize() const
{
    return m_size;
}

void QStatusLabel::setIconSize(int size)
{
    m_size = size;
}

void QStatusLabel::status(const QString &iconName, QMaterialIcon::Color color, const QString &toolTip)
{
    const QColor colour = QMaterialIcon::instance()->color(color);
    if (iconName != m_glyph || colour != m_glyphColor || m_size != m_glyphSize) {
        const QIcon glyph = QMaterialIcon::icon(iconName, colour);
        setPixmap(glyph.pixmap(QSize(m_size, m_size), QIcon::Active, QIcon::Off));
        m_glyph = iconName;
        m_glyphColor = colour;
        m_glyphSize = m_size;
    }
    if (!toolTip.isEmpty())
        setToolTip(toolTip);
}

void QStatusLabel::icon(const QPixmap &pixmap)
{
    setPixmap(pixmap.scaled(m_size, m_size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    m_glyph.clear();
}

void QStatusLabel::off()
{
    setPixmap(QPixmap());
    m_glyph.clear();
}
