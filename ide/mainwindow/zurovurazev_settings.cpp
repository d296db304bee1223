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

#include <type_traits>

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
        + item.arg(ZuROVUrazev::tr("MCU Family"), safeArg(RFPLCCONFIG_HEADER_MCUID(), CfgBlockIO::headerMcuId(header)))
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
        refuseConfig(tr("Cannot setup the current device - device config is missing/unknown"));
        return;
    }
    const quint16 header = CfgBlockIO::readU16(raw, 0);
    const int version = header_id_get(header);
    // Parses the block and puts up its editor filled with it; a block too
    // short for its version is reported as corrupted.
    auto takeOver = [&](auto &block, auto *editorType) {
        using Editor = std::remove_pointer_t<decltype(editorType)>;
        if (!block.parse(raw)) {
            warnCorruptedConfig();
            return false;
        }
        device.configInfo = configNames(header);
        freeConfigWidget();
        auto *editor = new Editor(this);
        pushConfigWidget(editor);
        connect(editor, &Editor::info, this, &ZuROVUrazev::displayCfgInfo);
        editor->parseConfig(block);
        return true;
    };
    if (version == CFG_V1::ZUC_RFPLCCONFIG_ID) {
        CFG_V1::ZUC_RFPLCCONFIG block;
        if (!takeOver(block, static_cast<ZUPLCConfigV1Widget *>(nullptr)))
            return;
        device.state = DS_Config;
        setupControls();
        pagesel_clicked(T_Config);
        ui->actionUpload->setEnabled(true);
        return;
    }
    if (version == CFG_V2::ZUC_RFPLCCONFIG_ID) {
        CFG_V2::ZUC_RFPLCCONFIG block;
        if (!takeOver(block, static_cast<ZUPLCConfigV2Widget *>(nullptr)))
            return;
        device.state = DS_Messaging;
        setupControls();
        pagesel_clicked(T_Script);
        return;
    }
    refuseConfig(tr("Cannot setup the current device - device config version %1 "
                    "is unknown")
                     .arg(version));
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
    refuseConfig(tr("Cannot setup the current device - device config is corrupted\n"
                    "Select Tools->Reset to clear the damaged config and reboot the device"));
}

void ZuROVUrazev::refuseConfig(const QString &text)
{
    const QPointer<ZuROVUrazev> self(this);
    pageWarning(this, tr("Device Configuration"), text);
    if (!self)
        return;
    device.state = DS_Invalid;
    setupControls();
}
