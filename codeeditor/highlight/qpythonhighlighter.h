#pragma once

#include "qstylesyntaxhighlighter.h"

#include <QRegularExpression>
#include <QVector>

// Highlighter for Python sources: calls with dotted prefixes, the Python
// word list, numbers, strings in either quote, "#" comments and strings in
// triple quotes that span lines.
class QPythonHighlighter : public QStyleSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit QPythonHighlighter(QTextDocument* document = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    QVector<QHighlightRule> rules;
    QVector<QHighlightBlockRule> blockRules;
    QRegularExpression callExpression;
};
