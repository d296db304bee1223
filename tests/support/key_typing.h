#ifndef KOLM_TEST_KEY_TYPING_H
#define KOLM_TEST_KEY_TYPING_H

// Text typed key by key, as a user types it.

#include <QLineEdit>
#include <QTest>
#include <QTextCursor>
#include <QTextEdit>

// QTest::keyClicks() knows ASCII keys only; other characters go as key
// events that carry the character as their text.
inline void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Replaces a line edit's text: focus, select all, delete, type.
inline void retype(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    typeText(edit, text);
}

// Types lines into a code editor, each followed by Return. The editor's
// automatic indentation repeats the previous line's; it is taken back before
// each line, so the lines come out exactly as given.
inline void typeLines(QTextEdit *editor, const QStringList &lines)
{
    for (const QString &line : lines) {
        QTextCursor cursor = editor->textCursor();
        cursor.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        QTest::keyClicks(editor, line);
        QTest::keyClick(editor, Qt::Key_Return);
    }
}

#endif
