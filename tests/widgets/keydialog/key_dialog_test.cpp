// The key dialog: which form a key opens in, what each form lets the user
// type, when OK is offered, and the key handed back.

#include "zuasmgetkey.h"

#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <cstring>

namespace {

typedef unsigned char Key[8];

QLineEdit *keyEdit(ZuASMGetKey &dialog)
{
    return dialog.findChild<QLineEdit *>(QStringLiteral("keyEdit"));
}

QRadioButton *radio(ZuASMGetKey &dialog, const char *name)
{
    return dialog.findChild<QRadioButton *>(QLatin1String(name));
}

bool okEnabled(ZuASMGetKey &dialog)
{
    return dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->isEnabled();
}

void clickRadio(ZuASMGetKey &dialog, const char *name)
{
    QRadioButton *button = radio(dialog, name);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

} // namespace

class KeyDialogTest : public QObject {
    Q_OBJECT

private slots:
    void initialForm()
    {
        ZuASMGetKey dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Setup Encryption Key"));
        QVERIFY(radio(dialog, "hexRadio")->isChecked());
        QCOMPARE(keyEdit(dialog)->validator(), nullptr);
        QVERIFY(!okEnabled(dialog));
    }

    void keyOpensInItsForm_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<QString>("text");
        QTest::newRow("printable") << QByteArray("Secret!~") << true << "Secret!~";
        QTest::newRow("zero byte") << QByteArray("\x00\x11\x22\x33\x44\xAA\xBB\xFF", 8) << false
                                   << "00112233" "44AABBFF";
    }

    void keyOpensInItsForm()
    {
        QFETCH(QByteArray, key);
        QFETCH(bool, ascii);
        QFETCH(QString, text);
        ZuASMGetKey dialog;
        Key k;
        std::memcpy(k, key.constData(), 8);
        dialog.setKey(k);
        QCOMPARE(radio(dialog, "asciiRadio")->isChecked(), ascii);
        QCOMPARE(keyEdit(dialog)->text(), text);
        QVERIFY(okEnabled(dialog));
        Key back;
        std::memset(back, 0x55, 8);
        dialog.getKey(back);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(back), 8), key);
    }

    void switchingFormEmptiesTheEdit()
    {
        ZuASMGetKey dialog;
        dialog.show();
        QTest::keyClicks(keyEdit(dialog), QStringLiteral("0123456789abcdef"));
        QVERIFY(okEnabled(dialog));
        clickRadio(dialog, "asciiRadio");
        QVERIFY(radio(dialog, "asciiRadio")->isChecked());
        QVERIFY(keyEdit(dialog)->text().isEmpty());
        QVERIFY(!okEnabled(dialog));
    }

    void eachFormRefusesOtherText_data()
    {
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::newRow("hex drops non-digits") << false << "01g23z45 67-89AB:CDEF" << "0123456789ABCDEF";
        QTest::newRow("hex stops at 16") << false << "0123456789abcdef01" << "0123456789abcdef";
        QTest::newRow("ascii stops at 8") << true << "password1" << "password";
    }

    void eachFormRefusesOtherText()
    {
        QFETCH(bool, ascii);
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        ZuASMGetKey dialog;
        dialog.show();
        // Switching installs the validator of the form.
        clickRadio(dialog, "asciiRadio");
        if (!ascii)
            clickRadio(dialog, "hexRadio");
        QTest::keyClicks(keyEdit(dialog), typed);
        QCOMPARE(keyEdit(dialog)->text(), kept);
        QVERIFY(okEnabled(dialog));
    }

    void okOnlyForAWholeKey_data()
    {
        QTest::addColumn<bool>("ascii");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("hex 15 digits") << false << "0123456789abcde" << false;
        QTest::newRow("hex 16 digits") << false << "0123456789abcdeF" << true;
        QTest::newRow("hex text before the first switch") << false << "not a hex key!!!" << false;
        QTest::newRow("ascii 7 characters") << true << "1234567" << false;
        QTest::newRow("ascii 8 characters") << true << "12 45 78" << true;
    }

    void okOnlyForAWholeKey()
    {
        QFETCH(bool, ascii);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        ZuASMGetKey dialog;
        if (ascii)
            radio(dialog, "asciiRadio")->setChecked(true);
        keyEdit(dialog)->setText(text);
        QCOMPARE(okEnabled(dialog), enabled);
    }

    // A vertical tab prints as a character key but is not read back as one:
    // OK stays off instead of keeping the old key behind the user's back.
    void printedKeyNotReadBackDisablesOk()
    {
        ZuASMGetKey dialog;
        const Key key = {'a', 'b', 'c', 0x0B, 'd', 'e', 'f', 'g'};
        dialog.setKey(key);
        QVERIFY(radio(dialog, "asciiRadio")->isChecked());
        QCOMPARE(keyEdit(dialog)->text().size(), 8);
        QVERIFY(!okEnabled(dialog));
        Key back;
        std::memset(back, 0x55, 8);
        dialog.getKey(back);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(back), 8), QByteArray(8, 0x55));
    }

    void acceptedDialogHandsBackTypedKey()
    {
        ZuASMGetKey dialog;
        dialog.show();
        QTest::keyClicks(keyEdit(dialog), QStringLiteral("A0A1A2A3A4A5A6A7"));
        QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        Key back = {};
        dialog.getKey(back);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(back), 8), QByteArray::fromHex("A0A1A2A3A4A5A6A7"));
    }
};

QTEST_MAIN(KeyDialogTest)
#include "key_dialog_test.moc"
