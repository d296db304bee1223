#ifndef KOLM_TEST_FIRMWARE_HANDOFF_DRIVER_H
#define KOLM_TEST_FIRMWARE_HANDOFF_DRIVER_H

// What the programs that run the firmware hand-off through the restart loop
// share: findings printed one per line, and a friend of the window that
// attaches a fake transport to an upgradable device and hands it over.

#include "fake_messenger.h"
#include "modal_driver.h"
#include "ui_zurovurazev.h"
#include "zurovurazev.h"

#include <QPointer>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>

namespace handoff {

inline int failures = 0;

inline void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

inline void expect(bool ok, const QString &what)
{
    say(QStringLiteral("%1: %2").arg(ok ? QStringLiteral("ok") : QStringLiteral("FAIL"), what));
    if (!ok)
        ++failures;
}

// The process's settings go to `config`, with no update check.
inline void useSettingsIn(const QTemporaryDir &config)
{
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QSettings settings(config.filePath(QStringLiteral("kolm.dev/KolmIDE.conf")), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Updates/Auto"), false);
    settings.setValue(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/releases.json"));
}

// Prints the count of failures; the program's exit status.
inline int finish()
{
    say(QStringLiteral("failures: %1").arg(failures));
    return failures == 0 ? 0 : 1;
}

} // namespace handoff

class FirmwareHandOffDriver
{
public:
    // Attaches the transport through the window's seam and gives the
    // device record the capabilities of the reply to 1/3.
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

    // Firmware Update over "usb": 6/1 goes out, the transport is dropped
    // and the action ends the event loop with 255; nothing else may end it.
    static void handOver(ZuROVUrazev *window, const ModalDriver &modal)
    {
        using handoff::expect;
        window->ui->actionAutoStart->setChecked(true);
        QPointer<FakeMessenger> fake = attach(window, QStringLiteral("usb"));
        window->ui->actionFirmware_Update->trigger();
        expect(fake && fake->sent().size() == 1
                   && fake->sent().first().data() == FakeMessenger::mcPayload(0x06, 1),
               QStringLiteral("Firmware Update sends 6/1 only"));
        expect(fake && fake->closeCount() == 1, QStringLiteral("the transport is closed"));
        expect(!window->messenger, QStringLiteral("the window drops the transport"));
        expect(!window->msgTimer.isActive(), QStringLiteral("no reply is awaited"));
        expect(modal.seen().isEmpty(), QStringLiteral("no box on the way"));
    }

    // A later pass: the window kept the settings of the one that handed
    // over, starts unconnected, and over "network" the action only warns.
    static void refuseNetwork(ZuROVUrazev *window, ModalDriver &modal)
    {
        using handoff::expect;
        expect(window->ui->actionAutoStart->isChecked(), QStringLiteral("the new window keeps AutoStart"));
        expect(!window->messenger, QStringLiteral("the new window starts unconnected"));
        QPointer<FakeMessenger> fake = attach(window, QStringLiteral("network"));
        modal.press(QMessageBox::Ok);
        window->ui->actionFirmware_Update->trigger();
        expect(fake && fake->sent().isEmpty(), QStringLiteral("over the network nothing is sent"));
        expect(modal.seen().size() == 1 && modal.seen().first().title == QLatin1String("Firmware Update")
                   && modal.seen().first().text
                          == QLatin1String("Firmware update needs a USB or serial connection"),
               QStringLiteral("over the network the warning shows"));
        expect(window->messenger == fake, QStringLiteral("over the network the transport stays"));
    }
};

#endif
