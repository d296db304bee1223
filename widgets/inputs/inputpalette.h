#ifndef KOLM_INPUTPALETTE_H
#define KOLM_INPUTPALETTE_H

// Palettes with which input fields tell a bad or special entry: the
// application palette with one role set to a solid colour in every group.

#include <QColor>
#include <QPalette>

QPalette applicationPaletteWith(QPalette::ColorRole role, const QColor &color);
// The role in the icon font's error colour.
QPalette errorPalette(QPalette::ColorRole role);

#endif
