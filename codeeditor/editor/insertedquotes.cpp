#include "insertedquotes.h"

#include <algorithm>

namespace {

// Marks are followed through every edit of the document, so only the most
// recent ones are kept.
constexpr int MaxMarks = 16;

} // namespace

void InsertedQuotes::add(QTextDocument* document, int position)
{
    prune(document);
    if (m_marks.size() >= MaxMarks)
        m_marks.removeFirst();
    QTextCursor mark(document);
    mark.setPosition(position);
    mark.setPosition(position + 1, QTextCursor::KeepAnchor);
    m_marks.append(mark);
}

bool InsertedQuotes::take(const QTextDocument* document, int position)
{
    prune(document);
    for (int i = 0; i < m_marks.size(); ++i) {
        if (m_marks.at(i).selectionStart() == position) {
            m_marks.removeAt(i);
            return true;
        }
    }
    return false;
}

void InsertedQuotes::prune(const QTextDocument* document)
{
    m_marks.erase(std::remove_if(m_marks.begin(), m_marks.end(),
                                 [document](const QTextCursor& mark) {
                                     return mark.document() != document
                                         || mark.selectionEnd() - mark.selectionStart() != 1;
                                 }),
                  m_marks.end());
}
