// Connecting the main window to a device through the Connect and Remote
// actions, with the fake transport standing in for the chosen entry: the
// entry used last time preselected, the transport's open and its progress
// dialog, the settling time and the first request (under reset after an
// unanswered halt), the status that waits for the device's first answer,
// remote device discovery, and a close or a delete of the window inside
// every wait.

#include "zurovurazev.h"

#include "connectionwidget.h"
#include "fake_messenger.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "zuhal_packet.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QListWidget>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>

#include <functional>
#include <memory>

// Ping answers: source address and text.
using Answers = QList<QPair<int, QString>>;
Q_DECLARE_METATYPE(Answers)

namespace {

// The window with the test's transport for the chosen entry.
class FakeTransportWindow : public ZuROVUrazev {
public:
    // Makes the transport for a type number; none falls back to the
    // window's own.
    std::function<ZuHalAbstractMessenger *(int type)> make;
    QList<int> created;

protected:
    ZuHalAbstractMessenger *createTransport(int type) override
    {
        created.append(type);
        if (make)
            if (ZuHalAbstractMessenger *transport = make(type))
                return transport;
        return ZuROVUrazev::createTransport(type);
    }
};

const QString fakeAddress = QStringLiteral("fake-dev");

// Answers the selection dialog: adds an entry of the type and picks it.
ModalDriver::Answer pick(int type, bool reset = false)
{
    return [type, reset](QWidget *window) {
        auto *dialog = qobject_cast<ConnectionWidget *>(window);
        if (!dialog)
            return void(window->close());
        dialog->appendDevices(type, {ZuHalDevice{fakeAddress, QStringLiteral("Maker"), QStringLiteral("Fake"),
                                                 QStringLiteral("FAKE-1")}});
        auto *list = dialog->findChild<QListWidget *>(QStringLiteral("deviceList"));
        list->setCurrentRow(list->count() - 1);
        dialog->findChild<QCheckBox *>(QStringLiteral("vmHaltCheck"))->setChecked(reset);
        dialog->accept();
    };
}

// A progress dialog goes by itself once the link is up.
bool isProgress(QWidget *window)
{
    return qobject_cast<QProgressDialog *>(window) != nullptr;
}

bool isRequest(const ZuHalPacket &packet, quint8 cmd, quint16 sub)
{
    return packet.dstPort() == 1 && packet.data() == FakeMessenger::mcPayload(cmd, sub);
}

} // namespace

class ZuROVUrazevConnectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectChosenEntry_data();
    void connectChosenEntry();
    void selectionStartsFromLastEntry_data();
    void selectionStartsFromLastEntry();
    void selectionCancelled();
    void linkNotUp_data();
    void linkNotUp();
    void unknownType();
    void connectWhileConnectedDisconnects();
    void addressTimeoutDisconnects();
    void disconnectShowsNoLaterBox_data();
    void disconnectShowsNoLaterBox();
    void discovery_data();
    void discovery();
    void windowGoesInsideWait_data();
    void windowGoesInsideWait();

private:
    FakeTransportWindow *window() { return static_cast<FakeTransportWindow *>(m_window.data()); }
    // The window's transport for type 0 is a fake of the given kind.
    QPointer<FakeMessenger> fakeFor(const QString &transport, FakeMessenger::OnOpen onOpen);
    FakeMessenger *attach(quint16 address, quint16 local);
    QString logText();
    // Deletes or closes the window from inside a wait.
    void goAway(bool deleteIt);

    std::unique_ptr<TempSettings> m_settings;
    QPointer<ZuROVUrazev> m_window;
    QList<QPointer<FakeMessenger>> m_unclaimed;
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
    // No serial port or emulator entry: the list holds the test's entry.
    m_settings->set(QStringLiteral("RemoteTCP/EMUEnabled"), false);
    m_window = new FakeTransportWindow;
    // The window hides Remote; a hidden action reports itself disabled.
    m_window->ui->actionRemote->setVisible(true);
    QVERIFY(m_window->ui->actionRemote->isEnabled());
}

void ZuROVUrazevConnectTest::cleanup()
{
    delete m_window;
    for (const QPointer<FakeMessenger> &fake : qAsConst(m_unclaimed))
        delete fake.data();
    m_unclaimed.clear();
    m_settings.reset();
}

QPointer<FakeMessenger> ZuROVUrazevConnectTest::fakeFor(const QString &transport, FakeMessenger::OnOpen onOpen)
{
    auto *fake = new FakeMessenger(transport);
    fake->setOnOpen(onOpen);
    // The window takes it once it asks; otherwise it goes with the test.
    m_unclaimed.append(fake);
    window()->make = [fake](int type) -> ZuHalAbstractMessenger * { return type == 0 ? fake : nullptr; };
    return fake;
}

FakeMessenger *ZuROVUrazevConnectTest::attach(quint16 address, quint16 local)
{
    FakeMessenger *fake = FakeMessenger::openLink(QStringLiteral("usb"), m_window);
    m_window->attachTransport(fake, address, local);
    return fake;
}

QString ZuROVUrazevConnectTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

void ZuROVUrazevConnectTest::goAway(bool deleteIt)
{
    if (deleteIt)
        delete m_window;
    else
        m_window->close();
}

void ZuROVUrazevConnectTest::connectChosenEntry_data()
{
    QTest::addColumn<QString>("transport");
    QTest::addColumn<bool>("reset");
    QTest::addColumn<bool>("remote");
    QTest::newRow("USB") << QStringLiteral("usb") << false << false;
    QTest::newRow("USB under reset") << QStringLiteral("usb") << true << false;
    QTest::newRow("network through Remote") << QStringLiteral("network") << false << true;
}

void ZuROVUrazevConnectTest::connectChosenEntry()
{
    QFETCH(QString, transport);
    QFETCH(bool, reset);
    QFETCH(bool, remote);
    QPointer<FakeMessenger> fake = fakeFor(transport, FakeMessenger::OnOpen::Connect);
    ModalDriver modal;
    modal.passOver(isProgress);
    modal.then(pick(0, reset));
    (remote ? m_window->ui->actionRemote : m_window->ui->actionConnect)->trigger();
    QElapsedTimer settling;
    settling.start();

    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Device Selection"));
    QVERIFY(fake);
    QCOMPARE(m_window->messenger, fake.data());
    QCOMPARE(fake->parent(), m_window.data());
    QCOMPARE(fake->openedAddress(), fakeAddress);
    QCOMPARE(fake->pollTime(), 100);
    QCOMPARE(m_window->device.info, QStringLiteral("Connected to <b>fake-dev</b><br><br>"));
    QCOMPARE(m_window->device.address, quint16(0xFFFF));
    QCOMPARE(m_window->dfuTransport(), transport);
    QCOMPARE(m_window->dfuProduct(), transport == QLatin1String("usb") ? QStringLiteral("Pellam DFU") : QString());
    QVERIFY(!m_window->ui->progressBar->isHidden());
    QCOMPARE(m_window->ui->progressBar->format(), QStringLiteral("Device info query"));
    QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_IDLE));
    // Under reset the halt goes first and no answer is awaited.
    QCOMPARE(fake->sent().size(), reset ? 1 : 0);
    if (reset)
        QVERIFY(isRequest(fake->sent().first(), 0x23, 0));
    QVERIFY(!m_window->msgTimer.isActive());
    QCOMPARE(m_window->m_settleTimer.interval(), reset ? 1000 : 400);
    QVERIFY(m_window->m_settleTimer.isActive());

    QTRY_COMPARE_WITH_TIMEOUT(fake->sent().size(), reset ? 2 : 1, 10000);
    // Qt's coarse timers may fire up to 5 % early.
    QVERIFY2(settling.elapsed() >= (reset ? 950 : 380), qPrintable(QString::number(settling.elapsed())));
    const ZuHalPacket &first = fake->sent().last();
    QVERIFY(isRequest(first, 0x01, 0));
    QCOMPARE(first.destination(), quint16(0xFFFF));
    QCOMPARE(first.source(), quint16(0xFFFF));
    QCOMPARE(int(m_window->state), int(remote ? ZuROVUrazev::CS_GET_RELAY : ZuROVUrazev::CS_GET_ADDR));
    QCOMPARE(m_window->relayConnect, remote);
    QVERIFY(logText().contains(remote ? QStringLiteral("Query the relay device")
                                      : QStringLiteral("Get the device address")));
    QVERIFY(m_window->msgTimer.isActive());
    // A link with nothing behind it does not read as connected: the
    // device's first answer makes it so.
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Waiting for the device"));
    QCOMPARE(m_window->ui->actionConnect->toolTip(), QStringLiteral("Disconnect"));
    QVERIFY(!m_window->ui->actionRemote->isEnabled());
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(fake->inject(FakeMessenger::mcReply(0x01, 0, QByteArray("\x42\x00", 2), 0x0042)));
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Connected"));
    // The entry is the one the next selection starts from.
    QCOMPARE(QSettings().value(QStringLiteral("Connection/LastType")).toInt(), 0);
    QCOMPARE(QSettings().value(QStringLiteral("Connection/LastDevice")).toString(), fakeAddress);
}

// The selection starts from the entry used last time, not from the first
// entry of the list.
void ZuROVUrazevConnectTest::selectionStartsFromLastEntry_data()
{
    QTest::addColumn<QVariant>("lastType");
    QTest::addColumn<QString>("lastDevice");
    QTest::addColumn<QString>("current");
    const QString emulator = QStringLiteral("127.0.0.1:5542");
    QTest::newRow("the emulator") << QVariant(2) << emulator << emulator;
    QTest::newRow("never connected") << QVariant() << QString() << QString();
    QTest::newRow("last entry gone") << QVariant(1) << QStringLiteral("/dev/ttyUSB7") << QString();
}

void ZuROVUrazevConnectTest::selectionStartsFromLastEntry()
{
    QFETCH(QVariant, lastType);
    QFETCH(QString, lastDevice);
    QFETCH(QString, current);
    m_settings->set(QStringLiteral("RemoteTCP/EMUEnabled"), true);
    m_settings->set(QStringLiteral("RemoteTCP/EMUPort"), 5542);
    if (lastType.isValid()) {
        m_settings->set(QStringLiteral("Connection/LastType"), lastType);
        m_settings->set(QStringLiteral("Connection/LastDevice"), lastDevice);
    }
    m_window->show();
    QString seen = QStringLiteral("not seen");
    ModalDriver modal;
    modal.then([&seen](QWidget *window) {
        auto *dialog = qobject_cast<ConnectionWidget *>(window);
        if (!dialog)
            return void(window->close());
        // The list takes its focus with the activation.
        if (QTest::qWaitForWindowActive(dialog))
            seen = dialog->selectedDevice();
        dialog->reject();
    });
    m_window->ui->actionConnect->trigger();
    QCOMPARE(seen, current);
    QVERIFY(!m_window->messenger);
}

void ZuROVUrazevConnectTest::selectionCancelled()
{
    ModalDriver modal;
    modal.cancel();
    m_window->ui->actionConnect->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(window()->created.isEmpty());
    QVERIFY(!m_window->messenger);
    QVERIFY(m_window->statusBar()->currentMessage().isEmpty());
}

void ZuROVUrazevConnectTest::linkNotUp_data()
{
    QTest::addColumn<int>("onOpen");
    QTest::addColumn<QString>("how");
    QTest::newRow("open refused") << int(FakeMessenger::OnOpen::Refuse) << QString();
    QTest::newRow("progress cancelled") << int(FakeMessenger::OnOpen::Stall) << QStringLiteral("cancel");
    QTest::newRow("progress dismissed by Escape") << int(FakeMessenger::OnOpen::Stall) << QStringLiteral("escape");
}

void ZuROVUrazevConnectTest::linkNotUp()
{
    QFETCH(int, onOpen);
    QFETCH(QString, how);
    QPointer<FakeMessenger> fake = fakeFor(QStringLiteral("usb"), FakeMessenger::OnOpen(onOpen));
    ModalDriver modal;
    modal.then(pick(0));
    QString label;
    if (!how.isEmpty()) {
        modal.then([&](QWidget *w) {
            auto *progress = qobject_cast<QProgressDialog *>(w);
            if (!progress)
                return void(w->close());
            label = progress->labelText();
            if (how == QLatin1String("cancel"))
                progress->findChild<QPushButton *>()->click();
            else
                QTest::keyClick(progress, Qt::Key_Escape);
        });
    }
    m_window->ui->actionConnect->trigger();
    QCOMPARE(modal.seen().size(), how.isEmpty() ? 1 : 2);
    QCOMPARE(modal.unanswered(), 0);
    if (!how.isEmpty())
        QCOMPARE(label, QStringLiteral("Connecting to fake-dev"));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Connection failed"));
    QVERIFY(!m_window->messenger);
    QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 5000);
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Not connected"));
    QVERIFY(!m_window->findChild<QProgressDialog *>());
}

void ZuROVUrazevConnectTest::unknownType()
{
    ModalDriver modal;
    modal.then(pick(7));
    m_window->ui->actionConnect->trigger();
    QCOMPARE(window()->created, QList<int>{7});
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Unknown device"));
    QVERIFY(!m_window->messenger);
    QVERIFY(!m_window->msgTimer.isActive());
}

void ZuROVUrazevConnectTest::connectWhileConnectedDisconnects()
{
    QPointer<FakeMessenger> fake = fakeFor(QStringLiteral("usb"), FakeMessenger::OnOpen::Connect);
    ModalDriver modal;
    modal.passOver(isProgress);
    modal.then(pick(0));
    m_window->ui->actionConnect->trigger();
    QCOMPARE(m_window->messenger, fake.data());
    m_window->ui->actionConnect->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(!m_window->messenger);
    QCOMPARE(fake->closeCount(), 1);
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Not connected"));
    QCOMPARE(m_window->ui->actionConnect->toolTip(), QStringLiteral("Connect"));
    QVERIFY(m_window->ui->actionRemote->isEnabled());
    // Nor does the first request follow after the settling time.
    QTest::qWait(600);
    QVERIFY(fake.isNull());
    QCOMPARE(modal.seen().size(), 1);
}

void ZuROVUrazevConnectTest::addressTimeoutDisconnects()
{
    QPointer<FakeMessenger> fake = fakeFor(QStringLiteral("usb"), FakeMessenger::OnOpen::Connect);
    m_window->msgTimer.setInterval(100);
    ModalDriver modal;
    modal.passOver(isProgress);
    modal.then(pick(0)).press(QMessageBox::Ok);
    m_window->ui->actionConnect->trigger();
    QVERIFY(modal.waitSeen(2, 10000));
    QCOMPARE(modal.seen().at(1).title, QStringLiteral("Communication Failure"));
    QCOMPARE(modal.seen().at(1).text, QStringLiteral("MC did not respond to an address request.\nAborting connection..."));
    QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 10000);
    QVERIFY(!m_window->messenger);
    // The queued Connect only disconnects: no new selection dialog.
    QTest::qWait(300);
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Not connected"));
}

void ZuROVUrazevConnectTest::disconnectShowsNoLaterBox_data()
{
    QTest::addColumn<QString>("when");
    QTest::newRow("while settling") << QStringLiteral("settling");
    QTest::newRow("during the address query") << QStringLiteral("address");
    QTest::newRow("during discovery") << QStringLiteral("discovery");
}

void ZuROVUrazevConnectTest::disconnectShowsNoLaterBox()
{
    QFETCH(QString, when);
    QPointer<FakeMessenger> fake = fakeFor(QStringLiteral("usb"), FakeMessenger::OnOpen::Connect);
    m_window->msgTimer.setInterval(100);
    ModalDriver modal;
    modal.passOver(isProgress);
    modal.then(pick(0));
    m_window->ui->actionConnect->trigger();
    QVERIFY(fake);
    if (when != QLatin1String("settling"))
        QTRY_COMPARE_WITH_TIMEOUT(int(m_window->state), int(ZuROVUrazev::CS_GET_ADDR), 10000);
    if (when == QLatin1String("discovery")) {
        m_window->state = ZuROVUrazev::CS_DEV_PING;
        m_window->pingTimer.start(100);
        m_window->ping_start();
    }
    fake->close();
    QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 10000);
    QTest::qWait(1500);
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(!m_window->messenger);
    QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_IDLE));
    QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Not connected"));
}

void ZuROVUrazevConnectTest::discovery_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QString>("choice");
    QTest::addColumn<int>("chosenAddress");
    QTest::addColumn<QString>("boxText");
    const Answers two{{0x00A1, QStringLiteral("PLC-A")}, {0xFFFF, QStringLiteral("GW")}};
    QTest::newRow("remote device chosen") << two << QStringLiteral("00A1h: PLC-A") << 0x00A1 << QString();
    QTest::newRow("broadcast answer chosen") << two << QStringLiteral("bcst: GW") << 0xFFFF << QString();
    QTest::newRow("choice cancelled") << two << QString() << -1 << QStringLiteral("Remote connection aborted.");
    QTest::newRow("no answers") << Answers() << QString() << -1
                                << QStringLiteral("No remote devices have been found.");
    QTest::newRow("capabilities request refused")
        << two << QStringLiteral("00A1h: PLC-A") << 0x00A1 << QStringLiteral("Cannot write configuration<br>Communication error");
}

void ZuROVUrazevConnectTest::discovery()
{
    QFETCH(Answers, answers);
    QFETCH(QString, choice);
    QFETCH(int, chosenAddress);
    QFETCH(QString, boxText);
    const bool refuse = boxText.startsWith(QLatin1String("Cannot write"));
    const quint16 relay = 0x0042;
    QPointer<FakeMessenger> fake = attach(0xFFFF, relay);
    fake->setResponder([answers, relay](const ZuHalPacket &sent) {
        QList<ZuHalPacket> replies;
        if (isRequest(sent, 0x01, 4))
            for (const auto &answer : answers)
                replies.append(FakeMessenger::mcReply(0x01, 4, answer.second.toLatin1(), quint16(answer.first), relay));
        return replies;
    });
    m_window->relayConnect = true;
    m_window->msgTimer.start();

    // As the relay handler starts it on "find".
    m_window->pingResults.clear();
    m_window->state = ZuROVUrazev::CS_DEV_PING;
    m_window->pingTimer.start(300);
    m_window->ping_start();

    QCOMPARE(fake->sent().size(), 1);
    const ZuHalPacket &ping = fake->sent().first();
    QCOMPARE(ping.data(), FakeMessenger::mcPayload(0x01, 4));
    QCOMPARE(ping.destination(), quint16(0xFFFF));
    QCOMPARE(ping.source(), relay);
    QCOMPARE(int(ping.dstPort()), 1);
    QCOMPARE(int(ping.srcPort()), 2);
    QVERIFY(!ping.isEncrypted());
    QVERIFY(!m_window->msgTimer.isActive());

    QStringList listed;
    QString label;
    ModalDriver modal;
    if (!answers.isEmpty()) {
        modal.then([&](QWidget *w) {
            auto *dialog = qobject_cast<QInputDialog *>(w);
            if (!dialog)
                return void(w->close());
            listed = dialog->comboBoxItems();
            label = dialog->labelText();
            if (refuse)
                fake->setRefuseSends(true);
            if (choice.isEmpty())
                return dialog->reject();
            dialog->setTextValue(choice);
            dialog->accept();
        });
    }
    if (!boxText.isEmpty())
        modal.press(QMessageBox::Ok);
    QVERIFY(modal.waitSeen((answers.isEmpty() ? 0 : 1) + (boxText.isEmpty() ? 0 : 1), 10000));
    QCOMPARE(modal.unanswered(), 0);

    if (!answers.isEmpty()) {
        QCOMPARE(modal.seen().first().title, QStringLiteral("Remote Access"));
        QCOMPARE(label, QStringLiteral("Select remote device:"));
        QCOMPARE(listed, (QStringList{QStringLiteral("00A1h: PLC-A"), QStringLiteral("bcst: GW")}));
    }
    if (!boxText.isEmpty())
        QCOMPARE(modal.seen().last().text, boxText);
    if (chosenAddress >= 0) {
        QCOMPARE(m_window->device.address, quint16(chosenAddress));
        QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_GET_INFO));
        QVERIFY(logText().contains(QStringLiteral("Requesting the device capabilities info")));
        QCOMPARE(m_window->messenger, fake.data());
    }
    if (chosenAddress >= 0 && !refuse) {
        QCOMPARE(fake->sent().size(), 2);
        const ZuHalPacket &capabilities = fake->sent().last();
        QVERIFY(isRequest(capabilities, 0x01, 3));
        QCOMPARE(capabilities.destination(), quint16(chosenAddress));
        QCOMPARE(capabilities.source(), chosenAddress == relay ? quint16(0xFFFF) : relay);
        QVERIFY(m_window->msgTimer.isActive());
    } else if (chosenAddress < 0) {
        QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 5000);
        QVERIFY(!m_window->messenger);
        QVERIFY(!m_window->relayConnect);
        QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_IDLE));
    }
}

void ZuROVUrazevConnectTest::windowGoesInsideWait_data()
{
    QTest::addColumn<QString>("wait");
    QTest::addColumn<bool>("deleteIt");
    for (const char *wait : {"selection", "progress", "no answers box", "device choice", "time-out box"}) {
        QTest::newRow(qPrintable(QStringLiteral("%1, closed").arg(QLatin1String(wait)))) << QString::fromLatin1(wait)
                                                                                        << false;
        QTest::newRow(qPrintable(QStringLiteral("%1, deleted").arg(QLatin1String(wait)))) << QString::fromLatin1(wait)
                                                                                         << true;
    }
}

void ZuROVUrazevConnectTest::windowGoesInsideWait()
{
    QFETCH(QString, wait);
    QFETCH(bool, deleteIt);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    ModalDriver modal;
    // Goes away, then answers the wait as a user would have.
    auto away = [&](QWidget *w) {
        QPointer<QWidget> waiting(w);
        goAway(deleteIt);
        if (!waiting)
            return;
        if (auto *input = qobject_cast<QInputDialog *>(w))
            return input->accept();
        if (auto *box = qobject_cast<QMessageBox *>(w))
            return box->button(QMessageBox::Ok)->click();
        if (auto *selection = qobject_cast<ConnectionWidget *>(w))
            return pick(0)(selection);
        static_cast<QDialog *>(w)->reject();
    };
    QPointer<FakeMessenger> fake;
    if (wait == QLatin1String("selection")) {
        fake = fakeFor(QStringLiteral("usb"), FakeMessenger::OnOpen::Connect);
        modal.then(away);
        m_window->ui->actionConnect->trigger();
        if (m_window)
            QVERIFY(window()->created.isEmpty());
    } else if (wait == QLatin1String("progress")) {
        fake = fakeFor(QStringLiteral("usb"), FakeMessenger::OnOpen::Stall);
        modal.then(pick(0)).then(away);
        m_window->ui->actionConnect->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 5000);
    } else {
        fake = attach(0xFFFF, 0x0042);
        modal.then(away);
        if (wait == QLatin1String("time-out box")) {
            m_window->state = ZuROVUrazev::CS_GET_INFO;
            m_window->msgTimer.setInterval(50);
            m_window->sendCfgPacket(0x01, 3, QByteArray(), false);
            QVERIFY(modal.waitSeen(1, 10000));
        } else {
            if (wait == QLatin1String("device choice"))
                m_window->pingResults.append(qMakePair(quint16(0x00A1), QStringLiteral("PLC")));
            m_window->state = ZuROVUrazev::CS_DEV_PING;
            m_window->ping_timeout();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_window || fake.isNull(), 5000);
    }
    QCOMPARE(modal.seen().size(), wait == QLatin1String("progress") ? 2 : 1);
    QCOMPARE(m_window.isNull(), deleteIt);
    // Nothing is sent after the wait.
    if (fake)
        QCOMPARE(fake->sent().size(), wait == QLatin1String("time-out box") ? 1 : 0);
    QTest::qWait(600);
    QCOMPARE(modal.seen().size(), wait == QLatin1String("progress") ? 2 : 1);
    if (m_window) {
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_window->messenger);
    }
}

QTEST_MAIN(ZuROVUrazevConnectTest)
#include "zurovurazev_connect_test.moc"
