// The project page's find/replace bar: searching forward and backward with
// one wrap-around, the match growing while the user types, Replace and
// Replace All, and opening and closing the bar with Ctrl+F and Escape.

#include "form_child.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qsourceeditor.h"
#include "temp_settings.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

class ProjectFindTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

    static QSourceEditor* editor(const KolmProjectWindow& page) { return formChild<QSourceEditor>(page, "codeEditor"); }
    static QLineEdit* findEdit(const KolmProjectWindow& page) { return formChild<QLineEdit>(page, "codeFindEdit"); }
    static QLineEdit* replaceEdit(const KolmProjectWindow& page)
    {
        return formChild<QLineEdit>(page, "codeReplaceEdit");
    }
    static void click(const KolmProjectWindow& page, const char* button)
    {
        QTest::mouseClick(formChild<QPushButton>(page, button), Qt::LeftButton);
    }

    // Runs one step: "type:TEXT" types into the find edit, "set:TEXT" puts
    // TEXT there without a search, "with:TEXT" fills the replace edit,
    // "next", "prev", "replace", "all" click the buttons, "return-find" and
    // "return-replace" press Return in the edits.
    static void step(KolmProjectWindow& page, const QString& action)
    {
        const QString argument = action.section(':', 1);
        if (action.startsWith("type:")) {
            QTest::keyClicks(findEdit(page), argument);
        } else if (action.startsWith("set:")) {
            const QSignalBlocker blocker(findEdit(page));
            findEdit(page)->setText(argument);
        } else if (action.startsWith("with:")) {
            replaceEdit(page)->setText(argument);
        } else if (action == "next") {
            click(page, "codeFindNextButton");
        } else if (action == "prev") {
            click(page, "codeFindPrevButton");
        } else if (action == "replace") {
            click(page, "codeReplaceButton");
        } else if (action == "all") {
            click(page, "codeReplaceAllButton");
        } else if (action == "return-find") {
            QTest::keyClick(findEdit(page), Qt::Key_Return);
        } else if (action == "return-replace") {
            QTest::keyClick(replaceEdit(page), Qt::Key_Return);
        } else {
            QFAIL(qPrintable("unknown step " + action));
        }
    }

private slots:
    void init();
    void find_data();
    void find();
    void replaceAllIsOneUndoStep();
    void searchPositionPastShorterFile();
    void ctrlF_data();
    void ctrlF();
    void pageDeletedBeforeQueuedFind();
};

void ProjectFindTest::init()
{
    QSettings().clear();
}

void ProjectFindTest::find_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("position");

    QTest::newRow("typing selects the first match after the cursor")
        << QByteArray("ab ab ab") << 1 << QStringList{"type:ab"} << QByteArray("ab ab ab") << 3 << 5 << 5;
    QTest::newRow("not found leaves selection and position")
        << QByteArray("alpha beta") << 0 << QStringList{"type:beta", "set:zz", "next"} << QByteArray("alpha beta")
        << 6 << 10 << 10;
    QTest::newRow("previous on the only match keeps it")
        << QByteArray("ab") << 0 << QStringList{"type:ab", "prev"} << QByteArray("ab") << 0 << 2 << 2;
    QTest::newRow("typing a letter that goes on keeps the match")
        << QByteArray("abc abd") << 0 << QStringList{"type:abc"} << QByteArray("abc abd") << 0 << 3 << 3;
    QTest::newRow("typing a letter that does not go on moves on")
        << QByteArray("abc abd") << 0 << QStringList{"type:abd"} << QByteArray("abc abd") << 4 << 7 << 7;
    QTest::newRow("next after the last wraps to the first")
        << QByteArray("ab ab ab") << 0 << QStringList{"type:ab", "next", "next", "next"} << QByteArray("ab ab ab")
        << 0 << 2 << 2;
    QTest::newRow("Return in the find edit is next")
        << QByteArray("ab ab ab") << 0 << QStringList{"type:ab", "return-find"} << QByteArray("ab ab ab") << 3 << 5
        << 5;
    QTest::newRow("next without a search starts at the top")
        << QByteArray("ab ab ab") << 4 << QStringList{"set:ab", "next"} << QByteArray("ab ab ab") << 0 << 2 << 2;
    QTest::newRow("previous on a match selects the one before")
        << QByteArray("ab ab ab") << 0 << QStringList{"type:ab", "next", "next", "prev"} << QByteArray("ab ab ab")
        << 3 << 5 << 5;
    QTest::newRow("previous before the first passes over a match at the end")
        << QByteArray("ab ab ab") << 0 << QStringList{"type:ab", "prev"} << QByteArray("ab ab ab") << 3 << 5 << 5;
    QTest::newRow("previous before the first wraps to the end")
        << QByteArray("ab ab ab\n") << 0 << QStringList{"type:ab", "prev"} << QByteArray("ab ab ab\n") << 6 << 8
        << 8;
    QTest::newRow("previous without a search looks before the cursor")
        << QByteArray("ab ab ab\n") << 7 << QStringList{"set:ab", "prev"} << QByteArray("ab ab ab\n") << 3 << 5 << 5;
    QTest::newRow("small letters find a capital")
        << QByteArray("x Main") << 0 << QStringList{"type:main"} << QByteArray("x Main") << 2 << 6 << 6;
    QTest::newRow("replace ignores a match in other letter case")
        << QByteArray("x Main") << 0 << QStringList{"type:main", "with:loop", "replace"} << QByteArray("x Main")
        << 2 << 6 << 6;
    QTest::newRow("replace selects the next match")
        << QByteArray("a b a") << 0 << QStringList{"type:a", "with:X", "replace"} << QByteArray("X b a") << 4 << 5
        << 5;
    QTest::newRow("Return in the replace edit replaces")
        << QByteArray("a b a") << 0 << QStringList{"type:a", "with:X", "return-replace"} << QByteArray("X b a") << 4
        << 5 << 5;
    QTest::newRow("replace skips no match right behind it")
        << QByteArray("aaa") << 0 << QStringList{"type:a", "with:b", "replace"} << QByteArray("baa") << 1 << 2 << 2;
    QTest::newRow("replace does not find its own text")
        << QByteArray("a a") << 0 << QStringList{"type:a", "with:aa", "replace"} << QByteArray("aa a") << 3 << 4
        << 4;
    QTest::newRow("replace all exact matches only")
        << QByteArray("a A a") << 0 << QStringList{"set:a", "with:bb", "all"} << QByteArray("bb A bb") << 7 << 7
        << 7;
    QTest::newRow("replace all does not search its own text")
        << QByteArray("a a") << 0 << QStringList{"set:a", "with:aa", "all"} << QByteArray("aa aa") << 5 << 5 << 5;
    QTest::newRow("replace all without an exact match")
        << QByteArray("a a") << 1 << QStringList{"set:A", "with:b", "all"} << QByteArray("a a") << 1 << 1 << -1;
}

void ProjectFindTest::find()
{
    QFETCH(QByteArray, script);
    QFETCH(int, cursor);
    QFETCH(QStringList, steps);
    QFETCH(QByteArray, text);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, position);
    Session session(script);
    QVERIFY(session.open());
    session.page.show();
    QTextCursor place = editor(session.page)->textCursor();
    place.setPosition(cursor);
    editor(session.page)->setTextCursor(place);
    for (const QString& action : steps)
        step(session.page, action);

    QCOMPARE(editor(session.page)->toPlainText().toUtf8(), text);
    const QTextCursor selection = editor(session.page)->textCursor();
    QCOMPARE(selection.selectionStart(), start);
    QCOMPARE(selection.selectionEnd(), end);
    QCOMPARE(selection.position(), end);
    QCOMPARE(session.page.searchPosition(), position);
    // Searching alone never marks the file modified or enables saving.
    const bool changed = text != script;
    QCOMPARE(editor(session.page)->document()->isModified(), changed);
    QCOMPARE(formChild<QToolButton>(session.page, "codeSaveTool")->isEnabled(), changed);
    QCOMPARE(session.folder.read("main.kos"), script);
}

void ProjectFindTest::replaceAllIsOneUndoStep()
{
    Session session("a A a a");
    QVERIFY(session.open());
    step(session.page, "set:a");
    step(session.page, "with:bb");
    step(session.page, "all");
    QCOMPARE(editor(session.page)->toPlainText(), QString("bb A bb bb"));
    editor(session.page)->undo();
    QCOMPARE(editor(session.page)->toPlainText(), QString("a A a a"));
    QVERIFY(!editor(session.page)->document()->isUndoAvailable());
}

// The search position survives switching to a shorter file; searching there
// starts over from the top or the end.
void ProjectFindTest::searchPositionPastShorterFile()
{
    Session session("var main()\n{\n    return 1; // long line, long line\n}\n");
    session.folder.write("short.kos", "var x;\n");
    session.folder.addFile("short.kos");
    QVERIFY(session.open());
    session.page.resize(600, 300);
    session.page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&session.page));
    session.page.showFindReplace();
    step(session.page, "type:line");
    QCOMPARE(session.page.searchPosition(), 39);
    QVERIFY(session.page.grab().save(KOLM_ARTIFACT_DIR "/project_find_bar.png"));

    auto* selector = formChild<QComboBox>(session.page, "codeSelectorCombo");
    selector->setCurrentIndex(1);
    emit selector->activated(1);
    QCOMPARE(editor(session.page)->toPlainText(), QString("var x;\n"));
    step(session.page, "set:var");
    step(session.page, "prev");
    QCOMPARE(editor(session.page)->textCursor().selectedText(), QString("var"));
    QCOMPARE(session.page.searchPosition(), 3);
    step(session.page, "set:x");
    step(session.page, "next");
    QCOMPARE(session.page.searchPosition(), 5);
}

void ProjectFindTest::ctrlF_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("barShown");
    QTest::addColumn<bool>("barAfter");
    QTest::newRow("toggle off, bar hidden") << false << false << true;
    QTest::newRow("toggle off, bar shown") << false << true << true;
    QTest::newRow("toggle on, bar hidden") << true << false << true;
    QTest::newRow("toggle on, bar shown") << true << true << false;
}

// Ctrl+F in the editor opens the bar with the selection as find text, or
// with the find toggle on closes an open bar; Escape then closes it unless
// the toggle is on.
void ProjectFindTest::ctrlF()
{
    QFETCH(bool, toggle);
    QFETCH(bool, barShown);
    QFETCH(bool, barAfter);
    QSettings().setValue("Editor/FindToggle", toggle);
    Session session("var main()\n{\n    return main;\n}\n");
    session.page.readSettings();
    QVERIFY(session.open());
    session.page.show();
    QWidget* bar = formChild<QWidget>(session.page, "codeFindReplaceWidget");
    bar->setVisible(barShown);
    QTextCursor word = editor(session.page)->textCursor();
    word.setPosition(4);
    word.setPosition(8, QTextCursor::KeepAnchor);
    editor(session.page)->setTextCursor(word);

    QTest::keyClick(editor(session.page), Qt::Key_F, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(!bar->isHidden(), barAfter, 5000);
    QTest::qWait(20);
    QCOMPARE(!bar->isHidden(), barAfter);
    if (!barAfter)
        return;
    QCOMPARE(findEdit(session.page)->text(), QString("main"));
    QCOMPARE(findEdit(session.page)->selectedText(), QString("main"));
    // The search starts at the selection, which therefore stays.
    QCOMPARE(editor(session.page)->textCursor().selectionStart(), 4);
    QCOMPARE(editor(session.page)->textCursor().selectionEnd(), 8);

    QTest::keyClick(findEdit(session.page), Qt::Key_Escape);
    QCOMPARE(bar->isHidden(), !toggle);
    QCOMPARE(session.log.of("hideRequested").size(), toggle ? 1 : 0);
}

// Ctrl+F opens the bar from the event loop; a page deleted before then is
// left alone.
void ProjectFindTest::pageDeletedBeforeQueuedFind()
{
    auto* page = new KolmProjectWindow;
    QPointer<QWidget> bar = formChild<QWidget>(*page, "codeFindReplaceWidget");
    QTest::keyClick(editor(*page), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(bar->isHidden());
    delete page;
    QCoreApplication::processEvents();
    QTest::qWait(20);
    QVERIFY(!bar);
}

QTEST_MAIN(ProjectFindTest)
#include "project_find_test.moc"
