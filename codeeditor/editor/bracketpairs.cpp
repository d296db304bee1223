#include "bracketpairs.h"

const QVector<BracketPair>& parentheses()
{
    static const QVector<BracketPair> pairs = {
        {'(', ')'}, {'{', '}'}, {'[', ']'}, {'"', '"'}, {'\'', '\''},
    };
    return pairs;
}
