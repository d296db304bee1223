// The board package browser: the register tree with kinds, access bits and
// addresses, the defines table, the About fields, the current register's
// fields and the code snippets its tools hand out.

#include "form_child.h"
#include "kolmprojectbspview.h"
#include "qmaterialfont.h"
#include "test_packages.h"
#include "text_room.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

namespace {

const QStringList fieldNames = {"regGetEdit", "regSetEdit", "regReadEdit", "regWriteEdit"};
const QStringList toolNames = {"regGetTool", "regSetTool", "regReadTool", "regWriteTool"};

QTreeView* tree(const KolmProjectBSPView& dialog)
{
    return formChild<QTreeView>(dialog, "bspTable");
}

QString text(const KolmProjectBSPView& dialog, const QString& field)
{
    return formChild<QLineEdit>(dialog, field)->text();
}

// The tree index of a peripheral ("TIME") or a register ("TIME.YEAR").
QModelIndex indexOf(const KolmProjectBSPView& dialog, const QString& path, int column = 0)
{
    const QAbstractItemModel* model = tree(dialog)->model();
    const QStringList parts = path.split('.');
    const QModelIndex peripheral =
        model->match(model->index(0, 0), Qt::DisplayRole, parts[0], 1, Qt::MatchExactly).value(0);
    if (parts.size() == 1)
        return peripheral;
    for (int row = 0; row < model->rowCount(peripheral); ++row) {
        if (model->index(row, 0, peripheral).data().toString() == parts[1])
            return model->index(row, column, peripheral);
    }
    return QModelIndex();
}

void makeCurrent(KolmProjectBSPView& dialog, const QString& path)
{
    const QModelIndex index = indexOf(dialog, path);
    QVERIFY2(index.isValid(), qPrintable(path));
    tree(dialog)->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QList<bool> enabledFields(const KolmProjectBSPView& dialog)
{
    QList<bool> enabled;
    for (const QString& name : fieldNames)
        enabled << formChild<QLineEdit>(dialog, name)->isEnabled();
    return enabled;
}

QList<bool> enabledTools(const KolmProjectBSPView& dialog)
{
    QList<bool> enabled;
    for (const QString& name : toolNames)
        enabled << formChild<QToolButton>(dialog, name)->isEnabled();
    return enabled;
}

QImage image(const QIcon& icon)
{
    return icon.pixmap(QSize(24, 24)).toImage();
}

QStringList childTexts(const QAbstractItemModel* model, const QModelIndex& parent = QModelIndex())
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(parent); ++row)
        texts << model->index(row, 0, parent).data().toString();
    return texts;
}

} // namespace

class BspViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void initialState();
    void registerTree();
    void accessIcons();
    void definesAndAbout();
    void packageWithoutDefines();
    void treeOpensAscendingInNaturalOrder();
    void userSortKeepsNaturalOrder();
    void definesInNaturalOrder();
    void textsFitAtOwnSize_data();
    void textsFitAtOwnSize();
    void nullPackageKeepsContent();
    void secondPackageReplacesTree();
    void regName_data();
    void regName();
    void currentRegisterEnablesFields_data();
    void currentRegisterEnablesFields();
    void peripheralAfterRegisterClearsFields();
    void toolFollowsFieldText();
    void snippets_data();
    void snippets();
    void returnInFieldInsertsWithoutClosing();

private:
    std::unique_ptr<KolmBoardPackageParser> fixture;
    std::unique_ptr<KolmBoardPackageParser> bare;
    std::unique_ptr<KolmBoardPackageParser> emulator;
    std::unique_ptr<KolmBoardPackageParser> numberedNames;
};

void BspViewTest::initTestCase()
{
    fixture = testPackage("fixture.kbsp");
    bare = testPackage("bare.kbsp");
    emulator = builtinPackage("Emulator.kbsp");
    numberedNames = testPackage("numbered.kbsp");
    QVERIFY(fixture && bare && emulator && numberedNames);
}

void BspViewTest::initialState()
{
    KolmProjectBSPView dialog;
    QCOMPARE(dialog.windowTitle(), QString("Board Support Package"));
    QCOMPARE(dialog.size(), QSize(977, 644));
    QCOMPARE(tree(dialog)->model(), nullptr);
    QCOMPARE(formChild<QTableWidget>(dialog, "definesTable")->rowCount(), 0);
    for (const char* field : {"bspNameView", "bspRamView", "bspDataView", "bspPeriphView"}) {
        QCOMPARE(text(dialog, field), QString());
        QVERIFY(formChild<QLineEdit>(dialog, field)->isReadOnly());
    }
    QVERIFY(!formChild<QGroupBox>(dialog, "registerGroup")->isEnabled());
    QCOMPARE(enabledTools(dialog), QList<bool>({false, false, false, false}));
}

void BspViewTest::registerTree()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());
    const QAbstractItemModel* model = tree(dialog)->model();

    QCOMPARE(model->columnCount(), 7);
    QStringList headers;
    for (int column = 0; column < model->columnCount(); ++column)
        headers << model->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(headers, QStringList({"Peripheral", "Address", "Get", "Set", "Read", "Write", "Transceive"}));
    QCOMPARE(model->rowCount(), 3);
    QCOMPARE(tree(dialog)->editTriggers(), QAbstractItemView::NoEditTriggers);

    const QModelIndex pin = indexOf(dialog, "PA0");
    QCOMPARE(pin.data(KolmProjectBSPView::KindRole).toInt(), int(KolmProjectBSPView::PeripheralItem));
    QCOMPARE(model->rowCount(pin), 3);
    QCOMPARE(model->rowCount(indexOf(dialog, "EMPTY")), 0);

    const QModelIndex volts = indexOf(dialog, "PA0.VOLTS");
    QCOMPARE(volts.data(KolmProjectBSPView::KindRole).toInt(), int(KolmProjectBSPView::RegisterNameItem));
    QCOMPARE(volts.data(KolmProjectBSPView::AccessRole).toUInt(), 1u);
    QCOMPARE(indexOf(dialog, "PA0.VALUE").data(KolmProjectBSPView::AccessRole).toUInt(), 3u);
    QCOMPARE(indexOf(dialog, "LINK.BULK").data(KolmProjectBSPView::AccessRole).toUInt(), 4u | 8u | 16u);

    const QModelIndex address = indexOf(dialog, "PA0.VOLTS", 1);
    QCOMPARE(address.data().toString(), QString("0x00100004"));
    QCOMPARE(address.data(KolmProjectBSPView::KindRole).toInt(), int(KolmProjectBSPView::AddressItem));
    QCOMPARE(indexOf(dialog, "LINK.DATA", 1).data().toString(), QString("0x00300010"));
    for (int column = 2; column < 7; ++column) {
        const QModelIndex access = indexOf(dialog, "PA0.VOLTS", column);
        QCOMPARE(access.data().toString(), QString());
        QCOMPARE(access.data(KolmProjectBSPView::KindRole).toInt(), int(KolmProjectBSPView::AccessItem));
    }
}

void BspViewTest::accessIcons()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());

    const QMaterialIcon* icons = QMaterialIcon::instance();
    const QImage granted = image(QMaterialIcon::icon("check_circle", icons->color(QMaterialIcon::Success)));
    const QImage refused = image(QMaterialIcon::icon("block", icons->color(QMaterialIcon::Error)));
    QVERIFY(!granted.isNull());
    QVERIFY(granted != refused);

    // LINK.BULK: Read, Write and Transceive, but neither Get nor Set.
    const QList<bool> rights = {false, false, true, true, true};
    for (int i = 0; i < rights.size(); ++i) {
        const QIcon icon = indexOf(dialog, "LINK.BULK", 2 + i).data(Qt::DecorationRole).value<QIcon>();
        QCOMPARE(image(icon), rights[i] ? granted : refused);
    }
    const QIcon board = indexOf(dialog, "LINK").data(Qt::DecorationRole).value<QIcon>();
    QCOMPARE(image(board), image(QMaterialIcon::icon("developer_board")));
}

void BspViewTest::definesAndAbout()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());

    const QTableWidget* defines = formChild<QTableWidget>(dialog, "definesTable");
    QCOMPARE(defines->columnCount(), 2);
    QCOMPARE(defines->horizontalHeaderItem(0)->text(), QString("Name"));
    QCOMPARE(defines->horizontalHeaderItem(1)->text(), QString("Value"));
    QVERIFY(defines->verticalHeader()->isHidden());
    QCOMPARE(defines->editTriggers(), QAbstractItemView::NoEditTriggers);
    QSet<QString> rows;
    for (int row = 0; row < defines->rowCount(); ++row)
        rows << defines->item(row, 0)->text() + "=" + defines->item(row, 1)->text();
    QCOMPARE(rows, QSet<QString>({"LED=5", "while=\"loop\""}));

    QCOMPARE(text(dialog, "bspNameView"), QString("Fixture [sizeof(var)==4)]"));
    QCOMPARE(text(dialog, "bspRamView"), QString("[0x20000000:0x200003ff]"));
    QCOMPARE(text(dialog, "bspDataView"), QString("0x08001000"));
    QCOMPARE(text(dialog, "bspPeriphView"), QString("0x40000000"));
}

void BspViewTest::packageWithoutDefines()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(bare.get());

    const QTableWidget* defines = formChild<QTableWidget>(dialog, "definesTable");
    QCOMPARE(defines->columnCount(), 2);
    QCOMPARE(defines->rowCount(), 0);
    QCOMPARE(defines->horizontalHeaderItem(0), nullptr);
    QCOMPARE(defines->model()->headerData(1, Qt::Horizontal).toString(), QString("2"));
    QVERIFY(!defines->verticalHeader()->isHidden());
    QCOMPARE(tree(dialog)->model()->rowCount(), 0);

    // An empty RAM ends just before it starts, in 32 bits.
    QCOMPARE(text(dialog, "bspRamView"), QString("[0x00000000:0xffffffff]"));
    QCOMPARE(text(dialog, "bspNameView"), QString("Bare [sizeof(var)==2)]"));
}

void BspViewTest::treeOpensAscendingInNaturalOrder()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(emulator.get());
    QCOMPARE(tree(dialog)->header()->sortIndicatorSection(), 0);
    QCOMPARE(tree(dialog)->header()->sortIndicatorOrder(), Qt::AscendingOrder);

    const QStringList peripherals = childTexts(tree(dialog)->model());
    QCOMPARE(peripherals.first(), QString("FLASH"));
    QCOMPARE(peripherals.last(), QString("TIME"));
    const int first = peripherals.indexOf("PA0");
    QCOMPARE(peripherals.mid(first, 16), numbered("PA", 0, 15));

    dialog.setBSP(numberedNames.get());
    const QAbstractItemModel* model = tree(dialog)->model();
    QCOMPARE(childTexts(model, model->index(0, 0)), numbered("CH", 1, 12));
}

// A click on the header sorts the other way round, still counting numbers.
void BspViewTest::userSortKeepsNaturalOrder()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(numberedNames.get());
    tree(dialog)->sortByColumn(0, Qt::DescendingOrder);
    const QAbstractItemModel* model = tree(dialog)->model();
    QCOMPARE(childTexts(model), QStringList({"CALIBRATION", "ADC"}));
    QStringList channels = numbered("CH", 1, 12);
    std::reverse(channels.begin(), channels.end());
    QCOMPARE(childTexts(model, model->index(1, 0)), channels);
}

void BspViewTest::definesInNaturalOrder()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(numberedNames.get());
    const QTableWidget* defines = formChild<QTableWidget>(dialog, "definesTable");
    QStringList rows;
    for (int row = 0; row < defines->rowCount(); ++row)
        rows << defines->item(row, 0)->text() + "=" + defines->item(row, 1)->text();
    QStringList expected;
    for (int number = 1; number <= 12; ++number)
        expected << QString("CH%1=%1").arg(number);
    QCOMPARE(rows, expected);
}

void BspViewTest::textsFitAtOwnSize_data()
{
    QTest::addColumn<bool>("builtinPackage");
    QTest::newRow("emulator") << true;
    QTest::newRow("long register name") << false;
}

// Shown at its own size, the dialog shows all seven columns, every register
// name and address, and the About fields whole.
void BspViewTest::textsFitAtOwnSize()
{
    QFETCH(bool, builtinPackage);

    KolmProjectBSPView dialog;
    dialog.setBSP(builtinPackage ? emulator.get() : numberedNames.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTreeView* view = tree(dialog);
    view->expandAll();

    const QHeaderView* header = view->header();
    QVERIFY(header->sectionViewportPosition(6) + header->sectionSize(6) <= view->viewport()->width());
    for (int column = 0; column < 7; ++column)
        QVERIFY2(header->sectionSize(column) >= header->sectionSizeHint(column), qPrintable(QString::number(column)));

    const QAbstractItemModel* model = view->model();
    const QFontMetrics metrics = view->fontMetrics();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex peripheral = model->index(row, 0);
        for (int child = 0; child < model->rowCount(peripheral); ++child) {
            for (int column : {0, 1}) {
                const QModelIndex index = model->index(child, column, peripheral);
                const QString text = index.data().toString();
                QVERIFY2(metrics.horizontalAdvance(text) <= textRoom(view, index), qPrintable(text));
            }
        }
    }
    for (const char* name : {"bspNameView", "bspRamView", "bspDataView", "bspPeriphView"}) {
        const QLineEdit* field = formChild<QLineEdit>(dialog, name);
        QVERIFY2(field->fontMetrics().horizontalAdvance(field->text()) <= textRoom(field), name);
    }
}

void BspViewTest::nullPackageKeepsContent()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());
    const QAbstractItemModel* model = tree(dialog)->model();

    dialog.setBSP(nullptr);
    QCOMPARE(tree(dialog)->model(), model);
    QCOMPARE(text(dialog, "bspNameView"), QString("Fixture [sizeof(var)==4)]"));
}

void BspViewTest::secondPackageReplacesTree()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());
    QPointer<QAbstractItemModel> first = tree(dialog)->model();

    dialog.setBSP(emulator.get());
    QVERIFY(first.isNull());
    QVERIFY(indexOf(dialog, "RING.ALLOC").isValid());
    QVERIFY(!indexOf(dialog, "PA0.VOLTS").isValid());
    QCOMPARE(text(dialog, "bspNameView"), QString("Emulator [sizeof(var)==4)]"));

    // The new tree's current row still drives the Register group.
    makeCurrent(dialog, "RING.ALLOC");
    QVERIFY(formChild<QGroupBox>(dialog, "registerGroup")->isEnabled());
}

void BspViewTest::regName_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("name");

    QTest::newRow("register name") << "TIME.YEAR" << 0 << "TIME.YEAR";
    QTest::newRow("address") << "TIME.YEAR" << 1 << "TIME.YEAR";
    QTest::newRow("access") << "MSG.RX" << 6 << "MSG.RX";
    QTest::newRow("expanded template") << "PI15.MODE" << 3 << "PI15.MODE";
    QTest::newRow("peripheral") << "TIME" << 0 << "";
}

void BspViewTest::regName()
{
    QFETCH(QString, path);
    QFETCH(int, column);
    QFETCH(QString, name);

    KolmProjectBSPView dialog;
    dialog.setBSP(emulator.get());
    const QModelIndex index = indexOf(dialog, path, column);
    QVERIFY(index.isValid());
    QCOMPARE(dialog.regName(index), name);
    QCOMPARE(dialog.regName(QModelIndex()), QString());
}

void BspViewTest::currentRegisterEnablesFields_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QList<bool>>("fields");

    QTest::newRow("get and set") << "PA0.VALUE" << QList<bool>{true, true, false, false};
    QTest::newRow("get only") << "PA0.VOLTS" << QList<bool>{true, false, false, false};
    QTest::newRow("transceive alone enables writing") << "LINK.DATA" << QList<bool>{false, false, false, true};
    QTest::newRow("read, write, transceive") << "LINK.BULK" << QList<bool>{false, false, true, true};
    QTest::newRow("peripheral") << "PA0" << QList<bool>{false, false, false, false};
}

void BspViewTest::currentRegisterEnablesFields()
{
    QFETCH(QString, path);
    QFETCH(QList<bool>, fields);

    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());
    QVERIFY(!formChild<QGroupBox>(dialog, "registerGroup")->isEnabled());

    makeCurrent(dialog, path);
    QVERIFY(formChild<QGroupBox>(dialog, "registerGroup")->isEnabled());
    QCOMPARE(enabledFields(dialog), fields);
    QCOMPARE(enabledTools(dialog), QList<bool>({false, false, false, false}));
}

void BspViewTest::peripheralAfterRegisterClearsFields()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());
    makeCurrent(dialog, "LINK.BULK");
    formChild<QLineEdit>(dialog, "regReadEdit")->setText("buf, 4");
    formChild<QLineEdit>(dialog, "regWriteEdit")->setText("src, 4");
    QCOMPARE(enabledTools(dialog), QList<bool>({false, false, true, true}));

    makeCurrent(dialog, "LINK");
    for (const QString& field : fieldNames)
        QCOMPARE(text(dialog, field), QString());
    QCOMPARE(enabledFields(dialog), QList<bool>({false, false, false, false}));
    QCOMPARE(enabledTools(dialog), QList<bool>({false, false, false, false}));
}

void BspViewTest::toolFollowsFieldText()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(fixture.get());
    makeCurrent(dialog, "PA0.VALUE");
    QLineEdit* field = formChild<QLineEdit>(dialog, "regSetEdit");
    field->setText("x");
    QCOMPARE(enabledTools(dialog), QList<bool>({false, true, false, false}));
    field->setText(" ");
    QCOMPARE(enabledTools(dialog), QList<bool>({false, true, false, false}));
    field->clear();
    QCOMPARE(enabledTools(dialog), QList<bool>({false, false, false, false}));
}

void BspViewTest::snippets_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QStringList>("emitted");

    QTest::newRow("assign") << "RING.ALLOC" << "regGetEdit" << "y" << QStringList{"y = RING.ALLOC;"};
    QTest::newRow("assign keeps blanks")
        << "RING.ALLOC" << "regGetEdit" << " y " << QStringList{" y  = RING.ALLOC;"};
    QTest::newRow("set") << "RING.ALLOC" << "regSetEdit" << "5" << QStringList{"RING.ALLOC = 5;"};
    QTest::newRow("read") << "MSG.RX" << "regReadEdit" << "buf , 4"
                          << QStringList{"memcpy(buf, &MSG.RX, 4);"};
    QTest::newRow("read with an empty size")
        << "MSG.RX" << "regReadEdit" << "buf," << QStringList{"memcpy(buf, &MSG.RX, );"};
    QTest::newRow("read without a comma") << "MSG.RX" << "regReadEdit" << "buf" << QStringList{};
    QTest::newRow("read with two commas") << "MSG.RX" << "regReadEdit" << "a,b,c" << QStringList{};
    QTest::newRow("write from memory")
        << "MSG.TX" << "regWriteEdit" << "src, 8" << QStringList{"memcpy(&MSG.TX, src, 8);"};
    QTest::newRow("write a literal")
        << "MSG.TX" << "regWriteEdit" << "\"abc\"" << QStringList{"memcpy(&MSG.TX, \"abc\", 5);"};
    QTest::newRow("literal with commas is whole")
        << "MSG.TX" << "regWriteEdit" << "\"a,b\"" << QStringList{"memcpy(&MSG.TX, \"a,b\", 5);"};
    QTest::newRow("two quotes are no literal") << "MSG.TX" << "regWriteEdit" << "\"\"" << QStringList{};
    QTest::newRow("blank before the quote is no literal")
        << "MSG.TX" << "regWriteEdit" << " \"a,b\"" << QStringList{"memcpy(&MSG.TX, \"a, b\");"};
    QTest::newRow("write with two commas") << "MSG.TX" << "regWriteEdit" << "a,b,c" << QStringList{};
}

void BspViewTest::snippets()
{
    QFETCH(QString, path);
    QFETCH(QString, field);
    QFETCH(QString, input);
    QFETCH(QStringList, emitted);

    KolmProjectBSPView dialog;
    dialog.setBSP(emulator.get());
    makeCurrent(dialog, path);
    QSignalSpy insert(&dialog, &KolmProjectBSPView::insert);

    QLineEdit* edit = formChild<QLineEdit>(dialog, field);
    QVERIFY(edit->isEnabled());
    edit->setText(input);
    formChild<QToolButton>(dialog, toolNames.at(fieldNames.indexOf(field)))->click();

    QStringList texts;
    for (const QList<QVariant>& arguments : insert)
        texts << arguments.at(0).toString();
    QCOMPARE(texts, emitted);
}

void BspViewTest::returnInFieldInsertsWithoutClosing()
{
    KolmProjectBSPView dialog;
    dialog.setBSP(emulator.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    makeCurrent(dialog, "RING.ALLOC");
    QSignalSpy insert(&dialog, &KolmProjectBSPView::insert);
    QSignalSpy finished(&dialog, &QDialog::finished);

    QLineEdit* get = formChild<QLineEdit>(dialog, "regGetEdit");
    get->setFocus();
    QTest::keyClick(get, Qt::Key_Return);
    QVERIFY(dialog.isVisible());
    QCOMPARE(insert.count(), 0);

    QTest::keyClicks(get, "v");
    QTest::keyClick(get, Qt::Key_Return);
    QTest::keyClick(formChild<QLineEdit>(dialog, "regSetEdit"), Qt::Key_Enter);
    QCOMPARE(insert.count(), 1);
    QCOMPARE(insert.at(0).at(0).toString(), QString("v = RING.ALLOC;"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(finished.count(), 0);
}

QTEST_MAIN(BspViewTest)
#include "bsp_view_test.moc"
