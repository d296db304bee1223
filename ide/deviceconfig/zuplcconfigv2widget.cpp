#include "zuplcconfigv2widget.h"

#include "qmaterialfont.h"
#include "ui_zuplcconfigv2widget.h"

ZUPLCConfigV2Widget::ZUPLCConfigV2Widget(QWidget *parent)
    : QWidget(parent), ui(new Ui::ZUPLCConfigV2Widget)
{
    ui->setupUi(this);
    QMaterialIcon::setIcon(QStringLiteral("info"), ui->infoTool);
    connect(ui->infoTool, &QToolButton::clicked, this, &ZUPLCConfigV2Widget::info);
}

ZUPLCConfigV2Widget::~ZUPLCConfigV2Widget()
{
    delete ui;
}

void ZUPLCConfigV2Widget::parseConfig(const CFG_V2::ZUC_RFPLCCONFIG &config)
{
    ui->cfg_addressEdit->setAddress(config.Address);
}

void ZUPLCConfigV2Widget::getConfig(CFG_V2::ZUC_RFPLCCONFIG &config) const
{
    config.Address = ui->cfg_addressEdit->address();
}
