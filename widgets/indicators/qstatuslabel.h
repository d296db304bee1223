#ifndef KOLM_QSTATUSLABEL_H
#define KOLM_QSTATUSLABEL_H

// A label that shows one small coloured icon-font glyph, with an optional
// tool tip, as a status indicator.

#include "qmaterialfont.h"

#include <QLabel>

class QStatusLabel : public QLabel {
    Q_OBJECT

public:
    static constexpr int DefaultIconSize = 22;

    explicit QStatusLabel(QWidget *parent = nullptr);

    int iconSize() const;
    // Takes effect with the next icon shown.
    void setIconSize(int size);

    // The glyph iconName in the colour of the role; an empty tool tip keeps
    // the previous one. The glyph shown already is not drawn again, so an
    // indicator raised for every packet of a flood costs little.
    void status(const QString &iconName, QMaterialIcon::Color color, const QString &toolTip = QString());
    // The pixmap scaled into the icon square, keeping its aspect ratio.
    void icon(const QPixmap &pixmap);
    // Removes the icon; the tool tip stays.
    void off();

private:
    int m_size = DefaultIconSize;
    // What the glyph shown was drawn from; empty while another pixmap or
    // none is shown.
    QString m_glyph;
    QColor m_glyphColor;
    int m_glyphSize = 0;
};

#endif
