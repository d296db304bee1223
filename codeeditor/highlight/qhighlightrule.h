#pragma once

#include <QRegularExpression>
#include <QString>

// One highlighting rule: every match of the expression in a line receives the
// format of the named scheme style.
struct QHighlightRule
{
    QRegularExpression expression;
    QString formatName;
};

// A construct that may span lines, such as a long string or comment: it runs
// from a match of the start expression to the end of a match of the end
// expression and receives the format of the named style as a whole.
struct QHighlightBlockRule
{
    QRegularExpression startExpression;
    QRegularExpression endExpression;
    QString formatName;
};
