#include "editor_probe.h"

#include <QTextCursor>
#include <QtTest>

void EditorProbe::setMarkedText(const QString& marked)
{
    QString text = marked;
    const int cursorAt = text.indexOf('|');
    text.remove(cursorAt, 1);
    const int anchorAt = text.indexOf('^');
    if (anchorAt >= 0)
        text.remove(anchorAt, 1);
    const int position = anchorAt >= 0 && anchorAt < cursorAt ? cursorAt - 1 : cursorAt;
    setPlainText(text);
    select(anchorAt >= 0 ? anchorAt : position, position);
}

void EditorProbe::select(int anchor, int position)
{
    QTextCursor cursor = textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

bool EditorProbe::showOnScreen()
{
    resize(400, 300);
    show();
    return QTest::qWaitForWindowExposed(this);
}

QString EditorProbe::markedText() const
{
    QString text = toPlainText();
    const QTextCursor cursor = textCursor();
    const int position = cursor.position();
    const int anchor = cursor.anchor();
    if (anchor != position && anchor > position)
        text.insert(anchor, '^');
    text.insert(position, '|');
    if (anchor != position && anchor < position)
        text.insert(anchor, '^');
    return text;
}

QStringList EditorProbe::extraSelectionRanges() const
{
    QStringList ranges;
    for (const QTextEdit::ExtraSelection& selection : extraSelections()) {
        if (selection.format.boolProperty(QTextFormat::FullWidthSelection))
            ranges << QString("line@%1").arg(selection.cursor.position());
        else
            ranges << QString("%1-%2")
                          .arg(selection.cursor.selectionStart())
                          .arg(selection.cursor.selectionEnd());
    }
    return ranges;
}
