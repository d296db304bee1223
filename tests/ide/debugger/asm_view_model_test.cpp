// The disassembly table model under Qt's model tester, its cases as one
// table: a listing, the addresses reported after it, and what the table
// then shows.

#include "asmviewmodel.h"
#include "qmaterialfont.h"

#include <QAbstractItemModelTester>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(QList<uint>)

namespace {

QJsonArray listing(const char *json)
{
    return QJsonDocument::fromJson(json).array();
}

QStringList cells(const AsmViewModel &model)
{
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList columns;
        for (int column = 0; column < model.columnCount(); ++column)
            columns << model.data(model.index(row, column)).toString();
        rows << columns.join('|');
    }
    return rows;
}

QList<int> markedRows(const AsmViewModel &model)
{
    QList<int> rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QVariant background = model.data(model.index(row, 1), Qt::BackgroundRole);
        if (background.isValid()) {
            if (background.value<QColor>() != QMaterialIcon::instance()->color(QMaterialIcon::Warning))
                return {-1};
            rows << row;
        }
    }
    return rows;
}

QList<int> ints(const QSignalSpy &spy)
{
    QList<int> list;
    for (const QList<QVariant> &signal : spy)
        list << signal.at(0).toInt();
    return list;
}

} // namespace

class AsmViewModelTest : public QObject {
    Q_OBJECT

private slots:
    void table_data();
    void table();
    void refillDropsAddress();
    void refillKeepsMark();
    void headers();
};

void AsmViewModelTest::table_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QList<uint>>("eips");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QList<int>>("marked");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("insertions");

    QTest::newRow("no mnemonic, no arguments")
        << QByteArray(R"([{"EIP":16,"opcode":3,"opname":"","args":[]}])") << QList<uint>()
        << QStringList{"0x00000010|0x03|"} << QList<int>() << QList<int>() << 1;
    QTest::newRow("mnemonic and string arguments")
        << QByteArray(R"([{"EIP":28,"opcode":10,"opname":"M","args":["%EAX","5"]}])") << QList<uint>()
        << QStringList{"0x0000001c|M (0x0a)|%EAX, 5"} << QList<int>() << QList<int>() << 1;
    QTest::newRow("number arguments in shortest form")
        << QByteArray(R"([{"EIP":4294967294,"opcode":255,"opname":"X","args":[5,2.5,4294967295]}])")
        << QList<uint>() << QStringList{"0xfffffffe|X (0xff)|5, 2.5, 4294967295"} << QList<int>() << QList<int>()
        << 1;
    QTest::newRow("missing keys and wrong types give 0")
        << QByteArray(R"([{}, 5, {"EIP":1.5,"opcode":"7","opname":7,"args":"a"}, {"EIP":-4,"opcode":2}])")
        << QList<uint>() << QStringList{"0x00000000|0x00|", "0x00000000|0x00|", "0x00000000|0x00|", "0x00000000|0x02|"}
        << QList<int>() << QList<int>() << 1;
    QTest::newRow("duplicate address: both marked, later selected")
        << QByteArray(R"([{"EIP":8,"opcode":1},{"EIP":8,"opcode":2},{"EIP":12,"opcode":3}])") << QList<uint>{8}
        << QStringList{"0x00000008|0x01|", "0x00000008|0x02|", "0x0000000c|0x03|"} << QList<int>{0, 1}
        << QList<int>{1} << 1;
    QTest::newRow("mark moves on")
        << QByteArray(R"([{"EIP":0,"opcode":1},{"EIP":4,"opcode":2},{"EIP":8,"opcode":3}])") << QList<uint>{4, 8}
        << QStringList{"0x00000000|0x01|", "0x00000004|0x02|", "0x00000008|0x03|"} << QList<int>{2}
        << QList<int>{1, 2} << 1;
    QTest::newRow("same address twice emits once")
        << QByteArray(R"([{"EIP":0,"opcode":1},{"EIP":4,"opcode":2}])") << QList<uint>{4, 4}
        << QStringList{"0x00000000|0x01|", "0x00000004|0x02|"} << QList<int>{1} << QList<int>{1} << 1;
    QTest::newRow("address outside the listing")
        << QByteArray(R"([{"EIP":0,"opcode":1}])") << QList<uint>{0, 99} << QStringList{"0x00000000|0x01|"}
        << QList<int>() << QList<int>{0} << 1;
    QTest::newRow("empty array") << QByteArray("[]") << QList<uint>{0} << QStringList() << QList<int>()
                                 << QList<int>() << 0;
}

void AsmViewModelTest::table()
{
    QFETCH(QByteArray, json);
    QFETCH(QList<uint>, eips);
    QFETCH(QStringList, shown);
    QFETCH(QList<int>, marked);
    QFETCH(QList<int>, selected);
    QFETCH(int, insertions);
    AsmViewModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy rowSelected(&model, &AsmViewModel::rowSelected);
    model.fill(QJsonDocument::fromJson(json).array());
    for (uint eip : eips)
        model.setEip(eip);
    QCOMPARE(cells(model), shown);
    QCOMPARE(markedRows(model), marked);
    QCOMPARE(ints(rowSelected), selected);
    QCOMPARE(inserted.count(), insertions);
    QCOMPARE(model.eip(), eips.isEmpty() ? AsmViewModel::NoEip : eips.last());
}

void AsmViewModelTest::refillDropsAddress()
{
    AsmViewModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy rowSelected(&model, &AsmViewModel::rowSelected);
    model.fill(listing(R"([{"EIP":0},{"EIP":4}])"));
    model.setEip(0);
    model.fill(listing(R"([{"EIP":0},{"EIP":8}])"));
    model.setEip(4);
    QCOMPARE(markedRows(model), QList<int>());
    QCOMPARE(ints(rowSelected), QList<int>{0});
    model.clear();
    QCOMPARE(model.rowCount(), 0);
    QCOMPARE(model.eip(), tvar(4));
}

void AsmViewModelTest::refillKeepsMark()
{
    AsmViewModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy rowSelected(&model, &AsmViewModel::rowSelected);
    model.setEip(8);
    model.fill(listing(R"([{"EIP":4},{"EIP":8}])"));
    QCOMPARE(markedRows(model), QList<int>{1});
    QCOMPARE(rowSelected.count(), 0);
    QCOMPARE(model.property("eip").toUInt(), 8u);
}

void AsmViewModelTest::headers()
{
    AsmViewModel model;
    QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Address"));
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Opcode"));
    QCOMPARE(model.headerData(2, Qt::Horizontal).toString(), QStringLiteral("Arguments"));
    QVERIFY(!model.headerData(3, Qt::Horizontal).isValid());
    QVERIFY(!model.headerData(0, Qt::Vertical).isValid());
    QVERIFY(!model.headerData(0, Qt::Horizontal, Qt::ToolTipRole).isValid());
    model.fill(listing(R"([{"EIP":0,"opcode":1,"opname":"A"}])"));
    QVERIFY(!model.data(model.index(0, 0), Qt::ToolTipRole).isValid());
    QVERIFY(!model.data(model.index(0, 0), Qt::BackgroundRole).isValid());
}

QTEST_MAIN(AsmViewModelTest)
#include "asm_view_model_test.moc"
