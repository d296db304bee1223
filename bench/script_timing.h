#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

// A generated Kolm script of the given number of lines: include and define
// lines, then functions with comments, declarations, loops, calls and strings,
// numbered so no two functions are alike.
QString generatedScript(int lineCount);

// The wall-clock time the work takes, in milliseconds.
double timeMs(const std::function<void()>& work);

// Prints the median, least and greatest time against the goal.
void report(const char* what, std::vector<double> times, double goalMs);

// How long the GUI thread stands still while the meter lives: a 5 ms timer
// ticks on it, and the longest gap between two ticks is kept.
class GuiGapMeter
{
public:
    GuiGapMeter();
    double longestMs() const { return m_longestMs; }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    double m_longestMs = 0;
};

// Points the IDE's settings at a new temporary folder (organisation
// "kolm-bench", application "KolmIDE") with the update check off; the
// folder lives as long as the result.
std::unique_ptr<QTemporaryDir> useBenchSettings();
