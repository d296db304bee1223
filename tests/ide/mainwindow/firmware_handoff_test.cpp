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
#include "fake_messenger.h"
#include "modal_driver.h"
#include "restart_loop.h"
#include "shown_window.h"
#include "ui_zurovurazev.h"
#include "zurovurazev.h"

#include <QApplication>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<ModalDriver> modal;
int idePasses = 0;
int failures = 0;
QStringList updaterCalls;

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

void expect(bool ok, const QString &what)
{
    say(QStringLiteral("%1: %2").arg(ok ? QStringLiteral("ok") : QStringLiteral("FAIL"), what));
    if (!ok)
        ++failures;
}

} // namespace

// A friend of the window: it attaches the transport through the window's
// seam and gives the device record the capabilities of the reply to 1/3.
class FirmwareHandOffDriver
{
public:
    static FakeMessenger *attach(ZuROVUrazev *window, const QString &transport)
    {
        auto *fake = new FakeMessenger(transport, window);
        fake->setOnOpen(FakeMessenger::OnOpen::Stall);
        fake->open(QStringLiteral("fake"));
        fake->connectNow();
        window->attachTransport(fake, 0x0042, 0x0042);
        window->device.capabilities = 0x800;
        window->device.state = ZuROVUrazev::DS_Messaging;
        window->device.kind = ZuROVUrazev::D_PLC;
        return fake;
    }

    static void firstPass(ZuROVUrazev *window)
    {
        window->ui->actionAutoStart->setChecked(true);
        QPointer<FakeMessenger> fake = attach(window, QStringLiteral("usb"));
        window->ui->actionFirmware_Update->trigger();
        expect(fake && fake->sent().size() == 1
                   && fake->sent().first().data() == FakeMessenger::mcPayload(0x06, 1),
               QStringLiteral("Firmware Update sends 6/1 only"));
        expect(fake && fake->closeCount() == 1, QStringLiteral("the transport is closed"));
        expect(!window->messenger, QStringLiteral("the window drops the transport"));
        expect(!window->msgTimer.isActive(), QStringLiteral("no reply is awaited"));
        expect(modal->seen().isEmpty(), QStringLiteral("no box on the way"));
        // The action ended the event loop with 255; nothing else may end it.
    }

    static void secondPass(ZuROVUrazev *window)
    {
        expect(window->ui->actionAutoStart->isChecked(), QStringLiteral("the new window keeps AutoStart"));
        expect(!window->messenger, QStringLiteral("the new window starts unconnected"));
        QPointer<FakeMessenger> fake = attach(window, QStringLiteral("network"));
        modal->press(QMessageBox::Ok);
        window->ui->actionFirmware_Update->trigger();
        expect(fake && fake->sent().isEmpty(), QStringLiteral("over the network nothing is sent"));
        expect(modal->seen().size() == 1 && modal->seen().first().title == QLatin1String("Firmware Update")
                   && modal->seen().first().text
                          == QLatin1String("Firmware update needs a USB or serial connection"),
               QStringLiteral("over the network the warning shows"));
        expect(window->messenger == fake, QStringLiteral("over the network the transport stays"));
        QCoreApplication::exit(0);
    }
};

namespace {

void act(ZuROVUrazev *window)
{
    if (idePasses == 1)
        FirmwareHandOffDriver::firstPass(window);
    else
        FirmwareHandOffDriver::secondPass(window);
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
    // Settings of its own, no update check.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    {
        QSettings settings(config.filePath(QStringLiteral("kolm.dev/KolmIDE.conf")), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Updates/Auto"), false);
        settings.setValue(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/releases.json"));
    }
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
    say(QStringLiteral("failures: %1").arg(failures));
    return failures == 0 ? 0 : 1;
}
