#ifndef KOLM_ASMVIEWMODEL_H
#define KOLM_ASMVIEWMODEL_H

// The disassembly table of the debugger page: one row per instruction of
// the image (address, opcode, arguments), filled from the instruction array
// of halvane-kdb's JSON listing, and a background mark on the row of the
// instruction the machine executes next.

#include "kolm_word.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QJsonArray>
#include <QList>
#include <QStringList>

class QFontMetricsF;

class AsmViewModel : public QAbstractTableModel {
    Q_OBJECT
    Q_PROPERTY(uint eip READ eip WRITE setEip)

public:
    struct AsmEntry {
        tvar address = 0;
        int opcode = 0;
        QString opname;
        QStringList arguments;
    };

    // The current address before the machine reported one: no instruction
    // of an image lies there.
    static constexpr tvar NoEip = 0xFFFFFFFFu;

    explicit AsmViewModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Replaces all rows with the instructions of the array.
    void fill(const QJsonArray &text);
    void clear();

    tvar eip() const;
    // The opcode of the instruction at address; -1 when the listing has
    // none there.
    int opcodeAt(tvar address) const;

    // The texts of the address and opcode columns.
    static QString addressText(tvar address);
    static QString opcodeText(const QString &opname, int opcode);
    // The width in the font of the widest text that the address (0) or the
    // opcode (1) column can show for an instruction of the machine; 0 for
    // the arguments column, whose texts have no bound.
    static qreal widestText(int column, const QFontMetricsF &metrics);
    // The width in the font of the widest arguments text of the rows.
    qreal widestArguments(const QFontMetricsF &metrics) const;

public slots:
    // Moves the mark to the row of eip.
    void setEip(tvar eip);

signals:
    // The row that now holds the current address.
    void rowSelected(int row);

private:
    // Announces the background of a row as changed.
    void markChanged(int row);

    tvar m_eip = NoEip;
    QHash<tvar, int> m_rows;
    QList<AsmEntry> m_entries;
};

#endif
