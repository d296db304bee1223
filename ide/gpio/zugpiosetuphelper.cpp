#include "zugpiosetuphelper.h"

#include "ui_zugpiosetuphelper.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QRegExpValidator>

ZuGPIOSetupHelper::ZuGPIOSetupHelper(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::ZuGPIOSetupHelper)
{
    ui->setupUi(this);

    // P, a port letter A to I, a digit and at most one more digit 0 to 5.
    ui->pinEdit->setValidator(
        new QRegExpValidator(QRegExp(QStringLiteral(R"(P[A-I]\d([0-5]?))"), Qt::CaseInsensitive), this));

    defines = {
        {ui->gpioTypeInput, QStringLiteral("GPIO_MODE_INPUT")},
        {ui->gpioTypeOutput, QStringLiteral("GPIO_MODE_OUTPUT")},
        {ui->gpioTypeADC, QStringLiteral("GPIO_MODE_ADC")},
        {ui->gpioTypeInterrupt, QStringLiteral("GPIO_MODE_EXTI")},
        {ui->gpioTypePwmOutput, QStringLiteral("GPIO_MODE_OPWM")},
        {ui->gpioTypePwmInput, QStringLiteral("GPIO_MODE_IPWM")},
        {ui->gpioOutputPP, QStringLiteral("GPIO_OTYPE_PP")},
        {ui->gpioOutputOD, QStringLiteral("GPIO_OTYPE_OD")},
        {ui->gpioEdgeRising, QStringLiteral("GPIO_TRIGGER_RISE")},
        {ui->gpioEdgeFalling, QStringLiteral("GPIO_TRIGGER_FALL")},
        {ui->gpioPullUp, QStringLiteral("GPIO_PULL_UP")},
        {ui->gpioPullDown, QStringLiteral("GPIO_PULL_DOWN")},
        {ui->gpioModeSW, QStringLiteral("GPIO_TYPE_SOFTWARE")},
        {ui->gpioAdcBinary, QStringLiteral("GPIO_ADC_BINARY")},
        {ui->gpioIpwmFreq, QStringLiteral("GPIO_MEASURE_FREQ")},
        {ui->gpioInitHigh, QStringLiteral("GPIO_INIT_HIGH")},
        {ui->gpioInitLow, QStringLiteral("GPIO_INIT_LOW")},
    };

    auto* modes = new QButtonGroup(this);
    modes->addButton(ui->gpioTypeInput, Input);
    modes->addButton(ui->gpioTypeOutput, Output);
    modes->addButton(ui->gpioTypeADC, ADC);
    modes->addButton(ui->gpioTypeInterrupt, Interrupt);
    modes->addButton(ui->gpioTypePwmOutput, PWM_Out);
    modes->addButton(ui->gpioTypePwmInput, PWM_In);

    optionGroups = {ui->outputModeGroup, ui->pullGroup, ui->interruptTriggerGroup,
                    ui->debounceGroup,   ui->ivalGroup, ui->pwmTypeGroup,
                    ui->adcGroup,        ui->ipwmGroup, ui->dutyGroup};

    modeGroups = {
        {ui->gpioTypeInput, {ui->pullGroup}},
        {ui->gpioTypeOutput, {ui->outputModeGroup, ui->pullGroup, ui->ivalGroup}},
        {ui->gpioTypeADC, {ui->adcGroup}},
        {ui->gpioTypeInterrupt,
         {ui->pullGroup, ui->interruptTriggerGroup, ui->debounceGroup, ui->pwmTypeGroup}},
        {ui->gpioTypePwmOutput,
         {ui->outputModeGroup, ui->pullGroup, ui->pwmTypeGroup, ui->dutyGroup, ui->ivalGroup}},
        {ui->gpioTypePwmInput, {ui->pullGroup, ui->ipwmGroup, ui->ivalGroup}},
    };

    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(false);
    connect(ui->pinEdit, &QComboBox::currentTextChanged, this, &ZuGPIOSetupHelper::pinTextChanged);
    connect(modes, qOverload<QAbstractButton*, bool>(&QButtonGroup::buttonToggled), this,
            &ZuGPIOSetupHelper::modeToggled);

    modeToggled(ui->gpioTypeInput, true);
}

ZuGPIOSetupHelper::~ZuGPIOSetupHelper()
{
    delete ui;
}

void ZuGPIOSetupHelper::setup(const QMap<QString, QString>& labels)
{
    for (auto it = labels.cbegin(); it != labels.cend(); ++it)
        ui->pinEdit->addItem(tr("%1 (at %2)").arg(it.key(), it.value()), it.value());
}

void ZuGPIOSetupHelper::modeToggled(QAbstractButton* button, bool checked)
{
    if (!checked)
        return;
    for (QGroupBox* group : qAsConst(optionGroups))
        group->setEnabled(false);
    for (QGroupBox* group : modeGroups.value(button))
        group->setEnabled(true);
}

// A pin can be taken from hand-typed text only once the validator accepts it
// whole ("P" or "PA" are only a start); a list item's text names its pin
// through the item.
void ZuGPIOSetupHelper::pinTextChanged(const QString& text)
{
    QString candidate = text;
    int position = 0;
    const QValidator* validator = ui->pinEdit->validator();
    const bool acceptable = validator->validate(candidate, position) == QValidator::Acceptable
                            || ui->pinEdit->findText(text) >= 0;
    ui->buttonBox->button(QDialogButtonBox::Ok)->setEnabled(!text.isEmpty() && acceptable);
}

// The pin of the list item whose text is shown; text typed over an item is
// the pin itself.
QString ZuGPIOSetupHelper::pin() const
{
    const QString text = ui->pinEdit->currentText();
    const int item = ui->pinEdit->findText(text);
    QString pin = item >= 0 ? ui->pinEdit->itemData(item).toString() : QString();
    if (pin.isEmpty())
        pin = text;
    return pin.toUpper();
}

bool ZuGPIOSetupHelper::inEnabledGroup(const QAbstractButton* button) const
{
    const auto* group = qobject_cast<const QGroupBox*>(button->parentWidget());
    return !group || group->isEnabledTo(this);
}

QString ZuGPIOSetupHelper::getString() const
{
    QStringList names;
    for (const auto& entry : defines) {
        if (entry.first->isChecked() && inEnabledGroup(entry.first))
            names.append(entry.second);
    }
    if (ui->debounceGroup->isEnabledTo(this) && ui->gpioEdgeTimeout->value() != 0)
        names.append(QStringLiteral("(%1<<GPIO_INIT_EDGE_POS)").arg(ui->gpioEdgeTimeout->value()));
    if (ui->dutyGroup->isEnabledTo(this) && ui->pwmDuty->value() != 0)
        names.append(QStringLiteral("(%1<<GPIO_INIT_DUTY_POS)").arg(ui->pwmDuty->value()));

    const QString value = names.isEmpty() ? QStringLiteral("0") : names.join(QLatin1Char('|'));
    return pin() + QStringLiteral(".MODE = ") + value + QLatin1Char(';');
}
