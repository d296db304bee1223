#include "kolmprojecteditor.h"
#include "ui_kolmprojecteditor.h"

#include "kolmproject.h"
#include "page_dialogs.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QPointer>

namespace {

const QLatin1String kDebugFlag("debug");
const QLatin1String kBinarySuffix(".kcs");

} // namespace

KolmProjectEditor::KolmProjectEditor(QWidget* parent)
    : QDialog(parent),
      ui(new Ui::KolmProjectEditor)
{
    ui->setupUi(this);
    ui->outputEdit->installEventFilter(this);
    ui->bspEdit->addItems(KolmProject::builtinBSP());
}

KolmProjectEditor::~KolmProjectEditor()
{
    delete ui;
}

void KolmProjectEditor::readSettings(KolmProject* project)
{
    if (!project)
        return;
    setWindowTitle(tr("Configure %1").arg(project->name()));
    ui->nameEdit->setText(project->name());
    ui->outputEdit->setText(project->output());
    ui->bspEdit->setEditText(project->bsp());
    ui->definesEditor->setDefines(project->definesList());
    ui->optimizeCheck->setChecked(project->optimize());
    ui->debugCheck->setChecked(project->flagSet(kDebugFlag));
    m_project = project;
}

void KolmProjectEditor::writeSettings()
{
    if (!m_project)
        return;
    // An emptied field keeps the project's value.
    const QString name = ui->nameEdit->text();
    if (!name.isEmpty() && name != m_project->name())
        m_project->setName(name);
    const QString output = ui->outputEdit->text();
    if (!output.isEmpty() && output != m_project->output())
        m_project->setOutput(output);
    const QString bsp = ui->bspEdit->currentText();
    if (!bsp.isEmpty() && bsp != m_project->bsp())
        m_project->setBSP(bsp);
    m_project->setDefines(ui->definesEditor->getDefines());
    m_project->setOptimize(ui->optimizeCheck->isChecked());
    m_project->setFlag(kDebugFlag, ui->debugCheck->isChecked());
}

void KolmProjectEditor::accept()
{
    const QString output = ui->outputEdit->text();
    const QString refusal = m_project && !output.isEmpty() ? m_project->outputRefusal(output) : QString();
    if (refusal.isEmpty()) {
        QDialog::accept();
        return;
    }
    const QPointer<KolmProjectEditor> self(this);
    pageWarning(this, tr("Configuration"), refusal);
    if (self)
        ui->outputEdit->setFocus();
}

bool KolmProjectEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (m_project && watched == ui->outputEdit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_O && key->modifiers() == Qt::ControlModifier) {
            chooseOutput();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void KolmProjectEditor::chooseOutput()
{
    QString start = ui->outputEdit->text();
    if (start.isEmpty())
        start = QFileInfo(m_project->fileName()).absolutePath() + QLatin1Char('/')
                + QFileInfo(m_project->mainFile()).completeBaseName() + kBinarySuffix;
    QString file = pageSaveFileName(this, tr("Save As"), start, KolmProject::binaryFileSelector());
    // Empty also when the dialog went while the box was open.
    if (file.isEmpty())
        return;
    if (!file.endsWith(kBinarySuffix, Qt::CaseInsensitive))
        file += kBinarySuffix;
    ui->outputEdit->setText(file);
}
