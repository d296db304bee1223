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
    const QIcon glyph = QMaterialIcon::icon(iconName, QMaterialIcon::instance()->color(color));
    setPixmap(glyph.pixmap(QSize(m_size, m_size), QIcon::Active, QIcon::Off));
    if (!toolTip.isEmpty())
        setToolTip(toolTip);
}

void QStatusLabel::icon(const QPixmap &pixmap)
{
    setPixmap(pixmap.scaled(m_size, m_size, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void QStatusLabel::off()
{
    setPixmap(QPixmap());
}
