// The debugger page: construction, the stepping mode, the machine state
// views, the listing with its debug symbols and the source view.

#include "debug_project.h"
#include "form_child.h"
#include "kolm_opcodes.h"
#include "qmaterialfont.h"
#include "qsourceeditor.h"
#include "qsyntaxstyle.h"
#include "source_highlight.h"
#include "temp_settings.h"
#include "themedetector.h"
#include "zuasmdebugger.h"

#include <QComboBox>
#include <QCheckBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QToolBox>
#include <QTreeView>

#include <climits>

namespace {

const QByteArray kSource = "0123456789\nabcdefghij\nABCDEFGHIJ\n";

QJsonObject location(int start, int end, int fromLine, int fromColumn, int toLine, int toColumn, int idx = 0)
{
    return {{"start", start},
            {"end", end},
            {"idx", idx},
            {"from", QJsonObject{{"line", fromLine}, {"column", fromColumn}}},
            {"to", QJsonObject{{"line", toLine}, {"column", toColumn}}}};
}

QJsonObject symbols(const QJsonArray &locations, const QJsonArray &files = {"main.kos"})
{
    return {{"type", "DS"}, {"data", QJsonObject{{"files", files}, {"debug_loc", locations}}}};
}

QByteArray listing(const QJsonArray &extensions)
{
    QJsonArray text;
    for (int eip = 0; eip < 0x80; eip += 4)
        text.append(QJsonObject{{"EIP", eip}, {"opcode", 1}, {"opname", "NOP"}, {"args", QJsonArray()}});
    return QJsonDocument(QJsonObject{{"table", QJsonObject{{"main", 0}}}, {"text", text}, {"extensions", extensions}})
        .toJson();
}

QStringList repeated(int count, const QString &text)
{
    QStringList list;
    for (int i = 0; i < count; ++i)
        list << text;
    return list;
}

QStringList column(const QAbstractItemModel *model, int col)
{
    QStringList list;
    for (int row = 0; row < model->rowCount(); ++row)
        list << model->data(model->index(row, col)).toString();
    return list;
}

} // namespace

class ZuAsmDebuggerTest : public QObject {
    Q_OBJECT

private slots:
    void construction();
    void modeRule();
    void themes_data();
    void themes();
    void setupRegs_data();
    void setupRegs();
    void sizesBounded();
    void ramImageAndStack();
    void chunksOutsideImage();
    void flags_data();
    void flags();
    void clearKeepsTreeUntilRefresh();
    void registersOfWrongLength();
    void listingTable();
    void listingColumnsHoldTheirWidestTexts();
    void firstSymbolsOnly();
    void listingWithoutSymbols();
    void notAListing();
    void locationChoice_data();
    void locationChoice();
    void touchingRanges();
    void highlight_data();
    void highlight();
    void sourceBesideMainFile();
    void missingSourceFile();
    void runToMain();
    void stepsStopWithoutSource();
    void sourceChoiceBeforeLocation();
    void collapsiblePanel();

private:
    struct Page {
        ZuASMDebugger page;
        QSourceEditor *editor = formChild<QSourceEditor>(page, "codeEditor");
        QStackedWidget *stack = formChild<QStackedWidget>(page, "stackedWidget");
        QComboBox *combo = formChild<QComboBox>(page, "codeViewCombo");
        QAbstractItemModel *tree = formChild<QTreeView>(page, "runtimeTree")->model();
        QAbstractItemModel *regs = formChild<QTableView>(page, "registersView")->model();
        QAbstractItemModel *stack_ = formChild<QTableView>(page, "stackView")->model();
        QAbstractItemModel *vtable = formChild<QTableView>(page, "vtableView")->model();
        QAbstractItemModel *asmModel = formChild<QTableView>(page, "asmTable")->model();
        QAbstractItemModel *ram = formChild<QTableView>(page, "ramView")->model();
    };

    // The value column of the flags tree: Error, Segv, Halt, Ack, Crypt,
    // Interrupt Level, Stack Depth.
    static QStringList treeValues(const Page &p);
};

QStringList ZuAsmDebuggerTest::treeValues(const Page &p)
{
    QStringList values;
    for (int top = 0; top < 2; ++top) {
        const QModelIndex parent = p.tree->index(top, 0);
        for (int row = 0; row < p.tree->rowCount(parent); ++row)
            values << p.tree->index(row, 1, parent).data().toString();
    }
    return values;
}

void ZuAsmDebuggerTest::construction()
{
    Page p;
    QCOMPARE(p.page.objectName(), QStringLiteral("ZuASMDebugger"));
    QCOMPARE(p.page.windowTitle(), QStringLiteral("Form"));
    QVERIFY(formChild<QPushButton>(p.page, "ramSyncButton")->isHidden());
    QVERIFY(formChild<QCheckBox>(p.page, "codeSwitchCheck")->isChecked());
    QCOMPARE(p.stack->currentIndex(), 1);
    QCOMPARE(p.combo->currentIndex(), 0);
    QCOMPARE(p.combo->currentText(), QStringLiteral("Disassembly"));
    QCOMPARE(formChild<QToolBox>(p.page, "toolBox")->currentIndex(), 0);
    QVERIFY(p.editor->isReadOnly());
    QCOMPARE(p.page.mode(), ZuASMDebugger::Init);
    QCOMPARE(column(p.tree, 0), (QStringList{"Virtual Machine Flags", "Other"}));
    QCOMPARE(treeValues(p), repeated(7, QString()));
    QCOMPARE(p.regs->rowCount() + p.stack_->rowCount() + p.ram->rowCount() + p.asmModel->rowCount(), 0);
    // The hidden button still asks the host for the RAM.
    QSignalSpy sync(&p.page, &ZuASMDebugger::syncRam);
    formChild<QPushButton>(p.page, "ramSyncButton")->click();
    QCOMPARE(sync.count(), 1);
}

void ZuAsmDebuggerTest::modeRule()
{
    Page p;
    QSignalSpy changed(&p.page, &ZuASMDebugger::modeChanged);
    QVERIFY(p.page.setProperty("mode", QVariant::fromValue(ZuASMDebugger::Init)));
    QCOMPARE(changed.count(), 0);
    QVERIFY(p.page.setProperty("mode", QVariant::fromValue(ZuASMDebugger::Run)));
    p.page.setMode(ZuASMDebugger::Run);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), int(ZuASMDebugger::Run));
    QCOMPARE(p.page.property("mode").value<ZuASMDebugger::Mode>(), ZuASMDebugger::Run);
}

void ZuAsmDebuggerTest::themes_data()
{
    QTest::addColumn<QVariant>("theme");
    QTest::addColumn<bool>("dark");
    const bool desktop = ThemeDetector::isDarkThemeEnabled();
    QTest::newRow("none") << QVariant() << desktop;
    QTest::newRow("0 follows the desktop") << QVariant(0) << desktop;
    QTest::newRow("1 light") << QVariant(1) << false;
    QTest::newRow("2 dark") << QVariant(2) << true;
    QTest::newRow("7 follows the desktop") << QVariant(7) << desktop;
}

void ZuAsmDebuggerTest::themes()
{
    QFETCH(QVariant, theme);
    QFETCH(bool, dark);
    TempSettings settings;
    if (theme.isValid())
        QSettings().setValue("Editor/Theme", theme);
    Page p;
    QSyntaxStyle *style = dark ? QSyntaxStyle::defaultDarkStyle() : QSyntaxStyle::defaultStyle();
    QVERIFY(QSyntaxStyle::defaultDarkStyle()->getFormat("Text").background() !=
            QSyntaxStyle::defaultStyle()->getFormat("Text").background());
    QCOMPARE(p.editor->palette().color(QPalette::Base), style->getFormat("Text").background().color());
    // Read again after the preferences changed.
    QSettings().setValue("Editor/Theme", dark ? 1 : 2);
    p.page.readSettings();
    QSyntaxStyle *other = dark ? QSyntaxStyle::defaultStyle() : QSyntaxStyle::defaultDarkStyle();
    QCOMPARE(p.editor->palette().color(QPalette::Base), other->getFormat("Text").background().color());
}

void ZuAsmDebuggerTest::setupRegs_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("3") << 3 << QStringList{"%EAX", "%EBX", "%ECX"};
    QTest::newRow("7") << 7 << QStringList{"%EAX", "%EBX", "%ECX", "%EDX", "%EIP", "%EBP", "%ESP"};
    QTest::newRow("9") << 9 << QStringList{"%EAX", "%EBX", "%ECX", "%EDX", "%EIP", "%EBP", "%ESP", "REG8", "REG9"};
    QTest::newRow("0") << 0 << QStringList();
    QTest::newRow("negative") << -2 << QStringList();
}

void ZuAsmDebuggerTest::sizesBounded()
{
    // Sizes from a wrong reply are taken up to the bounds.
    Page p;
    p.page.setupRegs(INT_MAX);
    p.page.setupStack(INT_MAX);
    p.page.setupRam(INT_MAX);
    QCOMPARE(p.regs->rowCount(), ZuASMDebugger::MaxRegisters);
    QCOMPARE(p.stack_->rowCount(), ZuASMDebugger::MaxStackDepth);
    QCOMPARE(p.ram->rowCount(), (ZuASMDebugger::MaxRamSize + 4 * ZuASMDebugger::MaxStackDepth) / 16);
    p.page.updateRam();
    p.page.updateInfo();
    QCOMPARE(treeValues(p).last(), QString::number(ZuASMDebugger::MaxStackDepth));
}

void ZuAsmDebuggerTest::setupRegs()
{
    QFETCH(int, count);
    QFETCH(QStringList, names);
    Page p;
    p.page.setupRegs(5);
    p.page.setupRegs(count);
    QCOMPARE(column(p.regs, 0), names);
    QCOMPARE(column(p.regs, 1), repeated(names.size(), "0"));
}

void ZuAsmDebuggerTest::ramImageAndStack()
{
    Page p;
    p.page.setupStack(4);
    p.page.setupRam(256);
    QCOMPARE(p.ram->rowCount(), 17);
    QCOMPARE(column(p.stack_, 0), (QStringList{"V0", "V1", "V2", "V3"}));
    QByteArray stack;
    for (int word : {3, 2, 1, 0})
        stack += QByteArray(1, char(word)) + QByteArray(3, '\0');
    stack[12] = char(0x78);
    stack[15] = char(0x12);
    p.page.setRam(256, stack);
    p.page.updateRam();
    // V0 is the last word of the image (offset 268), V3 the first after RAM.
    QCOMPARE(column(p.stack_, 1), (QStringList{QString::number(0x12000078), "1", "2", "3"}));
    QCOMPARE(p.ram->index(16, 12).data().toString(), QStringLiteral("120"));
    QCOMPARE(p.ram->index(0, 0).data().toString(), QStringLiteral("48"));
}

void ZuAsmDebuggerTest::chunksOutsideImage()
{
    Page p;
    p.page.setupStack(4);
    p.page.setupRam(256);
    p.page.setRam(-4, QByteArray(8, '\1'));
    p.page.setRam(268, QByteArray(8, '\2'));
    p.page.setRam(272, QByteArray(8, '\3'));
    p.page.setRam(INT_MAX - 2, QByteArray(8, '\4'));
    p.page.setRam(INT_MIN, QByteArray(8, '\5'));
    QCOMPARE(p.ram->rowCount(), 17);
    QCOMPARE(column(p.ram, 3).first(), QStringLiteral("1"));
    QCOMPARE(column(p.ram, 4).first(), QStringLiteral("48"));
    QCOMPARE(column(p.ram, 15).last(), QStringLiteral("2"));
    p.page.updateRam();
    QCOMPARE(column(p.stack_, 1).first(), QString::number(0x02020202));
    // A larger stack without its RAM image: only the rows inside are read.
    p.page.setupStack(100);
    p.page.updateRam();
    const QStringList values = column(p.stack_, 1);
    QCOMPARE(values.mid(0, 2), (QStringList{QString::number(0x02020202), QString::number(0x30303030)}));
    QCOMPARE(values.mid(67, 2), (QStringList{QString::number(0x01010101), "0"}));
}

void ZuAsmDebuggerTest::flags_data()
{
    QTest::addColumn<uint>("flags");
    QTest::addColumn<QStringList>("values");
    QTest::newRow("segmentation fault, halt, crypt")
        << uint(10 | 0x800 | 0x2000) << QStringList{"segmentation fault", "off", "on", "off", "on"};
    QTest::newRow("unknown code") << uint(0x2A) << QStringList{"unknown code", "off", "off", "off", "off"};
    QTest::newRow("segv and ack") << uint(0x100 | 0x1000 | 0x200) << QStringList{"no error", "on", "off", "on", "off"};
    QTest::newRow("end of file") << uint(9) << QStringList{"end of file", "off", "off", "off", "off"};
    QTest::newRow("last code bit") << uint(0xFF | 0xFFFFC000) << QStringList{"unknown code", "off", "off", "off", "off"};
}

void ZuAsmDebuggerTest::flags()
{
    QFETCH(uint, flags);
    QFETCH(QStringList, values);
    Page p;
    p.page.setupStack(4);
    p.page.updateISR(3);
    p.page.updateFlags(flags);
    QCOMPARE(treeValues(p), (values + QStringList{"3", "4"}));
    const QModelIndex halt = p.tree->index(2, 1, p.tree->index(0, 0));
    QVERIFY(!halt.data(Qt::DecorationRole).value<QIcon>().isNull());
}

void ZuAsmDebuggerTest::clearKeepsTreeUntilRefresh()
{
    Page p;
    p.page.setupStack(2);
    p.page.setupRam(16);
    p.page.setupRegs(7);
    p.page.setAsm(listing({}));
    p.page.setFlagWord(0x80A);
    p.page.setInterruptLevel(5);
    QCOMPARE(treeValues(p), repeated(7, QString()));
    p.page.updateInfo();
    const QStringList before = treeValues(p);
    QCOMPARE(before, (QStringList{"segmentation fault", "off", "on", "off", "off", "5", "2"}));
    p.page.clear();
    QCOMPARE(treeValues(p), before);
    QCOMPARE(p.regs->rowCount() + p.vtable->rowCount() + p.ram->rowCount(), 0);
    QCOMPARE(p.stack_->rowCount(), 2);
    p.page.updateInfo();
    QCOMPARE(treeValues(p), (QStringList{"no error", "off", "off", "off", "off", "0", "0"}));
}

void ZuAsmDebuggerTest::registersOfWrongLength()
{
    Page p;
    p.page.setAsm(listing({}));
    p.page.setupRegs(9);
    QSignalSpy changed(&p.page, &ZuASMDebugger::modeChanged);
    p.page.updateRegisters(QVector<tvar>(8, 4));
    QCOMPARE(column(p.regs, 1), repeated(9, "0"));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!p.asmModel->index(1, 0).data(Qt::BackgroundRole).isValid());
    p.page.updateRegisters({1, 2, 3, 4, 4, 6, 7, 8, 9});
    QCOMPARE(column(p.regs, 1), (QStringList{"1", "2", "3", "4", "4", "6", "7", "8", "9"}));
    QVERIFY(p.asmModel->index(1, 0).data(Qt::BackgroundRole).isValid());
    QCOMPARE(p.page.mode(), ZuASMDebugger::Step);
}

void ZuAsmDebuggerTest::listingTable()
{
    Page p;
    QSignalSpy syms(&p.page, &ZuASMDebugger::debugsyms);
    const QJsonObject table{{"main", 0x24}, {"exti", 0}, {"msg", 1}, {"ack", 2}, {"segv", 3}, {"bss", 4}};
    QVERIFY(p.page.setAsm(QJsonDocument(QJsonObject{{"table", table}}).toJson()));
    QCOMPARE(column(p.vtable, 0), (QStringList{"ack", "bss", "exti", "main", "msg", "segv"}));
    QCOMPARE(column(p.vtable, 1), (QStringList{"2", "4", "0", "36", "1", "3"}));
    QCOMPARE(p.asmModel->rowCount(), 0);
    QCOMPARE(syms.count(), 1);
    QCOMPARE(syms.at(0).at(0).toBool(), false);
}

void ZuAsmDebuggerTest::listingColumnsHoldTheirWidestTexts()
{
    Page p;
    auto *table = formChild<QTableView>(p.page, "asmTable");
    const int addressWidth = table->columnWidth(0);
    const int opcodeWidth = table->columnWidth(1);
    // Every instruction of the machine, at addresses of every hex digit.
    QJsonArray text;
    tvar digit = 0;
    for (const kolm_isa::OpcodeInfo &info : kolm_isa::kOpcodeList) {
        text.append(QJsonObject{{"EIP", double(digit * 0x11111111u)},
                                {"opcode", info.opcode},
                                {"opname", info.mnemonic},
                                {"args", QJsonArray{"%EAX", "%EBX"}}});
        digit = (digit + 1) % 16;
    }
    text.append(QJsonObject{{"EIP", 0}, {"opcode", 0xfd}, {"args", QJsonArray()}});
    // Arguments wider than the pane: the table scrolls sideways to them.
    text.append(QJsonObject{{"EIP", 0}, {"opcode", 0xe5}, {"args", QJsonArray{"0x00000000", "0x00001000", "%EAX"}}});
    table->resize(200, 300);
    QVERIFY(p.page.setAsm(QJsonDocument(QJsonObject{{"table", QJsonObject()}, {"text", text}}).toJson()));
    QCOMPARE(p.asmModel->rowCount(), text.size());
    // Sized once, not by the rows; a hidden table measures all of its rows.
    QCOMPARE(table->columnWidth(0), addressWidth);
    QCOMPARE(table->columnWidth(1), opcodeWidth);
    QVERIFY(!table->isVisible());
    const QAbstractItemView *view = table; // the view's measure of its cells
    for (int column : {0, 1, 2}) {
        QVERIFY2(view->sizeHintForColumn(column) <= table->columnWidth(column),
                 qPrintable(QStringLiteral("column %1: %2 > %3")
                                .arg(column)
                                .arg(view->sizeHintForColumn(column))
                                .arg(table->columnWidth(column))));
    }
    QCOMPARE(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
}

void ZuAsmDebuggerTest::firstSymbolsOnly()
{
    DebugProject project(kSource);
    QVERIFY(project.loaded());
    Page p;
    p.page.setProject(project.project());
    QSignalSpy syms(&p.page, &ZuASMDebugger::debugsyms);
    const QJsonArray extensions{5, QJsonObject{{"type", "TS"}, {"data", QJsonObject()}},
                                symbols({location(0x10, 0x14, 2, 1, 2, 4)}),
                                symbols({location(0x10, 0x14, 1, 1, 1, 4)})};
    QVERIFY(p.page.setAsm(listing(extensions)));
    QCOMPARE(syms.at(0).at(0).toBool(), true);
    p.page.setEip(0x10);
    QCOMPARE(highlighted(p.editor), QStringLiteral("abc"));
}

void ZuAsmDebuggerTest::listingWithoutSymbols()
{
    DebugProject project(kSource);
    Page p;
    p.page.setProject(project.project());
    QSignalSpy syms(&p.page, &ZuASMDebugger::debugsyms);
    QVERIFY(p.page.setAsm(listing({symbols({location(0, 0x80, 1, 1, 1, 3)})})));
    p.page.setEip(4);
    QCOMPARE(p.stack->currentIndex(), 1);
    // A new listing without symbols drops the old ones.
    QVERIFY(p.page.setAsm(listing({})));
    QCOMPARE(syms.last().at(0).toBool(), false);
    p.page.setEip(8);
    QCOMPARE(p.stack->currentIndex(), 0);
    QCOMPARE(p.combo->currentIndex(), 0);
    QVERIFY(p.asmModel->index(2, 0).data(Qt::BackgroundRole).isValid());
}

void ZuAsmDebuggerTest::notAListing()
{
    Page p;
    QVERIFY(p.page.setAsm(listing({})));
    QSignalSpy syms(&p.page, &ZuASMDebugger::debugsyms);
    QVERIFY(!p.page.setAsm("[1, 2]"));
    QVERIFY(!p.page.setAsm("{broken"));
    QVERIFY(!p.page.setAsm(QByteArray()));
    QCOMPARE(p.asmModel->rowCount(), 32);
    QCOMPARE(syms.count(), 0);
}

void ZuAsmDebuggerTest::locationChoice_data()
{
    QTest::addColumn<uint>("eip");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("page");
    QTest::newRow("inner range wins") << 0x1Cu << "abc" << 1;
    QTest::newRow("end is exclusive") << 0x20u << "0123456789" << 1;
    QTest::newRow("outside both") << 0x30u << "" << 0;
    QTest::newRow("equal size: first in list") << 0x44u << "AB" << 1;
    QTest::newRow("file index outside the files") << 0x70u << "" << 0;
}

void ZuAsmDebuggerTest::locationChoice()
{
    QFETCH(uint, eip);
    QFETCH(QString, marked);
    QFETCH(int, page);
    DebugProject project(kSource);
    Page p;
    p.page.setProject(project.project());
    QVERIFY(p.page.setAsm(listing({symbols({location(0x10, 0x30, 1, 1, 1, 11), location(0x18, 0x20, 2, 1, 2, 4),
                                            location(0x40, 0x48, 3, 1, 3, 3), location(0x40, 0x48, 2, 1, 2, 3),
                                            location(0x70, 0x74, 1, 1, 1, 3, 5)})})));
    p.page.setEip(eip);
    QCOMPARE(highlighted(p.editor), marked);
    QCOMPARE(p.stack->currentIndex(), page);
    QCOMPARE(p.combo->currentIndex(), page);
}

void ZuAsmDebuggerTest::touchingRanges()
{
    DebugProject project(kSource);
    Page p;
    p.page.setProject(project.project());
    QVERIFY(p.page.setAsm(listing({symbols({location(0x50, 0x54, 1, 1, 1, 5), location(0x54, 0x58, 1, 5, 1, 9),
                                            location(0x58, 0x5C, 1, 6, 1, 8)})})));
    QSignalSpy changed(&p.page, &ZuASMDebugger::modeChanged);
    p.page.setEip(0x50);
    QCOMPARE(p.page.mode(), ZuASMDebugger::Step);
    p.page.setMode(ZuASMDebugger::Next);
    p.page.setEip(0x54);
    QCOMPARE(p.page.mode(), ZuASMDebugger::Next);
    QCOMPARE(highlighted(p.editor), QStringLiteral("4567"));
    // Starts one column after the current location (still the first) ends.
    p.page.setEip(0x58);
    QCOMPARE(p.page.mode(), ZuASMDebugger::Step);
    QCOMPARE(changed.count(), 3);
}

void ZuAsmDebuggerTest::highlight_data()
{
    QTest::addColumn<QJsonObject>("loc");
    QTest::addColumn<QString>("marked");
    QTest::addColumn<int>("page");
    QTest::newRow("columns 5 to 8") << location(0, 4, 1, 5, 1, 9) << "4567" << 1;
    QTest::newRow("over two lines") << location(0, 4, 1, 9, 2, 3) << "89|ab" << 1;
    QTest::newRow("column 0 as 1, end clamped") << location(0, 4, 2, 0, 2, 99) << "abcdefghij" << 1;
    QTest::newRow("start clamped") << location(0, 4, 3, 40, 3, 50) << "" << 1;
    QTest::newRow("line beyond the text") << location(0, 4, 2, 1, 9, 1) << "" << 0;
    QTest::newRow("line 0") << location(0, 4, 0, 1, 1, 3) << "" << 0;
}

void ZuAsmDebuggerTest::highlight()
{
    QFETCH(QJsonObject, loc);
    QFETCH(QString, marked);
    QFETCH(int, page);
    DebugProject project(kSource);
    Page p;
    p.page.setProject(project.project());
    QVERIFY(p.page.setAsm(listing({symbols({loc, location(8, 12, 3, 1, 3, 2)})})));
    p.page.setEip(8);
    QCOMPARE(highlighted(p.editor), QStringLiteral("A"));
    p.page.setEip(0);
    QCOMPARE(highlighted(p.editor), marked);
    QCOMPARE(p.stack->currentIndex(), page);
}

void ZuAsmDebuggerTest::sourceBesideMainFile()
{
    DebugProject project(kSource);
    // A file of the same name beside the project file must not be shown.
    QFile decoy(project.path("main.kos"));
    QVERIFY(decoy.open(QIODevice::WriteOnly));
    decoy.write("decoy\n");
    decoy.close();
    Page p;
    p.page.setProject(project.project());
    QVERIFY(p.page.setAsm(listing({symbols({location(0, 4, 2, 2, 2, 5)})})));
    p.page.setEip(0);
    QCOMPARE(p.editor->toPlainText(), QString::fromUtf8(kSource));
    QCOMPARE(highlighted(p.editor), QStringLiteral("bcd"));
    QCOMPARE(p.editor->textCursor().blockNumber(), 1);
    QCOMPARE(p.stack->currentIndex(), 1);
    QCOMPARE(p.combo->currentIndex(), 1);
    // Without the project the same address has no source.
    p.page.unsetProject();
    p.page.setEip(4);
    p.page.setEip(0);
    QCOMPARE(p.stack->currentIndex(), 0);
    QCOMPARE(p.editor->toPlainText(), QString::fromUtf8(kSource));
}

void ZuAsmDebuggerTest::missingSourceFile()
{
    DebugProject project(kSource);
    Page p;
    p.page.setProject(project.project());
    QSignalSpy error(project.project(), &KolmProject::error);
    QVERIFY(p.page.setAsm(listing({symbols({location(0, 4, 1, 1, 1, 3), location(4, 8, 1, 1, 1, 3, 1)},
                                           {"main.kos", "gone.kos"})})));
    p.page.setEip(0);
    QCOMPARE(p.stack->currentIndex(), 1);
    p.page.setMode(ZuASMDebugger::Next);
    p.page.setEip(4);
    QCOMPARE(error.count(), 1);
    QVERIFY(error.at(0).at(0).toString().startsWith("Cannot read item "));
    QCOMPARE(p.editor->toPlainText(), QString());
    QCOMPARE(p.stack->currentIndex(), 0);
    QCOMPARE(p.page.mode(), ZuASMDebugger::Step);
    // The empty view shows no file: the first file is read again.
    p.page.setEip(0);
    QCOMPARE(p.editor->toPlainText(), QString::fromUtf8(kSource));
}

void ZuAsmDebuggerTest::runToMain()
{
    DebugProject project(kSource);
    Page p;
    p.page.setProject(project.project());
    QVERIFY(p.page.setAsm(listing({symbols({location(0x20, 0x28, 1, 1, 1, 3)})})));
    p.page.setMode(ZuASMDebugger::RunToMain);
    p.page.setEip(0);
    p.page.setEip(4);
    QCOMPARE(p.page.mode(), ZuASMDebugger::RunToMain);
    p.page.setEip(0x20);
    QCOMPARE(p.page.mode(), ZuASMDebugger::Step);
}

void ZuAsmDebuggerTest::stepsStopWithoutSource()
{
    DebugProject project(kSource);
    for (const bool withProject : {false, true}) {
        Page p;
        if (withProject)
            p.page.setProject(project.project());
        QVERIFY(p.page.setAsm(listing(withProject ? QJsonArray() : QJsonArray{symbols({location(0, 8, 1, 1, 1, 2)})})));
        for (const ZuASMDebugger::Mode mode : {ZuASMDebugger::RunToMain, ZuASMDebugger::Next}) {
            p.page.setMode(mode);
            p.page.setEip(mode == ZuASMDebugger::Next ? 4 : 0);
            QCOMPARE(p.page.mode(), ZuASMDebugger::Step);
            QCOMPARE(p.stack->currentIndex(), 0);
        }
        p.page.setMode(ZuASMDebugger::Run);
        p.page.setEip(8);
        QCOMPARE(p.page.mode(), ZuASMDebugger::Run);
    }
}

void ZuAsmDebuggerTest::sourceChoiceBeforeLocation()
{
    Page p;
    p.stack->setCurrentIndex(0);
    emit p.combo->activated(1);
    QCOMPARE(p.stack->currentIndex(), 0);
    DebugProject project(kSource);
    p.page.setProject(project.project());
    QVERIFY(p.page.setAsm(listing({symbols({location(0, 4, 1, 1, 1, 2)})})));
    p.page.setEip(0);
    emit p.combo->activated(0);
    QCOMPARE(p.stack->currentIndex(), 0);
    emit p.combo->activated(1);
    QCOMPARE(p.stack->currentIndex(), 1);
}

void ZuAsmDebuggerTest::collapsiblePanel()
{
    QString body = QStringLiteral("<p>%1 body</p>");
    htmlMakeCollapsable(body, QStringLiteral("T <i>%2</i>"));
    const QRegularExpression form(QStringLiteral(
        "^<div class=\"panel-group\"><div class=\"panel-heading\"><h4 class=\"panel-title\">"
        "<a data-toggle=\"collapse\" href=\"#(\\d+)\">T <i>%2</i></a></h4></div>"
        "<div id=\"(\\d+)\" class=\"panel-collapse collapse\"><p>%1 body</p></div></div>$"));
    const QRegularExpressionMatch match = form.match(body);
    QVERIFY2(match.hasMatch(), qPrintable(body));
    QCOMPARE(match.captured(1), match.captured(2));
}

QTEST_MAIN(ZuAsmDebuggerTest)
#include "zu_asm_debugger_test.moc"
