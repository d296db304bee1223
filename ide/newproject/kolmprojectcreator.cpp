#include "kolmprojectcreator.h"
#include "ui_kolmprojectcreator.h"

#include "inputpalette.h"
#include "kolmproject.h"
#include "page_dialogs.h"
#include "qmaterialfont.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPushButton>
#include <QRegExp>

namespace {

// Item data of the two board entries that are no package name.
constexpr int kBoardNone = 1;
constexpr int kBoardCustom = 2;

const QLatin1String kScriptSuffix(".kos");

// The name rule of the project and of a new script: letters, digits, blanks,
// underscores, minus signs, dots and parentheses, at least one of them. A
// name of blanks only names nothing visible, and "." and ".." name the
// folder itself and its parent, where the project would not lie.
bool verifyFileName(const QString& text)
{
    QRegExp rule(QStringLiteral("([A-Z0-9\\_\\-\\.\\s\\(\\)])+"), Qt::CaseInsensitive);
    const QString trimmed = text.trimmed();
    return rule.exactMatch(text) && !trimmed.isEmpty() && trimmed != QLatin1String(".")
           && trimmed != QLatin1String("..");
}

QString joinPath(const QString& directory, const QString& name)
{
    return directory + QLatin1Char('/') + name;
}

} // namespace

KolmProjectCreator::KolmProjectCreator(QWidget* parent)
    : QDialog(parent),
      ui(new Ui::KolmProjectCreator)
{
    ui->setupUi(this);
    ui->boardCombo->setInsertPolicy(QComboBox::InsertAtBottom);
    m_okButton = ui->buttonBox->button(QDialogButtonBox::Ok);
    m_okButton->setEnabled(false);
    m_errorPalette = errorPalette(QPalette::Base);

    QPalette labelPalette = ui->errorTextLabel->palette();
    labelPalette.setColor(QPalette::All, QPalette::WindowText, QMaterialIcon::instance()->color(QMaterialIcon::Error));
    ui->errorTextLabel->setPalette(labelPalette);

    QMaterialIcon::setIcon(QStringLiteral("folder_open"), ui->mainSelectTool);
    QMaterialIcon::setIcon(QStringLiteral("folder_open"), ui->bspSelectTool);
    ui->dirEdit->setPalette(m_errorPalette);
    ui->mainNewEdit->setPalette(m_errorPalette);

    ui->boardCombo->addItems(KolmProject::builtinBSP());
    ui->boardCombo->addItem(tr("None"), kBoardNone);
    ui->boardCombo->addItem(tr("Custom"), kBoardCustom);
    ui->selfSubDirCheck->setChecked(true);

    connect(ui->nameEdit, &QLineEdit::textChanged, this, &KolmProjectCreator::update);
    connect(ui->dirEdit, &QDirEdit::textChanged, this, &KolmProjectCreator::update);
    connect(ui->selfSubDirCheck, &QCheckBox::clicked, this, &KolmProjectCreator::update);
    connect(ui->mainNewEdit, &QLineEdit::textChanged, this, &KolmProjectCreator::update);
    connect(ui->mainExistEdit, &QLineEdit::textChanged, this, &KolmProjectCreator::update);
    connect(ui->scriptSourceSelector, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &KolmProjectCreator::update);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &KolmProjectCreator::accept_processor);

    ui->dirEdit->setText(projectsDirectory());
}

KolmProjectCreator::~KolmProjectCreator()
{
    delete ui;
}

bool KolmProjectCreator::fail(const QString& message, QWidget* field)
{
    ui->errorTextLabel->setText(message);
    field->setPalette(m_errorPalette);
    return false;
}

void KolmProjectCreator::pass(QWidget* field)
{
    field->setPalette(QGuiApplication::palette());
}

bool KolmProjectCreator::verify()
{
    m_okButton->setEnabled(false);
    ui->errorTextLabel->show();

    if (!verifyFileName(ui->nameEdit->text()))
        return fail(tr("project name is invalid"), ui->nameEdit);
    pass(ui->nameEdit);

    const QString directory = ui->dirEdit->text();
    if (directory.isEmpty() || !QDir(directory).exists())
        return fail(tr("project directory does not exist"), ui->dirEdit);
    pass(ui->dirEdit);

    if (QFileInfo::exists(projectFile()))
        return fail(tr("the script file already exists"), ui->nameEdit);

    if (ui->scriptSourceSelector->currentIndex() == 0) {
        pass(ui->mainExistEdit);
        if (!verifyFileName(ui->mainNewEdit->text()))
            return fail(tr("the script file name is invalid"), ui->mainNewEdit);
        // Accept processing never overwrites a script of the user's.
        if (QFileInfo::exists(joinPath(projectDir(), newScriptName())))
            return fail(tr("the main script file already exists"), ui->mainNewEdit);
        pass(ui->mainNewEdit);
    } else {
        pass(ui->mainNewEdit);
        const QString existing = ui->mainExistEdit->text();
        if (existing.isEmpty())
            return fail(tr("please select an existing KOLM script"), ui->mainExistEdit);
        const QString path = QFileInfo(existing).isAbsolute() ? existing : QDir(directory).absoluteFilePath(existing);
        if (!QFileInfo::exists(path))
            return fail(tr("the script file does not exist"), ui->mainExistEdit);
        if (QFileInfo(existing).suffix() != QLatin1String("kos"))
            return fail(tr("the script file is not a KOLM script"), ui->mainExistEdit);
        pass(ui->mainExistEdit);
    }

    ui->errorTextLabel->hide();
    m_okButton->setEnabled(true);
    return true;
}

void KolmProjectCreator::update()
{
    m_okButton->setEnabled(verify());
}

QString KolmProjectCreator::newScriptName() const
{
    const QString name = ui->mainNewEdit->text();
    return name.endsWith(kScriptSuffix) ? name : name + kScriptSuffix;
}

QString KolmProjectCreator::projectName() const
{
    return ui->nameEdit->text();
}

QString KolmProjectCreator::projectDir() const
{
    QString path = ui->dirEdit->text();
    if (ui->selfSubDirCheck->isChecked())
        path = joinPath(path, projectName());
    return QFileInfo(path).absoluteFilePath();
}

QString KolmProjectCreator::projectFile() const
{
    return joinPath(projectDir(), projectName() + QStringLiteral(".kcpro"));
}

QString KolmProjectCreator::mainFile() const
{
    if (ui->scriptSourceSelector->currentIndex() == 0) {
        const QString name = ui->mainNewEdit->text();
        return joinPath(projectDir(), name.endsWith(kScriptSuffix, Qt::CaseInsensitive) ? name : name + kScriptSuffix);
    }
    const QString existing = ui->mainExistEdit->text();
    if (QFileInfo(existing).isAbsolute())
        return QFileInfo(existing).absoluteFilePath();
    return joinPath(ui->dirEdit->text(), existing);
}

QString KolmProjectCreator::projectAuthor() const
{
    return ui->authorEdit->text();
}

QString KolmProjectCreator::bsp() const
{
    if (ui->boardCombo->currentData().toInt() == kBoardNone)
        return QString();
    return ui->boardCombo->currentText();
}

void KolmProjectCreator::accept_processor()
{
    const QString directory = projectDir();
    if (ui->selfSubDirCheck->isChecked() && !QFileInfo::exists(directory) && !QDir().mkpath(directory)) {
        pageWarning(this, tr("Create Project"), tr("Cannot create directory %1").arg(directory));
        return;
    }

    if (ui->scriptSourceSelector->currentIndex() == 0) {
        const QString name = newScriptName();
        ui->mainNewEdit->setText(name);
        const QString path = joinPath(directory, name);
        // NewOnly: a file that appeared after the last check is the user's
        // and stays as it is.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            pageWarning(this, tr("Create Project"), tr("Cannot write to %1: %2").arg(path, file.errorString()));
            return;
        }
        const QString text = QStringLiteral("/*\n * KolM Script %1\n * Project: %2\n * Created %3\n */\n\n")
                                 .arg(QFileInfo(path).fileName(), projectName(),
                                      QDateTime::currentDateTime().toString(QStringLiteral("yyyy.MM.dd hh:mm:ss")))
                             + QStringLiteral("var main() {\n    return 0;\n}\n");
        const QByteArray bytes = text.toUtf8();
        if (file.write(bytes) != bytes.size() || !file.flush()) {
            const QString reason = file.errorString();
            file.remove();
            pageWarning(this, tr("Create Project"), tr("Cannot write to %1: %2").arg(path, reason));
            return;
        }
        file.close();
    }
    QDialog::accept();
}

void KolmProjectCreator::on_mainSelectTool_clicked()
{
    const QString file = pageOpenFileName(this, tr("Select Existing Script"), ui->dirEdit->text(),
                                          KolmProject::scriptFileSelector());
    if (!file.isEmpty())
        ui->mainExistEdit->setText(file);
}

void KolmProjectCreator::on_bspSelectTool_clicked()
{
    const QString file = pageOpenFileName(this, tr("Select BSP"), ui->dirEdit->text(),
                                          tr("Board Support Package") + QStringLiteral("(*.kbsp)"));
    if (file.isEmpty())
        return;
    ui->boardCombo->setCurrentIndex(ui->boardCombo->findData(kBoardCustom, Qt::UserRole, Qt::MatchExactly));
    ui->boardCombo->setEditText(file);
}
