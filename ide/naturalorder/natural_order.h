#pragma once

#include <QString>

#include <string>
#include <vector>

// Natural order of names: runs of the digits 0 to 9 compare by their value
// (PA2 before PA10), every other character by its code (case-sensitive, so
// "B" before "a"). Names of equal value that differ only in leading zeros
// (PA01, PA1) fall back to plain order, so the order stays total. It does not
// depend on the user's locale: the toolkit's collator drops its numeric mode
// under the "C" locale.
int naturalCompare(const QString& a, const QString& b);

inline bool naturalLess(const QString& a, const QString& b)
{
    return naturalCompare(a, b) < 0;
}

// Package names (8-bit strings in UTF-8) in the natural order of their
// decoded text. They stay 8-bit so that they still look up the package.
std::vector<std::string> naturallySorted(const std::vector<std::string>& names);
