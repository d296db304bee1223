#ifndef KOLM_QREGISTERTABLEMODEL_H
#define KOLM_QREGISTERTABLEMODEL_H

// Named 32-bit values (the machine's registers, a stack, the function table)
// as a read-only two-column table: the name and the value in the display
// format the user picked.

#include "kolm_word.h"

#include <QAbstractTableModel>
#include <QMap>
#include <QPair>
#include <QStringList>
#include <QVector>

class QRegisterViewConfig;

class QRegisterTableModel : public QAbstractTableModel {
    Q_OBJECT
    Q_PROPERTY(Type format READ format WRITE setFormat NOTIFY formatChanged)

public:
    enum Type : int { Oct = 0, Dec = 1, Hex = 2 };
    Q_ENUM(Type)

    explicit QRegisterTableModel(QObject *parent = nullptr);
    ~QRegisterTableModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // One row per name with the value of the same index, 0 where values is
    // shorter.
    void init(const QStringList &names, const QVector<unsigned int> &values);
    // One row per entry in key order; values that are no number give 0.
    void init(const QMap<QString, QVariant> &map);
    // Replaces every value when the count matches the rows; else nothing.
    void sync(const QVector<unsigned int> &values);

    Type format() const;
    void connectController(QRegisterViewConfig *config);

    // The text of a value in a display format; empty for an unknown format.
    static QString valueText(unsigned int value, Type format);

public slots:
    void setFormat(QRegisterTableModel::Type fmt);
    // Ignored for a row that does not exist.
    void update(int idx, tvar value);

signals:
    void formatChanged(QRegisterTableModel::Type fmt);

private:
    typedef QPair<QString, unsigned int> Row;

    void replaceRows(const QVector<Row> &rows);
    void signalValues(int first, int last);

    Type m_format = Dec;
    QVector<Row> m_rows;
};

#endif
