#ifndef KOLM_QREGISTERVIEWCONFIG_H
#define KOLM_QREGISTERVIEWCONFIG_H

// The row of tool buttons that picks the display format of the register and
// stack views: octal, decimal or hexadecimal.

#include "qregistertablemodel.h"

#include <QWidget>

class QButtonGroup;
class QToolButton;

class QRegisterViewConfig : public QWidget {
    Q_OBJECT

public:
    explicit QRegisterViewConfig(QWidget *parent = nullptr);

    QRegisterTableModel::Type currentType() const;

public slots:
    // Checks the button of the format; emits nothing.
    void select(QRegisterTableModel::Type type);

signals:
    // Only on a click of the user.
    void selected(QRegisterTableModel::Type type);

private:
    QToolButton *addTool(const char *name, const QString &text, const QString &toolTip, int id);

    QButtonGroup *m_group;
    QToolButton *m_octTool;
    QToolButton *m_decTool;
    QToolButton *m_hexTool;
};

#endif
