#include "qglslhighlighter.h"

#include "highlightpatterns.h"
#include "wordlistrules.h"

#include <QTextCharFormat>

using namespace HighlightPatterns;

QGLSLHighlighter::QGLSLHighlighter(QTextDocument* document)
    : QStyleSyntaxHighlighter(document)
    , includeExpression(QStringLiteral(R"(#include\s+([<"][a-zA-Z0-9*._]+[">]))"))
    , callExpression(prefixedCall())
    , commentStartExpression(commentStart())
    , commentEndExpression(commentEnd())
{
    if (!appendWordListRules(rules, QStringLiteral(":/languages/glsl.xml"), wholeWord()))
        return;

    rules.append({QRegularExpression(simpleNumber()), QStringLiteral("Number")});
    rules.append({QRegularExpression(preprocessorWord()), QStringLiteral("Preprocessor")});
    rules.append({QRegularExpression(slashComment()), QStringLiteral("Comment")});
}

void QGLSLHighlighter::highlightBlock(const QString& text)
{
    highlightIncludes(text, includeExpression);
    highlightCalls(text, callExpression);
    highlightRules(text, rules);
    highlightSpanningComments(text, commentStartExpression, commentEndExpression,
                              styleFormat(QStringLiteral("Comment")));
}
