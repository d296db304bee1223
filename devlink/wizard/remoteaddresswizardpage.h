#pragma once

#include <QScopedPointer>
#include <QWizardPage>

namespace Ui {
class RemoteAddressWizardPage;
}

// First page of the remote connection wizard: address, port and protocol.
// Registers the wizard fields "address", "port" and "tcp" (whether the TCP
// button is the checked one).
class RemoteAddressWizardPage : public QWizardPage
{
    Q_OBJECT
    Q_PROPERTY(bool tcp READ isTcp WRITE setTcp)

public:
    explicit RemoteAddressWizardPage(QWidget *parent = nullptr);
    ~RemoteAddressWizardPage() override;

    bool isTcp() const;
    // Checks the TCP button, or the UDP button for false: in an exclusive
    // group the checked button cannot simply be unchecked.
    void setTcp(bool tcp);

    // An address has been entered.
    bool isComplete() const override;
    // The address is an IP address; host names are refused.
    bool validatePage() override;

private:
    QScopedPointer<Ui::RemoteAddressWizardPage> ui;
};
