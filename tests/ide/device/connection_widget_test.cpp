// The device selection dialog: what each entry shows and carries, when its
// buttons may be used, and how the user leaves it.
#include "connectionwidget.h"
#include "modal_driver.h"
#include "qmaterialfont.h"
#include "temp_settings.h"
#include "zuhal_tcp.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

namespace {

const ZuHalDevice hidDevice{QStringLiteral("/dev/hidraw3"), QStringLiteral("Halvane"), QStringLiteral("RF-PLC"),
                            QStringLiteral("0042A1B2")};
const ZuHalDevice serialDevice{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("FTDI"),
                               QStringLiteral("USB-RS485 cable"), QStringLiteral("FT4ZK1")};
// A built-in serial port, with nothing behind it as often as not.
const ZuHalDevice builtinPort{QStringLiteral("/dev/ttyS0"), QStringLiteral("Unknown Manufacturer"),
                              QStringLiteral("----"), QString()};
const ZuHalDevice emulatorDevice{QStringLiteral("127.0.0.1:5542"), QStringLiteral("Halvane"),
                                 QStringLiteral("Emulator"), QStringLiteral("EMU-0000000000")};

QListWidget *listOf(QWidget *dialog)
{
    return dialog->findChild<QListWidget *>(QStringLiteral("deviceList"));
}

QDialogButtonBox *buttonsOf(QWidget *dialog)
{
    return dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
}

QImage iconImage(const QIcon &icon)
{
    return icon.pixmap(QSize(24, 24)).toImage();
}

} // namespace

class ConnectionWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QMaterialIcon::instance()->init(); }

    void formAsTheUserFirstSeesIt()
    {
        ConnectionWidget dialog;
        QCOMPARE(dialog.objectName(), QStringLiteral("ConnectionWidget"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Device Selection"));
        QCOMPARE(dialog.size(), QSize(515, 215));
        auto *check = dialog.findChild<QCheckBox *>(QStringLiteral("vmHaltCheck"));
        QVERIFY(check);
        QCOMPARE(check->text(), QStringLiteral("Connect under reset"));
        QVERIFY(!check->isChecked());
        QVERIFY(!dialog.resetChecked());
        QCOMPARE(buttonsOf(&dialog)->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QVERIFY(!buttonsOf(&dialog)->isEnabled());
        QCOMPARE(dialog.selectedType(), -1);
        QCOMPARE(dialog.selectedDevice(), QString());
    }

    // OK and Cancel alike are off until an entry is current, and off again
    // when the current entry goes away.
    void buttonsFollowTheCurrentEntry()
    {
        ConnectionWidget dialog;
        QListWidget *list = listOf(&dialog);
        QDialogButtonBox *buttons = buttonsOf(&dialog);
        dialog.appendDevices(0, {hidDevice, serialDevice});
        QVERIFY(!buttons->isEnabled());
        list->setCurrentRow(1);
        QVERIFY(buttons->isEnabled());
        QCOMPARE(dialog.selectedDevice(), serialDevice.address);
        list->setCurrentItem(nullptr);
        QVERIFY(!buttons->isEnabled());
        QCOMPARE(dialog.selectedType(), -1);
        list->setCurrentRow(0);
        QVERIFY(buttons->isEnabled());
        delete list->takeItem(1);
        delete list->takeItem(0);
        QVERIFY(!buttons->isEnabled());
        QCOMPARE(dialog.selectedDevice(), QString());
    }

    void typeTextAndGlyph_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("glyph");
        QTest::newRow("HID") << 0 << "HID" << "usb";
        QTest::newRow("serial") << 1 << "Serial port" << "device_hub";
        QTest::newRow("TCP") << 2 << "Remote over TCP" << "cast";
        QTest::newRow("UDP") << 3 << "Remote over UDP" << "close_fullscreen";
        QTest::newRow("seven") << 7 << "Other" << "device_unknown";
        QTest::newRow("negative") << -1 << "Other" << "device_unknown";
    }

    // Each entry: serial, product ":" manufacturer, address and the type's
    // text; the type's glyph; the address and the type number as item data.
    void typeTextAndGlyph()
    {
        QFETCH(int, type);
        QFETCH(QString, text);
        QFETCH(QString, glyph);
        QCOMPARE(ConnectionWidget::deviceTypeString(type), text);
        QCOMPARE(QString(ConnectionWidget::deviceTypeIcon(type)), glyph);

        ConnectionWidget dialog;
        dialog.appendDevices(type, {hidDevice});
        QListWidgetItem *item = listOf(&dialog)->item(0);
        QCOMPARE(item->text(), QStringLiteral("0042A1B2\nRF-PLC:Halvane\n/dev/hidraw3 (%1)").arg(text));
        QCOMPARE(item->data(Qt::UserRole + 1).toString(), hidDevice.address);
        QCOMPARE(item->data(Qt::UserRole + 2).toInt(), type);
        QVERIFY(!item->icon().isNull());
        QCOMPARE(iconImage(item->icon()), iconImage(QMaterialIcon::icon(glyph)));
        listOf(&dialog)->setCurrentItem(item);
        QCOMPARE(dialog.selectedType(), type);
        QCOMPARE(dialog.property("device").toString(), hidDevice.address);
    }

    // The emulator entry as the TCP transport lists it.
    void emulatorEntryShowsThreeLines()
    {
        TempSettings settings;
        settings.set(QStringLiteral("RemoteTCP/EMUPort"), 6001);
        ConnectionWidget dialog;
        dialog.appendDevices(2, ZuHalTCPMessenger::enumerate());
        QCOMPARE(listOf(&dialog)->count(), 1);
        const QStringList lines = listOf(&dialog)->item(0)->text().split(QLatin1Char('\n'));
        QCOMPARE(lines, (QStringList{QStringLiteral("EMU-0000000000"), QStringLiteral("Emulator:KOLM-Platform"),
                                     QStringLiteral("127.0.0.1:6001 (Remote over TCP)")}));
        listOf(&dialog)->setCurrentRow(0);
        QCOMPARE(dialog.selectedDevice(), QStringLiteral("127.0.0.1:6001"));
    }

    void laterCallsAppendBehind()
    {
        ConnectionWidget dialog;
        dialog.appendDevices(0, {hidDevice});
        dialog.appendDevices(1, {});
        dialog.appendDevices(1, {serialDevice, hidDevice});
        QListWidget *list = listOf(&dialog);
        QCOMPARE(list->count(), 3);
        const QList<QPair<QString, int>> expected = {
            {hidDevice.address, 0}, {serialDevice.address, 1}, {hidDevice.address, 1}};
        for (int row = 0; row < 3; ++row) {
            list->setCurrentRow(row);
            QCOMPARE(dialog.selectedDevice(), expected.at(row).first);
            QCOMPARE(dialog.selectedType(), expected.at(row).second);
        }
    }

    void leavingTheDialog_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("device");
        QTest::newRow("OK") << "ok" << false << int(QDialog::Accepted) << serialDevice.address;
        QTest::newRow("OK under reset") << "ok" << true << int(QDialog::Accepted) << serialDevice.address;
        QTest::newRow("Cancel") << "cancel" << false << int(QDialog::Rejected) << serialDevice.address;
        QTest::newRow("double click") << "double click" << false << int(QDialog::Accepted) << hidDevice.address;
        QTest::newRow("Escape") << "escape" << false << int(QDialog::Rejected) << serialDevice.address;
        QTest::newRow("closed") << "close" << false << int(QDialog::Rejected) << serialDevice.address;
    }

    // The user picks the second entry and then leaves the dialog; a double
    // click on the first entry accepts with that one current.
    void leavingTheDialog()
    {
        QFETCH(QString, how);
        QFETCH(bool, reset);
        QFETCH(int, result);
        QFETCH(QString, device);
        ConnectionWidget dialog;
        dialog.appendDevices(0, {hidDevice});
        dialog.appendDevices(1, {serialDevice});
        ModalDriver modal;
        modal.then([&](QWidget *window) {
            QListWidget *list = listOf(window);
            list->setCurrentRow(1);
            window->findChild<QCheckBox *>(QStringLiteral("vmHaltCheck"))->setChecked(reset);
            QDialogButtonBox *buttons = buttonsOf(window);
            if (how == QLatin1String("ok")) {
                buttons->button(QDialogButtonBox::Ok)->click();
            } else if (how == QLatin1String("cancel")) {
                buttons->button(QDialogButtonBox::Cancel)->click();
            } else if (how == QLatin1String("double click")) {
                // A double click arrives as press, release, double click.
                const QPoint at = list->visualItemRect(list->item(0)).center();
                QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
            } else if (how == QLatin1String("escape")) {
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Escape);
            } else {
                window->close();
            }
            // A dialog that ignored the user fails the test instead of hanging it.
            QTimer::singleShot(5000, window, [window] { static_cast<QDialog *>(window)->done(-1); });
        });
        QCOMPARE(dialog.exec(), result);
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, QStringLiteral("Device Selection"));
        QCOMPARE(dialog.selectedDevice(), device);
        QCOMPARE(dialog.resetChecked(), reset);
        QCOMPARE(dialog.property("nrst").toBool(), reset);
    }

    void emptyListIsLeftOnlyByEscapeOrClose_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("closed") << false;
    }

    void emptyListIsLeftOnlyByEscapeOrClose()
    {
        QFETCH(bool, escape);
        ConnectionWidget dialog;
        ModalDriver modal;
        modal.then([&](QWidget *window) {
            QDialogButtonBox *buttons = buttonsOf(window);
            QVERIFY(!buttons->button(QDialogButtonBox::Ok)->isEnabled());
            buttons->button(QDialogButtonBox::Ok)->click(); // a disabled button does nothing
            QVERIFY(window->isVisible());
            if (escape)
                QTest::keyClick(window, Qt::Key_Escape);
            else
                window->close();
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(dialog.selectedType(), -1);
        QCOMPARE(dialog.selectedDevice(), QString());
    }

    // The entry used last time is current when the dialog shows; without
    // it none is, whatever takes the focus.
    void startsFromTheLastEntry_data()
    {
        QTest::addColumn<int>("lastType");
        QTest::addColumn<QString>("lastDevice");
        QTest::addColumn<int>("currentRow");
        QTest::newRow("the emulator below a built-in port") << 2 << emulatorDevice.address << 2;
        QTest::newRow("the built-in port") << 1 << builtinPort.address << 1;
        QTest::newRow("same address, other type") << 2 << builtinPort.address << -1;
        QTest::newRow("never connected") << -1 << QString() << -1;
        QTest::newRow("last entry gone") << 1 << QStringLiteral("/dev/ttyUSB7") << -1;
    }

    void startsFromTheLastEntry()
    {
        QFETCH(int, lastType);
        QFETCH(QString, lastDevice);
        QFETCH(int, currentRow);
        ConnectionWidget dialog;
        dialog.appendDevices(0, {hidDevice});
        dialog.appendDevices(1, {builtinPort});
        dialog.appendDevices(2, {emulatorDevice});
        QCOMPARE(dialog.selectDevice(lastType, lastDevice), currentRow >= 0);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        QCOMPARE(listOf(&dialog)->currentRow(), currentRow);
        QCOMPARE(buttonsOf(&dialog)->isEnabled(), currentRow >= 0);
        QCOMPARE(dialog.selectedDevice(), currentRow >= 0 ? lastDevice : QString());
    }

    // Kept in the build tree (tests/ide/device/artefacts/) for a person to
    // look at: one entry of each kind, a built-in port above the emulator,
    // the emulator chosen last time.
    void picture()
    {
        TempSettings settings;
        ConnectionWidget dialog;
        dialog.appendDevices(0, {hidDevice});
        dialog.appendDevices(1, {builtinPort, serialDevice});
        dialog.appendDevices(2, ZuHalTCPMessenger::enumerate());
        dialog.appendDevices(7, {ZuHalDevice{QStringLiteral("pipe:7"), QStringLiteral("Test"),
                                             QStringLiteral("Loopback"), QStringLiteral("LB-1")}});
        QVERIFY(dialog.selectDevice(2, QStringLiteral("127.0.0.1:5542")));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
        const QPixmap picture = dialog.grab();
        QCOMPARE(picture.size(), QSize(515, 215));
        QVERIFY(picture.save(QDir(QStringLiteral(KOLM_SCREENSHOT_DIR)).filePath(QStringLiteral("connection_widget.png"))));
    }
};

QTEST_MAIN(ConnectionWidgetTest)
#include "connection_widget_test.moc"
