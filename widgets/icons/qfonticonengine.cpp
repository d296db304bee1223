#include "qfonticonengine.h"

#include <QApplication>
#include <QFont>
#include <QPainter>
#include <QPalette>
#include <QPixmap>

QFontIconEngine::~QFontIconEngine() = default;

void QFontIconEngine::setFontFamily(const QString &family)
{
    m_fontFamily = family;
}

void QFontIconEngine::setLetter(const QChar &letter, QIcon::State state)
{
    if (state == QIcon::On)
        m_letterOn = letter;
    else
        m_letterOff = letter;
}

void QFontIconEngine::setBaseColor(const QColor &color)
{
    m_baseColor = color;
}

void QFontIconEngine::setCheckColor(const QColor &color)
{
    m_checkColor = color;
}

void QFontIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state)
{
    QFont font(m_fontFamily);
    font.setPixelSize(qRound(rect.height() * 0.8));

    const QPalette palette = QApplication::palette("QWidget");
    QColor color = m_baseColor.isValid() ? m_baseColor : palette.color(QPalette::Active, QPalette::ButtonText);
    switch (mode) {
    case QIcon::Disabled:
        color = palette.color(QPalette::Disabled, QPalette::ButtonText);
        break;
    case QIcon::Selected:
        color = palette.color(QPalette::Active, QPalette::ButtonText);
        break;
    case QIcon::Normal:
    case QIcon::Active:
        if (state == QIcon::On && m_checkColor.isValid())
            color = m_checkColor;
        break;
    }

    painter->save();
    painter->setPen(QPen(color));
    painter->setFont(font);
    painter->drawText(rect, Qt::AlignCenter, QString(state == QIcon::On ? m_letterOn : m_letterOff));
    painter->restore();
}

QPixmap QFontIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    paint(&painter, QRect(0, 0, size.width(), size.height()), mode, state);
    return pixmap;
}

// Icons are never changed after they are built, so a copy needs only what
// makes its look: the glyphs, the font and both colours.
QIconEngine *QFontIconEngine::clone() const
{
    return new QFontIconEngine(*this);
}
