#include "editor_probe.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QStringListModel>
#include <QtTest>

namespace {

// Presses the keys: "<Tab>", "<Backtab>", "<Shift+Tab>", "<Return>",
// "<Enter>", "<Delete>", "<Backspace>", "<Ctrl+Space>" name one key each; any
// other entry is typed character by character.
void press(QWidget* widget, const QStringList& keys)
{
    static const struct {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } named[] = {
        {"<Tab>", Qt::Key_Tab, Qt::NoModifier},
        {"<Backtab>", Qt::Key_Backtab, Qt::ShiftModifier},
        {"<Shift+Tab>", Qt::Key_Tab, Qt::ShiftModifier},
        {"<Return>", Qt::Key_Return, Qt::NoModifier},
        {"<Enter>", Qt::Key_Enter, Qt::KeypadModifier},
        {"<Delete>", Qt::Key_Delete, Qt::NoModifier},
        {"<Backspace>", Qt::Key_Backspace, Qt::NoModifier},
        {"<Escape>", Qt::Key_Escape, Qt::NoModifier},
        {"<Ctrl+Space>", Qt::Key_Space, Qt::ControlModifier},
    };
    for (const QString& entry : keys) {
        bool found = false;
        for (const auto& key : named) {
            if (entry == QLatin1String(key.name)) {
                QTest::keyClick(widget, key.key, key.modifiers);
                found = true;
            }
        }
        if (!found)
            QTest::keyClicks(widget, entry);
    }
}

// What a tab indents by, in whole columns of the editor's font.
int tabColumns(const QSourceEditor& editor)
{
    return int(editor.tabStopDistance() / QFontMetricsF(editor.font()).averageCharWidth());
}

} // namespace

class SourceEditorKeysTest : public QObject
{
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void enterKeepsTabIndentation();
    void readOnlyEditorKeepsItsText_data();
    void readOnlyEditorKeepsItsText();
    void completion_data();
    void completion();
    void choosingAnEntryReplacesTheWord_data();
    void choosingAnEntryReplacesTheWord();
    void popupKeysAreLeftToThePopup_data();
    void popupKeysAreLeftToThePopup();
    void ctrlSpaceWithoutText();
    void completerCanBeReplaced();
    void oneCompleterFollowsTheFocus();

private:
    void showWithCompleter(EditorProbe& editor, QCompleter& completer);
};

void SourceEditorKeysTest::keys_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("tabReplace");
    QTest::addColumn<bool>("autoIndentation");
    QTest::addColumn<bool>("autoParentheses");

    // "|" marks the cursor, "^" the other end of a selection.
    auto row = [](const char* name, const QString& before, const QStringList& keys,
                  const QString& after, bool tabReplace = true, bool autoIndentation = true,
                  bool autoParentheses = true) {
        QTest::newRow(name) << before << keys << after << tabReplace << autoIndentation
                            << autoParentheses;
    };
    row("tab inserts spaces", "ab|", {"<Tab>"}, "ab    |");
    row("tab inserts a tab character", "ab|", {"<Tab>"}, "ab\t|", false);
    row("tab indents selected lines", "^a\nb|", {"<Tab>"}, "|    a\n    b^");
    row("tab indents selected lines with tabs", "^a\nb|", {"<Tab>"}, "|\ta\n\tb^", false);
    row("tab from the middle of a line", "a^b\nc|", {"<Tab>"}, "a|    b\n    c^");
    row("shift+tab unindents selected lines", "^    a\n    b|", {"<Backtab>"}, "|a\nb^");
    row("tab with shift unindents selected lines", "^    a\n    b|", {"<Shift+Tab>"},
        "|a\nb^");
    row("indent and unindent again", "^a\nb|", {"<Tab>", "<Backtab>"}, "|a\nb^");
    row("unindent only whole units", "^      a\n  b\nc|", {"<Backtab>"}, "|  a\n  b\nc^");
    row("unindent six spaces by four", "      a|", {"<Backtab>"}, "  a|");
    row("unindent two spaces", "  a|", {"<Backtab>"}, "a|");
    row("enter between braces", "    f() {|}", {"<Return>"}, "    f() {\n        |\n    }");
    row("keypad enter between braces", "{|}", {"<Enter>"}, "{\n    |\n}");
    row("enter keeps the indentation", "    a|", {"<Return>"}, "    a\n    |");
    row("enter without auto indentation", "    a|", {"<Return>"}, "    a\n|", true, false);
    row("enter between braces without auto indentation", "{|}", {"<Return>"}, "{\n|}", true,
        false);
    row("opening gets its partner", "f|", {"("}, "f(|)");
    row("every bracket kind", "|", {"[", "{"}, "[{|}]");
    row("closing steps over its partner", "f|", {"(", ")"}, "f()|");
    row("closing elsewhere is inserted", "a|", {"]"}, "a]|");
    row("closing before another kind", "a|)", {"]"}, "a]|)");
    row("quote gets its partner", "|", {"\""}, "\"|\"");
    row("quote before a quote", "|\"", {"\""}, "\"|\"\"");
    row("single quote", "x|", {"'"}, "x'|'");
    row("\"x\" typed out", "|", {"\"x\""}, "\"x\"|");
    row("'x' typed out", "|", {"'x'"}, "'x'|");
    row("(x) typed out", "|", {"(x)"}, "(x)|");
    row("[x] typed out", "|", {"[x]"}, "[x]|");
    row("{} typed out", "|", {"{}"}, "{}|");
    row("empty string typed out", "|", {"\"\""}, "\"\"|");
    row("string in brackets typed out", "f|", {"(\"x\")"}, "f(\"x\")|");
    row("block typed out", "|", {"{", "<Return>"}, "{\n    |\n}");
    row("no partners when switched off", "f|", {"(", "\""}, "f(\"|", true, true, false);
}

void SourceEditorKeysTest::keys()
{
    QFETCH(QString, before);
    QFETCH(QStringList, keys);
    QFETCH(QString, after);
    QFETCH(bool, tabReplace);
    QFETCH(bool, autoIndentation);
    QFETCH(bool, autoParentheses);

    EditorProbe editor;
    editor.setTabReplace(tabReplace);
    editor.setAutoIndentation(autoIndentation);
    editor.setAutoParentheses(autoParentheses);
    editor.setMarkedText(before);
    press(&editor, keys);
    QCOMPARE(editor.markedText(), after);
}

void SourceEditorKeysTest::enterKeepsTabIndentation()
{
    // Two tab stops of indentation stay two tabs, whatever the font's widths.
    EditorProbe editor;
    editor.setTabReplace(false);
    editor.setMarkedText("\t\tf {|}");
    press(&editor, {"<Return>"});
    QCOMPARE(editor.markedText(), QString("\t\tf {\n\t\t\t|\n\t\t}"));
    press(&editor, {"x", "<Return>"});
    QCOMPARE(editor.markedText(), QString("\t\tf {\n\t\t\tx\n\t\t\t|\n\t\t}"));

    // With spaces, as many tabs as whole tab stops the spaces fill.
    const int columns = tabColumns(editor);
    editor.setMarkedText(QString(columns + 1, ' ') + "a|");
    press(&editor, {"<Return>"});
    QCOMPARE(editor.markedText(), QString(columns + 1, ' ') + "a\n\t|");
}

void SourceEditorKeysTest::readOnlyEditorKeepsItsText_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("tab") << "a|b" << QStringList{"<Tab>"};
    QTest::newRow("tab on a selection") << "^a\nb|" << QStringList{"<Tab>"};
    QTest::newRow("backtab on a selection") << "^    a\n    b|" << QStringList{"<Backtab>"};
    QTest::newRow("backtab") << "    a|" << QStringList{"<Backtab>"};
    QTest::newRow("enter between braces") << "{|}" << QStringList{"<Return>"};
    QTest::newRow("enter") << "    a|" << QStringList{"<Return>"};
    QTest::newRow("brackets and quotes") << "a|)" << QStringList{"(", ")", "\"", "x"};
    QTest::newRow("delete and backspace") << "a|b" << QStringList{"<Delete>", "<Backspace>"};
}

void SourceEditorKeysTest::readOnlyEditorKeepsItsText()
{
    QFETCH(QString, before);
    QFETCH(QStringList, keys);

    EditorProbe editor;
    editor.setMarkedText(before);
    const QString text = editor.toPlainText();
    editor.setReadOnly(true);
    press(&editor, keys);
    QCOMPARE(editor.toPlainText(), text);
    QVERIFY(!editor.document()->isModified());
}

void SourceEditorKeysTest::showWithCompleter(EditorProbe& editor, QCompleter& completer)
{
    editor.setCompleter(&completer);
    QVERIFY(editor.showOnScreen());
}

namespace {

const QStringList completions = {".end", "count", "counter", "delay", "value", "x.value",
                                 "x.vector"};

} // namespace

void SourceEditorKeysTest::completion_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("after");

    QTest::newRow("one letter") << "|" << QStringList{"c"} << false << "" << "c|";
    QTest::newRow("two letters") << "|" << QStringList{"co"} << true << "co" << "co|";
    QTest::newRow("typing on") << "|" << QStringList{"coun"} << true << "coun" << "coun|";
    QTest::newRow("space ends the word") << "|" << QStringList{"co", " "} << false << "co"
                                         << "co |";
    QTest::newRow("bracket ends the word")
        << "|" << QStringList{"co", "("} << false << "co" << "co(|)";
    QTest::newRow("underscore ends the word") << "|" << QStringList{"my_"} << false << "my"
                                              << "my_|";
    QTest::newRow("ctrl+space on nothing")
        << "|" << QStringList{"<Ctrl+Space>"} << true << "" << "|";
    QTest::newRow("ctrl+space on one letter")
        << "a d|" << QStringList{"<Ctrl+Space>"} << true << "d" << "a d|";
    QTest::newRow("member path") << "|" << QStringList{"x."} << true << "x." << "x.|";
    QTest::newRow("member path after use elsewhere")
        << "|" << QStringList{"co", " x."} << true << "x." << "co x.|";
    QTest::newRow("full stop alone") << "a |" << QStringList{"."} << true << "." << "a .|";
    QTest::newRow("delete leaves the popup")
        << "|b" << QStringList{"co", "<Delete>"} << true << "co" << "co|";
    QTest::newRow("escape closes the popup")
        << "|" << QStringList{"co", "<Escape>"} << false << "co" << "co|";
}

void SourceEditorKeysTest::completion()
{
    QFETCH(QString, before);
    QFETCH(QStringList, keys);
    QFETCH(bool, shown);
    QFETCH(QString, prefix);
    QFETCH(QString, after);

    QStringListModel model(completions);
    QCompleter completer(&model);
    EditorProbe editor;
    showWithCompleter(editor, completer);
    editor.setMarkedText(before);
    press(&editor, keys);
    // Escape reaches the popup through its own event filter.
    if (keys.last() == "<Escape>" && completer.popup()->isVisible())
        QTest::keyClick(completer.popup(), Qt::Key_Escape);

    QCOMPARE(completer.popup()->isVisible(), shown);
    QCOMPARE(completer.completionPrefix(), prefix);
    QCOMPARE(editor.markedText(), after);
}

void SourceEditorKeysTest::choosingAnEntryReplacesTheWord_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("after");

    QTest::newRow("word") << "cou" << 1 << "counter|";
    QTest::newRow("after an underscore") << "my_va" << 0 << "my_value|";
    QTest::newRow("member path") << "x.v" << 1 << "x.vector|";
}

void SourceEditorKeysTest::choosingAnEntryReplacesTheWord()
{
    QFETCH(QString, typed);
    QFETCH(int, row);
    QFETCH(QString, after);

    QStringListModel model(completions);
    QCompleter completer(&model);
    EditorProbe editor;
    showWithCompleter(editor, completer);
    editor.setMarkedText("|");
    press(&editor, {typed});
    QVERIFY(completer.popup()->isVisible());
    QAbstractItemView* popup = completer.popup();
    popup->setCurrentIndex(completer.completionModel()->index(row, 0));
    QTest::keyClick(popup, Qt::Key_Return);
    QCOMPARE(editor.markedText(), after);
    QVERIFY(!popup->isVisible());
}

void SourceEditorKeysTest::popupKeysAreLeftToThePopup_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("return") << "<Return>";
    QTest::newRow("enter") << "<Enter>";
    QTest::newRow("tab") << "<Tab>";
    QTest::newRow("backtab") << "<Backtab>";
}

void SourceEditorKeysTest::popupKeysAreLeftToThePopup()
{
    QFETCH(QString, key);

    QStringListModel model(completions);
    QCompleter completer(&model);
    EditorProbe editor;
    showWithCompleter(editor, completer);
    editor.setMarkedText("|");
    press(&editor, {"co"});
    QVERIFY(completer.popup()->isVisible());
    press(&editor, {key});
    QCOMPARE(editor.markedText(), QString("co|"));
}

void SourceEditorKeysTest::ctrlSpaceWithoutText()
{
    // Some platforms give Ctrl+Space no text.
    QStringListModel model(completions);
    QCompleter completer(&model);
    EditorProbe editor;
    showWithCompleter(editor, completer);
    editor.setMarkedText("d|");
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::ControlModifier, QString());
    QApplication::sendEvent(&editor, &press);
    QVERIFY(completer.popup()->isVisible());
    QCOMPARE(completer.completionPrefix(), QString("d"));
    QCOMPARE(editor.markedText(), QString("d|"));
}

void SourceEditorKeysTest::completerCanBeReplaced()
{
    QStringListModel model(completions);
    QCompleter first(&model);
    QCompleter second(&model);
    EditorProbe editor;
    showWithCompleter(editor, first);
    editor.setCompleter(&second);
    QCOMPARE(editor.completer(), &second);
    QCOMPARE(second.widget(), &editor);

    // The first one no longer reaches the editor.
    editor.setMarkedText("co|");
    emit first.activated(QString("counter"));
    QCOMPARE(editor.markedText(), QString("co|"));

    editor.setCompleter(nullptr);
    QCOMPARE(editor.completer(), nullptr);
    press(&editor, {"<Ctrl+Space>", "un"});
    QVERIFY(!second.popup()->isVisible());
    QCOMPARE(editor.markedText(), QString("coun|"));
}

void SourceEditorKeysTest::oneCompleterFollowsTheFocus()
{
    QStringListModel model(completions);
    QCompleter completer(&model);
    EditorProbe first;
    EditorProbe second;
    first.setCompleter(&completer);
    second.setCompleter(&completer);
    first.setMarkedText("co|");
    second.setMarkedText("de|");

    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(&first, &focusIn);
    QCOMPARE(completer.widget(), &first);
    emit completer.activated(QString("counter"));
    QCOMPARE(first.markedText(), QString("counter|"));
    QCOMPARE(second.markedText(), QString("de|"));

    QApplication::sendEvent(&second, &focusIn);
    QCOMPARE(completer.widget(), &second);
    emit completer.activated(QString("delay"));
    QCOMPARE(first.markedText(), QString("counter|"));
    QCOMPARE(second.markedText(), QString("delay|"));
}

QTEST_MAIN(SourceEditorKeysTest)
#include "source_editor_keys_test.moc"
