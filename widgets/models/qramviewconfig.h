#ifndef KOLM_QRAMVIEWCONFIG_H
#define KOLM_QRAMVIEWCONFIG_H

// The row of tool buttons above the RAM view that picks the display format
// of its cells: binary, octal, decimal, hexadecimal or ASCII.

#include "qramtablemodel.h"

#include <QWidget>

class QButtonGroup;
namespace Ui {
class QRamViewConfig;
}

class QRamViewConfig : public QWidget {
    Q_OBJECT

public:
    explicit QRamViewConfig(QWidget *parent = nullptr);
    ~QRamViewConfig() override;

    QRamTableModel::Type currentType() const;

public slots:
    // Checks the button of the format; emits nothing.
    void select(QRamTableModel::Type type);

signals:
    // Only on a click of the user.
    void selected(QRamTableModel::Type type);

private:
    Ui::QRamViewConfig *ui;
    QButtonGroup *m_group;
};

#endif
