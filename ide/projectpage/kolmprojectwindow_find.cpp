// The find/replace bar below the editor: searching the file in the editor
// forward and backward with one wrap-around, the search growing as the user
// types, and replacing the selected match or every exact match.

#include "kolmprojectwindow.h"
#include "ui_kolmprojectwindow.h"

#include <QTextCursor>
#include <QTextDocument>

void KolmProjectWindow::showFindReplace()
{
    if (m_findToggle && !ui->codeFindReplaceWidget->isHidden()) {
        ui->codeFindReplaceWidget->hide();
        ui->codeEditor->setFocus(Qt::OtherFocusReason);
        return;
    }
    ui->codeFindReplaceWidget->show();
    const QTextCursor cursor = ui->codeEditor->textCursor();
    if (cursor.hasSelection()) {
        const QSignalBlocker blocker(ui->codeFindEdit);
        ui->codeFindEdit->setText(cursor.selectedText());
    }
    ui->codeFindEdit->setFocus(Qt::OtherFocusReason);
    ui->codeFindEdit->selectAll();
    on_codeFindEdit_textChanged(ui->codeFindEdit->text());
}

void KolmProjectWindow::on_codeFindEdit_textChanged(const QString& text)
{
    if (text.isEmpty())
        return;
    // From the start of the current match, so that the match grows while
    // the text there goes on with what is typed.
    m_searchPosition = ui->codeEditor->textCursor().selectionStart();
    codeSearchNext(text, true);
}

void KolmProjectWindow::on_codeFindNextButton_clicked()
{
    const QString text = ui->codeFindEdit->text();
    if (text.isEmpty())
        return;
    if (m_searchPosition < 0)
        m_searchPosition = 0;
    codeSearchNext(text, true);
}

void KolmProjectWindow::on_codeFindPrevButton_clicked()
{
    const QString text = ui->codeFindEdit->text();
    if (text.isEmpty())
        return;
    if (m_searchPosition < 0)
        m_searchPosition = ui->codeEditor->textCursor().position();
    if (m_searchPosition == 0)
        m_searchPosition = documentEnd();
    codeSearchPrev(text, true);
}

int KolmProjectWindow::documentEnd() const
{
    QTextCursor end(ui->codeEditor->document());
    end.movePosition(QTextCursor::End);
    return end.position();
}

void KolmProjectWindow::selectMatch(const QTextCursor& match)
{
    QTextDocument* document = ui->codeEditor->document();
    const bool wasModified = document->isModified();
    m_searchPosition = match.selectionEnd();
    QTextCursor selection(document);
    selection.setPosition(match.selectionStart());
    selection.setPosition(match.selectionEnd(), QTextCursor::KeepAnchor);
    ui->codeEditor->setTextCursor(selection);
    if (!wasModified)
        document->setModified(false);
}

// A text that occurs nowhere leaves the search position where it was.
bool KolmProjectWindow::codeSearchNext(const QString& text, bool wrap)
{
    const int from = m_searchPosition;
    const QTextCursor match = ui->codeEditor->document()->find(text, m_searchPosition);
    if (!match.isNull()) {
        selectMatch(match);
        return true;
    }
    if (wrap) {
        m_searchPosition = 0;
        if (codeSearchNext(text, false))
            return true;
    }
    m_searchPosition = from;
    return false;
}

bool KolmProjectWindow::codeSearchPrev(const QString& text, bool wrap)
{
    const int from = m_searchPosition;
    QTextDocument* document = ui->codeEditor->document();
    QTextCursor match = document->find(text, m_searchPosition - 1, QTextDocument::FindBackward);
    if (!match.isNull() && match.selectionEnd() >= m_searchPosition) {
        // The current match: look before it.
        m_searchPosition = match.selectionEnd() - text.size();
        match = document->find(text, m_searchPosition, QTextDocument::FindBackward);
    }
    if (!match.isNull()) {
        selectMatch(match);
        return true;
    }
    if (wrap) {
        m_searchPosition = documentEnd();
        if (codeSearchPrev(text, false))
            return true;
    }
    m_searchPosition = from;
    return false;
}

void KolmProjectWindow::on_codeReplaceButton_clicked()
{
    const QString text = ui->codeFindEdit->text();
    if (text.isEmpty())
        return;
    QTextCursor cursor = ui->codeEditor->textCursor();
    if (cursor.selectedText() != text)
        return;
    cursor.insertText(ui->codeReplaceEdit->text());
    ui->codeEditor->setTextCursor(cursor);
    // Go on right after the inserted text, so that neither the replacement
    // nor an occurrence just behind it is skipped or found again.
    m_searchPosition = cursor.position();
    codeSearchNext(text, true);
}

void KolmProjectWindow::on_codeReplaceAllButton_clicked()
{
    const QString text = ui->codeFindEdit->text();
    if (text.isEmpty())
        return;
    const QString replacement = ui->codeReplaceEdit->text();
    QTextDocument* document = ui->codeEditor->document();
    QTextCursor edit(document);
    bool replaced = false;
    int from = 0;
    for (;;) {
        const QTextCursor match = document->find(text, from);
        if (match.isNull())
            break;
        if (match.selectedText() != text) {
            from = match.selectionEnd();
            continue;
        }
        if (!replaced) {
            edit.beginEditBlock();
            replaced = true;
        }
        edit.setPosition(match.selectionStart());
        edit.setPosition(match.selectionEnd(), QTextCursor::KeepAnchor);
        edit.insertText(replacement);
        from = edit.position();
    }
    if (!replaced)
        return;
    edit.endEditBlock();
    ui->codeEditor->setTextCursor(edit);
    m_searchPosition = edit.position();
}
