#include "qregistertablemodel.h"

#include "qregisterviewconfig.h"

namespace {
const int NameColumn = 0;
const int ValueColumn = 1;
} // namespace

QRegisterTableModel::QRegisterTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    qRegisterMetaType<QRegisterTableModel::Type>();
}

QRegisterTableModel::~QRegisterTableModel() = default;

int QRegisterTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows.size();
}

int QRegisterTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QString QRegisterTableModel::valueText(unsigned int value, Type format)
{
    switch (format) {
    case Oct:
        return value == 0 ? QStringLiteral("0") : QStringLiteral("0%1").arg(value, 0, 8);
    case Dec:
        return QString::number(value);
    case Hex:
        return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0'));
    }
    return QString();
}

QVariant QRegisterTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= m_rows.size())
        return QVariant();
    const Row &row = m_rows.at(index.row());
    if (index.column() == NameColumn)
        return row.first;
    if (index.column() != ValueColumn)
        return QVariant();
    const QString text = valueText(row.second, m_format);
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant QRegisterTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QString::number(section);
    if (section == NameColumn)
        return tr("Name");
    if (section == ValueColumn)
        return tr("Value");
    return QVariant();
}

void QRegisterTableModel::replaceRows(const QVector<Row> &rows)
{
    if (!m_rows.isEmpty()) {
        beginRemoveRows(QModelIndex(), 0, m_rows.size() - 1);
        m_rows.clear();
        endRemoveRows();
    }
    if (!rows.isEmpty()) {
        beginInsertRows(QModelIndex(), 0, rows.size() - 1);
        m_rows = rows;
        endInsertRows();
    }
}

void QRegisterTableModel::init(const QStringList &names, const QVector<unsigned int> &values)
{
    QVector<Row> rows;
    rows.reserve(names.size());
    for (int i = 0; i < names.size(); ++i)
        rows.append(Row(names.at(i), i < values.size() ? values.at(i) : 0u));
    replaceRows(rows);
}

void QRegisterTableModel::init(const QMap<QString, QVariant> &map)
{
    QVector<Row> rows;
    rows.reserve(map.size());
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        rows.append(Row(it.key(), it.value().toUInt()));
    replaceRows(rows);
}

void QRegisterTableModel::signalValues(int first, int last)
{
    emit dataChanged(index(first, ValueColumn), index(last, ValueColumn), {Qt::DisplayRole});
}

void QRegisterTableModel::sync(const QVector<unsigned int> &values)
{
    if (values.size() != m_rows.size())
        return;
    for (int i = 0; i < m_rows.size(); ++i)
        m_rows[i].second = values.at(i);
    if (!m_rows.isEmpty())
        signalValues(0, m_rows.size() - 1);
}

void QRegisterTableModel::update(int idx, tvar value)
{
    if (idx < 0 || idx >= m_rows.size())
        return;
    m_rows[idx].second = value;
    signalValues(idx, idx);
}

QRegisterTableModel::Type QRegisterTableModel::format() const
{
    return m_format;
}

void QRegisterTableModel::setFormat(Type fmt)
{
    if (fmt == m_format)
        return;
    m_format = fmt;
    if (!m_rows.isEmpty())
        signalValues(0, m_rows.size() - 1);
    emit formatChanged(fmt);
}

void QRegisterTableModel::connectController(QRegisterViewConfig *config)
{
    connect(this, &QRegisterTableModel::formatChanged, config, &QRegisterViewConfig::select);
    connect(config, &QRegisterViewConfig::selected, this, &QRegisterTableModel::setFormat);
}
