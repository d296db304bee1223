#pragma once

#include "qstylesyntaxhighlighter.h"

#include <QRegularExpression>
#include <QVector>

// The rule engine of C-like sources, shared by the script and C++
// highlighters: include lines, calls, declarations, the words of a word list,
// numbers, strings, preprocessor words, line comments and block comments
// that span lines. Later steps overwrite earlier ones where they overlap.
class QCLikeHighlighter : public QStyleSyntaxHighlighter
{
    Q_OBJECT

protected:
    // Reads the word list at wordListResource; the number rule is
    // numberPattern. Without a readable list there are no word rules and no
    // fixed rules; the other steps still work.
    QCLikeHighlighter(QTextDocument* document, const QString& wordListResource,
                      const QString& numberPattern);

    void highlightBlock(const QString& text) override;

private:
    QVector<QHighlightRule> rules;
    QRegularExpression includeExpression;
    QRegularExpression callExpression;
    QRegularExpression declarationExpression;
    QRegularExpression commentStartExpression;
    QRegularExpression commentEndExpression;
};
