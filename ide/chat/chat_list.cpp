#include "chat_list.h"

#include "qchatlabel.h"

#include <QListWidget>

void chat_appendBubble(QListWidget *list, QChatLabel *bubble)
{
    auto *item = new QListWidgetItem;
    item->setData(Qt::SizeHintRole, bubble->size() + QSize(20, 0));
    list->addItem(item);
    list->setItemWidget(item, bubble);
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
