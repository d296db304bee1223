#pragma once

#include "qstylesyntaxhighlighter.h"

#include <QRegularExpression>
#include <QVector>

// Highlighter for GLSL shader sources: include lines, calls, the GLSL word
// list, numbers, preprocessor words, line comments and block comments that
// span lines. String literals are not coloured.
class QGLSLHighlighter : public QStyleSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit QGLSLHighlighter(QTextDocument* document = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    QVector<QHighlightRule> rules;
    QRegularExpression includeExpression;
    QRegularExpression callExpression;
    QRegularExpression commentStartExpression;
    QRegularExpression commentEndExpression;
};
