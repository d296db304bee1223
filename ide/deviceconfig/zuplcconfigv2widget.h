#pragma once
// Editor of a version-2 configuration block: the address only.

#include "v2_io_v1.h"

#include <QWidget>

namespace Ui {
class ZUPLCConfigV2Widget;
}

class ZUPLCConfigV2Widget : public QWidget
{
    Q_OBJECT
public:
    explicit ZUPLCConfigV2Widget(QWidget *parent = nullptr);
    ~ZUPLCConfigV2Widget() override;

    void parseConfig(const CFG_V2::ZUC_RFPLCCONFIG &config);
    // Writes Address and nothing else.
    void getConfig(CFG_V2::ZUC_RFPLCCONFIG &config) const;

signals:
    void info();

private:
    Ui::ZUPLCConfigV2Widget *ui;
};
