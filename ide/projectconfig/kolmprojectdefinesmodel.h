#pragma once

#include <QAbstractListModel>
#include <QStringList>

// A project's macro definitions ("NAME=VALUE") as a one-column list model,
// edited in place. Entries stay exactly as typed; an edit that empties a
// row is refused.
class KolmProjectDefinesModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit KolmProjectDefinesModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool removeRows(int row, int count, const QModelIndex& parent = QModelIndex()) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Replaces the whole list.
    void setup(const QStringList& list);
    // Adds an entry at the end and returns its index.
    QModelIndex append(const QString& text);
    const QStringList& entries() const { return m_entries; }

private:
    QStringList m_entries;
};
