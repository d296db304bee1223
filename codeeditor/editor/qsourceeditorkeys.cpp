// Key handling of the source editor: indentation, tab replacement, braces and
// closing partners, and the completion popup.
#include "qsourceeditor.h"

#include "bracketpairs.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>

namespace {

const QChar lineSeparator(QChar::ParagraphSeparator);

// Letters, digits and the full stop of member paths.
bool isWordCharacter(QChar character)
{
    return character.isLetterOrNumber() || character == QLatin1Char('.');
}

// Characters that end a word and hide the completion popup.
const QString& endOfWord()
{
    static const QString characters = QStringLiteral("~!@#$%^&*()_+{}|:\"<>?,/;'[]\\-=");
    return characters;
}

bool isReturn(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

bool isCompletionShortcut(const QKeyEvent* e)
{
    return (e->modifiers() & Qt::ControlModifier) && e->key() == Qt::Key_Space;
}

} // namespace

void QSourceEditor::keyPressEvent(QKeyEvent* e)
{
    if (proceedCompleterBegin(e)) {
        proceedCompleterEnd(e);
        return;
    }
    // A read-only editor (the debugger's) only moves, selects and copies.
    if (isReadOnly())
        QTextEdit::keyPressEvent(e);
    else if (handleEditingKey(e))
        return;
    proceedCompleterEnd(e);
}

bool QSourceEditor::handleEditingKey(QKeyEvent* e)
{
    if (indentSelection(e))
        return true;

    const int columns = getIndentationSpaces();
    if (m_autoIndentation && isReturn(e->key()) && charUnderCursor(0) == QLatin1Char('}')
        && charUnderCursor(-1) == QLatin1Char('{')) {
        // Open a block: an inner line one unit deeper, the closing brace on a
        // line of its own, the cursor at the end of the inner line.
        const QString outer = indentation(columns, 0);
        insertPlainText(QStringLiteral("\n") + indentation(columns, 1) + QStringLiteral("\n")
                        + outer);
        for (int i = 0; i <= outer.size(); ++i)
            moveCursor(QTextCursor::Left);
        return true;
    }

    if (m_tabReplace && e->key() == Qt::Key_Backtab) {
        QTextCursor cursor = textCursor();
        cursor.movePosition(QTextCursor::StartOfLine);
        cursor.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor,
                            qMin(columns, m_tabReplacement.size()));
        cursor.removeSelectedText();
        return true;
    }

    QTextEdit::keyPressEvent(e);

    if (m_autoIndentation && isReturn(e->key()))
        insertPlainText(indentation(columns, 0));

    if (m_autoParentheses)
        closePair(e->text());
    return false;
}

void QSourceEditor::closePair(const QString& typed)
{
    for (const BracketPair& pair : parentheses()) {
        const bool closes = typed == QString(pair.closing);
        // A quote opens and closes alike: it closes only a pair the editor
        // opened, whose closing quote stands right after it.
        const bool stepsOver = closes && charUnderCursor(0) == pair.closing
            && (pair.opening != pair.closing
                || m_insertedQuotes.take(document(), textCursor().position()));
        if (stepsOver) {
            textCursor().deletePreviousChar();
            moveCursor(QTextCursor::Right);
            return;
        }
        if (typed == QString(pair.opening)) {
            insertPlainText(QString(pair.closing));
            moveCursor(QTextCursor::Left);
            if (pair.opening == pair.closing)
                m_insertedQuotes.add(document(), textCursor().position());
            return;
        }
        if (closes)
            return;
    }
}

bool QSourceEditor::indentSelection(QKeyEvent* e)
{
    const bool indent = e->key() == Qt::Key_Tab && e->modifiers() == Qt::NoModifier;
    const bool unindent = e->key() == Qt::Key_Backtab
        || (e->key() == Qt::Key_Tab && (e->modifiers() & Qt::ShiftModifier));
    if (!indent && !unindent)
        return false;

    QTextCursor cursor = textCursor();
    if (!cursor.hasSelection()) {
        if (!indent)
            return false;
        insertPlainText(m_tabReplace ? m_tabReplacement : QStringLiteral("\t"));
        return true;
    }
    // The new text stays selected, with the cursor at its start.
    const QString text = indent ? increaseIndent(cursor.selectedText())
                                : decreaseIndent(cursor.selectedText());
    cursor.insertText(text);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, text.size());
    setTextCursor(cursor);
    return true;
}

QString QSourceEditor::indentation(int columns, int extraUnits) const
{
    if (m_tabReplace)
        return QString(columns + extraUnits * m_tabReplacement.size(), QLatin1Char(' '));
    // Counted in the whole columns that getIndentationSpaces() gives a tab, so
    // a line indented by tabs keeps all of them when a tab stop is not a
    // whole number of average character widths.
    const int tabs = columns / qMax(1, int(tabColumns()));
    return QString(tabs + extraUnits, QLatin1Char('\t'));
}

qreal QSourceEditor::tabColumns() const
{
    return tabStopDistance() / QFontMetricsF(font()).averageCharWidth();
}

int QSourceEditor::getIndentationSpaces()
{
    const QString text = textCursor().block().text();
    int columns = 0;
    for (const QChar character : text) {
        if (character == QLatin1Char(' '))
            ++columns;
        else if (character == QLatin1Char('\t'))
            columns = int(columns + tabColumns());
        else
            break;
    }
    return columns;
}

QString QSourceEditor::increaseIndent(const QString& text) const
{
    const QString unit = m_tabReplace ? m_tabReplacement : QStringLiteral("\t");
    QStringList lines = text.split(lineSeparator);
    for (QString& line : lines)
        line.prepend(unit);
    return lines.join(QLatin1Char('\n'));
}

QString QSourceEditor::decreaseIndent(const QString& text) const
{
    const QString unit = m_tabReplace ? m_tabReplacement : QStringLiteral("\t");
    QStringList lines = text.split(lineSeparator);
    for (QString& line : lines) {
        if (line.startsWith(unit))
            line.remove(0, unit.size());
    }
    return lines.join(QLatin1Char('\n'));
}

void QSourceEditor::setCompleter(QCompleter* completer)
{
    if (m_completer)
        QObject::disconnect(m_completer, nullptr, this, nullptr);
    m_completer = completer;
    if (!m_completer)
        return;
    m_completer->setWidget(this);
    m_completer->setCompletionMode(QCompleter::PopupCompletion);
    connect(m_completer, QOverload<const QString&>::of(&QCompleter::activated), this,
            &QSourceEditor::insertCompletion);
}

QCompleter* QSourceEditor::completer() const
{
    return m_completer;
}

int QSourceEditor::wordStart() const
{
    const QTextCursor cursor = textCursor();
    const QString text = cursor.block().text();
    int index = cursor.positionInBlock();
    while (index > 0 && isWordCharacter(text.at(index - 1)))
        --index;
    return cursor.block().position() + index;
}

QString QSourceEditor::wordUnderCursor() const
{
    const QTextCursor cursor = textCursor();
    const int start = wordStart();
    return cursor.block().text().mid(start - cursor.block().position(),
                                     cursor.position() - start);
}

void QSourceEditor::insertCompletion(const QString& text)
{
    if (!m_completer || m_completer->widget() != this)
        return;
    QTextCursor cursor = textCursor();
    const int end = cursor.position();
    cursor.setPosition(wordStart());
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    setTextCursor(cursor);
}

bool QSourceEditor::proceedCompleterBegin(QKeyEvent* e)
{
    if (!m_completer)
        return false;
    if (m_completer->popup()->isVisible()) {
        switch (e->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // The popup takes these through its own event filter.
            e->ignore();
            return true;
        default:
            break;
        }
    }
    return isCompletionShortcut(e);
}

void QSourceEditor::proceedCompleterEnd(QKeyEvent* e)
{
    if (!m_completer)
        return;
    QAbstractItemView* popup = m_completer->popup();
    // Ctrl+Space carries no text on some platforms; it is known by its key.
    const bool shortcut = isCompletionShortcut(e);
    if (!shortcut) {
        const bool modified = e->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier);
        if ((modified && e->text().isEmpty()) || e->key() == Qt::Key_Delete)
            return;
    }

    // The prefix is always the text before the cursor, also after a ".", so
    // a member path continues from what stands there.
    const QString prefix = wordUnderCursor();
    if (!shortcut
        && (e->text().isEmpty() || (prefix.size() < 2 && e->key() != Qt::Key_Period)
            || endOfWord().contains(e->text().right(1)))) {
        popup->hide();
        return;
    }

    if (prefix != m_completer->completionPrefix()) {
        m_completer->setCompletionPrefix(prefix);
        popup->setCurrentIndex(m_completer->completionModel()->index(0, 0));
    }
    QRect rect = cursorRect();
    rect.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    m_completer->complete(rect);
}
