#include "qkolmextendedcompleter.h"

#include "kolm_board_package.h"
#include "natural_order.h"
#include "qkolmextendedcompletionmodel.h"

#include <QStandardItemModel>

QKolmExtendedCompleter::QKolmExtendedCompleter(QObject* parent)
    : QCompleter(parent)
{
    setCaseSensitivity(Qt::CaseSensitive);
    setWrapAround(true);
}

QKolmExtendedCompleter::QKolmExtendedCompleter(QAbstractItemModel* model, QObject* parent)
    : QCompleter(model, parent)
{
    setCaseSensitivity(Qt::CaseSensitive);
    setWrapAround(true);
}

void QKolmExtendedCompleter::parse(const KolmBoardPackageParser* bsp)
{
    auto* model = new QStandardItemModel(this);
    QStandardItem* root = model->invisibleRootItem();
    for (const QString& word : QKolmExtendedCompletionModel::builtins)
        root->appendRow(new QStandardItem(word));

    // Package names are 8-bit strings in UTF-8. The package hands them out
    // in no particular order; the popup lists them as the model holds them,
    // so they go in natural order (PA0, PA1, PA2 ... PA13).
    if (bsp) {
        for (const std::string& define : naturallySorted(bsp->defines()))
            root->appendRow(new QStandardItem(QString::fromStdString(define)));
        for (const std::string& peripheral : naturallySorted(bsp->peripherals())) {
            auto* item = new QStandardItem(QString::fromStdString(peripheral));
            for (const std::string& reg : naturallySorted(bsp->registers(peripheral)))
                item->appendRow(new QStandardItem(QString::fromStdString(reg)));
            root->appendRow(item);
        }
    }

    // The completer is the parent of the previous model, so setModel deletes it.
    setModel(model);
}

QString QKolmExtendedCompleter::separator() const
{
    return QStringLiteral(".");
}

QString QKolmExtendedCompleter::pathFromIndex(const QModelIndex& index) const
{
    QStringList parts;
    for (QModelIndex at = index; at.isValid(); at = at.parent())
        parts.prepend(model()->data(at, Qt::DisplayRole).toString());
    return parts.join(separator());
}

QStringList QKolmExtendedCompleter::splitPath(const QString& path) const
{
    return path.split(separator(), Qt::KeepEmptyParts, Qt::CaseSensitive);
}
