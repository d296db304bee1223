#include "chatadvancedform.h"

#include "ui_chatadvancedform.h"

ChatAdvancedForm::ChatAdvancedForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ChatAdvancedForm)
{
    ui->setupUi(this);
}

ChatAdvancedForm::~ChatAdvancedForm()
{
    delete ui;
}

int ChatAdvancedForm::sourcePort() const
{
    return ui->msgSrcPort->value();
}

int ChatAdvancedForm::destinationPort() const
{
    return ui->msgDestPort->value();
}

bool ChatAdvancedForm::messageIsHex() const
{
    return ui->msgHexCheck->isChecked();
}
