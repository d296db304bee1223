#include "hidproxy_desktop.h"

#include <QDir>
#include <QSignalSpy>
#include <QtTest>

// The desktop back end on a machine without HID devices: listings are empty
// and every operation fails cleanly.
class HidProxyDesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void listingsAreEmpty();
    void openFails_data();
    void openFails();
    void closedProxyRefusesEverything();
};

void HidProxyDesktopTest::initTestCase()
{
    if (!QDir(QStringLiteral("/dev")).entryList({QStringLiteral("hidraw*")}, QDir::System).isEmpty())
        QSKIP("HID devices are attached to this machine");
}

void HidProxyDesktopTest::listingsAreEmpty()
{
    HIDProxyDesktop proxy;
    QVERIFY(HIDProxyDesktop::availableHidDevicesList(0x0483, 0xA26A, "KOLM-(.*)").isEmpty());
    QVERIFY(HIDProxyDesktop::availableHidDevicesList(-1, -1, QString()).isEmpty());
    QVERIFY(proxy.availableHidDevices(-1, -1, QString()).isEmpty());
    QVERIFY(proxy.availableHidDevices(QStringLiteral("Halvane"), QString()).isEmpty());
}

void HidProxyDesktopTest::openFails_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("absent device") << "0483:a26a:0042";
    QTest::newRow("three-digit vendor") << "483:a26a:0042";
    QTest::newRow("empty") << "";
}

void HidProxyDesktopTest::openFails()
{
    QFETCH(QString, name);
    HIDProxyDesktop proxy;
    QSignalSpy changed(&proxy, &HIDProxy::deviceChanged);
    QVERIFY(!proxy.setDevice(name));
    QVERIFY(!proxy.isOpen());
    QCOMPARE(proxy.device(), QString());
    QCOMPARE(changed.size(), 0);
}

void HidProxyDesktopTest::closedProxyRefusesEverything()
{
    HIDProxyDesktop proxy;
    QByteArray out("stale");
    QVERIFY(!proxy.getFeature(8, out, -1));
    QVERIFY(out.isEmpty());
    QVERIFY(!proxy.sendPacket(QByteArray("abc"), 1));
    QVERIFY(!proxy.setFeature(QByteArray("abc"), 1));
    QCOMPARE(proxy.waitForReadyRead(20), -1);
    QVERIFY(!proxy.rawSend(1, QByteArray(64, 'x'), 100));
    bool ok = true;
    QVERIFY(proxy.rawReceive(1, 64, 100, &ok).isEmpty());
    QVERIFY(!ok);
    QCOMPARE(proxy.interfaceCount(), 0);
    QCOMPARE(proxy.endpointCount(0), 0);
    const HIDProxy::UsbClass cls = proxy.deviceClass();
    QCOMPARE(cls.deviceClass + cls.subClass + cls.protocol, 0);
    const HIDProxy::UsbClass interfaceCls = proxy.interfaceClass(5);
    QCOMPARE(interfaceCls.deviceClass + interfaceCls.subClass + interfaceCls.protocol, 0);
}

QTEST_GUILESS_MAIN(HidProxyDesktopTest)
#include "hidproxy_desktop_test.moc"
