#pragma once

#include <QDialog>
#include <QHash>
#include <QModelIndex>
#include <QString>

class KolmBoardPackageParser;
class QLineEdit;
class QStandardItem;
class QStandardItemModel;
class QToolButton;

namespace Ui {
class KolmProjectBSPView;
}

// The "Board Support Package" dialog: a tree of the package's peripherals and
// registers with addresses and access rights, its defines and a platform
// summary. For the current register it builds one-line code snippets (assign,
// set, read into memory, write from memory) and hands each out through
// insert(). It never changes the package.
class KolmProjectBSPView : public QDialog
{
    Q_OBJECT

public:
    // Item data of the register tree: the kind of every item, and on a
    // register's name item its access bits.
    enum ItemRole { AccessRole = Qt::UserRole + 1, KindRole = Qt::UserRole + 2 };
    enum ItemKind { PeripheralItem = 0, RegisterNameItem = 1, AddressItem = 2, AccessItem = 3 };

    explicit KolmProjectBSPView(QWidget* parent = nullptr);
    ~KolmProjectBSPView() override;

    // Shows the package: tree, defines and About fields. The package must
    // outlive the call only. Null changes nothing that is shown.
    void setBSP(const KolmBoardPackageParser* bsp);

    // A new register tree of the package, parented to the dialog.
    QStandardItemModel* fromBSP(const KolmBoardPackageParser* bsp);

    // "PERIPHERAL.REGISTER" for any item of a register row of the tree; empty
    // for a peripheral row or an invalid index.
    QString regName(const QModelIndex& index);

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void insert(QString text);

private slots:
    void bspTable_currentChanged(QModelIndex current, QModelIndex previous);
    void editorTextChanged(QString text);
    void on_regGetTool_clicked();
    void on_regSetTool_clicked();
    void on_regReadTool_clicked();
    void on_regWriteTool_clicked();

private:
    QStandardItem* registerNameItem(const QModelIndex& index) const;
    int fitColumns();
    void makeRoomForTree(int treeWidth);
    void fillDefines();
    void fillAbout();
    void insertForCurrent(const QString& before, const QString& after);

    Ui::KolmProjectBSPView* ui;
    const KolmBoardPackageParser* bsp = nullptr;
    QHash<QLineEdit*, QToolButton*> tools;
};
