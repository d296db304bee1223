#pragma once

#include <QDialog>
#include <QHash>
#include <QList>
#include <QMap>
#include <QPair>
#include <QString>
#include <QVector>

class QAbstractButton;
class QGroupBox;

namespace Ui {
class ZuGPIOSetupHelper;
}

// Composes one line of Kolm source that sets a pin's mode register, such as
// "PA5.MODE = GPIO_MODE_OUTPUT|GPIO_OTYPE_PP|GPIO_INIT_LOW;", from the pin,
// the mode and the options the user picks. The names are defines of the
// board package.
class ZuGPIOSetupHelper : public QDialog
{
    Q_OBJECT

public:
    enum Modes { Input = 0, Output = 1, ADC = 2, Interrupt = 3, PWM_Out = 4, PWM_In = 5 };
    Q_ENUM(Modes)

    explicit ZuGPIOSetupHelper(QWidget* parent = nullptr);
    ~ZuGPIOSetupHelper() override;

    // Adds one pin item per entry, in key order: text "label (at pin)", the
    // pin as its user data. Items already present stay.
    void setup(const QMap<QString, QString>& labels);

    // The statement for the chosen pin, mode and options, without a line
    // break.
    QString getString() const;

private:
    void modeToggled(QAbstractButton* button, bool checked);
    void pinTextChanged(const QString& text);
    QString pin() const;
    bool inEnabledGroup(const QAbstractButton* button) const;

    Ui::ZuGPIOSetupHelper* ui;
    // Buttons that add a define name when checked, in a fixed order.
    QVector<QPair<QAbstractButton*, QString>> defines;
    QList<QGroupBox*> optionGroups;
    QHash<QAbstractButton*, QList<QGroupBox*>> modeGroups;
};
