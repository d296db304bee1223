#include "kolmprojectdefinesmodel.h"

#include "qmaterialfont.h"

#include <QIcon>

KolmProjectDefinesModel::KolmProjectDefinesModel(QObject* parent)
    : QAbstractListModel(parent)
{
}

int KolmProjectDefinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_entries.size();
}

QVariant KolmProjectDefinesModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_entries.at(index.row());
    case Qt::DecorationRole:
        return QMaterialIcon::icon(QStringLiteral("label"));
    default:
        return QVariant();
    }
}

bool KolmProjectDefinesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return false;
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    if (text.isEmpty() || text == m_entries.at(index.row()))
        return false;
    m_entries[index.row()] = text;
    emit dataChanged(index, index, {role});
    return true;
}

QVariant KolmProjectDefinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return tr("Project-wide Defines");
    return QVariant();
}

bool KolmProjectDefinesModel::removeRows(int row, int count, const QModelIndex& parent)
{
    // Only rows that exist are announced and removed.
    if (parent.isValid() || row < 0 || count <= 0 || row >= m_entries.size())
        return true;
    const int last = qMin(row + count, m_entries.size()) - 1;
    beginRemoveRows(QModelIndex(), row, last);
    m_entries.erase(m_entries.begin() + row, m_entries.begin() + last + 1);
    endRemoveRows();
    return true;
}

Qt::ItemFlags KolmProjectDefinesModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled;
}

void KolmProjectDefinesModel::setup(const QStringList& list)
{
    if (!m_entries.isEmpty()) {
        beginRemoveRows(QModelIndex(), 0, m_entries.size() - 1);
        m_entries.clear();
        endRemoveRows();
    }
    if (!list.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, list.size() - 1);
        m_entries = list;
        endInsertRows();
    }
}

QModelIndex KolmProjectDefinesModel::append(const QString& text)
{
    const int row = m_entries.size();
    beginInsertRows(QModelIndex(), row, row);
    m_entries.append(text);
    endInsertRows();
    return index(row, 0);
}
