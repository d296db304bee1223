// The marks the editor lays over the text: the current line, the bracket that
// matches the one next to the cursor, and outlines around the occurrences of
// a selected word.
#include "qsourceeditor.h"

#include "bracketpairs.h"
#include "qframedtextattribute.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QtMath>

namespace {

// The position of the character that closes the nesting opened by the one at
// start, walking in the direction (+1 or -1): the active character opens a
// level, the counter character closes one. -1 when the document ends first.
// Reads whole lines rather than one document character at a time, so an
// unmatched bracket costs one pass over the text.
int findPartner(const QTextDocument* document, int start, int direction, QChar active,
                QChar counter)
{
    int depth = 1;
    QTextBlock block = document->findBlock(start);
    int index = start - block.position() + direction;
    while (block.isValid()) {
        const QString text = block.text();
        for (; index >= 0 && index < text.size(); index += direction) {
            if (text.at(index) == active)
                ++depth;
            else if (text.at(index) == counter && --depth == 0)
                return block.position() + index;
        }
        block = direction > 0 ? block.next() : block.previous();
        index = direction > 0 ? 0 : block.length() - 2;
    }
    return -1;
}

QTextEdit::ExtraSelection markedRange(const QTextDocument* document, int from, int to,
                                      const QTextCharFormat& format)
{
    QTextEdit::ExtraSelection selection;
    selection.cursor = QTextCursor(const_cast<QTextDocument*>(document));
    selection.cursor.setPosition(from);
    selection.cursor.setPosition(to, QTextCursor::KeepAnchor);
    selection.format = format;
    return selection;
}

} // namespace

void QSourceEditor::updateExtraSelection()
{
    QList<QTextEdit::ExtraSelection> selections;
    highlightCurrentLine(selections);
    highlightParenthesis(selections);
    setExtraSelections(selections);
}

void QSourceEditor::highlightCurrentLine(QList<QTextEdit::ExtraSelection>& extraSelection)
{
    if (isReadOnly())
        return;
    QTextEdit::ExtraSelection selection;
    selection.format = styleFormat("CurrentLine");
    // The text keeps its own colours on the current line.
    selection.format.setProperty(QTextFormat::ForegroundBrush, QBrush());
    selection.format.setProperty(QTextFormat::FullWidthSelection, true);
    selection.cursor = textCursor();
    selection.cursor.clearSelection();
    extraSelection.append(selection);
}

void QSourceEditor::highlightParenthesis(QList<QTextEdit::ExtraSelection>& extraSelection)
{
    const QChar current = charUnderCursor(0);
    const QChar previous = charUnderCursor(-1);
    const int position = textCursor().position();
    for (const BracketPair& pair : parentheses()) {
        int direction = 0;
        int start = position;
        QChar active;
        QChar counter;
        if (pair.opening == current) {
            direction = 1;
            active = current;
            counter = pair.closing;
        } else if (pair.closing == previous) {
            direction = -1;
            active = previous;
            counter = pair.opening;
            start = position - 1;
        } else {
            continue;
        }
        const int match = findPartner(document(), start, direction, active, counter);
        if (match < 0)
            return;
        const QTextCharFormat format = styleFormat("Parentheses");
        extraSelection.append(markedRange(document(), match, match + 1, format));
        extraSelection.append(markedRange(document(), start, start + 1, format));
        return;
    }
}

void QSourceEditor::onSelectionChanged()
{
    const QTextCursor cursor = textCursor();
    const QString selected = cursor.selectedText();
    // The word around the last selected character, whichever way the
    // selection was made.
    QTextCursor word = cursor;
    word.setPosition(cursor.selectionEnd());
    word.movePosition(QTextCursor::Left);
    word.select(QTextCursor::WordUnderCursor);
    if (selected.size() > 1 && selected == word.selectedText())
        handleSelectionQuery(word);
    else
        handleSelectionQuery(QTextCursor());
}

void QSourceEditor::handleSelectionQuery(QTextCursor cursor)
{
    const QString text = cursor.selectedText();
    if (text == m_occurrenceText)
        return;
    m_occurrenceText = text;
    viewport()->update();
}

QVector<QTextCursor> QSourceEditor::visibleOccurrences() const
{
    QVector<QTextCursor> occurrences;
    if (m_occurrenceText.isEmpty())
        return occurrences;
    QTextDocument* document = this->document();
    const QAbstractTextDocumentLayout* layout = document->documentLayout();
    const int viewBottom = verticalScrollBar()->value() + viewport()->height();
    const int length = m_occurrenceText.size();
    for (QTextBlock block = document->findBlockByNumber(getFirstVisibleBlock());
         block.isValid() && layout->blockBoundingRect(block).top() < viewBottom;
         block = block.next()) {
        if (!block.isVisible())
            continue;
        const QString text = block.text();
        for (int index = text.indexOf(m_occurrenceText, 0, Qt::CaseInsensitive); index >= 0;
             index = text.indexOf(m_occurrenceText, index + length, Qt::CaseInsensitive)) {
            QTextCursor occurrence(document);
            occurrence.setPosition(block.position() + index);
            occurrence.setPosition(block.position() + index + length, QTextCursor::KeepAnchor);
            occurrences.append(occurrence);
        }
    }
    return occurrences;
}

void QSourceEditor::paintOccurrences()
{
    const QVector<QTextCursor> occurrences = visibleOccurrences();
    if (occurrences.isEmpty())
        return;
    QPainter painter(viewport());
    const QPointF scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    for (const QTextCursor& occurrence : occurrences) {
        const QTextBlock block = occurrence.block();
        const QTextLayout* lines = block.layout();
        const QPointF origin =
            document()->documentLayout()->blockBoundingRect(block).topLeft() - scroll;
        const int start = occurrence.selectionStart() - block.position();
        const int end = occurrence.selectionEnd() - block.position();
        // One outline per screen line that the occurrence covers, from the
        // caret place of its start to that of its end. Whole pixels and a
        // pen on the pixel centres keep the outline sharp in its colour.
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const int lineEnd = line.textStart() + line.textLength();
            if (line.textStart() >= end || lineEnd <= start)
                continue;
            const qreal left = origin.x() + line.cursorToX(qMax(start, line.textStart()));
            const qreal right = origin.x() + line.cursorToX(qMin(end, lineEnd));
            const qreal top = origin.y() + line.y();
            const QRectF outline(QPointF(qFloor(left) + 0.5, qFloor(top) + 0.5),
                                 QPointF(qCeil(right) - 0.5, qCeil(top + line.height()) - 0.5));
            m_framedAttribute->drawFrame(&painter, outline);
        }
    }
}
