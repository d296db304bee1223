#pragma once

#include <QString>

#include <functional>

class KolmPackageProgress;
class QWidget;

// Runs one export or import on a worker thread and waits for it in a
// nested event loop, so the window keeps drawing. When the work takes
// longer than a moment a progress dialog over `window` shows how far it has
// come; its Cancel (or closing it), the window going away and the
// application quitting all ask the work to stop. Returns the work's result,
// never before the worker has ended. The caller must check that the window
// still exists before it touches it again.
bool runPackageWork(QWidget* window, const QString& label, const std::function<bool(KolmPackageProgress*)>& work);
