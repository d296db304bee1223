#pragma once

#include "qhighlightrule.h"
#include "qstylesyntaxhighlighter.h"

#include <QRegularExpression>
#include <QVector>

// Highlighter for Kolm script sources: include lines, calls, declarations,
// the words of the language's word list, numbers, strings, preprocessor words,
// line comments and block comments that span lines. Later steps overwrite
// earlier ones where they overlap.
class QKOSHighlighter : public QStyleSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit QKOSHighlighter(QTextDocument* document = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    void addWordRules(const QStringList& words, const QString& formatName);

    QVector<QHighlightRule> rules;
    QRegularExpression includeExpression;
    QRegularExpression callExpression;
    QRegularExpression declarationExpression;
    QRegularExpression commentStartExpression;
    QRegularExpression commentEndExpression;
};
