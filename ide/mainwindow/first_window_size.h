#ifndef KOLM_FIRST_WINDOW_SIZE_H
#define KOLM_FIRST_WINDOW_SIZE_H

#include <QSize>

// The size the main window opens with when no saved geometry gives one: a
// fixed share of the screen's free area, never less than the designed size
// while that fits, never more than the free area.
QSize firstWindowSize(const QSize &available, const QSize &designed);

#endif
