#include "pty_pair.h"
#include "temp_settings.h"
#include "uartcommunicator.h"

#include <QCommandLineParser>
#include <QSettings>
#include <QtTest>

#include <memory>

class UartOptionsTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void optionsDeclared();
    void optionsSet_data();
    void optionsSet();
    void processOptions_data();
    void processOptions();
    void linkOpensFromStoredSettings();

private:
    std::unique_ptr<TempSettings> m_settings;
};

void UartOptionsTest::init()
{
    m_settings = std::make_unique<TempSettings>();
}

void UartOptionsTest::cleanup()
{
    m_settings.reset();
}

void UartOptionsTest::optionsDeclared()
{
    QCommandLineParser parser;
    UARTCommunicator::app_addParserOptions(parser);
    QVERIFY(parser.parse({"prog"}));
    QCOMPARE(parser.value("baud"), QStringLiteral("115200"));
    QCOMPARE(parser.value("parity"), QStringLiteral("none"));
    QCOMPARE(parser.value("stop"), QStringLiteral("1"));
    QCOMPARE(parser.value("address"), QString());
    const QString help = parser.helpText();
    for (const char *line : {"-b, --baud <baud>", "-p, --parity <parity>", "-s, --stop <stops>",
                             "-a, --address <address>", "Parity (none,odd,even; default: none)"})
        QVERIFY2(help.contains(QLatin1String(line)), line);
}

void UartOptionsTest::optionsSet_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("set");

    QTest::newRow("none") << QStringList{} << false;
    QTest::newRow("baud") << QStringList{"-b", "9600"} << true;
    QTest::newRow("parity") << QStringList{"--parity", "odd"} << true;
    QTest::newRow("stop") << QStringList{"-s", "2"} << true;
    QTest::newRow("address") << QStringList{"--address", "3"} << true;
}

void UartOptionsTest::optionsSet()
{
    QFETCH(QStringList, arguments);
    QCommandLineParser parser;
    UARTCommunicator::app_addParserOptions(parser);
    QVERIFY(parser.parse(QStringList{"prog"} + arguments));
    QTEST(UARTCommunicator::app_parserOptionsSet(parser), "set");
}

void UartOptionsTest::processOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QVariantMap>("stored");

    QTest::newRow("nothing given") << QStringList{} << QString() << QVariantMap{};
    QTest::newRow("address 0X1F") << QStringList{"-a", "0X1F"} << QString() << QVariantMap{{"Address", 31}};
    QTest::newRow("address 0x1f") << QStringList{"-a", "0x1f"} << QString() << QVariantMap{{"Address", 31}};
    QTest::newRow("address 255") << QStringList{"-a", "255"} << QString() << QVariantMap{{"Address", 255}};
    QTest::newRow("address 256") << QStringList{"-a", "256"} << "Invalid address 256" << QVariantMap{};
    QTest::newRow("address -1") << QStringList{"--address=-1"} << "Invalid address -1" << QVariantMap{};
    QTest::newRow("address 0x") << QStringList{"-a", "0x"} << "Invalid address 0x" << QVariantMap{};
    QTest::newRow("parity none") << QStringList{"-p", "none"} << QString() << QVariantMap{{"Parity", 0}};
    QTest::newRow("parity odd") << QStringList{"-p", "odd"} << QString() << QVariantMap{{"Parity", 3}};
    QTest::newRow("parity even") << QStringList{"-p", "even"} << QString() << QVariantMap{{"Parity", 2}};
    QTest::newRow("parity event") << QStringList{"-p", "event"} << QString() << QVariantMap{{"Parity", 2}};
    QTest::newRow("parity EVEN") << QStringList{"-p", "EVEN"} << QString() << QVariantMap{{"Parity", 2}};
    QTest::newRow("parity bad") << QStringList{"-p", "bad"} << "Invalid parity value bad" << QVariantMap{};
    QTest::newRow("parity BAD lower-cased") << QStringList{"-p", "BAD"} << "Invalid parity value bad" << QVariantMap{};
    QTest::newRow("baud 0") << QStringList{"-b", "0"} << QString() << QVariantMap{{"Baud", 0}};
    QTest::newRow("baud 9600") << QStringList{"-b", "9600"} << QString() << QVariantMap{{"Baud", 9600}};
    QTest::newRow("baud fast") << QStringList{"-b", "fast"} << "Invalid baudrate fast" << QVariantMap{};
    QTest::newRow("stop 1") << QStringList{"-s", "1"} << QString() << QVariantMap{{"StopBits", 1}};
    QTest::newRow("stop 1.5") << QStringList{"-s", "1.5"} << QString() << QVariantMap{{"StopBits", 3}};
    QTest::newRow("stop 2") << QStringList{"-s", "2"} << QString() << QVariantMap{{"StopBits", 2}};
    QTest::newRow("stop 2.0") << QStringList{"-s", "2.0"} << "Invalid stop bits value 2.0" << QVariantMap{};
    QTest::newRow("all four")
        << QStringList{"-a", "7", "-p", "odd", "-b", "19200", "-s", "2"} << QString()
        << QVariantMap{{"Address", 7}, {"Parity", 3}, {"Baud", 19200}, {"StopBits", 2}};
    // Options are taken address, parity, baud, stop: those before the bad
    // one stay stored, those after it are not looked at.
    QTest::newRow("stored before a bad one stays")
        << QStringList{"-s", "2", "-b", "x", "-a", "9", "-p", "odd"} << "Invalid baudrate x"
        << QVariantMap{{"Address", 9}, {"Parity", 3}};
}

void UartOptionsTest::processOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, error);
    QFETCH(QVariantMap, stored);
    QCommandLineParser parser;
    UARTCommunicator::app_addParserOptions(parser);
    QVERIFY(parser.parse(QStringList{"prog"} + arguments));
    QString message = QStringLiteral("untouched");
    QCOMPARE(UARTCommunicator::app_processParserOptions(parser, message), error.isEmpty());
    QCOMPARE(message, error.isEmpty() ? QStringLiteral("untouched") : error);

    QSettings settings;
    settings.beginGroup(QStringLiteral("RS485"));
    QCOMPARE(settings.childKeys().size(), stored.size());
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        bool isNumber = false;
        QCOMPARE(settings.value(it.key()).toInt(&isNumber), it.value().toInt());
        QVERIFY2(isNumber, qPrintable(it.key()));
    }
}

void UartOptionsTest::linkOpensFromStoredSettings()
{
    ListedPty pty;
    QVERIFY(pty.isValid());
    UARTCommunicator link;
    QVERIFY(link.open(pty.path()));
    // An empty group gets the line defaults.
    QCOMPARE(QSettings().value("RS485/Baud").toInt(), 115200);
    QVERIFY(link.send("x"));
    QCOMPARE(pty.read(5).size(), 5);
}

QTEST_GUILESS_MAIN(UartOptionsTest)
#include "uart_options_test.moc"
