// Times the chat list under a burst of 5,000 messages: the bubbles set up,
// added in one batch and painted (one event-loop turn, goal 100 ms), the
// same in batches of 250, the saved document of the whole
// conversation, and the acknowledgements of 1,000 waiting bubbles offered
// from the top as the chat page does.
//
// usage: chat_bench
#include "chat_list.h"
#include "qchatlabel.h"
#include "script_timing.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <cstdio>
#include <vector>

namespace {

const int burst = 5000;
const int batch = 250;
const int runs = 3;
const int waiting = 1000;
const double goalMs = 100.0;

QString message(int i)
{
    return QStringLiteral("message %1 from the field, see http://example.org/%1").arg(i);
}

void addBubbles(QListWidget &list, int from, int count, bool outgoing)
{
    QList<QChatLabel *> bubbles;
    for (int i = from; i < from + count; ++i) {
        auto *bubble = new QChatLabel(&list);
        bubble->setup(0x12, 2, message(i), outgoing);
        bubbles.append(bubble);
    }
    chat_appendBubbles(&list, bubbles);
    list.repaint();
}

QListWidget *shownList()
{
    auto *list = new QListWidget;
    list->resize(460, 600);
    list->show();
    if (!QTest::qWaitForWindowExposed(list))
        std::printf("the list was not shown; paint times are missing\n");
    return list;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    std::vector<double> whole, longestBatch, drain, acks, saved;
    for (int run = 0; run < runs; ++run) {
        QListWidget *list = shownList();
        whole.push_back(timeMs([&] { addBubbles(*list, 0, burst, false); }));
        saved.push_back(timeMs([&] { chat_toHtml(list); }));
        delete list;

        list = shownList();
        double longest = 0;
        drain.push_back(timeMs([&] {
            for (int from = 0; from < burst; from += batch)
                longest = std::max(longest, timeMs([&] { addBubbles(*list, from, batch, false); }));
        }));
        longestBatch.push_back(longest);
        delete list;

        list = shownList();
        addBubbles(*list, 0, waiting, true);
        acks.push_back(timeMs([&] {
            for (int i = 0; i < waiting; ++i) {
                const QByteArray bytes = message(i).toUtf8();
                const quint16 sum = qChecksum(bytes.constData(), uint(bytes.size()));
                for (int row = 0; row < list->count(); ++row)
                    if (static_cast<QChatLabel *>(list->itemWidget(list->item(row)))->match(0x12, sum))
                        break;
            }
        }));
        delete list;
    }

    std::printf("%d messages, batches of %d, %d runs\n", burst, batch, runs);
    report("whole burst added and painted in one turn", whole, goalMs);
    report("longest batch of 250 added and painted", longestBatch, goalMs);
    report("burst drained in batches of 250", drain, burst / batch * goalMs);
    report("1,000 acknowledgements offered from the top", acks, goalMs);
    report("saved document of 5,000 messages", saved, goalMs);
    return 0;
}
