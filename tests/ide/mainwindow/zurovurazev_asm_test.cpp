// The main window's script and virtual machine replies and its debug
// actions against a fake transport: the end of the connection chain, the
// image write, the machine control, the debugger's state refresh with its
// bounds, the debug slots and the start of a debugging session.

#include "zurovurazev.h"

#include "fake_messenger.h"
#include "sim_controller.h"
#include "ide_resources.h"
#include "kolmprojectwindow.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "qramtablemodel.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "zuasmdebugger.h"
#include "zuhal_packet.h"

#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QTest>
#include <QtEndian>

#include <functional>
#include <memory>

namespace {

constexpr quint16 DeviceAddress = 0x0042;
const QByteArray GoodScript = "var main() { return 7; }\n";

QByteArray words(std::initializer_list<quint32> values)
{
    QByteArray bytes;
    for (quint32 v : values) {
        char le[4];
        qToLittleEndian(v, le);
        bytes.append(le, 4);
    }
    return bytes;
}

quint8 commandOf(const ZuHalPacket &p)
{
    return quint8(p.data().at(0));
}

quint16 subOf(const ZuHalPacket &p)
{
    return quint16(quint8(p.data().at(1)) | quint8(p.data().at(2)) << 8);
}

// Requests as "cmd/sub" in hexadecimal command and decimal sub-command.
QStringList requests(const FakeMessenger *fake)
{
    QStringList list;
    for (const ZuHalPacket &p : fake->sent())
        list << QStringLiteral("%1/%2").arg(commandOf(p), 0, 16).arg(subOf(p));
    return list;
}

} // namespace

class ZuROVUrazevAsmTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void scriptChainEnd_data();
    void scriptChainEnd();
    void scriptChainLengthErrors_data();
    void scriptChainLengthErrors();
    void wrongStateBails_data();
    void wrongStateBails();
    void vmControl_data();
    void vmControl();
    void imageWrite_data();
    void imageWrite();
    void imageWriteRefused_data();
    void imageWriteRefused();
    void imageWriteRefusedClosesWindowInBox();
    void refreshReadsState_data();
    void refreshReadsState();
    void refreshLengthErrors_data();
    void refreshLengthErrors();
    void refreshSizeBounds_data();
    void refreshSizeBounds();
    void refreshSendFails();
    void actionsDuringRefresh();
    void actionSlots_data();
    void actionSlots();
    void actionsOutsideSession_data();
    void actionsOutsideSession();
    void stepStopsAtScriptEnd();
    void stepKeepsNextMode();
    void ramSync_data();
    void ramSync();
    void startRefused_data();
    void startRefused();
    void startInConfigModeSendsNoHalt();
    void startHaltsRunningScript();
    void failedDisassembly();
    void emulatorEnd();

private:
    FakeMessenger *attach();
    // The simulated controller's device, one that runs scripts, at the
    // address the window talks to.
    static SimDevice &scriptDevice(SimController &sim)
    {
        sim.attached() = SimDevice::scriptController(DeviceAddress);
        return sim.attached();
    }
    // A window whose project page opened a project with `script`.
    void openProject(const QByteArray &script);
    ZuASMDebugger *page() const { return m_window->ui->zudbgPage; }
    QString logText();
    // Starts a refresh as the Step action does and lets it run out.
    void runRefresh(FakeMessenger *fake);

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ProjectFolder> m_folder;
    QPointer<ZuROVUrazev> m_window;
};

void ZuROVUrazevAsmTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevAsmTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_window = new ZuROVUrazev;
}

void ZuROVUrazevAsmTest::cleanup()
{
    delete m_window.data();
    m_folder.reset();
    m_settings.reset();
}

FakeMessenger *ZuROVUrazevAsmTest::attach()
{
    auto *fake = new FakeMessenger(QStringLiteral("usb"), m_window);
    fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    fake->open(QStringLiteral("fake"));
    fake->connectNow();
    m_window->attachTransport(fake, DeviceAddress, DeviceAddress);
    m_window->device.kind = ZuROVUrazev::D_PLC;
    m_window->device.capabilities = 0x0704;
    fake->setPollTime(100);
    return fake;
}

void ZuROVUrazevAsmTest::openProject(const QByteArray &script)
{
    m_folder = std::make_unique<ProjectFolder>();
    m_folder->write("main.kos", script);
    delete m_folder->load();
    m_window->code_open(m_folder->path("demo.kcpro"));
    QVERIFY(m_window->ui->projectPage->project());
}

QString ZuROVUrazevAsmTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

void ZuROVUrazevAsmTest::runRefresh(FakeMessenger *fake)
{
    m_window->on_actionDebug_Step_triggered();
    QCOMPARE(m_window->state, ZuROVUrazev::CS_ASM_STATE);
    QCOMPARE(fake->pollTime(), 50);
    QTRY_COMPARE_WITH_TIMEOUT(m_window->state, ZuROVUrazev::CS_IDLE, 20000);
}

// The chain's last steps on a device that runs scripts, from the script
// size request on.
void ZuROVUrazevAsmTest::scriptChainEnd_data()
{
    QTest::addColumn<quint32>("scriptSize");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<int>("devState");
    QTest::addColumn<QStringList>("sent");
    QTest::addColumn<QString>("logLine");
    const int config = ZuROVUrazev::DS_Config;
    const int running = ZuROVUrazev::DS_Messaging;
    QTest::newRow("no script") << 0u << words({0}) << config << QStringList{"20/1", "24/0"}
                               << "The device does not have a script";
    QTest::newRow("running script") << 100u << words({0}) << running << QStringList{"20/1", "24/0", "20/0"}
                                    << "The device script occupies 100 bytes";
    QTest::newRow("halted script") << 100u << words({0x800}) << config << QStringList{"20/1", "24/0", "20/0"}
                                   << "The device script occupies 100 bytes";
    QTest::newRow("short status word") << 100u << QByteArray("\x00\x08\x00", 3) << running
                                       << QStringList{"20/1", "24/0", "20/0"} << "The device script occupies 100 bytes";
}

void ZuROVUrazevAsmTest::scriptChainEnd()
{
    QFETCH(quint32, scriptSize);
    QFETCH(QByteArray, status);
    QFETCH(int, devState);
    QFETCH(QStringList, sent);
    QFETCH(QString, logLine);
    FakeMessenger *fake = attach();
    // A device with 128 KiB of RAM: stored, whatever the debugger's bounds.
    fake->setResponder([&](const ZuHalPacket &p) -> QList<ZuHalPacket> {
        if (commandOf(p) == 0x20)
            return {FakeMessenger::mcReply(0x20, subOf(p), subOf(p) == 1 ? words({scriptSize}) : status, DeviceAddress)};
        if (commandOf(p) == 0x24)
            return {FakeMessenger::mcReply(0x24, 0, words({0x800, 128, 0x20000, 7}), DeviceAddress)};
        return {};
    });
    m_window->device.scriptSpace = 0x1FFF8;
    m_window->device.state = ZuROVUrazev::DS_Invalid;
    m_window->state = ZuROVUrazev::CS_GET_ASM_INFO;
    m_window->setProgress(QStringLiteral("Reading configuration"), 0, 0);
    m_window->ui->progressBar->show();
    ModalDriver modal;
    QVERIFY(m_window->sendCfgPacket(0x20, 1, QByteArray(), false));
    QTRY_COMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QTest::qWait(50);
    QCOMPARE(requests(fake), sent);
    QCOMPARE(int(m_window->device.state), devState);
    QCOMPARE(m_window->device.imageSize, scriptSize);
    QCOMPARE(m_window->device.vmInfo[0], 128u);
    QCOMPARE(m_window->device.vmInfo[1], 0x20000u);
    QCOMPARE(m_window->device.vmInfo[2], 7u);
    QCOMPARE(m_window->ui->projectPage->ramLimit, 0x20000u);
    QCOMPARE(m_window->ui->projectPage->flashLimit, 0x1FFF8u);
    QVERIFY(!m_window->msgTimer.isActive());
    QVERIFY(m_window->ui->progressBar->isHidden());
    QCOMPARE(fake->pollTime(), 500);
    QVERIFY(logText().contains(logLine));
    QVERIFY(modal.seen().isEmpty());
}

void ZuROVUrazevAsmTest::scriptChainLengthErrors_data()
{
    QTest::addColumn<quint8>("cmd");
    QTest::addColumn<quint16>("sub");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("detail");
    QTest::newRow("script size of 3 bytes") << quint8(0x20) << quint16(1) << QByteArray(3, '\0')
                                            << "'Script binary size' packet must contain exactly 4 bytes";
    QTest::newRow("script size of 5 bytes") << quint8(0x20) << quint16(1) << QByteArray(5, '\0')
                                            << "'Script binary size' packet must contain exactly 4 bytes";
    QTest::newRow("VM information of 15 bytes") << quint8(0x24) << quint16(0) << QByteArray(15, '\0')
                                                << "'ASM VM' packet must contain exactly 16 bytes";
    QTest::newRow("VM information of 17 bytes") << quint8(0x24) << quint16(0) << QByteArray(17, '\0')
                                                << "'ASM VM' packet must contain exactly 16 bytes";
}

void ZuROVUrazevAsmTest::scriptChainLengthErrors()
{
    QFETCH(quint8, cmd);
    QFETCH(quint16, sub);
    QFETCH(QByteArray, data);
    QFETCH(QString, detail);
    FakeMessenger *fake = attach();
    m_window->device.state = ZuROVUrazev::DS_Messaging;
    m_window->state = ZuROVUrazev::CS_GET_ASM_INFO;
    m_window->msgTimer.start();
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QVERIFY(fake->inject(FakeMessenger::mcReply(cmd, sub, data, DeviceAddress)));
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Read from the Device"));
    QCOMPARE(modal.seen().first().text, QStringLiteral("Cannot retrieve configuration<br>") + detail);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Invalid);
    // The chain stops: idle, so the console can send again.
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QVERIFY(fake->sent().isEmpty());
    QVERIFY(!m_window->msgTimer.isActive());
    QCOMPARE(fake->pollTime(), 500);
    m_window->ui->msgKolmTxDataEdit->setText(QStringLiteral("41"));
    m_window->ui->msgKolmSendButton->click();
    QCOMPARE(fake->sent().size(), 1);
    QVERIFY(!logText().contains(QStringLiteral("Cannot send message - device busy")));
    // The same bad reply again is no second failure.
    QVERIFY(fake->inject(FakeMessenger::mcReply(cmd, sub, data, DeviceAddress)));
    QCOMPARE(modal.seen().size(), 1);
}

// A reply the state does not expect only restores the poll time; the
// reply timer keeps waiting for the right one.
void ZuROVUrazevAsmTest::wrongStateBails_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<quint8>("cmd");
    QTest::addColumn<quint16>("sub");
    QTest::addColumn<QByteArray>("data");
    const QByteArray four = words({0});
    QTest::newRow("script size while writing") << int(ZuROVUrazev::CS_WRITE_CFG) << quint8(0x20) << quint16(1) << four;
    QTest::newRow("script status in a refresh") << int(ZuROVUrazev::CS_ASM_STATE) << quint8(0x20) << quint16(0)
                                                << four;
    QTest::newRow("script status 2") << int(ZuROVUrazev::CS_GET_ASM_INFO) << quint8(0x20) << quint16(2) << four;
    QTest::newRow("image write while connecting") << int(ZuROVUrazev::CS_GET_INFO) << quint8(0x22) << quint16(0)
                                                   << four;
    QTest::newRow("halt while reading configuration") << int(ZuROVUrazev::CS_GET_CFG) << quint8(0x23) << quint16(0)
                                                      << QByteArray();
    QTest::newRow("launch in a refresh") << int(ZuROVUrazev::CS_ASM_STATE) << quint8(0x23) << quint16(1) << QByteArray();
    QTest::newRow("continue while halting") << int(ZuROVUrazev::CS_ASM_HALT) << quint8(0x23) << quint16(3)
                                            << QByteArray();
    QTest::newRow("step while writing") << int(ZuROVUrazev::CS_WRITE_CFG) << quint8(0x23) << quint16(4) << QByteArray();
    QTest::newRow("control 5") << int(ZuROVUrazev::CS_ASM_STATE) << quint8(0x23) << quint16(5) << QByteArray();
    QTest::newRow("VM information while writing") << int(ZuROVUrazev::CS_WRITE_CFG) << quint8(0x24) << quint16(0)
                                                   << QByteArray(16, '\0');
    QTest::newRow("VM state 1") << int(ZuROVUrazev::CS_ASM_STATE) << quint8(0x24) << quint16(1) << four;
    QTest::newRow("VM state 3") << int(ZuROVUrazev::CS_ASM_STATE) << quint8(0x24) << quint16(3) << four;
    QTest::newRow("ISR while connecting") << int(ZuROVUrazev::CS_GET_ASM_INFO) << quint8(0x24) << quint16(2) << four;
    QTest::newRow("registers while connecting") << int(ZuROVUrazev::CS_GET_ASM_INFO) << quint8(0x25) << quint16(0)
                                                << QByteArray(28, '\0');
    QTest::newRow("RAM while writing the image") << int(ZuROVUrazev::CS_WRITE_ASM_BIN) << quint8(0x26) << quint16(0)
                                                 << four;
}

void ZuROVUrazevAsmTest::wrongStateBails()
{
    QFETCH(int, state);
    QFETCH(quint8, cmd);
    QFETCH(quint16, sub);
    QFETCH(QByteArray, data);
    FakeMessenger *fake = attach();
    m_window->device.state = ZuROVUrazev::DS_Messaging;
    m_window->state = ZuROVUrazev::Cfg_States(state);
    m_window->msgTimer.start();
    ModalDriver modal;
    QVERIFY(fake->inject(FakeMessenger::mcReply(cmd, sub, data, DeviceAddress)));
    QCOMPARE(int(m_window->state), state);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Messaging);
    QVERIFY(fake->sent().isEmpty());
    QVERIFY(m_window->msgTimer.isActive());
    QCOMPARE(fake->pollTime(), 500);
    QVERIFY(modal.seen().isEmpty());
    // An interrupt reply is logged wherever it arrives.
    QCOMPARE(logText().contains(QStringLiteral("Script execution has been paused")), cmd == 0x23 && sub == 2);
}

void ZuROVUrazevAsmTest::vmControl_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<quint16>("sub");
    QTest::addColumn<int>("stateAfter");
    QTest::addColumn<int>("devStateAfter");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("logLine");
    const int messaging = ZuROVUrazev::DS_Messaging;
    const int config = ZuROVUrazev::DS_Config;
    const int idle = ZuROVUrazev::CS_IDLE;
    const int refresh = ZuROVUrazev::CS_ASM_STATE;
    const int prep = ZuROVUrazev::CS_WRITE_PREP;
    const int start = ZuROVUrazev::CS_ASM_START;
    const QString stopped = QStringLiteral("The virtual machine has been stopped");
    const QString started = QStringLiteral("Script execution has been started");
    const QString paused = QStringLiteral("Script execution has been paused");
    QTest::newRow("halt") << int(ZuROVUrazev::CS_ASM_HALT) << quint16(0) << idle << config << QString() << stopped;
    QTest::newRow("halt in a refresh") << refresh << quint16(0) << refresh << messaging << "24/0" << stopped;
    QTest::newRow("halt before an upload") << prep << quint16(0) << prep << config << "1/5" << stopped;
    QTest::newRow("halt in another state") << int(ZuROVUrazev::CS_GET_CFG) << quint16(0)
                                           << int(ZuROVUrazev::CS_GET_CFG) << messaging << QString() << stopped;
    QTest::newRow("launch") << start << quint16(1) << idle << messaging << QString() << started;
    QTest::newRow("continue") << start << quint16(3) << idle << messaging << QString() << started;
    QTest::newRow("interrupt") << refresh << quint16(2) << refresh << messaging << "24/0" << paused;
    QTest::newRow("step") << refresh << quint16(4) << refresh << messaging << "24/0" << QString();
}

void ZuROVUrazevAsmTest::vmControl()
{
    QFETCH(int, state);
    QFETCH(quint16, sub);
    QFETCH(int, stateAfter);
    QFETCH(int, devStateAfter);
    QFETCH(QString, request);
    QFETCH(QString, logLine);
    FakeMessenger *fake = attach();
    m_window->device.state = ZuROVUrazev::DS_Messaging;
    m_window->state = ZuROVUrazev::Cfg_States(state);
    m_window->ui->progressBar->show();
    m_window->msgTimer.start();
    ModalDriver modal;
    // Control replies are taken whatever their length.
    QVERIFY(fake->inject(FakeMessenger::mcReply(0x23, sub, QByteArray("\x01\x02\x03\x04\x05", 5), DeviceAddress)));
    QCOMPARE(int(m_window->state), stateAfter);
    QCOMPARE(int(m_window->device.state), devStateAfter);
    QCOMPARE(requests(fake), request.isEmpty() ? QStringList() : QStringList{request});
    if (!logLine.isEmpty())
        QVERIFY(logText().contains(logLine));
    else
        QVERIFY(!logText().contains(QStringLiteral("Script execution")));
    if (state == ZuROVUrazev::CS_WRITE_PREP)
        QCOMPARE(m_window->ui->progressBar->format(), QStringLiteral("Generating config"));
    QVERIFY(modal.seen().isEmpty());
}

// What follows the write: nothing, a Launch or the device going; the
// notice of the written script stays only until the script starts or the
// device goes.
void ZuROVUrazevAsmTest::imageWrite_data()
{
    QTest::addColumn<QString>("after");
    QTest::newRow("written") << "nothing";
    QTest::newRow("then launched") << "launch";
    QTest::newRow("then disconnected") << "disconnect";
}

void ZuROVUrazevAsmTest::imageWrite()
{
    QFETCH(QString, after);
    QPointer<FakeMessenger> fake = attach();
    fake->setResponder([](const ZuHalPacket &p) {
        return QList<ZuHalPacket>{FakeMessenger::mcReply(0x22, subOf(p), words({0}), DeviceAddress)};
    });
    fake->setPollTime(50);
    QByteArray image(100, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = char(i);
    m_window->device.image = image;
    m_window->device.imageSize = 100;
    m_window->state = ZuROVUrazev::CS_WRITE_ASM_BIN;
    m_window->chunkOffset = 0;
    m_window->ui->actionUpload->setEnabled(false);
    m_window->ui->progressBar->show();
    ZuROVUrazev::NextPkt next;
    QVERIFY(m_window->writeNextAsm(next));
    m_window->sendFollowUp(next);
    QTRY_COMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(requests(fake), (QStringList{"22/0", "22/48", "22/96"}));
    QByteArray written;
    for (const ZuHalPacket &p : fake->sent())
        written += p.data().mid(3);
    QCOMPARE(written, image);
    QCOMPARE(fake->sent().at(2).data().size(), 3 + 4);
    QVERIFY(logText().contains(QStringLiteral("Written 100 bytes of script to the device")));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("Script successfully flashed"));
    QVERIFY(m_window->ui->actionUpload->isEnabled());
    QVERIFY(m_window->ui->actionLaunch->isEnabled());
    QVERIFY(m_window->ui->progressBar->isHidden());
    QVERIFY(!m_window->msgTimer.isActive());
    QCOMPARE(fake->pollTime(), 500);
    if (after == QLatin1String("launch")) {
        m_window->device.state = ZuROVUrazev::DS_Config;
        m_window->on_actionLaunch_triggered();
        QCOMPARE(requests(fake).last(), QStringLiteral("23/1"));
    } else if (after == QLatin1String("disconnect")) {
        fake->close();
        QTRY_VERIFY(!m_window->messenger);
    } else {
        return;
    }
    QCOMPARE(m_window->statusBar()->currentMessage(), QString());
}

void ZuROVUrazevAsmTest::imageWriteRefused_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("text");
    QTest::newRow("3 bytes") << QByteArray(3, '\0') << "Communication error - invalid reply";
    QTest::newRow("5 bytes") << QByteArray(5, '\0') << "Communication error - invalid reply";
    QTest::newRow("flash error 5") << words({5}) << "Flash Error 5";
    QTest::newRow("flash error 255") << words({0xFF}) << "Flash Error 255";
}

void ZuROVUrazevAsmTest::imageWriteRefused()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, text);
    QPointer<FakeMessenger> fake = attach();
    m_window->device.image = QByteArray(100, 'x');
    m_window->state = ZuROVUrazev::CS_WRITE_ASM_BIN;
    m_window->postUpload = ZuROVUrazev::PU_Launch;
    m_window->chunkOffset = 48;
    m_window->ui->progressBar->show();
    m_window->msgTimer.start();
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QVERIFY(fake->inject(FakeMessenger::mcReply(0x22, 0, reply, DeviceAddress)));
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Write Script"));
    QCOMPARE(modal.seen().first().text, text);
    QVERIFY(fake->sent().isEmpty());
    QCOMPARE(fake->closeCount(), 1);
    QVERIFY(!m_window->messenger);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(m_window->postUpload, ZuROVUrazev::PU_NOP);
    QVERIFY(!m_window->msgTimer.isActive());
    QVERIFY(m_window->ui->progressBar->isHidden());
    QTRY_VERIFY(!fake);
    QVERIFY(!logText().contains(QStringLiteral("Written")));
}

// The window closes while its warning box is open: the box's end finds
// the connection gone and nothing breaks.
void ZuROVUrazevAsmTest::imageWriteRefusedClosesWindowInBox()
{
    QPointer<FakeMessenger> fake = attach();
    m_window->device.image = QByteArray(100, 'x');
    m_window->state = ZuROVUrazev::CS_WRITE_ASM_BIN;
    ModalDriver modal;
    modal.then([this](QWidget *box) {
        m_window->close();
        m_window->deleteLater();
        box->close();
    });
    QVERIFY(fake->inject(FakeMessenger::mcReply(0x22, 0, QByteArray(3, '\0'), DeviceAddress)));
    QCOMPARE(modal.seen().size(), 1);
    QTRY_VERIFY(!m_window);
    QVERIFY(!fake);
}

// A whole refresh after a step: control, VM information, ISR, registers
// and the RAM read, with the RAM offsets asked.
void ZuROVUrazevAsmTest::refreshReadsState_data()
{
    QTest::addColumn<quint32>("ram");
    QTest::addColumn<quint32>("stack");
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("echo");
    QTest::addColumn<int>("deviceRam");
    QTest::addColumn<QList<int>>("offsets");
    QTest::newRow("130 bytes in 64, 64, 2 and 0") << 130u << 0u << 64 << -1 << 130 << QList<int>{0, 64, 128, 130};
    QTest::newRow("offset 0 echoed") << 130u << 0u << 64 << 0 << 130 << QList<int>{0, 64, 128, 130};
    QTest::newRow("device RAM larger than reported") << 130u << 0u << 64 << -1 << 1000 << QList<int>{0, 64, 128};
    QTest::newRow("stack area after the RAM") << 100u << 8u << 48 << -1 << 132 << QList<int>{0, 48, 96, 132};
    QList<int> upTo65535;
    for (int offset = 0; offset < 0x10000; offset += 128)
        upTo65535 << offset;
    QTest::newRow("beyond the 16-bit offsets") << 65536u << 1u << 128 << -1 << 70000 << upTo65535;
}

void ZuROVUrazevAsmTest::refreshReadsState()
{
    QFETCH(quint32, ram);
    QFETCH(quint32, stack);
    QFETCH(int, chunk);
    QFETCH(int, echo);
    QFETCH(int, deviceRam);
    QFETCH(QList<int>, offsets);
    FakeMessenger *fake = attach();
    SimController sim(fake);
    SimDevice &vm = scriptDevice(sim);
    vm.vmFlags = 0x0A03;
    vm.vmRam = ram;
    vm.vmStack = stack;
    vm.ramChunk = chunk;
    if (echo >= 0)
        vm.ramEcho = quint16(echo);
    vm.ram.resize(deviceRam);
    for (int i = 0; i < deviceRam; ++i)
        vm.ram[i] = char(i & 0xFF);
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    runRefresh(fake);

    QStringList expected{"23/4", "24/0", "24/2", "25/0"};
    for (int offset : offsets)
        expected << QStringLiteral("26/%1").arg(offset);
    QCOMPARE(requests(fake), expected);
    QCOMPARE(page()->registerCount(), 7);
    QCOMPARE(page()->ramImageSize(), int(ram + 4 * stack));
    // Each chunk lands where it was asked for, none beyond the image.
    const auto *ramModel = qobject_cast<QRamTableModel *>(page()->findChild<QTableView *>("ramView")->model());
    const QByteArray image = ramModel->image();
    QCOMPARE(image.size(), int(ram + 4 * stack));
    for (int i : {0, 63, 64, 99})
        QCOMPARE(quint8(image.at(i)), quint8(i));
    QCOMPARE(page()->mode(), ZuASMDebugger::Step);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Debugging);
    QCOMPARE(fake->pollTime(), 500);
    QVERIFY(m_window->ui->actionDebug_Step->isEnabled());
    QVERIFY(m_window->ui->actionContinue->isEnabled());
    QVERIFY(m_window->ui->actionRestart_Debugging->isEnabled());
    QVERIFY(!m_window->msgTimer.isActive());
}

void ZuROVUrazevAsmTest::refreshLengthErrors_data()
{
    QTest::addColumn<quint8>("cmd");
    QTest::addColumn<quint16>("sub");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("detail");
    QTest::newRow("registers a word short") << quint8(0x25) << quint16(0) << QByteArray(24, '\0')
                                            << "Expected 7 machine registers, got 6";
    QTest::newRow("registers a word long") << quint8(0x25) << quint16(0) << QByteArray(32, '\0')
                                           << "Expected 7 machine registers, got 8";
    QTest::newRow("ISR of 3 bytes") << quint8(0x24) << quint16(2) << QByteArray(3, '\0')
                                    << "'ASM ISR' expected 4 bytes, got 3. Incompatible ISR structure";
}

void ZuROVUrazevAsmTest::refreshLengthErrors()
{
    QFETCH(quint8, cmd);
    QFETCH(quint16, sub);
    QFETCH(QByteArray, reply);
    QFETCH(QString, detail);
    FakeMessenger *fake = attach();
    SimController sim(fake);
    scriptDevice(sim).replyOverride[{cmd, sub}] = reply;
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    runRefresh(fake);
    QVERIFY(modal.waitSeen(1));
    QCOMPARE(modal.seen().first().text, QStringLiteral("Cannot retrieve configuration<br>") + detail);
    QCOMPARE(requests(fake).constLast(), QStringLiteral("%1/%2").arg(cmd, 0, 16).arg(sub));
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Invalid);
    QCOMPARE(fake->pollTime(), 500);
    // The refresh is over and the window idle; the device no longer
    // debugs, so the debug actions are off.
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QVERIFY(!m_window->ui->actionDebug_Step->isEnabled());
    QVERIFY(!m_window->msgTimer.isActive());
}

// The sizes a refresh reports size the page: beyond sense they are refused
// before anything is built.
void ZuROVUrazevAsmTest::refreshSizeBounds_data()
{
    QTest::addColumn<quint32>("registers");
    QTest::addColumn<quint32>("stack");
    QTest::addColumn<quint32>("ram");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("64 registers, 64 KiB of RAM") << 64u << 16u << 65536u << true;
    QTest::newRow("65 registers") << 65u << 16u << 256u << false;
    QTest::newRow("stack of 65537") << 7u << 65537u << 256u << false;
    QTest::newRow("RAM of 65537") << 7u << 16u << 65537u << false;
    QTest::newRow("RAM of 4 GiB") << 7u << 16u << 0xFFFFFFFFu << false;
}

void ZuROVUrazevAsmTest::refreshSizeBounds()
{
    QFETCH(quint32, registers);
    QFETCH(quint32, stack);
    QFETCH(quint32, ram);
    QFETCH(bool, accepted);
    FakeMessenger *fake = attach();
    fake->setResponder([&](const ZuHalPacket &p) -> QList<ZuHalPacket> {
        if (commandOf(p) == 0x23)
            return {FakeMessenger::mcReply(0x23, subOf(p), QByteArray(), DeviceAddress)};
        if (commandOf(p) == 0x24 && subOf(p) == 0)
            return {FakeMessenger::mcReply(0x24, 0, words({0, stack, ram, registers}), DeviceAddress)};
        return {};
    });
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_window->on_actionDebug_Step_triggered();
    if (accepted) {
        QTRY_COMPARE(requests(fake).size(), 3);
        QCOMPARE(requests(fake).constLast(), QStringLiteral("24/2"));
        QCOMPARE(page()->registerCount(), int(registers));
        QCOMPARE(page()->ramImageSize(), int(ram + 4 * stack));
        QCOMPARE(m_window->state, ZuROVUrazev::CS_ASM_STATE);
        QVERIFY(modal.seen().isEmpty());
        return;
    }
    QVERIFY(modal.waitSeen(1));
    QCOMPARE(modal.seen().first().text,
             QStringLiteral("Cannot retrieve configuration<br>'ASM VM' packet holds impossible sizes"));
    QCOMPARE(requests(fake), (QStringList{"23/4", "24/0"}));
    QCOMPARE(page()->registerCount(), 0);
    QCOMPARE(page()->ramImageSize(), 0);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Invalid);
}

void ZuROVUrazevAsmTest::refreshSendFails()
{
    FakeMessenger *fake = attach();
    fake->setRefuseSends(true);
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_window->ui->actionDebug_Step->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Read from the Device"));
    QCOMPARE(modal.seen().first().text, QStringLiteral("Cannot retrieve configuration<br>Communication error"));
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(fake->pollTime(), 500);
    QVERIFY(m_window->ui->actionDebug_Step->isEnabled());
}

// While a refresh runs the actions that would start another one do
// nothing, by menu, key or tool bar; Interrupt only ends the stepping.
void ZuROVUrazevAsmTest::actionsDuringRefresh()
{
    FakeMessenger *fake = attach();
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
    m_window->on_actionDebug_Step_triggered();
    QCOMPARE(requests(fake), QStringList{"23/4"});
    Ui_ZuROVUrazev *ui = m_window->ui;
    for (QAction *action : {ui->actionDebug_Step, ui->actionDebug_Next, ui->actionRestart_Debugging,
                            ui->actionContinue}) {
        QVERIFY2(!action->isEnabled(), qPrintable(action->objectName()));
        action->trigger();
    }
    QVERIFY(ui->actionInterrupt->isEnabled());
    for (Qt::Key key : {Qt::Key_F10, Qt::Key_F11, Qt::Key_F5})
        QTest::keyClick(m_window, key);
    m_window->on_actionDebug_Next_triggered();
    m_window->on_actionRestart_Debugging_triggered();
    m_window->on_actionContinue_triggered();
    emit page()->syncRam();
    page()->setMode(ZuASMDebugger::Next);
    ui->actionInterrupt->trigger();
    QCOMPARE(page()->mode(), ZuASMDebugger::Step);
    QCOMPARE(requests(fake), QStringList{"23/4"});
    QCOMPARE(m_window->state, ZuROVUrazev::CS_ASM_STATE);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Debugging);
}

void ZuROVUrazevAsmTest::actionSlots_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("toMain");
    QTest::addColumn<int>("modeAfter");
    QTest::addColumn<QString>("request");
    QTest::addColumn<int>("stateAfter");
    QTest::addColumn<int>("devStateAfter");
    const int refresh = ZuROVUrazev::CS_ASM_STATE;
    const int debugging = ZuROVUrazev::DS_Debugging;
    QTest::newRow("restart to main") << "actionRestart_Debugging" << true << int(ZuASMDebugger::RunToMain) << "23/0"
                                     << refresh << debugging;
    QTest::newRow("restart at the entry") << "actionRestart_Debugging" << false << int(ZuASMDebugger::Init) << "23/0"
                                          << refresh << debugging;
    QTest::newRow("step") << "actionDebug_Step" << true << int(ZuASMDebugger::Step) << "23/4" << refresh << debugging;
    QTest::newRow("next") << "actionDebug_Next" << true << int(ZuASMDebugger::Next) << "23/4" << refresh << debugging;
    QTest::newRow("interrupt") << "actionInterrupt" << true << int(ZuASMDebugger::Step) << "23/2" << refresh
                               << debugging;
    QTest::newRow("continue") << "actionContinue" << true << int(ZuASMDebugger::Run) << "23/3"
                              << int(ZuROVUrazev::CS_ASM_START) << int(ZuROVUrazev::DS_Messaging);
}

void ZuROVUrazevAsmTest::actionSlots()
{
    QFETCH(QString, action);
    QFETCH(bool, toMain);
    QFETCH(int, modeAfter);
    QFETCH(QString, request);
    QFETCH(int, stateAfter);
    QFETCH(int, devStateAfter);
    m_settings->set(QStringLiteral("DbgToMain"), toMain);
    FakeMessenger *fake = attach();
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    page()->setMode(ZuASMDebugger::Step);
    // Next is on only with a listing's source locations: the slot is
    // called directly.
    QVERIFY(QMetaObject::invokeMethod(m_window, qPrintable(QStringLiteral("on_%1_triggered").arg(action))));
    QCOMPARE(requests(fake), QStringList{request});
    QCOMPARE(int(page()->mode()), modeAfter);
    QCOMPARE(int(m_window->state), stateAfter);
    QCOMPARE(int(m_window->device.state), devStateAfter);
    QCOMPARE(fake->pollTime(), stateAfter == ZuROVUrazev::CS_ASM_STATE ? 50 : 100);
    QVERIFY(m_window->msgTimer.isActive());
}

// Outside a debugging session the debug actions are off, and their slots
// (the menu, a shortcut) send nothing and open no box.
void ZuROVUrazevAsmTest::actionsOutsideSession_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("device");
    for (const char *action : {"actionDebug_Step", "actionContinue", "actionInterrupt", "actionRestart_Debugging"}) {
        QTest::addRow("%s, no device", action) << action << false;
        QTest::addRow("%s, script running", action) << action << true;
    }
}

void ZuROVUrazevAsmTest::actionsOutsideSession()
{
    QFETCH(QString, action);
    QFETCH(bool, device);
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QPointer<FakeMessenger> fake;
    std::unique_ptr<SimController> sim;
    if (device) {
        // The connection chain found a script running.
        fake = attach();
        sim = std::make_unique<SimController>(fake);
        scriptDevice(*sim);
        m_window->device.state = ZuROVUrazev::DS_Messaging;
        m_window->setupControls();
    }
    auto *qaction = m_window->findChild<QAction *>(action);
    QVERIFY(qaction);
    const bool enabled = qaction->isEnabled();
    qaction->trigger();
    QVERIFY(QMetaObject::invokeMethod(m_window, qPrintable(QStringLiteral("on_%1_triggered").arg(action))));
    QTest::qWait(50);
    QVERIFY(!enabled);
    QVERIFY(modal.seen().isEmpty());
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QVERIFY(!m_window->msgTimer.isActive());
    if (device) {
        QVERIFY(fake->sent().isEmpty());
        QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Messaging);
        QVERIFY(sim->attached().vmControls.isEmpty());
    }
}

// A refresh that finds the machine's next instruction to be a halt, the
// script's end: the window says so with main's result, leaves only Restart
// on, and Step sends nothing.
void ZuROVUrazevAsmTest::stepStopsAtScriptEnd()
{
    FakeMessenger *fake = attach();
    SimController sim(fake);
    SimDevice &vm = scriptDevice(sim);
    // Two instructions: a nop at 0x10 and the final halt at 0x11.
    const QByteArray listing = R"({"text": [
        {"EIP": 16, "opcode": 255, "opname": "nop", "args": []},
        {"EIP": 17, "opcode": 254, "opname": "halt", "args": []}]})";
    QVERIFY(page()->setAsm(listing));
    vm.registers = {42, 0, 0, 0, 0x10, 0, 0};
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    runRefresh(fake);
    QCOMPARE(vm.registers.at(4), 0x11u);
    Ui_ZuROVUrazev *ui = m_window->ui;
    QVERIFY(page()->atScriptEnd());
    QVERIFY(logText().contains(QStringLiteral("The script has ended (return value 42)")));
    QCOMPARE(m_window->statusBar()->currentMessage(), QStringLiteral("The script has ended (return value 42)"));
    for (QAction *off : {ui->actionDebug_Step, ui->actionDebug_Next, ui->actionContinue, ui->actionInterrupt})
        QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
    QVERIFY(ui->actionRestart_Debugging->isEnabled());

    fake->clearSent();
    m_window->on_actionDebug_Step_triggered();
    m_window->on_actionDebug_Next_triggered();
    m_window->on_actionContinue_triggered();
    m_window->on_actionInterrupt_triggered();
    QVERIFY(fake->sent().isEmpty());
    QCOMPARE(vm.registers.at(4), 0x11u);

    // Restart leaves the end: the notice goes with it.
    vm.registers[4] = 0x10;
    m_window->on_actionRestart_Debugging_triggered();
    QCOMPARE(m_window->statusBar()->currentMessage(), QString());
    QTRY_COMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QVERIFY(!page()->atScriptEnd());
    QVERIFY(ui->actionDebug_Step->isEnabled());
}

void ZuROVUrazevAsmTest::stepKeepsNextMode()
{
    attach();
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    page()->setMode(ZuASMDebugger::Next);
    QSignalSpy modes(page(), &ZuASMDebugger::modeChanged);
    m_window->on_actionDebug_Next_triggered();
    QCOMPARE(page()->mode(), ZuASMDebugger::Next);
    QCOMPARE(modes.count(), 0);
}

void ZuROVUrazevAsmTest::ramSync_data()
{
    QTest::addColumn<int>("devState");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("syncs");
    QTest::newRow("debugging, idle") << int(ZuROVUrazev::DS_Debugging) << int(ZuROVUrazev::CS_IDLE) << true;
    QTest::newRow("script running") << int(ZuROVUrazev::DS_Messaging) << int(ZuROVUrazev::CS_IDLE) << false;
    QTest::newRow("during a refresh") << int(ZuROVUrazev::DS_Debugging) << int(ZuROVUrazev::CS_ASM_STATE) << false;
}

void ZuROVUrazevAsmTest::ramSync()
{
    QFETCH(int, devState);
    QFETCH(int, state);
    QFETCH(bool, syncs);
    FakeMessenger *fake = attach();
    SimController sim(fake);
    SimDevice &vm = scriptDevice(sim);
    vm.vmStack = 0;
    vm.vmRam = 130;
    vm.ramChunk = 64;
    page()->setupStack(0);
    page()->setupRam(130);
    m_window->device.state = ZuROVUrazev::DevState(devState);
    m_window->state = ZuROVUrazev::Cfg_States(state);
    emit page()->syncRam();
    if (!syncs) {
        QTest::qWait(50);
        QVERIFY(fake->sent().isEmpty());
        QCOMPARE(int(m_window->state), state);
        return;
    }
    QCOMPARE(m_window->state, ZuROVUrazev::CS_ASM_RAM);
    QCOMPARE(fake->pollTime(), 50);
    QTRY_COMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(requests(fake), (QStringList{"26/0", "26/64", "26/128", "26/130"}));
    QCOMPARE(fake->pollTime(), 500);
}

void ZuROVUrazevAsmTest::startRefused_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<quint32>("capabilities");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("text");
    QTest::newRow("no connection") << false << 0x0704u << GoodScript << "No active connection";
    QTest::newRow("no script capability") << true << 0x0304u << GoodScript
                                          << "Device does not support KOLM script execution and debugging";
    QTest::newRow("no project") << true << 0x0704u << QByteArray()
                                << "A project must be opened in order to start the debugger";
    QTest::newRow("build error") << true << 0x0704u << QByteArray("var main() { return nothing; }\n")
                                 << "A project must be compiled in order to start the debugger";
}

void ZuROVUrazevAsmTest::startRefused()
{
    QFETCH(bool, connected);
    QFETCH(quint32, capabilities);
    QFETCH(QByteArray, script);
    QFETCH(QString, text);
    if (!script.isEmpty())
        openProject(script);
    FakeMessenger *fake = nullptr;
    if (connected) {
        fake = attach();
        m_window->device.capabilities = capabilities;
        m_window->device.state = ZuROVUrazev::DS_Messaging;
    }
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_window->on_actionStart_Debugging_triggered();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("KOLM Debugger"));
    QCOMPARE(modal.seen().first().text, text);
    if (fake)
        QVERIFY(fake->sent().isEmpty());
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QVERIFY(m_window->ui->stackedWidget->currentIndex() != ZuROVUrazev::T_Debug);
}

// A device with no script running is not halted first; an upload that
// does not start leaves nothing of the debugger pending.
void ZuROVUrazevAsmTest::startInConfigModeSendsNoHalt()
{
    openProject(GoodScript);
    FakeMessenger *fake = attach();
    m_window->device.state = ZuROVUrazev::DS_Config;
    m_window->device.scriptSpace = 16;
    m_window->device.configSize = 8;
    m_window->device.config = QByteArray(8, '\0');
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_window->on_actionStart_Debugging_triggered();
    QCOMPARE(m_window->ui->stackedWidget->currentIndex(), int(ZuROVUrazev::T_Debug));
    QVERIFY(!requests(fake).contains(QStringLiteral("23/0")));
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Config);
    QCOMPARE(m_window->postUpload, ZuROVUrazev::PU_NOP);
}

void ZuROVUrazevAsmTest::startHaltsRunningScript()
{
    openProject(GoodScript);
    FakeMessenger *fake = attach();
    m_window->device.state = ZuROVUrazev::DS_Messaging;
    m_window->on_actionStart_Debugging_triggered();
    QCOMPARE(requests(fake), QStringList{"23/0"});
    QCOMPARE(m_window->state, ZuROVUrazev::CS_DBG_HALT);
    QCOMPARE(m_window->ui->stackedWidget->currentIndex(), int(ZuROVUrazev::T_Debug));
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QVERIFY(fake->inject(FakeMessenger::mcReply(0x23, 0, QByteArray(), DeviceAddress)));
    QVERIFY(logText().contains(QStringLiteral("The virtual machine has been stopped")));
    QVERIFY(m_window->state != ZuROVUrazev::CS_DBG_HALT);
}

void ZuROVUrazevAsmTest::failedDisassembly()
{
    attach();
    m_window->device.state = ZuROVUrazev::DS_Debugging;
    m_window->state = ZuROVUrazev::CS_WRITE_CFG;
    m_window->setupControls();
    QVERIFY(!m_window->ui->actionRestart_Debugging->isEnabled());
    m_window->pagesel_clicked(ZuROVUrazev::T_Debug);
    m_window->ui->actionLog->setChecked(false);
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    m_window->disasm_finished(false);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Disassembler"));
    QCOMPARE(modal.seen().first().text, QStringLiteral("Disassembly process failed. Debugger will be disabled"));
    QVERIFY(m_window->ui->actionLog->isChecked());
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(m_window->ui->stackedWidget->currentIndex(), int(ZuROVUrazev::T_Script));
    // The device still debugs: Restart is there to start over.
    QVERIFY(m_window->ui->actionRestart_Debugging->isEnabled());
}

void ZuROVUrazevAsmTest::emulatorEnd()
{
    m_window->emulator_finished(false, 3);
    QVERIFY(logText().contains(QStringLiteral("emulator process has unexpectedly finished with code 3")));
}

QTEST_MAIN(ZuROVUrazevAsmTest)
#include "zurovurazev_asm_test.moc"
