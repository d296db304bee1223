// The firmware update journey end to end, offscreen: this program's own
// main runs the IDE's restart loop with the real IDE passes and the real
// updater, whose USB devices are the simulated bus of the updater's tests.
//
// First IDE pass: Firmware Update on a fake "usb" transport to an
// upgradable controller sends 6/1 and ends the pass with 255. The updater
// then runs for ("usb", "Pellam DFU") and finds the bootloader on the bus;
// a package dropped on it and the "Update firmware to …?" box answered Yes
// flash it: progress 100, "Flashed.<br>Press 'Launch'…" in the log, the
// image in the bootloader's memory. Launch ends the updater two seconds
// later with 1, and a second IDE pass runs; it ends the process with 0.
//
// Pictures of the updater window are kept in the artefacts folder. Prints one
// line per finding and "failures: N" at the end; the exit status is 0 only
// when nothing failed.

#include "app_runner.h"
#include "firmware_handoff_driver.h"
#include "libhid_main.h"
#include "restart_loop.h"
#include "shown_window.h"
#include "updater_window.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <memory>

using handoff::expect;
using namespace updater_window;

namespace {

// Bounded waits, generous for a loaded machine under the sanitizers.
constexpr int FindMs = 30000;
constexpr int FlashMs = 120000;
// Ends an application whose driving lost its way.
constexpr int WatchdogMs = 300000;

enum class Pass { Ide, Updater };
Pass pass = Pass::Ide;
int idePasses = 0;
std::unique_ptr<ModalDriver> modal;

QString packagePath;
QElapsedTimer sinceLaunch;

void saveGrab(HIDDfu *window, const QString &name)
{
    // Let the layout take in the texts just set before taking the picture.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QDir dir(QStringLiteral(KOLM_SCREENSHOT_DIR));
    const QString file = dir.filePath(QStringLiteral("firmware_journey-%1.png").arg(name));
    expect(dir.mkpath(QStringLiteral(".")), QStringLiteral("the pictures' folder exists"));
    expect(window->grab().save(file), QStringLiteral("picture %1 saved").arg(file));
}

void actIde(ZuROVUrazev *window)
{
    if (idePasses == 1) {
        FirmwareHandOffDriver::handOver(window, *modal);
        return;
    }
    QCoreApplication::exit(0);
}

// Inside the updater's event loop: waits for the bootloader, flashes the
// package and launches the new firmware. A step that fails closes the
// window, which ends the pass with 0.
void driveUpdater()
{
    HIDDfu *window = nullptr;
    const bool found = QTest::qWaitFor([&] {
        window = shownWindow<HIDDfu>();
        return window && connected(*window);
    }, FindMs);
    expect(found, QStringLiteral("the updater finds the bootloader"));
    if (!found)
        return QCoreApplication::exit(0);
    expect(window->runMode() == HIDDfu::ApplicationWindow, QStringLiteral("the updater runs as a window"));
    const QString status = child<QLabel>(*window, "statusBar")->text();
    expect(status == QLatin1String("Pellam DFU 1.0"), QStringLiteral("the status bar names the bootloader (%1)").arg(status));
    expect(onDropPage(*window), QStringLiteral("the drop page is ready"));
    saveGrab(window, QStringLiteral("connected"));

    dropFile(*window, packagePath);
    const bool flashed = QTest::qWaitFor([&] { return log(*window).contains(QStringLiteral("Press 'Launch'")); }, FlashMs);
    expect(flashed, QStringLiteral("flashing ends"));
    const int progress = child<QProgressBar>(*window, "progressBar")->value();
    expect(progress == 100, QStringLiteral("progress reaches 100 (%1)").arg(progress));
    expect(log(*window).contains(QStringLiteral("Flashed.\nPress 'Launch' to start using new firmware")),
           QStringLiteral("the log says Flashed, press Launch"));
    saveGrab(window, QStringLiteral("flashed"));
    if (!flashed)
        return void(window->close());
    sinceLaunch.start();
    child<QToolButton>(*window, "launchTool")->click();
}

// Joins each new application object: the IDE's passes and the updater's.
void startApplication()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    modal = std::make_unique<ModalDriver>();
    QTimer::singleShot(WatchdogMs, qApp, [] { QCoreApplication::exit(98); });
    if (pass == Pass::Updater) {
        modal->press(QMessageBox::Yes);
        QTimer::singleShot(0, qApp, driveUpdater);
        return;
    }
    ++idePasses;
    QTimer::singleShot(0, qApp, [] { whenShown<ZuROVUrazev>(actIde); });
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir config;
    handoff::useSettingsIn(config);

    // The upgradable controller's bootloader, on the simulated USB bus.
    SimulatedUsbBus bus;
    const std::unique_ptr<SimulatedHidBootloader> bootloader = attachBootloader(bus);
    HIDDfu::setProxyFactory([&bus](QObject *parent) { return new BusHidProxy(bus, parent); });
    QTemporaryDir files;
    const QByteArray image = testImage(500);
    packagePath = writeFile(files, QStringLiteral("release.dfu"), package(image));

    QStringList updaterCalls;
    QList<int> updaterResults;
    QList<ModalDriver::Seen> updaterBoxes;
    qAddPreRoutine(startApplication);
    const int status = runRestartLoop(
        [&](QString &transport, QString &product) {
            pass = Pass::Ide;
            const int result = app_runner(argc, argv, transport, product);
            modal.reset();
            return result;
        },
        [&](const QString &transport, const QString &product) {
            pass = Pass::Updater;
            updaterCalls << transport + QLatin1Char('/') + product;
            const int result = libhid_main(argc, argv, transport, product);
            updaterResults << result;
            if (modal)
                updaterBoxes = modal->seen();
            modal.reset();
            return result;
        });
    HIDDfu::setProxyFactory({});

    expect(updaterCalls == QStringList{QStringLiteral("usb/Pellam DFU")},
           QStringLiteral("the updater ran once with usb/Pellam DFU (%1)").arg(updaterCalls.join(QLatin1Char(','))));
    expect(updaterResults == QList<int>{1}, QStringLiteral("the updater hands back to the IDE with 1"));
    expect(sinceLaunch.isValid() && sinceLaunch.elapsed() >= 1900,
           QStringLiteral("the updater ends two seconds after Launch"));
    expect(boxTexts(updaterBoxes) == QStringList{QStringLiteral("Update firmware to Release 2.1?")},
           QStringLiteral("the only box asks to update to Release 2.1 (%1)").arg(boxTexts(updaterBoxes).join(QLatin1Char('|'))));
    expect(bootloader->memory().left(image.size()) == image, QStringLiteral("the bootloader's memory holds the image"));
    expect(bootloader->writtenReports.last().left(2) == QByteArray::fromHex("0105"),
           QStringLiteral("Launch sends the bootloader its start command"));
    expect(idePasses == 2, QStringLiteral("two IDE passes ran (%1)").arg(idePasses));
    expect(status == 0, QStringLiteral("the process ends with status 0 (%1)").arg(status));
    return handoff::finish();
}
