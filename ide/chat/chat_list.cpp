#include "chat_list.h"

#include "qchatlabel.h"

#include <QListWidget>

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

QString chat_toHtml(const QListWidget *list)
{
    QString html = QStringLiteral("<html>\n<head/><body>");
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
