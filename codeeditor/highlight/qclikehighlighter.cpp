#include "qclikehighlighter.h"

#include "highlightpatterns.h"
#include "wordlistrules.h"

#include <QTextCharFormat>

using namespace HighlightPatterns;

QCLikeHighlighter::QCLikeHighlighter(QTextDocument* document, const QString& wordListResource,
                                     const QString& numberPattern)
    : QStyleSyntaxHighlighter(document)
    , includeExpression(cInclude())
    , callExpression(cCall())
    , declarationExpression(cDeclaration())
    , commentStartExpression(commentStart())
    , commentEndExpression(commentEnd())
{
    if (!appendWordListRules(rules, wordListResource, wholeWord()))
        return;

    rules.append({QRegularExpression(numberPattern), QStringLiteral("Number")});
    rules.append({QRegularExpression(doubleQuotedString()), QStringLiteral("String")});
    rules.append({QRegularExpression(preprocessorWord()), QStringLiteral("Preprocessor")});
    rules.append({QRegularExpression(slashComment()), QStringLiteral("Comment")});
}

void QCLikeHighlighter::highlightBlock(const QString& text)
{
    highlightIncludes(text, includeExpression);
    highlightCalls(text, callExpression);
    highlightDeclarations(text, declarationExpression);
    highlightRules(text, rules);
    highlightSpanningComments(text, commentStartExpression, commentEndExpression,
                              styleFormat(QStringLiteral("Comment")));
}
