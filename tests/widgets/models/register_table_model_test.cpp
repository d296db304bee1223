// The register table: named values in octal, decimal and hexadecimal,
// filled from lists or maps, refreshed as a whole or one row at a time, and
// its selector linked to the model.

#include "qregistertablemodel.h"
#include "qregisterviewconfig.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

namespace {

QString value(const QRegisterTableModel &model, int row)
{
    return model.data(model.index(row, 1)).toString();
}

QString name(const QRegisterTableModel &model, int row)
{
    return model.data(model.index(row, 0)).toString();
}

} // namespace

class RegisterTableModelTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        model = new QRegisterTableModel(this);
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest, model);
    }

    void cleanup()
    {
        delete model;
    }

    void valueTextInEveryFormat_data()
    {
        QTest::addColumn<uint>("number");
        QTest::addColumn<QRegisterTableModel::Type>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("oct 0") << 0u << QRegisterTableModel::Oct << "0";
        QTest::newRow("oct 8") << 8u << QRegisterTableModel::Oct << "010";
        QTest::newRow("oct all ones") << 0xFFFFFFFFu << QRegisterTableModel::Oct << "037777777777";
        QTest::newRow("dec 0") << 0u << QRegisterTableModel::Dec << "0";
        QTest::newRow("dec all ones") << 0xFFFFFFFFu << QRegisterTableModel::Dec << "4294967295";
        QTest::newRow("hex 255") << 255u << QRegisterTableModel::Hex << "000000ff";
        QTest::newRow("hex all ones") << 0xFFFFFFFFu << QRegisterTableModel::Hex << "ffffffff";
    }

    void valueTextInEveryFormat()
    {
        QFETCH(uint, number);
        QFETCH(QRegisterTableModel::Type, format);
        QFETCH(QString, text);
        model->init(QStringList{QStringLiteral("%EAX")}, {number});
        model->setFormat(format);
        QCOMPARE(name(*model, 0), QStringLiteral("%EAX"));
        QCOMPARE(value(*model, 0), text);
    }

    void countsAndHeaders()
    {
        model->init(QStringList{"a", "b", "c"}, {1, 2, 3});
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->columnCount(), 2);
        QCOMPARE(model->rowCount(model->index(0, 0)), 0);
        QCOMPARE(model->columnCount(model->index(0, 0)), 0);
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Name"));
        QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Value"));
        QVERIFY(!model->headerData(2, Qt::Horizontal).isValid());
        QCOMPARE(model->headerData(0, Qt::Vertical).toString(), QStringLiteral("0"));
        QCOMPARE(model->headerData(2, Qt::Vertical).toString(), QStringLiteral("2"));
        QVERIFY(!model->headerData(0, Qt::Vertical, Qt::ToolTipRole).isValid());
    }

    void dataOutsideRowsOrRolesIsInvalid()
    {
        model->init(QStringList{"a"}, {1});
        QVERIFY(!model->data(model->index(0, 1), Qt::EditRole).isValid());
        QVERIFY(!model->data(QModelIndex()).isValid());
        QVERIFY(!model->data(model->index(1, 0)).isValid());
        model->setFormat(QRegisterTableModel::Type(5));
        QVERIFY(!model->data(model->index(0, 1)).isValid());
        QCOMPARE(name(*model, 0), QStringLiteral("a"));
    }

    void initFromListsPadsMissingValues()
    {
        model->init(QStringList{"a", "b", "c"}, {7, 8});
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(value(*model, 2), QStringLiteral("0"));
        model->init(QStringList{"a"}, {7, 8, 9});
        QCOMPARE(model->rowCount(), 1);
        QCOMPARE(value(*model, 0), QStringLiteral("7"));
    }

    void initFromMapSortsByName()
    {
        QMap<QString, QVariant> map;
        map.insert(QStringLiteral("b"), 2);
        map.insert(QStringLiteral("a"), QStringLiteral("17"));
        map.insert(QStringLiteral("c"), QStringLiteral("text"));
        model->init(map);
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(name(*model, 0), QStringLiteral("a"));
        QCOMPARE(value(*model, 0), QStringLiteral("17"));
        QCOMPARE(name(*model, 1), QStringLiteral("b"));
        QCOMPARE(value(*model, 2), QStringLiteral("0"));
    }

    void initWithEmptyInputEmptiesModel()
    {
        model->init(QStringList{"a", "b"}, {});
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        model->init(QMap<QString, QVariant>());
        QCOMPARE(model->rowCount(), 0);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(inserted.count(), 0);
    }

    void syncSignalsValueColumnAlways()
    {
        model->init(QStringList{"a", "b"}, {1, 2});
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->sync({1, 2});
        model->sync({3, 4});
        QCOMPARE(changed.count(), 2);
        const auto topLeft = changed.at(1).at(0).value<QModelIndex>();
        const auto bottomRight = changed.at(1).at(1).value<QModelIndex>();
        QCOMPARE(topLeft, model->index(0, 1));
        QCOMPARE(bottomRight, model->index(1, 1));
        QCOMPARE(changed.at(1).at(2).value<QVector<int>>(), QVector<int>{Qt::DisplayRole});
        QCOMPARE(value(*model, 1), QStringLiteral("4"));
    }

    void syncWithOtherCountChangesNothing()
    {
        model->init(QStringList{"a", "b"}, {1, 2});
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->sync({9});
        model->sync({9, 9, 9});
        QCOMPARE(changed.count(), 0);
        QCOMPARE(value(*model, 0), QStringLiteral("1"));
    }

    void updateOneRowAndIgnoreOutOfRange()
    {
        model->init(QStringList{"a", "b"}, {1, 2});
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->update(1, 0xFFFFFFFFu);
        model->update(2, 5);
        model->update(-1, 5);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>(), model->index(1, 1));
        QCOMPARE(changed.at(0).at(1).value<QModelIndex>(), model->index(1, 1));
        QCOMPARE(value(*model, 1), QStringLiteral("4294967295"));
    }

    void setFormatSignalsOnlyOnChange()
    {
        QSignalSpy formats(model, &QRegisterTableModel::formatChanged);
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        model->setFormat(QRegisterTableModel::Hex);
        QCOMPARE(formats.count(), 1);
        QCOMPARE(changed.count(), 0);
        model->init(QStringList{"a"}, {1});
        model->setFormat(QRegisterTableModel::Hex);
        QCOMPARE(formats.count(), 1);
        QVERIFY(model->setProperty("format", QVariant::fromValue(QRegisterTableModel::Oct)));
        QCOMPARE(formats.count(), 2);
        QCOMPARE(changed.count(), 1);
    }

    void selectorAndModelFollowEachOther()
    {
        QRegisterViewConfig config;
        model->connectController(&config);
        QCOMPARE(config.currentType(), QRegisterTableModel::Dec);
        QSignalSpy selected(&config, &QRegisterViewConfig::selected);
        auto *octTool = config.findChild<QToolButton *>(QStringLiteral("octTool"));
        QVERIFY(octTool);
        QCOMPARE(octTool->toolTip(), QStringLiteral("Octal"));
        QTest::mouseClick(octTool, Qt::LeftButton);
        QCOMPARE(model->format(), QRegisterTableModel::Oct);
        QCOMPARE(selected.count(), 1);
        model->setFormat(QRegisterTableModel::Hex);
        QCOMPARE(config.currentType(), QRegisterTableModel::Hex);
        QCOMPARE(selected.count(), 1);
        config.select(QRegisterTableModel::Type(-1));
        QCOMPARE(config.currentType(), QRegisterTableModel::Hex);
    }

private:
    QRegisterTableModel *model = nullptr;
};

QTEST_MAIN(RegisterTableModelTest)
#include "register_table_model_test.moc"
