// The RAM table: rows of 16 byte cells in five display formats, change
// signals that name exactly the cells written, and the format selector
// linked to the model.

#include "qramtablemodel.h"
#include "qramviewconfig.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>


namespace {

// The first and last cell and the roles of one dataChanged emission.
struct Change {
    QPoint first;
    QPoint last;
    QVector<int> roles;
};

Change change(const QList<QVariant> &arguments)
{
    const auto topLeft = arguments.at(0).value<QModelIndex>();
    const auto bottomRight = arguments.at(1).value<QModelIndex>();
    return {QPoint(topLeft.column(), topLeft.row()), QPoint(bottomRight.column(), bottomRight.row()),
            arguments.at(2).value<QVector<int>>()};
}

QString cell(const QRamTableModel &model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

} // namespace

class RamTableModelTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        model = new QRamTableModel(this);
        tester = new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    }

    void cleanup()
    {
        delete model;
    }

    void rowsCountPartialLastRow_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("rows");
        QTest::newRow("empty") << 0 << 0;
        QTest::newRow("one byte") << 1 << 1;
        QTest::newRow("one row") << 16 << 1;
        QTest::newRow("17 bytes") << 17 << 2;
        QTest::newRow("768 bytes") << 768 << 48;
    }

    void rowsCountPartialLastRow()
    {
        QFETCH(int, size);
        QFETCH(int, rows);
        model->init(size);
        QCOMPARE(model->rowCount(), rows);
        QCOMPARE(model->columnCount(), 16);
        QCOMPARE(model->image().size(), size);
    }

    void cellsHaveNoChildren()
    {
        model->init(1);
        QCOMPARE(model->rowCount(model->index(0, 0)), 0);
        QCOMPARE(model->columnCount(model->index(0, 0)), 0);
    }

    void emptyCellsOfPartialRowShowNothing()
    {
        model->init(QByteArray(17, '\x05'));
        QCOMPARE(cell(*model, 1, 0), QStringLiteral("5"));
        for (int column = 1; column < 16; ++column)
            QVERIFY(!model->data(model->index(1, column)).isValid());
        QVERIFY(!model->data(model->index(0, 0), Qt::EditRole).isValid());
        QVERIFY(!model->data(QModelIndex()).isValid());
    }

    void cellTextInEveryFormat_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QRamTableModel::Type>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("bin 10") << 10 << QRamTableModel::Bin << "00001010";
        QTest::newRow("bin 255") << 255 << QRamTableModel::Bin << "11111111";
        QTest::newRow("oct 10") << 10 << QRamTableModel::Oct << "012";
        QTest::newRow("oct 255") << 255 << QRamTableModel::Oct << "377";
        QTest::newRow("dec 0") << 0 << QRamTableModel::Dec << "0";
        QTest::newRow("dec 255") << 255 << QRamTableModel::Dec << "255";
        QTest::newRow("hex 10") << 10 << QRamTableModel::Hex << "0a";
        QTest::newRow("hex 255") << 255 << QRamTableModel::Hex << "ff";
        QTest::newRow("ascii line feed") << 0x0A << QRamTableModel::ASCII << "\\x0a";
        QTest::newRow("ascii 7f") << 0x7F << QRamTableModel::ASCII << "\\x7f";
        QTest::newRow("ascii 1f") << 0x1F << QRamTableModel::ASCII << "\\x1f";
        QTest::newRow("ascii ff") << 0xFF << QRamTableModel::ASCII << "\\xff";
        QTest::newRow("ascii space") << 0x20 << QRamTableModel::ASCII << " ";
        QTest::newRow("ascii tilde") << 0x7E << QRamTableModel::ASCII << "~";
    }

    void cellTextInEveryFormat()
    {
        QFETCH(int, byte);
        QFETCH(QRamTableModel::Type, format);
        QFETCH(QString, text);
        model->init(QByteArray(1, char(byte)));
        model->setFormat(format);
        QCOMPARE(cell(*model, 0, 0), text);
    }

    void unknownFormatShowsNothing()
    {
        model->init(4);
        model->setFormat(QRamTableModel::Type(7));
        QVERIFY(!model->data(model->index(0, 0)).isValid());
    }

    void initBySizeFillsWithCharacterZero()
    {
        model->init(4);
        QCOMPARE(cell(*model, 0, 3), QStringLiteral("48"));
        model->setFormat(QRamTableModel::Hex);
        QCOMPARE(cell(*model, 0, 0), QStringLiteral("30"));
        model->setFormat(QRamTableModel::ASCII);
        QCOMPARE(cell(*model, 0, 0), QStringLiteral("0"));
        model->init(0);
        QCOMPARE(model->rowCount(), 0);
    }

    void initReplacesRowsWithRemoveAndInsert()
    {
        model->init(20);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        model->init(QByteArray(40, 'x'));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(2).toInt(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(inserted.at(0).at(2).toInt(), 2);
    }

    void headers_data()
    {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<int>("section");
        QTest::addColumn<QString>("text");
        QTest::newRow("column 0") << Qt::Horizontal << 0 << "0";
        QTest::newRow("column 15") << Qt::Horizontal << 15 << "f";
        QTest::newRow("row 0") << Qt::Vertical << 0 << "0000";
        QTest::newRow("row 1") << Qt::Vertical << 1 << "0010";
        QTest::newRow("row 255") << Qt::Vertical << 255 << "0ff0";
        QTest::newRow("row 4096") << Qt::Vertical << 4096 << "10000";
    }

    void headers()
    {
        QFETCH(Qt::Orientation, orientation);
        QFETCH(int, section);
        QFETCH(QString, text);
        QCOMPARE(model->headerData(section, orientation).toString(), text);
        QVERIFY(!model->headerData(section, orientation, Qt::ToolTipRole).isValid());
    }

    void syncSignalsWholeTableAlways()
    {
        model->init(QByteArray(20, 'a'));
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(model->sync(QByteArray(20, 'a')));
        QVERIFY(model->sync(QByteArray(20, 'b')));
        QCOMPARE(changed.count(), 2);
        const Change c = change(changed.at(1));
        QCOMPARE(c.first, QPoint(0, 0));
        QCOMPARE(c.last, QPoint(15, 1));
        QCOMPARE(c.roles, QVector<int>{Qt::DisplayRole});
        QCOMPARE(model->image(), QByteArray(20, 'b'));
    }

    void syncRefusesOtherSize()
    {
        model->init(QByteArray(20, 'a'));
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QVERIFY(!model->sync(QByteArray(19, 'b')));
        QVERIFY(!model->sync(QByteArray(21, 'b')));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model->image(), QByteArray(20, 'a'));
        model->init(0);
        QVERIFY(model->sync(QByteArray()));
    }

    void setSignalsOnlyWrittenCells_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("image");
        // Each rectangle signalled, as first and last cell (column, row).
        QTest::addColumn<QVector<QPoint>>("cells");
        const QByteArray zeros(64, '0');
        QTest::newRow("inside a row") << 3 << QByteArray("ab") << zeros.left(3) + "ab" + zeros.mid(5)
                                      << QVector<QPoint>{{3, 0}, {4, 0}};
        QTest::newRow("across two rows") << 14 << QByteArray("abcd") << zeros.left(14) + "abcd" + zeros.mid(18)
                                         << QVector<QPoint>{{14, 0}, {15, 0}, {0, 1}, {1, 1}};
        const QByteArray run(36, 'r');
        QTest::newRow("across four rows") << 15 << run << zeros.left(15) + run + zeros.mid(51)
                                          << QVector<QPoint>{{15, 0}, {15, 0}, {0, 1}, {15, 2}, {0, 3}, {2, 3}};
        QTest::newRow("clipped at the end") << 62 << QByteArray("abcd") << zeros.left(62) + "ab"
                                            << QVector<QPoint>{{14, 3}, {15, 3}};
        QTest::newRow("negative offset drops leading bytes") << -2 << QByteArray("abcd") << "cd" + zeros.mid(2)
                                                             << QVector<QPoint>{{0, 0}, {1, 0}};
    }

    void setSignalsOnlyWrittenCells()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, image);
        QFETCH(QVector<QPoint>, cells);
        model->init(64);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->set(offset, bytes);
        QCOMPARE(model->image(), image);
        QVector<QPoint> signalled;
        for (const QList<QVariant> &arguments : changed) {
            const Change c = change(arguments);
            QCOMPARE(c.roles, QVector<int>{Qt::DisplayRole});
            signalled << c.first << c.last;
        }
        QCOMPARE(signalled, cells);
    }

    void setOutsideOrEqualSignalsNothing_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("equal bytes") << 5 << QByteArray("000");
        QTest::newRow("empty run") << 5 << QByteArray();
        QTest::newRow("past the end") << 40 << QByteArray("ab");
        QTest::newRow("before the start") << -3 << QByteArray("abc");
        QTest::newRow("far before the start") << -2147483647 << QByteArray("abc");
    }

    void setOutsideOrEqualSignalsNothing()
    {
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        model->init(40);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->set(offset, bytes);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model->image(), QByteArray(40, '0'));
    }

    void updateSetsOneByte()
    {
        model->init(20);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->update(17, 0xFF);
        model->update(20, 1);
        model->update(-1, 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(change(changed.at(0)).first, QPoint(1, 1));
        QCOMPARE(change(changed.at(0)).last, QPoint(1, 1));
        QCOMPARE(cell(*model, 1, 1), QStringLiteral("255"));
    }

    void setFormatSignalsOnlyOnChange()
    {
        model->init(20);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy formats(model, &QRamTableModel::formatChanged);
        model->setFormat(QRamTableModel::Hex);
        model->setFormat(QRamTableModel::Hex);
        QCOMPARE(formats.count(), 1);
        QCOMPARE(formats.at(0).at(0).value<QRamTableModel::Type>(), QRamTableModel::Hex);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(change(changed.at(0)).last, QPoint(15, 1));
        QCOMPARE(model->property("format").value<QRamTableModel::Type>(), QRamTableModel::Hex);
    }

    void setFormatOnEmptyModelSignalsFormatOnly()
    {
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        QSignalSpy formats(model, &QRamTableModel::formatChanged);
        QVERIFY(model->setProperty("format", QVariant::fromValue(QRamTableModel::Bin)));
        QCOMPARE(formats.count(), 1);
        QCOMPARE(changed.count(), 0);
    }

    void formatSignalCrossesThreadsQueued()
    {
        QSignalSpy formats(model, &QRamTableModel::formatChanged);
        QRamTableModel::Type seen = QRamTableModel::Dec;
        QObject receiver;
        connect(model, &QRamTableModel::formatChanged, &receiver, [&](QRamTableModel::Type t) { seen = t; },
                Qt::QueuedConnection);
        model->setFormat(QRamTableModel::Oct);
        QTRY_COMPARE(seen, QRamTableModel::Oct);
    }

    void selectorClickSwitchesModelWithoutLoop()
    {
        QRamViewConfig config;
        model->connectController(&config);
        QSignalSpy selected(&config, &QRamViewConfig::selected);
        QSignalSpy formats(model, &QRamTableModel::formatChanged);
        auto *hexTool = config.findChild<QToolButton *>(QStringLiteral("hexTool"));
        QVERIFY(hexTool);
        QCOMPARE(hexTool->text(), QStringLiteral("16"));
        QTest::mouseClick(hexTool, Qt::LeftButton);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(formats.count(), 1);
        QCOMPARE(model->format(), QRamTableModel::Hex);
        QCOMPARE(config.currentType(), QRamTableModel::Hex);
    }

    void modelFormatMovesSelectorSilently()
    {
        QRamViewConfig config;
        model->connectController(&config);
        QSignalSpy selected(&config, &QRamViewConfig::selected);
        model->setFormat(QRamTableModel::ASCII);
        QCOMPARE(config.currentType(), QRamTableModel::ASCII);
        config.select(QRamTableModel::Type(9));
        QCOMPARE(config.currentType(), QRamTableModel::ASCII);
        QCOMPARE(selected.count(), 0);
    }

    void selectorButtons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QRamTableModel::Type>("type");
        QTest::newRow("bin") << "binTool" << "2" << "Binary" << QRamTableModel::Bin;
        QTest::newRow("oct") << "octTool" << "8" << "Octal" << QRamTableModel::Oct;
        QTest::newRow("dec") << "decTool" << "10" << "Decimal" << QRamTableModel::Dec;
        QTest::newRow("hex") << "hexTool" << "16" << "Hexadecimal" << QRamTableModel::Hex;
        QTest::newRow("ascii") << "asciiTool" << "A" << "ASCII" << QRamTableModel::ASCII;
    }

    void selectorButtons()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QString, toolTip);
        QFETCH(QRamTableModel::Type, type);
        QRamViewConfig config;
        QCOMPARE(config.currentType(), QRamTableModel::Dec);
        auto *tool = config.findChild<QToolButton *>(name);
        QVERIFY(tool);
        QCOMPARE(tool->text(), text);
        QCOMPARE(tool->toolTip(), toolTip);
        QSignalSpy selected(&config, &QRamViewConfig::selected);
        tool->click();
        QCOMPARE(config.currentType(), type);
        QCOMPARE(selected.count(), 1);
        QCOMPARE(selected.at(0).at(0).value<QRamTableModel::Type>(), type);
    }

private:
    QRamTableModel *model = nullptr;
    QAbstractItemModelTester *tester = nullptr;
};

QTEST_MAIN(RamTableModelTest)
#include "ram_table_model_test.moc"
