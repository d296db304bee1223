// The main window connecting to the local emulator end to end: Connect,
// the emulator's entry of the selection dialog, a halvane-kdb child
// listening on "RemoteTCP/EMUPort", the first request answered from the
// emulator's address, disconnecting, connecting again to the running child,
// and closing the window, which ends the child. Keeps the picture
// artefacts/connected_to_emulator.png for a person to look at.

#include "zurovurazev.h"

#include "connectionwidget.h"
#include "emulator_entry.h"
#include "free_port.h"
#include "ide_resources.h"
#include "kolmlocaldebugger.h"
#include "modal_driver.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "zuhal_messenger.h"
#include "zuhal_packet.h"

#include <QDir>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTcpServer>
#include <QTest>

#include <csignal>
#include <memory>

namespace {

// One MC reply as the dispatcher handed it to its handler.
struct Dispatched
{
    quint16 source;
    QByteArray payload;
    int state;
};

} // namespace

class ZuROVUrazevConnectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectToEmulator();
    void emulatorPortTaken();

private:
    // Answers the selection dialog with the emulator's entry, found by its
    // identifier on the entry's first line; records the entry's address.
    qint64 childPid() const { return m_window->localDebugger->process()->processId(); }

    std::unique_ptr<TempSettings> m_settings;
    QPointer<ZuROVUrazev> m_window;
    int m_port = 0;
    QString m_pickedAddress;
};

void ZuROVUrazevConnectTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevConnectTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_port = freePort();
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), m_port);
    m_pickedAddress.clear();
    m_window = new ZuROVUrazev;
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void ZuROVUrazevConnectTest::cleanup()
{
    delete m_window;
    m_settings.reset();
}

void ZuROVUrazevConnectTest::connectToEmulator()
{
    QList<Dispatched> dispatched;
    m_window->m_mcReplyObserver = [&](const ZuHalPacket &packet) {
        dispatched.append({packet.source(), packet.data(), int(m_window->state)});
    };
    ModalDriver modal;
    modal.passOver(isProgressDialog);
    modal.then(pickEmulatorEntry(&m_pickedAddress));
    m_window->ui->actionConnect->trigger();
    QCOMPARE(m_pickedAddress, QStringLiteral("127.0.0.1:%1").arg(m_port));
    QCOMPARE(m_window->localDebugger->process()->state(), QProcess::Running);
    const qint64 pid = childPid();
    QVERIFY(m_window->messenger);
    QCOMPARE(m_window->messenger->toString(), QStringLiteral("127.0.0.1:%1").arg(m_port));

    // The emulator answers 1/0 with its own address, from that address; the
    // reply reaches the handler of command 1 while the address is asked.
    QTRY_VERIFY_WITH_TIMEOUT(!dispatched.isEmpty(), 10000);
    const Dispatched &first = dispatched.first();
    QCOMPARE(first.state, int(ZuROVUrazev::CS_GET_ADDR));
    QCOMPARE(first.payload.size(), 5);
    QCOMPARE(first.payload.left(3), QByteArray("\x01\x00\x00", 3));
    const quint16 emulatorAddress = quint16(uchar(first.payload[3]) | uchar(first.payload[4]) << 8);
    QCOMPARE(first.source, emulatorAddress);
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Connected"));
    QCOMPARE(m_window->ui->actionConnect->toolTip(), QStringLiteral("Disconnect"));

    QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR));
    QVERIFY(m_window->grab().save(QStringLiteral(KOLM_SCREENSHOT_DIR "/connected_to_emulator.png")));

    // Connect again disconnects; no time-out of the cut chain follows.
    m_window->ui->actionConnect->trigger();
    QVERIFY(!m_window->messenger);
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Not connected"));
    const int boxes = modal.seen().size();
    QTest::qWait(6000);
    QCOMPARE(modal.seen().size(), boxes);
    QVERIFY(m_window->statusBar()->currentMessage().isEmpty());

    // The emulator still runs: choosing it again starts no second one.
    dispatched.clear();
    modal.then(pickEmulatorEntry(&m_pickedAddress));
    m_window->ui->actionConnect->trigger();
    QVERIFY(m_window->messenger);
    QCOMPARE(childPid(), pid);
    QTRY_VERIFY_WITH_TIMEOUT(!dispatched.isEmpty(), 10000);
    QCOMPARE(dispatched.first().source, emulatorAddress);

    // Closing the window ends the child (its last error line, the return
    // value, is no failure).
    QElapsedTimer closing;
    closing.start();
    QVERIFY(m_window->close());
    QTRY_COMPARE_WITH_TIMEOUT(m_window->localDebugger->process()->state(), QProcess::NotRunning, 2000);
    QVERIFY2(closing.elapsed() < 2000, qPrintable(QString::number(closing.elapsed())));
    QVERIFY(!m_window->messenger);
    QVERIFY(::kill(pid_t(pid), 0) != 0);
}

void ZuROVUrazevConnectTest::emulatorPortTaken()
{
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost));
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), taken.serverPort());
    ModalDriver modal;
    modal.passOver(isProgressDialog);
    modal.then(pickEmulatorEntry(&m_pickedAddress)).press(QMessageBox::Ok);
    m_window->ui->actionConnect->trigger();
    QCOMPARE(m_pickedAddress, QStringLiteral("127.0.0.1:%1").arg(taken.serverPort()));
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen().at(1).title, QStringLiteral("Emulator"));
    QCOMPARE(modal.seen().at(1).text, QStringLiteral("There was a problem starting the emulator process."));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Emulator process failure"));
    QVERIFY(!m_window->messenger);
    QCOMPARE(m_window->localDebugger->process()->state(), QProcess::NotRunning);
}

QTEST_MAIN(ZuROVUrazevConnectTest)
#include "zurovurazev_emulator_connect_test.moc"
