#pragma once

#include "qhighlightrule.h"

#include <QSyntaxHighlighter>
#include <QVector>

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

    // The common steps of the rule engines, each over every match in the line.
    // Include lines: "Preprocessor" on the match, "String" on group 1 (the
    // file name with its delimiters).
    void highlightIncludes(const QString& text, const QRegularExpression& expression);
    // Calls: "Type" on the match, then "Function" on group 2 (the name).
    void highlightCalls(const QString& text, const QRegularExpression& expression);
    // Declarations: "Type" on group 1 (the declared type).
    void highlightDeclarations(const QString& text, const QRegularExpression& expression);
    // Each rule in order, its style on its matches.
    void highlightRules(const QString& text, const QVector<QHighlightRule>& rules);

    // Constructs that span lines. The block state is the 1-based number of the
    // rule still open at the end of the line, 0 when none is. A line that does
    // not continue one takes the first rule, in list order, whose start occurs
    // in it; further constructs on the line are of that rule only. The end is
    // searched endSearchOffset characters after the construct's start.
    void highlightBlockRules(const QString& text, const QVector<QHighlightBlockRule>& rules,
                             int endSearchOffset);

private:
    QSyntaxStyle* m_syntaxStyle = nullptr;
};
