// kolmide as a process, and its passes driven from inside: the command
// line, the reset question and the language setting, a second instance
// handing over to the first, the six pages, and a restart that keeps the
// window settings. Each case runs with settings of its own in a temporary
// XDG_CONFIG_HOME.

#include "child_process.h"
#include "free_port.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <fstream>

namespace {

const int WaitMs = 60000;
// The bound for kolmide and its emulator to end after a signal: they end
// within a few seconds; the bound leaves room for a loaded machine and a
// sanitizer build.
const int ShutdownMs = 30000;

// True once the process has ended (a zombie waiting for its reaper has).
bool processGone(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return true;
    const size_t state = line.rfind(") ");
    return state != std::string::npos && state + 2 < line.size() && line[state + 2] == 'Z';
}

// True when a server can listen on the port, as the next emulator does.
bool portFree(int port)
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    const int reuse = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address = loopbackAddress(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    const bool free = bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 && listen(s, 1) == 0;
    close(s);
    return free;
}

std::vector<std::string> stdStrings(const QStringList &list)
{
    std::vector<std::string> strings;
    for (const QString &s : list)
        strings.push_back(s.toStdString());
    return strings;
}

} // namespace

class KolmideProcessTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void version();
    void help();
    void language_data();
    void language();
    void secondInstanceHandsOver();
    void pages();
    void restartKeepsWindowSettings_data();
    void restartKeepsWindowSettings();
    void signalEndsEmulator_data();
    void signalEndsEmulator();

private:
    ChildResult runDriver(const QByteArray &name, std::vector<std::string> args = {});
    // The settings file of the IDE under the temporary configuration.
    QString settingsFile() const { return m_config->filePath(QStringLiteral("kolm.dev/KolmIDE.conf")); }

    std::unique_ptr<QTemporaryDir> m_config;
};

void KolmideProcessTest::init()
{
    m_config = std::make_unique<QTemporaryDir>();
    QVERIFY(m_config->isValid());
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    qputenv("LC_ALL", "de_DE.UTF-8");
    // No update check leaves the machine.
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Updates/Auto"), false);
    settings.setValue(QStringLiteral("Updates/Url"), QStringLiteral("file:///nonexistent/releases.json"));
}

ChildResult KolmideProcessTest::runDriver(const QByteArray &name, std::vector<std::string> args)
{
    qputenv("KOLM_PASS_CASE", name);
    args.insert(args.begin(), KOLM_PASS_DRIVER);
    ChildProcess driver(args);
    return driver.wait(WaitMs);
}

void KolmideProcessTest::version()
{
    ChildProcess kolmide({KOLMIDE_PROGRAM, "--version"});
    const ChildResult r = kolmide.wait(WaitMs);
    QCOMPARE(r.status, 0);
    QCOMPARE(QString::fromStdString(r.out), QStringLiteral("KolmIDE 0.2.1\n"));
}

void KolmideProcessTest::help()
{
    ChildProcess kolmide({KOLMIDE_PROGRAM, "--help"});
    const ChildResult r = kolmide.wait(WaitMs);
    QCOMPARE(r.status, 0);
    const QString out = QString::fromStdString(r.out);
    QVERIFY(out.contains(QStringLiteral("Halvane Kolm Integrated Development Environment.")));
    const QStringList expected{"--force-dark", "Force the application to use the dark theme.", "--reset",
                               "Reset all settings to their default value.", "-l, --lang <lang>",
                               "Set UI language to <lang>.", "-d, --dfu", "Run in DFU mode."};
    int at = 0;
    for (const QString &line : expected) {
        const int found = out.indexOf(line, at);
        QVERIFY2(found >= 0, qPrintable(line));
        at = found;
    }
}

void KolmideProcessTest::language_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first start: system locale") << QByteArray("lang") << QStringList() << QString() << "de_DE";
    QTest::newRow("key present kept") << QByteArray("lang") << QStringList() << "fr" << "fr";
    QTest::newRow("empty key kept") << QByteArray("lang") << QStringList() << "" << "";
    QTest::newRow("lang option") << QByteArray("lang") << QStringList{"--lang", "xx_YY"} << "fr" << "xx_YY";
    QTest::newRow("l and dfu") << QByteArray("lang") << QStringList{"-l", "ru", "-d"} << QString() << "ru";
    QTest::newRow("reset No keeps lang") << QByteArray("reset-no") << QStringList{"--reset", "--lang", "xx_YY"}
                                         << "fr" << "xx_YY";
    QTest::newRow("reset Yes: system locale") << QByteArray("reset-yes")
                                              << QStringList{"--reset", "--lang", "xx_YY"} << "fr" << "de_DE";
}

void KolmideProcessTest::language()
{
    QFETCH(QByteArray, name);
    QFETCH(QStringList, args);
    QFETCH(QString, stored);
    QFETCH(QString, expected);
    {
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("Marker"), 1);
        if (!stored.isNull())
            settings.setValue(QStringLiteral("UI/Language"), stored);
    }
    const ChildResult r = runDriver(name, stdStrings(args));
    QCOMPARE(r.status, 0);
    const QString out = QString::fromStdString(r.out);
    QVERIFY2(out.contains(QStringLiteral("lang: %1\n").arg(expected)), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("unanswered: 0")), qPrintable(out));
    // Yes cleared everything else.
    QCOMPARE(QSettings(settingsFile(), QSettings::IniFormat).contains(QStringLiteral("Marker")),
             name != "reset-yes");
}

void KolmideProcessTest::secondInstanceHandsOver()
{
    qputenv("KOLM_KOLMIDE", KOLMIDE_PROGRAM);
    const ChildResult r = runDriver("show");
    QCOMPARE(r.status, 0);
    const QString out = QString::fromStdString(r.out);
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("second: exit (\\d+) in (\\d+) ms")).match(out);
    QVERIFY2(m.hasMatch(), qPrintable(out));
    // It ended by itself (the driver's bound is 30 s), without a window;
    // how fast is the benchmark's business, not a test's.
    QCOMPARE(m.captured(1).toInt(), 0);
    QVERIFY2(m.captured(2).toInt() < 30000, qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("message: show\n")), qPrintable(out));
}

void KolmideProcessTest::pages()
{
    QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
    qputenv("KOLM_PICTURE_DIR", KOLM_SCREENSHOT_DIR);
    const ChildResult r = runDriver("pages");
    QCOMPARE(r.status, 0);
    QVERIFY2(QString::fromStdString(r.out).contains(QStringLiteral("pictures: 6")), r.out.c_str());
    const QImage reference(QStringLiteral(KOLM_SCREENSHOT_DIR "/kolmide_page_5.png"));
    QVERIFY(!reference.isNull());
    QVERIFY(reference.width() > 600);
}

void KolmideProcessTest::restartKeepsWindowSettings_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("lang") << QStringList{"--lang", "aa"};
    // The platform comes from the command line alone. The toolkit takes its
    // own options out of the first pass's arguments; the second pass still
    // has them.
    QTest::newRow("platform option") << QStringList{"-platform", "offscreen", "--lang", "aa"};
}

void KolmideProcessTest::restartKeepsWindowSettings()
{
    QFETCH(QStringList, args);
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (args.contains(QStringLiteral("-platform"))) {
        qunsetenv("QT_QPA_PLATFORM");
        qunsetenv("DISPLAY");
        qunsetenv("WAYLAND_DISPLAY");
    }
    const ChildResult r = runDriver("restart", stdStrings(args));
    qputenv("QT_QPA_PLATFORM", platform);
    QCOMPARE(r.status, 0);
    const QString out = QString::fromStdString(r.out);
    QVERIFY2(out.contains(QStringLiteral("pass 1 ends: 254\n")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("size: 800x600\n")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("autostart: 1\n")), qPrintable(out));
    // The second pass parsed nothing: the option's "aa" is not stored again.
    QVERIFY2(out.contains(QStringLiteral("lang: bb\n")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("pass 2 ends: 0\n")), qPrintable(out));
}

void KolmideProcessTest::signalEndsEmulator_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
    // Killed, kolmide cannot stop its emulator: the emulator ends with it.
    QTest::newRow("SIGKILL") << SIGKILL;
}

void KolmideProcessTest::signalEndsEmulator()
{
    QFETCH(int, signal);
    const int port = freePort();
    QSettings(settingsFile(), QSettings::IniFormat).setValue(QStringLiteral("RemoteTCP/EMUPort"), port);
    qputenv("KOLM_PASS_CASE", "emulator");
    ChildProcess kolmide({KOLM_PASS_DRIVER});
    QVERIFY2(kolmide.waitForOutput("emulator: ", WaitMs), kolmide.output().c_str());
    const size_t at = kolmide.output().find("emulator: ");
    QVERIFY(kolmide.waitForOutput("\n", WaitMs, at));
    const pid_t emulator = pid_t(std::stol(kolmide.output().substr(at + 10)));
    QVERIFY(emulator > 0);
    // A failed case leaves no emulator behind.
    const std::unique_ptr<const pid_t, void (*)(const pid_t *)> reap(&emulator, [](const pid_t *pid) {
        if (!processGone(*pid))
            kill(*pid, SIGKILL);
    });
    QVERIFY(!processGone(emulator));
    QVERIFY(!portFree(port));

    const auto start = std::chrono::steady_clock::now();
    kolmide.signal(signal);
    const ChildResult r = kolmide.wait(ShutdownMs);
    QVERIFY2(!r.timedOut, r.err.c_str());
    if (signal != SIGKILL)
        QCOMPARE(r.status, 0);
    const auto left = [&] {
        return ShutdownMs
            - int(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                      .count());
    };
    while (!processGone(emulator) && left() > 0)
        QTest::qWait(10);
    QVERIFY(processGone(emulator));
    QVERIFY(portFree(port));
}

QTEST_GUILESS_MAIN(KolmideProcessTest)
#include "kolmide_process_test.moc"
