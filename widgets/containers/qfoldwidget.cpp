#include "qfoldwidget.h"

#include "qmaterialfont.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QFrame *plainFrame(QWidget *parent, const char *name)
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QLatin1String(name));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setFrameShadow(QFrame::Plain);
    return frame;
}

} // namespace

QFoldWidget::QFoldWidget(QWidget *parent)
    : QWidget(parent)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QFoldWidget"));
    resize(400, 300);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setWindowTitle(tr("Form"));

    verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(0);
    verticalLayout->setContentsMargins(3, 3, 3, 3);

    titleBar = plainFrame(this, "titleBar");
    horizontalLayout = new QHBoxLayout(titleBar);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(2);
    horizontalLayout->setContentsMargins(1, 3, 1, 0);
    foldTool = new QToolButton(titleBar);
    foldTool->setObjectName(QStringLiteral("foldTool"));
    foldTool->setText(QStringLiteral("..."));
    foldTool->setStyleSheet(QStringLiteral("QToolButton{border:none;background-color:transparent;}"));
    horizontalLayout->addWidget(foldTool);
    foldCheck = new QCheckBox(titleBar);
    foldCheck->setObjectName(QStringLiteral("foldCheck"));
    horizontalLayout->addWidget(foldCheck);
    titleLabel = new QLabel(titleBar);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    titleLabel->setText(tr("Title"));
    titleLabel->setStyleSheet(QStringLiteral("QLabel{color:black;background-color:transparent;}"));
    horizontalLayout->addWidget(titleLabel);
    verticalLayout->addWidget(titleBar);

    widgetContainer = plainFrame(this, "widgetContainer");
    new QVBoxLayout(widgetContainer);
    verticalLayout->addWidget(widgetContainer);

    QMetaObject::connectSlotsByName(this);
    QMaterialIcon::setIcon(QStringLiteral("expand_less"), foldTool);
    setCheckable(false);
}

void QFoldWidget::setCheckable(bool checkable)
{
    foldTool->setVisible(!checkable);
    titleLabel->setVisible(!checkable);
    foldCheck->setVisible(checkable);
    foldCheck->setChecked(!widgetContainer->isHidden());
}

bool QFoldWidget::isChecked() const
{
    return foldCheck->isChecked();
}

void QFoldWidget::setTitle(const QString &title)
{
    titleLabel->setText(title);
    foldCheck->setText(title);
}

QString QFoldWidget::title() const
{
    return titleLabel->text();
}

void QFoldWidget::addCentralWidget(QWidget *w)
{
    widgetContainer->layout()->addWidget(w);
}

void QFoldWidget::fold()
{
    if (!widgetContainer->isHidden())
        on_foldTool_clicked();
}

void QFoldWidget::unfold()
{
    if (widgetContainer->isHidden())
        on_foldTool_clicked();
}

void QFoldWidget::on_foldTool_clicked()
{
    const bool hidden = widgetContainer->isHidden();
    foldCheck->setChecked(hidden);
    on_foldCheck_clicked(hidden);
}

void QFoldWidget::on_foldCheck_clicked(bool on)
{
    widgetContainer->setVisible(on);
    foldCheck->setChecked(on);
    QMaterialIcon::setIcon(QLatin1String(on ? "expand_less" : "expand_more"), foldTool);
}
