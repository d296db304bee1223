// A running pollData() ends when its transport is closed or deleted, by
// whatever runs inside the wait (the owner's Disconnect action, its "device
// stops answering" timer), on every transport.
#include "memory_hid_proxy.h"
#include "pty_pair.h"
#include "temp_settings.h"
#include "zuhal_hid.h"
#include "zuhal_tcp.h"
#include "zuhal_uart.h"
#include "zuhal_udp.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpServer>
#include <QtTest>

#include <memory>

class PollCloseTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void closeEndsPoll_data();
    void closeEndsPoll();

private:
    // A transport of that kind, open on a device the test plays.
    ZuHalAbstractMessenger *openTransport(const QString &kind);

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ListedPty> m_pty;
    std::unique_ptr<QTcpServer> m_server;
};

void PollCloseTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    // The UDP transport binds its mesh port; any free one serves here.
    m_settings->set(QStringLiteral("RemoteUDP/MeshPort"), 0);
    ZuHalHidMessenger::setProxyFactory([](QObject *parent) { return new MemoryHidProxy(parent); });
}

void PollCloseTest::cleanup()
{
    ZuHalHidMessenger::setProxyFactory({});
    m_server.reset();
    m_pty.reset();
    m_settings.reset();
}

ZuHalAbstractMessenger *PollCloseTest::openTransport(const QString &kind)
{
    if (kind == "HID") {
        auto *transport = new ZuHalHidMessenger;
        if (transport->open(QStringLiteral("0483:a26a:0042")))
            transport->setPollTime(5);
        return transport;
    }
    if (kind == "serial") {
        m_pty = std::make_unique<ListedPty>();
        auto *transport = new ZuHalUartMessenger;
        transport->open(m_pty->path());
        return transport;
    }
    if (kind == "TCP") {
        m_server = std::make_unique<QTcpServer>();
        auto *transport = new ZuHalTCPMessenger;
        if (m_server->listen(QHostAddress::LocalHost, 0)
            && transport->open(QStringLiteral("127.0.0.1:%1").arg(m_server->serverPort()))) {
            m_server->waitForNewConnection(5000);
            QElapsedTimer clock;
            clock.start();
            while (!transport->isOpen() && clock.elapsed() < 5000)
                QTest::qWait(5);
        }
        return transport;
    }
    auto *transport = new ZuHalUDPMessenger;
    transport->open(QStringLiteral("127.0.0.1:9"));
    return transport;
}

void PollCloseTest::closeEndsPoll_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("deleteIt");

    for (const char *kind : {"HID", "serial", "TCP", "UDP"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, close()").arg(kind))) << kind << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, delete").arg(kind))) << kind << true;
    }
}

void PollCloseTest::closeEndsPoll()
{
    QFETCH(QString, kind);
    QFETCH(bool, deleteIt);
    QPointer<ZuHalAbstractMessenger> transport = openTransport(kind);
    QVERIFY(transport->isOpen());

    QElapsedTimer sinceClose;
    QTimer::singleShot(20, this, [&] {
        sinceClose.start();
        if (deleteIt)
            delete transport.data();
        else
            transport->close();
    });
    QVERIFY(!transport->pollData(0));
    QVERIFY(sinceClose.isValid());
    // The wait ends at the close; the bound is generous for a loaded machine.
    QVERIFY2(sinceClose.elapsed() < 1000, qPrintable(QString::number(sinceClose.elapsed())));
    if (deleteIt) {
        QVERIFY(transport.isNull());
    } else {
        QVERIFY(!transport->isOpen());
        delete transport.data();
    }
}

QTEST_GUILESS_MAIN(PollCloseTest)
#include "poll_close_test.moc"
