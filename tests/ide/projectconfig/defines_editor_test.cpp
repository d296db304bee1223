// The macro definitions: the list model under Qt's model tester, refused
// edits, removal of a scattered selection, and the editor's tools with the
// import from another project's file.

#include "file_bytes.h"
#include "form_child.h"
#include "key_typing.h"
#include "kolmprojectdefineseditor.h"
#include "kolmprojectdefinesmodel.h"
#include "modal_driver.h"
#include "temp_settings.h"

#include <QAbstractItemModelTester>
#include <QDialog>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QListView>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

const QStringList kSix{"A=0", "B=1", "C=2", "D=3", "E=4", "F=5"};

void click(const KolmProjectDefinesEditor& editor, const char* tool)
{
    QTest::mouseClick(formChild<QToolButton>(editor, tool), Qt::LeftButton);
}

QListView* listOf(const KolmProjectDefinesEditor& editor)
{
    return formChild<QListView>(editor, "listView");
}

// A project in a temporary folder whose "defines" array is given.
class OtherProject
{
public:
    explicit OtherProject(const QJsonArray& defines)
    {
        write("main.kos", "var main() { return 0; }\n");
        const QJsonObject project{{"name", "other"},
                                  {"defines", defines},
                                  {"files", QJsonArray{QJsonObject{{"name", "main.kos"}, {"path", ""},
                                                                   {"flags", QJsonArray{"main"}}}}}};
        write("other.kcpro", QJsonDocument(project).toJson());
    }

    QString path(const QString& name) const { return QDir(m_dir.path()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const { writeBytes(path(name), bytes); }

private:
    QTemporaryDir m_dir;
};

} // namespace

class DefinesEditorTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

private slots:
    void modelUnderTester();
    void data();
    void edits_data();
    void edits();
    void header_data();
    void header();
    void setupAndClear();
    void removeScatteredSelection();
    void addOpensEditor();
    void importAppends();
    void importRefusesInvalidFile_data();
    void importRefusesInvalidFile();
    void importCancelled();
    void deletedInsideImport_data();
    void deletedInsideImport();
    void returnReachesDialog_data();
    void returnReachesDialog();
};

void DefinesEditorTest::modelUnderTester()
{
    KolmProjectDefinesModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    model.setup(kSix);
    model.append("G=6");
    QVERIFY(model.setData(model.index(1, 0), "B=11"));
    model.removeRows(1, 1);
    model.removeRows(4, 10); // past the end: only the rows there
    QCOMPARE(model.entries(), (QStringList{"A=0", "C=2", "D=3", "E=4"}));
    model.removeRows(9, 1); // nothing there
    model.removeRows(-1, 2);
    QCOMPARE(model.rowCount(), 4);
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    model.setup({});
    QCOMPARE(model.rowCount(), 0);
}

void DefinesEditorTest::data()
{
    KolmProjectDefinesModel model;
    model.setup({"LIMIT=5"});
    const QModelIndex row = model.index(0, 0);
    QCOMPARE(model.data(row, Qt::DisplayRole).toString(), QString("LIMIT=5"));
    QCOMPARE(model.data(row, Qt::EditRole).toString(), QString("LIMIT=5"));
    QVERIFY(!model.data(row, Qt::DecorationRole).value<QIcon>().isNull());
    QVERIFY(!model.data(row, Qt::ToolTipRole).isValid());
    QVERIFY(!model.data(QModelIndex(), Qt::DisplayRole).isValid());
    QCOMPARE(model.flags(row), Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsEnabled);
    QCOMPARE(model.flags(QModelIndex()), Qt::NoItemFlags);
}

void DefinesEditorTest::edits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("changed");
    QTest::newRow("new text") << "LIMIT=6" << int(Qt::EditRole) << true;
    QTest::newRow("display role") << "LIMIT=6" << int(Qt::DisplayRole) << true;
    QTest::newRow("empty") << "" << int(Qt::EditRole) << false;
    QTest::newRow("unchanged") << "LIMIT=5" << int(Qt::EditRole) << false;
    QTest::newRow("other role") << "LIMIT=6" << int(Qt::ToolTipRole) << false;
    QTest::newRow("text of another row") << "DEBUG=1" << int(Qt::EditRole) << true;
}

void DefinesEditorTest::edits()
{
    QFETCH(QString, text);
    QFETCH(int, role);
    QFETCH(bool, changed);
    KolmProjectDefinesModel model;
    model.setup({"LIMIT=5", "DEBUG=1"});
    QSignalSpy spy(&model, &QAbstractItemModel::dataChanged);
    QCOMPARE(model.setData(model.index(0, 0), text, role), changed);
    QCOMPARE(model.entries().value(0), changed ? text : QString("LIMIT=5"));
    QCOMPARE(spy.size(), changed ? 1 : 0);
    if (changed) {
        QCOMPARE(spy[0][0].toModelIndex(), model.index(0, 0));
        QCOMPARE(spy[0][1].toModelIndex(), model.index(0, 0));
        QCOMPARE(spy[0][2].value<QVector<int>>(), QVector<int>{role});
    }
}

void DefinesEditorTest::header_data()
{
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("text");
    QTest::newRow("section 0") << 0 << int(Qt::Horizontal) << int(Qt::DisplayRole) << "Project-wide Defines";
    QTest::newRow("section 1") << 1 << int(Qt::Horizontal) << int(Qt::DisplayRole) << "";
    QTest::newRow("vertical") << 0 << int(Qt::Vertical) << int(Qt::DisplayRole) << "";
    QTest::newRow("tool tip") << 0 << int(Qt::Horizontal) << int(Qt::ToolTipRole) << "";
}

void DefinesEditorTest::header()
{
    QFETCH(int, section);
    QFETCH(int, orientation);
    QFETCH(int, role);
    QFETCH(QString, text);
    KolmProjectDefinesModel model;
    const QVariant value = model.headerData(section, Qt::Orientation(orientation), role);
    QCOMPARE(value.isValid(), !text.isEmpty());
    QCOMPARE(value.toString(), text);
}

void DefinesEditorTest::setupAndClear()
{
    KolmProjectDefinesEditor editor;
    KolmProjectDefinesModel* model = qobject_cast<KolmProjectDefinesModel*>(listOf(editor)->model());
    QVERIFY(model);
    QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
    click(editor, "clearTool");
    QCOMPARE(removed.size(), 0);
    editor.setDefines(kSix);
    QCOMPARE(editor.getDefines(), kSix);
    // One announced removal for the whole list.
    click(editor, "clearTool");
    QCOMPARE(removed.size(), 1);
    QCOMPARE(editor.getDefines(), QStringList());
    editor.setDefines({"A=1"});
    editor.setDefines({});
    QCOMPARE(editor.getDefines(), QStringList());
}

void DefinesEditorTest::removeScatteredSelection()
{
    KolmProjectDefinesEditor editor;
    editor.setDefines(kSix);
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QListView* view = listOf(editor);
    QAbstractItemModelTester tester(view->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    // Click row 1, Ctrl+click rows 4 and 3, as a user picks them.
    for (const auto& [row, modifier] : {std::pair{1, Qt::NoModifier}, std::pair{4, Qt::ControlModifier},
                                        std::pair{3, Qt::ControlModifier}}) {
        const QRect rect = view->visualRect(view->model()->index(row, 0));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifier, rect.center());
    }
    QCOMPARE(view->selectionModel()->selectedIndexes().size(), 3);
    click(editor, "removeTool");
    QCOMPARE(editor.getDefines(), (QStringList{"A=0", "C=2", "F=5"}));
    // Nothing selected: nothing removed.
    view->clearSelection();
    click(editor, "removeTool");
    QCOMPARE(editor.getDefines().size(), 3);
}

void DefinesEditorTest::addOpensEditor()
{
    KolmProjectDefinesEditor editor;
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    QListView* view = listOf(editor);
    click(editor, "addTool");
    QCOMPARE(editor.getDefines(), QStringList{"DEFINE"});
    // The placeholder is open for typing over at once.
    auto* line = view->viewport()->findChild<QLineEdit*>();
    QVERIFY(line);
    QVERIFY(line->hasFocus() || view->hasFocus());
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(line, "LIMIT=5");
    // The delegate commits from the event loop.
    QTest::keyClick(line, Qt::Key_Return);
    QTRY_COMPARE(editor.getDefines(), QStringList{"LIMIT=5"});

    click(editor, "addTool");
    click(editor, "addTool");
    QCOMPARE(editor.getDefines(), (QStringList{"LIMIT=5", "DEFINE", "DEFINE"}));
}

void DefinesEditorTest::importAppends()
{
    OtherProject other(QJsonArray{"A=1", "", "B=2", "A=1"});
    KolmProjectDefinesEditor editor;
    editor.setDefines({"A=1", "Z=9"});
    ModalDriver modal;
    modal.chooseFile(other.path("other.kcpro"));
    click(editor, "importTool");
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Select Project"));
    // Appended in order after the existing ones; duplicates kept, empty
    // entries left out.
    QCOMPARE(editor.getDefines(), (QStringList{"A=1", "Z=9", "A=1", "B=2", "A=1"}));
}

void DefinesEditorTest::importRefusesInvalidFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("not JSON") << QByteArray("defines: A=1");
    QTest::newRow("array") << QByteArray("[\"A=1\"]");
    QTest::newRow("no main file") << QByteArray("{\"name\":\"x\",\"defines\":[\"A=1\"],\"files\":[]}");
}

void DefinesEditorTest::importRefusesInvalidFile()
{
    QFETCH(QByteArray, content);
    OtherProject other({});
    other.write("broken.kcpro", content);
    KolmProjectDefinesEditor editor;
    editor.setDefines({"Z=9"});
    ModalDriver modal;
    modal.chooseFile(other.path("broken.kcpro")).press(QMessageBox::Ok);
    click(editor, "importTool");
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen()[1].title, QString("Import Defines"));
    QCOMPARE(modal.seen()[1].text, QString("Project could not be loaded"));
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(editor.getDefines(), QStringList{"Z=9"});
}

void DefinesEditorTest::importCancelled()
{
    KolmProjectDefinesEditor editor;
    editor.setDefines({"Z=9"});
    ModalDriver modal;
    modal.cancel();
    click(editor, "importTool");
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(editor.getDefines(), QStringList{"Z=9"});
}

void DefinesEditorTest::deletedInsideImport_data()
{
    QTest::addColumn<bool>("inWarning");
    QTest::newRow("file dialog") << false;
    QTest::newRow("warning box") << true;
}

void DefinesEditorTest::deletedInsideImport()
{
    QFETCH(bool, inWarning);
    OtherProject other({});
    other.write("broken.kcpro", "{");
    QPointer<KolmProjectDefinesEditor> editor = new KolmProjectDefinesEditor;
    editor->show();
    ModalDriver modal;
    if (inWarning)
        modal.chooseFile(other.path("broken.kcpro"));
    modal.then([&](QWidget*) { delete editor; });
    click(*editor, "importTool");
    QVERIFY(!editor);
    QCOMPARE(modal.seen().size(), inWarning ? 2 : 1);
}

void DefinesEditorTest::returnReachesDialog_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void DefinesEditorTest::returnReachesDialog()
{
    QFETCH(int, key);
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* editor = new KolmProjectDefinesEditor(&dialog);
    auto* ok = new QPushButton("OK", &dialog);
    layout->addWidget(editor);
    layout->addWidget(ok);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTest::keyClick(editor, Qt::Key(key));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

QTEST_MAIN(DefinesEditorTest)
#include "defines_editor_test.moc"
