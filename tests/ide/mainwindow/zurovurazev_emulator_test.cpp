// The main window debugging a script on its own local emulator: the window
// starts halvane-kdb on a free port, connects to it over TCP, writes the
// image, disassembles it and steps, interrupts and continues the machine
// with the debugger page following.

#include "zurovurazev.h"

#include "emulator_link.h"
#include "free_port.h"
#include "ide_resources.h"
#include "kolmlocaldebugger.h"
#include "kolmprojectwindow.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "qregistertablemodel.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "zuasmdebugger.h"
#include "zuhal_packet.h"
#include "zuhal_tcp.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <memory>

namespace {

// Steps through a few lines of main.
const QByteArray SteppingScript = "var main()\n"
                                  "{\n"
                                  "    var a, b;\n"
                                  "    a = 1;\n"
                                  "    b = a + 2;\n"
                                  "    a = b * 3;\n"
                                  "    for (;;) { }\n"
                                  "}\n";

// The address of the endless loop's jump in the script's image.
constexpr unsigned LoopAddress = 0x5B;

// Generous bounds for a loaded machine: the emulator, the disassembler and
// the window run under sanitizers beside other builds.
constexpr int StartMs = 30000;
constexpr int RefreshMs = 30000;

// The TCP link that keeps the requests it sent as "cmd/sub" texts.
class RecordingLink : public ZuHalTCPMessenger {
public:
    using ZuHalTCPMessenger::ZuHalTCPMessenger;

    bool send(const ZuHalPacket &packet) override
    {
        const QByteArray d = packet.data();
        if (d.size() >= 3)
            requests << QStringLiteral("%1/%2").arg(quint8(d[0]), 0, 16).arg(quint8(d[1]) | quint8(d[2]) << 8);
        return ZuHalTCPMessenger::send(packet);
    }

    QStringList requests;
};

} // namespace

class ZuROVUrazevEmulatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void debugSession();
    void startAtTheEntry();
    void interruptEndsEndlessNext();

private:
    // The window's emulator running on a free port with a connection to
    // it, the device record as the connection chain leaves it for the
    // emulator's controller.
    void connectEmulator();
    // The project with `script` on the emulator's board package, built
    // with debug information.
    void openProject(const QByteArray &script);
    // Writes the built image as an upload for debugging does and waits for
    // the first stop of the debugger.
    void startDebugging();
    // Waits until no refresh runs and the debug actions are back.
    bool waitIdle(int timeoutMs = RefreshMs);
    // The instruction pointer as the page's register view shows it.
    QString eip() const;
    // How often the window sent a request, "23/4" for a step.
    int requestsSent(const QString &request) const { return m_link ? m_link->requests.count(request) : -1; }
    QString logText();

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ProjectFolder> m_folder;
    QPointer<ZuROVUrazev> m_window;
    QPointer<RecordingLink> m_link;
};

void ZuROVUrazevEmulatorTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevEmulatorTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_settings->set(QStringLiteral("Updates/Auto"), false);
    m_settings->set(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/kolm/releases.json"));
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), freePort());
    m_window = new ZuROVUrazev;
}

void ZuROVUrazevEmulatorTest::cleanup()
{
    if (m_window) {
        m_window->close();
        delete m_window.data();
    }
    m_folder.reset();
    m_settings.reset();
}

void ZuROVUrazevEmulatorTest::connectEmulator()
{
    QVERIFY(m_window->startEmulator(true));
    const int port = QSettings().value(QLatin1String(KolmLocalDebugger::PortKey)).toInt();
    auto *link = new RecordingLink(m_window);
    m_link = link;
    quint16 address = 0;
    QVERIFY(openEmulatorLink(*link, port, address, StartMs));
    m_window->attachTransport(link, address, address);
    ZuROVUrazev::Device &device = m_window->device;
    device.kind = ZuROVUrazev::D_PLC;
    device.capabilities = 0x0704;
    device.configSize = 8;
    device.scriptSpace = 0x20000 - 8;
    device.config = QByteArray(8, '\0');
    device.state = ZuROVUrazev::DS_Config;
}

void ZuROVUrazevEmulatorTest::openProject(const QByteArray &script)
{
    m_folder = std::make_unique<ProjectFolder>();
    m_folder->write("main.kos", script);
    m_folder->write("Emulator.kbsp", readBytes(QStringLiteral(KOLM_EMULATOR_BSP)));
    m_folder->json().insert("bsp", "Emulator.kbsp");
    m_folder->json().insert("flags", QJsonArray{"debug"});
    delete m_folder->load();
    m_window->code_open(m_folder->path("demo.kcpro"));
    QVERIFY(m_window->ui->projectPage->project());
    QVERIFY(m_window->project_waitCompiled());
}

void ZuROVUrazevEmulatorTest::startDebugging()
{
    QByteArray image = m_window->ui->projectPage->outputBin();
    QVERIFY(!image.isEmpty());
    image.append(QByteArray((4 - image.size() % 4) % 4, '\0'));
    ZuROVUrazev::Device &device = m_window->device;
    device.image = image;
    device.imageSize = quint32(image.size());
    device.state = ZuROVUrazev::DS_Debugging;
    m_window->ui->zudbgPage->clear();
    m_window->pagesel_clicked(ZuROVUrazev::T_Debug);
    m_window->state = ZuROVUrazev::CS_WRITE_ASM_BIN;
    m_window->postUpload = ZuROVUrazev::PU_Debug;
    m_window->chunkOffset = 0;
    ZuROVUrazev::NextPkt next;
    QVERIFY(m_window->writeNextAsm(next));
    m_window->sendFollowUp(next);
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains(QStringLiteral("Disassembly completed")), StartMs);
    QVERIFY(logText().contains(QStringLiteral("Written %1 bytes of script to the device").arg(image.size())));
    QVERIFY(waitIdle());
}

bool ZuROVUrazevEmulatorTest::waitIdle(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (m_window->state == ZuROVUrazev::CS_IDLE && m_window->ui->actionDebug_Step->isEnabled())
            return true;
        QTest::qWait(20);
    }
    return false;
}

QString ZuROVUrazevEmulatorTest::eip() const
{
    const QAbstractItemModel *registers = m_window->ui->zudbgPage->findChild<QTableView *>("registersView")->model();
    return registers->rowCount() > 4 ? registers->index(4, 1).data().toString() : QString();
}

QString ZuROVUrazevEmulatorTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

// To main, a step, a source-line step, the RAM and the continued script.
void ZuROVUrazevEmulatorTest::debugSession()
{
    connectEmulator();
    openProject(SteppingScript);
    ZuASMDebugger *page = m_window->ui->zudbgPage;
    QSignalSpy modes(page, &ZuASMDebugger::modeChanged);
    startDebugging();
    // The run to main ends at main's first source location: the machine
    // starts there, so no step is needed.
    QCOMPARE(modes.size(), 2);
    QCOMPARE(modes.at(0).at(0).value<ZuASMDebugger::Mode>(), ZuASMDebugger::RunToMain);
    QCOMPARE(page->mode(), ZuASMDebugger::Step);
    QCOMPARE(requestsSent(QStringLiteral("23/0")), 1);
    QVERIFY(page->hasDebugSymbols());
    QVERIFY(m_window->ui->actionDebug_Next->isEnabled());
    QCOMPARE(page->registerCount(), 7);

    const QString before = eip();
    QVERIFY(!before.isEmpty());
    m_window->ui->actionDebug_Step->trigger();
    QVERIFY(waitIdle());
    QVERIFY(eip() != before);

    const int steps = requestsSent(QStringLiteral("23/4"));
    m_window->ui->actionDebug_Next->trigger();
    QVERIFY(waitIdle());
    QCOMPARE(page->mode(), ZuASMDebugger::Step);
    QVERIFY(requestsSent(QStringLiteral("23/4")) > steps);

    // The whole RAM image: the variables and the stack after them.
    QCOMPARE(page->ramImageSize(), 768);
    const int ramEnds = requestsSent(QStringLiteral("26/768"));
    const int ramStarts = requestsSent(QStringLiteral("26/0"));
    emit page->syncRam();
    QCOMPARE(m_window->state, ZuROVUrazev::CS_ASM_RAM);
    QVERIFY(waitIdle());
    QCOMPARE(requestsSent(QStringLiteral("26/0")), ramStarts + 1);
    QCOMPARE(requestsSent(QStringLiteral("26/768")), ramEnds + 1);

    m_window->ui->actionContinue->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->state, ZuROVUrazev::CS_IDLE, RefreshMs);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Messaging);
    QCOMPARE(page->mode(), ZuASMDebugger::Run);
    QVERIFY(logText().contains(QStringLiteral("Script execution has been started")));
}

// Without the run to main the first stop shows the halted machine as it
// is: no step is made.
void ZuROVUrazevEmulatorTest::startAtTheEntry()
{
    m_settings->set(QStringLiteral("DbgToMain"), false);
    connectEmulator();
    openProject(SteppingScript);
    QSignalSpy modes(m_window->ui->zudbgPage, &ZuASMDebugger::modeChanged);
    startDebugging();
    QCOMPARE(modes.size(), 1);
    QCOMPARE(modes.at(0).at(0).value<ZuASMDebugger::Mode>(), ZuASMDebugger::Step);
    QCOMPARE(requestsSent(QStringLiteral("23/4")), 0);
    QCOMPARE(requestsSent(QStringLiteral("23/0")), 1);
}

// Next over an endless loop keeps stepping until Interrupt; meanwhile the
// menu's Step and F10 do nothing.
void ZuROVUrazevEmulatorTest::interruptEndsEndlessNext()
{
    connectEmulator();
    openProject(SteppingScript);
    startDebugging();
    ZuASMDebugger *page = m_window->ui->zudbgPage;
    // Up to the loop (the jump to itself at 0x5B), one instruction at a time.
    const auto *registers = qobject_cast<const QRegisterTableModel *>(
        page->findChild<QTableView *>("registersView")->model());
    const QString loop = QRegisterTableModel::valueText(LoopAddress, registers->format());
    for (int step = 0; step < 40 && eip() != loop; ++step) {
        m_window->ui->actionDebug_Step->trigger();
        QVERIFY(waitIdle());
    }
    QCOMPARE(eip(), loop);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const int before = requestsSent(QStringLiteral("23/4"));
    m_window->ui->actionDebug_Next->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(requestsSent(QStringLiteral("23/4")) > before + 20, RefreshMs);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_ASM_STATE);
    QCOMPARE(page->mode(), ZuASMDebugger::Next);
    QVERIFY(!m_window->ui->actionDebug_Step->isEnabled());
    m_window->ui->actionDebug_Step->trigger();
    QTest::keyClick(m_window, Qt::Key_F10);
    QCOMPARE(page->mode(), ZuASMDebugger::Next);

    m_window->ui->actionInterrupt->trigger();
    QCOMPARE(page->mode(), ZuASMDebugger::Step);
    QVERIFY(waitIdle());
    QCOMPARE(page->mode(), ZuASMDebugger::Step);
    QVERIFY(!logText().contains(QStringLiteral("Communication")));
}

QTEST_MAIN(ZuROVUrazevEmulatorTest)
#include "zurovurazev_emulator_test.moc"
