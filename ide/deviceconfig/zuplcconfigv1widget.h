#pragma once
// Editor of a version-1 configuration block: address and radio settings.
// It keeps no copy of the block: parseConfig sets the widgets, getConfig
// writes them back into the caller's block.

#include "v1_cc1101_v1.h"

#include <QWidget>

namespace Ui {
class ZUPLCConfigV1Widget;
}

class ZUPLCConfigV1Widget : public QWidget
{
    Q_OBJECT
public:
    explicit ZUPLCConfigV1Widget(QWidget *parent = nullptr);
    ~ZUPLCConfigV1Widget() override;

    void parseConfig(const CFG_V1::ZUC_RFPLCCONFIG &config);
    // Writes Address, RFreq and RFlags bits 0-16; Header, ASMBin and the
    // other RFlags bits stay as the caller set them.
    void getConfig(CFG_V1::ZUC_RFPLCCONFIG &config) const;

signals:
    void info();

private:
    Ui::ZUPLCConfigV1Widget *ui;
};
