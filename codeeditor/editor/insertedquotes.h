#pragma once

#include <QTextCursor>
#include <QVector>

class QTextDocument;

// The closing quotes that the editor put in after an opening one, followed
// through later edits, so that typing that quote steps over it while a quote
// typed in front of the user's own quote still opens a new pair.
class InsertedQuotes
{
public:
    // Remembers the quote character at the position of the document.
    void add(QTextDocument* document, int position);
    // Forgets and reports whether the quote at the position of the document
    // is one the editor put in.
    bool take(const QTextDocument* document, int position);

private:
    // Drops the marks whose quote is gone or that belong to another document.
    void prune(const QTextDocument* document);

    // Each mark selects its one quote; an edit that removes the quote leaves
    // the selection empty.
    QVector<QTextCursor> m_marks;
};
