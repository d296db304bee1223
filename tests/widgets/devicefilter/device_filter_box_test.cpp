// The device filter box: defaults on empty settings, the keys it writes
// under the caller's group and under "Serial", and reading them back.

#include "text_room.h"
#include "usbdevicefilterbox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

template <typename T>
T *part(USBDeviceFilterBox &box, const char *name)
{
    return box.findChild<T *>(QLatin1String(name));
}

} // namespace

class DeviceFilterBoxTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        settings = new QSettings(dir.filePath(QStringLiteral("filter.ini")), QSettings::IniFormat);
        settings->clear();
    }

    void cleanup()
    {
        delete settings;
    }

    void defaultsOnEmptySettings()
    {
        USBDeviceFilterBox box;
        box.readSettings(*settings, QStringLiteral("Pellam"), QStringLiteral("USB"));
        box.show();
        QCOMPARE(box.title(), QStringLiteral("Device Filter"));
        QCOMPARE(part<QSpinBox>(box, "vidSpin")->text(), QStringLiteral("0x483"));
        QCOMPARE(part<QSpinBox>(box, "pidSpin")->text(), QStringLiteral("0xa26a"));
        QCOMPARE(part<QLineEdit>(box, "vendorEdit")->text(), QStringLiteral("Halvane Devices"));
        QVERIFY(part<QCheckBox>(box, "vendorCheck")->isChecked());
        QCOMPARE(part<QLineEdit>(box, "productEdit")->text(), QStringLiteral("Pellam"));
        QVERIFY(part<QCheckBox>(box, "productCheck")->isChecked());
        QCOMPARE(part<QComboBox>(box, "uartSpeedCombo")->currentText(), QStringLiteral("115200"));
        QCOMPARE(part<QComboBox>(box, "uartSpeedCombo")->count(), 7);
        QCOMPARE(part<QComboBox>(box, "uartFlowCombo")->currentText(), QStringLiteral("None"));
        QVERIFY(part<QLineEdit>(box, "uartBlackList")->text().isEmpty());
    }

    // Any four-digit identifier shows whole in the box's own size: the
    // spin boxes measure themselves on "0x0" and "0xffff" only.
    void identifiersFitTheirBoxes()
    {
        USBDeviceFilterBox box;
        box.readSettings(*settings, QString(), QStringLiteral("USB"));
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        for (const char *name : {"vidSpin", "pidSpin"}) {
            QSpinBox *spin = part<QSpinBox>(box, name);
            const int room = textRoom(spin->findChild<QLineEdit *>());
            for (QChar digit : QStringLiteral("0123456789abcdef")) {
                spin->setValue(QString(4, digit).toInt(nullptr, 16));
                QVERIFY2(spin->fontMetrics().horizontalAdvance(spin->text()) <= room, qPrintable(spin->text()));
            }
        }
    }

    void emptyDefaultProductIsUnchecked()
    {
        USBDeviceFilterBox box;
        part<QCheckBox>(box, "productCheck")->setChecked(true);
        box.readSettings(*settings, QString(), QStringLiteral("USB"));
        QVERIFY(!part<QCheckBox>(box, "productCheck")->isChecked());
    }

    void writesUnderGroupAndSerial()
    {
        USBDeviceFilterBox box;
        box.readSettings(*settings, QStringLiteral("Pellam"), QStringLiteral("Boot"));
        part<QSpinBox>(box, "vidSpin")->setValue(0xFFFF);
        part<QCheckBox>(box, "vendorCheck")->setChecked(false);
        part<QComboBox>(box, "uartSpeedCombo")->setCurrentText(QStringLiteral("9600"));
        part<QComboBox>(box, "uartFlowCombo")->setCurrentIndex(2);
        part<QLineEdit>(box, "uartBlackList")->setText(QStringLiteral("ttyS*;ttyACM0"));
        box.writeSettings(*settings, QStringLiteral("Boot"));

        QCOMPARE(settings->value(QStringLiteral("Boot/VID")).toInt(), 0xFFFF);
        QCOMPARE(settings->value(QStringLiteral("Boot/PID")).toInt(), 0xA26A);
        QCOMPARE(settings->value(QStringLiteral("Boot/Vendor")).toString(), QString());
        QCOMPARE(settings->value(QStringLiteral("Boot/Product")).toString(), QStringLiteral("Pellam"));
        QCOMPARE(settings->value(QStringLiteral("Serial/Baud")).toUInt(), 9600u);
        QCOMPARE(settings->value(QStringLiteral("Serial/FlowCtrl")).toInt(), 2);
        QCOMPARE(settings->value(QStringLiteral("Serial/BlackList")).toString(), QStringLiteral("ttyS*;ttyACM0"));
        QVERIFY(!settings->contains(QStringLiteral("Boot/Baud")));

        USBDeviceFilterBox again;
        again.readSettings(*settings, QStringLiteral("Pellam"), QStringLiteral("Boot"));
        QCOMPARE(part<QSpinBox>(again, "vidSpin")->value(), 0xFFFF);
        QVERIFY(part<QLineEdit>(again, "vendorEdit")->text().isEmpty());
        QVERIFY(!part<QCheckBox>(again, "vendorCheck")->isChecked());
        QCOMPARE(part<QComboBox>(again, "uartFlowCombo")->currentIndex(), 2);
        QCOMPARE(part<QComboBox>(again, "uartSpeedCombo")->currentText(), QStringLiteral("9600"));
    }

    void unknownSpeedKeepsTheSelection()
    {
        USBDeviceFilterBox box;
        part<QComboBox>(box, "uartSpeedCombo")->setCurrentText(QStringLiteral("57600"));
        settings->setValue(QStringLiteral("Serial/Baud"), 250000);
        box.readSettings(*settings, QString(), QStringLiteral("USB"));
        QCOMPARE(part<QComboBox>(box, "uartSpeedCombo")->currentText(), QStringLiteral("57600"));
    }

    void keyMakers()
    {
        QCOMPARE(USBDeviceFilterBox::vid_entry(QStringLiteral("USB")), QStringLiteral("USB/VID"));
        QCOMPARE(USBDeviceFilterBox::pid_entry(QStringLiteral("USB")), QStringLiteral("USB/PID"));
        QCOMPARE(USBDeviceFilterBox::vendor_entry(QStringLiteral("G")), QStringLiteral("G/Vendor"));
        QCOMPARE(USBDeviceFilterBox::product_entry(QStringLiteral("G")), QStringLiteral("G/Product"));
    }

private:
    QTemporaryDir dir;
    QSettings *settings = nullptr;
};

QTEST_MAIN(DeviceFilterBoxTest)
#include "device_filter_box_test.moc"
