#ifndef KOLM_DARKPALETTE_H
#define KOLM_DARKPALETTE_H

// The IDE's own dark palette and the tool-tip style that goes with it.

#include <QPalette>

QPalette darkPalette();
extern const char darkToolTipStyleSheet[];

#endif
