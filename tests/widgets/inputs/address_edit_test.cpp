// The 16-bit address edit: decimal and hexadecimal display of one value,
// typing in either base, and the highest address it allows.

#include "zu16addressedit.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

namespace {

QSpinBox *spin(Zu16AddressEdit &edit)
{
    return edit.findChild<QSpinBox *>(QStringLiteral("addressSpin"));
}

QCheckBox *hexCheck(Zu16AddressEdit &edit)
{
    return edit.findChild<QCheckBox *>(QStringLiteral("hexCheck"));
}

// Replaces the spin box's text by typing and commits it with Enter.
void typeAddress(Zu16AddressEdit &edit, const QString &text)
{
    QSpinBox *box = spin(edit);
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Enter);
}

} // namespace

class AddressEditTest : public QObject {
    Q_OBJECT

private slots:
    void startsAtZeroInDecimal()
    {
        Zu16AddressEdit edit;
        edit.show();
        QCOMPARE(edit.objectName(), QStringLiteral("Zu16AddressEdit"));
        QCOMPARE(edit.address(), uint16_t(0));
        QCOMPARE(spin(edit)->text(), QStringLiteral("0"));
        QCOMPARE(hexCheck(edit)->text(), QStringLiteral("Hex"));
        QVERIFY(!hexCheck(edit)->isChecked());
    }

    void hexDisplayOfTheSameValue()
    {
        Zu16AddressEdit edit;
        edit.setAddress(4660);
        QTest::mouseClick(hexCheck(edit), Qt::LeftButton, {}, QPoint(2, hexCheck(edit)->height() / 2));
        QVERIFY(hexCheck(edit)->isChecked());
        QCOMPARE(spin(edit)->text(), QStringLiteral("1234h"));
        QCOMPARE(edit.address(), uint16_t(4660));
        hexCheck(edit)->click();
        QCOMPARE(spin(edit)->text(), QStringLiteral("4660"));
    }

    void typingInEitherBase_data()
    {
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("address");
        QTest::newRow("decimal") << false << "1234" << 1234;
        QTest::newRow("hex") << true << "1a2b" << 0x1a2b;
        QTest::newRow("hex with suffix") << true << "ff0h" << 0xff0;
    }

    void typingInEitherBase()
    {
        QFETCH(bool, hex);
        QFETCH(QString, typed);
        QFETCH(int, address);
        Zu16AddressEdit edit;
        hexCheck(edit)->setChecked(hex);
        typeAddress(edit, typed);
        QCOMPARE(int(edit.address()), address);
    }

    void highestAddressIsFFFD()
    {
        Zu16AddressEdit edit;
        edit.setAddress(65535);
        QCOMPARE(int(edit.address()), 65533);
        hexCheck(edit)->setChecked(true);
        QCOMPARE(spin(edit)->text(), QStringLiteral("fffdh"));
    }
};

QTEST_MAIN(AddressEditTest)
#include "address_edit_test.moc"
