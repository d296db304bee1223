#include "remoteconnectionwizard.h"

#include "remoteaddresswizardpage.h"
#include "remoteinfowizardpage.h"

#include <QVariant>

RemoteConnectionWizard::RemoteConnectionWizard(Connection connection, QWidget *parent)
    : QWizard(parent)
{
    addPage(new RemoteAddressWizardPage(this));
    addPage(new RemoteInfoWizardPage(this));
    if (connection == UDP)
        setField(QStringLiteral("tcp"), false);
}

void RemoteConnectionWizard::setup(const QString &address, quint16 port)
{
    setField(QStringLiteral("address"), address);
    setField(QStringLiteral("port"), int(port));
}
