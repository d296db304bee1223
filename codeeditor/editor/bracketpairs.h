#pragma once

#include <QChar>
#include <QVector>

// One pair of characters that the editor marks and closes together.
struct BracketPair
{
    QChar opening;
    QChar closing;
};

// The pairs every editor uses, in the order in which they are tried: the
// first pair that applies wins. Round, curly and square brackets, then the
// double and the single quote (whose two characters are the same).
const QVector<BracketPair>& parentheses();
