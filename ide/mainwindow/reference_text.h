#pragma once

class QString;
class QTextDocument;

// Fills the quick reference's document from its Markdown text. A table cell
// writes "|" as "\|" so that it does not end the cell, also inside a code
// span; the Markdown reader keeps that backslash there, so it is taken out
// of the table cells here and the cell shows "|".
void setReferenceMarkdown(QTextDocument* document, const QString& markdown);
