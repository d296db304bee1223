// The main window with its own local emulator end to end: Connect starts
// halvane-kdb on a free port and reads the emulator's controller; Upload
// writes a script that runs and sends a message, at once or on Launch; a
// reconnection finds it; the stored image reads back; Start Debugging
// writes, disassembles and stops it, and the debug actions step, interrupt
// and continue it with the debugger page following; closing the window
// stops the emulator behind a dialog that keeps the window from input.

#include "zurovurazev.h"

#include "emulator_entry.h"
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

#include <QDir>
#include <QElapsedTimer>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QSettings>
#include <QPointer>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QtEndian>

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

// A script that sends "hello" to the computer and runs on.
const QByteArray GreetingScript = "var main()\n"
                                  "{\n"
                                  "    memcpy(&MSG.TX, \"hello\", 5);\n"
                                  "    for (;;) { }\n"
                                  "}\n";

// A script that ends: main returns 7.
const QByteArray EndingScript = "var main()\n"
                                "{\n"
                                "    var a;\n"
                                "    a = 6;\n"
                                "    return a + 1;\n"
                                "}\n";

// Whether any text of the editor carries a background: the page's marker
// of the current source location.
bool sourceMarked(const QTextEdit *editor)
{
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().background().style() != Qt::NoBrush)
                return true;
    return false;
}

// Whether a row of the disassembly carries the current instruction's mark.
bool asmMarked(const QAbstractItemModel *model)
{
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 0).data(Qt::BackgroundRole).isValid())
            return true;
    return false;
}

} // namespace

class ZuROVUrazevEmulatorTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void connectReadsController();
    void uploadAndRun_data();
    void uploadAndRun();
    void debugSession();
    void startAtTheEntry();
    void interruptEndsEndlessNext();
    void stepStopsAtScriptEnd();
    void closeShowsShutdownDialog();

private:
    // Connect with the emulator's entry, until the connection chain rests.
    void connectEmulator();
    void disconnect();
    // The project with `script` on the emulator's board package, built
    // with debug information.
    void openProject(const QByteArray &script);
    // Starts debugging and waits for the debugger's first stop.
    void startDebugging();
    // Waits until no refresh runs and the debug actions are back.
    bool waitIdle(int timeoutMs = RefreshMs);
    // The instruction pointer as the page's register view shows it.
    QString eip() const;
    // How often the device answered a request, "23/4" for a step.
    int repliesSeen(const QString &request) const { return m_replies.count(request); }
    QString logText();

    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ProjectFolder> m_folder;
    QPointer<ZuROVUrazev> m_window;
    QStringList m_replies;
    int m_port = 0;
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
    m_port = freePort();
    m_settings->set(QLatin1String(KolmLocalDebugger::PortKey), m_port);
    m_window = new ZuROVUrazev;
    m_replies.clear();
    m_window->m_mcReplyObserver = [this](const ZuHalPacket &packet) {
        const QByteArray d = packet.data();
        m_replies << QStringLiteral("%1/%2").arg(quint8(d[0]), 0, 16).arg(qFromLittleEndian<quint16>(d.constData() + 1));
    };
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
    QString picked;
    ModalDriver modal;
    modal.passOver(isProgressDialog);
    modal.then(pickEmulatorEntry(&picked));
    m_window->ui->actionConnect->trigger();
    QCOMPARE(picked, QStringLiteral("127.0.0.1:%1").arg(m_port));
    QVERIFY(m_window->messenger);
    QTRY_VERIFY_WITH_TIMEOUT(m_window->state == ZuROVUrazev::CS_IDLE && m_window->device.kind == ZuROVUrazev::D_PLC
                                 && m_window->ui->progressBar->isHidden(),
                             StartMs);
    QCOMPARE(modal.unanswered(), 0);
}

void ZuROVUrazevEmulatorTest::disconnect()
{
    m_window->ui->actionConnect->trigger();
    QVERIFY(!m_window->messenger);
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
    ModalDriver modal;
    m_window->on_actionStart_Debugging_triggered();
    QTRY_VERIFY_WITH_TIMEOUT(logText().contains(QStringLiteral("Disassembly completed")), StartMs);
    QVERIFY(waitIdle());
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Debugging);
    QVERIFY(modal.seen().isEmpty());
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

// The emulator's controller as the connection chain reads it: scripts,
// a version-2 configuration block, no script yet.
void ZuROVUrazevEmulatorTest::connectReadsController()
{
    connectEmulator();
    const ZuROVUrazev::Device &device = m_window->device;
    QCOMPARE(device.capabilities, 0x0704u);
    QCOMPARE(device.kind, ZuROVUrazev::D_PLC);
    QCOMPARE(device.configSize, 8u);
    QCOMPARE(device.config.size(), 8);
    QCOMPARE(device.scriptSpace, 0x20000u - 8);
    QCOMPARE(device.state, ZuROVUrazev::DS_Config);
    QVERIFY(logText().contains(QStringLiteral("The device does not have a script")));
    QVERIFY(m_window->ui->actionUpload->isEnabled());
}

// Upload with AutoStart runs the script at once, without it Launch starts
// it; a new connection finds the script, halted since its client left, and
// the stored image reads back padded to whole words.
void ZuROVUrazevEmulatorTest::uploadAndRun_data()
{
    QTest::addColumn<bool>("autoStart");
    QTest::newRow("AutoStart") << true;
    QTest::newRow("Launch") << false;
}

void ZuROVUrazevEmulatorTest::uploadAndRun()
{
    QFETCH(bool, autoStart);
    connectEmulator();
    QVERIFY(!QTest::currentTestFailed());
    openProject(GreetingScript);
    QByteArray image = m_window->ui->projectPage->outputBin();
    image.append(QByteArray((4 - image.size() % 4) % 4, '\0'));
    m_window->ui->actionAutoStart->setChecked(autoStart);
    {
        ModalDriver modal;
        m_window->on_actionUpload_triggered();
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(QStringLiteral("Written %1 bytes of script to the device")
                                                        .arg(image.size())),
                                 RefreshMs);
        if (!autoStart) {
            QTRY_COMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
            QTest::qWait(200);
            QVERIFY(!logText().contains(QStringLiteral("PLC: hello")));
            QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Config);
            m_window->on_actionLaunch_triggered();
        }
        QTRY_VERIFY_WITH_TIMEOUT(logText().contains(QStringLiteral("PLC: hello")), RefreshMs);
        QTRY_COMPARE(m_window->device.state, ZuROVUrazev::DS_Messaging);
        QVERIFY(modal.seen().isEmpty());
    }

    disconnect();
    connectEmulator();
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(logText().contains(QStringLiteral("The device script occupies %1 bytes").arg(image.size())));
    // The emulator halts its machine while no client is connected: the
    // script waits to be launched again.
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Config);
    const int greetings = logText().count(QStringLiteral("PLC: hello"));
    m_window->on_actionLaunch_triggered();
    QTRY_COMPARE_WITH_TIMEOUT(logText().count(QStringLiteral("PLC: hello")), greetings + 1, RefreshMs);

    // The emulator serves one client at a time: the window lets it go
    // first.
    disconnect();
    ZuHalTCPMessenger link;
    quint16 address = 0;
    QVERIFY(openEmulatorLink(link, m_port, address, StartMs));
    QByteArray rom;
    for (;;) {
        ZuHalPacket read;
        read.setDestination(address);
        read.setDstPort(1);
        read.setSrcPort(2);
        const unsigned char noKey[8] = {};
        QVERIFY(read.setData(QByteArray("\x21", 1) + char(rom.size() & 0xFF) + char(rom.size() >> 8), noKey));
        QVERIFY(link.send(read));
        QElapsedTimer clock;
        clock.start();
        while (link.queue() == 0 && clock.elapsed() < StartMs)
            link.pollData(100);
        QVERIFY(link.queue() > 0);
        const QByteArray chunk = link.pop().data().mid(3);
        if (chunk.isEmpty())
            break;
        rom += chunk;
    }
    QCOMPARE(rom, image);
}

// To main, a step, a source-line step, the RAM and the continued script.
void ZuROVUrazevEmulatorTest::debugSession()
{
    connectEmulator();
    QVERIFY(!QTest::currentTestFailed());
    openProject(SteppingScript);
    ZuASMDebugger *page = m_window->ui->zudbgPage;
    QSignalSpy modes(page, &ZuASMDebugger::modeChanged);
    startDebugging();
    // The run to main ends at main's first source location: the machine
    // starts there, so no step is needed.
    QCOMPARE(modes.size(), 2);
    QCOMPARE(modes.at(0).at(0).value<ZuASMDebugger::Mode>(), ZuASMDebugger::RunToMain);
    QCOMPARE(page->mode(), ZuASMDebugger::Step);
    QCOMPARE(repliesSeen(QStringLiteral("23/0")), 1);
    QVERIFY(page->hasDebugSymbols());
    QVERIFY(m_window->ui->actionDebug_Next->isEnabled());
    QCOMPARE(page->registerCount(), 7);

    const QString before = eip();
    QVERIFY(!before.isEmpty());
    m_window->ui->actionDebug_Step->trigger();
    QVERIFY(waitIdle());
    QVERIFY(eip() != before);

    const int steps = repliesSeen(QStringLiteral("23/4"));
    m_window->ui->actionDebug_Next->trigger();
    QVERIFY(waitIdle());
    QCOMPARE(page->mode(), ZuASMDebugger::Step);
    QVERIFY(repliesSeen(QStringLiteral("23/4")) > steps);

    // The whole RAM image: the variables and the stack after them.
    QCOMPARE(page->ramImageSize(), 768);
    const int ramEnds = repliesSeen(QStringLiteral("26/768"));
    const int ramStarts = repliesSeen(QStringLiteral("26/0"));
    emit page->syncRam();
    QCOMPARE(m_window->state, ZuROVUrazev::CS_ASM_RAM);
    QVERIFY(waitIdle());
    QCOMPARE(repliesSeen(QStringLiteral("26/0")), ramStarts + 1);
    QCOMPARE(repliesSeen(QStringLiteral("26/768")), ramEnds + 1);

    const auto *editor = page->findChild<QTextEdit *>("codeEditor");
    const QAbstractItemModel *listing = page->findChild<QTableView *>("asmTable")->model();
    QVERIFY(sourceMarked(editor));
    QVERIFY(asmMarked(listing));
    m_window->ui->actionContinue->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(m_window->state, ZuROVUrazev::CS_IDLE, RefreshMs);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Messaging);
    QCOMPARE(page->mode(), ZuASMDebugger::Run);
    QVERIFY(logText().contains(QStringLiteral("Script execution has been started")));
    // The script runs: no position of the stopped machine stays marked,
    // and no debug action acts on it.
    QVERIFY(!sourceMarked(editor));
    QVERIFY(!asmMarked(listing));
    Ui_ZuROVUrazev *ui = m_window->ui;
    for (QAction *off : {ui->actionDebug_Step, ui->actionDebug_Next, ui->actionContinue, ui->actionInterrupt,
                         ui->actionRestart_Debugging})
        QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));
}

// Without the run to main the first stop shows the halted machine as it
// is: no step is made.
void ZuROVUrazevEmulatorTest::startAtTheEntry()
{
    m_settings->set(QStringLiteral("DbgToMain"), false);
    connectEmulator();
    QVERIFY(!QTest::currentTestFailed());
    openProject(SteppingScript);
    QSignalSpy modes(m_window->ui->zudbgPage, &ZuASMDebugger::modeChanged);
    startDebugging();
    QCOMPARE(modes.size(), 1);
    QCOMPARE(modes.at(0).at(0).value<ZuASMDebugger::Mode>(), ZuASMDebugger::Step);
    QCOMPARE(repliesSeen(QStringLiteral("23/4")), 0);
    QCOMPARE(repliesSeen(QStringLiteral("23/0")), 1);
}

// Next over an endless loop keeps stepping until Interrupt; meanwhile the
// menu's Step and F10 do nothing.
void ZuROVUrazevEmulatorTest::interruptEndsEndlessNext()
{
    connectEmulator();
    QVERIFY(!QTest::currentTestFailed());
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
    const int before = repliesSeen(QStringLiteral("23/4"));
    m_window->ui->actionDebug_Next->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(repliesSeen(QStringLiteral("23/4")) > before + 20, RefreshMs);
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

// Stepping up to main's final halt: the window says the script has ended
// with main's result, only Restart stays on, and Step runs no instruction
// past the end. Keeps the picture artefacts/debugger_script_ended.png.
void ZuROVUrazevEmulatorTest::stepStopsAtScriptEnd()
{
    connectEmulator();
    QVERIFY(!QTest::currentTestFailed());
    openProject(EndingScript);
    startDebugging();
    Ui_ZuROVUrazev *ui = m_window->ui;
    const auto stopped = [this, ui] {
        return m_window->state == ZuROVUrazev::CS_IDLE && ui->actionRestart_Debugging->isEnabled();
    };
    for (int step = 0; step < 60 && ui->actionDebug_Step->isEnabled(); ++step) {
        ui->actionDebug_Step->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(stopped(), RefreshMs);
    }
    QVERIFY(m_window->ui->zudbgPage->atScriptEnd());
    const QString ended = QStringLiteral("The script has ended (return value 7)");
    QVERIFY(logText().contains(ended));
    QCOMPARE(m_window->statusBar()->currentMessage(), ended);
    for (QAction *off : {ui->actionDebug_Step, ui->actionDebug_Next, ui->actionContinue, ui->actionInterrupt})
        QVERIFY2(!off->isEnabled(), qPrintable(off->objectName()));

    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR));
    QVERIFY(m_window->grab().toImage().save(QStringLiteral(KOLM_SCREENSHOT_DIR "/debugger_script_ended.png")));

    // Neither the menu, nor the shortcuts, nor the slots run on.
    const QString at = eip();
    const int steps = repliesSeen(QStringLiteral("23/4"));
    const int continues = repliesSeen(QStringLiteral("23/3"));
    ui->actionDebug_Step->trigger();
    for (Qt::Key key : {Qt::Key_F11, Qt::Key_F10, Qt::Key_F5})
        QTest::keyClick(m_window, key);
    m_window->on_actionDebug_Step_triggered();
    m_window->on_actionDebug_Next_triggered();
    m_window->on_actionContinue_triggered();
    QTest::qWait(200);
    QCOMPARE(repliesSeen(QStringLiteral("23/4")), steps);
    QCOMPARE(repliesSeen(QStringLiteral("23/3")), continues);
    QCOMPARE(m_window->state, ZuROVUrazev::CS_IDLE);
    QCOMPARE(m_window->device.state, ZuROVUrazev::DS_Debugging);
    QCOMPARE(eip(), at);
    // Restart leaves the end: the machine starts again from the beginning.
    ui->actionRestart_Debugging->trigger();
    QVERIFY(waitIdle());
    QVERIFY(eip() != at);
    QVERIFY(!m_window->ui->zudbgPage->atScriptEnd());
    QCOMPARE(m_window->statusBar()->currentMessage(), QString());

    // The device goes: the page marks no position of its machine.
    const auto *editor = m_window->ui->zudbgPage->findChild<QTextEdit *>("codeEditor");
    const QAbstractItemModel *listing = m_window->ui->zudbgPage->findChild<QTableView *>("asmTable")->model();
    QVERIFY(sourceMarked(editor));
    QVERIFY(asmMarked(listing));
    disconnect();
    QVERIFY(!sourceMarked(editor));
    QVERIFY(!asmMarked(listing));
}

// Closing while the emulator stops shows "Emulator process shutdown" at
// once, modal over the window: a shortcut typed into the window meanwhile
// reaches no action.
void ZuROVUrazevEmulatorTest::closeShowsShutdownDialog()
{
    connectEmulator();
    QVERIFY(!QTest::currentTestFailed());
    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    QSignalSpy log(m_window->ui->actionLog, &QAction::triggered);
    QTest::keyClick(m_window, Qt::Key_L, Qt::ControlModifier);
    QCOMPARE(log.count(), 1);

    QString label;
    int valueWhenSeen = -1;
    bool shownOverWindow = false;
    int triggeredMeanwhile = -1;
    ModalDriver modal;
    modal.then([&](QWidget *window) {
        auto *progress = qobject_cast<QProgressDialog *>(window);
        if (!progress)
            return;
        label = progress->labelText();
        valueWhenSeen = progress->value();
        shownOverWindow = progress->isVisible() && progress->windowModality() == Qt::WindowModal
            && progress->parentWidget() == m_window;
        QTest::keyClick(m_window, Qt::Key_L, Qt::ControlModifier);
        triggeredMeanwhile = log.count() - 1;
    });
    QVERIFY(m_window->close());
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(label, QStringLiteral("Emulator process shutdown"));
    // Shown before the first step of the wait, not once the dialog's own
    // estimate of the time left says so.
    QCOMPARE(valueWhenSeen, 0);
    QVERIFY(shownOverWindow);
    QCOMPARE(triggeredMeanwhile, 0);
    QCOMPARE(m_window->localDebugger->process()->state(), QProcess::NotRunning);
}

QTEST_MAIN(ZuROVUrazevEmulatorTest)
#include "zurovurazev_emulator_test.moc"
