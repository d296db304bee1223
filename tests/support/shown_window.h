#ifndef KOLM_TEST_SHOWN_WINDOW_H
#define KOLM_TEST_SHOWN_WINDOW_H

// For programs that drive whole application passes: finds the top-level
// window of a class once the pass has shown it.
//
//     whenShown<ZuROVUrazev>([](ZuROVUrazev *window) { ... });

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// The first visible top-level widget of class Window, or null.
template <class Window>
Window *shownWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(w))
            if (window->isVisible())
                return window;
    return nullptr;
}

// Calls act with that window as soon as one is shown, looking from the
// event loop every 20 ms.
template <class Window>
void whenShown(std::function<void(Window *)> act)
{
    if (Window *window = shownWindow<Window>())
        act(window);
    else
        QTimer::singleShot(20, qApp, [act] { whenShown<Window>(act); });
}

#endif
