#ifndef KOLM_TEST_TEXT_ROOM_H
#define KOLM_TEST_TEXT_ROOM_H

// The width a widget gives a text, to check that a text shows whole:
// fontMetrics().horizontalAdvance(text) <= textRoom(...).

#include <QAbstractItemView>
#include <QLineEdit>
#include <QModelIndex>
#include <QStyle>

// A line edit: its width less its frame, its text margins and the 2 px it
// keeps on either side of the text.
inline int textRoom(const QLineEdit *edit)
{
    const int frame = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit) : 0;
    const QMargins margins = edit->textMargins();
    return edit->width() - 2 * frame - margins.left() - margins.right() - 2 * 2;
}

// An item of a view (shown, its rows expanded): its cell less the text
// margins the style keeps on both sides.
inline int textRoom(const QAbstractItemView *view, const QModelIndex &index)
{
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return view->visualRect(index).width() - 2 * margin;
}

#endif
