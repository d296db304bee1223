#include "chat_list.h"

#include "qchatlabel.h"

#include <QListWidget>

namespace {

// Marks the dropped line's item.
constexpr int DroppedLineRole = Qt::UserRole + 1;

QListWidgetItem *droppedLine(const QListWidget *list)
{
    QListWidgetItem *top = list->item(0);
    return top && top->data(DroppedLineRole).toBool() ? top : nullptr;
}

} // namespace

void chat_appendBubbles(QListWidget *list, const QList<QChatLabel *> &bubbles)
{
    if (bubbles.isEmpty())
        return;
    const int first = list->count();
    QStringList texts;
    texts.reserve(bubbles.size());
    for (int i = 0; i < bubbles.size(); ++i)
        texts.append(QString());
    list->addItems(texts);
    for (int i = 0; i < bubbles.size(); ++i) {
        QListWidgetItem *item = list->item(first + i);
        item->setData(Qt::SizeHintRole, bubbles[i]->size() + QSize(20, 0));
        list->setItemWidget(item, bubbles[i]);
    }
}

void chat_appendBubble(QListWidget *list, QChatLabel *bubble)
{
    chat_appendBubbles(list, {bubble});
}

void chat_setDroppedLine(QListWidget *list, const QString &text)
{
    QListWidgetItem *line = droppedLine(list);
    if (!line) {
        line = new QListWidgetItem;
        line->setData(DroppedLineRole, true);
        line->setFlags(Qt::NoItemFlags);
        line->setTextAlignment(Qt::AlignCenter);
        list->insertItem(0, line);
    }
    line->setText(text);
}

int chat_bubbleCount(const QListWidget *list)
{
    return list->count() - (droppedLine(list) ? 1 : 0);
}

void chat_removeOldest(QListWidget *list, int count)
{
    count = qMin(count, chat_bubbleCount(list));
    if (count > 0)
        list->model()->removeRows(droppedLine(list) ? 1 : 0, count);
}

QString chat_toHtml(const QListWidget *list)
{
    QString html = QStringLiteral("<html>\n<head/><body>");
    if (const QListWidgetItem *line = droppedLine(list))
        html += QStringLiteral("<p><i>") + line->text().toHtmlEscaped() + QStringLiteral("</i></p>");
    for (int i = 0; i < list->count(); ++i) {
        const auto *bubble = qobject_cast<const QChatLabel *>(list->itemWidget(list->item(i)));
        if (!bubble)
            continue;
        html += QStringLiteral("<p><i><b>")
            + bubble->timeStamp().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))
            + QStringLiteral("</b></i><br>") + bubble->html() + QStringLiteral("</p>");
    }
    html += QStringLiteral("</body></html>");
    return html;
}
