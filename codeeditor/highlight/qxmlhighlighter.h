#pragma once

#include "qstylesyntaxhighlighter.h"

#include <QRegularExpression>
#include <QVector>

// Highlighter for XML text: element names with their angle brackets, tag and
// processing-instruction punctuation, attribute names, double-quoted
// attribute values and comments that span lines.
class QXMLHighlighter : public QStyleSyntaxHighlighter
{
    Q_OBJECT

public:
    explicit QXMLHighlighter(QTextDocument* document = nullptr);

protected:
    void highlightBlock(const QString& text) override;

private:
    QVector<QRegularExpression> keywordExpressions;
    QRegularExpression elementExpression;
    QRegularExpression attributeExpression;
    QRegularExpression valueExpression;
    QRegularExpression commentStartExpression;
    QRegularExpression commentEndExpression;
};
