#include "kolmprojectbspview.h"

#include "kolm_board_package.h"
#include "natural_order.h"
#include "qmaterialfont.h"
#include "ui_kolmprojectbspview.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QStandardItemModel>

#include <functional>

namespace {

QString hex8(uint32_t value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0'));
}

QIcon accessIcon(bool granted)
{
    const QMaterialIcon* icons = QMaterialIcon::instance();
    return granted ? QMaterialIcon::icon(QStringLiteral("check_circle"), icons->color(QMaterialIcon::Success))
                   : QMaterialIcon::icon(QStringLiteral("block"), icons->color(QMaterialIcon::Error));
}

QStandardItem* kindItem(const QString& text, int kind)
{
    auto* item = new QStandardItem(text);
    item->setData(kind, KolmProjectBSPView::KindRole);
    return item;
}

// A peripheral's or register's name: sorts in natural order (PA2 before
// PA10), whichever way the user sorts the tree.
class NameItem : public QStandardItem
{
public:
    NameItem(const std::string& name, int kind)
        : QStandardItem(QString::fromStdString(name))
    {
        setData(kind, KolmProjectBSPView::KindRole);
    }

    bool operator<(const QStandardItem& other) const override
    {
        return naturalLess(text(), other.text());
    }
};

// Makes a line edit at least wide enough to show its whole text, so the
// layout around it opens that wide.
void fitText(QLineEdit* field)
{
    QStyleOptionFrame option;
    option.initFrom(field);
    option.lineWidth = field->hasFrame() ? field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, field) : 0;
    option.state |= QStyle::State_Sunken;
    // The edit keeps 2 px on either side of its text, and one for the cursor.
    const QMargins margins = field->textMargins();
    const int contents = field->fontMetrics().horizontalAdvance(field->text()) + 2 * 2 + 1 + margins.left() + margins.right();
    const QSize size = field->style()->sizeFromContents(QStyle::CT_LineEdit, &option,
                                                         QSize(contents, field->sizeHint().height()), field);
    field->setMinimumWidth(size.width());
}

// "pointer, size": exactly one comma; both sides trimmed, either may be empty.
bool splitPointerAndSize(const QString& input, QString* pointer, QString* size)
{
    const QStringList parts = input.split(QLatin1Char(','), Qt::KeepEmptyParts);
    if (parts.size() != 2)
        return false;
    *pointer = parts[0].trimmed();
    *size = parts[1].trimmed();
    return true;
}

// A double-quoted text of at least one character between the quotes, taken
// as typed (not trimmed).
bool isStringLiteral(const QString& input)
{
    return input.size() >= 3 && input.startsWith(QLatin1Char('"')) && input.endsWith(QLatin1Char('"'));
}

} // namespace

KolmProjectBSPView::KolmProjectBSPView(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::KolmProjectBSPView)
{
    ui->setupUi(this);
    ui->bspTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    ui->bspTable->setSelectionMode(QAbstractItemView::SingleSelection);
    // A fresh header sorts descending; names read best from A to Z.
    ui->bspTable->header()->setSortIndicator(0, Qt::AscendingOrder);

    tools = {{ui->regGetEdit, ui->regGetTool},
             {ui->regSetEdit, ui->regSetTool},
             {ui->regReadEdit, ui->regReadTool},
             {ui->regWriteEdit, ui->regWriteTool}};
    for (auto it = tools.cbegin(); it != tools.cend(); ++it) {
        QMaterialIcon::setIcon(QStringLiteral("post_add"), it.value());
        it.key()->installEventFilter(this);
        connect(it.key(), &QLineEdit::textChanged, this, &KolmProjectBSPView::editorTextChanged);
    }

    ui->registerGroup->setEnabled(false);
}

KolmProjectBSPView::~KolmProjectBSPView()
{
    delete ui;
}

void KolmProjectBSPView::setBSP(const KolmBoardPackageParser* package)
{
    bsp = package;
    if (!bsp)
        return;

    QAbstractItemModel* oldModel = ui->bspTable->model();
    QItemSelectionModel* oldSelection = ui->bspTable->selectionModel();
    if (oldSelection)
        disconnect(oldSelection, nullptr, this, nullptr);

    ui->bspTable->setSortingEnabled(false);
    ui->bspTable->setModel(fromBSP(bsp));
    ui->bspTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(ui->bspTable->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &KolmProjectBSPView::bspTable_currentChanged);
    ui->bspTable->setSortingEnabled(true);
    const int treeWidth = fitColumns();

    delete oldSelection;
    delete oldModel;

    fillDefines();
    fillAbout();
    makeRoomForTree(treeWidth);
}

QStandardItemModel* KolmProjectBSPView::fromBSP(const KolmBoardPackageParser* package)
{
    static const uint32_t accessBits[] = {KOLM_ACCESS_GET, KOLM_ACCESS_SET, KOLM_ACCESS_READ,
                                          KOLM_ACCESS_WRITE, KOLM_ACCESS_TRANSCEIVE};

    auto* model = new QStandardItemModel(this);
    QStandardItem* root = model->invisibleRootItem();
    for (const std::string& peripheral : naturallySorted(package->peripherals())) {
        QStandardItem* peripheralItem = new NameItem(peripheral, PeripheralItem);
        peripheralItem->setIcon(QMaterialIcon::icon(QStringLiteral("developer_board")));
        for (const std::string& reg : naturallySorted(package->registers(peripheral))) {
            const uint32_t address = package->address(peripheral, reg);
            const uint32_t access = package->access(peripheral, reg);

            QList<QStandardItem*> row;
            row << new NameItem(reg, RegisterNameItem);
            row.first()->setData(access, AccessRole);
            row << kindItem(QStringLiteral("0x%1").arg(hex8(address)), AddressItem);
            for (uint32_t bit : accessBits) {
                QStandardItem* item = kindItem(QString(), AccessItem);
                item->setIcon(accessIcon(access & bit));
                row << item;
            }
            peripheralItem->appendRow(row);
        }
        root->appendRow(peripheralItem);
    }

    model->setHorizontalHeaderLabels({tr("Peripheral"), tr("Address"), tr("Get"), tr("Set"),
                                      tr("Read"), tr("Write"), tr("Transceive")});
    return model;
}

QStandardItem* KolmProjectBSPView::registerNameItem(const QModelIndex& index) const
{
    const auto* model = qobject_cast<const QStandardItemModel*>(ui->bspTable->model());
    QStandardItem* item = model ? model->itemFromIndex(index) : nullptr;
    if (!item || !item->parent())
        return nullptr;
    switch (item->data(KindRole).toInt()) {
    case RegisterNameItem:
        return item;
    case AddressItem:
    case AccessItem:
        return item->parent()->child(item->row(), 0);
    default:
        return nullptr;
    }
}

QString KolmProjectBSPView::regName(const QModelIndex& index)
{
    const QStandardItem* item = registerNameItem(index);
    if (!item)
        return QString();
    return item->parent()->text() + QLatin1Char('.') + item->text();
}

// Each column as wide as its widest item at any depth (collapsed rows
// included) or its header, whichever is wider: names and addresses show
// whole, an access column takes its icon and header only. Returns the width
// the tree needs to show all its columns.
int KolmProjectBSPView::fitColumns()
{
    QTreeView* tree = ui->bspTable;
    const QAbstractItemModel* model = tree->model();
    QHeaderView* header = tree->header();

    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.font = tree->font();
    const int iconSide = tree->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, tree);
    option.decorationSize = tree->iconSize().isValid() ? tree->iconSize() : QSize(iconSide, iconSide);
    const int firstIndent = tree->rootIsDecorated() ? tree->indentation() : 0;

    int total = 2 * tree->frameWidth() + tree->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < model->columnCount(); ++column) {
        int width = header->sectionSizeHint(column);
        const std::function<void(const QModelIndex&, int)> widen = [&](const QModelIndex& parent, int indent) {
            for (int row = 0; row < model->rowCount(parent); ++row) {
                const QModelIndex index = model->index(row, column, parent);
                const int item = tree->itemDelegate(index)->sizeHint(option, index).width();
                width = qMax(width, (column == 0 ? indent : 0) + item);
                widen(model->index(row, 0, parent), indent + tree->indentation());
            }
        };
        widen(QModelIndex(), firstIndent);
        header->resizeSection(column, width);
        total += width;
    }
    return total;
}

// The dialog opens wide enough for the tree to show all its columns beside
// the panel at the panel's own width; any width beyond that is shared out as
// before.
void KolmProjectBSPView::makeRoomForTree(int treeWidth)
{
    // Before the dialog is first shown, its widgets pass no size change on
    // to the layouts around them, which still hold the sizes they measured
    // when the form was built; make them measure the panel afresh.
    for (QWidget* child : ui->widget->findChildren<QWidget*>())
        child->updateGeometry();
    for (QLayout* layout : ui->widget->findChildren<QLayout*>())
        layout->invalidate();
    const int panelWidth = ui->widget->sizeHint().width();
    const QMargins margins = layout()->contentsMargins();
    const int needed = margins.left() + treeWidth + ui->splitter->handleWidth() + panelWidth + margins.right();
    if (width() < needed)
        resize(needed, height());
    ui->splitter->setSizes({treeWidth, panelWidth});
}

void KolmProjectBSPView::fillDefines()
{
    QTableWidget* table = ui->definesTable;
    table->clear();
    table->setColumnCount(2);
    const std::vector<std::string> names = naturallySorted(bsp->defines());
    table->setRowCount(static_cast<int>(names.size()));
    int row = 0;
    for (const std::string& name : names) {
        table->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(name)));
        table->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(bsp->define_map.at(name))));
        ++row;
    }
    if (row == 0)
        return;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setHorizontalHeaderLabels({tr("Name"), tr("Value")});
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->verticalHeader()->hide();
}

void KolmProjectBSPView::fillAbout()
{
    // The end of the RAM in 32 bits: a RAM of size 0 ends just before it starts.
    const uint32_t ramEnd = bsp->ram_address + bsp->ram_size - 1u;
    ui->bspNameView->setText(QString::fromStdString(bsp->name) + QStringLiteral(" [sizeof(var)==")
                             + QString::number(bsp->abi) + QStringLiteral(")]"));
    ui->bspRamView->setText(QStringLiteral("[0x%1:0x%2]").arg(hex8(bsp->ram_address), hex8(ramEnd)));
    ui->bspDataView->setText(QStringLiteral("0x%1").arg(hex8(bsp->rom_address)));
    ui->bspPeriphView->setText(QStringLiteral("0x%1").arg(hex8(bsp->hal_address)));
    for (QLineEdit* field : {ui->bspNameView, ui->bspRamView, ui->bspDataView, ui->bspPeriphView})
        fitText(field);
}

void KolmProjectBSPView::bspTable_currentChanged(QModelIndex current, QModelIndex)
{
    if (!current.isValid()) {
        ui->registerGroup->setEnabled(false);
        return;
    }

    const QStandardItem* item = registerNameItem(current);
    const uint32_t access = item ? item->data(AccessRole).toUInt() : 0;

    for (QLineEdit* field : tools.keys())
        field->clear();
    ui->regGetEdit->setEnabled(access & KOLM_ACCESS_GET);
    ui->regSetEdit->setEnabled(access & KOLM_ACCESS_SET);
    ui->regReadEdit->setEnabled(access & KOLM_ACCESS_READ);
    ui->regWriteEdit->setEnabled(access & (KOLM_ACCESS_WRITE | KOLM_ACCESS_TRANSCEIVE));
    ui->registerGroup->setEnabled(true);
}

void KolmProjectBSPView::editorTextChanged(QString text)
{
    if (QToolButton* tool = tools.value(qobject_cast<QLineEdit*>(sender())))
        tool->setEnabled(!text.isEmpty());
}

bool KolmProjectBSPView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        QToolButton* tool = tools.value(qobject_cast<QLineEdit*>(watched));
        if (tool && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            tool->click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Emits before + the current register + after, unless no register is current.
void KolmProjectBSPView::insertForCurrent(const QString& before, const QString& after)
{
    const QString reg = regName(ui->bspTable->currentIndex());
    if (!reg.isEmpty())
        emit insert(before + reg + after);
}

void KolmProjectBSPView::on_regGetTool_clicked()
{
    const QString variable = ui->regGetEdit->text();
    if (!variable.isEmpty())
        insertForCurrent(variable + QStringLiteral(" = "), QStringLiteral(";"));
}

void KolmProjectBSPView::on_regSetTool_clicked()
{
    const QString value = ui->regSetEdit->text();
    if (!value.isEmpty())
        insertForCurrent(QString(), QStringLiteral(" = ") + value + QLatin1Char(';'));
}

void KolmProjectBSPView::on_regReadTool_clicked()
{
    QString pointer, size;
    if (splitPointerAndSize(ui->regReadEdit->text(), &pointer, &size))
        insertForCurrent(QStringLiteral("memcpy(") + pointer + QStringLiteral(", &"),
                         QStringLiteral(", ") + size + QStringLiteral(");"));
}

void KolmProjectBSPView::on_regWriteTool_clicked()
{
    const QString input = ui->regWriteEdit->text();
    QString source, size;
    if (isStringLiteral(input)) {
        source = input;
        size = QString::number(input.size());
    } else if (!splitPointerAndSize(input, &source, &size)) {
        return;
    }
    insertForCurrent(QStringLiteral("memcpy(&"), QStringLiteral(", ") + source + QStringLiteral(", ")
                                                     + size + QStringLiteral(");"));
}
