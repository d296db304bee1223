#ifndef KOLM_TEST_WINDOW_SESSION_H
#define KOLM_TEST_WINDOW_SESSION_H

// A main window for the window's tests, on settings of its own in which no
// update check leaves the machine. Each make() replaces the window before;
// the last one goes before the settings do.

#include "temp_settings.h"
#include "zurovurazev.h"

#include <QPointer>

class WindowSession
{
public:
    WindowSession()
    {
        settings.set(QStringLiteral("Updates/Auto"), false);
        settings.set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    }
    ~WindowSession() { delete window.data(); }
    WindowSession(const WindowSession &) = delete;
    WindowSession &operator=(const WindowSession &) = delete;

    ZuROVUrazev *make()
    {
        delete window.data();
        window = new ZuROVUrazev;
        return window;
    }

    TempSettings settings;
    // Null once the window is gone, also when a test deleted it.
    QPointer<ZuROVUrazev> window;
};

#endif
