// The hex view: the C array text for images of every line shape, byte
// spelling and array names, and the dialog's form.

#include "form_child.h"
#include "fixedwidthfont.h"
#include "kolmprojecthexview.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

namespace {

// Bytes 0, 1, 2, ... n-1.
QByteArray counting(int n)
{
    QByteArray bytes;
    for (int i = 0; i < n; ++i)
        bytes.append(char(i));
    return bytes;
}

QString shown(const QByteArray& data, const QString& name)
{
    KolmProjectHexview view;
    view.setData(data, name);
    return formChild<QPlainTextEdit>(view, "plainTextEdit")->toPlainText();
}

} // namespace

class HexViewTest : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void setDataReplacesText();
    void form();
};

void HexViewTest::text_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    const QString line0 = "0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, "
                          "0x08, 0x09, 0x0a, 0x0b, 0x0c, 0x0d, 0x0e, 0x0f";
    QTest::newRow("0 bytes") << QByteArray() << "demo app"
                             << "static const unsigned char demo_app[0] = {\n};\n";
    QTest::newRow("16 bytes") << counting(16) << "demo app"
                              << "static const unsigned char demo_app[16] = {\n" + line0 + "\n};\n";
    QTest::newRow("17 bytes") << counting(17) << "demo app"
                              << "static const unsigned char demo_app[17] = {\n" + line0 + ", \n0x10\n};\n";
    QTest::newRow("18 bytes") << counting(18) << "demo app"
                              << "static const unsigned char demo_app[18] = {\n" + line0 + ", \n0x10, 0x11\n};\n";
    QTest::newRow("0x00, 0x0a, 0xff") << QByteArray("\x00\x0a\xff", 3) << "x"
                                      << "static const unsigned char x[3] = {\n0x00, 0x0a, 0xff\n};\n";
    QTest::newRow("empty name") << QByteArray("\x7f", 1) << ""
                                << "static const unsigned char binary[1] = {\n0x7f\n};\n";
    QTest::newRow("blanks at both ends") << QByteArray() << " a  b "
                                         << "static const unsigned char _a__b_[0] = {\n};\n";
    QTest::newRow("minus and dot kept") << QByteArray() << "my-app.v2"
                                        << "static const unsigned char my-app.v2[0] = {\n};\n";
}

void HexViewTest::text()
{
    QFETCH(QByteArray, data);
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(shown(data, name), expected);
}

void HexViewTest::setDataReplacesText()
{
    KolmProjectHexview view;
    auto* edit = formChild<QPlainTextEdit>(view, "plainTextEdit");
    QCOMPARE(edit->toPlainText(), QString());
    view.setData(counting(40), "first");
    view.setData(QByteArray("\x01", 1), "second");
    QCOMPARE(edit->toPlainText(), QString("static const unsigned char second[1] = {\n0x01\n};\n"));
}

void HexViewTest::form()
{
    KolmProjectHexview view;
    QCOMPARE(view.windowTitle(), QString("Kolm HexView"));
    QVERIFY(view.width() >= 582);
    QCOMPARE(view.height(), 439);
    QVERIFY(formChild<QRadioButton>(view, "modeCArrayRadio")->isChecked());
    auto* edit = formChild<QPlainTextEdit>(view, "plainTextEdit");
    QVERIFY2(hasEqualAdvances(edit->font()), qPrintable(QFontInfo(edit->font()).family()));
    // Long enough to scroll down; the declaration line is shorter than a
    // line of bytes.
    view.setData(counting(400), "app");
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    // A whole line of bytes is in view at the first size: no sideways
    // scrolling.
    QVERIFY(edit->verticalScrollBar()->maximum() > 0);
    QCOMPARE(edit->horizontalScrollBar()->maximum(), 0);
    QVERIFY(view.grab().save(PICTURE_DIR "/hex_view.png"));

    // Close is the only button and closes the dialog.
    auto* box = formChild<QDialogButtonBox>(view, "buttonBox");
    QCOMPARE(box->buttons().size(), 1);
    QSignalSpy rejected(&view, &QDialog::rejected);
    box->button(QDialogButtonBox::Close)->click();
    QCOMPARE(rejected.size(), 1);
    QVERIFY(!view.isVisible());
}

QTEST_MAIN(HexViewTest)
#include "hex_view_test.moc"
