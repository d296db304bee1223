// The firmware update hand-off end to end, offscreen: this program's own
// main runs the IDE's restart loop with the real IDE passes and a stand-in
// updater that records what it is given and hands back to the IDE.
//
// First IDE pass: the window gets a fake "usb" transport to an upgradable
// device; Firmware Update sends 6/1, drops the transport and ends the pass
// with 255 (the window writes its settings, as at every pass's end). The
// stand-in updater must get ("usb", "Pellam DFU") and returns
// 1. Second IDE pass: a new window with the settings the first one left;
// over a "network" transport the action only shows its warning and sends
// nothing; the pass ends with 0 and so does the process.
//
// Prints one line per finding and "failures: N" at the end; the exit
// status is 0 only when nothing failed.

#include "app_runner.h"
#include "firmware_handoff_driver.h"
#include "restart_loop.h"
#include "shown_window.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using handoff::expect;

namespace {

std::unique_ptr<ModalDriver> modal;
int idePasses = 0;
QStringList updaterCalls;

void act(ZuROVUrazev *window)
{
    if (idePasses == 1) {
        FirmwareHandOffDriver::handOver(window, *modal);
        return;
    }
    FirmwareHandOffDriver::refuseNetwork(window, *modal);
    QCoreApplication::exit(0);
}

// Joins each new application object of an IDE pass.
void startPass()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    ++idePasses;
    modal = std::make_unique<ModalDriver>();
    QTimer::singleShot(0, qApp, [] { whenShown<ZuROVUrazev>(act); });
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir config;
    handoff::useSettingsIn(config);
    qAddPreRoutine(startPass);
    const int status = runRestartLoop(
        [&](QString &transport, QString &product) {
            const int result = app_runner(argc, argv, transport, product);
            modal.reset();
            return result;
        },
        [](const QString &transport, const QString &product) {
            updaterCalls << transport + QLatin1Char('/') + product;
            return 1;
        });
    expect(idePasses == 2, QStringLiteral("two IDE passes ran (%1)").arg(idePasses));
    expect(updaterCalls == QStringList{QStringLiteral("usb/Pellam DFU")},
           QStringLiteral("the updater ran once with usb/Pellam DFU (%1)").arg(updaterCalls.join(QLatin1Char(','))));
    expect(status == 0, QStringLiteral("the process ends with status 0 (%1)").arg(status));
    return handoff::finish();
}
