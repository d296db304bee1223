// The project page itself: construction, editor settings, keys, opening and
// saving files, setting and closing a project, the modified and compiled
// marks and the project menu's launchers.

#include "kolmprojectwindow.h"

#include "fixedwidthfont.h"
#include "ui_kolmprojectwindow.h"

#include "kolm_board_package.h"
#include "kolmproject.h"
#include "kolmprojectbspview.h"
#include "kolmprojecteditor.h"
#include "kolmprojecthexview.h"
#include "page_dialogs.h"
#include "qkolmextendedcompleter.h"
#include "qkoshighlighter.h"
#include "qmaterialfont.h"
#include "qsyntaxstyle.h"
#include "qxmlhighlighter.h"
#include "svgviewer.h"
#include "themedetector.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QSettings>
#include <QUrl>

KolmProjectWindow::KolmProjectWindow(QWidget* parent)
    : QWidget(parent),
      ui(new Ui::KolmProjectWindow),
      m_schematicViewer(new SvgViewer(this, Qt::Window)),
      m_completer(new QKolmExtendedCompleter(this)),
      m_scriptHighlighter(new QKOSHighlighter(nullptr)),
      m_xmlHighlighter(new QXMLHighlighter(nullptr))
{
    ui->setupUi(this);
    ui->controlWidget->setEnabled(false);
    ui->codeSaveTool->setEnabled(false);
    ui->codeFindEdit->setAction(QToolLineEdit::NoAction);
    ui->codeReplaceEdit->setAction(QToolLineEdit::NoAction);

    QMaterialIcon::setIcon(QStringLiteral("save"), ui->codeSaveTool);
    QMaterialIcon::setIcon(QStringLiteral("create"), ui->codeNewTool);
    QMaterialIcon::setIcon(QStringLiteral("add_circle"), ui->codeAddTool);
    QMaterialIcon::setIcon(QStringLiteral("remove_circle"), ui->codeRemoveTool);
    QMaterialIcon::setIcon(QStringLiteral("more_vert"), ui->projectButton);
    QMaterialIcon::setIcon(QStringLiteral("developer_board"), ui->projectBspButton);

    auto* menu = new QMenu(ui->projectButton);
    menu->addAction(tr("Schematic"), this, &KolmProjectWindow::showProjectSchematic, QKeySequence());
    menu->addAction(tr("Hexview"), this, &KolmProjectWindow::showProjectHexview, QKeySequence());
    menu->addAction(tr("Reveal"), this, &KolmProjectWindow::showProjectLocation, QKeySequence());
    menu->addAction(tr("Configure"), this, &KolmProjectWindow::showProjectOptions, QKeySequence());
    ui->projectButton->setMenu(menu);
    ui->projectButton->hide();

    ui->codeEditor->setHighlighter(m_scriptHighlighter);
    m_completer->parse(nullptr);
    ui->codeEditor->setReadOnly(true);
    ui->codeEditor->setCompleter(m_completer);
    ui->codeEditor->installEventFilter(this);
    ui->codeFindReplaceWidget->installEventFilter(this);
    ui->codeFindReplaceWidget->hide();
    connect(ui->codeFindEdit, &QLineEdit::returnPressed, this, &KolmProjectWindow::on_codeFindNextButton_clicked);
    connect(ui->codeReplaceEdit, &QLineEdit::returnPressed, this, &KolmProjectWindow::on_codeReplaceButton_clicked);

    connect(ui->codeEditor, &QTextEdit::copyAvailable, this, &KolmProjectWindow::copyAvailable);
    connect(ui->codeEditor->document(), &QTextDocument::modificationChanged, this,
            &KolmProjectWindow::code_modificationChanged);
}

KolmProjectWindow::~KolmProjectWindow()
{
    ui->codeEditor->removeEventFilter(this);
    ui->codeFindReplaceWidget->removeEventFilter(this);
    ui->codeEditor->document()->disconnect(this);
    ui->codeEditor->disconnect(this);
    disconnect();
    delete m_project;
    ui->codeEditor->setCompleter(nullptr);
    delete m_completer;
    ui->codeEditor->setHighlighter(nullptr);
    delete m_scriptHighlighter;
    delete m_xmlHighlighter;
    delete m_boardPackage;
    delete ui;
}

void KolmProjectWindow::readSettings()
{
    const QSettings settings;
    const int theme = settings.value(QStringLiteral("Editor/Theme"), 0).toInt();
    const bool dark = theme == 2 || (theme != 1 && ThemeDetector::isDarkThemeEnabled());
    ui->codeEditor->setSyntaxStyle(dark ? QSyntaxStyle::defaultDarkStyle() : QSyntaxStyle::defaultStyle());
    ui->codeEditor->setAutoParentheses(settings.value(QStringLiteral("Editor/AutoPar"), true).toBool());
    ui->codeEditor->setTabReplace(settings.value(QStringLiteral("Editor/UseSpaces"), true).toBool());
    ui->codeEditor->setTabReplaceSize(settings.value(QStringLiteral("Editor/TabWidth"), 4).toInt());
    ui->codeEditor->setAutoIndentation(settings.value(QStringLiteral("Editor/AutoIndent"), true).toBool());
    const bool wrap = settings.value(QStringLiteral("Editor/WordWrap"), false).toBool();
    ui->codeEditor->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    ui->codeEditor->setWordWrapMode(wrap ? QTextOption::WordWrap : QTextOption::NoWrap);
    ui->codeEditor->setVisualizeWhitespace(settings.value(QStringLiteral("Editor/VisualizeSpaces"), false).toBool());

    QFont font = fixedWidthFont();
    const QString family = settings.value(QStringLiteral("Editor/Font")).toString();
    if (!family.isEmpty())
        font.setFamily(family);
    const int size = settings.value(QStringLiteral("Editor/FontSize"), QApplication::font().pointSize()).toInt();
    if (size > 0)
        font.setPointSize(size);
    ui->codeEditor->setFont(font);

    m_findToggle = settings.value(QStringLiteral("Editor/FindToggle"), false).toBool();
}

bool KolmProjectWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != ui->codeEditor && watched != ui->codeFindReplaceWidget)
        return QWidget::eventFilter(watched, event);
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        if (!m_findToggle && !ui->codeFindReplaceWidget->isHidden()) {
            ui->codeFindReplaceWidget->hide();
            ui->codeEditor->setFocus(Qt::OtherFocusReason);
        } else {
            emit hideRequested();
        }
        return true;
    }
    if (watched != ui->codeEditor || !(key->modifiers() & Qt::ControlModifier))
        return false;
    switch (key->key()) {
    case Qt::Key_B:
        compile();
        return true;
    case Qt::Key_F:
        QMetaObject::invokeMethod(this, &KolmProjectWindow::showFindReplace, Qt::QueuedConnection);
        return true;
    case Qt::Key_N:
        on_codeNewTool_clicked();
        return true;
    case Qt::Key_O:
        on_codeAddTool_clicked();
        return true;
    case Qt::Key_S:
        codeSave_core(true);
        return true;
    default:
        return false;
    }
}

QString KolmProjectWindow::projectDirectory() const
{
    return m_project ? QFileInfo(m_project->fileName()).absolutePath() : QString();
}

QString KolmProjectWindow::name() const
{
    if (!m_project)
        return QString();
    const QString name = m_project->name();
    return name.isEmpty() ? QFileInfo(m_project->fileName()).completeBaseName() : name;
}

bool KolmProjectWindow::modified() const
{
    return m_project && (m_project->isModified() || ui->codeEditor->document()->isModified());
}

void KolmProjectWindow::open(QString file)
{
    openFile(file);
}

bool KolmProjectWindow::openFile(const QString& file)
{
    const QString path = m_project && QDir::isRelativePath(file) ? m_project->absolutePath(file) : file;
    QFile in(path);
    const QPointer<KolmProjectWindow> self(this);
    if (!in.open(QIODevice::ReadOnly)) {
        pageWarning(this, tr("Open File"), tr("Cannot read %1: %2").arg(path, in.errorString()));
        return false;
    }
    const QByteArray bytes = in.readAll();
    const int nul = bytes.indexOf('\0');
    const QString text = QString::fromUtf8(nul < 0 ? bytes : bytes.left(nul));
    // Text that does not come back byte for byte would be cut or rewritten
    // by a save, so such a file is only shown.
    const bool editable = nul < 0 && text.toUtf8() == bytes;

    // Loading is no edit: the modified state only goes from modified to
    // unmodified, with one notice, and the compiled mark stays.
    QTextDocument* document = ui->codeEditor->document();
    const bool wasModified = document->isModified();
    m_loading = true;
    ui->codeEditor->setPlainText(text);
    document->clearUndoRedoStacks();
    document->setModified(false);
    m_loading = false;
    if (wasModified)
        code_modificationChanged(false);
    const QString lower = file.toLower();
    if (lower.endsWith(QLatin1String("kbsp"))) {
        ui->codeEditor->setCompleter(nullptr);
        ui->codeEditor->setHighlighter(m_xmlHighlighter);
    } else if (lower.endsWith(QLatin1String("kos"))) {
        ui->codeEditor->setCompleter(m_completer);
        ui->codeEditor->setHighlighter(m_scriptHighlighter);
    } else {
        ui->codeEditor->setCompleter(nullptr);
        ui->codeEditor->setHighlighter(nullptr);
    }
    ui->codeEditor->setReadOnly(!editable || !m_project);
    if (!editable)
        pageWarning(this, tr("Open File"), tr("%1 is not a UTF-8 text file and is shown read-only").arg(path));
    return self;
}

// Trailing white space of every line, any kind of Unicode space included.
static QString withoutTrailingSpaces(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) {
        int end = line.size();
        while (end > 0 && line.at(end - 1).isSpace())
            --end;
        line.truncate(end);
    }
    return lines.join(QLatin1Char('\n'));
}

bool KolmProjectWindow::codeSave_core(bool force)
{
    QTextDocument* document = ui->codeEditor->document();
    if (!m_project || m_currentFile.isEmpty() || !document->isModified())
        return true;
    if (!force) {
        const QPointer<KolmProjectWindow> self(this);
        const QMessageBox::StandardButton answer = pageSaveQuestion(
            this, tr("Save Changes"), tr("File %1 has been modified. Save changes?").arg(m_currentFile));
        if (!self || !m_project || m_currentFile.isEmpty())
            return false;
        if (answer == QMessageBox::Discard) {
            openFile(m_project->absolutePath(m_currentFile));
            return self;
        }
        if (answer != QMessageBox::Save)
            return false;
    }
    if (QSettings().value(QStringLiteral("Editor/CleanSpaces"), false).toBool()) {
        const QString text = ui->codeEditor->toPlainText();
        const QString clean = withoutTrailingSpaces(text);
        if (clean != text) {
            const int position = ui->codeEditor->textCursor().position();
            ui->codeEditor->setPlainText(clean);
            QTextCursor cursor = ui->codeEditor->textCursor();
            cursor.setPosition(qMin(position, clean.size()));
            ui->codeEditor->setTextCursor(cursor);
        }
    }
    if (!m_project->saveFile(m_currentFile, ui->codeEditor->toPlainText()))
        return false;
    document->setModified(false);
    if (!m_project->bsp().isEmpty()
        && m_project->absolutePath(m_project->bsp()) == m_project->absolutePath(m_currentFile)) {
        const QPointer<KolmProjectWindow> self(this);
        reloadBSP();
        return self;
    }
    return true;
}

void KolmProjectWindow::warnProjectNotSaved()
{
    pageWarning(this, tr("Save Changes"), tr("Cannot save project %1").arg(m_project->name()));
}

bool KolmProjectWindow::saveChanges()
{
    const QPointer<KolmProjectWindow> self(this);
    if (!codeSave_core(true) || !self)
        return false;
    if (!m_project)
        return true;
    if (!m_project->save(QString(), false)) {
        warnProjectNotSaved();
        return false;
    }
    return true;
}

bool KolmProjectWindow::trySaveChanges()
{
    const QPointer<KolmProjectWindow> self(this);
    const bool saved = codeSave_core(false);
    if (!self || !saved || !m_project)
        return saved && self;
    if (!m_project->save(QString(), false)) {
        warnProjectNotSaved();
        return false;
    }
    return true;
}

void KolmProjectWindow::saveProject()
{
    saveChanges();
}

void KolmProjectWindow::closeProject()
{
    if (!m_project)
        return;
    const QPointer<KolmProjectWindow> self(this);
    if (!m_currentFile.isEmpty() && ui->codeEditor->document()->isModified()) {
        const QMessageBox::StandardButton answer = pageSaveQuestion(
            this, tr("Save Changes"), tr("File %1 has been modified. Save changes?").arg(m_currentFile));
        if (!self || !m_project)
            return;
        if (answer == QMessageBox::Save) {
            if (!codeSave_core(true) || !self || !m_project)
                return;
        } else if (answer != QMessageBox::Discard) {
            return;
        }
    }
    if (m_project->isModified()) {
        const QMessageBox::StandardButton answer =
            pageSaveQuestion(this, tr("Save Changes"), tr("Project %1 is modified. Save?").arg(m_project->name()));
        if (!self || !m_project)
            return;
        if (answer == QMessageBox::Save) {
            if (!m_project->save(QString(), false)) {
                warnProjectNotSaved();
                return;
            }
        } else if (answer != QMessageBox::Discard) {
            return;
        }
    }
    releaseProject();
}

void KolmProjectWindow::releaseProject()
{
    m_project->disconnect(this);
    m_project->deleteLater();
    m_project = nullptr;
    m_currentFile.clear();
    setCompiled(false);
    delete m_boardPackage;
    m_boardPackage = nullptr;
    ui->projectBspButton->setEnabled(false);
    ui->projectButton->hide();
    ui->projectNameLabel->setText(QStringLiteral("---"));
    emptyEditor();
    ui->codeSelectorCombo->clear();
    m_schematicViewer->hide();
    ui->controlWidget->setEnabled(false);
}

void KolmProjectWindow::emptyEditor()
{
    ui->codeEditor->clear();
    ui->codeEditor->document()->setModified(false);
    ui->codeEditor->setReadOnly(true);
}

bool KolmProjectWindow::setProject(KolmProject* project)
{
    const QPointer<KolmProjectWindow> self(this);
    closeProject();
    if (!self || m_project)
        return false;
    m_project = project;
    project->setParent(this);
    reloadBSP();
    // A page deleted inside the package warning took the project with it;
    // one closed there released it.
    if (!self || m_project != project)
        return true;
    ui->controlWidget->setEnabled(true);
    ui->projectButton->show();
    ui->projectNameLabel->setText(project->name());

    {
        const QSignalBlocker blocker(ui->codeSelectorCombo);
        ui->codeSelectorCombo->clear();
        ui->codeSelectorCombo->addItems(project->fileList());
        ui->codeSelectorCombo->setCurrentIndex(0);
    }
    ui->codeEditor->setReadOnly(false);
    on_codeSelectorCombo_activated(0);
    if (!self || m_project != project)
        return true;

    connect(project, &KolmProject::modified, this, &KolmProjectWindow::projectModified);
    connect(project, &KolmProject::error, this, &KolmProjectWindow::error);
    setCompiled(false);
    return true;
}

void KolmProjectWindow::setCompiled(bool on)
{
    if (m_compiled == on)
        return;
    m_compiled = on;
    emit compiledChanged(on);
}

void KolmProjectWindow::code_modificationChanged(bool changed)
{
    if (m_loading)
        return;
    setCompiled(false);
    if (m_project && !m_project->isModified())
        emit projectModified(changed);
    ui->codeSaveTool->setEnabled(changed);
}

void KolmProjectWindow::on_codeSaveTool_clicked()
{
    codeSave_core(true);
}

void KolmProjectWindow::copy()
{
    ui->codeEditor->copy();
}

void KolmProjectWindow::cut()
{
    ui->codeEditor->cut();
}

void KolmProjectWindow::paste()
{
    ui->codeEditor->paste();
}

void KolmProjectWindow::insert(QString text)
{
    ui->codeEditor->insertPlainText(text);
}

void KolmProjectWindow::showProjectSchematic()
{
    if (!m_project)
        return;
    const QString schematic = m_project->schematics();
    if (schematic.isEmpty()) {
        emit error(tr("Project %1 does not have an attached schematic").arg(m_project->name()));
        return;
    }
    m_schematicViewer->load(m_project->absolutePath(schematic));
    m_schematicViewer->show();
}

void KolmProjectWindow::showProjectHexview()
{
    if (!m_project)
        return;
    if (!m_compiled) {
        warnCompiler(tr("Project has not been built"));
        return;
    }
    QPointer<KolmProjectHexview> view = new KolmProjectHexview(this);
    view->setData(outputBin(), m_project->name());
    view->exec();
    delete view;
}

void KolmProjectWindow::showProjectLocation()
{
    if (m_project)
        QDesktopServices::openUrl(QUrl::fromLocalFile(projectDirectory()));
}

void KolmProjectWindow::showProjectOptions()
{
    if (!m_project)
        return;
    const QPointer<KolmProject> project(m_project);
    QPointer<KolmProjectEditor> editor = new KolmProjectEditor(this);
    editor->readSettings(m_project);
    const bool accepted = editor->exec() == QDialog::Accepted;
    // The page went while the dialog was open, and the dialog with it.
    if (!editor)
        return;
    // A project closed meanwhile is no longer the one to change.
    if (accepted && project && project == m_project) {
        editor->writeSettings();
        // An image built with the old settings is out of date.
        setCompiled(false);
        reloadBSP();
    }
    delete editor;
}

void KolmProjectWindow::on_projectBspButton_clicked()
{
    if (!m_project || !m_boardPackage)
        return;
    QPointer<KolmProjectBSPView> view = new KolmProjectBSPView(this);
    connect(view, &KolmProjectBSPView::insert, ui->codeEditor, &QTextEdit::insertPlainText);
    view->setBSP(m_boardPackage);
    view->exec();
    delete view;
}
