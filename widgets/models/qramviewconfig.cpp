#include "qramviewconfig.h"

#include "ui_qramviewconfig.h"

#include <QButtonGroup>

QRamViewConfig::QRamViewConfig(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::QRamViewConfig)
    , m_group(new QButtonGroup(this))
{
    ui->setupUi(this);
    m_group->addButton(ui->binTool, QRamTableModel::Bin);
    m_group->addButton(ui->octTool, QRamTableModel::Oct);
    m_group->addButton(ui->decTool, QRamTableModel::Dec);
    m_group->addButton(ui->hexTool, QRamTableModel::Hex);
    m_group->addButton(ui->asciiTool, QRamTableModel::ASCII);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id >= 0)
            emit selected(QRamTableModel::Type(id));
    });
}

QRamViewConfig::~QRamViewConfig()
{
    delete ui;
}

QRamTableModel::Type QRamViewConfig::currentType() const
{
    if (ui->binTool->isChecked())
        return QRamTableModel::Bin;
    if (ui->octTool->isChecked())
        return QRamTableModel::Oct;
    if (ui->hexTool->isChecked())
        return QRamTableModel::Hex;
    if (ui->asciiTool->isChecked())
        return QRamTableModel::ASCII;
    return QRamTableModel::Dec;
}

void QRamViewConfig::select(QRamTableModel::Type type)
{
    if (QAbstractButton *button = m_group->button(type))
        button->setChecked(true);
}
