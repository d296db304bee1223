#include "svgviewer.h"

#include "ui_svgviewer.h"

#include <QFileInfo>

SvgViewer::SvgViewer(QWidget* parent, Qt::WindowFlags f)
    : QWidget(parent, f)
    , ui(new Ui::SvgViewer)
{
    ui->setupUi(this);
}

SvgViewer::~SvgViewer()
{
    delete ui;
}

void SvgViewer::load(QString file)
{
    ui->widget->load(file);
    setWindowTitle(QFileInfo(file).fileName());
}
