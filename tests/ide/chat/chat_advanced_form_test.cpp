// The "Advanced" chat options form: its fields, ranges and readers.

#include "chatadvancedform.h"
#include "form_child.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QtTest>

class ChatAdvancedFormTest : public QObject
{
    Q_OBJECT

private slots:
    void fields();
    void portsReadBack_data();
    void portsReadBack();
};

void ChatAdvancedFormTest::fields()
{
    ChatAdvancedForm form;
    QCOMPARE(form.objectName(), QStringLiteral("ChatAdvancedForm"));
    QCOMPARE(form.size(), QSize(357, 99));
    QCOMPARE(form.windowTitle(), QStringLiteral("Form"));
    for (const char *name : {"msgSrcPort", "msgDestPort"}) {
        auto *port = formChild<QSpinBox>(form, QLatin1String(name));
        QCOMPARE(port->minimum(), 0);
        QCOMPARE(port->maximum(), 15);
        QCOMPARE(port->value(), 0);
        QCOMPARE(port->text(), QStringLiteral("PC"));
    }
    auto *hex = formChild<QCheckBox>(form, QStringLiteral("msgHexCheck"));
    QCOMPARE(hex->text(), QStringLiteral("Treat 'message' as hex"));
    QVERIFY(!form.messageIsHex());
    hex->setChecked(true);
    QVERIFY(form.messageIsHex());

    auto *layout = formChild<QFormLayout>(form, QStringLiteral("formLayout"));
    int row = -1;
    QFormLayout::ItemRole role;
    layout->getWidgetPosition(hex, &row, &role);
    QCOMPARE(row, 2);
    QCOMPARE(role, QFormLayout::SpanningRole);
    QCOMPARE(formChild<QLabel>(form, QStringLiteral("label"))->text(), QStringLiteral("Source Port:"));
    QCOMPARE(formChild<QLabel>(form, QStringLiteral("label_2"))->text(), QStringLiteral("Destination Port:"));
}

void ChatAdvancedFormTest::portsReadBack_data()
{
    QTest::addColumn<int>("typed");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << 0 << 0;
    QTest::newRow("seven") << 7 << 7;
    QTest::newRow("fifteen") << 15 << 15;
    QTest::newRow("over the nibble") << 16 << 15;
    QTest::newRow("negative") << -1 << 0;
}

void ChatAdvancedFormTest::portsReadBack()
{
    QFETCH(int, typed);
    QFETCH(int, value);
    ChatAdvancedForm form;
    formChild<QSpinBox>(form, QStringLiteral("msgSrcPort"))->setValue(typed);
    formChild<QSpinBox>(form, QStringLiteral("msgDestPort"))->setValue(15 - qBound(0, typed, 15));
    QCOMPARE(form.sourcePort(), value);
    QCOMPARE(form.destinationPort(), 15 - value);
}

QTEST_MAIN(ChatAdvancedFormTest)
#include "chat_advanced_form_test.moc"
