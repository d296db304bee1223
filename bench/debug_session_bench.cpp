// A debugging session as the user feels it, through the main window on its
// own local emulator over TCP: a 32 KB script image written to the device
// (goal: under 1 s), and one step refreshing the registers, the interrupt
// state and the 768-byte RAM image (under 100 ms). Prints median, least and
// greatest times against the goals.

#include "debug_image.h"
#include "emulator_link.h"
#include "free_port.h"
#include "ide_resources.h"
#include "kolmlocaldebugger.h"
#include "script_timing.h"
#include "zurovurazev.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kUploads = 5;
constexpr int kSteps = 50;
constexpr int kImageBytes = 32 * 1024;
constexpr double kUploadGoalMs = 1000.0;
constexpr double kStepGoalMs = 100.0;
constexpr int kConnectMs = 30000;

} // namespace

// Drives the window's device side directly: the link attached as a
// finished connection leaves it, the image written by the reply handlers,
// the steps by the debug actions.
class ZuROVUrazevDebugBench {
public:
    explicit ZuROVUrazevDebugBench(ZuROVUrazev &window)
        : w(window)
    {
    }

    bool connect(int port)
    {
        if (!w.startEmulator(true))
            return false;
        auto *link = new ZuHalTCPMessenger(&w);
        quint16 address = 0;
        if (!openEmulatorLink(*link, port, address, kConnectMs))
            return false;
        w.attachTransport(link, address, address);
        w.device.kind = ZuROVUrazev::D_PLC;
        w.device.capabilities = 0x0704;
        w.device.scriptSpace = 0x20000 - 8;
        w.device.state = ZuROVUrazev::DS_Config;
        return true;
    }

    // Writes the image chunk by chunk as the end of an upload does.
    void upload(const QByteArray &image)
    {
        w.device.image = image;
        w.device.imageSize = quint32(image.size());
        w.postUpload = ZuROVUrazev::PU_NOP;
        w.state = ZuROVUrazev::CS_WRITE_ASM_BIN;
        w.chunkOffset = 0;
        ZuROVUrazev::NextPkt next;
        w.writeNextAsm(next);
        w.sendFollowUp(next);
        waitIdle();
    }

    // The halted machine shown on the debugger page, as after a start.
    void halt()
    {
        QSettings().setValue(QStringLiteral("DbgToMain"), false);
        w.device.state = ZuROVUrazev::DS_Debugging;
        w.on_actionRestart_Debugging_triggered();
        waitIdle();
    }

    void step()
    {
        w.on_actionDebug_Step_triggered();
        waitIdle();
    }

    bool idle() const { return w.state == ZuROVUrazev::CS_IDLE; }

private:
    void waitIdle()
    {
        while (w.messenger && !idle())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }

    ZuROVUrazev &w;
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    initIdeResources();
    QTemporaryDir dir;
    QCoreApplication::setOrganizationName(QStringLiteral("kolm-bench"));
    QCoreApplication::setApplicationName(QStringLiteral("KolmIDE"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings().setValue(QStringLiteral("Updates/Auto"), false);
    const int port = freePort();
    QSettings().setValue(QLatin1String(KolmLocalDebugger::PortKey), port);

    const std::string built = debugImageOfSize(kImageBytes);
    QByteArray image(built.data(), int(built.size()));
    image.append(QByteArray((4 - image.size() % 4) % 4, '\0'));

    ZuROVUrazev window;
    ZuROVUrazevDebugBench session(window);
    if (!session.connect(port)) {
        std::fprintf(stderr, "the local emulator did not answer on port %d\n", port);
        return 1;
    }
    std::vector<double> uploads;
    for (int i = 0; i < kUploads; ++i)
        uploads.push_back(timeMs([&] { session.upload(image); }));
    std::printf("image: %d bytes\n", image.size());
    report("32 KB image written", uploads, kUploadGoalMs);

    session.halt();
    std::vector<double> steps;
    for (int i = 0; i < kSteps; ++i)
        steps.push_back(timeMs([&] { session.step(); }));
    report("step with registers and RAM", steps, kStepGoalMs);
    const bool ok = session.idle();
    // Closing ends the emulator with the window.
    window.close();
    return ok ? 0 : 1;
}
