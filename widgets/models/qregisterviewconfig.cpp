#include "qregisterviewconfig.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QToolButton>

QRegisterViewConfig::QRegisterViewConfig(QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("QRegisterViewConfig"));
    resize(95, 24);
    setWindowTitle(tr("Form"));
    auto *layout = new QHBoxLayout(this);
    layout->setObjectName(QStringLiteral("horizontalLayout"));
    layout->setSpacing(0);
    const QMargins margins = layout->contentsMargins();
    layout->setContentsMargins(margins.left(), 0, margins.right(), 0);

    m_octTool = addTool("octTool", tr("8"), tr("Octal"), QRegisterTableModel::Oct);
    m_decTool = addTool("decTool", tr("10"), tr("Decimal"), QRegisterTableModel::Dec);
    m_hexTool = addTool("hexTool", tr("16"), tr("Hexadecimal"), QRegisterTableModel::Hex);
    m_decTool->setChecked(true);

    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        if (id >= 0)
            emit selected(QRegisterTableModel::Type(id));
    });
}

QToolButton *QRegisterViewConfig::addTool(const char *name, const QString &text, const QString &toolTip, int id)
{
    auto *tool = new QToolButton(this);
    tool->setObjectName(QLatin1String(name));
    tool->setText(text);
    tool->setToolTip(toolTip);
    tool->setCheckable(true);
    layout()->addWidget(tool);
    m_group->addButton(tool, id);
    return tool;
}

QRegisterTableModel::Type QRegisterViewConfig::currentType() const
{
    if (m_octTool->isChecked())
        return QRegisterTableModel::Oct;
    if (m_hexTool->isChecked())
        return QRegisterTableModel::Hex;
    return QRegisterTableModel::Dec;
}

void QRegisterViewConfig::select(QRegisterTableModel::Type type)
{
    if (QAbstractButton *button = m_group->button(type))
        button->setChecked(true);
}
