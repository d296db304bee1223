// The main window's device information chain and configuration read,
// run against the simulated controller: the order of requests, the device
// record and description, the relay's remote device choice, replies of the
// wrong length or out of bounds, the configuration version check of an
// upload and the device clock. Every modal window a reply handler opens is
// also met with a lost link and a deleted window.

#include "zurovurazev.h"

#include "fake_messenger.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "qmaterialfont.h"
#include "sim_controller.h"
#include "sim_exchange.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "v1_cc1101_v1.h"
#include "zuhal_packet.h"
#include "zuplcconfigv1widget.h"
#include "zuplcconfigv2widget.h"

#include <QInputDialog>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QTest>
#include <QtEndian>

#include <memory>

class ZuROVUrazevChainTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void chain_data();
    void chain();
    void addressGuessed();
    void deviceRecord();
    void deviceTexts_data();
    void deviceTexts();
    void battery();
    void batteryReplaced();
    void relay_data();
    void relay();
    void faults_data();
    void faults();
    void repeatedBadReply_data();
    void repeatedBadReply();
    void configVersion_data();
    void configVersion();
    void lostInBox_data();
    void lostInBox();
    void clock_data();
    void clock();
    void clockMidUpload();
    void configWrite_data();
    void configWrite();
    void staleReplyBails();

private:
    // A fresh transport with the simulator behind it, attached as a
    // completed Connect leaves it: no address known yet.
    void connectSim();
    // The first request, sent by the connection after its wait.
    void startChain(bool relay = false);
    void settle() { settleExchange(m_fake); }
    QStringList requests() const { return requestTexts(m_fake); }
    QString logText();
    static ZuROVUrazev::Cfg_States idle() { return ZuROVUrazev::CS_IDLE; }

    std::unique_ptr<TempSettings> m_settings;
    QPointer<ZuROVUrazev> m_window;
    QPointer<FakeMessenger> m_fake;
    std::unique_ptr<SimController> m_sim;
};

void ZuROVUrazevChainTest::initTestCase()
{
    // The clock texts are local time.
    qputenv("TZ", "UTC");
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevChainTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_window = new ZuROVUrazev;
    m_window->readSettings();
    connectSim();
}

void ZuROVUrazevChainTest::cleanup()
{
    m_sim.reset();
    delete m_window;
    m_settings.reset();
}

void ZuROVUrazevChainTest::connectSim()
{
    m_sim.reset();
    m_fake = new FakeMessenger(QStringLiteral("usb"), m_window);
    m_fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    m_fake->open(QStringLiteral("sim"));
    m_fake->connectNow();
    m_sim = std::make_unique<SimController>(m_fake);
    m_window->attachTransport(m_fake, 0xFFFF, 0xFFFF);
}

void ZuROVUrazevChainTest::startChain(bool relay)
{
    // A fresh description, and a device state that only a failure or the
    // configuration sets.
    m_window->device.info = QStringLiteral("Connected to <b>sim</b><br><br>");
    m_window->device.state = ZuROVUrazev::DS_Messaging;
    m_window->relayConnect = relay;
    m_window->usb_post_connected();
}

QString ZuROVUrazevChainTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

// Each row: how the device differs from the simulator's radio controller
// at 0x0042 (16-byte version-1 block, 15-byte I/O hint), the requests the
// chain sends and the state it ends in.
void ZuROVUrazevChainTest::chain_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<int>("endState");
    const QStringList info{"1/0", "1/3", "1/6", "1/4", "1/7", "2/0", "2/15", "1/1", "1/2"};
    QTest::newRow("16-byte block in one reply") << "one" << info + QStringList{"3/0"} << int(idle());
    QTest::newRow("16-byte block in 10 + 6") << "ten" << info + QStringList{"3/0", "3/10"} << int(idle());
    QTest::newRow("no configuration") << "none" << info << int(idle());
    QTest::newRow("scripts, no configuration")
        << "scripts" << QStringList{"1/0", "1/3", "1/6", "1/4", "1/7", "2/0", "2/8", "1/1", "1/2", "20/1"}
        << int(ZuROVUrazev::CS_GET_ASM_INFO);
    QTest::newRow("scripts after the configuration")
        << "scripts+cfg" << QStringList{"1/0", "1/3", "1/6", "1/4", "1/7", "2/0", "2/8", "1/1", "1/2", "3/0", "20/1"}
        << int(ZuROVUrazev::CS_GET_ASM_INFO);
}

void ZuROVUrazevChainTest::chain()
{
    QFETCH(QString, device);
    QFETCH(QStringList, sent);
    QFETCH(int, endState);
    SimDevice &d = m_sim->attached();
    if (device == QLatin1String("ten"))
        d.readChunk = 10;
    if (device == QLatin1String("none"))
        d.config.clear();
    if (device.startsWith(QLatin1String("scripts"))) {
        d = SimDevice::scriptController(0x0042);
        if (device == QLatin1String("scripts"))
            d.config.clear();
        // The script information is another chain's.
        d.silent.insert({0x20, 1});
    }
    ModalDriver modal;
    if (device == QLatin1String("none"))
        modal.press(QMessageBox::Ok);
    startChain();
    settle();
    QCOMPARE(requests(), sent);
    QCOMPARE(int(m_window->state), endState);
    QCOMPARE(m_window->device.address, quint16(0x0042));
    QCOMPARE(m_window->device.localAddress, quint16(0x0042));
    QCOMPARE(m_window->device.config, d.config);
    QCOMPARE(m_window->device.configSize, quint32(d.config.size()));
    QCOMPARE(m_window->msgTimer.isActive(), endState != int(idle()));
    // Only a device without a configuration block is told about: taking an
    // empty block over warns.
    for (const ModalDriver::Seen &seen : modal.seen())
        QCOMPARE(seen.text, QStringLiteral("Cannot setup the current device - device config is missing/unknown"));
    QVERIFY(modal.seen().isEmpty() || device == QLatin1String("none"));
    const bool finished = endState == int(idle());
    QCOMPARE(logText().contains(QStringLiteral("Connected to 0042h")), finished);
    if (!d.config.isEmpty())
        QVERIFY(logText().contains(QStringLiteral("Received %1 bytes of config data from the device").arg(d.config.size())));
}

// A device that does not give its address is addressed by the packet's
// source.
void ZuROVUrazevChainTest::addressGuessed()
{
    m_sim->attached().address = 0x0012;
    m_sim->attached().replyOverride[{1, 0}] = QByteArray("abc");
    m_window->statusText->setText(QStringLiteral("Dev"));
    startChain();
    settle();
    QCOMPARE(m_window->device.address, quint16(0x0012));
    QVERIFY(m_window->device.info.contains(QStringLiteral("Device address: noneDevice connection")));
    QVERIFY(m_window->statusText->text().startsWith(QStringLiteral("Dev Address: ?")));
    QVERIFY(logText().contains(QStringLiteral("Device did not provide an address - guessing from the protocol")));
    QCOMPARE(requests().value(1), QStringLiteral("1/3"));
    QCOMPARE(m_fake->sent().value(1).destination(), quint16(0x0012));
    QCOMPARE(m_window->state, idle());
}

void ZuROVUrazevChainTest::deviceRecord()
{
    SimDevice &d = m_sim->attached();
    d.capabilities = 0x0000FFFF;
    d.configMax = 4096;
    d.silent.insert({0x20, 1});
    d.uuid = QByteArray::fromHex("4142010263");
    d.firmware = "<b>EMU-PLC</b> (Nov 24 2020) 0.1o";
    m_window->statusText->clear();
    startChain();
    settle();
    const ZuROVUrazev::Device &r = m_window->device;
    QCOMPARE(r.capabilities, quint32(0xFFFF));
    QCOMPARE(r.info.count(QStringLiteral("<li>")), 12);
    QVERIFY(!r.info.contains(QStringLiteral("Device supports USB mode switching</li><li>")));
    QVERIFY(r.info.contains(QStringLiteral("<li>868MHz radio module</li><li>Bluetooth module</li>")));
    QVERIFY(r.info.contains(QStringLiteral("Analog-to-digital converter</li><li>UART interface")));
    QVERIFY(r.info.contains(QStringLiteral("Device connection: Other<br>")));
    QVERIFY(r.info.contains(QStringLiteral("Device UUID: AB010263<br>")));
    QVERIFY(r.info.contains(QStringLiteral("<br>Firmware: &lt;b&gt;EMU-PLC&lt;/b&gt; (Nov 24 2020) 0.1o<br>")));
    QCOMPARE(r.firmware, QString::fromLatin1(d.firmware));
    QCOMPARE(r.kind, ZuROVUrazev::D_PLC);
    QVERIFY(m_window->ui->actionUSB_ModeSwitch->isEnabled());
    QCOMPARE(r.gpioMap.value(QStringLiteral("KEY")), QStringLiteral("PA1"));
    QVERIFY(m_window->statusText->text().contains(QStringLiteral(" Address: 0042h Battery: 87%")));
    QCOMPARE(r.scriptSpace, quint32(4096 - 16));
    // The script bit leads on to the script information.
    QCOMPARE(requests().last(), QStringLiteral("20/1"));

    // Without the switching bit the action is off.
    m_window->on_actionConnect_triggered();
    connectSim();
    m_sim->attached().capabilities = 0x0001;
    startChain();
    settle();
    QVERIFY(!m_window->ui->actionUSB_ModeSwitch->isEnabled());
    QCOMPARE(m_window->device.info.count(QStringLiteral("<li>")), 1);
}

void ZuROVUrazevChainTest::deviceTexts_data()
{
    QTest::addColumn<QByteArray>("firmware");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("uuid");
    QTest::addColumn<QString>("uuidLine");
    QTest::newRow("plc, printable then hex") << QByteArray("EMU-PLC (Nov 24 2020) 0.1o") << int(ZuROVUrazev::D_PLC)
                                             << QByteArray::fromHex("4142010263") << "Device UUID: AB010263<br>";
    QTest::newRow("gw and plc") << QByteArray("gw-Plc") << int(ZuROVUrazev::D_PLC) << QByteArray::fromHex("0041")
                                << "Device UUID: 0041<br>";
    QTest::newRow("gateway") << QByteArray("RF-GW 2") << int(ZuROVUrazev::D_GW) << QByteArray("<x>")
                             << "Device UUID: &lt;x&gt;<br>";
    QTest::newRow("neither, no uuid") << QByteArray("sensor") << int(ZuROVUrazev::D_Generic) << QByteArray()
                                      << QString();
    QTest::newRow("empty") << QByteArray() << int(ZuROVUrazev::D_Generic) << QByteArray() << QString();
}

void ZuROVUrazevChainTest::deviceTexts()
{
    QFETCH(QByteArray, firmware);
    QFETCH(int, kind);
    QFETCH(QByteArray, uuid);
    QFETCH(QString, uuidLine);
    m_sim->attached().firmware = firmware;
    m_sim->attached().uuid = uuid;
    startChain();
    settle();
    QCOMPARE(int(m_window->device.kind), kind);
    QCOMPARE(m_window->device.info.contains(QStringLiteral("Device UUID")), !uuidLine.isEmpty());
    if (!uuidLine.isEmpty())
        QVERIFY(m_window->device.info.contains(uuidLine));
}

// A battery byte is signed; while idle the reply only changes the label.
void ZuROVUrazevChainTest::battery()
{
    m_window->device.address = 0x0042;
    m_window->statusText->setText(QStringLiteral("Dev"));
    m_fake->inject(SimController::replyFrom(m_sim->attached(), 1, 7, QByteArray(1, '\xFF')));
    QCOMPARE(m_window->statusText->text(), QStringLiteral("Dev Battery: -1%"));
    QVERIFY(m_fake->sent().isEmpty());
    QCOMPARE(m_window->state, idle());
}

// A new charge replaces the one shown.
void ZuROVUrazevChainTest::batteryReplaced()
{
    m_window->device.address = 0x0042;
    m_window->statusText->setText(QStringLiteral("Address: 0042h"));
    for (char charge : {'\x64', '\x32'})
        m_fake->inject(SimController::replyFrom(m_sim->attached(), 1, 7, QByteArray(1, charge)));
    QCOMPARE(m_window->statusText->text(), QStringLiteral("Address: 0042h Battery: 50%"));
    QCOMPARE(m_window->statusText->text().count(QStringLiteral("Battery")), 1);
}

// Remote access: the local device at 0x0005 relays to 0x0012 and 0x0013.
// Each row: whether the local device has a radio, what the user does in
// each window that opens (a text typed in the address dialog, "cancel",
// "ok" in a box, "lose" or "delete" for a link lost or a window deleted
// while it is open), the windows met ("title: text" for boxes), the
// requests sent and whether the link stays.
void ZuROVUrazevChainTest::relay_data()
{
    QTest::addColumn<QByteArray>("capabilities");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("windows");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<bool>("linked");
    const QString dialog = QStringLiteral("Remote Access");
    const QString noRadio =
        QStringLiteral("Remote Access: Local device does not have a radio - remote access is not possible");
    const QStringList relayed{"1/0", "1/3"};
    // The local device's capabilities reply: with and without the radio.
    const QByteArray radio = QByteArray::fromHex("05110000");
    const QByteArray noRadioBits = QByteArray::fromHex("04110000");
    QTest::newRow("capabilities of 3 bytes")
        << QByteArray::fromHex("051100") << QStringList{"ok"}
        << QStringList{"Read from the Device: Cannot retrieve configuration<br>Device capabilities packet must contain "
                       "exactly 4 bytes"}
        << relayed << true;
    QTest::newRow("no radio") << noRadioBits << QStringList{"ok"} << QStringList{noRadio} << relayed << false;
    QTest::newRow("no radio, link lost in the box")
        << noRadioBits << QStringList{"lose"} << QStringList{noRadio} << relayed << false;
    QTest::newRow("address typed")
        << radio << QStringList{"0012h"} << QStringList{dialog}
        << relayed + QStringList{"1/3", "1/6", "1/4", "1/7", "2/0", "2/15", "1/1", "1/2", "3/0"} << true;
    QTest::newRow("invalid, then an address")
        << radio << QStringList{"zz", "ok", "0x13"}
        << QStringList{dialog, "Remote Access: Address zz is invalid", dialog} << relayed + QStringList{"1/3"} << true;
    QTest::newRow("invalid, link lost in the box")
        << radio << QStringList{"zz", "lose"} << QStringList{dialog, "Remote Access: Address zz is invalid"} << relayed
        << false;
    QTest::newRow("find") << radio << QStringList{"FIND"} << QStringList{dialog} << relayed + QStringList{"1/4"}
                          << true;
    QTest::newRow("cancelled")
        << radio << QStringList{"cancel", "ok"} << QStringList{dialog, "Remote Access: Remote access canceled"}
        << relayed << false;
    QTest::newRow("link lost in the dialog") << radio << QStringList{"lose"} << QStringList{dialog} << relayed << false;
    QTest::newRow("link lost in the cancel box")
        << radio << QStringList{"cancel", "lose"} << QStringList{dialog, "Remote Access: Remote access canceled"}
        << relayed << false;
    QTest::newRow("window closed in the dialog")
        << radio << QStringList{"close"} << QStringList{dialog} << relayed << false;
    QTest::newRow("window deleted in the dialog")
        << radio << QStringList{"delete"} << QStringList{dialog} << relayed << false;
    QTest::newRow("window deleted in a box")
        << radio << QStringList{"zz", "delete"} << QStringList{dialog, "Remote Access: Address zz is invalid"}
        << relayed << false;
}

void ZuROVUrazevChainTest::relay()
{
    QFETCH(QByteArray, capabilities);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, windows);
    QFETCH(QStringList, sent);
    QFETCH(bool, linked);
    SimDevice &local = m_sim->attached();
    local.address = 0x0005;
    local.replyOverride[{1, 3}] = capabilities;
    m_sim->addRemote(SimDevice::radioController(0x0012));
    // The second remote device takes the request for its capabilities
    // but does not answer it.
    m_sim->addRemote(SimDevice::scriptController(0x0013)).silent.insert({1, 3});

    ModalDriver modal;
    QStringList met;
    for (const QString &step : steps) {
        modal.then([this, step, &met](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            met << (box ? box->windowTitle() + QStringLiteral(": ") + box->text() : w->windowTitle());
            if (step == QLatin1String("delete")) {
                delete m_window;
                return;
            }
            if (step == QLatin1String("lose") || step == QLatin1String("close")) {
                if (step == QLatin1String("close"))
                    QVERIFY(m_window->close());
                else
                    m_fake->close();
                // The lost link is announced from the event loop, as a
                // real transport does, while the window is still open.
                QTest::qWait(20);
                QVERIFY(m_window && !m_window->messenger);
            }
            if (box) {
                box->button(QMessageBox::Ok)->click();
            } else if (auto *input = qobject_cast<QInputDialog *>(w)) {
                QCOMPARE(input->labelText(), QStringLiteral("Remote address (or \"find\"):"));
                QCOMPARE(input->textValue(), QStringLiteral("find"));
                if (step == QLatin1String("cancel") || step == QLatin1String("lose") || step == QLatin1String("close")) {
                    input->reject();
                } else {
                    input->setTextValue(step);
                    input->accept();
                }
            }
        });
    }
    m_window->statusText->clear();
    startChain(true);
    settle();
    QCOMPARE(met, windows);
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(modal.pending(), 0);
    if (!m_window) {
        QVERIFY(!m_fake);
        return;
    }
    if (m_fake)
        QCOMPARE(requests(), sent);
    QCOMPARE(m_window->messenger != nullptr, linked);
    QVERIFY(m_window->messenger == nullptr || m_window->messenger == m_fake);
    if (!linked) {
        QCOMPARE(m_window->state, idle());
        QVERIFY(!m_window->relayConnect);
        return;
    }
    QCOMPARE(m_window->device.localAddress, quint16(0x0005));
    if (capabilities.size() != 4) {
        // Reported; the chain stops, the link stays and waits for the user.
        QCOMPARE(m_window->state, idle());
        QVERIFY(!m_window->msgTimer.isActive());
        return;
    }
    // Every request after the local device's goes to the remote one, from
    // the local address.
    for (int i = 2; i < m_fake->sent().size(); ++i)
        QCOMPARE(m_fake->sent().at(i).source(), quint16(0x0005));
    if (steps.first() == QLatin1String("FIND")) {
        QCOMPARE(m_window->state, ZuROVUrazev::CS_DEV_PING);
        QVERIFY(m_window->pingTimer.isActive());
        QVERIFY(!m_window->msgTimer.isActive());
        QCOMPARE(m_window->ui->progressBar->format(), QStringLiteral("Querying remote devices..."));
        // The broadcast ping: both remote devices answer.
        QCOMPARE(m_fake->sent().last().destination(), quint16(0xFFFF));
        QCOMPARE(m_window->pingResults.size(), 2);
        QCOMPARE(m_window->pingResults.at(0).first, quint16(0x0012));
        QCOMPARE(m_window->pingResults.at(1).first, quint16(0x0013));
        QCOMPARE(m_window->pingResults.at(1).second, QStringLiteral("SIM-PLC script 1.0"));
        // When the search time is up they are offered; the first is taken.
        QStringList offered;
        modal.then([&offered](QWidget *w) {
            auto *input = qobject_cast<QInputDialog *>(w);
            QVERIFY(input);
            offered = input->comboBoxItems();
            input->accept();
        });
        m_window->pingTimer.stop();
        m_window->ping_timeout();
        settle();
        QCOMPARE(offered, (QStringList{"0012h: SIM-PLC radio 1.0", "0013h: SIM-PLC script 1.0"}));
        QCOMPARE(m_window->device.address, quint16(0x0012));
        QCOMPARE(m_window->state, idle());
        QCOMPARE(m_window->device.config, SimDevice::factoryV1());
        return;
    }
    const quint16 remote = m_fake->sent().at(2).destination();
    QVERIFY(remote == 0x0012 || remote == 0x0013);
    QCOMPARE(m_window->device.address, remote);
    if (remote == 0x0012) {
        QCOMPARE(m_window->state, idle());
        QCOMPARE(m_window->device.config, SimDevice::factoryV1());
        // The local device's capabilities are not the remote's.
        QCOMPARE(m_window->device.capabilities, m_sim->device(0x0012)->capabilities);
    } else {
        QCOMPARE(m_window->state, ZuROVUrazev::CS_GET_INFO);
    }
}

// Each row: a fault of the device, the box that reports it ("" for none),
// the requests that end the exchange and the state of the device record.
// After each the link is dropped and a sound device connects again.
void ZuROVUrazevChainTest::faults_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QStringList>("tail");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("invalid");
    const QString read = QStringLiteral("Read from the Device: Cannot retrieve configuration<br>");
    QTest::newRow("capabilities of 3 bytes")
        << "caps3" << read + "Device capabilities packet must contain exactly 4 bytes" << QStringList{"1/3"} << 2
        << false;
    QTest::newRow("configuration size of 5 bytes")
        << "size5" << read + "'Configuration size' packet must contain exactly 4 bytes" << QStringList{"1/1"} << 8
        << true;
    QTest::newRow("configuration size 65537")
        << "size65537" << read + "'Configuration size' must not exceed 65536 bytes" << QStringList{"1/1"} << 8
        << true;
    QTest::newRow("configuration maximum of 0 bytes")
        << "max0" << read + "'Configuration maximum size' packet must contain exactly 4 bytes" << QStringList{"1/2"}
        << 9 << true;
    QTest::newRow("battery of 2 bytes") << "battery2" << QString() << QStringList{"1/2", "3/0"} << 10 << false;
    QTest::newRow("empty read replies")
        << "read0" << read + "Device sent no configuration data" << QStringList{"3/0", "3/0", "3/0"} << 12 << true;
    QTest::newRow("read echoes offset 0 forever")
        << "echo0" << read + "Device sent no configuration data" << QStringList{"3/0", "3/10", "3/10", "3/10"} << 13
        << true;
    QTest::newRow("read reply beyond the block") << "extra" << QString() << QStringList{"3/0"} << 10 << false;
    QTest::newRow("largest block, 65536 bytes")
        << "max" << QString() << QStringList{"3/65000", "3/65200", "3/65400"} << 337 << false;
    QTest::newRow("I/O hint in 20 + 20 + 5")
        << "hint45" << QString() << QStringList{"2/0", "2/20", "2/40", "2/45", "1/1", "1/2", "3/0"} << 12 << false;
    QTest::newRow("I/O hint mis-echoed")
        << "hintEcho" << QString() << QStringList{"2/0", "2/0", "2/0", "1/1", "1/2", "3/0"} << 11 << false;
    QTest::newRow("I/O hint never ends")
        << "hintEndless" << QString() << QStringList{"2/65000", "2/65200", "2/65400", "1/1", "1/2", "3/0"} << 336
        << false;
}

void ZuROVUrazevChainTest::faults()
{
    QFETCH(QString, fault);
    QFETCH(QString, box);
    QFETCH(QStringList, tail);
    QFETCH(int, count);
    QFETCH(bool, invalid);
    SimDevice &d = m_sim->attached();
    if (fault == QLatin1String("caps3"))
        d.replyOverride[{1, 3}] = QByteArray(3, '\x01');
    if (fault == QLatin1String("size5"))
        d.replyOverride[{1, 1}] = QByteArray(5, '\0');
    if (fault == QLatin1String("size65537"))
        d.configSize = 65537;
    if (fault == QLatin1String("max0"))
        d.replyOverride[{1, 2}] = QByteArray();
    if (fault == QLatin1String("battery2"))
        d.replyOverride[{1, 7}] = QByteArray(2, '\x10');
    if (fault == QLatin1String("read0"))
        d.readChunk = 0;
    if (fault == QLatin1String("echo0")) {
        d.readChunk = 10;
        d.readEcho = 0;
    }
    if (fault == QLatin1String("extra"))
        d.readExtra = 40;
    if (fault == QLatin1String("max")) {
        d.config = QByteArray(65536, '\x5A');
        d.config.replace(0, 16, SimDevice::factoryV1());
        d.readChunk = 200;
    }
    if (fault == QLatin1String("hint45"))
        d.ioHint = QByteArray("PA0/LED;PA1/KEY;PA2/D2;PA3/D3;PA4/D4;PA5/D5") + QByteArray("\0x", 2);
    if (fault == QLatin1String("hintEcho"))
        d.ioHintEcho = 7;
    if (fault == QLatin1String("hintEndless")) {
        d.ioHintEndless = true;
        d.ioHintChunk = 200;
    }
    if (fault == QLatin1String("hint45"))
        d.ioHintChunk = 20;
    const QByteArray stored = d.config;

    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_window->statusText->clear();
    startChain();
    settle();
    const QStringList sent = requests();
    QCOMPARE(sent.size(), count);
    QCOMPARE(sent.mid(sent.size() - tail.size()), tail);
    QStringList met;
    for (const ModalDriver::Seen &s : modal.seen())
        met << s.title + QStringLiteral(": ") + s.text;
    QCOMPARE(met, box.isEmpty() ? QStringList() : QStringList{box});
    QVERIFY(!m_window->msgTimer.isActive());
    QCOMPARE(m_window->device.state == ZuROVUrazev::DS_Invalid, invalid);
    // Whether it ended or failed, the chain is idle.
    QCOMPARE(m_window->state, idle());
    QVERIFY(m_window->ui->progressBar->isHidden());
    if (box.isEmpty()) {
        QCOMPARE(m_window->device.config, stored.left(int(m_window->device.configSize)));
    }
    if (fault == QLatin1String("battery2"))
        QVERIFY(!m_window->statusText->text().contains(QStringLiteral("Battery")));
    if (fault == QLatin1String("hint45")) {
        QCOMPARE(m_window->device.ioHint.size(), 45);
        QCOMPARE(m_window->device.gpioMap.value(QStringLiteral("D5")), QStringLiteral("PA5"));
        QCOMPARE(m_window->device.gpioMap.size(), 6);
    }
    if (fault == QLatin1String("hintEcho"))
        QVERIFY(m_window->device.gpioMap.isEmpty());
    if (fault == QLatin1String("hintEndless"))
        QCOMPARE(m_window->device.ioHint.size(), 65600);

    // The window is usable again: drop the link and connect a sound device.
    m_window->on_actionConnect_triggered();
    QVERIFY(!m_window->messenger);
    connectSim();
    startChain();
    settle();
    QCOMPARE(m_window->state, idle());
    QCOMPARE(m_window->device.config, SimDevice::factoryV1());
    QCOMPARE(modal.seen().size(), met.size());
}

// The configuration version reply of an upload. Each row: the header the
// device reports, the editor on the Device page, whether the device runs
// scripts, the request that follows ("" for none), the block to write and
// the box shown.
// A chain step that fails stops the chain: the same bad reply twice more
// (a device that repeats it) is no second failure.
void ZuROVUrazevChainTest::repeatedBadReply_data()
{
    QTest::addColumn<quint16>("sub");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<bool>("invalid");
    QTest::newRow("capabilities of 3 bytes")
        << quint16(3) << QByteArray(3, '\x01') << "Device capabilities packet must contain exactly 4 bytes" << false;
    QTest::newRow("configuration size 0xFFFFFFFF")
        << quint16(1) << QByteArray(4, '\xFF') << "'Configuration size' must not exceed 65536 bytes" << true;
}

void ZuROVUrazevChainTest::repeatedBadReply()
{
    QFETCH(quint16, sub);
    QFETCH(QByteArray, reply);
    QFETCH(QString, detail);
    QFETCH(bool, invalid);
    m_sim->attached().replyOverride[{1, sub}] = reply;
    ModalDriver modal;
    modal.press(QMessageBox::Ok).press(QMessageBox::Ok).press(QMessageBox::Ok);
    startChain();
    settle();
    const int sent = requests().size();
    QCOMPARE(requests().last(), QStringLiteral("1/%1").arg(sub));
    for (int i = 0; i < 2; ++i)
        m_fake->inject(SimController::replyFrom(m_sim->attached(), 1, sub, reply));
    settle();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().text, QStringLiteral("Cannot retrieve configuration<br>") + detail);
    QCOMPARE(m_window->state, idle());
    QCOMPARE(requests().size(), sent);
    QVERIFY(!m_window->msgTimer.isActive());
    QCOMPARE(m_window->device.state == ZuROVUrazev::DS_Invalid, invalid);
}

void ZuROVUrazevChainTest::configVersion_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<bool>("scripts");
    QTest::addColumn<QString>("next");
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("box");
    const QByteArray v1 = QByteArray::fromHex("b1940000");
    // The editor's factory values, ASMBin = 1001 unpadded.
    const QByteArray v1Block = QByteArray::fromHex("b19400007662210025800100e9030000");
    QTest::newRow("version 1, v1 editor") << v1 << "v1" << false << "6/3" << v1Block << QString();
    QTest::newRow("version 1, scripts pad the image") << v1 << "v1" << true << "6/3" << v1Block << QString();
    QTest::newRow("version 2, v2 editor")
        << QByteArray::fromHex("92040000") << "v2" << true << "6/3" << QByteArray::fromHex("92040000e9030000")
        << QString();
    QTest::newRow("version 1, v2 editor") << v1 << "v2" << false << "" << QByteArray() << QString();
    QTest::newRow("version 1, no editor") << v1 << "none" << false << "" << QByteArray() << QString();
    QTest::newRow("version 3")
        << QByteArray::fromHex("b3140000") << "v1" << false << "" << QByteArray()
        << "Device Configuration: Cannot configure this device - device config version 3 is unknown";
    QTest::newRow("3 bytes") << QByteArray::fromHex("b11400") << "v1" << false << "" << QByteArray()
                             << "Write to the Device: Cannot write configuration<br>'Version' packet must contain "
                                "exactly 4 bytes";
}

void ZuROVUrazevChainTest::configVersion()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, editor);
    QFETCH(bool, scripts);
    QFETCH(QString, next);
    QFETCH(QByteArray, block);
    QFETCH(QString, box);
    ZuROVUrazev *w = m_window;
    if (editor == QLatin1String("v1")) {
        auto *e = new ZUPLCConfigV1Widget;
        CFG_V1::ZUC_RFPLCCONFIG factory;
        factory.init();
        e->parseConfig(factory);
        w->pushConfigWidget(e);
    } else if (editor == QLatin1String("v2")) {
        w->pushConfigWidget(new ZUPLCConfigV2Widget);
    }
    // As the upload action leaves it.
    w->device.address = 0x0042;
    w->device.localAddress = 0x0042;
    w->device.capabilities = scripts ? 0x0500 : 0x0100;
    w->device.state = ZuROVUrazev::DS_Config;
    w->device.image = QByteArray(1001, '\x11');
    w->device.imageSize = 0;
    w->state = ZuROVUrazev::CS_WRITE_PREP;
    w->postUpload = ZuROVUrazev::PU_Launch;
    m_fake->setPollTime(50);
    w->startProgressBar(QStringLiteral("Writing Configuration"));
    w->msgTimer.start();

    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_sim->attached().silent.insert({6, 3});
    m_fake->inject(SimController::replyFrom(m_sim->attached(), 1, 5, reply));
    QCOMPARE(requests(), next.isEmpty() ? QStringList() : QStringList{next});
    if (!next.isEmpty()) {
        QCOMPARE(w->device.config, block);
        QCOMPARE(w->state, ZuROVUrazev::CS_WRITE_PREP);
        QCOMPARE(w->ui->progressBar->format(), QStringLiteral("Erasing flash"));
        QCOMPARE(w->device.image.size(), scripts ? 1004 : 1001);
        QCOMPARE(w->device.imageSize, scripts ? 1004u : 0u);
        QVERIFY(logText().contains(QStringLiteral("The device uses the configuration version")));
        QVERIFY(modal.seen().isEmpty());
        return;
    }
    // The upload ends: idle, no follow-up, controls by the device state.
    if (!box.isEmpty())
        QVERIFY(modal.waitSeen(1));
    settle();
    if (!box.isEmpty())
        QCOMPARE(modal.seen().first().title + QStringLiteral(": ") + modal.seen().first().text, box);
    QCOMPARE(w->state, idle());
    QCOMPARE(w->postUpload, ZuROVUrazev::PU_NOP);
    QCOMPARE(m_fake->pollTime(), 500);
    QVERIFY(!w->msgTimer.isActive());
    QVERIFY(w->ui->progressBar->isHidden());
    QCOMPARE(w->device.state, box.isEmpty() ? ZuROVUrazev::DS_Config : ZuROVUrazev::DS_Invalid);
    if (box.contains(QLatin1String("version 3")))
        QCOMPARE(w->ui->stackedWidget->currentIndex(), int(ZuROVUrazev::T_Script));
}

// A link lost, or the window deleted, while a reply handler's box is open:
// nothing more is sent and nothing is touched. Each row: the fault that
// opens the box and what happens inside it.
void ZuROVUrazevChainTest::lostInBox_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("inside");
    for (const char *inside : {"lose", "close", "delete"}) {
        QTest::addRow("size error, %s", inside) << "size5" << inside;
        QTest::addRow("no configuration data, %s", inside) << "read0" << inside;
        QTest::addRow("capabilities error, %s", inside) << "caps3" << inside;
        QTest::addRow("unknown version, %s", inside) << "version3" << inside;
        QTest::addRow("version error, %s", inside) << "version3bytes" << inside;
    }
}

void ZuROVUrazevChainTest::lostInBox()
{
    QFETCH(QString, fault);
    QFETCH(QString, inside);
    SimDevice &d = m_sim->attached();
    if (fault == QLatin1String("size5"))
        d.replyOverride[{1, 1}] = QByteArray(5, '\0');
    if (fault == QLatin1String("read0"))
        d.readChunk = 0;
    if (fault == QLatin1String("caps3"))
        d.replyOverride[{1, 3}] = QByteArray(3, '\0');
    ModalDriver modal;
    modal.then([this, inside](QWidget *w) {
        if (inside == QLatin1String("delete")) {
            delete m_window;
            return;
        }
        if (inside == QLatin1String("close"))
            QVERIFY(m_window->close());
        else
            m_fake->close();
        QTest::qWait(20);
        qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click();
    });
    if (fault.startsWith(QLatin1String("version"))) {
        m_window->device.address = 0x0042;
        m_window->device.capabilities = 0x0100;
        m_window->state = ZuROVUrazev::CS_WRITE_PREP;
        m_fake->injectLater(SimController::replyFrom(
            d, 1, 5, fault == QLatin1String("version3") ? QByteArray::fromHex("b3140000") : QByteArray(3, '\0')));
    } else {
        startChain();
    }
    QVERIFY(modal.waitSeen(1));
    settle();
    // One box: no request was tried on the lost link (its failure would
    // have shown a second one).
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.pending(), 0);
    QCOMPARE(modal.unanswered(), 0);
    if (inside == QLatin1String("delete")) {
        QVERIFY(!m_window);
        QVERIFY(!m_fake);
        return;
    }
    QVERIFY(m_window);
    QVERIFY(!m_window->messenger);
    QCOMPARE(m_window->state, idle());
    QVERIFY(!m_window->msgTimer.isActive());
}

// Each row: the connection state, the clock reply's sub-command and data,
// the state afterwards and the log line ("" when the reply is refused).
void ZuROVUrazevChainTest::clock_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("sub");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("line");
    const int idleState = int(idle());
    const int asmInfo = int(ZuROVUrazev::CS_GET_ASM_INFO);
    const QByteArray y2021 = QByteArray::fromHex("0066ee5f");
    const QString synced = QStringLiteral("The device clock has been synchronized (time is %1)");
    const QString failed = QStringLiteral("Time synchronization failed - the device replied with an invalid packet");
    QTest::newRow("idle, 7/1") << idleState << 1 << y2021 << idleState << synced.arg("2021-01-01 00:00:00");
    QTest::newRow("idle, 7/0 of 0 seconds")
        << idleState << 0 << QByteArray(4, '\0') << idleState << synced.arg("1970-01-01 00:00:00");
    QTest::newRow("idle, 3 bytes") << idleState << 1 << QByteArray(3, '\0') << idleState << failed;
    QTest::newRow("end of the connection") << asmInfo << 1 << y2021 << idleState << synced.arg("2021-01-01 00:00:00");
    QTest::newRow("end of the connection, 5 bytes") << asmInfo << 1 << QByteArray(5, '\0') << idleState << failed;
    QTest::newRow("idle, 7/2 refused") << idleState << 2 << y2021 << idleState << QString();
    QTest::newRow("reading the configuration") << int(ZuROVUrazev::CS_GET_CFG) << 1 << y2021
                                               << int(ZuROVUrazev::CS_GET_CFG) << QString();
    QTest::newRow("device information") << int(ZuROVUrazev::CS_GET_INFO) << 1 << y2021
                                        << int(ZuROVUrazev::CS_GET_INFO) << QString();
}

void ZuROVUrazevChainTest::clock()
{
    QFETCH(int, state);
    QFETCH(int, sub);
    QFETCH(QByteArray, data);
    QFETCH(int, after);
    QFETCH(QString, line);
    m_window->device.address = 0x0042;
    m_window->state = ZuROVUrazev::Cfg_States(state);
    m_fake->setPollTime(50);
    m_window->msgTimer.start();
    m_fake->inject(SimController::replyFrom(m_sim->attached(), 7, quint16(sub), data));
    QCOMPARE(int(m_window->state), after);
    QVERIFY(m_fake->sent().isEmpty());
    const QString log = logText();
    if (line.isEmpty()) {
        QVERIFY(!log.contains(QStringLiteral("clock")));
        QVERIFY(!log.contains(QStringLiteral("Time synchronization")));
        QCOMPARE(m_fake->pollTime(), 500);
        QVERIFY(m_window->msgTimer.isActive());
    } else {
        QVERIFY2(log.contains(line), qPrintable(log));
        QVERIFY(!m_window->msgTimer.isActive());
    }
}

// A late clock reply in the middle of a configuration write changes
// nothing: the write goes on to its end.
void ZuROVUrazevChainTest::clockMidUpload()
{
    ZuROVUrazev *w = m_window;
    SimDevice &d = m_sim->attached();
    d.clock = 1609459200;
    w->device.address = 0x0042;
    w->device.localAddress = 0x0042;
    w->device.capabilities = d.capabilities;
    w->device.configSize = 16;
    w->device.config = QByteArray::fromHex("b1140000766221002580010000000000");
    w->device.config[2] = 0x34;
    w->state = ZuROVUrazev::CS_WRITE_PREP;
    bool late = false;
    m_sim->setRequestHook([this, &late](const ZuHalPacket &request) {
        if (request.data().startsWith(FakeMessenger::mcPayload(4, 0)) && !late) {
            late = true;
            m_fake->injectLater(SimController::replyFrom(m_sim->attached(), 7, 1, QByteArray::fromHex("0066ee5f")));
        }
    });
    QVERIFY(w->sendCfgPacket(6, 3, QByteArray(), false));
    settle();
    QVERIFY(late);
    QCOMPARE(requests(), (QStringList{"6/3", "4/0"}));
    QCOMPARE(w->state, idle());
    QCOMPARE(d.config, w->device.config);
    QCOMPARE(w->statusBar()->currentMessage(), QStringLiteral("Configuration successfully flashed"));
    QVERIFY(!logText().contains(QStringLiteral("clock")));
}

// The erase reply of an upload and the configuration writes that follow.
// Each row: the configuration size, the device's room for scripts and its
// script bit, the image, the requests sent after 6/3 and the state at the
// end.
void ZuROVUrazevChainTest::configWrite_data()
{
    QTest::addColumn<int>("configSize");
    QTest::addColumn<int>("scriptSpace");
    QTest::addColumn<bool>("scripts");
    QTest::addColumn<int>("image");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<int>("endState");
    const int idleState = int(idle());
    const int writingImage = int(ZuROVUrazev::CS_WRITE_ASM_BIN);
    QTest::newRow("16-byte block") << 16 << 0 << false << 0 << QStringList{"4/0"} << idleState;
    QTest::newRow("100-byte block in 48 + 48 + 4")
        << 100 << 0 << false << 0 << QStringList{"4/0", "4/48", "4/96"} << idleState;
    QTest::newRow("no script bit: image not written") << 16 << 100 << false << 8 << QStringList{"4/0"} << idleState;
    QTest::newRow("block, then the image") << 16 << 100 << true << 8 << QStringList{"4/0", "22/0"} << writingImage;
    QTest::newRow("no block, the image") << 0 << 100 << true << 8 << QStringList{"22/0"} << writingImage;
    QTest::newRow("no block, empty image") << 0 << 100 << true << 0 << QStringList() << idleState;
    QTest::newRow("nothing to write") << 0 << 0 << false << 0 << QStringList() << idleState;
}

void ZuROVUrazevChainTest::configWrite()
{
    QFETCH(int, configSize);
    QFETCH(int, scriptSpace);
    QFETCH(bool, scripts);
    QFETCH(int, image);
    QFETCH(QStringList, sent);
    QFETCH(int, endState);
    ZuROVUrazev *w = m_window;
    SimDevice &d = m_sim->attached();
    w->device.address = 0x0042;
    w->device.localAddress = 0x0042;
    w->device.capabilities = scripts ? 0x0500 : 0x0100;
    w->device.kind = ZuROVUrazev::D_PLC;
    w->device.state = ZuROVUrazev::DS_Messaging;
    w->device.configSize = quint32(configSize);
    w->device.scriptSpace = quint32(scriptSpace);
    QByteArray block(configSize, '\0');
    for (int i = 0; i < configSize; ++i)
        block[i] = char(i * 7 + 1);
    // As the configuration version reply leaves it.
    w->device.config = configSize ? block : QByteArray();
    w->device.image = QByteArray(image, '\x22');
    w->device.imageSize = quint32(image);
    w->state = ZuROVUrazev::CS_WRITE_PREP;
    w->ui->actionUpload->setEnabled(false);
    w->startProgressBar(QStringLiteral("Writing Configuration"));
    m_fake->setPollTime(50);
    // The image writes are another chain's.
    d.silent.insert({0x22, 0});
    ModalDriver modal;
    QVERIFY(w->sendCfgPacket(6, 3, QByteArray(), false));
    settle();
    QCOMPARE(requests(), QStringList{"6/3"} + sent);
    QCOMPARE(int(w->state), endState);
    QVERIFY(modal.seen().isEmpty());
    QVERIFY(logText().contains(QStringLiteral("The configuration data has been erased")));
    if (configSize) {
        QCOMPARE(d.config, block);
        QVERIFY(logText().contains(QStringLiteral("Configuration data has been written to the device")));
        for (const auto &write : d.configWrites)
            QVERIFY(write.second.size() <= 48);
    }
    if (endState == int(ZuROVUrazev::CS_WRITE_ASM_BIN)) {
        QCOMPARE(m_fake->sent().last().data(), FakeMessenger::mcPayload(0x22, 0, w->device.image));
        QVERIFY(w->msgTimer.isActive());
        QCOMPARE(w->ui->progressBar->format(), QStringLiteral("Writing script %p%"));
        return;
    }
    QVERIFY(!w->msgTimer.isActive());
    QVERIFY(w->ui->progressBar->isHidden());
    QCOMPARE(m_fake->pollTime(), 500);
    QCOMPARE(w->statusBar()->currentMessage() == QLatin1String("Configuration successfully flashed"),
             configSize > 0 && !(scripts && image));
    if (configSize > 0)
        QVERIFY(w->ui->actionUpload->isEnabled());
    if (configSize == 0 && scriptSpace == 0)
        QCOMPARE(w->device.state, ZuROVUrazev::DS_Config);
}

// Replies the state does not expect are dropped; the chain waits on.
void ZuROVUrazevChainTest::staleReplyBails()
{
    ZuROVUrazev *w = m_window;
    w->device.address = 0x0042;
    w->state = ZuROVUrazev::CS_GET_CFG;
    w->device.configSize = 16;
    w->device.config = QByteArray(16, '\0');
    m_fake->setPollTime(50);
    w->msgTimer.start();
    const SimDevice &d = m_sim->attached();
    const QList<QPair<int, int>> stale{{1, 0}, {1, 1}, {1, 3}, {1, 5}, {1, 8}, {2, 0},
                                       {4, 0}, {6, 0}, {6, 1}, {6, 2}, {6, 4}, {6, 9}};
    for (const auto &reply : stale) {
        m_fake->inject(SimController::replyFrom(d, quint8(reply.first), quint16(reply.second), QByteArray(4, '\x01')));
        QCOMPARE(w->state, ZuROVUrazev::CS_GET_CFG);
    }
    QVERIFY(m_fake->sent().isEmpty());
    QVERIFY(w->msgTimer.isActive());
    QCOMPARE(m_fake->pollTime(), 500);
    QCOMPARE(w->device.config, QByteArray(16, '\0'));
    // 6/3 outside an upload is logged and ignored.
    m_fake->inject(SimController::replyFrom(d, 6, 3));
    QVERIFY(logText().contains(QStringLiteral("The configuration data has been erased")));
    QVERIFY(m_fake->sent().isEmpty());
    QCOMPARE(w->state, ZuROVUrazev::CS_GET_CFG);
}

QTEST_MAIN(ZuROVUrazevChainTest)
#include "zurovurazev_chain_test.moc"
