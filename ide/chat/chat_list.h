#pragma once
// The conversation list of the chat page: one item per message, oldest
// first, each item's widget a QChatLabel.

#include <QString>

class QChatLabel;
class QListWidget;

// Appends the set-up bubble as the list's last item; the item's size hint
// is the bubble's size with 20 added to the width. The view is not
// scrolled. A caller adding a burst turns the list's updates off around it.
void chat_appendBubble(QListWidget *list, QChatLabel *bubble);

// The conversation as one HTML document: each bubble, in list order, after
// its time stamp; items without a bubble are skipped.
QString chat_toHtml(const QListWidget *list);
