// The device connection: the reply time-out and the return to the
// unconnected state.

#include "zurovurazev.h"

#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "ui_zurovurazev.h"
#include "zuhal_messenger.h"

#include <QLabel>
#include <QMessageBox>

void ZuROVUrazev::on_actionConnect_triggered()
{
    if (messenger) {
        messenger->close();
        usb_disconnected();
    }
}

void ZuROVUrazev::ping_timeout() {}
void ZuROVUrazev::ping_start() {}
void ZuROVUrazev::usb_connected(bool) {}
void ZuROVUrazev::usb_post_connected() {}

void ZuROVUrazev::msg_timeout()
{
    switch (state) {
    case CS_GET_ADDR:
        QMessageBox::warning(this, tr("Communication Failure"),
                             tr("MC did not respond to an address request.\nAborting connection..."));
        // Queued, so that the box has closed first; without a transport
        // there is nothing to drop (and no dialog to open).
        if (messenger)
            QMetaObject::invokeMethod(
                this, [this] { if (messenger) on_actionConnect_triggered(); }, Qt::QueuedConnection);
        break;
    case CS_GET_INFO:
        QMessageBox::warning(this, tr("Communication Failure"),
                             tr("MC did not provide all the required information.\nFurther communication may misbehave"));
        stopProgressBar();
        state = CS_IDLE;
        if (messenger) {
            restorePollTime();
            device.state = DS_Messaging;
        }
        break;
    default:
        stopProgressBar();
        QMessageBox::warning(this, tr("Communication Error"), tr("MC is not responding"));
        if (messenger)
            messenger->close();
        usb_disconnected();
        break;
    }
}

void ZuROVUrazev::usb_disconnected()
{
    // A chain cut short must not report a time-out later.
    msgTimer.stop();
    pingTimer.stop();
    state = CS_IDLE;
    postUpload = PU_NOP;
    device.address = 0xFFFF;
    device.localAddress = 0xFFFF;
    relayConnect = false;
    device.kind = D_Unknown;
    device.state = DS_Invalid;
    freeConfigWidget();
    statusText->clear();
    QMaterialIcon::setIcon(QStringLiteral("power_settings_new"), ui->actionConnect,
                           QMaterialIcon::instance()->color(QMaterialIcon::Error));
    ui->actionConnect->setToolTip(tr("Connect"));
    connectionStatus->status(QStringLiteral("phonelink_off"), QMaterialIcon::Warning, tr("Not connected"));
    ui->actionRemote->setEnabled(true);
    if (messenger) {
        messenger->disconnect(this);
        messenger->deleteLater();
        messenger = nullptr;
    }
    stopProgressBar();
}
