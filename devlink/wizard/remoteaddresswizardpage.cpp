#include "remoteaddresswizardpage.h"

#include "ui_remoteaddresswizardpage.h"

#include <QHostAddress>

RemoteAddressWizardPage::RemoteAddressWizardPage(QWidget *parent)
    : QWizardPage(parent)
    , ui(new Ui::RemoteAddressWizardPage)
{
    ui->setupUi(this);
    registerField(QStringLiteral("address"), ui->addressEdit);
    registerField(QStringLiteral("port"), ui->portSpin);
    registerField(QStringLiteral("tcp"), this, "tcp");
    connect(ui->addressEdit, &QLineEdit::textChanged, this, &RemoteAddressWizardPage::completeChanged);
}

RemoteAddressWizardPage::~RemoteAddressWizardPage() = default;

bool RemoteAddressWizardPage::isTcp() const
{
    return ui->tcpRadio->isChecked();
}

void RemoteAddressWizardPage::setTcp(bool tcp)
{
    (tcp ? ui->tcpRadio : ui->udpRadio)->setChecked(true);
}

bool RemoteAddressWizardPage::isComplete() const
{
    return !ui->addressEdit->text().isEmpty();
}

bool RemoteAddressWizardPage::validatePage()
{
    return !QHostAddress(ui->addressEdit->text()).isNull();
}
