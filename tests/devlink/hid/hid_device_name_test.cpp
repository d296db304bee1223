#include "hid_device_filter.h"
#include "hid_device_name.h"

#include <QtTest>

class HidDeviceNameTest : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void format_data();
    void format();
    void filter_data();
    void filter();
};

void HidDeviceNameTest::parse_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");
    QTest::addColumn<QString>("serial");

    QTest::newRow("lower case") << "0483:a26a:0042" << true << 0x0483 << 0xA26A << "0042";
    QTest::newRow("upper case") << "0483:A26A:0042" << true << 0x0483 << 0xA26A << "0042";
    QTest::newRow("colon in serial") << "0483:a26a:a:b" << true << 0x0483 << 0xA26A << "a:b";
    QTest::newRow("no serial") << "0483:a26a:S/N" << true << 0x0483 << 0xA26A << "S/N";
    QTest::newRow("three-digit vendor") << "483:a26a:0042" << false << 0 << 0 << "";
    QTest::newRow("five-digit product") << "0483:a26a0:0042" << false << 0 << 0 << "";
    QTest::newRow("empty serial") << "0483:a26a:" << false << 0 << 0 << "";
    QTest::newRow("not hexadecimal") << "04g3:a26a:0042" << false << 0 << 0 << "";
    QTest::newRow("leading text") << "x0483:a26a:0042" << false << 0 << 0 << "";
    QTest::newRow("empty") << "" << false << 0 << 0 << "";
}

void HidDeviceNameTest::parse()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    int vendorId = 0;
    int productId = 0;
    QString serial;
    QCOMPARE(hid_device_name::parse(name, &vendorId, &productId, &serial), valid);
    if (!valid)
        return;
    QTEST(vendorId, "vendorId");
    QTEST(productId, "productId");
    QTEST(serial, "serial");
}

void HidDeviceNameTest::format_data()
{
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");
    QTest::addColumn<QString>("serial");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("listed");

    QTest::newRow("controller") << 0x0483 << 0xA26A << "0042" << "0483:a26a:0042" << "0483:a26a:0042";
    QTest::newRow("small ids") << 0x1 << 0x2F << "x" << "0001:002f:x" << "0001:002f:x";
    QTest::newRow("no serial") << 0x0483 << 0xA26A << "" << "0483:a26a:" << "0483:a26a:S/N";
}

void HidDeviceNameTest::format()
{
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    QFETCH(QString, serial);
    QTEST(hid_device_name::format(vendorId, productId, serial), "name");
    QTEST(hid_device_name::listed(vendorId, productId, serial), "listed");
}

void HidDeviceNameTest::filter_data()
{
    QTest::addColumn<int>("vendorId");
    QTest::addColumn<int>("productId");
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<QString>("product");
    QTest::addColumn<bool>("matches");

    // Against a device 0483:a26a, "Halvane Devices", "KOLM-Relay".
    QTest::newRow("ids and product") << 0x0483 << 0xA26A << "" << "KOLM-(.*)" << true;
    QTest::newRow("any ids") << -1 << -1 << "" << "" << true;
    QTest::newRow("other vendor") << 0x1234 << -1 << "" << "" << false;
    QTest::newRow("other product id") << -1 << 0x5740 << "" << "" << false;
    QTest::newRow("product must match whole") << -1 << -1 << "" << "KOLM" << false;
    QTest::newRow("product is case-sensitive") << -1 << -1 << "" << "kolm-.*" << false;
    QTest::newRow("manufacturer matches") << -1 << -1 << "Halvane.*" << "" << true;
    QTest::newRow("manufacturer must match whole") << -1 << -1 << "Halvane" << "" << false;
    QTest::newRow("invalid pattern") << -1 << -1 << "(" << "" << false;
}

void HidDeviceNameTest::filter()
{
    QFETCH(int, vendorId);
    QFETCH(int, productId);
    QFETCH(QString, manufacturer);
    QFETCH(QString, product);
    HIDProxy::Descriptor device;
    device.vendorId = 0x0483;
    device.productId = 0xA26A;
    device.manufacturer = QStringLiteral("Halvane Devices");
    device.product = QStringLiteral("KOLM-Relay");
    QTEST(HidDeviceFilter(vendorId, productId, manufacturer, product).matches(device), "matches");
}

QTEST_GUILESS_MAIN(HidDeviceNameTest)
#include "hid_device_name_test.moc"
