// The project configuration dialog: what it reads from a project, what an
// accepted dialog writes back (and what emptied fields keep), the output
// file chooser on Ctrl+O, and the dialog deleted inside that chooser.

#include "file_bytes.h"
#include "form_child.h"
#include "key_typing.h"
#include "kolmproject.h"
#include "kolmprojectdefineseditor.h"
#include "kolmprojecteditor.h"
#include "modal_driver.h"
#include "temp_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPointer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(QJsonValue)

namespace {

// A project in a temporary folder: "demo" with main script "prog.kos".
class Folder
{
public:
    Folder()
    {
        write("prog.kos", "var main() { return 0; }\n");
        json = QJsonObject{{"name", "demo"},
                           {"output", "out/demo.kcs"},
                           {"defines", QJsonArray{"A=1", "B=2"}},
                           {"flags", QJsonArray{"debug"}},
                           {"files", QJsonArray{QJsonObject{{"name", "prog.kos"}, {"path", ""},
                                                            {"flags", QJsonArray{"main"}}}}}};
    }

    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const { writeBytes(path(name), bytes); }

    std::unique_ptr<KolmProject> load() const
    {
        write("demo.kcpro", QJsonDocument(json).toJson());
        auto project = std::make_unique<KolmProject>();
        if (!project->load(path("demo.kcpro")))
            qFatal("cannot load the project");
        return project;
    }

    QTemporaryDir dir;
    QJsonObject json;
};

QLineEdit* field(const KolmProjectEditor& dialog, const char* name)
{
    return formChild<QLineEdit>(dialog, name);
}

} // namespace

class ProjectEditorTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

private slots:
    void readsProject();
    void optimize_data();
    void optimize();
    void unchangedAcceptMarksModified();
    void changedFieldsWritten();
    void emptiedFieldsKeepValues();
    void outputNamingOwnFile_data();
    void outputNamingOwnFile();
    void definesReplaced();
    void nothingWithoutProject();
    void outputChooser_data();
    void outputChooser();
    void otherKeysChooseNothing_data();
    void otherKeysChooseNothing();
    void deletedInsideChooser();
    void picture();
};

void ProjectEditorTest::readsProject()
{
    Folder folder;
    folder.json["bsp"] = "board.kbsp";
    const auto project = folder.load();
    KolmProjectEditor dialog;
    QCOMPARE(dialog.windowTitle(), QString("Configuration"));
    dialog.readSettings(project.get());
    QCOMPARE(dialog.windowTitle(), QString("Configure demo"));
    QCOMPARE(field(dialog, "nameEdit")->text(), QString("demo"));
    QCOMPARE(field(dialog, "outputEdit")->text(), QString("out/demo.kcs"));
    auto* bsp = formChild<QComboBox>(dialog, "bspEdit");
    QCOMPARE(bsp->currentText(), QString("board.kbsp"));
    // The items are the built-in packages, whatever the project names.
    QStringList items;
    for (int i = 0; i < bsp->count(); ++i)
        items.append(bsp->itemText(i));
    QCOMPARE(items, KolmProject::builtinBSP());
    QCOMPARE(formChild<KolmProjectDefinesEditor>(dialog, "definesEditor")->getDefines(), (QStringList{"A=1", "B=2"}));
    QVERIFY(formChild<QCheckBox>(dialog, "debugCheck")->isChecked());
    QVERIFY(!formChild<QCheckBox>(dialog, "optimizeCheck")->isChecked());
    QCOMPARE(formChild<QTabWidget>(dialog, "tabWidget")->currentWidget()->objectName(), QString("projectTab"));
    QVERIFY(!project->isModified());
}

void ProjectEditorTest::optimize_data()
{
    QTest::addColumn<QJsonValue>("stored"); // undefined: no key
    QTest::addColumn<bool>("checked");
    QTest::newRow("string 1") << QJsonValue("1") << true;
    QTest::newRow("string 0") << QJsonValue("0") << false;
    QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined) << false;
    QTest::newRow("true") << QJsonValue(true) << false;
    QTest::newRow("number 1") << QJsonValue(1) << true;
    QTest::newRow("string on") << QJsonValue("on") << false;
}

void ProjectEditorTest::optimize()
{
    QFETCH(QJsonValue, stored);
    QFETCH(bool, checked);
    Folder folder;
    if (!stored.isUndefined())
        folder.json["optimize"] = stored;
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    auto* box = formChild<QCheckBox>(dialog, "optimizeCheck");
    QCOMPARE(box->isChecked(), checked);
    dialog.writeSettings();
    QCOMPARE(project->value("optimize"), QJsonValue(checked ? "1" : "0"));
    // Toggled with the space bar, the other string is written.
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    dialog.writeSettings();
    QCOMPARE(project->value("optimize"), QJsonValue(checked ? "0" : "1"));
}

void ProjectEditorTest::unchangedAcceptMarksModified()
{
    Folder folder;
    const auto project = folder.load();
    const QJsonValue defines = project->value("defines");
    QSignalSpy modified(project.get(), &KolmProject::modified);
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    dialog.writeSettings();
    QVERIFY(project->isModified());
    QCOMPARE(modified.size(), 1);
    QCOMPARE(modified[0][0].toBool(), true);
    QCOMPARE(project->name(), QString("demo"));
    QCOMPARE(project->output(), QString("out/demo.kcs"));
    QCOMPARE(project->value("defines"), defines);
    QVERIFY(project->flagSet(QLatin1String("debug")));
}

void ProjectEditorTest::changedFieldsWritten()
{
    Folder folder;
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    retype(field(dialog, "nameEdit"), "blinker");
    retype(field(dialog, "outputEdit"), "bin/blinker.kcs");
    auto* debug = formChild<QCheckBox>(dialog, "debugCheck");
    debug->setFocus();
    QTest::keyClick(debug, Qt::Key_Space);
    dialog.writeSettings();
    QCOMPARE(project->name(), QString("blinker"));
    QCOMPARE(project->output(), QString("bin/blinker.kcs"));
    QVERIFY(!project->flagSet(QLatin1String("debug")));
}

void ProjectEditorTest::outputNamingOwnFile_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refused"); // the file it names; empty: accepted
    QTest::newRow("main script") << "prog.kos" << "prog.kos";
    QTest::newRow("project file, absolute") << "<dir>/demo.kcpro" << "demo.kcpro";
    QTest::newRow("board package") << "board.kbsp" << "board.kbsp";
    QTest::newRow("an image beside them") << "prog.kcs" << "";
}

// OK with an output that a build would write over one of the project's
// own files keeps the dialog open and says why.
void ProjectEditorTest::outputNamingOwnFile()
{
    QFETCH(QString, typed);
    QFETCH(QString, refused);
    Folder folder;
    folder.write("board.kbsp", "<bsp/>\n");
    folder.json["bsp"] = "board.kbsp";
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    dialog.show();
    retype(field(dialog, "outputEdit"), typed.replace("<dir>", folder.dir.path()));
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QTest::keyClick(field(dialog, "outputEdit"), Qt::Key_Return);
    if (refused.isEmpty()) {
        QCOMPARE(modal.seen().size(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        return;
    }
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Configuration"));
    QCOMPARE(modal.seen()[0].text, "The output " + folder.path(refused)
                                       + " is one of the project's own files; choose another output file");
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void ProjectEditorTest::emptiedFieldsKeepValues()
{
    Folder folder;
    folder.json["bsp"] = "board.kbsp";
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    retype(field(dialog, "nameEdit"), "");
    retype(field(dialog, "outputEdit"), "");
    retype(formChild<QComboBox>(dialog, "bspEdit")->lineEdit(), "");
    dialog.writeSettings();
    QCOMPARE(project->name(), QString("demo"));
    QCOMPARE(project->output(), QString("out/demo.kcs"));
    QCOMPARE(project->bsp(), QString("board.kbsp"));
}

void ProjectEditorTest::definesReplaced()
{
    Folder folder;
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    auto* defines = formChild<KolmProjectDefinesEditor>(dialog, "definesEditor");
    defines->setDefines({"LIMIT=5", "", "DEBUG"});
    dialog.writeSettings();
    QCOMPARE(project->value("defines"), QJsonValue(QJsonArray{"LIMIT=5", "DEBUG"}));
}

void ProjectEditorTest::nothingWithoutProject()
{
    KolmProjectEditor dialog;
    dialog.readSettings(nullptr);
    dialog.show();
    ModalDriver modal;
    QTest::keyClick(field(dialog, "outputEdit"), Qt::Key_O, Qt::ControlModifier);
    dialog.writeSettings();
    QCOMPARE(modal.seen().size(), 0);
}

void ProjectEditorTest::outputChooser_data()
{
    QTest::addColumn<QString>("output"); // in the field before Ctrl+O
    QTest::addColumn<QString>("proposed"); // under the project folder
    QTest::addColumn<QString>("chosen"); // "" cancels
    QTest::addColumn<QString>("result"); // under the project folder
    QTest::newRow("empty field") << "" << "prog.kcs" << "bin.kcs" << "bin.kcs";
    QTest::newRow("capital suffix") << "" << "prog.kcs" << "bin.KCS" << "bin.KCS";
    QTest::newRow("no suffix") << "" << "prog.kcs" << "bin" << "bin.kcs";
    QTest::newRow("other suffix") << "" << "prog.kcs" << "bin.hex" << "bin.hex.kcs";
    QTest::newRow("field kept") << "<dir>/old/x.kcs" << "old/x.kcs" << "y.kcs" << "old/y.kcs";
    QTest::newRow("cancelled") << "" << "prog.kcs" << "" << "";
}

void ProjectEditorTest::outputChooser()
{
    QFETCH(QString, output);
    QFETCH(QString, proposed);
    QFETCH(QString, chosen);
    QFETCH(QString, result);
    Folder folder;
    QDir().mkpath(folder.path("old"));
    folder.json["output"] = "";
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    dialog.show();
    QLineEdit* edit = field(dialog, "outputEdit");
    edit->setText(output.replace("<dir>", folder.dir.path()));

    QString title;
    QString offered;
    QString filter;
    ModalDriver modal;
    modal.then([&](QWidget* window) {
        auto* chooser = qobject_cast<QFileDialog*>(window);
        QVERIFY(chooser);
        title = chooser->windowTitle();
        offered = chooser->selectedFiles().value(0);
        filter = chooser->nameFilters().join(";;");
        if (chosen.isEmpty())
            return chooser->reject();
        chooser->selectFile(chosen);
        static_cast<QDialog*>(chooser)->accept();
    });
    QTest::keyClick(edit, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(title, QString("Save As"));
    QCOMPARE(filter, QString("Kolm Binary (*.kcs)"));
    QCOMPARE(offered, folder.path(proposed));
    QCOMPARE(edit->text(), result.isEmpty() ? output : folder.path(result));
    // The key is consumed: no "o" typed.
    QVERIFY(!edit->text().endsWith("o"));
}

void ProjectEditorTest::otherKeysChooseNothing_data()
{
    QTest::addColumn<QString>("fieldName");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("Ctrl+Shift+O") << "outputEdit" << int(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("Alt+O") << "outputEdit" << int(Qt::AltModifier);
    QTest::newRow("Ctrl+O in the name") << "nameEdit" << int(Qt::ControlModifier);
}

void ProjectEditorTest::otherKeysChooseNothing()
{
    QFETCH(QString, fieldName);
    QFETCH(int, modifiers);
    Folder folder;
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    dialog.show();
    ModalDriver modal;
    QTest::keyClick(formChild<QLineEdit>(dialog, fieldName), Qt::Key_O, Qt::KeyboardModifiers(modifiers));
    QTest::qWait(50);
    QCOMPARE(modal.seen().size(), 0);
    // The line edit may take the key as a letter; no file replaces the text.
    QVERIFY(field(dialog, "outputEdit")->text().startsWith("out/demo.kcs"));
}

void ProjectEditorTest::deletedInsideChooser()
{
    Folder folder;
    const auto project = folder.load();
    QPointer<KolmProjectEditor> dialog = new KolmProjectEditor;
    dialog->readSettings(project.get());
    dialog->show();
    ModalDriver modal;
    modal.then([&](QWidget*) { delete dialog; });
    QTest::keyClick(field(*dialog, "outputEdit"), Qt::Key_O, Qt::ControlModifier);
    QVERIFY(!dialog);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(project->output(), QString("out/demo.kcs"));
}

void ProjectEditorTest::picture()
{
    Folder folder;
    folder.json["optimize"] = "1";
    const auto project = folder.load();
    KolmProjectEditor dialog;
    dialog.readSettings(project.get());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(dialog.grab().save(PICTURE_DIR "/configuration_project.png"));
    auto* tabs = formChild<QTabWidget>(dialog, "tabWidget");
    tabs->setCurrentIndex(1);
    QVERIFY(dialog.grab().save(PICTURE_DIR "/configuration_defines.png"));
    tabs->setCurrentIndex(2);
    QVERIFY(dialog.grab().save(PICTURE_DIR "/configuration_build.png"));
}

QTEST_MAIN(ProjectEditorTest)
#include "project_editor_test.moc"
