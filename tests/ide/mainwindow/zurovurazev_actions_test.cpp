// The main window's device actions against a fake transport: which
// controls a device gets, the Upload action up to its first request, run
// control, reboot, reset, connection mode, the device clock, the firmware
// update refusals, and the configuration block taken over from the device.
// Each wait inside an action (a box, the build, the event turn before the
// first request) is also run with the window deleted inside it.

#include "zurovurazev.h"

#include "fake_messenger.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "ui_zurovurazev.h"
#include "window_session.h"
#include "zuhal_packet.h"
#include "zuplcconfigv1widget.h"
#include "zuplcconfigv2widget.h"

#include <QPointer>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>

#include <memory>

namespace {

const QByteArray GoodScript = "var main() { return 7; }\n";

using W = ZuROVUrazev;

// The image of `bytes` bytes all 0xFF: its code length word reads 0xFFFF,
// so the page uploads it whole.
QByteArray image(int bytes)
{
    return QByteArray(bytes, '\xFF');
}

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(hex);
}

QImage glyph(const QIcon &icon)
{
    return icon.pixmap(24, 24).toImage();
}

} // namespace

class ZuROVUrazevActionsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void launchGlyph();
    void unknownDeviceBoxDeletesWindow();

    void upload_data();
    void upload();
    void uploadDeleteInsideWait_data();
    void uploadDeleteInsideWait();
    void uploadDisconnectInsideBuild();
    void uploadAfterOverflow_data();
    void uploadAfterOverflow();

    void launch_data();
    void launch();
    void oneWayCommands_data();
    void oneWayCommands();
    void factoryReset_data();
    void factoryReset();
    void timeSync();
    void timeSyncBusy();
    void firmwareUpdateRefused_data();
    void firmwareUpdateRefused();

    void settingsRead_data();
    void settingsRead();
    void configWarnings();
    void devicePagePicture();

private:
    FakeMessenger *attach(const QString &transport = QStringLiteral("usb"));
    void setDevice(quint32 caps, W::DevState devState, W::Devices kind = W::D_PLC);
    void openProject(bool build);
    QString logText();
    QList<QByteArray> sent(FakeMessenger *fake) const;

    std::unique_ptr<WindowSession> m_session;
    std::unique_ptr<ProjectFolder> m_folder;
    QPointer<ZuROVUrazev> m_window;
};

void ZuROVUrazevActionsTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevActionsTest::init()
{
    m_session = std::make_unique<WindowSession>();
    m_folder = std::make_unique<ProjectFolder>();
    m_window = m_session->make();
}

void ZuROVUrazevActionsTest::cleanup()
{
    // The window goes first, then its project's folder and the settings.
    delete m_window.data();
    m_folder.reset();
    m_session.reset();
}

FakeMessenger *ZuROVUrazevActionsTest::attach(const QString &transport)
{
    auto *fake = new FakeMessenger(transport, m_window);
    fake->setOnOpen(FakeMessenger::OnOpen::Stall);
    fake->open(QStringLiteral("fake"));
    fake->connectNow();
    m_window->attachTransport(fake, 0x0042, 0x0042);
    return fake;
}

void ZuROVUrazevActionsTest::setDevice(quint32 caps, W::DevState devState, W::Devices kind)
{
    m_window->device.capabilities = caps;
    m_window->device.state = devState;
    m_window->device.kind = kind;
}

void ZuROVUrazevActionsTest::openProject(bool build)
{
    m_folder->write(QStringLiteral("main.kos"), GoodScript);
    delete m_folder->load();
    m_window->code_open(m_folder->path(QStringLiteral("demo.kcpro")));
    QVERIFY(m_window->ui->projectPage->project());
    if (build) {
        m_window->ui->projectPage->compile();
        QVERIFY(m_window->ui->projectPage->compiled());
    }
}

QString ZuROVUrazevActionsTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

QList<QByteArray> ZuROVUrazevActionsTest::sent(FakeMessenger *fake) const
{
    QList<QByteArray> payloads;
    for (const ZuHalPacket &p : fake->sent())
        payloads << p.data();
    return payloads;
}

// ---------------------------------------------------------------- controls

// Each row: transport or none, capabilities, DevState, kind, script size;
// then the controls: device bar, Options menu, View menu, Download visible
// and enabled, Upload, Launch, Start Debugging, the five view actions
// (script, configuration, debugger, messages, chat as "1" or "0"), the page
// shown (the Messages page before), and the warning box's title.
void ZuROVUrazevActionsTest::controls_data()
{
    QTest::addColumn<bool>("transport");
    QTest::addColumn<uint>("caps");
    QTest::addColumn<uint>("devState");
    QTest::addColumn<uint>("kind");
    QTest::addColumn<uint>("scriptSize");
    QTest::addColumn<bool>("deviceBar");
    QTest::addColumn<bool>("options");
    QTest::addColumn<bool>("view");
    QTest::addColumn<bool>("downloadVisible");
    QTest::addColumn<bool>("download");
    QTest::addColumn<bool>("upload");
    QTest::addColumn<bool>("launch");
    QTest::addColumn<bool>("debug");
    QTest::addColumn<QString>("views");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("box");

    const uint msg = W::DS_Messaging, cfg = W::DS_Config, dbg = W::DS_Debugging, inv = W::DS_Invalid;
    const uint plc = W::D_PLC, gw = W::D_GW, generic = W::D_Generic, unknown = W::D_Unknown;
    const int messages = W::T_Messages, script = W::T_Script;
    // clang-format off
    QTest::newRow("no transport")            << false << 0x500u << msg << plc << 8u
        << false << false << false << false << true  << false << false << true  << "11111" << script << "";
    QTest::newRow("0x100 configuring")       << true << 0x100u << cfg << plc << 0u
        << true  << true  << true  << true  << true  << true  << false << true  << "11110" << messages << "";
    QTest::newRow("0x100 running")           << true << 0x100u << msg << plc << 0u
        << true  << true  << true  << true  << true  << true  << false << true  << "10110" << messages << "";
    QTest::newRow("0x400 running, script")   << true << 0x400u << msg << plc << 8u
        << true  << true  << true  << true  << true  << true  << true  << true  << "10110" << messages << "";
    QTest::newRow("0x400 debugging")         << true << 0x400u << dbg << plc << 8u
        << true  << true  << true  << true  << true  << false << true  << false << "10110" << messages << "";
    QTest::newRow("0x400 invalid")           << true << 0x400u << inv << plc << 8u
        << true  << true  << false << true  << false << false << true  << true  << "" << script << "";
    QTest::newRow("0x1 radio running")       << true << 0x1u   << msg << plc << 0u
        << true  << true  << true  << false << false << false << false << true  << "10111" << messages << "";
    QTest::newRow("0x1 radio configuring")   << true << 0x1u   << cfg << plc << 0u
        << true  << true  << true  << false << false << false << false << true  << "11111" << messages << "";
    QTest::newRow("none running")            << true << 0x0u   << msg << plc << 0u
        << true  << true  << true  << false << false << false << false << true  << "10110" << messages << "";
    QTest::newRow("none invalid")            << true << 0x0u   << inv << plc << 0u
        << true  << true  << false << false << false << false << false << true  << "" << script << "";
    QTest::newRow("gateway")                 << true << 0x401u << msg << gw << 0u
        << true  << true  << true  << true  << true  << true  << false << true  << "00011" << messages << "";
    QTest::newRow("generic")                 << true << 0x400u << msg << generic << 0u
        << true  << true  << true  << true  << false << true  << false << true  << "10110" << messages << "";
    QTest::newRow("unknown")                 << true << 0x400u << msg << unknown << 0u
        << true  << true  << false << true  << false << true  << false << true  << "10110" << script
        << "Unknown Device";
    QTest::newRow("unknown but invalid: no box") << true << 0x400u << inv << unknown << 0u
        << true  << true  << false << true  << false << false << false << true  << "" << script << "";
    // clang-format on
}

void ZuROVUrazevActionsTest::controls()
{
    QFETCH(bool, transport);
    QFETCH(uint, caps);
    QFETCH(uint, devState);
    QFETCH(uint, kind);
    QFETCH(uint, scriptSize);
    QFETCH(bool, deviceBar);
    QFETCH(bool, options);
    QFETCH(bool, view);
    QFETCH(bool, downloadVisible);
    QFETCH(bool, download);
    QFETCH(bool, upload);
    QFETCH(bool, launch);
    QFETCH(bool, debug);
    QFETCH(QString, views);
    QFETCH(int, page);
    QFETCH(QString, box);

    if (transport)
        attach();
    setDevice(caps, W::DevState(devState), W::Devices(kind));
    m_window->device.imageSize = scriptSize;
    m_window->device.info = QStringLiteral("info");
    m_window->device.configInfo = QStringLiteral("config");
    m_window->device.firmware = QStringLiteral("Mystery 1.0");
    m_window->pagesel_clicked(W::T_Messages);
    // Start from the opposite of what is expected.
    Ui_ZuROVUrazev *ui = m_window->ui;
    // (Without a transport Download keeps what the window gave it.)
    if (transport) {
        for (QAction *a : {ui->actionDownload, ui->actionUpload, ui->actionLaunch, ui->actionStart_Debugging})
            a->setEnabled(!a->isEnabled());
        ui->actionDownload->setVisible(!downloadVisible);
    }
    for (int i = 0; i < views.size(); ++i)
        m_window->viewActionEnable(i, views.at(i) != QLatin1Char('1'));

    // The form hides the chat page's view action; shown, its enabled state
    // can be read.
    ui->actionChat->setVisible(true);
    ModalDriver modal;
    m_window->setupControls();
    QCOMPARE(ui->deviceBar->isEnabled(), deviceBar);
    QCOMPARE(ui->menuOptions->isEnabled(), options);
    QCOMPARE(ui->menuView->isEnabled(), view);
    QCOMPARE(ui->actionDownload->isVisible(), downloadVisible);
    if (transport) {
        // A hidden action reads as disabled.
        QCOMPARE(ui->actionDownload->isEnabled(), download);
        QCOMPARE(ui->actionUpload->isEnabled(), upload);
        QCOMPARE(ui->actionLaunch->isEnabled(), launch);
        QCOMPARE(ui->actionStart_Debugging->isEnabled(), debug);
    } else {
        QCOMPARE(m_window->device.info, QString());
        QCOMPARE(m_window->device.configInfo, QString());
    }
    const QList<QAction *> viewActions{ui->actionEditor, ui->actionDevice_Setup, ui->actionDebugger,
                                       ui->actionTerminal, ui->actionChat};
    // An empty pattern: the view actions are left as they were.
    QString shown;
    for (QAction *a : viewActions)
        shown += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    if (!views.isEmpty())
        QCOMPARE(shown, views);
    QCOMPARE(ui->stackedWidget->currentIndex(), page);
    if (box.isEmpty()) {
        QVERIFY(modal.seen().isEmpty());
    } else {
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, box);
        QCOMPARE(modal.seen().first().text, QStringLiteral("Connected device 255 (Mystery 1.0) is not known"));
    }
}

void ZuROVUrazevActionsTest::launchGlyph()
{
    attach();
    const QImage halt = glyph(QMaterialIcon::icon(QStringLiteral("cancel")));
    const QImage start = glyph(QMaterialIcon::icon(QStringLiteral("input")));
    QVERIFY(halt != start);
    const struct {
        W::DevState state;
        QImage expected;
    } rows[] = {{W::DS_Messaging, halt}, {W::DS_Config, start}, {W::DS_Debugging, start}, {W::DS_Messaging, halt}};
    for (const auto &row : rows) {
        setDevice(0x400, row.state);
        m_window->setupControls();
        QCOMPARE(glyph(m_window->ui->actionLaunch->icon()), row.expected);
    }
    // The device goes while its script runs: no stop glyph stays.
    m_window->usb_disconnected();
    QCOMPARE(glyph(m_window->ui->actionLaunch->icon()), start);
}

void ZuROVUrazevActionsTest::unknownDeviceBoxDeletesWindow()
{
    attach();
    setDevice(0x400, W::DS_Messaging, W::D_Unknown);
    ModalDriver modal;
    modal.then([this](QWidget *) { delete m_window.data(); });
    m_window->setupControls();
    QVERIFY(!m_window);
    QCOMPARE(modal.seen().size(), 1);
}

// ------------------------------------------------------------------ upload

namespace {

enum class Edit { None, Modified, SaveFails };
// What the project page holds before the action: nothing built, the built
// image, no output file, or an image of so many bytes.
constexpr int Unbuilt = -3;
constexpr int Built = -2;
constexpr int NoOutput = -1;

} // namespace

Q_DECLARE_METATYPE(Edit)

void ZuROVUrazevActionsTest::upload_data()
{
    QTest::addColumn<bool>("project");
    QTest::addColumn<Edit>("edit");
    QTest::addColumn<int>("imageBytes");
    QTest::addColumn<int>("answer");
    QTest::addColumn<uint>("caps");
    QTest::addColumn<uint>("devState");
    QTest::addColumn<bool>("autoStart");
    QTest::addColumn<bool>("refuse");
    // The request sent, empty for none; the boxes as "title: text"; a log
    // line that must show; state and post-upload action afterwards.
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<QString>("log");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("postUpload");

    const uint msg = W::DS_Messaging, cfg = W::DS_Config;
    const int yes = QMessageBox::Yes, no = QMessageBox::No, none = QMessageBox::NoButton;
    const QByteArray halt = FakeMessenger::mcPayload(0x23, 0);
    const QByteArray version = FakeMessenger::mcPayload(0x01, 5);
    const int idle = W::CS_IDLE, prep = W::CS_WRITE_PREP;
    const int nop = W::PU_NOP, launch = W::PU_Launch;
    const QString outOfMemory = QStringLiteral(
        "Out of Memory: Cannot write config and compiled script - out of memory (overflowed by %1 bytes)");
    // clang-format off
    QTest::newRow("no project") << false << Edit::None << Built << none << 0x400u << msg << false << false
        << QByteArray() << QStringList{"Upload Script: No active project"} << QString() << idle << nop;
    // An edit outdates the build: it is saved, then built on Yes.
    QTest::newRow("modified project is saved") << true << Edit::Modified << Built << yes << 0x400u << msg
        << false << false << halt
        << QStringList{"Upload Script: The project must be compiled before uploading. Compile now?"}
        << "Project changed - save" << prep << nop;
    QTest::newRow("failing save") << true << Edit::SaveFails << Built << none << 0x400u << msg << false << false
        << QByteArray() << QStringList() << "Cannot save the project" << idle << nop;
    QTest::newRow("compile: yes") << true << Edit::None << Unbuilt << yes << 0x400u << msg << false << false
        << halt << QStringList{"Upload Script: The project must be compiled before uploading. Compile now?"}
        << "Preparing script upload - halt the virtual machine" << prep << nop;
    QTest::newRow("compile: no, nothing built") << true << Edit::None << Unbuilt << no << 0x400u << msg << false
        << false << QByteArray()
        << QStringList{"Upload Script: The project must be compiled before uploading. Compile now?"}
        << "Project compilation did not produce any output" << idle << nop;
    QTest::newRow("empty image") << true << Edit::None << NoOutput << none << 0x400u << msg << false << false
        << QByteArray() << QStringList() << "Project compilation did not produce any output" << idle << nop;
    QTest::newRow("496 bytes fit") << true << Edit::None << 496 << none << 0x400u << msg << false << false
        << halt << QStringList() << QString() << prep << nop;
    QTest::newRow("497 bytes overflow by 4") << true << Edit::None << 497 << none << 0x400u << msg << false
        << false << QByteArray() << QStringList{outOfMemory.arg(4)} << QString() << idle << nop;
    QTest::newRow("500 bytes overflow by 4") << true << Edit::None << 500 << none << 0x400u << msg << false
        << false << QByteArray() << QStringList{outOfMemory.arg(4)} << QString() << idle << nop;
    QTest::newRow("65,536 bytes reach the size check") << true << Edit::None << 65536 << none << 0x400u << msg
        << false << false << QByteArray() << QStringList{outOfMemory.arg(65536 + 16 - 512)} << QString()
        << idle << nop;
    QTest::newRow("65,537 bytes refused") << true << Edit::None << 65537 << none << 0x400u << msg << false
        << false << QByteArray() << QStringList()
        << "Cannot write the script - it is larger than 65536 bytes" << idle << nop;
    QTest::newRow("65,537 bytes refused without scripts too") << true << Edit::None << 65537 << none << 0x100u
        << msg << false << false << QByteArray() << QStringList()
        << "Cannot write the script - it is larger than 65536 bytes" << idle << nop;
    QTest::newRow("configuring asks the version") << true << Edit::None << 496 << none << 0x400u << cfg << false
        << false << version << QStringList() << "Preparing script upload - request the current config"
        << prep << nop;
    QTest::newRow("without scripts: no size check, version") << true << Edit::None << 4000 << none << 0x100u
        << msg << false << false << version << QStringList()
        << "Preparing script upload - request the current config" << prep << nop;
    QTest::newRow("AutoStart launches afterwards") << true << Edit::None << 496 << none << 0x400u << msg << true
        << false << halt << QStringList() << QString() << prep << launch;
    QTest::newRow("refused send") << true << Edit::None << 496 << none << 0x400u << msg << true << true
        << QByteArray() << QStringList{"Write to the Device: Cannot write configuration<br>Communication error"}
        << QString() << idle << nop;
    // clang-format on
}

void ZuROVUrazevActionsTest::upload()
{
    QFETCH(bool, project);
    QFETCH(Edit, edit);
    QFETCH(int, imageBytes);
    QFETCH(int, answer);
    QFETCH(uint, caps);
    QFETCH(uint, devState);
    QFETCH(bool, autoStart);
    QFETCH(bool, refuse);
    QFETCH(QByteArray, request);
    QFETCH(QStringList, boxes);
    QFETCH(QString, log);
    QFETCH(int, state);
    QFETCH(int, postUpload);

    KolmProjectWindow *page = m_window->ui->projectPage;
    if (project) {
        openProject(imageBytes != Unbuilt);
        if (imageBytes == NoOutput)
            QVERIFY(QFile::remove(page->output()));
        else if (imageBytes >= 0)
            writeBytes(page->output(), image(imageBytes));
    }
    FakeMessenger *fake = attach();
    fake->setRefuseSends(refuse);
    fake->setPollTime(100);
    setDevice(caps, W::DevState(devState));
    m_window->device.configSize = 64;
    m_window->device.scriptSpace = 448;
    m_window->device.config = QByteArray(16, '\x11');
    m_window->ui->actionAutoStart->setChecked(autoStart);
    m_window->ui->actionUpload->setEnabled(true);
    if (edit != Edit::None) {
        page->findChild<QTextEdit *>(QStringLiteral("codeEditor"))->insertPlainText(QStringLiteral("// more\n"));
        QVERIFY(page->modified());
        if (edit == Edit::SaveFails)
            QVERIFY(QDir(m_folder->path(QString())).removeRecursively());
    }

    ModalDriver modal;
    if (answer != QMessageBox::NoButton)
        modal.press(QMessageBox::StandardButton(answer));
    m_window->on_actionUpload_triggered();

    QCOMPARE(sent(fake), request.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{request});
    QStringList seen;
    for (const ModalDriver::Seen &s : modal.seen())
        seen << s.title + QStringLiteral(": ") + s.text;
    QCOMPARE(seen, boxes);
    if (!log.isEmpty())
        QVERIFY2(logText().contains(log), qPrintable(logText()));
    QCOMPARE(int(m_window->state), state);
    QCOMPARE(int(m_window->postUpload), postUpload);
    if (edit == Edit::Modified)
        QVERIFY(!page->modified());
    if (request.isEmpty()) {
        QVERIFY(!m_window->msgTimer.isActive());
        QVERIFY(m_window->ui->progressBar->isHidden());
    } else {
        // The chain runs: the reply timer waits, Upload waits for its end.
        QVERIFY(m_window->msgTimer.isActive());
        QCOMPARE(fake->pollTime(), 50);
        QVERIFY(!m_window->ui->actionUpload->isEnabled());
        QVERIFY(!m_window->ui->progressBar->isHidden());
        QCOMPARE(m_window->ui->progressBar->format(), QStringLiteral("Writing Configuration"));
        QCOMPARE(m_window->device.image, page->outputBin());
        QCOMPARE(m_window->device.imageSize, quint32(page->outputBin().size()));
    }
    if (refuse)
        QVERIFY(m_window->ui->actionUpload->isEnabled());
}

// Where the window is closed or deleted: in the compile question, in the
// build's wait, or in the event turn before the first request.
void ZuROVUrazevActionsTest::uploadDeleteInsideWait_data()
{
    QTest::addColumn<QString>("where");
    QTest::addColumn<bool>("deleteIt");
    QTest::newRow("delete in the compile question") << "question" << true;
    QTest::newRow("delete in the build") << "build" << true;
    QTest::newRow("delete before the request") << "turn" << true;
    QTest::newRow("close in the compile question") << "question" << false;
    QTest::newRow("close in the build") << "build" << false;
    QTest::newRow("close before the request") << "turn" << false;
}

void ZuROVUrazevActionsTest::uploadDeleteInsideWait()
{
    QFETCH(QString, where);
    QFETCH(bool, deleteIt);
    openProject(where == QLatin1String("turn"));
    // The transport may go with the window: its packets are counted here.
    int sent = 0;
    attach()->setResponder([&sent](const ZuHalPacket &) {
        ++sent;
        return QList<ZuHalPacket>();
    });
    setDevice(0x400, W::DS_Messaging);
    m_window->device.configSize = 64;
    m_window->device.scriptSpace = 4096;
    m_window->show();
    auto endWindow = [this, deleteIt] {
        if (deleteIt)
            delete m_window.data();
        else
            m_window->close();
    };
    auto endLater = [this, endWindow] { QMetaObject::invokeMethod(this, endWindow, Qt::QueuedConnection); };
    ModalDriver modal;
    if (where == QLatin1String("question")) {
        // A closed window still has the box to answer; a deleted one took
        // the box with it.
        modal.then([endWindow](QWidget *box) {
            QPointer<QWidget> guard(box);
            endWindow();
            if (guard)
                guard->close();
        });
    } else if (where == QLatin1String("build")) {
        // Queued as Yes is pressed: it runs in the wait for the build.
        modal.then([endLater](QWidget *box) {
            endLater();
            qobject_cast<QMessageBox *>(box)->button(QMessageBox::Yes)->click();
        });
    } else {
        endLater();
    }
    ZuROVUrazev *window = m_window;
    window->on_actionUpload_triggered();
    QCOMPARE(!m_window, deleteIt);
    // Nothing went out; a closed window has dropped its transport.
    QCOMPARE(sent, 0);
    if (m_window) {
        QVERIFY(!m_window->messenger);
        QCOMPARE(int(m_window->state), int(W::CS_IDLE));
    }
}

void ZuROVUrazevActionsTest::uploadDisconnectInsideBuild()
{
    openProject(false);
    QPointer<FakeMessenger> fake = attach();
    setDevice(0x400, W::DS_Messaging);
    m_window->device.configSize = 64;
    m_window->device.scriptSpace = 4096;
    ModalDriver modal;
    modal.press(QMessageBox::Yes);
    connect(m_window->ui->projectPage, &KolmProjectWindow::information, this, [this] {
        if (m_window->messenger)
            m_window->on_actionConnect_triggered();
    });
    FakeMessenger *raw = fake;
    m_window->on_actionUpload_triggered();
    QVERIFY(!m_window->messenger);
    if (fake)
        QVERIFY(raw->sent().isEmpty());
    QCOMPARE(int(m_window->state), int(W::CS_IDLE));
    QVERIFY(m_window->ui->progressBar->isHidden());
}

// A good build, then a build against the device's limits: an image that
// overflowed is not sent; Upload builds again and stops there. Limits that
// the image fits need a build as well, which Upload makes before sending.
void ZuROVUrazevActionsTest::uploadAfterOverflow_data()
{
    QTest::addColumn<uint>("flashLimit");
    QTest::addColumn<bool>("buildFirst"); // the page builds against the limits before Upload
    QTest::addColumn<int>("overflows");   // FLASH overflow lines in the log at the end
    QTest::addColumn<QByteArray>("request");
    const QByteArray halt = FakeMessenger::mcPayload(0x23, 0);
    QTest::newRow("overflow after a good build") << 10u << true << 2 << QByteArray();
    QTest::newRow("limits set after a good build, no build since") << 10u << false << 1 << QByteArray();
    QTest::newRow("limits the image fits") << 4096u << false << 0 << halt;
}

void ZuROVUrazevActionsTest::uploadAfterOverflow()
{
    QFETCH(uint, flashLimit);
    QFETCH(bool, buildFirst);
    QFETCH(int, overflows);
    QFETCH(QByteArray, request);
    openProject(true);
    KolmProjectWindow *page = m_window->ui->projectPage;
    FakeMessenger *fake = attach();
    setDevice(0x400, W::DS_Messaging);
    m_window->device.configSize = 64;
    m_window->device.scriptSpace = 4096;
    page->flashLimit = flashLimit;
    if (buildFirst) {
        page->compile();
        QVERIFY(QFileInfo(page->output()).isFile());
    }
    QVERIFY(!page->compiled());

    ModalDriver modal;
    modal.press(QMessageBox::Yes);
    m_window->on_actionUpload_triggered();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].text, QStringLiteral("The project must be compiled before uploading. Compile now?"));
    QCOMPARE(sent(fake), request.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{request});
    QCOMPARE(logText().count(QStringLiteral("Binary file will not fit in region `FLASH'")), overflows);
    QCOMPARE(page->compiled(), !request.isEmpty());
}

// ------------------------------------------------------------- run control

void ZuROVUrazevActionsTest::launch_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<uint>("devState");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("stateAfter");
    QTest::addColumn<QString>("log");
    QTest::addColumn<QString>("box");
    const QByteArray halt = FakeMessenger::mcPayload(0x23, 0);
    const QByteArray start = FakeMessenger::mcPayload(0x23, 1);
    // clang-format off
    QTest::newRow("busy") << int(W::CS_GET_CFG) << uint(W::DS_Messaging) << false << QByteArray()
        << int(W::CS_GET_CFG) << QString() << QString();
    QTest::newRow("running: halt") << int(W::CS_IDLE) << uint(W::DS_Messaging) << false << halt
        << int(W::CS_ASM_HALT) << "Halting the virtual machine" << QString();
    QTest::newRow("configuring: start") << int(W::CS_IDLE) << uint(W::DS_Config) << false << start
        << int(W::CS_ASM_START) << "Restarting the virtual machine" << QString();
    QTest::newRow("debugging: nothing") << int(W::CS_IDLE) << uint(W::DS_Debugging) << false << QByteArray()
        << int(W::CS_IDLE) << QString() << QString();
    QTest::newRow("invalid: nothing") << int(W::CS_IDLE) << uint(W::DS_Invalid) << false << QByteArray()
        << int(W::CS_IDLE) << QString() << QString();
    QTest::newRow("refused send") << int(W::CS_IDLE) << uint(W::DS_Messaging) << true << QByteArray()
        << int(W::CS_ASM_HALT) << "Halting the virtual machine"
        << "Write to the Device: Cannot write configuration<br>Communication error";
    // clang-format on
}

void ZuROVUrazevActionsTest::launch()
{
    QFETCH(int, state);
    QFETCH(uint, devState);
    QFETCH(bool, refuse);
    QFETCH(QByteArray, request);
    QFETCH(int, stateAfter);
    QFETCH(QString, log);
    QFETCH(QString, box);
    FakeMessenger *fake = attach();
    fake->setRefuseSends(refuse);
    setDevice(0x400, W::DevState(devState));
    m_window->state = W::Cfg_States(state);
    ModalDriver modal;
    m_window->on_actionLaunch_triggered();
    QCOMPARE(sent(fake), request.isEmpty() ? QList<QByteArray>() : QList<QByteArray>{request});
    QCOMPARE(int(m_window->state), stateAfter);
    QCOMPARE(m_window->msgTimer.isActive(), !request.isEmpty());
    const QString busy = m_window->statusBar()->currentMessage();
    QCOMPARE(busy, state == W::CS_IDLE ? QString() : QStringLiteral("Cannot start - device is busy"));
    if (!log.isEmpty())
        QVERIFY2(logText().contains(log), qPrintable(logText()));
    if (box.isEmpty()) {
        QVERIFY(modal.seen().isEmpty());
    } else {
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title + QStringLiteral(": ") + modal.seen().first().text, box);
    }
}

void ZuROVUrazevActionsTest::oneWayCommands_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QString>("log");
    QTest::newRow("reboot") << "actionReboot_Device" << FakeMessenger::mcPayload(0x06, 2)
                            << "Rebooting the device";
    QTest::newRow("USB mode") << "actionUSB_ModeSwitch" << FakeMessenger::mcPayload(0x06, 4)
                              << "Switching the device connection mode";
}

void ZuROVUrazevActionsTest::oneWayCommands()
{
    QFETCH(QString, action);
    QFETCH(QByteArray, request);
    QFETCH(QString, log);
    FakeMessenger *fake = attach();
    setDevice(0x1400, W::DS_Messaging);
    m_window->state = W::CS_GET_INFO;
    m_window->msgTimer.start();
    ModalDriver modal;
    m_window->findChild<QAction *>(action)->trigger();
    QCOMPARE(sent(fake), QList<QByteArray>{request});
    QCOMPARE(int(m_window->state), int(W::CS_IDLE));
    // No answer comes: no time-out either.
    QVERIFY(!m_window->msgTimer.isActive());
    QVERIFY(logText().contains(log));
    // The transport stays until it reports the link down.
    QVERIFY(m_window->messenger);
    QVERIFY(modal.seen().isEmpty());
}

void ZuROVUrazevActionsTest::factoryReset_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("refuse");
    QTest::newRow("no") << int(QMessageBox::No) << false;
    QTest::newRow("escape") << int(QMessageBox::NoButton) << false;
    QTest::newRow("yes") << int(QMessageBox::Yes) << false;
    QTest::newRow("yes, refused send") << int(QMessageBox::Yes) << true;
}

void ZuROVUrazevActionsTest::factoryReset()
{
    QFETCH(int, answer);
    QFETCH(bool, refuse);
    FakeMessenger *fake = attach();
    fake->setRefuseSends(refuse);
    ModalDriver modal;
    if (answer == QMessageBox::NoButton)
        modal.cancel();
    else
        modal.press(QMessageBox::StandardButton(answer));
    m_window->on_actionReset_Device_triggered();
    const bool yes = answer == QMessageBox::Yes;
    QCOMPARE(modal.seen().first().title, QStringLiteral("Reset Device"));
    QCOMPARE(modal.seen().first().text,
             QStringLiteral("Device configuration will be reset to the default state, device will be rebooted. Proceed?"));
    QCOMPARE(sent(fake), yes && !refuse ? QList<QByteArray>{FakeMessenger::mcPayload(0x06, 0)} : QList<QByteArray>());
    QCOMPARE(int(m_window->state), int(yes ? W::CS_ERASE_REBOOT : W::CS_IDLE));
    QCOMPARE(m_window->msgTimer.isActive(), yes && !refuse);
    QCOMPARE(logText().contains(QStringLiteral("Resetting the configuration to the factory defaults")), yes);
    QCOMPARE(modal.seen().size(), refuse ? 2 : 1);
    if (refuse)
        QCOMPARE(modal.seen().last().title, QStringLiteral("Write to the Device"));
}

void ZuROVUrazevActionsTest::timeSync()
{
    FakeMessenger *fake = attach();
    m_window->m_clock = [] { return QDateTime(QDate(2021, 1, 1), QTime(0, 0), Qt::UTC); };
    ModalDriver modal;
    m_window->ui->actionTime_Sync->trigger();
    QCOMPARE(sent(fake), QList<QByteArray>{FakeMessenger::mcPayload(0x07, 1, bytes("0066EE5F"))});
    QCOMPARE(int(m_window->state), int(W::CS_IDLE));
    QVERIFY(m_window->msgTimer.isActive());
    QVERIFY(logText().contains(QStringLiteral("Setting the device clock to 2021.01.01 00:00:00 (UTC)")));

    // A clock in another zone is sent as UTC; past 2106 the low 32 bits go.
    fake->clearSent();
    m_window->m_clock = [] { return QDateTime(QDate(2021, 1, 1), QTime(2, 0), Qt::OffsetFromUTC, 7200); };
    m_window->sendTimeSyncPacket();
    QCOMPARE(sent(fake), QList<QByteArray>{FakeMessenger::mcPayload(0x07, 1, bytes("0066EE5F"))});
    fake->clearSent();
    m_window->m_clock = [] { return QDateTime::fromSecsSinceEpoch(Q_INT64_C(0x100000001), Qt::UTC); };
    m_window->sendTimeSyncPacket();
    QCOMPARE(sent(fake), QList<QByteArray>{FakeMessenger::mcPayload(0x07, 1, bytes("01000000"))});
    QVERIFY(modal.seen().isEmpty());
}

void ZuROVUrazevActionsTest::timeSyncBusy()
{
    FakeMessenger *fake = attach();
    m_window->state = W::CS_WRITE_CFG;
    ModalDriver modal;
    m_window->ui->actionTime_Sync->trigger();
    QVERIFY(fake->sent().isEmpty());
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Time Sync"));
    QCOMPARE(modal.seen().first().text, QStringLiteral("The device is busy. Please try again later"));
    QCOMPARE(int(m_window->state), int(W::CS_WRITE_CFG));
}

// The hand-off itself ends the event loop; the firmware hand-off test
// program runs it. Here: the refusals, before anything is sent.
void ZuROVUrazevActionsTest::firmwareUpdateRefused_data()
{
    QTest::addColumn<QString>("transport");
    QTest::addColumn<uint>("caps");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<QString>("box");
    QTest::newRow("not upgradable") << "usb" << 0x400u << false
                                    << "Firmware Update: This device does not support firmware update";
    QTest::newRow("network") << "network" << 0xC00u << false
                             << "Firmware Update: Firmware update needs a USB or serial connection";
    QTest::newRow("unsaved script, cancelled") << "usb" << 0xC00u << true << "Save Changes";
}

void ZuROVUrazevActionsTest::firmwareUpdateRefused()
{
    QFETCH(QString, transport);
    QFETCH(uint, caps);
    QFETCH(bool, modified);
    QFETCH(QString, box);
    if (modified) {
        openProject(false);
        KolmProjectWindow *page = m_window->ui->projectPage;
        page->findChild<QTextEdit *>(QStringLiteral("codeEditor"))->insertPlainText(QStringLiteral("// more\n"));
    }
    FakeMessenger *fake = attach(transport);
    setDevice(caps, W::DS_Messaging);
    ModalDriver modal;
    if (modified)
        modal.press(QMessageBox::Cancel);
    m_window->ui->actionFirmware_Update->trigger();
    QVERIFY(fake->sent().isEmpty());
    QCOMPARE(modal.seen().size(), 1);
    const ModalDriver::Seen &seen = modal.seen().first();
    QCOMPARE(modified ? seen.title : seen.title + QStringLiteral(": ") + seen.text, box);
    QCOMPARE(m_window->messenger, static_cast<ZuHalAbstractMessenger *>(fake));
    QCOMPARE(m_window->dfuTransport(), QString());
    QCOMPARE(m_window->dfuProduct(), QString());
}

// ------------------------------------------------------------ settingsRead

void ZuROVUrazevActionsTest::settingsRead_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<QString>("box");
    QTest::addColumn<uint>("devState");
    QTest::addColumn<int>("page");
    QTest::addColumn<QString>("editor");
    QTest::addColumn<QString>("names");

    const QString missing = QStringLiteral("Cannot setup the current device - device config is missing/unknown");
    const QString corrupted = QStringLiteral(
        "Cannot setup the current device - device config is corrupted\n"
        "Select Tools->Reset to clear the damaged config and reboot the device");
    const QByteArray v1 = bytes("B1140000766221002580010000000000");
    const QByteArray v2 = bytes("9204000000000000");
    const uint inv = W::DS_Invalid;
    const int script = W::T_Script, messages = W::T_Messages;
    // clang-format off
    QTest::newRow("empty") << QByteArray() << missing << inv << script << "" << "";
    QTest::newRow("3 bytes") << bytes("B11400") << missing << inv << script << "" << "";
    QTest::newRow("version 1 of 15 bytes") << v1.left(15) << corrupted << inv << script << "" << "";
    QTest::newRow("version 1 of 16 bytes") << v1 << "" << uint(W::DS_Config) << int(W::T_Config) << "v1"
        << "<ul><li>MCU Family: L0</li><li>Radio chip: CC1101</li><li>Supported Language: KolM</li></ul>";
    QTest::newRow("version 1 of 20 bytes") << v1 + bytes("01020304") << "" << uint(W::DS_Config)
        << int(W::T_Config) << "v1"
        << "<ul><li>MCU Family: L0</li><li>Radio chip: CC1101</li><li>Supported Language: KolM</li></ul>";
    QTest::newRow("version 2 of 7 bytes") << v2.left(7) << corrupted << inv << script << "" << "";
    QTest::newRow("version 2 of 8 bytes") << v2 << "" << uint(W::DS_Messaging) << script << "v2"
        << "<ul><li>MCU Family: F0</li><li>Radio chip: NONE</li><li>Supported Language: KolM</li></ul>";
    // mcuid 7, lang 3, transport 7: none of them named.
    QTest::newRow("names outside the tables") << bytes("F2FF00000000000000") << "" << uint(W::DS_Messaging)
        << script << "v2"
        << "<ul><li>MCU Family: Unknown</li><li>Radio chip: Unknown</li><li>Supported Language: Unknown</li></ul>";
    QTest::newRow("0x14B3 is version 3") << bytes("B3140000766221002580010000000000")
        << "Cannot setup the current device - device config version 3 is unknown" << inv << script << "" << "";
    QTest::newRow("version 0") << bytes("00000000") << "Cannot setup the current device - device config version 0 is unknown"
        << inv << script << "" << "";
    // clang-format on
    Q_UNUSED(messages)
}

void ZuROVUrazevActionsTest::settingsRead()
{
    QFETCH(QByteArray, block);
    QFETCH(QString, box);
    QFETCH(uint, devState);
    QFETCH(int, page);
    QFETCH(QString, editor);
    QFETCH(QString, names);
    FakeMessenger *fake = attach();
    fake->setPollTime(100);
    setDevice(0x501, W::DS_Invalid);
    m_window->device.config = block;
    m_window->device.configInfo = QStringLiteral("old");
    m_window->startProgressBar(QStringLiteral("Reading configuration"));
    m_window->ui->actionUpload->setEnabled(false);
    // A previous editor is replaced.
    auto *previous = new QWidget;
    m_window->pushConfigWidget(previous);
    QPointer<QWidget> previousGuard(previous);
    m_window->pagesel_clicked(W::T_Messages);

    ModalDriver modal;
    m_window->settingsRead();
    QCOMPARE(fake->pollTime(), 500);
    QVERIFY(m_window->ui->progressBar->isHidden());
    if (box.isEmpty()) {
        QVERIFY(modal.seen().isEmpty());
    } else {
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, QStringLiteral("Device Configuration"));
        QCOMPARE(modal.seen().first().text, box);
    }
    QCOMPARE(uint(m_window->device.state), devState);
    QCOMPARE(m_window->ui->stackedWidget->currentIndex(), page);
    QWidget *shown = m_window->configWidget;
    if (editor == QLatin1String("v1")) {
        QVERIFY(qobject_cast<ZUPLCConfigV1Widget *>(shown));
        QVERIFY(m_window->ui->actionUpload->isEnabled());
        QVERIFY(m_window->ui->actionDevice_Setup->isEnabled());
    } else if (editor == QLatin1String("v2")) {
        QVERIFY(qobject_cast<ZUPLCConfigV2Widget *>(shown));
        QVERIFY(m_window->ui->actionUpload->isEnabled());
        QVERIFY(!m_window->ui->actionDevice_Setup->isEnabled());
    } else {
        QVERIFY(!m_window->ui->menuView->isEnabled());
        QVERIFY(!m_window->ui->actionUpload->isEnabled());
    }
    if (!editor.isEmpty()) {
        QCOMPARE(m_window->device.configInfo, names);
        QVERIFY(shown != previous);
        QTRY_VERIFY(!previousGuard);
    }
}

void ZuROVUrazevActionsTest::configWarnings()
{
    FakeMessenger *fake = attach();
    Q_UNUSED(fake)
    setDevice(0x400, W::DS_Config);
    m_window->setupControls();
    m_window->pagesel_clicked(W::T_Config);
    ModalDriver modal;
    m_window->warnConfigFailure();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Device Configuration"));
    QCOMPARE(modal.seen().first().text, QStringLiteral("Cannot configure this device - device reports invalid id"));
    QCOMPARE(m_window->ui->stackedWidget->currentIndex(), int(W::T_Script));
    QVERIFY(!m_window->ui->menuView->isEnabled());
    // It leaves DevState alone; the corrupted-block warning does not.
    QCOMPARE(m_window->device.state, W::DS_Config);
    m_window->warnCorruptedConfig();
    QCOMPARE(m_window->device.state, W::DS_Invalid);
    QCOMPARE(modal.seen().size(), 2);

    // A box that deletes the window ends the warning quietly.
    modal.then([this](QWidget *) { delete m_window.data(); });
    m_window->warnCorruptedConfig();
    QVERIFY(!m_window);
}

// Keeps a picture of the Device page with a version-1 block taken over, for
// a person to look at.
void ZuROVUrazevActionsTest::devicePagePicture()
{
    attach();
    setDevice(0x501, W::DS_Invalid);
    m_window->device.info = QStringLiteral("Connected to <b>fake</b><br><br>Device address: 0042h<br>");
    m_window->device.config = bytes("B1140000766221002580010000000000");
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->settingsRead();
    QCOMPARE(m_window->ui->stackedWidget->currentIndex(), int(W::T_Config));
    QVERIFY(qobject_cast<ZUPLCConfigV1Widget *>(m_window->configWidget)->isVisible());
    QApplication::processEvents();
    QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
    QVERIFY(m_window->grab().save(QStringLiteral(KOLM_SCREENSHOT_DIR "/device_page_v1.png")));
}

QTEST_MAIN(ZuROVUrazevActionsTest)
#include "zurovurazev_actions_test.moc"
