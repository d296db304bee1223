#pragma once

#include "qsyntaxstyle.h"

#include <QString>
#include <QStringList>

class QStyleSyntaxHighlighter;
class QTextDocument;

// A colour scheme in which every style the highlighters use has a foreground
// colour of its own, so a format read back from a block layout names its
// style.
class StyleProbe
{
public:
    StyleProbe();

    QSyntaxStyle* scheme();

    // The formatted ranges of every line as "start+length Style", joined by
    // ", " ("" for a line without formats).
    QStringList ranges(const QTextDocument& document) const;

private:
    QString styleOf(const QColor& foreground) const;

    QSyntaxStyle m_scheme;
};

// The block state of every line as one digit each ("-" for a negative state).
QString blockStates(const QTextDocument& document);

// Colours the lines with the highlighter, under the probe's scheme or under
// none, and compares every line's ranges and the block states.
void compareHighlighting(QStyleSyntaxHighlighter& highlighter, bool withScheme,
                         const QStringList& lines, const QStringList& expected,
                         const QString& states);

// Sets the lines as the document's text and attaches the highlighter, which
// colours every line before this returns.
void highlightLines(QStyleSyntaxHighlighter& highlighter, QTextDocument& document,
                    const QStringList& lines);
