#include "inputpalette.h"

#include "qmaterialfont.h"

#include <QGuiApplication>

QPalette applicationPaletteWith(QPalette::ColorRole role, const QColor &color)
{
    QPalette palette = QGuiApplication::palette();
    palette.setBrush(QPalette::All, role, QBrush(color, Qt::SolidPattern));
    return palette;
}

QPalette errorPalette(QPalette::ColorRole role)
{
    return applicationPaletteWith(role, QMaterialIcon::instance()->color(QMaterialIcon::Error));
}
