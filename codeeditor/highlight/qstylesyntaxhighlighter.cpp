#include "qstylesyntaxhighlighter.h"

#include "qsyntaxstyle.h"

#include <QRegularExpression>
#include <QTextCharFormat>

namespace {
const int outsideComment = 0;
const int insideComment = 1;
} // namespace

QStyleSyntaxHighlighter::QStyleSyntaxHighlighter(QTextDocument* document)
    : QSyntaxHighlighter(document)
{
}

void QStyleSyntaxHighlighter::setSyntaxStyle(QSyntaxStyle* style)
{
    m_syntaxStyle = style;
}

QSyntaxStyle* QStyleSyntaxHighlighter::syntaxStyle() const
{
    return m_syntaxStyle;
}

QTextCharFormat QStyleSyntaxHighlighter::styleFormat(const QString& name) const
{
    return m_syntaxStyle ? m_syntaxStyle->getFormat(name) : QTextCharFormat();
}

void QStyleSyntaxHighlighter::highlightByRegex(const QTextCharFormat& format,
                                               const QRegularExpression& expression,
                                               const QString& text)
{
    auto matches = expression.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(), match.capturedLength(), format);
    }
}

void QStyleSyntaxHighlighter::highlightSpanningComments(const QString& text,
                                                        const QRegularExpression& start,
                                                        const QRegularExpression& end,
                                                        const QTextCharFormat& format)
{
    setCurrentBlockState(outsideComment);
    int commentStart = previousBlockState() == insideComment ? 0 : text.indexOf(start);
    while (commentStart >= 0) {
        const QRegularExpressionMatch close = end.match(text, commentStart);
        if (!close.hasMatch()) {
            setCurrentBlockState(insideComment);
            setFormat(commentStart, text.length() - commentStart, format);
            return;
        }
        setFormat(commentStart, close.capturedEnd() - commentStart, format);
        commentStart = text.indexOf(start, close.capturedEnd());
    }
}
