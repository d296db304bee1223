#include "qdiredit.h"

#include "inputpalette.h"
#include "qmaterialfont.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

QDirEdit::QDirEdit(QWidget *parent)
    : QWidget(parent)
    , m_errorPalette(errorPalette(QPalette::Base))
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("QDirEdit"));
    resize(357, 25);
    setWindowTitle(tr("Form"));
    horizontalLayout = new QHBoxLayout(this);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setSpacing(0);
    horizontalLayout->setContentsMargins(0, 0, 0, 0);
    edit = new QLineEdit(this);
    edit->setObjectName(QStringLiteral("edit"));
    horizontalLayout->addWidget(edit);
    selector = new QToolButton(this);
    selector->setObjectName(QStringLiteral("selector"));
    selector->setText(QStringLiteral("..."));
    horizontalLayout->addWidget(selector);
    QMetaObject::connectSlotsByName(this);
    QMaterialIcon::setIcon(QStringLiteral("folder"), selector);
    // The empty start text names no directory.
    edit->setPalette(m_errorPalette);
}

QString QDirEdit::text() const
{
    return edit->text();
}

void QDirEdit::setText(const QString &text)
{
    edit->setText(text);
}

bool QDirEdit::namesDirectory(const QString &path)
{
    return !path.isEmpty() && QDir(path).exists();
}

bool QDirEdit::isValid() const
{
    return namesDirectory(text());
}

void QDirEdit::on_edit_textChanged(const QString &text)
{
    edit->setPalette(namesDirectory(text) ? QGuiApplication::palette() : m_errorPalette);
    emit textChanged(text);
}

void QDirEdit::on_selector_clicked()
{
    const QString directory = QFileDialog::getExistingDirectory(QApplication::activeModalWidget(),
                                                                tr("Select directory"), text(),
                                                                QFileDialog::ShowDirsOnly);
    if (!directory.isEmpty())
        setText(directory);
}
