#pragma once

#include <QFont>
#include <QList>

// Whether the glyphs of the font, as drawn, all advance by the same width:
// a narrow, a wide, a digit and a blank are measured. This is what lines text
// up in columns, whatever the font file says about its spacing (some
// fixed-width families carry no such property).
bool hasEqualAdvances(const QFont& font);

// The first of the fonts whose glyphs advance alike; the last one when none
// does.
QFont firstEqualAdvanceFont(const QList<QFont>& candidates);

// The font in which text lines up in columns: the system's fixed font, else
// the "monospace" family, else "DejaVu Sans Mono", in the point size given
// (0 or less keeps the system fixed font's size).
QFont fixedWidthFont(int pointSize = 0);
