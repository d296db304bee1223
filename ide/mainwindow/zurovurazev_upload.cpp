// The Upload action: takes the project's image (saving and building first
// where needed), checks that configuration and image fit the device, and
// sends the first request of the upload chain; the reply handlers write the
// configuration and the image.

#include "zurovurazev.h"

#include "device_capabilities.h"
#include "page_dialogs.h"
#include "ui_zurovurazev.h"
#include "zuhal_messenger.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

constexpr quint8 CmdMcuInfo = 0x01;
constexpr quint8 CmdAsmCtrl = 0x23;
constexpr quint16 InfoConfigVersion = 5;
constexpr quint16 AsmHalt = 0;

// Image bytes are written at 16-bit offsets: an image ends at 65,536 bytes.
constexpr int MaxImageBytes = 65536;
// The poll time of the transport while the upload chain runs.
constexpr int UploadPollMs = 50;

// The bytes the handlers write for an image: padded to whole words.
qint64 writtenImageBytes(int imageBytes)
{
    return (qint64(imageBytes) + 3) / 4 * 4;
}

} // namespace

void ZuROVUrazev::on_actionUpload_triggered()
{
    KolmProjectWindow *page = ui->projectPage;
    if (!page->project()) {
        pageWarning(this, tr("Upload Script"), tr("No active project"));
        return;
    }
    const QPointer<ZuROVUrazev> self(this);
    if (page->modified()) {
        logInfo(tr("Project changed - save"));
        if (!page->saveChanges()) {
            if (self)
                logError(tr("Cannot save the project"));
            return;
        }
    }
    if (!page->compiled()) {
        const QMessageBox::StandardButton answer = pageMessageBox(
            this, QMessageBox::Question, tr("Upload Script"),
            tr("The project must be compiled before uploading. Compile now?"), QMessageBox::Yes | QMessageBox::No);
        if (!self || m_closed)
            return;
        if (answer == QMessageBox::Yes && !project_waitCompiled())
            return;
        if (!self || m_closed || !ui->projectPage->project())
            return;
    }
    // The build and the boxes ran event loops: the link may have gone.
    if (!messenger)
        return;

    const QByteArray image = ui->projectPage->outputBin();
    device.image = image;
    device.imageSize = static_cast<quint32>(image.size());
    if (image.isEmpty()) {
        logError(tr("Project compilation did not produce any output"));
        return;
    }
    if (image.size() > MaxImageBytes) {
        logError(tr("Cannot write the script - it is larger than %n bytes", nullptr, MaxImageBytes));
        return;
    }
    const bool runsScripts = device.capabilities & DeviceCapability::Scripts;
    if (runsScripts) {
        const qint64 needed = device.config.size() + writtenImageBytes(image.size());
        const qint64 room = qint64(device.configSize) + device.scriptSpace;
        if (needed > room) {
            pageMessageBox(this, QMessageBox::Critical, tr("Out of Memory"),
                           tr("Cannot write config and compiled script - out of memory "
                              "(overflowed by %n bytes)",
                              nullptr, int(needed - room)));
            return;
        }
    }

    ui->actionUpload->setEnabled(false);
    startProgressBar(tr("Writing Configuration"));
    QCoreApplication::processEvents();
    if (!self || m_closed)
        return;
    if (!messenger) {
        stopProgressBar();
        return;
    }

    postUpload = ui->actionAutoStart->isChecked() ? PU_Launch : PU_NOP;
    state = CS_WRITE_PREP;
    messenger->setPollTime(UploadPollMs);
    bool sent;
    if (device.state == DS_Config || !runsScripts) {
        logInfo(tr("Preparing script upload - request the current config"));
        sent = sendCfgPacket(CmdMcuInfo, InfoConfigVersion, QByteArray(), false);
    } else {
        logInfo(tr("Preparing script upload - halt the virtual machine"));
        sent = sendCfgPacket(CmdAsmCtrl, AsmHalt, QByteArray(), false);
    }
    if (!sent) {
        // Nothing went out: the upload can be tried again.
        postUpload = PU_NOP;
        state = CS_IDLE;
        stopProgressBar();
        ui->actionUpload->setEnabled(true);
        _write_error(tr("Communication error"));
    }
}
