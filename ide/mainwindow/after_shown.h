#pragma once

#include <functional>

class QWidget;

// Runs `then` from the event loop once `widget` has painted for the first
// time, so that work which may take a while (opening and highlighting a
// large project) comes after the window is on the screen. Nothing runs when
// the widget goes first.
void afterFirstPaint(QWidget* widget, std::function<void()> then);
