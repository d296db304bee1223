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

void QStyleSyntaxHighlighter::highlightIncludes(const QString& text,
                                                const QRegularExpression& expression)
{
    const QTextCharFormat preprocessorFormat = styleFormat(QStringLiteral("Preprocessor"));
    const QTextCharFormat stringFormat = styleFormat(QStringLiteral("String"));
    for (auto matches = expression.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(), match.capturedLength(), preprocessorFormat);
        setFormat(match.capturedStart(1), match.capturedLength(1), stringFormat);
    }
}

void QStyleSyntaxHighlighter::highlightCalls(const QString& text,
                                             const QRegularExpression& expression)
{
    const QTextCharFormat typeFormat = styleFormat(QStringLiteral("Type"));
    const QTextCharFormat functionFormat = styleFormat(QStringLiteral("Function"));
    for (auto matches = expression.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(), match.capturedLength(), typeFormat);
        setFormat(match.capturedStart(2), match.capturedLength(2), functionFormat);
    }
}

void QStyleSyntaxHighlighter::highlightDeclarations(const QString& text,
                                                    const QRegularExpression& expression)
{
    const QTextCharFormat typeFormat = styleFormat(QStringLiteral("Type"));
    for (auto matches = expression.globalMatch(text); matches.hasNext();) {
        const QRegularExpressionMatch match = matches.next();
        setFormat(match.capturedStart(1), match.capturedLength(1), typeFormat);
    }
}

void QStyleSyntaxHighlighter::highlightRules(const QString& text,
                                             const QVector<QHighlightRule>& rules)
{
    for (const QHighlightRule& rule : rules)
        highlightByRegex(styleFormat(rule.formatName), rule.expression, text);
}

void QStyleSyntaxHighlighter::highlightBlockRules(const QString& text,
                                                  const QVector<QHighlightBlockRule>& rules,
                                                  int endSearchOffset)
{
    setCurrentBlockState(0);

    int current = previousBlockState() - 1;
    int start = 0;
    if (current < 0 || current >= rules.size()) {
        current = -1;
        for (int i = 0; i < rules.size() && current < 0; ++i) {
            start = text.indexOf(rules[i].startExpression);
            if (start >= 0)
                current = i;
        }
        if (current < 0)
            return;
    }

    const QHighlightBlockRule& rule = rules[current];
    const QTextCharFormat format = styleFormat(rule.formatName);
    while (start >= 0) {
        const QRegularExpressionMatch close = rule.endExpression.match(text, start + endSearchOffset);
        int end = text.length();
        if (close.hasMatch())
            end = close.capturedEnd();
        else
            setCurrentBlockState(current + 1);
        setFormat(start, end - start, format);
        // An empty construct would find itself again for ever.
        if (end <= start)
            return;
        start = text.indexOf(rule.startExpression, end);
    }
}
