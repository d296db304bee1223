// The main window's device command layer against a fake transport: request
// framing, the reply dispatcher, chunked image writes and the error paths.

#include "zurovurazev.h"

#include "fake_messenger.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "zuhal_packet.h"

#include <QPointer>
#include <QTest>

#include <memory>

class ZuROVUrazevDeviceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void requestFraming_data();
    void requestFraming();
    void encryptedRequest_data();
    void encryptedRequest();
    void sendWithoutTransport();
    void dispatch_data();
    void dispatch();
    void scriptMessageText_data();
    void scriptMessageText();
    void encryptedReplyIsDeciphered();
    void pingAnswersCollected();
    void chatIndicator_data();
    void chatIndicator();
    void followUp_data();
    void followUp();
    void failedFollowUpReports();
    void imageChunks();
    void imageOffsetLimit();
    void lostLinkDropsTransport();
    void replyTimeout_data();
    void replyTimeout();
    void disconnectMidChainShowsNoBox();
    void gpioMapping_data();
    void gpioMapping();

private:
    // A window with a fake "usb" transport attached for the device at
    // `address` reached through `local`.
    FakeMessenger *attach(quint16 address = 0x0042, quint16 local = 0x0042);
    QString logText();

    std::unique_ptr<TempSettings> m_settings;
    ZuROVUrazev *m_window = nullptr;
};

void ZuROVUrazevDeviceTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevDeviceTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_window = new ZuROVUrazev;
}

void ZuROVUrazevDeviceTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
    m_settings.reset();
}

FakeMessenger *ZuROVUrazevDeviceTest::attach(quint16 address, quint16 local)
{
    auto *fake = new FakeMessenger(QStringLiteral("usb"), m_window);
    fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    fake->open(QStringLiteral("fake"));
    fake->connectNow();
    m_window->attachTransport(fake, address, local);
    return fake;
}

QString ZuROVUrazevDeviceTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

void ZuROVUrazevDeviceTest::requestFraming_data()
{
    QTest::addColumn<quint16>("address");
    QTest::addColumn<quint16>("local");
    QTest::addColumn<quint16>("source");
    QTest::newRow("attached device") << quint16(0x0042) << quint16(0x0042) << quint16(0xFFFF);
    QTest::newRow("through a relay") << quint16(0x00A1) << quint16(0x0042) << quint16(0x0042);
}

void ZuROVUrazevDeviceTest::requestFraming()
{
    QFETCH(quint16, address);
    QFETCH(quint16, local);
    QFETCH(quint16, source);
    FakeMessenger *fake = attach(address, local);
    QVERIFY(!m_window->msgTimer.isActive());
    QVERIFY(m_window->sendCfgPacket(0x03, 0x0130, QByteArray("ab"), false));
    QCOMPARE(fake->sent().size(), 1);
    const ZuHalPacket &p = fake->sent().first();
    QCOMPARE(p.data(), FakeMessenger::mcPayload(0x03, 0x0130, QByteArray("ab")));
    const QByteArray frame = p.serialize();
    QCOMPARE(uchar(frame[0]), uchar(0x00));
    QCOMPARE(uchar(frame[1]), uchar(0x12));
    QCOMPARE(p.destination(), address);
    QCOMPARE(p.source(), source);
    QVERIFY(m_window->msgTimer.isActive());
    QCOMPARE(m_window->msgTimer.interval(), 5000);
}

void ZuROVUrazevDeviceTest::encryptedRequest_data()
{
    QTest::addColumn<int>("dataBytes");
    QTest::addColumn<bool>("fits");
    QTest::newRow("58 bytes") << 55 << true;
    QTest::newRow("59 bytes") << 56 << false;
}

void ZuROVUrazevDeviceTest::encryptedRequest()
{
    QFETCH(int, dataBytes);
    QFETCH(bool, fits);
    FakeMessenger *fake = attach();
    const QByteArray data(dataBytes, 'k');
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QCOMPARE(m_window->sendCfgPacket(0x01, 0, data, true), fits);
    if (fits) {
        QCOMPARE(fake->sent().size(), 1);
        ZuHalPacket p = fake->sent().first();
        QVERIFY(p.isEncrypted());
        QVERIFY(p.data() != FakeMessenger::mcPayload(0x01, 0, data));
        QVERIFY(p.decrypt(m_window->key));
        QCOMPARE(p.data(), FakeMessenger::mcPayload(0x01, 0, data));
        QVERIFY(modal.seen().isEmpty());
    } else {
        QVERIFY(fake->sent().isEmpty());
        QVERIFY(!m_window->msgTimer.isActive());
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, QStringLiteral("Device IO"));
        QCOMPARE(modal.seen().first().text, QStringLiteral("Transmission error<br>Packet is too big to be encrypted"));
    }
}

void ZuROVUrazevDeviceTest::sendWithoutTransport()
{
    ModalDriver modal;
    QVERIFY(!m_window->sendCfgPacket(0x01, 0, QByteArray(), false));
    FakeMessenger *fake = attach();
    fake->setRefuseSends(true);
    QVERIFY(!m_window->sendCfgPacket(0x01, 0, QByteArray(), false));
    QVERIFY(!m_window->msgTimer.isActive());
    QVERIFY(modal.seen().isEmpty());
}

// Each row: the state, the packet from the device at 0x0042, whether the
// reply timer still runs afterwards, the transport's poll time afterwards
// (100 before; 500 is the "Poll" default a bailed chain returns to) and a
// log line that must appear.
void ZuROVUrazevDeviceTest::dispatch_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<ZuHalPacket>("packet");
    QTest::addColumn<bool>("timerRuns");
    QTest::addColumn<int>("pollTime");
    QTest::addColumn<QString>("logLine");
    const int idle = ZuROVUrazev::CS_IDLE;
    const int info = ZuROVUrazev::CS_GET_INFO;
    const int addr = ZuROVUrazev::CS_GET_ADDR;
    const int relay = ZuROVUrazev::CS_GET_RELAY;
    const quint16 dev = 0x0042;
    auto mc = [](quint8 c, quint16 s, quint16 src) { return FakeMessenger::mcReply(c, s, QByteArray("xy"), src); };
    ZuHalPacket toMc = FakeMessenger::mcReply(0x20, 0, QByteArray(), dev);
    toMc.setDstPort(1);
    ZuHalPacket shortReply = FakeMessenger::toHost(1, QByteArray("\x01\x00", 2), dev);

    QTest::newRow("idle: console reply stops the timer") << idle << mc(0x20, 0, dev) << false << 100 << QString();
    QTest::newRow("idle: 1/7 reaches its handler") << idle << mc(0x01, 7, dev) << false << 100 << QString();
    QTest::newRow("idle: 1/0 is console only") << idle << mc(0x01, 0, dev) << false << 100 << QString();
    QTest::newRow("idle: time reply reaches its handler")
        << idle << mc(0x07, 1, dev) << false << 100
        << QStringLiteral("Time synchronization failed - the device replied with an invalid packet");
    QTest::newRow("chain: unknown command bails") << info << mc(0x7E, 0, dev) << true << 500 << QString();
    QTest::newRow("chain: other sender ignored") << info << mc(0x01, 3, 0x0043) << true << 100 << QString();
    // An unknown sub-command: the handler is reached and bails.
    QTest::newRow("address query: any sender") << addr << mc(0x01, 9, 0x0043) << true << 500 << QString();
    QTest::newRow("relay query: any sender") << relay << mc(0x01, 9, 0x0099) << true << 500 << QString();
    QTest::newRow("2-byte reply") << info << shortReply << true << 100
                                  << QStringLiteral("Invalid packet received - at least 3 bytes expected");
    QTest::newRow("to port 1 ignored") << idle << toMc << true << 100 << QString();
    QTest::newRow("idle: script message stops the timer")
        << idle << FakeMessenger::toHost(0, QByteArray("Hi"), dev) << false << 100 << QStringLiteral("PLC: Hi");
    QTest::newRow("chain: script message keeps the timer")
        << info << FakeMessenger::toHost(0, QByteArray("Hi"), dev) << true << 100 << QStringLiteral("PLC: Hi");
    QTest::newRow("idle: HAL reply stops the timer")
        << idle << FakeMessenger::toHost(3, QByteArray("\x01\x02\x03", 3), dev) << false << 100 << QString();
    QTest::newRow("chain: HAL reply keeps the timer")
        << info << FakeMessenger::toHost(3, QByteArray("\x01\x02\x03", 3), dev) << true << 100 << QString();
    QTest::newRow("idle: user port stops the timer")
        << idle << FakeMessenger::toHost(9, QByteArray("x"), dev) << false << 100 << QString();
    QTest::newRow("chain: user port bails")
        << info << FakeMessenger::toHost(9, QByteArray("x"), dev) << true << 500 << QString();
    QTest::newRow("chat keeps the timer")
        << idle << FakeMessenger::toHost(2, QByteArray("hello"), 0x0077) << true << 100 << QString();
}

void ZuROVUrazevDeviceTest::dispatch()
{
    QFETCH(int, state);
    QFETCH(ZuHalPacket, packet);
    QFETCH(bool, timerRuns);
    QFETCH(int, pollTime);
    QFETCH(QString, logLine);
    FakeMessenger *fake = attach();
    fake->setPollTime(100);
    m_window->state = ZuROVUrazev::Cfg_States(state);
    m_window->msgTimer.start();
    QVERIFY(fake->inject(packet));
    QCOMPARE(m_window->msgTimer.isActive(), timerRuns);
    QCOMPARE(fake->pollTime(), pollTime);
    QCOMPARE(int(m_window->state), state);
    QVERIFY(fake->sent().isEmpty());
    if (!logLine.isEmpty())
        QVERIFY2(logText().contains(logLine), qPrintable(logText()));
}

void ZuROVUrazevDeviceTest::scriptMessageText_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("line");
    QTest::newRow("printable") << QByteArray("Hi") << QStringLiteral("PLC: Hi");
    QTest::newRow("binary") << QByteArray("\x01\xff", 2) << QStringLiteral("PLC: 01ff");
    QTest::newRow("a tab is text") << QByteArray("a\tb") << QStringLiteral("PLC: a");
}

void ZuROVUrazevDeviceTest::scriptMessageText()
{
    QFETCH(QByteArray, payload);
    QFETCH(QString, line);
    FakeMessenger *fake = attach();
    m_window->ui->actionLog->setChecked(false);
    QVERIFY(fake->inject(FakeMessenger::toHost(0, payload, 0x0042)));
    QVERIFY2(logText().contains(line), qPrintable(logText()));
    QVERIFY(m_window->ui->actionLog->isChecked());
}

void ZuROVUrazevDeviceTest::encryptedReplyIsDeciphered()
{
    FakeMessenger *fake = attach();
    ZuHalPacket p = FakeMessenger::toHost(0, QByteArray(), 0x0042);
    p.setEncrypted(true);
    QVERIFY(p.setData(QByteArray("secret"), m_window->key));
    QVERIFY(p.data() != QByteArray("secret"));
    QVERIFY(fake->inject(p));
    QVERIFY2(logText().contains(QStringLiteral("PLC: secret")), qPrintable(logText()));
}

void ZuROVUrazevDeviceTest::pingAnswersCollected()
{
    FakeMessenger *fake = attach(0xFFFF, 0x0042);
    fake->setPollTime(100);
    m_window->state = ZuROVUrazev::CS_DEV_PING;
    QVERIFY(fake->inject(FakeMessenger::mcReply(1, 4, QByteArray("PLC one"), 0x00A1)));
    QVERIFY(fake->inject(FakeMessenger::mcReply(1, 3, QByteArray("xxxx"), 0x00A2)));
    QVERIFY(fake->inject(FakeMessenger::mcReply(1, 4, QByteArray("GW"), 0xFFFF)));
    QCOMPARE(m_window->pingResults.size(), 2);
    QCOMPARE(m_window->pingResults[0], qMakePair(quint16(0x00A1), QStringLiteral("PLC one")));
    QCOMPARE(m_window->pingResults[1], qMakePair(quint16(0xFFFF), QStringLiteral("GW")));
    QVERIFY(logText().contains(QStringLiteral("Device 00A1h responded to ping")));
    QVERIFY(logText().contains(QStringLiteral("Device bcst responded to ping")));
    QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_DEV_PING));
    QCOMPARE(fake->pollTime(), 100);
    QVERIFY(fake->sent().isEmpty());
}

void ZuROVUrazevDeviceTest::chatIndicator_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("shown");
    QTest::newRow("script page") << int(ZuROVUrazev::T_Script) << true;
    QTest::newRow("chat page") << int(ZuROVUrazev::T_Chat) << false;
}

void ZuROVUrazevDeviceTest::chatIndicator()
{
    QFETCH(int, page);
    QFETCH(bool, shown);
    FakeMessenger *fake = attach();
    m_window->pagesel_clicked(page);
    m_window->chatStatus->off();
    QVERIFY(fake->inject(FakeMessenger::toHost(2, QByteArray("hi"), 0x0077)));
    QCOMPARE(!m_window->chatStatus->pixmap(Qt::ReturnByValue).isNull(), shown);
    if (shown)
        QCOMPARE(m_window->chatStatus->toolTip(), QStringLiteral("New Chat Message"));
}

void ZuROVUrazevDeviceTest::followUp_data()
{
    QTest::addColumn<int>("cmd");
    QTest::addColumn<int>("sub");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<bool>("timerRuns");
    QTest::newRow("reboot: no answer awaited") << 6 << 2 << true << true << false;
    QTest::newRow("upgrade: no answer awaited") << 6 << 1 << true << true << false;
    QTest::newRow("erase: answer awaited") << 6 << 3 << true << true << true;
    QTest::newRow("done only") << 0 << 0 << false << false << false;
}

void ZuROVUrazevDeviceTest::followUp()
{
    QFETCH(int, cmd);
    QFETCH(int, sub);
    QFETCH(bool, valid);
    QFETCH(bool, sent);
    QFETCH(bool, timerRuns);
    FakeMessenger *fake = attach();
    m_window->msgTimer.start();
    ZuROVUrazev::NextPkt next;
    next.done = true;
    next.valid = valid;
    next.cmd = quint8(cmd);
    next.sub = quint16(sub);
    m_window->sendFollowUp(next);
    QCOMPARE(fake->sent().size(), sent ? 1 : 0);
    if (sent)
        QCOMPARE(fake->sent().first().data(), FakeMessenger::mcPayload(quint8(cmd), quint16(sub)));
    QCOMPARE(m_window->msgTimer.isActive(), timerRuns);
}

void ZuROVUrazevDeviceTest::failedFollowUpReports()
{
    FakeMessenger *fake = attach();
    fake->setRefuseSends(true);
    fake->setPollTime(100);
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    ZuROVUrazev::NextPkt next;
    next.valid = true;
    next.cmd = 1;
    next.sub = 3;
    m_window->sendFollowUp(next);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Device IO"));
    QCOMPARE(modal.seen().first().text, QStringLiteral("Transmission error<br>Packet submission failure"));
    QCOMPARE(fake->pollTime(), 500);
    QVERIFY(!m_window->msgTimer.isActive());
}

void ZuROVUrazevDeviceTest::imageChunks()
{
    attach();
    QByteArray image(100, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i);
    m_window->device.image = image;
    m_window->device.imageSize = 100;
    m_window->chunkOffset = 0;
    m_window->ui->actionLaunch->setEnabled(false);
    const int offsets[] = {0, 48, 96};
    const int sizes[] = {48, 48, 4};
    for (int i = 0; i < 3; ++i) {
        ZuROVUrazev::NextPkt next;
        QVERIFY(m_window->writeNextAsm(next));
        QVERIFY(next.valid);
        QCOMPARE(int(next.cmd), 0x22);
        QCOMPARE(int(next.sub), offsets[i]);
        QCOMPARE(next.data, image.mid(offsets[i], sizes[i]));
    }
    ZuROVUrazev::NextPkt last;
    QVERIFY(!m_window->writeNextAsm(last));
    QVERIFY(!last.valid && !last.done);
    QVERIFY(m_window->ui->actionLaunch->isEnabled());
}

void ZuROVUrazevDeviceTest::imageOffsetLimit()
{
    FakeMessenger *fake = attach();
    m_window->device.image = QByteArray(65536 + 10, 'x');
    m_window->chunkOffset = 65536;
    m_window->state = ZuROVUrazev::CS_WRITE_ASM_BIN;
    m_window->postUpload = ZuROVUrazev::PU_Launch;
    m_window->ui->actionUpload->setEnabled(false);
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    ZuROVUrazev::NextPkt next;
    QVERIFY(m_window->writeNextAsm(next));
    QVERIFY(next.done);
    QVERIFY(!next.valid);
    QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_IDLE));
    QCOMPARE(int(m_window->postUpload), int(ZuROVUrazev::PU_NOP));
    QVERIFY(m_window->ui->actionUpload->isEnabled());
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Write to the Device"));
    QCOMPARE(modal.seen().first().text,
             QStringLiteral("Cannot write configuration<br>Cannot write the script - offset 65536 exceeds 65535"));
    m_window->sendFollowUp(next);
    QVERIFY(fake->sent().isEmpty());
}

void ZuROVUrazevDeviceTest::lostLinkDropsTransport()
{
    QPointer<FakeMessenger> fake = attach();
    fake->close();
    QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 5000);
    QVERIFY(!m_window->messenger);
    QCOMPARE(m_window->device.address, quint16(0xFFFF));
}

void ZuROVUrazevDeviceTest::replyTimeout_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("staysConnected");
    QTest::newRow("address") << int(ZuROVUrazev::CS_GET_ADDR) << QStringLiteral("Communication Failure")
                             << QStringLiteral("MC did not respond to an address request.\nAborting connection...")
                             << false;
    QTest::newRow("information") << int(ZuROVUrazev::CS_GET_INFO) << QStringLiteral("Communication Failure")
                                 << QStringLiteral("MC did not provide all the required information.\n"
                                                   "Further communication may misbehave")
                                 << true;
    QTest::newRow("upload") << int(ZuROVUrazev::CS_WRITE_ASM_BIN) << QStringLiteral("Communication Error")
                            << QStringLiteral("MC is not responding") << false;
}

void ZuROVUrazevDeviceTest::replyTimeout()
{
    QFETCH(int, state);
    QFETCH(QString, title);
    QFETCH(QString, text);
    QFETCH(bool, staysConnected);
    QPointer<FakeMessenger> fake = attach();
    fake->setPollTime(100);
    m_window->state = ZuROVUrazev::Cfg_States(state);
    // A known kind: the controls set up after the information time-out
    // would add their unknown-device box.
    m_window->device.kind = ZuROVUrazev::D_PLC;
    m_window->msgTimer.setInterval(50);
    QVERIFY(m_window->sendCfgPacket(1, 0, QByteArray(), false));
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QTRY_COMPARE_WITH_TIMEOUT(modal.seen().size(), 1, 10000);
    QCOMPARE(modal.seen().first().title, title);
    QCOMPARE(modal.seen().first().text, text);
    if (staysConnected) {
        QTest::qWait(100);
        QVERIFY(fake);
        QCOMPARE(m_window->messenger, fake.data());
        QCOMPARE(fake->pollTime(), 500);
        QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_IDLE));
        QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Messaging);
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 10000);
        QVERIFY(!m_window->messenger);
        QCOMPARE(m_window->connectionStatus->toolTip(), QStringLiteral("Not connected"));
    }
    QCOMPARE(modal.seen().size(), 1);
}

void ZuROVUrazevDeviceTest::disconnectMidChainShowsNoBox()
{
    QPointer<FakeMessenger> fake = attach();
    m_window->state = ZuROVUrazev::CS_GET_INFO;
    m_window->postUpload = ZuROVUrazev::PU_Launch;
    m_window->msgTimer.setInterval(50);
    QVERIFY(m_window->sendCfgPacket(1, 3, QByteArray(), false));
    m_window->pingTimer.start(50);
    ModalDriver modal;
    fake->close();
    QTRY_VERIFY_WITH_TIMEOUT(fake.isNull(), 10000);
    QTest::qWait(300);
    QVERIFY(modal.seen().isEmpty());
    QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_IDLE));
    QCOMPARE(int(m_window->postUpload), int(ZuROVUrazev::PU_NOP));
}

void ZuROVUrazevDeviceTest::gpioMapping_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("pin");
    QTest::addColumn<int>("pins");
    QTest::addColumn<QString>("inTable");
    QTest::newRow("raw label in the map, escaped in the table")
        << QStringLiteral("PA5/<b>") << QStringLiteral("<b>") << QStringLiteral("PA5") << 1 << QStringLiteral("&lt;b&gt;");
    QTest::newRow("run of 256 pins") << QStringLiteral("PA0-255/D0") << QStringLiteral("D255") << QStringLiteral("PA255")
                                     << 256 << QStringLiteral("PA0");
    QTest::newRow("run of 257 pins is unreadable")
        << QStringLiteral("PA0-256/D0") << QString() << QString() << 0 << QStringLiteral("PA0-256");
}

void ZuROVUrazevDeviceTest::gpioMapping()
{
    QFETCH(QString, hint);
    QFETCH(QString, label);
    QFETCH(QString, pin);
    QFETCH(int, pins);
    QFETCH(QString, inTable);
    m_window->device.info = QStringLiteral("Connected to <b>fake</b><br><br>");
    m_window->device.gpioMap.insert(QStringLiteral("old"), QStringLiteral("PB0"));
    m_window->parseGpioMapping(hint);
    QCOMPARE(m_window->device.gpioMap.size(), pins);
    if (!label.isEmpty())
        QCOMPARE(m_window->device.gpioMap.value(label), pin);
    QVERIFY(m_window->device.info.startsWith(QStringLiteral("Connected to <b>fake</b><br><br>")));
    QVERIFY2(m_window->device.info.contains(inTable), qPrintable(m_window->device.info));
    QVERIFY(!m_window->device.info.contains(QStringLiteral("<b><b>")));
}

QTEST_MAIN(ZuROVUrazevDeviceTest)
#include "zurovurazev_device_test.moc"
