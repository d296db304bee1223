#include "zuplcconfigv1widget.h"

#include "cfg_block_io.h"
#include "qmaterialfont.h"
#include "safecomboset.h"
#include "ui_zuplcconfigv1widget.h"
#include "zucstrings.h"

namespace {

// The SI4463 takes a raw power level instead of a named one.
constexpr int TransportSi4463 = 2;
constexpr int FallbackSpeed = 5;  // "100"
constexpr int FallbackPower = 4;  // "0dBm"

quint32 withBits(quint32 word, int shift, quint32 mask, quint32 value)
{
    return (word & ~(mask << shift)) | ((value & mask) << shift);
}

} // namespace

ZUPLCConfigV1Widget::ZUPLCConfigV1Widget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ZUPLCConfigV1Widget)
{
    ui->setupUi(this);
    QMaterialIcon::setIcon(QStringLiteral("info"), ui->infoTool);
    ui->cfg_radio_SpeedCombo->addItems(CFG_V1::ZUCStrings::RFPLCCONFIG_RFLAGS_SPEED());
    ui->cfg_radio_PowerCombo->addItems(CFG_V1::ZUCStrings::RFPLCCONFIG_RFLAGS_POWER());
    connect(ui->infoTool, &QToolButton::clicked, this, &ZUPLCConfigV1Widget::info);
}

ZUPLCConfigV1Widget::~ZUPLCConfigV1Widget()
{
    delete ui;
}

void ZUPLCConfigV1Widget::parseConfig(const CFG_V1::ZUC_RFPLCCONFIG &config)
{
    using namespace CFG_V1;
    ui->cfg_addressEdit->setAddress(config.Address);
    ui->cfg_radio_initCheck->setChecked(rflagsInit(config.RFlags));
    safeComboSet(ui->cfg_radio_SpeedCombo, rflagsSpeed(config.RFlags), FallbackSpeed);
    const bool rawPower = CfgBlockIO::headerTransport(config.Header) == TransportSi4463;
    ui->cfg_radio_PowerCombo->setHidden(rawPower);
    ui->cfg_radio_PowerSpin->setHidden(!rawPower);
    if (rawPower)
        ui->cfg_radio_PowerSpin->setValue(rflagsPower(config.RFlags));
    else
        safeComboSet(ui->cfg_radio_PowerCombo, rflagsPower(config.RFlags), FallbackPower);
    ui->cfg_radio_ChannelSpin->setValue(rflagsChannel(config.RFlags));
    ui->cfg_radio_FrequencySpin->setValue(int(qMin<quint32>(config.RFreq, 0xFFFFFF)));
    ui->cfg_radio_remoteCheck->setChecked(rflagsRemote(config.RFlags));
}

void ZUPLCConfigV1Widget::getConfig(CFG_V1::ZUC_RFPLCCONFIG &config) const
{
    config.Address = ui->cfg_addressEdit->address();
    quint32 flags = config.RFlags;
    flags = withBits(flags, 15, 1, ui->cfg_radio_initCheck->isChecked());
    flags = withBits(flags, 0, 7, quint32(ui->cfg_radio_SpeedCombo->currentIndex()));
    // Chosen by the block's transport, never by which widget is visible: the
    // editor may not be on screen at all.
    const bool rawPower = CfgBlockIO::headerTransport(config.Header) == TransportSi4463;
    const int power = rawPower ? ui->cfg_radio_PowerSpin->value()
                               : ui->cfg_radio_PowerCombo->currentIndex();
    flags = withBits(flags, 3, 15, quint32(power));
    flags = withBits(flags, 7, 255, quint32(ui->cfg_radio_ChannelSpin->value()));
    config.RFreq = quint32(ui->cfg_radio_FrequencySpin->value());
    flags = withBits(flags, 16, 1, ui->cfg_radio_remoteCheck->isChecked());
    config.RFlags = flags;
}
