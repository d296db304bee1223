#pragma once

#include "qstylesyntaxhighlighter.h"

#include <QRegularExpression>
#include <QVector>

// Highlighter for Lua sources: "require" lines, calls, declarations, the Lua
// word list (whose operators are expression fragments), numbers, strings,
// "--" comments, and long comments and long strings that span lines.
class QLuaHighlighter : public QStyleSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit QLuaHighlighter(QTextDocument* document = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    QVector<QHighlightRule> rules;
    QVector<QHighlightBlockRule> blockRules;
    QRegularExpression includeExpression;
    QRegularExpression callExpression;
    QRegularExpression declarationExpression;
};
