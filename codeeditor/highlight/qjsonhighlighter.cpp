#include "qjsonhighlighter.h"

#include "highlightpatterns.h"
#include "wordlistrules.h"

#include <QTextCharFormat>

using namespace HighlightPatterns;

QJSONHighlighter::QJSONHighlighter(QTextDocument* document)
    : QStyleSyntaxHighlighter(document)
    , keyExpression(QStringLiteral(R"(("[^\r\n:]+?")\s*:)"))
{
    appendWordRules(rules, {QStringLiteral("null"), QStringLiteral("true"), QStringLiteral("false")},
                    wholeWord(), QStringLiteral("Keyword"));
    rules.append({QRegularExpression(simpleNumber()), QStringLiteral("Number")});
    rules.append({QRegularExpression(doubleQuotedString()), QStringLiteral("String")});
}

void QJSONHighlighter::highlightBlock(const QString& text)
{
    highlightRules(text, rules);

    const QTextCharFormat keywordFormat = styleFormat(QStringLiteral("Keyword"));
    for (auto matches = keyExpression.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(1), match.capturedLength(1), keywordFormat);
    }
}
