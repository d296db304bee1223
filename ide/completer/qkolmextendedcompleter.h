#pragma once

#include <QCompleter>

class KolmBoardPackageParser;

// Completion for the script editor: the Kolm words and, with a board package,
// its define names and its peripherals with their registers as a two-level
// tree, so that a peripheral name, "." and the start of a register name
// complete to "PERIPHERAL.REGISTER". Matching is case-sensitive.
class QKolmExtendedCompleter : public QCompleter
{
    Q_OBJECT
    Q_PROPERTY(QString separator READ separator)

public:
    explicit QKolmExtendedCompleter(QObject* parent = nullptr);
    explicit QKolmExtendedCompleter(QAbstractItemModel* model, QObject* parent = nullptr);

    // Builds a new model from the built-in words and, when bsp is not null,
    // the package's defines and peripherals (each with its registers as
    // children), and installs it in place of the previous one. The package is
    // only read during the call.
    void parse(const KolmBoardPackageParser* bsp);

    // The text between a peripheral and its register: ".".
    QString separator() const;

    QString pathFromIndex(const QModelIndex& index) const override;
    QStringList splitPath(const QString& path) const override;
};
