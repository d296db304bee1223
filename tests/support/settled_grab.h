#ifndef KOLM_TEST_SETTLED_GRAB_H
#define KOLM_TEST_SETTLED_GRAB_H

// A picture of a window as the user sees it: a text set just before (a
// project's name, a found device) changes a widget's size hint, and the
// layouts take it in only when their posted requests are handled; grab()
// alone would show the widgets at their old sizes, texts cut.

#include <QCoreApplication>
#include <QEvent>
#include <QPixmap>
#include <QWidget>

// Lets the layouts take in the latest texts.
inline void settleLayouts()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// The window once its layout has taken in the latest texts.
inline QPixmap settledGrab(QWidget *window)
{
    settleLayouts();
    return window->grab();
}

#endif
