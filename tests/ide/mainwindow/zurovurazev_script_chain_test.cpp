// The script side of whole request chains between the main window and the
// simulated controller: the end of a connection to a device that runs
// scripts, uploads that write the image and the ones the device or the
// window refuses, and the start of a debugging session.

#include "zurovurazev.h"

#include "ide_resources.h"
#include "kolmprojectwindow.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "sim_controller.h"
#include "sim_exchange.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "zuasmdebugger.h"

#include <QPointer>
#include <QTest>
#include <QtEndian>

#include <memory>

namespace {

constexpr quint16 DeviceAddress = 0x0042;

// A script whose image grows by one byte with each character of its text.
QByteArray sendingScript(int textLength)
{
    return "var main()\n{\n    memcpy(&MSG.TX, \"" + QByteArray(textLength, 'x') + "\", "
           + QByteArray::number(textLength) + ");\n    for (;;) { }\n}\n";
}

} // namespace

class ZuROVUrazevScriptChainTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectionEnd_data();
    void connectionEnd();
    void uploadPadsImage();
    void uploadRefusedByDevice_data();
    void uploadRefusedByDevice();
    void imageOver64KiB();
    void debugStart_data();
    void debugStart();

private:
    void connectSim(const SimDevice &device);
    // Runs the connection chain from the address request to its rest.
    void runChain();
    // Opens a project on the emulator's board package with `script` and
    // builds it.
    void openProject(const QByteArray &script);
    QString logText();

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ProjectFolder> m_folder;
    QPointer<ZuROVUrazev> m_window;
    QPointer<FakeMessenger> m_fake;
    std::unique_ptr<SimController> m_sim;
};

void ZuROVUrazevScriptChainTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevScriptChainTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_window = new ZuROVUrazev;
}

void ZuROVUrazevScriptChainTest::cleanup()
{
    m_sim.reset();
    delete m_window.data();
    m_folder.reset();
    m_settings.reset();
}

void ZuROVUrazevScriptChainTest::connectSim(const SimDevice &device)
{
    m_fake = new FakeMessenger(QStringLiteral("usb"), m_window);
    m_fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    m_fake->open(QStringLiteral("sim"));
    m_fake->connectNow();
    m_sim = std::make_unique<SimController>(m_fake);
    m_sim->attached() = device;
    m_window->attachTransport(m_fake, 0xFFFF, 0xFFFF);
}

void ZuROVUrazevScriptChainTest::runChain()
{
    m_window->state = ZuROVUrazev::CS_GET_ADDR;
    QVERIFY(m_window->sendCfgPacket(1, 0, QByteArray(), false));
    settleExchange(m_fake);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    m_fake->clearSent();
}

void ZuROVUrazevScriptChainTest::openProject(const QByteArray &script)
{
    m_folder = std::make_unique<ProjectFolder>();
    m_folder->write("main.kos", script);
    m_folder->write("Emulator.kbsp", readBytes(QStringLiteral(KOLM_EMULATOR_BSP)));
    m_folder->json().insert("bsp", "Emulator.kbsp");
    delete m_folder->load();
    m_window->code_open(m_folder->path("demo.kcpro"));
    QVERIFY(m_window->ui->projectPage->project());
    QVERIFY(m_window->project_waitCompiled());
}

QString ZuROVUrazevScriptChainTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

// Each row: the script controller's configuration, its image and machine,
// the device state the chain leaves and its last requests.
void ZuROVUrazevScriptChainTest::connectionEnd_data()
{
    QTest::addColumn<bool>("configured");
    QTest::addColumn<int>("romSize");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<quint32>("ram");
    QTest::addColumn<int>("devState");
    QTest::addColumn<QStringList>("tail");
    QTest::addColumn<QString>("logLine");
    const int config = ZuROVUrazev::DS_Config;
    const int running = ZuROVUrazev::DS_Messaging;
    const QStringList withScript{"20/1", "24/0", "20/0"};
    const QStringList withoutScript{"20/1", "24/0"};
    QTest::newRow("halted, no configuration") << false << 1004 << 0x800u << 256u << config << withScript
                                              << "The device script occupies 1004 bytes";
    QTest::newRow("running, no configuration") << false << 1004 << 0u << 256u << running << withScript
                                               << "The device script occupies 1004 bytes";
    QTest::newRow("no script") << false << 0 << 0x800u << 256u << config << withoutScript
                               << "The device does not have a script";
    QTest::newRow("128 KiB of RAM") << false << 1004 << 0u << 0x20000u << running << withScript
                                    << "The device script occupies 1004 bytes";
    QTest::newRow("halted, configured") << true << 64 << 0x800u << 256u << config << withScript
                                        << "The device script occupies 64 bytes";
    QTest::newRow("running, configured") << true << 64 << 0u << 256u << running << withScript
                                         << "The device script occupies 64 bytes";
}

void ZuROVUrazevScriptChainTest::connectionEnd()
{
    QFETCH(bool, configured);
    QFETCH(int, romSize);
    QFETCH(quint32, flags);
    QFETCH(quint32, ram);
    QFETCH(int, devState);
    QFETCH(QStringList, tail);
    QFETCH(QString, logLine);
    SimDevice device = SimDevice::scriptController(DeviceAddress);
    if (!configured)
        device.config.clear();
    device.rom = QByteArray(romSize, 'r');
    device.vmFlags = flags;
    device.vmRam = ram;
    connectSim(device);
    ModalDriver modal;
    m_window->state = ZuROVUrazev::CS_GET_ADDR;
    QVERIFY(m_window->sendCfgPacket(1, 0, QByteArray(), false));
    settleExchange(m_fake);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    const QStringList sent = requestTexts(m_fake);
    QCOMPARE(sent.mid(sent.size() - tail.size()), tail);
    QCOMPARE(sent.contains(QStringLiteral("3/0")), configured);
    QCOMPARE(int(m_window->device.state), devState);
    QCOMPARE(m_window->device.imageSize, quint32(romSize));
    QCOMPARE(m_window->device.vmInfo[1], ram);
    QCOMPARE(m_window->ui->projectPage->ramLimit, ram);
    QVERIFY(logText().contains(logLine));
    QVERIFY(logText().contains(QStringLiteral("Connected to 0042h")));
    QVERIFY(m_window->ui->actionUpload->isEnabled());
    QVERIFY(!m_window->msgTimer.isActive());
    QVERIFY(modal.seen().isEmpty());
}

// An image of 1001 bytes: the configuration block records 1001, the
// device stores it padded to 1004.
void ZuROVUrazevScriptChainTest::uploadPadsImage()
{
    SimDevice device = SimDevice::scriptController(DeviceAddress);
    device.rom = QByteArray(64, 'r');
    device.vmFlags = 0;
    connectSim(device);
    runChain();
    // The text length that makes the image 1001 bytes long.
    openProject(sendingScript(100));
    const int grown = 1001 - m_window->ui->projectPage->outputBin().size();
    openProject(sendingScript(100 + grown));
    const QByteArray image = m_window->ui->projectPage->outputBin();
    QCOMPARE(image.size(), 1001);

    ModalDriver modal;
    m_window->ui->actionAutoStart->setChecked(false);
    m_window->on_actionUpload_triggered();
    settleExchange(m_fake);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    const QStringList sent = requestTexts(m_fake);
    QCOMPARE(sent.first(), QStringLiteral("23/0"));
    QCOMPARE(sent.at(1), QStringLiteral("1/5"));
    QCOMPARE(sent.constLast(), QStringLiteral("22/960"));
    const SimDevice &stored = m_sim->attached();
    QCOMPARE(stored.rom.size(), 1004);
    QCOMPARE(stored.rom.left(1001), image);
    QCOMPARE(qFromLittleEndian<quint32>(stored.config.constData() + 4), 1001u);
    QCOMPARE(m_window->device.imageSize, 1004u);
    QVERIFY(logText().contains(QStringLiteral("Written 1004 bytes of script to the device")));
    QVERIFY(m_window->ui->actionUpload->isEnabled());
    QVERIFY(modal.seen().isEmpty());
}

void ZuROVUrazevScriptChainTest::uploadRefusedByDevice_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<quint8>("flashResult");
    QTest::addColumn<QString>("text");
    QTest::newRow("reply of 3 bytes") << QByteArray(3, '\0') << quint8(0) << "Communication error - invalid reply";
    QTest::newRow("flash error 5") << QByteArray() << quint8(5) << "Flash Error 5";
}

void ZuROVUrazevScriptChainTest::uploadRefusedByDevice()
{
    QFETCH(QByteArray, reply);
    QFETCH(quint8, flashResult);
    QFETCH(QString, text);
    connectSim(SimDevice::scriptController(DeviceAddress));
    runChain();
    openProject(sendingScript(200));
    SimDevice &device = m_sim->attached();
    device.flashResult = flashResult;
    if (!reply.isEmpty())
        device.replyOverride[{0x22, 48}] = reply;
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_window->on_actionUpload_triggered();
    settleExchange(m_fake);
    QVERIFY(modal.waitSeen(1));
    QCOMPARE(modal.seen().first().title, QStringLiteral("Write Script"));
    QCOMPARE(modal.seen().first().text, text);
    QTRY_VERIFY(!m_fake);
    QVERIFY(!m_window->messenger);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QVERIFY(!logText().contains(QStringLiteral("Written")));
}

// 16-bit offsets cannot place a larger image: nothing is sent, and a
// debugging start that needed it ends idle.
void ZuROVUrazevScriptChainTest::imageOver64KiB()
{
    SimDevice device = SimDevice::scriptController(DeviceAddress);
    device.configMax = 8 + 0x20000;
    connectSim(device);
    runChain();
    openProject(sendingScript(100));
    const int grown = 65537 - m_window->ui->projectPage->outputBin().size();
    openProject(sendingScript(100 + grown));
    QCOMPARE(m_window->ui->projectPage->outputBin().size(), 65537);
    ModalDriver modal;
    m_window->on_actionUpload_triggered();
    QVERIFY(logText().contains(QStringLiteral("Cannot write the script - it is larger than 65536 bytes")));
    QVERIFY(m_fake->sent().isEmpty());

    m_window->on_actionStart_Debugging_triggered();
    settleExchange(m_fake);
    QVERIFY(requestTexts(m_fake).isEmpty());
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Config);
    QCOMPARE(m_window->postUpload, ZuROVUrazev::PU_NOP);
    QVERIFY(m_window->ui->actionUpload->isEnabled());
}

// The start of a debugging session up to its first stop: a running script
// is halted once, a halted one not at all; the device stays in debugging
// through the upload.
void ZuROVUrazevScriptChainTest::debugStart_data()
{
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<QStringList>("head");
    QTest::newRow("script running") << 0u << QStringList{"23/0", "1/5", "6/3", "4/0"};
    QTest::newRow("script halted") << 0x800u << QStringList{"1/5", "6/3", "4/0"};
}

void ZuROVUrazevScriptChainTest::debugStart()
{
    QFETCH(quint32, flags);
    QFETCH(QStringList, head);
    SimDevice device = SimDevice::scriptController(DeviceAddress);
    device.rom = QByteArray(64, 'r');
    device.vmFlags = flags;
    connectSim(device);
    runChain();
    openProject(sendingScript(20));
    m_settings->set(QStringLiteral("DbgToMain"), false);
    ModalDriver modal;
    m_window->on_actionStart_Debugging_triggered();
    QCOMPARE(m_window->ui->stackedWidget->currentIndex(), int(ZuROVUrazev::T_Debug));
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains(QStringLiteral("Disassembly completed")), 30000);
    settleExchange(m_fake);
    const QStringList sent = requestTexts(m_fake);
    QCOMPARE(sent.mid(0, head.size()), head);
    QCOMPARE(sent.count(QStringLiteral("23/0")), flags ? 1 : 2);
    QVERIFY(sent.contains(QStringLiteral("25/0")));
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Debugging);
    QCOMPARE(m_window->ui->zudbgPage->mode(), ZuASMDebugger::Step);
    QCOMPARE(m_window->ui->zudbgPage->registerCount(), 7);
    QVERIFY(!m_window->ui->actionStart_Debugging->isEnabled());
    QVERIFY(m_window->ui->actionDebug_Step->isEnabled());
    QVERIFY(modal.seen().isEmpty());
}

QTEST_MAIN(ZuROVUrazevScriptChainTest)
#include "zurovurazev_script_chain_test.moc"
