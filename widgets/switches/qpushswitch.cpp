#include "qpushswitch.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>

namespace {

enum { LeftId = 0, RightId = 1, MiddleId = 2 };

const char leftStyle[] =
    "QPushButton{background-color: #858585; border-color: white; border-style: solid;border-top-width: 1px; "
    "border-right-width: 0px; border-bottom-width: 1px; border-left-width: 1px;color: #DDDDDD;"
    "border-top-left-radius: 2px; border-top-right-radius: 0px;border-bottom-right-radius: 0px; "
    "border-bottom-left-radius: 2px;padding:4px}QPushButton:checked{background-color: #A9D15F; color: black;}"
    "QPushButton:pressed{color: black; background-color:qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:0 #A9D15F, "
    "stop:1 #858585);}";
const char midStyle[] =
    "QPushButton{background-color: #858585; border-color: white; border-style: solid;border-top-width: 1px; "
    "border-right-width: 0px; border-bottom-width: 1px; border-left-width: 0px;border-radius: 0px; padding:4px}"
    "QPushButton:checked{background-color: #A9D15F; color: black;}QPushButton:pressed{color: black; "
    "background-color:qlineargradient(x1:0, y1:0, x2:1, y2:0,stop:0 #858585, stop:0.5 #A9D15F, stop: 1 #858585);}";
const char rightStyle[] =
    "QPushButton{background-color: #858585; border-color: white; border-style: solid;border-top-width: 1px; "
    "border-right-width: 1px; border-bottom-width: 1px; border-left-width: 0px;border-top-left-radius: 0px; "
    "border-top-right-radius: 2px;border-bottom-right-radius: 2px; border-bottom-left-radius: 0px;padding:4px}"
    "QPushButton:checked{background-color: #A9D15F; color: black;}QPushButton:pressed{color: black; "
    "background-color:qlineargradient(x1:0, y1:0, x2:1, y2:0, stop:1 #A9D15F, stop:0 #858585);}";

} // namespace

QPushSwitch::QPushSwitch(QWidget *parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("QPushSwitch"));
    setStyleSheet(QStringLiteral(".QWidget{background-color: transparent; border: 0px;}"));
    horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(1, 1, 1, 1);
    leftButton = addButton("leftButton", QLatin1String(leftStyle), LeftId);
    midButton = addButton("midButton", QLatin1String(midStyle), MiddleId);
    rightButton = addButton("rightButton", QLatin1String(rightStyle), RightId);
    leftButton->setChecked(true);

    connect(m_group, QOverload<QAbstractButton *, bool>::of(&QButtonGroup::buttonToggled), this,
            &QPushSwitch::intStateChange);
    connect(m_group, &QButtonGroup::idClicked, this, &QPushSwitch::stateChanged);
    defaultSetup();
}

QPushButton *QPushSwitch::addButton(const char *name, const QString &styleSheet, int id)
{
    auto *button = new QPushButton(QStringLiteral("PushButton"), this);
    button->setObjectName(QLatin1String(name));
    button->setCheckable(true);
    button->setStyleSheet(styleSheet);
    horizontalLayout->addWidget(button);
    m_group->addButton(button, id);
    return button;
}

int QPushSwitch::labelWidth(const QString &label) const
{
    return fontMetrics().size(Qt::TextSingleLine, label).width();
}

void QPushSwitch::setLabels(const QStringList &labels)
{
    if (labels.size() == 2) {
        m_mode = TwoPositions;
        midButton->hide();
        if (midButton->isChecked())
            leftButton->setChecked(true);
        leftButton->setText(labels.at(0));
        rightButton->setText(labels.at(1));
        const int width = std::max(labelWidth(labels.at(0)), labelWidth(labels.at(1)));
        leftButton->setMinimumWidth(width);
        rightButton->setMinimumWidth(width);
    } else if (labels.size() == 3) {
        m_mode = ThreePositions;
        midButton->show();
        leftButton->setText(labels.at(0));
        midButton->setText(labels.at(1));
        rightButton->setText(labels.at(2));
        const int width = std::max(labelWidth(labels.at(0)), labelWidth(labels.at(2)));
        leftButton->setMinimumWidth(width);
        rightButton->setMinimumWidth(width);
        midButton->setMinimumWidth(labelWidth(labels.at(1)));
    } else {
        return;
    }
    adjustSize();
}

int QPushSwitch::mode() const
{
    return m_mode;
}

int QPushSwitch::state() const
{
    return m_group->checkedId();
}

bool QPushSwitch::isChecked() const
{
    return rightButton->isChecked();
}

void QPushSwitch::defaultSetup()
{
    setLabels({tr("Off"), tr("On")});
}

void QPushSwitch::setState(int state)
{
    if (state == LeftId)
        leftButton->setChecked(true);
    else if (state == RightId)
        rightButton->setChecked(true);
    else if (state == MiddleId && m_mode == ThreePositions)
        midButton->setChecked(true);
}

void QPushSwitch::setChecked(bool on)
{
    setState(on ? RightId : LeftId);
}

void QPushSwitch::intStateChange()
{
    emit stateToggled(state());
    if (m_mode == TwoPositions)
        emit toggled(state() == RightId);
}
