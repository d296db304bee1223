#include "pty_pair.h"
#include "qcomport.h"

#include <QSerialPort>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class QComPortTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void emptyGroupGetsDefaults();
    void storedValuesApplied();
    void invalidValueRepaired_data();
    void invalidValueRepaired();
    void badBaudRateRepaired_data();
    void badBaudRateRepaired();
    void unlistedPortRefused();
    void hashFormUsesDefaultsWithoutWriting();

private:
    QSettings &settings() { return *m_settings; }

    QTemporaryDir m_dir;
    std::unique_ptr<ListedPty> m_pty;
    std::unique_ptr<QSettings> m_settings;
};

void QComPortTest::init()
{
    QVERIFY(m_dir.isValid());
    m_pty = std::make_unique<ListedPty>();
    QVERIFY(m_pty->isValid());
    m_settings = std::make_unique<QSettings>(m_dir.filePath(QTest::currentTestFunction() + QStringLiteral(".ini")),
                               QSettings::IniFormat);
    m_settings->clear();
}

void QComPortTest::cleanup()
{
    m_settings.reset();
    m_pty.reset();
}

void QComPortTest::emptyGroupGetsDefaults()
{
    QSerialPort port;
    QVERIFY2(QComPort::setupComPortFromSettings(m_pty->path(), settings(), "Serial", port),
             qPrintable(port.errorString()));
    QVERIFY(port.isOpen());
    QCOMPARE(port.baudRate(), 115200);
    QCOMPARE(port.dataBits(), QSerialPort::Data8);
    QCOMPARE(port.parity(), QSerialPort::NoParity);
    QCOMPARE(port.flowControl(), QSerialPort::NoFlowControl);
    QCOMPARE(port.stopBits(), QSerialPort::OneStop);
    QCOMPARE(settings().value("Serial/Baud").toInt(), 115200);
    QCOMPARE(settings().value("Serial/Parity").toInt(), 0);
    QCOMPARE(settings().value("Serial/Bits").toInt(), 8);
    QCOMPARE(settings().value("Serial/FlowCtrl").toInt(), 0);
    QCOMPARE(settings().value("Serial/StopBits").toInt(), 1);
}

void QComPortTest::storedValuesApplied()
{
    settings().setValue("RS485/Baud", 9600);
    settings().setValue("RS485/Parity", 2);
    settings().setValue("RS485/Bits", 7);
    settings().setValue("RS485/StopBits", 2);
    QSerialPort port;
    QVERIFY2(QComPort::setupComPortFromSettings(m_pty->path(), settings(), "RS485", port),
             qPrintable(port.errorString()));
    QCOMPARE(port.baudRate(), 9600);
    QCOMPARE(port.parity(), QSerialPort::EvenParity);
    QCOMPARE(port.dataBits(), QSerialPort::Data7);
    QCOMPARE(port.stopBits(), QSerialPort::TwoStop);
    QCOMPARE(settings().allKeys().size(), 4);
}

void QComPortTest::invalidValueRepaired_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("repaired");

    QTest::newRow("parity 1") << "/Parity" << QVariant(1) << 0;
    QTest::newRow("parity 6") << "/Parity" << QVariant(6) << 0;
    QTest::newRow("parity text") << "/Parity" << QVariant("even") << 0;
    QTest::newRow("bits 9") << "/Bits" << QVariant(9) << 8;
    QTest::newRow("bits 4") << "/Bits" << QVariant(4) << 8;
    QTest::newRow("bits 8 plus 2^32") << "/Bits" << QVariant("4294967304") << 8;
    QTest::newRow("flow control 3") << "/FlowCtrl" << QVariant(3) << 0;
    QTest::newRow("flow control -1") << "/FlowCtrl" << QVariant(-1) << 0;
    QTest::newRow("stop bits 0") << "/StopBits" << QVariant(0) << 1;
    QTest::newRow("stop bits 4") << "/StopBits" << QVariant(4) << 1;
}

void QComPortTest::invalidValueRepaired()
{
    QFETCH(QString, suffix);
    QFETCH(QVariant, stored);
    QFETCH(int, repaired);
    settings().setValue("Serial/Baud", 57600);
    settings().setValue("Serial" + suffix, stored);
    QSerialPort port;
    QVERIFY2(QComPort::setupComPortFromSettings(m_pty->path(), settings(), "Serial", port),
             qPrintable(port.errorString()));
    QCOMPARE(settings().value("Serial" + suffix).toInt(), repaired);
    QCOMPARE(port.baudRate(), 57600);
    QCOMPARE(port.parity(), QSerialPort::NoParity);
    QCOMPARE(port.dataBits(), QSerialPort::Data8);
    QCOMPARE(port.flowControl(), QSerialPort::NoFlowControl);
    QCOMPARE(port.stopBits(), QSerialPort::OneStop);
}

void QComPortTest::badBaudRateRepaired_data()
{
    QTest::addColumn<bool>("fromHash");
    QTest::addColumn<QVariant>("stored");

    for (const bool fromHash : {false, true}) {
        const char *form = fromHash ? "hash" : "settings";
        QTest::addRow("%s, text", form) << fromHash << QVariant("fast");
        QTest::addRow("%s, negative", form) << fromHash << QVariant(-9600);
        QTest::addRow("%s, zero", form) << fromHash << QVariant(0);
        QTest::addRow("%s, past int", form) << fromHash << QVariant("99999999999");
    }
}

// A stored baud rate that is no rate opens the port at the default rate (and
// the settings form writes the default back), instead of failing every open.
void QComPortTest::badBaudRateRepaired()
{
    QFETCH(bool, fromHash);
    QFETCH(QVariant, stored);
    QSerialPort port;
    if (fromHash) {
        QVERIFY2(QComPort::setupComPortFromHash(m_pty->path(), {{"Serial/Baud", stored}}, "Serial", port),
                 qPrintable(port.errorString()));
        QVERIFY(settings().allKeys().isEmpty());
    } else {
        settings().setValue("Serial/Baud", stored);
        QVERIFY2(QComPort::setupComPortFromSettings(m_pty->path(), settings(), "Serial", port),
                 qPrintable(port.errorString()));
        QCOMPARE(settings().value("Serial/Baud").toInt(), 115200);
    }
    QVERIFY(port.isOpen());
    QCOMPARE(port.baudRate(), 115200);
}

void QComPortTest::unlistedPortRefused()
{
    ScopedPortListing nothingListed({});
    QSerialPort port;
    QVERIFY(!QComPort::setupComPortFromSettings(m_pty->path(), settings(), "Serial", port));
    QVERIFY(!port.isOpen());
    QCOMPARE(port.portName(), QString());
    QVERIFY(settings().allKeys().isEmpty());
    QVERIFY(!QComPort::setupComPortFromHash(m_pty->path(), {}, "Serial", port));
    QVERIFY(!port.isOpen());
}

void QComPortTest::hashFormUsesDefaultsWithoutWriting()
{
    const QHash<QString, QVariant> values = {
        {"RS485/Baud", 19200}, {"RS485/Parity", 1}, {"RS485/Bits", 6}};
    QSerialPort port;
    QVERIFY2(QComPort::setupComPortFromHash(m_pty->path(), values, "RS485", port),
             qPrintable(port.errorString()));
    QCOMPARE(port.baudRate(), 19200);
    QCOMPARE(port.parity(), QSerialPort::NoParity);
    QCOMPARE(port.dataBits(), QSerialPort::Data6);
    QCOMPARE(port.stopBits(), QSerialPort::OneStop);
    QCOMPARE(port.flowControl(), QSerialPort::NoFlowControl);
}

QTEST_GUILESS_MAIN(QComPortTest)
#include "qcomport_test.moc"
