// The project page around the build: its state with and without a project,
// the editor settings, keys, opening and saving files, the save questions,
// the file selector with new, add and remove, the temporary files, the
// board package reload and the build-option slots.

#include "fixedwidthfont.h"
#include "form_child.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qsourceeditor.h"
#include "temp_settings.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QCompleter>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

const QByteArray kMain = "var main()\n{\n    return 1;\n}\n";
const QByteArray kOther = "var other()\n{\n    return 2;\n}\n";

QByteArray package()
{
    QFile file(KOLM_TEST_PACKAGE_DIR "/fixture.kbsp");
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Whether the completer's model offers a word at its top level.
bool offers(QCompleter* completer, const QString& word)
{
    const QAbstractItemModel* model = completer->model();
    return !model->match(model->index(0, 0), Qt::DisplayRole, word, 1, Qt::MatchExactly).isEmpty();
}

// Receives the URLs that the page hands to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

} // namespace

class ProjectPageTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

    static QSourceEditor* editor(const KolmProjectWindow& page) { return formChild<QSourceEditor>(page, "codeEditor"); }
    static QComboBox* selector(const KolmProjectWindow& page) { return formChild<QComboBox>(page, "codeSelectorCombo"); }
    static QStringList entries(const KolmProjectWindow& page)
    {
        QStringList list;
        for (int i = 0; i < selector(page)->count(); ++i)
            list.append(selector(page)->itemText(i));
        return list;
    }
    // Types text into the editor, line feeds as Return.
    static void type(KolmProjectWindow& page, const QString& text)
    {
        const QStringList lines = text.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(editor(page), Qt::Key_Return);
            QTest::keyClicks(editor(page), lines[i]);
        }
    }
    static void pick(KolmProjectWindow& page, const QString& entry)
    {
        const int index = selector(page)->findText(entry);
        QVERIFY(index >= 0);
        selector(page)->setCurrentIndex(index);
        emit selector(page)->activated(index);
    }

private slots:
    void init();
    void stateWithoutProject();
    void setProjectFillsSelectorInOrder();
    void closeProjectEmptiesPage();
    void readSettings_data();
    void readSettings();
    void escapeAndFindToggle_data();
    void escapeAndFindToggle();
    void controlKeys_data();
    void controlKeys();
    void savingWritesModifiedBlankDocument();
    void cleanSpaces();
    void languageByName_data();
    void languageByName();
    void notUtf8OpensReadOnly_data();
    void notUtf8OpensReadOnly();
    void unreadableFile();
    void switchingFiles_data();
    void switchingFiles();
    void closeQuestions_data();
    void closeQuestions();
    void projectFileCannotBeSaved();
    void pageDeletedInsideSaveQuestion();
    void launchers();
    void hexviewLauncher();
    void pageDeletedInsideHexview();
    void configureLauncher_data();
    void configureLauncher();
    void insideConfigure_data();
    void insideConfigure();
    void newFile();
    void newFileAlreadyInProject_data();
    void newFileAlreadyInProject();
    void addFiles();
    void removeFile_data();
    void removeFile();
    void removeMainFile();
    void temporaryFiles();
    void packageReload();
    void savingPackageReloadsIt();
    void buildOptions();
};

void ProjectPageTest::init()
{
    for (const QString& key : QSettings().allKeys())
        QSettings().remove(key);
}

void ProjectPageTest::stateWithoutProject()
{
    KolmProjectWindow page;
    QVERIFY(!formChild<QWidget>(page, "controlWidget")->isEnabled());
    QVERIFY(formChild<QWidget>(page, "projectButton")->isHidden());
    QVERIFY(!formChild<QWidget>(page, "projectBspButton")->isEnabled());
    QVERIFY(formChild<QWidget>(page, "codeFindReplaceWidget")->isHidden());
    QCOMPARE(formChild<QLabel>(page, "projectNameLabel")->text(), QString("---"));
    QVERIFY(editor(page)->isReadOnly());
    QVERIFY(!page.modified() && !page.compiled());
    QCOMPARE(page.output(), QString());
    QCOMPARE(page.outputElf(), QByteArray());
    QStringList menu;
    for (QAction* action : formChild<QToolButton>(page, "projectButton")->menu()->actions())
        menu.append(action->text());
    QCOMPARE(menu, (QStringList{"Schematic", "Hexview", "Reveal", "Configure"}));
    // Ctrl+S without a project does nothing and asks nothing.
    ModalDriver modal;
    QTest::keyClick(editor(page), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(modal.seen().size(), 0);
}

void ProjectPageTest::setProjectFillsSelectorInOrder()
{
    Session session(kMain);
    session.folder.write("b.kos", kOther);
    session.folder.write("a.kos", kOther);
    session.folder.write("board.kbsp", package());
    QJsonArray files{QJsonObject{{"name", "b.kos"}, {"path", ""}, {"flags", QJsonArray{}}},
                     QJsonObject{{"name", "main.kos"}, {"path", ""}, {"flags", QJsonArray{"main"}}},
                     QJsonObject{{"name", "a.kos"}, {"path", ""}, {"flags", QJsonArray{}}}};
    session.folder.json()["files"] = files;
    session.folder.json()["bsp"] = "board.kbsp";
    QVERIFY(session.open());
    QCOMPARE(entries(session.page), (QStringList{"main.kos", "b.kos", "a.kos", "board.kbsp"}));
    QCOMPARE(selector(session.page)->currentText(), QString("main.kos"));
    QCOMPARE(editor(session.page)->toPlainText().toUtf8(), kMain);
    QVERIFY(!editor(session.page)->isReadOnly());
    QVERIFY(formChild<QWidget>(session.page, "controlWidget")->isEnabled());
    QVERIFY(!formChild<QWidget>(session.page, "projectButton")->isHidden());
    QVERIFY(formChild<QWidget>(session.page, "projectBspButton")->isEnabled());
    QCOMPARE(formChild<QLabel>(session.page, "projectNameLabel")->text(), QString("demo"));
    QCOMPARE(session.log.events, QStringList());
}

void ProjectPageTest::closeProjectEmptiesPage()
{
    Session session(kMain);
    QVERIFY(session.open());
    session.page.compile();
    QVERIFY(session.page.compiled());
    session.log.events.clear();
    QPointer<KolmProject> project = session.page.project();
    session.page.closeProject();
    QCOMPARE(session.log.events, QStringList{"compiledChanged: false"});
    QVERIFY(!session.page.project());
    QTRY_VERIFY(!project);
    QCOMPARE(entries(session.page), QStringList());
    QCOMPARE(editor(session.page)->toPlainText(), QString());
    QVERIFY(editor(session.page)->isReadOnly());
    QVERIFY(!formChild<QWidget>(session.page, "controlWidget")->isEnabled());
    QCOMPARE(formChild<QLabel>(session.page, "projectNameLabel")->text(), QString("---"));
}

void ProjectPageTest::readSettings_data()
{
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<QVariantList>("expected"); // autoPar, spaces, tab, indent, wrap, visualize, size
    QTest::newRow("defaults") << QVariantMap{}
                              << QVariantList{true, true, 4, true, false, false, QApplication::font().pointSize()};
    QTest::newRow("all changed") << QVariantMap{{"Editor/AutoPar", false},   {"Editor/UseSpaces", false},
                                                {"Editor/TabWidth", 8},      {"Editor/AutoIndent", false},
                                                {"Editor/WordWrap", true},   {"Editor/VisualizeSpaces", true},
                                                {"Editor/FontSize", 17},     {"Editor/Font", "Serif"}}
                                 << QVariantList{false, false, 8, false, true, true, 17};
}

void ProjectPageTest::readSettings()
{
    QFETCH(QVariantMap, values);
    QFETCH(QVariantList, expected);
    for (auto it = values.begin(); it != values.end(); ++it)
        QSettings().setValue(it.key(), it.value());
    KolmProjectWindow page;
    page.readSettings();
    QSourceEditor* e = editor(page);
    const QVariantList actual{e->autoParentheses(), e->tabReplace(), e->tabReplaceSize(), e->autoIndentation(),
                              e->lineWrapMode() == QTextEdit::WidgetWidth, e->visualizeWhitespace(),
                              e->font().pointSize()};
    QCOMPARE(actual, expected);
    QCOMPARE(e->wordWrapMode() == QTextOption::WordWrap, expected[4].toBool());
    // Without a chosen family the script lines up in columns, whatever the
    // system's fixed font is.
    const QString family = values.value("Editor/Font").toString();
    if (family.isEmpty())
        QVERIFY(hasEqualAdvances(e->font()));
    else
        QCOMPARE(e->font().family(), QFont(family).family());
}

void ProjectPageTest::escapeAndFindToggle_data()
{
    QTest::addColumn<bool>("toggle");
    QTest::addColumn<bool>("barShown");
    QTest::addColumn<bool>("inBar");
    QTest::addColumn<bool>("barAfter");
    QTest::addColumn<int>("hideRequests");
    QTest::newRow("toggle off, bar shown, editor") << false << true << false << false << 0;
    QTest::newRow("toggle off, bar shown, in the bar") << false << true << true << false << 0;
    QTest::newRow("toggle off, bar hidden") << false << false << false << false << 1;
    QTest::newRow("toggle on, bar shown") << true << true << false << true << 1;
    QTest::newRow("toggle on, bar shown, in the bar") << true << true << true << true << 1;
}

void ProjectPageTest::escapeAndFindToggle()
{
    QFETCH(bool, toggle);
    QFETCH(bool, barShown);
    QFETCH(bool, inBar);
    QFETCH(bool, barAfter);
    QFETCH(int, hideRequests);
    QSettings().setValue("Editor/FindToggle", toggle);
    KolmProjectWindow page;
    SignalLog log(&page);
    page.readSettings();
    QWidget* bar = formChild<QWidget>(page, "codeFindReplaceWidget");
    bar->setVisible(barShown);
    QTest::keyClick(inBar ? static_cast<QWidget*>(formChild<QLineEdit>(page, "codeFindEdit")) : editor(page),
                    Qt::Key_Escape);
    QCOMPARE(!bar->isHidden(), barAfter);
    QCOMPARE(log.of("hideRequested").size(), hideRequests);
}

void ProjectPageTest::controlKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<bool>("inEditor");
    QTest::addColumn<bool>("saved");
    QTest::addColumn<bool>("built");
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << int(Qt::ControlModifier) << true << true << false;
    QTest::newRow("Ctrl+Shift+S") << int(Qt::Key_S) << int(Qt::ControlModifier | Qt::ShiftModifier) << true << true
                                  << false;
    QTest::newRow("Ctrl+B") << int(Qt::Key_B) << int(Qt::ControlModifier) << true << true << true;
    QTest::newRow("Ctrl+S in the find bar") << int(Qt::Key_S) << int(Qt::ControlModifier) << false << false
                                            << false;
    QTest::newRow("Alt+S") << int(Qt::Key_S) << int(Qt::AltModifier) << true << false << false;
}

void ProjectPageTest::controlKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(bool, inEditor);
    QFETCH(bool, saved);
    QFETCH(bool, built);
    Session session(kMain);
    QVERIFY(session.open());
    editor(session.page)->moveCursor(QTextCursor::End);
    type(session.page, "// more\n");
    const QByteArray edited = kMain + "// more\n";
    QWidget* target = inEditor ? static_cast<QWidget*>(editor(session.page))
                               : formChild<QLineEdit>(session.page, "codeFindEdit");
    QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(session.folder.read("main.kos"), saved ? edited : kMain);
    QCOMPARE(session.log.of("compilationFinished"), built ? QStringList{"true"} : QStringList());
    QCOMPARE(editor(session.page)->document()->isModified(), !saved);
}

void ProjectPageTest::savingWritesModifiedBlankDocument()
{
    Session session(kMain);
    QVERIFY(session.open());
    editor(session.page)->selectAll();
    editor(session.page)->insertPlainText("  \n\t");
    QVERIFY(formChild<QWidget>(session.page, "codeSaveTool")->isEnabled());
    QTest::keyClick(editor(session.page), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(session.folder.read("main.kos"), QByteArray("  \n\t"));
    QVERIFY(!formChild<QWidget>(session.page, "codeSaveTool")->isEnabled());
    // An unmodified document is not written again.
    session.folder.write("main.kos", "changed on disk");
    QTest::keyClick(editor(session.page), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(session.folder.read("main.kos"), QByteArray("changed on disk"));
}

void ProjectPageTest::cleanSpaces()
{
    QSettings().setValue("Editor/CleanSpaces", true);
    Session session(kMain);
    QVERIFY(session.open());
    editor(session.page)->selectAll();
    editor(session.page)->insertPlainText(QString::fromUtf8("a \t\n\nb\u00a0\u2003 \n  c\r\n\n"));
    QTest::keyClick(editor(session.page), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(session.folder.read("main.kos"), QByteArray("a\n\nb\n  c\n\n"));
    QCOMPARE(editor(session.page)->toPlainText(), QString("a\n\nb\n  c\n\n"));
}

void ProjectPageTest::languageByName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("completer");
    QTest::newRow("script") << "x.kos" << true;
    QTest::newRow("script in capitals") << "X.KOS" << true;
    QTest::newRow("ends in kos without a dot") << "blinkkos" << true;
    QTest::newRow("package") << "board.KBSP" << false;
    QTest::newRow("text") << "notes.txt" << false;
}

void ProjectPageTest::languageByName()
{
    QFETCH(QString, name);
    QFETCH(bool, completer);
    Session session(kMain);
    session.folder.write(name, "text");
    QVERIFY(session.open());
    session.page.open(name);
    QCOMPARE(editor(session.page)->completer() != nullptr, completer);
    QCOMPARE(editor(session.page)->toPlainText(), QString("text"));
    QVERIFY(!editor(session.page)->document()->isModified());
}

void ProjectPageTest::notUtf8OpensReadOnly_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("NUL byte") << QByteArray("var a;\0tail", 11) << "var a;";
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xe9") << QString::fromUtf8("caf\xef\xbf\xbd");
}

void ProjectPageTest::notUtf8OpensReadOnly()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    Session session(kMain);
    session.folder.addFile("data.kos");
    session.folder.write("data.kos", bytes);
    QVERIFY(session.open());
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    pick(session.page, "data.kos");
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Open File"));
    QCOMPARE(modal.seen()[0].text, session.folder.path("data.kos") + " is not a UTF-8 text file and is shown read-only");
    QCOMPARE(editor(session.page)->toPlainText(), shown);
    QVERIFY(editor(session.page)->isReadOnly());
    type(session.page, "x");
    QTest::keyClick(editor(session.page), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(session.folder.read("data.kos"), bytes);
    // The next file opens writable again.
    pick(session.page, "main.kos");
    QVERIFY(!editor(session.page)->isReadOnly());
    QCOMPARE(modal.seen().size(), 1);
}

void ProjectPageTest::unreadableFile()
{
    Session session(kMain);
    QVERIFY(session.open());
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    session.page.open("missing.kos");
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Open File"));
    QVERIFY(modal.seen()[0].text.startsWith("Cannot read " + session.folder.path("missing.kos") + ": "));
    QCOMPARE(editor(session.page)->toPlainText().toUtf8(), kMain);
}

void ProjectPageTest::switchingFiles_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<QByteArray>("mainOnDisk");
    QTest::newRow("Cancel") << int(QMessageBox::Cancel) << "main.kos" << kMain;
    QTest::newRow("Discard") << int(QMessageBox::Discard) << "other.kos" << kMain;
    QTest::newRow("Save") << int(QMessageBox::Save) << "other.kos" << QByteArray("edit" + kMain);
}

void ProjectPageTest::switchingFiles()
{
    QFETCH(int, answer);
    QFETCH(QString, shownAfter);
    QFETCH(QByteArray, mainOnDisk);
    Session session(kMain);
    session.folder.addFile("other.kos");
    session.folder.write("other.kos", kOther);
    QVERIFY(session.open());
    type(session.page, "edit");
    ModalDriver modal;
    // Picking the file that is shown asks nothing, modified or not.
    pick(session.page, "main.kos");
    QCOMPARE(modal.seen().size(), 0);
    modal.press(QMessageBox::StandardButton(answer));
    pick(session.page, "other.kos");
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].text, QString("File main.kos has been modified. Save changes?"));
    QCOMPARE(selector(session.page)->currentText(), shownAfter);
    QCOMPARE(session.folder.read("main.kos"), mainOnDisk);
    QCOMPARE(editor(session.page)->toPlainText().toUtf8(), shownAfter == "main.kos" ? "edit" + kMain : kOther);
    if (shownAfter == "other.kos") {
        // Back on the first file: the discarded edit is gone.
        pick(session.page, "main.kos");
        QCOMPARE(editor(session.page)->toPlainText().toUtf8(), mainOnDisk);
    }
}

void ProjectPageTest::closeQuestions_data()
{
    QTest::addColumn<int>("fileAnswer");
    QTest::addColumn<int>("projectAnswer");
    QTest::addColumn<int>("boxes");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<QByteArray>("mainOnDisk");
    const QByteArray edited = "edit" + kMain;
    QTest::newRow("Cancel on the file") << int(QMessageBox::Cancel) << 0 << 1 << false << kMain;
    QTest::newRow("Save file, Cancel project") << int(QMessageBox::Save) << int(QMessageBox::Cancel) << 2 << false
                                               << edited;
    QTest::newRow("Discard file, Discard project") << int(QMessageBox::Discard) << int(QMessageBox::Discard) << 2
                                                   << true << kMain;
    QTest::newRow("Save both") << int(QMessageBox::Save) << int(QMessageBox::Save) << 2 << true << edited;
}

void ProjectPageTest::closeQuestions()
{
    QFETCH(int, fileAnswer);
    QFETCH(int, projectAnswer);
    QFETCH(int, boxes);
    QFETCH(bool, closed);
    QFETCH(QByteArray, mainOnDisk);
    Session session(kMain);
    QVERIFY(session.open());
    type(session.page, "edit");
    session.page.project()->setAuthor("someone");
    ModalDriver modal;
    modal.press(QMessageBox::StandardButton(fileAnswer));
    if (projectAnswer)
        modal.press(QMessageBox::StandardButton(projectAnswer));
    // A new project waits for the old one to close.
    auto* next = session.folder.load();
    const bool taken = session.page.setProject(next);
    if (!taken)
        delete next;
    QCOMPARE(taken, closed);
    QCOMPARE(modal.seen().size(), boxes);
    if (boxes == 2)
        QCOMPARE(modal.seen()[1].text, QString("Project demo is modified. Save?"));
    QCOMPARE(session.folder.read("main.kos"), mainOnDisk);
    const bool projectSaved = projectAnswer == QMessageBox::Save;
    QCOMPARE(session.folder.read("demo.kcpro").contains("someone"), projectSaved);
}

void ProjectPageTest::projectFileCannotBeSaved()
{
    Session session(kMain);
    QVERIFY(session.open());
    session.page.project()->setAuthor("someone");
    QVERIFY(QFile::remove(session.folder.path("demo.kcpro")));
    QVERIFY(QDir().mkpath(session.folder.path("demo.kcpro")));
    ModalDriver modal;
    modal.press(QMessageBox::Ok).press(QMessageBox::Ok);
    QVERIFY(!session.page.trySaveChanges());
    QVERIFY(!session.page.saveChanges());
    QCOMPARE(modal.seen().size(), 2);
    for (const ModalDriver::Seen& box : modal.seen()) {
        QCOMPARE(box.title, QString("Save Changes"));
        QCOMPARE(box.text, QString("Cannot save project demo"));
    }
    QVERIFY(session.log.of("error").value(0).startsWith("Cannot write to "));
    QVERIFY(session.page.modified());
}

void ProjectPageTest::pageDeletedInsideSaveQuestion()
{
    ProjectFolder folder;
    folder.write("main.kos", kMain);
    QPointer<KolmProjectWindow> page = new KolmProjectWindow;
    QVERIFY(page->setProject(folder.load()));
    QTest::keyClicks(editor(*page), "edit");
    ModalDriver modal;
    modal.then([&](QWidget*) { delete page; });
    page->closeProject();
    QVERIFY(!page);
    QCOMPARE(folder.read("main.kos"), kMain);
}

void ProjectPageTest::launchers()
{
    Session session(kMain);
    QFile svg(KOLM_TEST_PACKAGE_DIR "/schematic.svg");
    QVERIFY(svg.open(QIODevice::ReadOnly));
    session.folder.write("board.svg", svg.readAll());
    QVERIFY(session.open());
    QMenu* menu = formChild<QToolButton>(session.page, "projectButton")->menu();

    menu->actions()[0]->trigger();
    QCOMPARE(session.log.of("error"), QStringList{"Project demo does not have an attached schematic"});
    session.page.project()->setSchematics("board.svg");
    menu->actions()[0]->trigger();
    QWidget* viewer = session.page.findChild<QWidget*>("SvgViewer");
    QVERIFY(viewer && viewer->isVisible());
    QVERIFY(viewer->isWindow());

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    menu->actions()[2]->trigger();
    QDesktopServices::unsetUrlHandler("file");
    QCOMPARE(catcher.urls, QList<QUrl>{QUrl::fromLocalFile(QFileInfo(session.folder.path("demo.kcpro")).absolutePath())});

    // Closing the project hides the viewer.
    ModalDriver modal;
    modal.press(QMessageBox::Discard);
    session.page.closeProject();
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(!viewer->isVisible());
}

// The hex view asks for a build first, then shows the uploadable image under
// the project's name, and asks again after the next edit.
void ProjectPageTest::hexviewLauncher()
{
    Session session(kMain);
    QVERIFY(session.open());
    QAction* hexview = formChild<QToolButton>(session.page, "projectButton")->menu()->actions()[1];

    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    hexview->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].kind, QString("box"));
    QCOMPARE(modal.seen()[0].title, QString("Compiler"));
    QCOMPARE(modal.seen()[0].text, QString("Project has not been built"));

    QCOMPARE(session.build().last(), QString("compilationFinished: true"));
    const QByteArray image = session.page.outputBin();
    QVERIFY(!image.isEmpty());
    QString text;
    modal.then([&](QWidget* window) {
        text = formChild<QPlainTextEdit>(*window, "plainTextEdit")->toPlainText();
        static_cast<QDialog*>(window)->reject();
    });
    hexview->trigger();
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen()[1].title, QString("Kolm HexView"));
    QCOMPARE(text.section('\n', 0, 0), QString("static const unsigned char demo[%1] = {").arg(image.size()));
    QCOMPARE(text.section('\n', 1, 1).left(4), QString("0x%1").arg(quint8(image[0]), 2, 16, QChar('0')));

    QTest::keyClicks(editor(session.page), "x");
    modal.press(QMessageBox::Ok);
    hexview->trigger();
    QCOMPARE(modal.seen().size(), 3);
    QCOMPARE(modal.seen()[2].text, QString("Project has not been built"));
    QCOMPARE(modal.unanswered(), 0);
}

void ProjectPageTest::pageDeletedInsideHexview()
{
    ProjectFolder folder;
    folder.write("main.kos", kMain);
    QPointer<KolmProjectWindow> page = new KolmProjectWindow;
    QVERIFY(page->setProject(folder.load()));
    page->compile();
    QVERIFY(page->compiled());
    ModalDriver modal;
    modal.then([&](QWidget*) { delete page; });
    formChild<QToolButton>(*page, "projectButton")->menu()->actions()[1]->trigger();
    QVERIFY(!page);
    QCOMPARE(modal.seen().size(), 1);
}

// The configuration dialog changes the project only when accepted; an
// accepted one also makes the last build out of date.
void ProjectPageTest::configureLauncher_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("OK") << true;
    QTest::newRow("Cancel") << false;
}

void ProjectPageTest::configureLauncher()
{
    QFETCH(bool, accept);
    Session session(kMain);
    session.folder.write("board.kbsp", package());
    QVERIFY(session.open());
    QCOMPARE(session.build().last(), QString("compilationFinished: true"));
    session.log.events.clear();
    auto* bspButton = formChild<QToolButton>(session.page, "projectBspButton");
    QVERIFY(!bspButton->isEnabled());

    ModalDriver modal;
    modal.then([&](QWidget* window) {
        auto* name = formChild<QLineEdit>(*window, "nameEdit");
        name->selectAll();
        QTest::keyClicks(name, "renamed");
        formChild<QComboBox>(*window, "bspEdit")->setEditText("board.kbsp");
        auto* dialog = static_cast<QDialog*>(window);
        accept ? dialog->accept() : dialog->reject();
    });
    formChild<QToolButton>(session.page, "projectButton")->menu()->actions()[3]->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Configure demo"));
    KolmProject* project = session.page.project();
    QCOMPARE(project->name(), QString(accept ? "renamed" : "demo"));
    QCOMPARE(project->isModified(), accept);
    QCOMPARE(session.page.compiled(), !accept);
    QCOMPARE(session.log.events,
             accept ? (QStringList{"projectModified: true", "compiledChanged: false"}) : QStringList());
    // The new board package is loaded at once.
    QCOMPARE(bspButton->isEnabled(), accept);
}

// The page deleted, or its project closed, while the dialog is open.
void ProjectPageTest::insideConfigure_data()
{
    QTest::addColumn<bool>("deletePage");
    QTest::newRow("page deleted") << true;
    QTest::newRow("project closed") << false;
}

void ProjectPageTest::insideConfigure()
{
    QFETCH(bool, deletePage);
    ProjectFolder folder;
    folder.write("main.kos", kMain);
    QPointer<KolmProjectWindow> page = new KolmProjectWindow;
    QVERIFY(page->setProject(folder.load()));
    QPointer<KolmProject> project = page->project();
    ModalDriver modal;
    modal.then([&](QWidget* window) {
        if (deletePage)
            return delete page;
        page->closeProject();
        formChild<QLineEdit>(*window, "nameEdit")->setText("renamed");
        static_cast<QDialog*>(window)->accept();
    });
    formChild<QToolButton>(*page, "projectButton")->menu()->actions()[3]->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(page.isNull(), deletePage);
    if (!deletePage) {
        QVERIFY(!page->project());
        QVERIFY(!project || project->name() == "demo");
        delete page;
    }
}

void ProjectPageTest::newFile()
{
    Session session(kMain);
    QVERIFY(session.open());
    QDir().mkpath(session.folder.path("scripts"));
    ModalDriver modal;
    modal.chooseFile(session.folder.path("scripts/blink.kos"));
    QTest::keyClick(editor(session.page), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].kind, QString("file"));
    QCOMPARE(modal.seen()[0].title, QString("Save As"));
    const QList<QByteArray> lines = session.folder.read("scripts/blink.kos").split('\n');
    QCOMPARE(lines.size(), 7);
    QCOMPARE(lines[0], QByteArray("/*"));
    QCOMPARE(lines[1], QByteArray(" * KolM Script blink.kos"));
    QCOMPARE(lines[2], QByteArray(" * Project: demo"));
    QVERIFY(QDateTime::fromString(QString(lines[3].mid(11)), "yyyy.MM.dd hh:mm:ss").isValid());
    QCOMPARE(lines.mid(4), (QList<QByteArray>{" */", "", ""}));
    QCOMPARE(entries(session.page), (QStringList{"main.kos", "scripts/blink.kos"}));
    QCOMPARE(selector(session.page)->currentText(), QString("main.kos"));
    QCOMPARE(editor(session.page)->toPlainText().toUtf8(), kMain);
    QVERIFY(session.page.project()->isModified());
}

void ProjectPageTest::newFileAlreadyInProject_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::newRow("another file") << "other.kos";
    QTest::newRow("the main script open in the editor") << "main.kos";
    QTest::newRow("the project file") << "demo.kcpro";
}

void ProjectPageTest::newFileAlreadyInProject()
{
    QFETCH(QString, chosen);
    Session session(kMain);
    session.folder.addFile("other.kos");
    session.folder.write("other.kos", kOther);
    QVERIFY(session.open());
    const QByteArray before = session.folder.read(chosen);
    QVERIFY(!before.isEmpty());
    ModalDriver modal;
    // The overwrite question would open inside the driver's own answer,
    // where the driver cannot reach it; the user's Yes is taken as given.
    modal.then([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
        dialog->setDirectory(session.folder.path(""));
        dialog->selectFile(chosen);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    modal.press(QMessageBox::Ok);
    QTest::keyClick(editor(session.page), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(modal.seen().last().title, QString("New File"));
    QCOMPARE(modal.seen().last().text, QString("Cannot add file to project"));
    QCOMPARE(session.log.of("error").size(), 1);
    QVERIFY(session.log.of("error")[0].startsWith("Cannot add file "));
    QCOMPARE(entries(session.page), (QStringList{"main.kos", "other.kos"}));
    // The file on disk was never opened for writing.
    QCOMPARE(session.folder.read(chosen), before);
}

void ProjectPageTest::addFiles()
{
    Session session(kMain);
    session.folder.write("a.kos", kOther);
    session.folder.write("b.kos", kOther);
    QVERIFY(session.open());
    ModalDriver modal;
    modal.then([&](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        dialog->setDirectory(session.folder.path(""));
        formChild<QLineEdit>(*dialog, "fileNameEdit")->setText("\"a.kos\" \"main.kos\" \"b.kos\"");
        QMetaObject::invokeMethod(dialog, "accept");
    });
    modal.press(QMessageBox::Ok);
    QTest::keyClick(editor(session.page), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen()[0].title, QString("Add Files"));
    QCOMPARE(modal.seen()[1].text, QString("Could not add some of the files to project"));
    QCOMPARE(entries(session.page), (QStringList{"main.kos", "a.kos", "b.kos"}));
    QCOMPARE(session.log.of("error").size(), 1);
}

void ProjectPageTest::removeFile_data()
{
    QTest::addColumn<int>("saveAnswer");
    QTest::addColumn<int>("removeAnswer");
    QTest::addColumn<bool>("removed");
    QTest::newRow("Cancel in the save question") << int(QMessageBox::Cancel) << 0 << false;
    QTest::newRow("No") << int(QMessageBox::Discard) << int(QMessageBox::No) << false;
    QTest::newRow("Yes") << int(QMessageBox::Save) << int(QMessageBox::Yes) << true;
}

void ProjectPageTest::removeFile()
{
    QFETCH(int, saveAnswer);
    QFETCH(int, removeAnswer);
    QFETCH(bool, removed);
    Session session(kMain);
    session.folder.addFile("a.kos");
    session.folder.addFile("b.kos");
    session.folder.write("a.kos", kOther);
    session.folder.write("b.kos", kOther);
    QVERIFY(session.open());
    pick(session.page, "a.kos");
    type(session.page, "edit");
    ModalDriver modal;
    modal.press(QMessageBox::StandardButton(saveAnswer));
    if (removeAnswer)
        modal.press(QMessageBox::StandardButton(removeAnswer));
    formChild<QToolButton>(session.page, "codeRemoveTool")->click();
    QCOMPARE(modal.seen().size(), removeAnswer ? 2 : 1);
    if (removeAnswer) {
        QCOMPARE(modal.seen()[1].title, QString("Remove File"));
        QCOMPARE(modal.seen()[1].text, "Remove file " + session.folder.path("a.kos") + " from project demo?<br>"
                                       "The file itself will not be deleted.");
    }
    QCOMPARE(entries(session.page), removed ? (QStringList{"main.kos", "b.kos"})
                                            : (QStringList{"main.kos", "a.kos", "b.kos"}));
    QVERIFY(QFileInfo::exists(session.folder.path("a.kos")));
    QCOMPARE(session.page.project()->fileList().contains("a.kos"), !removed);
    if (!removed)
        return;
    QCOMPARE(session.folder.read("a.kos"), "edit" + kOther);
    // Nothing is shown, and nothing typed goes anywhere, until a pick.
    QCOMPARE(selector(session.page)->currentText(), QString("b.kos"));
    QCOMPARE(editor(session.page)->toPlainText(), QString());
    QVERIFY(editor(session.page)->isReadOnly());
    type(session.page, "lost");
    QTest::keyClick(editor(session.page), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(session.folder.read("a.kos"), "edit" + kOther);
    pick(session.page, "b.kos");
    QCOMPARE(editor(session.page)->toPlainText().toUtf8(), kOther);
    QVERIFY(!editor(session.page)->isReadOnly());
}

void ProjectPageTest::removeMainFile()
{
    Session session(kMain);
    QVERIFY(session.open());
    ModalDriver modal;
    modal.press(QMessageBox::Yes);
    formChild<QToolButton>(session.page, "codeRemoveTool")->click();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(session.log.of("error").size(), 1);
    QVERIFY(session.log.of("error")[0].startsWith("Cannot remove the main file"));
    QCOMPARE(entries(session.page), QStringList{"main.kos"});
    QCOMPARE(editor(session.page)->toPlainText().toUtf8(), kMain);
    QVERIFY(!editor(session.page)->isReadOnly());
    QVERIFY(!session.page.project()->isModified());
}

void ProjectPageTest::temporaryFiles()
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QString directory = QStandardPaths::standardLocations(QStandardPaths::AppDataLocation).value(0);
    QVERIFY(directory.startsWith(data.path()));
    const QString base = directory + "/__kolmide_temp_log_";
    QCOMPARE(KolmProjectWindow::makeTemporaryFile("log"), base + "000");
    QVERIFY(QDir(directory).exists());
    for (const char* name : {"__kolmide_temp_log_000", "__kolmide_temp_log_001", "keep.txt"}) {
        QFile file(directory + "/" + QString(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(KolmProjectWindow::makeTemporaryFile("log"), base + "002");
    KolmProjectWindow::cleanTemporaryStorage();
    QCOMPARE(QDir(directory).entryList(QDir::Files), QStringList{"keep.txt"});
    qunsetenv("XDG_DATA_HOME");
}

void ProjectPageTest::packageReload()
{
    // No package: no warning, button disabled, the language's words only.
    Session plain(kMain);
    QVERIFY(plain.open());
    QCompleter* completer = editor(plain.page)->completer();
    QVERIFY(!formChild<QWidget>(plain.page, "projectBspButton")->isEnabled());
    QVERIFY(offers(completer, "while") && !offers(completer, "LED"));

    // A package file that does not exist: the entry as written, the reason.
    Session missing(kMain);
    missing.folder.json()["bsp"] = "boards/none.kbsp";
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QVERIFY(missing.open());
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Board Support Package"));
    QVERIFY2(modal.seen()[0].text.startsWith("The board support package for this project is invalid!\n"
                                             "Package: boards/none.kbsp\nError: "),
             qPrintable(modal.seen()[0].text));
    QVERIFY(modal.seen()[0].text.size() > 80);
    QVERIFY(!formChild<QWidget>(missing.page, "projectBspButton")->isEnabled());
}

void ProjectPageTest::savingPackageReloadsIt()
{
    Session session(kMain);
    session.folder.write("board.kbsp", package());
    session.folder.json()["bsp"] = "board.kbsp";
    QVERIFY(session.open());
    QCompleter* completer = editor(session.page)->completer();
    QVERIFY(offers(completer, "LED"));
    QVERIFY(formChild<QWidget>(session.page, "projectBspButton")->isEnabled());

    // The package table opens on the loaded package.
    ModalDriver modal;
    modal.cancel();
    formChild<QToolButton>(session.page, "projectBspButton")->click();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Board Support Package"));

    // Renaming the define in the editor and saving reloads the package.
    pick(session.page, "board.kbsp");
    QString text = editor(session.page)->toPlainText();
    editor(session.page)->selectAll();
    editor(session.page)->insertPlainText(text.replace("name=\"LED\"", "name=\"LAMP\""));
    QTest::keyClick(editor(session.page), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(offers(completer, "LAMP") && !offers(completer, "LED"));
    QVERIFY(formChild<QWidget>(session.page, "projectBspButton")->isEnabled());

    // A broken package: the warning, no package, the language's words only.
    editor(session.page)->selectAll();
    editor(session.page)->insertPlainText("<Board/>");
    modal.press(QMessageBox::Ok);
    QTest::keyClick(editor(session.page), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen()[1].title, QString("Board Support Package"));
    QVERIFY(!formChild<QWidget>(session.page, "projectBspButton")->isEnabled());
    QVERIFY(offers(completer, "while") && !offers(completer, "LAMP"));
    // The next build runs without a package: its define is unknown.
    session.folder.write("main.kos", "var main()\n{\n    return LAMP;\n}\n");
    session.log.events.clear();
    session.page.compile();
    QCOMPARE(session.log.of("compilationFinished"), QStringList{"false"});
}

void ProjectPageTest::buildOptions()
{
    Session session(kMain);
    session.folder.json()["flags"] = QJsonArray{"debug"};
    session.folder.json()["optimize"] = "0";
    QVERIFY(session.open());
    session.page.setProjectDebug(true);
    QCOMPARE(session.log.events, QStringList());
    QVERIFY(!session.page.project()->isModified());
    session.page.setProjectOptimize(false);
    QCOMPARE(session.log.events, QStringList{"projectModified: true"});
    QCOMPARE(session.page.project()->value("optimize"), QJsonValue("0"));
    session.page.setProjectOptimize(true);
    QCOMPARE(session.page.project()->value("optimize"), QJsonValue("1"));
    session.page.setProjectDebug(false);
    QVERIFY(!session.page.project()->flagSet(QLatin1String("debug")));
    QCOMPARE(session.log.events, QStringList{"projectModified: true"});
    // The page's own edits count while the project is modified: no more
    // signals from the editor.
    type(session.page, "x");
    QCOMPARE(session.log.events, QStringList{"projectModified: true"});
}

QTEST_MAIN(ProjectPageTest)
#include "project_page_test.moc"
