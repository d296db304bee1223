// Taking over the configuration block read from the device: its names on
// the Device page, the editor of its version, DevState and the controls;
// and the two warnings about an unusable block.

#include "zurovurazev.h"

#include "cfg_block_io.h"
#include "page_dialogs.h"
#include "ui_zurovurazev.h"
#include "v1_cc1101_v1.h"
#include "v2_io_v1.h"
#include "zucstrings.h"
#include "zuhal_messenger.h"
#include "zuplcconfigv1widget.h"
#include "zuplcconfigv2widget.h"

#include <QPointer>

namespace {

// The shortest block a device can report.
constexpr int MinConfigBytes = 4;

// The list of the block's MCU family, radio chip and script language, each
// named from the tables of its block version.
QString configNames(quint16 header)
{
    using namespace CFG_V1::ZUCStrings;
    const QString item = QStringLiteral("<li>%1: %2</li>");
    return QStringLiteral("<ul>")
        + item.arg(ZuROVUrazev::tr("MCU Family"),
                   safeArg(RFPLCCONFIG_HEADER_MCUID(), CfgBlockIO::headerMcuId(header)))
        + item.arg(ZuROVUrazev::tr("Radio chip"),
                   safeArg(RFPLCCONFIG_HEADER_TRANSPORT(), CfgBlockIO::headerTransport(header)))
        + item.arg(ZuROVUrazev::tr("Supported Language"),
                   safeArg(RFPLCCONFIG_HEADER_LANG(), CfgBlockIO::headerLang(header)))
        + QStringLiteral("</ul>");
}

} // namespace

void ZuROVUrazev::settingsRead()
{
    restorePollTime();
    stopProgressBar();
    const QByteArray &raw = device.config;
    if (raw.size() < MinConfigBytes) {
        const QPointer<ZuROVUrazev> self(this);
        pageWarning(this, tr("Device Configuration"),
                             tr("Cannot setup the current device - device config is missing/unknown"));
        if (!self)
            return;
        device.state = DS_Invalid;
        setupControls();
        return;
    }
    const quint16 header = CfgBlockIO::readU16(raw, 0);
    const int version = header_id_get(header);
    if (version == CFG_V1::ZUC_RFPLCCONFIG_ID) {
        CFG_V1::ZUC_RFPLCCONFIG block;
        if (!block.parse(raw)) {
            warnCorruptedConfig();
            return;
        }
        device.configInfo = configNames(header);
        freeConfigWidget();
        auto *editor = new ZUPLCConfigV1Widget(this);
        pushConfigWidget(editor);
        connect(editor, &ZUPLCConfigV1Widget::info, this, &ZuROVUrazev::displayCfgInfo);
        editor->parseConfig(block);
        device.state = DS_Config;
        setupControls();
        pagesel_clicked(T_Config);
        ui->actionUpload->setEnabled(true);
        return;
    }
    if (version == CFG_V2::ZUC_RFPLCCONFIG_ID) {
        CFG_V2::ZUC_RFPLCCONFIG block;
        if (!block.parse(raw)) {
            warnCorruptedConfig();
            return;
        }
        device.configInfo = configNames(header);
        freeConfigWidget();
        auto *editor = new ZUPLCConfigV2Widget(this);
        pushConfigWidget(editor);
        connect(editor, &ZUPLCConfigV2Widget::info, this, &ZuROVUrazev::displayCfgInfo);
        editor->parseConfig(block);
        device.state = DS_Messaging;
        setupControls();
        pagesel_clicked(T_Script);
        return;
    }
    const QPointer<ZuROVUrazev> self(this);
    pageWarning(this, tr("Device Configuration"),
                         tr("Cannot setup the current device - device config version %1 is unknown").arg(version));
    if (!self)
        return;
    device.state = DS_Invalid;
    setupControls();
}

void ZuROVUrazev::warnConfigFailure()
{
    const QPointer<ZuROVUrazev> self(this);
    pageWarning(this, tr("Device Configuration"), tr("Cannot configure this device - device reports invalid id"));
    if (!self)
        return;
    pagesel_clicked(T_Script);
    ui->menuView->setEnabled(false);
}

void ZuROVUrazev::warnCorruptedConfig()
{
    const QPointer<ZuROVUrazev> self(this);
    pageWarning(this, tr("Device Configuration"),
                         tr("Cannot setup the current device - device config is corrupted\n"
                            "Select Tools->Reset to clear the damaged config and reboot the device"));
    if (!self)
        return;
    device.state = DS_Invalid;
    setupControls();
}
