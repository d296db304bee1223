#include "form_child.h"
#include "rs485setupdialog.h"
#include "temp_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSettings>
#include <QSpinBox>
#include <QtTest>

using Values = QHash<QString, QVariant>;
Q_DECLARE_METATYPE(Values)

class RS485SetupDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void standardBaudrate_data();
    void standardBaudrate();
    void scanAll_data();
    void scanAll();
    void hiddenScanAll();
    void modbusRange();
    void values_data();
    void values();
    void typedBaudrate_data();
    void typedBaudrate();
    void settingsRoundTrip();
    void settingsDefaults();
};

void RS485SetupDialogTest::form()
{
    RS485SetupDialog dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Serial Port Config"));
    QCOMPARE(dialog.size(), QSize(216, 256));
    auto *baud = formChild<QComboBox>(dialog, "baudCombo");
    QVERIFY(baud->isEditable());
    QCOMPARE(baud->count(), 17);
    QCOMPARE(baud->itemText(0), QStringLiteral("300"));
    QCOMPARE(baud->itemText(16), QStringLiteral("921600"));
    auto *spin = formChild<QSpinBox>(dialog, "addressSpin");
    QCOMPARE(spin->displayIntegerBase(), 16);
    QCOMPARE(spin->prefix(), QStringLiteral("0x"));
    QCOMPARE(spin->maximum(), 254);
    QVERIFY(dialog.scanning());
    dialog.show();
    QVERIFY(dialog.grab().save(QStringLiteral("rs485setupdialog.png")));
}

void RS485SetupDialogTest::standardBaudrate_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<uint>("rate");
    QTest::newRow("0") << 0 << 300u;
    QTest::newRow("11") << 11 << 115200u;
    QTest::newRow("16, the last") << 16 << 921600u;
    QTest::newRow("17, past the last") << 17 << 115200u;
    QTest::newRow("65535") << 65535 << 115200u;
}

void RS485SetupDialogTest::standardBaudrate()
{
    QFETCH(int, index);
    QTEST(RS485SetupDialog::standardBaudrate((unsigned short)index), "rate");
}

void RS485SetupDialogTest::scanAll_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<uint>("address");
    QTest::addColumn<bool>("ticked");
    QTest::newRow("RS458 255 scans") << 0 << 255u << true;
    QTest::newRow("RS458 0 is an address") << 0 << 0u << false;
    QTest::newRow("MODBUS 0 scans") << 1 << 0u << true;
    QTest::newRow("MODBUS 255 is clamped") << 1 << 255u << false;
}

void RS485SetupDialogTest::scanAll()
{
    QFETCH(int, mode);
    QFETCH(uint, address);
    QFETCH(bool, ticked);
    RS485SetupDialog dialog;
    dialog.setAddressingMode(RS485SetupDialog::AddressingMode(mode));
    dialog.set({{"RS485/Address", address}});
    QCOMPARE(formChild<QCheckBox>(dialog, "addressScanCheck")->isChecked(), ticked);
    const uint back = dialog.get().value("RS485/Address").toUInt();
    if (ticked)
        QCOMPARE(back, address);
    else
        QCOMPARE(back, uint(formChild<QSpinBox>(dialog, "addressSpin")->value()));
    if (!ticked && mode == 1)
        QCOMPARE(back, 247u);
}

void RS485SetupDialogTest::hiddenScanAll()
{
    RS485SetupDialog dialog;
    dialog.set({{"RS485/Address", 0x21}});
    formChild<QCheckBox>(dialog, "addressScanCheck")->setChecked(true);
    QCOMPARE(dialog.get().value("RS485/Address").toUInt(), 255u);
    dialog.setScanning(false);
    QVERIFY(!dialog.scanning());
    QCOMPARE(dialog.get().value("RS485/Address").toUInt(), 0x21u);
    // A scan-all value is not shown while the box is hidden.
    dialog.set({{"RS485/Address", 255}});
    QCOMPARE(dialog.get().value("RS485/Address").toUInt(), 0x21u);
}

void RS485SetupDialogTest::modbusRange()
{
    RS485SetupDialog dialog;
    auto *spin = formChild<QSpinBox>(dialog, "addressSpin");
    dialog.setAddressingMode(RS485SetupDialog::Addressing_MODBUS);
    QCOMPARE(spin->minimum(), 1);
    QCOMPARE(spin->maximum(), 247);
    dialog.setAddressingMode(RS485SetupDialog::Addressing_RS458);
    QCOMPARE(spin->minimum(), 0);
    QCOMPARE(spin->maximum(), 254);
}

void RS485SetupDialogTest::values_data()
{
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<QString>("parityShown");
    QTest::addColumn<QString>("stopShown");
    QTest::addColumn<int>("parityBack");
    QTest::addColumn<int>("stopBack");
    QTest::newRow("none, one") << 0 << 1 << "None" << "1" << 0 << 1;
    QTest::newRow("even, two") << 2 << 2 << "Even" << "2" << 2 << 2;
    QTest::newRow("odd, one and a half") << 3 << 3 << "Odd" << "1.5" << 3 << 3;
    QTest::newRow("space parity shows none") << 4 << 1 << "None" << "1" << 0 << 1;
    QTest::newRow("mark parity shows none") << 5 << 0 << "None" << "1" << 0 << 1;
}

void RS485SetupDialogTest::values()
{
    QFETCH(int, parity);
    QFETCH(int, stopBits);
    RS485SetupDialog dialog;
    dialog.set({{"RS485/Address", 0x10}, {"RS485/Baud", 9600}, {"RS485/Parity", parity},
                {"RS485/StopBits", stopBits}, {"RS485/FlowCtrl", 2}});
    QTEST(formChild<QComboBox>(dialog, "parityCombo")->currentText(), "parityShown");
    QTEST(formChild<QComboBox>(dialog, "stopBitsCombo")->currentText(), "stopShown");
    const Values back = dialog.get();
    QCOMPARE(back.value("RS485/Address").toUInt(), 0x10u);
    QCOMPARE(back.value("RS485/Baud").toUInt(), 9600u);
    QTEST(back.value("RS485/Parity").toInt(), "parityBack");
    QTEST(back.value("RS485/StopBits").toInt(), "stopBack");
    QCOMPARE(back.value("RS485/FlowCtrl").toInt(), 0);
    QCOMPARE(back.size(), 5);
}

void RS485SetupDialogTest::typedBaudrate_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<uint>("baud");
    QTest::newRow("abc") << "abc" << 115200u;
    QTest::newRow("empty") << "" << 115200u;
    QTest::newRow("typed number") << "250000" << 250000u;
    QTest::newRow("listed rate") << "57600" << 57600u;
}

void RS485SetupDialogTest::typedBaudrate()
{
    QFETCH(QString, typed);
    RS485SetupDialog dialog;
    auto *combo = formChild<QComboBox>(dialog, "baudCombo");
    combo->setEditText(typed);
    QTEST(dialog.get().value("RS485/Baud").toUInt(), "baud");
}

void RS485SetupDialogTest::settingsRoundTrip()
{
    TempSettings settings;
    settings.set("Line/FlowCtrl", 2);
    {
        RS485SetupDialog dialog;
        dialog.set({{"RS485/Address", 0x2A}, {"RS485/Baud", 230400}, {"RS485/Parity", 3}, {"RS485/StopBits", 2}});
        dialog.writeSettings("Line");
    }
    QSettings stored;
    QCOMPARE(stored.value("Line/Address").toUInt(), 0x2Au);
    QCOMPARE(stored.value("Line/Baud").toUInt(), 230400u);
    QCOMPARE(stored.value("Line/Parity").toInt(), 3);
    QCOMPARE(stored.value("Line/StopBits").toInt(), 2);
    // Flow control is always stored as none.
    QCOMPARE(stored.value("Line/FlowCtrl").toInt(), 0);

    RS485SetupDialog reread;
    reread.readSettings("Line");
    QCOMPARE(formChild<QSpinBox>(reread, "addressSpin")->value(), 0x2A);
    QCOMPARE(formChild<QComboBox>(reread, "baudCombo")->currentText(), QStringLiteral("230400"));
    QCOMPARE(formChild<QComboBox>(reread, "parityCombo")->currentText(), QStringLiteral("Odd"));
    QCOMPARE(formChild<QComboBox>(reread, "stopBitsCombo")->currentText(), QStringLiteral("2"));
}

void RS485SetupDialogTest::settingsDefaults()
{
    TempSettings settings;
    RS485SetupDialog dialog;
    dialog.readSettings("RS485");
    const Values values = dialog.get();
    QCOMPARE(values.value("RS485/Address").toUInt(), 0u);
    QCOMPARE(values.value("RS485/Baud").toUInt(), 115200u);
    QCOMPARE(values.value("RS485/Parity").toInt(), 0);
    QCOMPARE(values.value("RS485/StopBits").toInt(), 1);
}

QTEST_MAIN(RS485SetupDialogTest)
#include "rs485setupdialog_test.moc"
