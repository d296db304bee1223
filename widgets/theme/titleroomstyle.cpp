#include "titleroomstyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

QRect TitleRoomStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl sub,
                                     const QWidget *widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, sub, widget);
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || sub != SC_GroupBoxLabel || !box || box->text.isEmpty())
        return rect;
    // Two pixels more, as the base style adds them to the ink.
    const int wanted = box->fontMetrics.size(Qt::TextShowMnemonic, box->text).width() + 2;
    if (rect.width() >= wanted)
        return rect;
    if (box->textAlignment & Qt::AlignRight)
        rect.setLeft(rect.right() + 1 - wanted);
    else if (box->textAlignment & Qt::AlignHCenter)
        rect.adjust(-(wanted - rect.width()) / 2, 0, (wanted - rect.width() + 1) / 2, 0);
    else
        rect.setWidth(wanted);
    return rect;
}

void installTitleRoomStyle()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())
        || qobject_cast<TitleRoomStyle *>(QApplication::style()))
        return;
    QStyle *base = QStyleFactory::create(QApplication::style()->objectName());
    QApplication::setStyle(new TitleRoomStyle(base));
}
