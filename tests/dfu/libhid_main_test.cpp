// The updater's mode entry as the process runs it: every case calls
// libhid_main, which makes an application object of its own, so this
// program makes none. Each case drives the updater from a script that runs
// inside that application's event loop; the modal driver starts with every
// application object.

#include "libhid_main.h"
#include "modal_driver.h"
#include "qmaterialfont.h"
#include "temp_settings.h"
#include "updater_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace updater_window;

namespace {

constexpr int Wait = 20000;
// Ends an application whose script lost its way.
constexpr int WatchdogMs = 60000;

// Set by a case before it calls libhid_main.
std::function<void(ModalDriver &)> g_prepare;
std::function<void()> g_script;
// The driver of the current application, and what it met.
std::unique_ptr<ModalDriver> g_modal;
QList<ModalDriver::Seen> g_seen;

void endApplication()
{
    if (g_modal)
        g_seen = g_modal->seen();
    g_modal.reset();
}

void startApplication()
{
    g_modal = std::make_unique<ModalDriver>();
    qAddPostRoutine(endApplication);
    if (g_prepare)
        g_prepare(*g_modal);
    QTimer::singleShot(WatchdogMs, [] { QCoreApplication::exit(98); });
    if (!g_script)
        return;
    QTimer::singleShot(0, [] {
        g_script();
        // A failed check left the script early: end the application.
        if (QTest::currentTestFailed())
            QCoreApplication::exit(99);
    });
}

HIDDfu *updater()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<HIDDfu *>(widget))
            return window;
    return nullptr;
}

// Waits in the script until the updater found its bootloader.
HIDDfu *connectedUpdater()
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < Wait) {
        HIDDfu *window = updater();
        if (window && connected(*window))
            return window;
        QTest::qWait(20);
    }
    return nullptr;
}

int runUpdater(const QString &transport, const QString &device)
{
    static char name[] = "libhid_main_test";
    static char *argv[] = {name, nullptr};
    g_seen.clear();
    const int code = libhid_main(1, argv, transport, device);
    g_prepare = nullptr;
    g_script = nullptr;
    return code;
}

} // namespace

class LibHidMainTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void usbJourney();
    void failedFlashRunsTheUpdaterAgain();
    void restartRunsTheUpdaterAgain();
    void closeDuringFlash();
    void noDevice();
    void transports_data();
    void transports();

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<QTemporaryDir> m_dir;
    SimulatedUsbBus m_bus;
    std::unique_ptr<SimulatedHidBootloader> m_bootloader;
};

void LibHidMainTest::initTestCase()
{
    qAddPreRoutine(startApplication);
}

void LibHidMainTest::init()
{
    m_settings = std::make_unique<TempSettings>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_bus = SimulatedUsbBus();
    m_bootloader = attachBootloader(m_bus);
    HIDDfu::setProxyFactory([this](QObject *parent) { return new BusHidProxy(m_bus, parent); });
}

void LibHidMainTest::cleanup()
{
    HIDDfu::setProxyFactory({});
    m_bootloader.reset();
    m_dir.reset();
    m_settings.reset();
}

void LibHidMainTest::usbJourney()
{
    const QByteArray image = testImage(500);
    const QString path = writeFile(*m_dir, QStringLiteral("release.dfu"), package(image));
    QElapsedTimer sinceLaunch;
    bool iconsDrawn = false;
    g_prepare = [](ModalDriver &modal) { modal.press(QMessageBox::Yes); };
    g_script = [&] {
        HIDDfu *window = connectedUpdater();
        QVERIFY(window);
        QCOMPARE(window->runMode(), int(HIDDfu::ApplicationWindow));
        QCOMPARE(child<QLabel>(*window, "statusBar")->text(), QStringLiteral("Pellam DFU 1.0"));
        iconsDrawn = !child<QToolButton>(*window, "launchTool")->icon().isNull();
        QVERIFY(window->grab().save(QStringLiteral("libhid_main-connected.png")));
        dropFile(*window, path);
        QTRY_VERIFY_WITH_TIMEOUT(log(*window).contains(QStringLiteral("Press 'Launch'")), Wait);
        QCOMPARE(child<QProgressBar>(*window, "progressBar")->value(), 100);
        QVERIFY(window->grab().save(QStringLiteral("libhid_main-flashed.png")));
        sinceLaunch.start();
        child<QToolButton>(*window, "launchTool")->click();
    };
    QCOMPARE(runUpdater(QStringLiteral("usb"), Product), 1);
    QVERIFY(!QTest::currentTestFailed());
    QVERIFY(sinceLaunch.elapsed() >= 1900);
    QVERIFY(iconsDrawn);
    QCOMPARE(m_bootloader->memory().left(image.size()), image);
    QCOMPARE(boxTexts(g_seen), QStringList{"Update firmware to Release 2.1?"});
    QCOMPARE(m_bootloader->writtenReports.last().left(2), QByteArray::fromHex("0105"));

    // The process goes back to the IDE: a fresh application runs, and a
    // later updater pass draws its icons again.
    {
        static char name[] = "libhid_main_test";
        static char *argv[] = {name, nullptr};
        int argc = 1;
        QApplication ide(argc, argv);
        QTimer::singleShot(0, &ide, [] { QCoreApplication::exit(7); });
        QCOMPARE(ide.exec(), 7);
    }
    iconsDrawn = false;
    g_script = [&] {
        HIDDfu *window = connectedUpdater();
        QVERIFY(window);
        iconsDrawn = !child<QToolButton>(*window, "launchTool")->icon().isNull();
        window->close();
    };
    QCOMPARE(runUpdater(QStringLiteral("usb"), Product), 0);
    QVERIFY(iconsDrawn);
}

void LibHidMainTest::failedFlashRunsTheUpdaterAgain()
{
    m_bootloader->eraseError = 1;
    const QString path = writeFile(*m_dir, QStringLiteral("release.dfu"), package(testImage(100)));
    g_prepare = [](ModalDriver &modal) { modal.press(QMessageBox::Yes).press(QMessageBox::Ok).press(QMessageBox::Ok); };
    g_script = [&] {
        HIDDfu *window = connectedUpdater();
        QVERIFY(window);
        dropFile(*window, path);
    };
    QCOMPARE(runUpdater(QStringLiteral("usb"), Product), 2);
    QCOMPARE(boxTexts(g_seen), QStringList({"Update firmware to Release 2.1?", "Error erasing old firmware"}));
}

void LibHidMainTest::restartRunsTheUpdaterAgain()
{
    QElapsedTimer sinceRestart;
    g_script = [&] {
        HIDDfu *window = connectedUpdater();
        QVERIFY(window);
        sinceRestart.start();
        child<QToolButton>(*window, "restartTool")->click();
    };
    QCOMPARE(runUpdater(QStringLiteral("usb"), Product), 2);
    QVERIFY(sinceRestart.elapsed() >= 1900);
    QCOMPARE(m_bootloader->writtenReports.last().left(2), QByteArray::fromHex("0104"));
}

void LibHidMainTest::closeDuringFlash()
{
    m_bootloader->erasePolls = -1; // the erase never ends by itself
    const QString path = writeFile(*m_dir, QStringLiteral("release.dfu"), package(testImage(100)));
    // The update goes ahead; stopping it is confirmed.
    g_prepare = [](ModalDriver &modal) { modal.press(QMessageBox::Yes).press(QMessageBox::Yes); };
    g_script = [&] {
        HIDDfu *window = connectedUpdater();
        QVERIFY(window);
        dropFile(*window, path);
        QTRY_VERIFY_WITH_TIMEOUT(m_bootloader->statusReads() > 5, Wait);
        window->close();
    };
    QCOMPARE(runUpdater(QStringLiteral("usb"), Product), 0);
    QCOMPARE(m_bootloader->commands(), QStringList{"erase 100"});
    QCOMPARE(boxTexts(g_seen), QStringList({"Update firmware to Release 2.1?",
                                            "The controller is being flashed. Stop and leave it without firmware?"}));
}

void LibHidMainTest::noDevice()
{
    m_bus.devices.clear();
    g_prepare = [](ModalDriver &modal) {
        modal.then(boxOrSearch(QMessageBox::Ok)).then(boxOrSearch(QMessageBox::Ok));
    };
    QCOMPARE(runUpdater(QStringLiteral("usb"), Product), 0);
    QCOMPARE(m_bus.proxiesMade, 10);
    QCOMPARE(boxTexts(g_seen), QStringList{"No DFU capable USB device available"});
}

void LibHidMainTest::transports_data()
{
    QTest::addColumn<QString>("transport");
    QTest::addColumn<int>("code");
    QTest::newRow("USB in capitals") << "USB" << 0;
    QTest::newRow("network") << "network" << 1;
    QTest::newRow("rs485 without a port") << "rs485" << 1;
}

void LibHidMainTest::transports()
{
    QFETCH(QString, transport);
    QFETCH(int, code);
    g_prepare = [](ModalDriver &modal) { modal.press(QMessageBox::Ok); };
    if (code == 0) {
        g_script = [] {
            HIDDfu *window = connectedUpdater();
            QVERIFY(window);
            window->close();
        };
    }
    QCOMPARE(runUpdater(transport, Product), code);
    if (code == 0) {
        QCOMPARE(boxTexts(g_seen), QStringList());
    } else {
        QCOMPARE(g_seen.size(), 1);
        QCOMPARE(g_seen.first().title, QStringLiteral("Firmware Updater"));
        QCOMPARE(g_seen.first().text, QStringLiteral("A problem with the Updater application has been detected. "
                                                     "The applictaion will be closed."));
    }
}

QTEST_APPLESS_MAIN(LibHidMainTest)
#include "libhid_main_test.moc"
