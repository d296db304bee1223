// A kolmide whose passes a test drives: the same restart loop and IDE
// passes as the program, with a routine that joins every new application
// object (the modal-window driver, then the case's actions once the main
// window shows). The case comes from KOLM_PASS_CASE; what it finds goes to
// standard output, one "key: value" line at a time.
//
// Cases: "lang" prints "UI/Language"; "reset-no" and "reset-yes" answer the
// reset question and print it; "show" starts a second kolmide
// (KOLM_KOLMIDE) and reports its exit and the message the window got;
// "pages" keeps a picture of each page in KOLM_PICTURE_DIR; "restart" ends
// the first pass with 254 and reports what the second pass restored;
// "emulator" connects the window to its own emulator (on the port of the
// settings), prints "emulator: <process id>" and waits for its end.

#include "app_runner.h"
#include "emulator_entry.h"
#include "kolmlocaldebugger.h"
#include "modal_driver.h"
#include "restart_loop.h"
#include "shown_window.h"
#include "singleapp.h"
#include "ui_zurovurazev.h"
#include "zurovurazev.h"
#include "zuhal_messenger.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<ModalDriver> modal;
int pass = 0;

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

QString caseName()
{
    return QString::fromLocal8Bit(qgetenv("KOLM_PASS_CASE"));
}

template <class T>
T *child(QObject *parent, const char *name)
{
    T *object = parent->findChild<T *>(QLatin1String(name));
    if (!object)
        qFatal("no %s", name);
    return object;
}

void sayLanguage()
{
    say(QStringLiteral("lang: ") + QSettings().value(QStringLiteral("UI/Language")).toString());
}

void showCase()
{
    auto *guard = qApp->findChild<SingleAppHandler *>();
    auto *received = new QString;
    QObject::connect(guard, &SingleAppHandler::incomingMessage, qApp, [received](const QString &m) { *received = m; });
    QProcess second;
    second.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    second.start(QString::fromLocal8Bit(qgetenv("KOLM_KOLMIDE")), QStringList());
    while (second.state() != QProcess::NotRunning && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const qint64 ms = clock.elapsed();
    while (received->isEmpty() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    say(QStringLiteral("second: exit %1 in %2 ms").arg(second.exitCode()).arg(ms));
    say(QStringLiteral("message: ") + *received);
    delete received;
}

void picturesCase(ZuROVUrazev *window)
{
    const QDir dir(QString::fromLocal8Bit(qgetenv("KOLM_PICTURE_DIR")));
    const char *views[] = {"actionEditor",   "actionDevice_Setup", "actionDebugger",
                           "actionTerminal", "actionChat",         "actionKolm_Help"};
    int saved = 0;
    for (int i = 0; i < 6; ++i) {
        child<QAction>(window, views[i])->trigger();
        QCoreApplication::processEvents();
        if (window->grab().save(dir.filePath(QStringLiteral("kolmide_page_%1.png").arg(i))))
            ++saved;
    }
    say(QStringLiteral("pictures: %1").arg(saved));
}

// Connects through the window's own Connect action, as a user does, and
// leaves the pass running.
void emulatorCase(ZuROVUrazev *window)
{
    child<QAction>(window, "actionConnect")->trigger();
    const auto *debugger = window->findChild<KolmLocalDebugger *>();
    const auto *link = window->findChild<ZuHalAbstractMessenger *>();
    const QProcess *emulator = debugger ? debugger->process() : nullptr;
    if (!link || !link->isOpen() || !emulator || emulator->state() != QProcess::Running)
        qFatal("not connected to the emulator");
    say(QStringLiteral("emulator: %1").arg(emulator->processId()));
}

void act(ZuROVUrazev *window)
{
    const QString name = caseName();
    int code = 0;
    if (name == QLatin1String("emulator"))
        return emulatorCase(window);
    if (name == QLatin1String("show")) {
        showCase();
    } else if (name == QLatin1String("pages")) {
        picturesCase(window);
    } else if (name == QLatin1String("restart") && pass == 1) {
        window->setGeometry(60, 70, 800, 600);
        child<QAction>(window, "actionAutoStart")->setChecked(true);
        QSettings().setValue(QStringLiteral("UI/Language"), QStringLiteral("bb"));
        window->close();
        code = ZuROVUrazev::RestartCode;
    } else if (name == QLatin1String("restart")) {
        say(QStringLiteral("size: %1x%2").arg(window->width()).arg(window->height()));
        say(QStringLiteral("autostart: %1").arg(child<QAction>(window, "actionAutoStart")->isChecked()));
        sayLanguage();
    } else {
        sayLanguage();
    }
    say(QStringLiteral("pass %1 ends: %2").arg(pass).arg(code));
    QCoreApplication::exit(code);
}

// Joins each new application object.
void startPass()
{
    ++pass;
    modal = std::make_unique<ModalDriver>();
    if (pass == 1 && caseName() == QLatin1String("reset-no"))
        modal->press(QMessageBox::No);
    if (pass == 1 && caseName() == QLatin1String("reset-yes"))
        modal->press(QMessageBox::Yes).press(QMessageBox::Ok);
    if (caseName() == QLatin1String("emulator")) {
        static QString picked;
        modal->passOver(isProgressDialog);
        modal->then(pickEmulatorEntry(&picked));
    }
    QTimer::singleShot(0, qApp, [] { whenShown<ZuROVUrazev>(act); });
}

} // namespace

int main(int argc, char **argv)
{
    qAddPreRoutine(startPass);
    const int status = runRestartLoop(
        [&](QString &transport, QString &product) {
            PassArguments args(argc, argv);
            return app_runner(args.count(), args.values(), transport, product);
        },
        [](const QString &, const QString &) { return 0; });
    if (modal)
        say(QStringLiteral("unanswered: %1").arg(modal->unanswered()));
    modal.reset();
    return status;
}
