// The board-aware completer: the built-in words, a package's defines and
// its peripherals with their registers, and completion over that tree.

#include "qkolmextendedcompleter.h"
#include "qsourceeditor.h"
#include "test_packages.h"

#include <QAbstractItemView>
#include <QPointer>
#include <QStandardItemModel>
#include <QtTest>

namespace {

const QStringList builtinWords = {
    "var",      "break",         "case",         "continue",         "default",     "do",
    "else",     "for",           "goto",         "if",               "return",      "switch",
    "while",    "sizeof",        "in",           "_exti",            "_msg",        "_ack",
    "_segv",    "__disable_irq", "__enable_irq", "halt",             "nop",         "memcpy",
    "memset",   "stoi",          "sprintf",      "contains",         "delay",       "sleep",
    "timer",    "tstop",         "resume",       "__DATE__",         "__TIME__",    "__KOLM__",
    "__KOLM_VERSION__", "__VERSION__", "__ABI__"};

QStringList texts(const QAbstractItemModel* model, const QModelIndex& parent = QModelIndex())
{
    QStringList result;
    for (int row = 0; row < model->rowCount(parent); ++row)
        result << model->index(row, 0, parent).data().toString();
    return result;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

// The completions of a prefix in the order the popup offers them.
QStringList offered(QCompleter& completer, const QString& prefix)
{
    completer.setCompletionPrefix(prefix);
    QStringList found;
    for (int row = 0; completer.setCurrentRow(row); ++row)
        found << completer.currentCompletion();
    return found;
}

QStringList completions(QCompleter& completer, const QString& prefix)
{
    return sorted(offered(completer, prefix));
}

} // namespace

class KolmExtendedCompleterTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void settings();
    void builtinWordsWithoutPackage();
    void packageWithoutNames();
    void packageNames();
    void parseAgainReplacesModel();
    void splitPath_data();
    void splitPath();
    void pathFromIndex();
    void completes_data();
    void completes();
    void editorCompletesRegister();
    void naturalOrder_data();
    void naturalOrder();
    void returnTakesFirstInNaturalOrder();

private:
    std::unique_ptr<KolmBoardPackageParser> fixture;
    std::unique_ptr<KolmBoardPackageParser> bare;
    std::unique_ptr<KolmBoardPackageParser> numberedNames;
    std::unique_ptr<KolmBoardPackageParser> emulator;
};

void KolmExtendedCompleterTest::initTestCase()
{
    fixture = testPackage("fixture.kbsp");
    bare = testPackage("bare.kbsp");
    numberedNames = testPackage("numbered.kbsp");
    emulator = builtinPackage("Emulator.kbsp");
    QVERIFY(fixture && bare && numberedNames && emulator);
}

void KolmExtendedCompleterTest::settings()
{
    QStandardItemModel model;
    QKolmExtendedCompleter withParent(this);
    QKolmExtendedCompleter withModel(&model, this);
    for (QKolmExtendedCompleter* completer : {&withParent, &withModel}) {
        QCOMPARE(completer->caseSensitivity(), Qt::CaseSensitive);
        QVERIFY(completer->wrapAround());
        QCOMPARE(completer->modelSorting(), QCompleter::UnsortedModel);
        QCOMPARE(completer->completionMode(), QCompleter::PopupCompletion);
        QCOMPARE(completer->filterMode(), Qt::MatchStartsWith);
        QCOMPARE(completer->property("separator").toString(), QString("."));
    }
    QCOMPARE(withModel.model(), &model);
}

void KolmExtendedCompleterTest::builtinWordsWithoutPackage()
{
    QKolmExtendedCompleter completer;
    completer.parse(nullptr);
    QCOMPARE(completer.model()->parent(), &completer);
    QCOMPARE(texts(completer.model()), builtinWords);
    for (int row = 0; row < builtinWords.size(); ++row)
        QCOMPARE(completer.model()->rowCount(completer.model()->index(row, 0)), 0);
}

void KolmExtendedCompleterTest::packageWithoutNames()
{
    QKolmExtendedCompleter completer;
    completer.parse(bare.get());
    QCOMPARE(texts(completer.model()), builtinWords);
}

void KolmExtendedCompleterTest::packageNames()
{
    QKolmExtendedCompleter completer;
    completer.parse(fixture.get());
    const QAbstractItemModel* model = completer.model();

    // Built-in words first, then the defines, then the peripherals, each
    // source listed in full even where names repeat.
    const QStringList rows = texts(model);
    QCOMPARE(rows.size(), builtinWords.size() + 2 + 3);
    QCOMPARE(rows.mid(0, builtinWords.size()), builtinWords);
    QCOMPARE(sorted(rows.mid(builtinWords.size(), 2)), QStringList({"LED", "while"}));
    QCOMPARE(sorted(rows.mid(builtinWords.size() + 2)), QStringList({"EMPTY", "LINK", "PA0"}));

    const auto children = [&](const QString& peripheral) {
        return sorted(texts(model, model->index(rows.indexOf(peripheral), 0)));
    };
    QCOMPARE(children("PA0"), QStringList({"MODE", "VALUE", "VOLTS"}));
    QCOMPARE(children("LINK"), QStringList({"BULK", "DATA"}));
    QCOMPARE(children("EMPTY"), QStringList());
    QCOMPARE(children("LED"), QStringList());
}

void KolmExtendedCompleterTest::parseAgainReplacesModel()
{
    QKolmExtendedCompleter completer;
    completer.parse(fixture.get());
    const QStringList first = texts(completer.model());
    QPointer<QAbstractItemModel> previous = completer.model();

    completer.parse(fixture.get());
    QVERIFY(previous.isNull());
    QCOMPARE(texts(completer.model()), first);

    completer.parse(nullptr);
    QCOMPARE(texts(completer.model()), builtinWords);
}

void KolmExtendedCompleterTest::splitPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("parts");

    QTest::newRow("peripheral and register start") << "PA0.VAL" << QStringList{"PA0", "VAL"};
    QTest::newRow("trailing dot") << "PA0." << QStringList{"PA0", ""};
    QTest::newRow("empty path") << "" << QStringList{""};
    QTest::newRow("word") << "whi" << QStringList{"whi"};
    QTest::newRow("empty parts kept") << ".A..B" << QStringList{"", "A", "", "B"};
}

void KolmExtendedCompleterTest::splitPath()
{
    QFETCH(QString, path);
    QFETCH(QStringList, parts);

    QKolmExtendedCompleter completer;
    QCOMPARE(completer.splitPath(path), parts);
}

void KolmExtendedCompleterTest::pathFromIndex()
{
    QKolmExtendedCompleter completer;
    completer.parse(fixture.get());
    const QAbstractItemModel* model = completer.model();
    const QModelIndex pin = model->match(model->index(0, 0), Qt::DisplayRole, "PA0").value(0);
    QVERIFY(pin.isValid());

    QCOMPARE(completer.pathFromIndex(pin), QString("PA0"));
    const QModelIndex reg = model->index(0, 0, pin);
    QCOMPARE(completer.pathFromIndex(reg), "PA0." + reg.data().toString());
    QCOMPARE(completer.pathFromIndex(QModelIndex()), QString());
}

void KolmExtendedCompleterTest::completes_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("register start") << "PA0.V" << QStringList{"PA0.VALUE", "PA0.VOLTS"};
    QTest::newRow("all registers after the dot")
        << "PA0." << QStringList{"PA0.MODE", "PA0.VALUE", "PA0.VOLTS"};
    QTest::newRow("whole register") << "PA0.MODE" << QStringList{"PA0.MODE"};
    QTest::newRow("peripheral without registers") << "EMPTY." << QStringList{};
    QTest::newRow("no third level") << "PA0.VALUE.X" << QStringList{};
    QTest::newRow("register name case matters") << "PA0.value" << QStringList{};
    QTest::newRow("peripheral name case matters") << "pa0.VALUE" << QStringList{};
    QTest::newRow("word case matters") << "While" << QStringList{};
    QTest::newRow("word and define of one name") << "whi" << QStringList{"while", "while"};
    QTest::newRow("define") << "LE" << QStringList{"LED"};
    QTest::newRow("version macro") << "__KOLM_V" << QStringList{"__KOLM_VERSION__"};
    QTest::newRow("top level only without a dot") << "P" << QStringList{"PA0"};
}

void KolmExtendedCompleterTest::completes()
{
    QFETCH(QString, prefix);
    QFETCH(QStringList, expected);

    QKolmExtendedCompleter completer;
    completer.parse(fixture.get());
    QCOMPARE(completions(completer, prefix), expected);
}

// In the script editor a peripheral, a full stop and the start of a register
// name complete to the whole register reference.
void KolmExtendedCompleterTest::editorCompletesRegister()
{
    QKolmExtendedCompleter completer;
    completer.parse(fixture.get());
    QSourceEditor editor;
    editor.setCompleter(&completer);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));

    QTest::keyClicks(&editor, "x = PA0.VO");
    QAbstractItemView* popup = completer.popup();
    QVERIFY(popup->isVisible());
    QCOMPARE(completer.completionCount(), 1);
    popup->setCurrentIndex(completer.completionModel()->index(0, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    QCOMPARE(editor.toPlainText(), QString("x = PA0.VOLTS"));
}

// Numbers inside names count as numbers: PA2 comes before PA10, whatever
// order the package hands its names out in.
void KolmExtendedCompleterTest::naturalOrder_data()
{
    QTest::addColumn<bool>("builtinPackage");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("peripherals") << true << "PA" << numbered("PA", 0, 15);
    QTest::newRow("registers") << false << "ADC.CH" << numbered("ADC.CH", 1, 12);
    QTest::newRow("defines") << false << "CH" << numbered("CH", 1, 12);
}

void KolmExtendedCompleterTest::naturalOrder()
{
    QFETCH(bool, builtinPackage);
    QFETCH(QString, prefix);
    QFETCH(QStringList, expected);

    QKolmExtendedCompleter completer;
    completer.parse(builtinPackage ? emulator.get() : numberedNames.get());
    QCOMPARE(offered(completer, prefix), expected);
}

// The popup preselects its first entry, so Return takes the lowest number.
void KolmExtendedCompleterTest::returnTakesFirstInNaturalOrder()
{
    QKolmExtendedCompleter completer;
    completer.parse(emulator.get());
    QSourceEditor editor;
    editor.setCompleter(&completer);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));

    QTest::keyClicks(&editor, "x = PA");
    QVERIFY(completer.popup()->isVisible());
    QTest::keyClick(completer.popup(), Qt::Key_Return);
    QCOMPARE(editor.toPlainText(), QString("x = PA0"));
}

QTEST_MAIN(KolmExtendedCompleterTest)
#include "kolm_extended_completer_test.moc"
