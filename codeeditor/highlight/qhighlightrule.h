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
