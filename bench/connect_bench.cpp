// Times the main window's device connection on the offscreen platform: from
// Connect on the local emulator's entry (halvane-kdb started beside this
// program, the link opened, the settling time) to the emulator's first
// answer reaching its handler (goal 1 s); and 10,000 replies from a
// transport in memory, each dispatched as it arrives, during a chain and
// as console traffic (goal 100 ms each).
//
// usage: connect_bench
#include "connectionwidget.h"
#include "fake_messenger.h"
#include "free_port.h"
#include "ide_resources.h"
#include "kolmlocaldebugger.h"
#include "modal_driver.h"
#include "script_timing.h"
#include "temp_settings.h"
#include "ui_zurovurazev.h"
#include "zurovurazev.h"

#include <QApplication>
#include <QEventLoop>
#include <QListWidget>
#include <QProgressDialog>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <vector>

namespace {

const int runs = 5;
const int replies = 10000;
const double connectGoalMs = 1000.0;
const double dispatchGoalMs = 100.0;

// Picks the emulator's entry by its identifier.
void pickEmulator(QWidget *window)
{
    auto *list = window->findChild<QListWidget *>(QStringLiteral("deviceList"));
    for (int row = 0; list && row < list->count(); ++row) {
        if (list->item(row)->text().startsWith(QLatin1String("EMU-0000000000"))) {
            list->setCurrentRow(row);
            return static_cast<QDialog *>(window)->accept();
        }
    }
    static_cast<QDialog *>(window)->reject();
}

} // namespace

class ZuROVUrazevConnectBench {
public:
    // Connect to the first answer dispatched; a negative time when none came
    // within ten seconds.
    static double connectToFirstAnswer()
    {
        QSettings().setValue(QLatin1String(KolmLocalDebugger::PortKey), freePort());
        auto *window = new ZuROVUrazev;
        window->show();
        QTest::qWaitForWindowExposed(window);
        QEventLoop answered;
        bool seen = false;
        window->m_mcReplyObserver = [&](const ZuHalPacket &) {
            seen = true;
            answered.quit();
        };
        ModalDriver modal;
        modal.passOver([](QWidget *w) { return qobject_cast<QProgressDialog *>(w) != nullptr; });
        modal.then(pickEmulator);
        const double ms = timeMs([&] {
            window->ui->actionConnect->trigger();
            if (!seen) {
                QTimer::singleShot(10000, &answered, &QEventLoop::quit);
                answered.exec();
            }
        });
        window->m_mcReplyObserver = nullptr;
        window->close();
        delete window;
        return seen ? ms : -1.0;
    }

    // Replies from the device at 0x0042 as they arrive, one dataReady each:
    // during the information chain (a command without a handler, bailed) or
    // as console traffic while no chain runs.
    static double dispatch(bool chain)
    {
        ZuROVUrazev window;
        FakeMessenger *fake = FakeMessenger::openLink(QStringLiteral("usb"));
        window.attachTransport(fake, 0x0042, 0x0042);
        window.state = chain ? ZuROVUrazev::CS_GET_INFO : ZuROVUrazev::CS_IDLE;
        const ZuHalPacket reply = FakeMessenger::mcReply(chain ? 0x7E : 0x20, 0, QByteArray("\x01\x02\x03\x04", 4),
                                                         0x0042, 0x0042);
        const double ms = timeMs([&] {
            for (int i = 0; i < replies; ++i)
                fake->inject(reply);
            QApplication::processEvents();
        });
        return ms;
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initIdeResources();
    TempSettings settings;
    settings.set(QStringLiteral("Updates/Auto"), false);

    std::vector<double> connected;
    for (int i = 0; i < runs; ++i) {
        const double ms = ZuROVUrazevConnectBench::connectToFirstAnswer();
        if (ms < 0) {
            std::printf("no answer from the emulator within 10 s (is halvane-kdb beside this program?)\n");
            return 1;
        }
        connected.push_back(ms);
    }
    report("Connect to the emulator's first answer", connected, connectGoalMs);

    std::vector<double> chain, console;
    for (int i = 0; i < runs; ++i) {
        chain.push_back(ZuROVUrazevConnectBench::dispatch(true));
        console.push_back(ZuROVUrazevConnectBench::dispatch(false));
    }
    report("10,000 replies dispatched during a chain", chain, dispatchGoalMs);
    report("10,000 console replies dispatched", console, dispatchGoalMs);
    return 0;
}
