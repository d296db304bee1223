#pragma once
// The conversation list of the chat page: one item per message, oldest
// first, each item's widget a QChatLabel; when older messages were dropped,
// a line at the top that says so.

#include <QList>
#include <QString>

class QChatLabel;
class QListWidget;

// Appends set-up bubbles, in their order, as the list's last items; each
// item's size hint is its bubble's size with 20 added to the width. The
// view is not scrolled. The items of a burst go into the list in one
// insertion: the list re-indexes the widgets it already holds at every
// insertion, so adding them one by one would cost time in the square of
// the conversation's length. The list's updates stay on: switching them
// off and on visits every bubble the list holds, and the repaints that the
// insertion asks for are merged into one on the next turn anyway.
void chat_appendBubbles(QListWidget *list, const QList<QChatLabel *> &bubbles);
void chat_appendBubble(QListWidget *list, QChatLabel *bubble);

// Sets the line at the top of the list that says that older messages were
// dropped (an item without a bubble), adding it when there is none.
void chat_setDroppedLine(QListWidget *list, const QString &text);
// The number of bubbles in the list.
int chat_bubbleCount(const QListWidget *list);
// Removes the `count` oldest bubbles with their items, in one removal.
void chat_removeOldest(QListWidget *list, int count);

// The conversation as one HTML document: the dropped line, then each
// bubble, in list order, after its time stamp; other items are skipped.
QString chat_toHtml(const QListWidget *list);
