#include "zu16addressedit.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSpinBox>

Zu16AddressEdit::Zu16AddressEdit(QWidget *parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("Zu16AddressEdit"));
    resize(148, 42);
    setWindowTitle(tr("Form"));
    horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    addressSpin = new QSpinBox(this);
    addressSpin->setObjectName(QStringLiteral("addressSpin"));
    addressSpin->setRange(0, MaximumAddress);
    horizontalLayout->addWidget(addressSpin);
    hexCheck = new QCheckBox(this);
    hexCheck->setObjectName(QStringLiteral("hexCheck"));
    hexCheck->setText(tr("Hex"));
    horizontalLayout->addWidget(hexCheck);
    QMetaObject::connectSlotsByName(this);
}

uint16_t Zu16AddressEdit::address() const
{
    return uint16_t(addressSpin->value());
}

void Zu16AddressEdit::setAddress(uint16_t address)
{
    addressSpin->setValue(address);
}

void Zu16AddressEdit::on_hexCheck_toggled(bool on)
{
    addressSpin->setDisplayIntegerBase(on ? 16 : 10);
    addressSpin->setSuffix(on ? QStringLiteral("h") : QString());
}
