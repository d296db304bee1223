#include "kolmprojectdefineseditor.h"
#include "ui_kolmprojectdefineseditor.h"

#include "kolmproject.h"
#include "page_dialogs.h"
#include "qmaterialfont.h"

#include <QKeyEvent>

#include <algorithm>
#include <memory>

KolmProjectDefinesEditor::KolmProjectDefinesEditor(QWidget* parent)
    : QWidget(parent),
      ui(new Ui::KolmProjectDefinesEditor)
{
    ui->setupUi(this);
    ui->listView->setModel(&m_model);
    QMaterialIcon::setIcon(QStringLiteral("add"), ui->addTool);
    QMaterialIcon::setIcon(QStringLiteral("remove"), ui->removeTool);
    QMaterialIcon::setIcon(QStringLiteral("delete_sweep"), ui->clearTool);
    QMaterialIcon::setIcon(QStringLiteral("assignment_return"), ui->importTool);
}

KolmProjectDefinesEditor::~KolmProjectDefinesEditor()
{
    // The view lets go of the model before the model goes.
    ui->listView->setModel(nullptr);
    delete ui;
}

void KolmProjectDefinesEditor::setDefines(const QStringList& list)
{
    m_model.setup(list);
}

QStringList KolmProjectDefinesEditor::getDefines() const
{
    return m_model.entries();
}

void KolmProjectDefinesEditor::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QWidget::keyPressEvent(event);
}

void KolmProjectDefinesEditor::on_addTool_clicked()
{
    const QModelIndex index = m_model.append(QStringLiteral("DEFINE"));
    ui->listView->setFocus(Qt::OtherFocusReason);
    ui->listView->setCurrentIndex(index);
    ui->listView->edit(index);
}

void KolmProjectDefinesEditor::on_removeTool_clicked()
{
    QList<int> rows;
    for (const QModelIndex& index : ui->listView->selectionModel()->selectedIndexes())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    // From the highest row down, so removals do not shift the rows to come.
    for (auto row = rows.crbegin(); row != rows.crend(); ++row)
        m_model.removeRows(*row, 1, QModelIndex());
}

void KolmProjectDefinesEditor::on_clearTool_clicked()
{
    m_model.setup(QStringList());
}

void KolmProjectDefinesEditor::on_importTool_clicked()
{
    const QString file =
        pageOpenFileName(this, tr("Select Project"), projectsDirectory(), KolmProject::projectSelector());
    if (file.isEmpty())
        return;
    const auto project = std::make_unique<KolmProject>();
    if (!project->load(file)) {
        pageWarning(this, tr("Import Defines"), tr("Project could not be loaded"));
        return;
    }
    for (const QString& define : project->definesList())
        if (!define.isEmpty())
            m_model.append(define);
}
