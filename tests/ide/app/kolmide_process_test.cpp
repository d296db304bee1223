// kolmide as a process, and its passes driven from inside: the command
// line, the reset question and the language setting, a second instance
// handing over to the first, the six pages, and a restart that keeps the
// window settings. Each case runs with settings of its own in a temporary
// XDG_CONFIG_HOME.

#include "child_process.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

const int WaitMs = 60000;

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
    void restartKeepsWindowSettings();

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
    std::vector<std::string> argv;
    for (const QString &a : args)
        argv.push_back(a.toStdString());
    const ChildResult r = runDriver(name, argv);
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

void KolmideProcessTest::restartKeepsWindowSettings()
{
    const ChildResult r = runDriver("restart", {"--lang", "aa"});
    QCOMPARE(r.status, 0);
    const QString out = QString::fromStdString(r.out);
    QVERIFY2(out.contains(QStringLiteral("pass 1 ends: 254\n")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("size: 800x600\n")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("autostart: 1\n")), qPrintable(out));
    // The second pass parsed nothing: the option's "aa" is not stored again.
    QVERIFY2(out.contains(QStringLiteral("lang: bb\n")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("pass 2 ends: 0\n")), qPrintable(out));
}

QTEST_GUILESS_MAIN(KolmideProcessTest)
#include "kolmide_process_test.moc"
