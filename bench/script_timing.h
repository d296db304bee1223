#pragma once

#include <QString>

#include <functional>
#include <vector>

// A generated Kolm script of the given number of lines: include and define
// lines, then functions with comments, declarations, loops, calls and strings,
// numbered so no two functions are alike.
QString generatedScript(int lineCount);

// The wall-clock time the work takes, in milliseconds.
double timeMs(const std::function<void()>& work);

// Prints the median, least and greatest time against the goal.
void report(const char* what, std::vector<double> times, double goalMs);
