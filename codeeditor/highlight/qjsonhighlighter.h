#pragma once

#include "qstylesyntaxhighlighter.h"

#include <QRegularExpression>
#include <QVector>

// Highlighter for JSON text: the words null, true and false, numbers,
// strings, and object keys, which override the string colour.
class QJSONHighlighter : public QStyleSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit QJSONHighlighter(QTextDocument* document = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    QVector<QHighlightRule> rules;
    QRegularExpression keyExpression;
};
