// The GPIO setup dialog: its start state, the statement for every mode, the
// pin list and the pin field's validation.

#include "form_child.h"
#include "zugpiosetuphelper.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

const QStringList optionGroupNames = {"outputModeGroup", "pullGroup",    "interruptTriggerGroup",
                                      "debounceGroup",   "ivalGroup",    "pwmTypeGroup",
                                      "adcGroup",        "ipwmGroup",    "dutyGroup"};

QComboBox* pinEdit(const ZuGPIOSetupHelper& dialog)
{
    return formChild<QComboBox>(dialog, "pinEdit");
}

bool okEnabled(const ZuGPIOSetupHelper& dialog)
{
    return formChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok)->isEnabled();
}

QStringList enabledOptionGroups(const ZuGPIOSetupHelper& dialog)
{
    QStringList enabled;
    for (const QString& name : optionGroupNames)
        if (formChild<QGroupBox>(dialog, name)->isEnabled())
            enabled << name;
    return enabled;
}

void typePin(ZuGPIOSetupHelper& dialog, const QString& text)
{
    pinEdit(dialog)->lineEdit()->clear();
    QTest::keyClicks(pinEdit(dialog)->lineEdit(), text);
}

} // namespace

class GpioSetupHelperTest : public QObject
{
    Q_OBJECT

private slots:
    void initialState();
    void statement_data();
    void statement();
    void modeSwitchKeepsOptions();
    void pinItems();
    void pinValidation_data();
    void pinValidation();
    void typedPinWinsOverChosenItem();
};

void GpioSetupHelperTest::initialState()
{
    ZuGPIOSetupHelper dialog;
    QCOMPARE(dialog.windowTitle(), QString("GPIO Setup"));
    QVERIFY(formChild<QAbstractButton>(dialog, "gpioTypeInput")->isChecked());
    QCOMPARE(enabledOptionGroups(dialog), QStringList({"pullGroup"}));
    QVERIFY(!okEnabled(dialog));
    QCOMPARE(pinEdit(dialog)->count(), 0);
    for (const char* name : {"gpioInitLow", "gpioOutputPP", "gpioModeHW", "gpioPullNo", "gpioAdcMV",
                             "gpioIpwmDuty"})
        QVERIFY2(formChild<QAbstractButton>(dialog, name)->isChecked(), name);
    QCOMPARE(formChild<QSpinBox>(dialog, "gpioEdgeTimeout")->maximum(), 4095);
    QCOMPARE(formChild<QSpinBox>(dialog, "pwmDuty")->maximum(), 255);
}

void GpioSetupHelperTest::statement_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("debounce");
    QTest::addColumn<int>("duty");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("terms");

    QTest::newRow("input, no pull") << "gpioTypeInput" << QStringList{} << 0 << 0
                                    << QStringList{"GPIO_MODE_INPUT"} << QStringList{};
    QTest::newRow("input, pull up") << "gpioTypeInput" << QStringList{"gpioPullUp"} << 0 << 0
                                    << QStringList{"GPIO_MODE_INPUT", "GPIO_PULL_UP"} << QStringList{};
    QTest::newRow("output, defaults")
        << "gpioTypeOutput" << QStringList{} << 0 << 0
        << QStringList{"GPIO_MODE_OUTPUT", "GPIO_OTYPE_PP", "GPIO_INIT_LOW"} << QStringList{};
    QTest::newRow("output, open drain, pull down, high")
        << "gpioTypeOutput" << QStringList{"gpioOutputOD", "gpioPullDown", "gpioInitHigh"} << 0 << 0
        << QStringList{"GPIO_MODE_OUTPUT", "GPIO_OTYPE_OD", "GPIO_PULL_DOWN", "GPIO_INIT_HIGH"}
        << QStringList{};
    QTest::newRow("adc ignores pull") << "gpioTypeADC" << QStringList{"gpioPullUp"} << 0 << 0
                                      << QStringList{"GPIO_MODE_ADC"} << QStringList{};
    QTest::newRow("adc, binary") << "gpioTypeADC" << QStringList{"gpioAdcBinary"} << 0 << 0
                                 << QStringList{"GPIO_MODE_ADC", "GPIO_ADC_BINARY"} << QStringList{};
    QTest::newRow("interrupt, software, both edges, debounce")
        << "gpioTypeInterrupt"
        << QStringList{"gpioPullUp", "gpioModeSW", "gpioEdgeRising", "gpioEdgeFalling"} << 50 << 7
        << QStringList{"GPIO_MODE_EXTI", "GPIO_PULL_UP", "GPIO_TYPE_SOFTWARE", "GPIO_TRIGGER_RISE",
                       "GPIO_TRIGGER_FALL"}
        << QStringList{"(50<<GPIO_INIT_EDGE_POS)"};
    QTest::newRow("interrupt, longest debounce")
        << "gpioTypeInterrupt" << QStringList{"gpioEdgeRising"} << 4095 << 0
        << QStringList{"GPIO_MODE_EXTI", "GPIO_TRIGGER_RISE"}
        << QStringList{"(4095<<GPIO_INIT_EDGE_POS)"};
    QTest::newRow("interrupt, debounce 0 adds no term")
        << "gpioTypeInterrupt" << QStringList{} << 0 << 0 << QStringList{"GPIO_MODE_EXTI"}
        << QStringList{};
    QTest::newRow("pwm output, duty")
        << "gpioTypePwmOutput" << QStringList{"gpioModeSW"} << 9 << 128
        << QStringList{"GPIO_MODE_OPWM", "GPIO_OTYPE_PP", "GPIO_TYPE_SOFTWARE", "GPIO_INIT_LOW"}
        << QStringList{"(128<<GPIO_INIT_DUTY_POS)"};
    QTest::newRow("pwm input, frequency, high")
        << "gpioTypePwmInput" << QStringList{"gpioIpwmFreq", "gpioInitHigh", "gpioAdcBinary"} << 5 << 5
        << QStringList{"GPIO_MODE_IPWM", "GPIO_MEASURE_FREQ", "GPIO_INIT_HIGH"} << QStringList{};
}

void GpioSetupHelperTest::statement()
{
    QFETCH(QString, mode);
    QFETCH(QStringList, options);
    QFETCH(int, debounce);
    QFETCH(int, duty);
    QFETCH(QStringList, names);
    QFETCH(QStringList, terms);

    ZuGPIOSetupHelper dialog;
    typePin(dialog, "pa3");
    for (const QString& option : options)
        formChild<QAbstractButton>(dialog, option)->setChecked(true);
    formChild<QSpinBox>(dialog, "gpioEdgeTimeout")->setValue(debounce);
    formChild<QSpinBox>(dialog, "pwmDuty")->setValue(duty);
    formChild<QAbstractButton>(dialog, mode)->setChecked(true);

    const QString statement = dialog.getString();
    const QString head = "PA3.MODE = ";
    QVERIFY2(statement.startsWith(head) && statement.endsWith(';'), qPrintable(statement));
    const QStringList parts = statement.mid(head.size(), statement.size() - head.size() - 1).split('|');

    // The names stand in any order; the shift terms come after them.
    const QStringList nameParts = parts.mid(0, parts.size() - terms.size());
    QCOMPARE(QSet<QString>(nameParts.begin(), nameParts.end()),
             QSet<QString>(names.begin(), names.end()));
    QCOMPARE(nameParts.size(), names.size());
    QCOMPARE(parts.mid(parts.size() - terms.size()), terms);
}

void GpioSetupHelperTest::modeSwitchKeepsOptions()
{
    ZuGPIOSetupHelper dialog;
    typePin(dialog, "PB1");
    formChild<QAbstractButton>(dialog, "gpioTypeOutput")->setChecked(true);
    QCOMPARE(enabledOptionGroups(dialog), QStringList({"outputModeGroup", "pullGroup", "ivalGroup"}));
    formChild<QAbstractButton>(dialog, "gpioOutputOD")->setChecked(true);
    formChild<QAbstractButton>(dialog, "gpioTypeInput")->setChecked(true);
    QCOMPARE(dialog.getString(), QString("PB1.MODE = GPIO_MODE_INPUT;"));
    formChild<QAbstractButton>(dialog, "gpioTypeOutput")->setChecked(true);
    QVERIFY(dialog.getString().contains("GPIO_OTYPE_OD"));
}

void GpioSetupHelperTest::pinItems()
{
    ZuGPIOSetupHelper dialog;
    dialog.setup({});
    QCOMPARE(pinEdit(dialog)->count(), 0);

    dialog.setup({{"LED", "PA5"}, {"BTN", "pb12"}});
    QComboBox* pins = pinEdit(dialog);
    QCOMPARE(pins->count(), 2);
    QCOMPARE(pins->itemText(0), QString("BTN (at pb12)"));
    QCOMPARE(pins->itemData(0).toString(), QString("pb12"));
    QCOMPARE(pins->itemText(1), QString("LED (at PA5)"));
    QVERIFY(okEnabled(dialog));
    QCOMPARE(dialog.getString(), QString("PB12.MODE = GPIO_MODE_INPUT;"));

    pins->setCurrentIndex(1);
    QVERIFY(okEnabled(dialog));
    QCOMPARE(dialog.getString(), QString("PA5.MODE = GPIO_MODE_INPUT;"));

    dialog.setup({{"KEY", "PC0"}});
    QCOMPARE(pins->count(), 3);
    QCOMPARE(pins->itemText(2), QString("KEY (at PC0)"));
}

void GpioSetupHelperTest::pinValidation_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("ok");

    QTest::newRow("port beyond I") << "PJ1" << "P" << false;
    QTest::newRow("port letter only") << "pa" << "pa" << false;
    QTest::newRow("lower case pin") << "pa3" << "pa3" << true;
    QTest::newRow("two digits") << "PI15" << "PI15" << true;
    QTest::newRow("second digit beyond 5") << "PA16" << "PA1" << true;
    QTest::newRow("no P") << "A1" << "" << false;
}

void GpioSetupHelperTest::pinValidation()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, ok);

    ZuGPIOSetupHelper dialog;
    typePin(dialog, typed);
    QCOMPARE(pinEdit(dialog)->currentText(), shown);
    QCOMPARE(okEnabled(dialog), ok);
}

void GpioSetupHelperTest::typedPinWinsOverChosenItem()
{
    ZuGPIOSetupHelper dialog;
    dialog.setup({{"LED", "PA5"}});
    QCOMPARE(dialog.getString(), QString("PA5.MODE = GPIO_MODE_INPUT;"));

    typePin(dialog, "pb2");
    QCOMPARE(pinEdit(dialog)->currentText(), QString("pb2"));
    QVERIFY(okEnabled(dialog));
    QCOMPARE(dialog.getString(), QString("PB2.MODE = GPIO_MODE_INPUT;"));
}

QTEST_MAIN(GpioSetupHelperTest)
#include "gpio_setup_helper_test.moc"
