#include "qxmlhighlighter.h"

#include <QTextCharFormat>

QXMLHighlighter::QXMLHighlighter(QTextDocument* document)
    : QStyleSyntaxHighlighter(document)
    , elementExpression(QStringLiteral(R"(<[\s]*[/]?[\s]*([^\n][a-zA-Z-_:]*)(?=[\s/>]))"))
    , attributeExpression(QStringLiteral(R"(\w+(?=\=))"))
    , valueExpression(QStringLiteral(R"("[^\n"]+"(?=\??[\s/>]))"))
    , commentStartExpression(QStringLiteral("<!--"))
    , commentEndExpression(QStringLiteral("-->"))
{
    for (const char* pattern : {R"(<\?)", "/>", ">", "<", "</", R"(\?>)"})
        keywordExpressions.append(QRegularExpression(QString::fromLatin1(pattern)));
}

void QXMLHighlighter::highlightBlock(const QString& text)
{
    const QTextCharFormat keywordFormat = styleFormat(QStringLiteral("Keyword"));

    highlightByRegex(keywordFormat, elementExpression, text);
    for (const QRegularExpression& expression : keywordExpressions)
        highlightByRegex(keywordFormat, expression, text);
    highlightByRegex(styleFormat(QStringLiteral("Text")), attributeExpression, text);
    highlightSpanningComments(text, commentStartExpression, commentEndExpression,
                              styleFormat(QStringLiteral("Comment")));
    highlightByRegex(styleFormat(QStringLiteral("String")), valueExpression, text);
}
