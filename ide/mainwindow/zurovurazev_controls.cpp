// Enabling the device controls by the connection, the device's
// capabilities and kind, and what it is doing now (DevState).

#include "zurovurazev.h"

#include "device_capabilities.h"
#include "page_dialogs.h"
#include "qmaterialfont.h"
#include "ui_zurovurazev.h"

#include <QPointer>

void ZuROVUrazev::setupControls()
{
    updateDebugActions();
    // While the script runs the action halts it, otherwise it starts it.
    QMaterialIcon::setIcon(messenger && device.state == DS_Messaging ? QStringLiteral("cancel")
                                                                     : QStringLiteral("input"),
                           ui->actionLaunch);
    if (!messenger) {
        ui->deviceBar->setEnabled(false);
        ui->menuOptions->setEnabled(false);
        device.info.clear();
        device.configInfo.clear();
        viewActionsReset();
        pagesel_clicked(T_Script);
        ui->menuView->setEnabled(false);
        return;
    }
    ui->menuOptions->setEnabled(true);
    ui->deviceBar->setEnabled(true);

    const quint32 caps = device.capabilities;
    const bool takesUploads = caps & (DeviceCapability::Configurable | DeviceCapability::Scripts);
    const DevState devState = device.state;
    ui->actionDownload->setVisible(takesUploads);
    ui->actionUpload->setEnabled(takesUploads && (devState == DS_Messaging || devState == DS_Config));
    ui->actionLaunch->setEnabled(device.imageSize != 0);
    ui->actionDownload->setEnabled(devState != DS_Config);
    ui->actionStart_Debugging->setEnabled(devState != DS_Debugging);

    if (devState == DS_Invalid) {
        pagesel_clicked(T_Script);
        ui->menuView->setEnabled(false);
        ui->actionDownload->setEnabled(false);
        return;
    }
    ui->actionDownload->setEnabled(true);
    ui->menuView->setEnabled(true);
    viewActionsReset();
    viewActionEnable(T_Chat, caps & DeviceCapability::Radio);
    viewActionEnable(T_Config, devState == DS_Config);

    switch (device.kind) {
    case D_Generic:
        ui->actionDownload->setEnabled(false);
        break;
    case D_Unknown: {
        // The box runs an event loop: the window or its transport may go.
        const QPointer<ZuROVUrazev> self(this);
        pageWarning(this, tr("Unknown Device"),
                    tr("Connected device %1 is not known")
                        .arg(QStringLiteral("%1 (%2)").arg(int(device.kind)).arg(device.firmware)));
        if (!self || !messenger)
            return;
        pagesel_clicked(T_Script);
        ui->menuView->setEnabled(false);
        ui->actionDownload->setEnabled(false);
        break;
    }
    case D_GW:
        viewActionEnable(T_Debug, false);
        viewActionEnable(T_Script, false);
        break;
    case D_PLC:
        break;
    }
}
