#ifndef KOLM_TITLEROOMSTYLE_H
#define KOLM_TITLEROOMSTYLE_H

// The application's style with room for whole group box titles. Fusion
// sizes a title by the ink of its letters, a few pixels narrower than the
// text's advance, and clips what lies beyond: the last letter of titles
// such as "Уровень абстракции оборудования". This proxy widens the title to
// the text's full width.

#include <QProxyStyle>

class TitleRoomStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                         const QWidget *widget = nullptr) const override;
};

// Puts the proxy over the style the application uses now (the desktop's, or
// Fusion of the dark theme); a style that is already the proxy stays.
void installTitleRoomStyle();

#endif
