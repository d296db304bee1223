#ifndef KOLM_QFONTICONENGINE_H
#define KOLM_QFONTICONENGINE_H

// An icon engine that draws one glyph of an icon font, sized to the target
// rectangle and coloured by the icon's mode and state: one glyph for the
// checked (On) state and one for the unchecked (Off) state, the checked one
// in the check colour, disabled and selected looks in the palette's colours.

#include <QChar>
#include <QColor>
#include <QIconEngine>
#include <QString>

class QFontIconEngine : public QIconEngine {
public:
    QFontIconEngine() = default;
    ~QFontIconEngine() override;

    void setFontFamily(const QString &family);
    void setLetter(const QChar &letter, QIcon::State state);
    void setBaseColor(const QColor &color);
    void setCheckColor(const QColor &color);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QIconEngine *clone() const override;

private:
    QString m_fontFamily;
    QChar m_letterOn = QChar(0);
    QChar m_letterOff = QChar(0);
    QColor m_baseColor;
    QColor m_checkColor;
};

#endif
