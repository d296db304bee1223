#pragma once

#include <QSyntaxHighlighter>

class QRegularExpression;
class QSyntaxStyle;
class QTextCharFormat;
class QTextDocument;

// Base of every highlighter of the code editor: takes its character formats
// by style name from a colour scheme it does not own.
class QStyleSyntaxHighlighter : public QSyntaxHighlighter
{
public:
    explicit QStyleSyntaxHighlighter(QTextDocument* document = nullptr);

    // Stores the scheme and nothing else; the caller re-highlights when it
    // wants the new colours. Null leaves the text uncoloured.
    void setSyntaxStyle(QSyntaxStyle* style);
    QSyntaxStyle* syntaxStyle() const;

protected:
    // The scheme's format of the style; an empty format while no scheme is set.
    QTextCharFormat styleFormat(const QString& name) const;

    // Sets the format on every match of the expression in the line.
    void highlightByRegex(const QTextCharFormat& format, const QRegularExpression& expression,
                          const QString& text);

    // Colours comments that may span lines between the start and end
    // expressions. Block state 1 means the line ends inside a comment, 0
    // outside. The end is searched from the comment's start, so the two
    // delimiters may share characters.
    void highlightSpanningComments(const QString& text, const QRegularExpression& start,
                                   const QRegularExpression& end, const QTextCharFormat& format);

private:
    QSyntaxStyle* m_syntaxStyle = nullptr;
};
