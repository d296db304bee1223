// Times the main window under a flood from a device: a local peer plays the
// device on the window's TCP transport and writes a whole burst at once,
// 10,000 script messages or 5,000 chat messages. For each burst: the
// longest stall of the window's event loop while it takes the burst (goal
// under 100 ms) and the time until the window shows the last message (in
// its field and its log) and, for chat, the peer holds every
// acknowledgement. Then the resident memory of the process before and
// after 100,000 chat messages (the conversation keeps the newest of them).
//
// usage: console_flood_bench
#include "ide_resources.h"
#include "qchatlabel.h"
#include "resident_memory.h"
#include "script_timing.h"
#include "slip.h"
#include "zuhal_packet.h"
#include "zuhal_tcp.h"
#include "zurovurazev.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

namespace {

const int runs = 3;
const int scriptBurst = 10000;
const int chatBurst = 5000;
const int chatFlood = 100000;
const double stallGoalMs = 100.0;
const int drainLimitMs = 120000;
constexpr quint16 Device = 0x0042;

// The device's side of the link: frames out, acknowledgements counted.
struct Peer {
    QTcpSocket *socket = nullptr;
    SlipBuffer slip;
    int acks = 0;

    Peer()
    {
        slip.setCrc8(true);
        QObject::connect(&slip, &SlipBuffer::pktReady, [this](const QByteArray &frame) {
            ZuHalPacket packet;
            if (packet.parse(frame.constData(), uchar(frame.size())) && packet.data().startsWith("\xFF\xFE"))
                ++acks;
        });
    }

    QByteArray frame(uchar srcPort, const QByteArray &payload) const
    {
        ZuHalPacket packet;
        packet.setDestination(Device);
        packet.setSource(0x0077);
        packet.setDstPort(2);
        packet.setSrcPort(srcPort);
        const ZuHalPacket::Key none = {};
        packet.setData(payload, none);
        return slip.encode(packet.serialize());
    }
};

bool waitFor(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limitMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// Writes the burst, then runs the event loop until done(); the drain time
// and the longest stall meanwhile.
void flood(Peer &peer, const QByteArray &burst, const std::function<bool()> &done, std::vector<double> &stalls,
           std::vector<double> &drains)
{
    GuiGapMeter meter;
    QElapsedTimer clock;
    clock.start();
    peer.socket->write(burst);
    peer.socket->flush();
    if (!waitFor(done, drainLimitMs))
        std::printf("the burst did not drain within %d ms\n", drainLimitMs);
    drains.push_back(clock.nsecsElapsed() / 1e6);
    stalls.push_back(meter.longestMs());
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initIdeResources();
    // Settings of its own, no update check.
    const auto settings = useBenchSettings();

    ZuROVUrazev window;
    window.resize(1000, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::printf("the window was not shown; paint times are missing\n");

    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    auto *link = new ZuHalTCPMessenger;
    link->open(QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
    Peer peer;
    if (!waitFor([&] { return link->isOpen() && server.hasPendingConnections(); }, 10000)) {
        std::printf("no link to the local peer\n");
        return 1;
    }
    peer.socket = server.nextPendingConnection();
    QObject::connect(peer.socket, &QTcpSocket::readyRead, [&peer] { peer.slip.decode(peer.socket->readAll()); });
    window.attachTransport(link, Device, Device);

    auto *received = window.findChild<QLineEdit *>(QStringLiteral("msgKolmRxDataEdit"));
    auto *log = window.findChild<QTextBrowser *>(QStringLiteral("logBrowser"));
    auto *chat = window.findChild<QListWidget *>(QStringLiteral("chatBrowser"));
    auto *clearChat = window.findChild<QToolButton *>(QStringLiteral("chatClearTool"));

    // Memory first, from the fresh window: a long flood of chat messages,
    // the burst written at once.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const long before = residentKb(getpid());
    QByteArray chatBytes;
    const QString lastChat = QStringLiteral("flood %1, see http://example.org/%1").arg(chatFlood - 1);
    for (int i = 0; i < chatFlood; ++i)
        chatBytes += peer.frame(2, QStringLiteral("flood %1, see http://example.org/%1").arg(i).toUtf8());
    QElapsedTimer floodClock;
    floodClock.start();
    peer.socket->write(chatBytes);
    chatBytes.clear();
    const auto lastShown = [&] {
        const int rows = chat->count();
        const auto *bubble = rows ? qobject_cast<QChatLabel *>(chat->itemWidget(chat->item(rows - 1))) : nullptr;
        return bubble && bubble->text() == lastChat;
    };
    if (!waitFor([&] { return peer.acks == chatFlood && lastShown(); }, 20 * drainLimitMs))
        std::printf("the chat flood did not drain within %d ms\n", 20 * drainLimitMs);
    const double floodMs = floodClock.nsecsElapsed() / 1e6;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const long after = residentKb(getpid());
    const int kept = chat->findChildren<QChatLabel *>().size();

    std::vector<double> scriptStalls, scriptDrains, chatStalls, chatDrains;
    for (int run = 0; run < runs; ++run) {
        QByteArray burst;
        const QString last = QStringLiteral("run %1 message %2").arg(run).arg(scriptBurst - 1);
        for (int i = 0; i < scriptBurst; ++i)
            burst += peer.frame(0, QStringLiteral("run %1 message %2").arg(run).arg(i).toLatin1());
        flood(peer, burst,
              [&] { return received->text() == last && log->document()->lastBlock().text() == "PLC: " + last; },
              scriptStalls, scriptDrains);
    }
    for (int run = 0; run < runs; ++run) {
        clearChat->click();
        peer.acks = 0;
        QByteArray burst;
        for (int i = 0; i < chatBurst; ++i)
            burst += peer.frame(2, QStringLiteral("chat %1, see http://example.org/%1").arg(i).toUtf8());
        flood(peer, burst, [&] { return chat->count() == chatBurst && peer.acks == chatBurst; }, chatStalls,
              chatDrains);
    }


    std::printf("%d runs\n", runs);
    report("10,000 script messages: longest stall", scriptStalls, stallGoalMs);
    report("10,000 script messages: drained", scriptDrains, 1000.0);
    report("5,000 chat messages: longest stall", chatStalls, stallGoalMs);
    report("5,000 chat messages: drained, all acknowledged", chatDrains, 5000.0);
    std::printf("100,000 chat messages: resident memory %ld MB before, %ld MB after, %d bubbles kept, "
                "drained in %.0f ms\n",
                before / 1024, after / 1024, kept, floodMs);
    return 0;
}
