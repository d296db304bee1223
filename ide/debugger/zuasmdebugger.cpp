#include "zuasmdebugger.h"

#include "kolmproject.h"
#include "qmaterialfont.h"
#include "qsyntaxstyle.h"
#include "themedetector.h"
#include "ui_zuasmdebugger.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QStyle>
#include <QtMath>
#include <QSettings>

ZuASMDebugger::ZuASMDebugger(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ZuASMDebugger)
    , m_flagsModel(new QStandardItemModel(this))
{
    qRegisterMetaType<ZuASMDebugger::Mode>();
    ui->setupUi(this);
    ui->ramSyncButton->hide();

    m_vtableModel.connectController(ui->vtableViewCfg);
    m_registersModel.connectController(ui->registersViewCfg);
    m_ramModel.connectController(ui->ramViewCfg);
    m_stackModel.connectController(ui->stackViewCfg);

    ui->vtableView->setModel(&m_vtableModel);
    ui->registersView->setModel(&m_registersModel);
    ui->ramView->setModel(&m_ramModel);
    ui->stackView->setModel(&m_stackModel);
    ui->asmTable->setModel(&m_asmModel);

    connect(&m_asmModel, &AsmViewModel::rowSelected, this, &ZuASMDebugger::scrollToRow, Qt::QueuedConnection);

    ui->registersView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->stackView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->vtableView->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    ui->ramView->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->asmTable->horizontalHeader()->setStretchLastSection(true);
    sizeListingColumns();

    ui->toolBox->setCurrentIndex(0);
    connect(ui->codeViewCombo, QOverload<int>::of(&QComboBox::activated), this, &ZuASMDebugger::codeViewActivated);

    QMaterialIcon::setIcon(QStringLiteral("expand_less"), ui->runtimeCollapseTool);
    QMaterialIcon::setIcon(QStringLiteral("expand_more"), ui->runtimeExpandTool);
    connect(ui->runtimeCollapseTool, &QToolButton::clicked, ui->runtimeTree, &QTreeView::collapseAll);
    connect(ui->runtimeExpandTool, &QToolButton::clicked, ui->runtimeTree, &QTreeView::expandAll);

    buildFlagsTree();
    ui->runtimeTree->setModel(m_flagsModel);
    ui->runtimeTree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ui->runtimeTree->header()->setStretchLastSection(true);

    readSettings();
}

void ZuASMDebugger::fitListingColumn(int column, qreal text)
{
    QTableView *table = ui->asmTable;
    QHeaderView *header = table->horizontalHeader();
    // The item's text margins on both sides and the grid line.
    const int margins = 2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1)
        + (table->showGrid() ? 1 : 0);
    header->resizeSection(column, qMax(qCeil(text) + margins, header->sectionSizeHint(column)));
}

void ZuASMDebugger::sizeListingColumns()
{
    const QFontMetricsF metrics(ui->asmTable->font());
    for (int column : {0, 1})
        fitListingColumn(column, AsmViewModel::widestText(column, metrics));
}

void ZuASMDebugger::sizeArgumentsColumn()
{
    fitListingColumn(2, m_asmModel.widestArguments(QFontMetricsF(ui->asmTable->font())));
}

ZuASMDebugger::~ZuASMDebugger()
{
    delete ui;
}

ZuASMDebugger::Mode ZuASMDebugger::mode() const
{
    return m_mode;
}

void ZuASMDebugger::setMode(Mode mode)
{
    if (mode == m_mode)
        return;
    m_mode = mode;
    emit modeChanged(mode);
}

void ZuASMDebugger::setProject(KolmProject *project)
{
    m_project = project;
}

void ZuASMDebugger::unsetProject()
{
    m_project = nullptr;
    m_shownFile.clear();
}

void ZuASMDebugger::readSettings()
{
    const int theme = QSettings().value(QStringLiteral("Editor/Theme"), 0).toInt();
    const bool dark = theme == 2 || (theme != 1 && ThemeDetector::isDarkThemeEnabled());
    ui->codeEditor->setSyntaxStyle(dark ? QSyntaxStyle::defaultDarkStyle() : QSyntaxStyle::defaultStyle());
}

void ZuASMDebugger::on_ramSyncButton_clicked()
{
    emit syncRam();
}
