// The new project dialog, driven by keys: the live checks with their
// messages and marked fields, the OK button, the getters, the board entry,
// the created script, scripts of the user's that must survive, and the
// dialog deleted while one of its boxes is open.

#include "file_bytes.h"
#include "form_child.h"
#include "fresh_home.h"
#include "key_typing.h"
#include "kolmproject.h"
#include "kolmprojectcreator.h"
#include "modal_driver.h"
#include "qdiredit.h"
#include "qmaterialfont.h"
#include "temp_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

QColor errorColour()
{
    return QMaterialIcon::instance()->color(QMaterialIcon::Error);
}

bool marked(QWidget* field)
{
    return field->palette().color(QPalette::Base) == errorColour();
}

// The dialog on a temporary base directory, which the setting "Directory"
// names, with its fields by name.
class Creator
{
public:
    explicit Creator(TempSettings& settings)
    {
        settings.set("Directory", base.path());
        dialog = new KolmProjectCreator;
        dialog->show();
    }
    ~Creator() { delete dialog; }

    QString path(const QString& name) const { return QDir(base.path()).filePath(name); }

    void write(const QString& name, const QByteArray& bytes) const { writeBytes(path(name), bytes); }

    QLineEdit* name() const { return formChild<QLineEdit>(*dialog, "nameEdit"); }
    QDirEdit* dir() const { return formChild<QDirEdit>(*dialog, "dirEdit"); }
    QLineEdit* dirText() const { return formChild<QLineEdit>(*dir(), "edit"); }
    QCheckBox* subDir() const { return formChild<QCheckBox>(*dialog, "selfSubDirCheck"); }
    QComboBox* source() const { return formChild<QComboBox>(*dialog, "scriptSourceSelector"); }
    QLineEdit* mainNew() const { return formChild<QLineEdit>(*dialog, "mainNewEdit"); }
    QLineEdit* mainExist() const { return formChild<QLineEdit>(*dialog, "mainExistEdit"); }
    QComboBox* board() const { return formChild<QComboBox>(*dialog, "boardCombo"); }
    QLineEdit* author() const { return formChild<QLineEdit>(*dialog, "authorEdit"); }
    QLabel* message() const { return formChild<QLabel>(*dialog, "errorTextLabel"); }
    QPushButton* ok() const
    {
        return formChild<QDialogButtonBox>(*dialog, "buttonBox")->button(QDialogButtonBox::Ok);
    }

    // Unchecks the subdirectory box with the space bar.
    void toggleSubDir() const
    {
        subDir()->setFocus();
        QTest::keyClick(subDir(), Qt::Key_Space);
    }

    // Switches to "Existing Script" with the arrow key.
    void chooseExisting() const
    {
        source()->setFocus();
        QTest::keyClick(source(), Qt::Key_Down);
    }

    QTemporaryDir base;
    QPointer<KolmProjectCreator> dialog;
};

} // namespace

class NewProjectTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

private slots:
    void opensWithFirstFailure();
    void messages_data();
    void messages();
    void okFollowsLastCheck();
    void acceptWritesScript_data();
    void acceptWritesScript();
    void getters_data();
    void getters();
    void existingScriptFromPicker();
    void boardEntry_data();
    void boardEntry();
    void userScriptRefused_data();
    void userScriptRefused();
    void scriptAppearingBeforeOkSurvives();
    void freshHomeWithoutDocuments();
    void directoryCannotBeCreated();
    void deletedInsideBox_data();
    void deletedInsideBox();
    void picture();
};

void NewProjectTest::opensWithFirstFailure()
{
    Creator creator(settings);
    QCOMPARE(creator.dialog->windowTitle(), QString("New Project"));
    QCOMPARE(creator.dirText()->text(), creator.base.path());
    QCOMPARE(creator.message()->text(), QString("project name is invalid"));
    QVERIFY(marked(creator.name()));
    QVERIFY(!creator.ok()->isEnabled());
    QVERIFY(creator.subDir()->isChecked());
    QCOMPARE(creator.mainNew()->text(), QString("main"));
    // The checks ran once; the fields after the failing one keep the
    // palette they were built with.
    QVERIFY(marked(creator.mainNew()));
    QCOMPARE(creator.message()->palette().color(QPalette::WindowText), errorColour());
}

void NewProjectTest::messages_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("dir"); // under the base; "<none>" empties the field
    QTest::addColumn<bool>("ownSubDir");
    QTest::addColumn<QString>("script"); // "new:NAME" or "existing:TEXT"
    QTest::addColumn<QStringList>("files"); // made under the base first
    QTest::addColumn<QString>("message"); // empty: all checks pass
    QTest::addColumn<QString>("field");

    const QStringList none;
    QTest::newRow("empty name") << "" << "" << true << "new:main" << none << "project name is invalid" << "nameEdit";
    QTest::newRow("slash") << "a/b" << "" << true << "new:main" << none << "project name is invalid" << "nameEdit";
    QTest::newRow("colon") << "a:b" << "" << true << "new:main" << none << "project name is invalid" << "nameEdit";
    QTest::newRow("letter outside A-Z") << "Grüße" << "" << true << "new:main" << none << "project name is invalid"
                                        << "nameEdit";
    QTest::newRow("dot") << "." << "" << true << "new:main" << none << "project name is invalid" << "nameEdit";
    QTest::newRow("dot dot") << ".." << "" << true << "new:main" << none << "project name is invalid" << "nameEdit";
    QTest::newRow("dot dot in the base directory")
        << ".." << "" << false << "new:main" << none << "project name is invalid" << "nameEdit";
    QTest::newRow("blanks") << "   " << "" << true << "new:main" << none << "project name is invalid" << "nameEdit";
    QTest::newRow("script name of blanks") << "demo" << "" << true << "new:   " << none
                                           << "the script file name is invalid" << "mainNewEdit";
    QTest::newRow("allowed characters") << "Ab 09 (x).y_z-w" << "" << true << "new:main" << none << "" << "";
    QTest::newRow("empty directory") << "demo" << "<none>" << true << "new:main" << none
                                     << "project directory does not exist" << "dirEdit";
    QTest::newRow("missing directory") << "demo" << "nowhere" << true << "new:main" << none
                                       << "project directory does not exist" << "dirEdit";
    QTest::newRow("project file in own subdirectory")
        << "demo" << "" << true << "new:main" << QStringList{"demo/demo.kcpro"} << "the script file already exists"
        << "nameEdit";
    QTest::newRow("project file in base directory")
        << "demo" << "" << false << "new:main" << QStringList{"demo.kcpro"} << "the script file already exists"
        << "nameEdit";
    QTest::newRow("project file beside the subdirectory")
        << "demo" << "" << true << "new:main" << QStringList{"demo.kcpro"} << "" << "";
    QTest::newRow("script name empty") << "demo" << "" << true << "new:" << none << "the script file name is invalid"
                                       << "mainNewEdit";
    QTest::newRow("script name with slash") << "demo" << "" << true << "new:a/b" << none
                                            << "the script file name is invalid" << "mainNewEdit";
    QTest::newRow("main.kos exists") << "demo" << "" << true << "new:main" << QStringList{"demo/main.kos"}
                                     << "the main script file already exists" << "mainNewEdit";
    QTest::newRow("main.kos typed, exists") << "demo" << "" << true << "new:main.kos" << QStringList{"demo/main.kos"}
                                            << "the main script file already exists" << "mainNewEdit";
    QTest::newRow("MAIN.KOS.kos exists") << "demo" << "" << true << "new:MAIN.KOS"
                                         << QStringList{"demo/MAIN.KOS.kos"} << "the main script file already exists"
                                         << "mainNewEdit";
    QTest::newRow("MAIN.KOS, only MAIN.KOS exists") << "demo" << "" << true << "new:MAIN.KOS"
                                                    << QStringList{"demo/MAIN.KOS"} << "" << "";
    QTest::newRow("main.kos in base, own subdirectory") << "demo" << "" << true << "new:main"
                                                        << QStringList{"main.kos"} << "" << "";
    QTest::newRow("main.kos in base directory") << "demo" << "" << false << "new:main" << QStringList{"main.kos"}
                                                << "the main script file already exists" << "mainNewEdit";
    QTest::newRow("no existing script chosen") << "demo" << "" << true << "existing:" << none
                                               << "please select an existing KOLM script" << "mainExistEdit";
    QTest::newRow("existing script gone") << "demo" << "" << true << "existing:gone.kos" << none
                                          << "the script file does not exist" << "mainExistEdit";
    QTest::newRow("existing script in capitals") << "demo" << "" << true << "existing:prog.KOS"
                                                 << QStringList{"prog.KOS"} << "the script file is not a KOLM script"
                                                 << "mainExistEdit";
    QTest::newRow("existing script, relative to base") << "demo" << "" << true << "existing:sub/prog.kos"
                                                       << QStringList{"sub/prog.kos"} << "" << "";
    QTest::newRow("existing script beside main.kos") << "demo" << "" << true << "existing:prog.kos"
                                                     << QStringList{"prog.kos", "demo/main.kos"} << "" << "";
}

void NewProjectTest::messages()
{
    QFETCH(QString, name);
    QFETCH(QString, dir);
    QFETCH(bool, ownSubDir);
    QFETCH(QString, script);
    QFETCH(QStringList, files);
    QFETCH(QString, message);
    QFETCH(QString, field);

    Creator creator(settings);
    for (const QString& file : files)
        creator.write(file, "user's own\n");
    if (!ownSubDir)
        creator.toggleSubDir();
    if (dir == "<none>")
        retype(creator.dirText(), "");
    else if (!dir.isEmpty())
        retype(creator.dirText(), creator.path(dir));
    if (script.startsWith("existing:")) {
        creator.chooseExisting();
        // The field is read-only: its picker fills it with a path, which a
        // relative text stands for here.
        creator.mainExist()->setText(script.mid(9));
    } else {
        retype(creator.mainNew(), script.mid(4));
    }
    retype(creator.name(), name);

    QCOMPARE(creator.ok()->isEnabled(), message.isEmpty());
    QCOMPARE(creator.message()->isVisible(), !message.isEmpty());
    if (!message.isEmpty()) {
        QCOMPARE(creator.message()->text(), message);
        QVERIFY(marked(formChild<QWidget>(*creator.dialog, field)));
    }
    // The fields checked before the failing one show the application palette.
    const QStringList order{"nameEdit", "dirEdit"};
    for (const QString& passed : order.mid(0, message.isEmpty() ? 2 : qMax(0, order.indexOf(field))))
        QVERIFY2(!marked(formChild<QWidget>(*creator.dialog, passed)), qPrintable(passed));
    if (message.isEmpty())
        for (const char* other : {"mainNewEdit", "mainExistEdit"})
            QVERIFY2(!marked(formChild<QWidget>(*creator.dialog, other)), other);
    // A refused script of the user's stays as it was.
    for (const QString& file : files)
        QCOMPARE(readBytes(creator.path(file)), QByteArray("user's own\n"));
}

void NewProjectTest::okFollowsLastCheck()
{
    Creator creator(settings);
    QTest::keyClicks(creator.name(), "demo");
    QVERIFY(creator.ok()->isEnabled());
    QVERIFY(!marked(creator.name()));
    // A bad script name disables OK; mending it enables OK again.
    QTest::keyClick(creator.mainNew(), Qt::Key_Slash);
    QVERIFY(!creator.ok()->isEnabled());
    QVERIFY(marked(creator.mainNew()));
    QTest::keyClick(creator.mainNew(), Qt::Key_Backspace);
    QVERIFY(creator.ok()->isEnabled());
    QVERIFY(!marked(creator.mainNew()));
    QVERIFY(!creator.message()->isVisible());
    // A project file appearing is seen at the next change only.
    creator.write("demo/demo.kcpro", "{}");
    QVERIFY(creator.ok()->isEnabled());
    creator.toggleSubDir();
    creator.toggleSubDir();
    QVERIFY(!creator.ok()->isEnabled());
    QCOMPARE(creator.message()->text(), QString("the script file already exists"));
    // Switching the script source re-runs the checks as well.
    QFile::remove(creator.path("demo/demo.kcpro"));
    creator.chooseExisting();
    QCOMPARE(creator.message()->text(), QString("please select an existing KOLM script"));
    QVERIFY(!creator.ok()->isEnabled());
}

void NewProjectTest::acceptWritesScript_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("main") << "main" << "main.kos";
    QTest::newRow("suffix kept") << "prog.kos" << "prog.kos";
    QTest::newRow("capital suffix") << "prog.KOS" << "prog.KOS.kos";
}

void NewProjectTest::acceptWritesScript()
{
    QFETCH(QString, typed);
    QFETCH(QString, fileName);
    Creator creator(settings);
    QTest::keyClicks(creator.name(), "demo");
    retype(creator.mainNew(), typed);
    QVERIFY(creator.ok()->isEnabled());
    QTest::mouseClick(creator.ok(), Qt::LeftButton);

    QCOMPARE(creator.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(creator.mainNew()->text(), fileName);
    const QString path = creator.path("demo/" + fileName);
    const QString text = QString::fromUtf8(readBytes(path));
    const QRegularExpression header("^/\\*\n \\* KolM Script " + QRegularExpression::escape(fileName)
                                    + "\n \\* Project: demo\n \\* Created \\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d\n"
                                      " \\*/\n\nvar main\\(\\) \\{\n    return 0;\n\\}\n$");
    QVERIFY2(header.match(text).hasMatch(), qPrintable(text));
    // The main file names the same file; no project file is written.
    QCOMPARE(creator.dialog->mainFile(), path);
    QVERIFY(!QFileInfo::exists(creator.dialog->projectFile()));
}

void NewProjectTest::getters_data()
{
    QTest::addColumn<bool>("ownSubDir");
    QTest::addColumn<QString>("projectDir");
    QTest::newRow("own subdirectory") << true << "My App";
    QTest::newRow("base directory") << false << "";
}

void NewProjectTest::getters()
{
    QFETCH(bool, ownSubDir);
    QFETCH(QString, projectDir);
    Creator creator(settings);
    QTest::keyClicks(creator.name(), "My App");
    QTest::keyClicks(creator.author(), "Ann");
    retype(creator.mainNew(), "prog.KoS");
    if (!ownSubDir)
        creator.toggleSubDir();
    const QString dir = QDir::cleanPath(creator.path(projectDir));
    KolmProjectCreator& dialog = *creator.dialog;
    QCOMPARE(dialog.projectName(), QString("My App"));
    QCOMPARE(dialog.projectDir(), dir);
    QCOMPARE(dialog.projectFile(), dir + "/My App.kcpro");
    // Any letter case of the suffix counts for the main file's name.
    QCOMPARE(dialog.mainFile(), dir + "/prog.KoS");
    QCOMPARE(dialog.projectAuthor(), QString("Ann"));

    // An existing script given relative to the base directory stays there,
    // whatever the project directory is.
    creator.chooseExisting();
    creator.mainExist()->setText("lib/prog.kos");
    QCOMPARE(dialog.mainFile(), creator.base.path() + "/lib/prog.kos");
}

void NewProjectTest::existingScriptFromPicker()
{
    Creator creator(settings);
    creator.write("scripts/blink.kos", "var main() { return 1; }\n");
    QTest::keyClicks(creator.name(), "demo");
    creator.chooseExisting();
    ModalDriver modal;
    modal.chooseFile(creator.path("scripts/blink.kos"));
    QTest::mouseClick(formChild<QToolButton>(*creator.dialog, "mainSelectTool"), Qt::LeftButton);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Select Existing Script"));
    QCOMPARE(creator.mainExist()->text(), creator.path("scripts/blink.kos"));
    QVERIFY(creator.ok()->isEnabled());
    QCOMPARE(creator.dialog->mainFile(), creator.path("scripts/blink.kos"));

    // A chosen file removed afterwards fails at the next check.
    QFile::remove(creator.path("scripts/blink.kos"));
    QTest::keyClicks(creator.name(), "2");
    QCOMPARE(creator.message()->text(), QString("the script file does not exist"));

    // Accepting with an existing script creates the directory only.
    creator.write("scripts/blink.kos", "var main() { return 1; }\n");
    QTest::keyClick(creator.name(), Qt::Key_Backspace);
    QTest::mouseClick(creator.ok(), Qt::LeftButton);
    QCOMPARE(creator.dialog->result(), int(QDialog::Accepted));
    QCOMPARE(QDir(creator.path("demo")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}

void NewProjectTest::boardEntry_data()
{
    QTest::addColumn<QString>("typed"); // typed into the combo and confirmed; empty: nothing typed
    QTest::addColumn<bool>("pickFile");
    QTest::addColumn<QString>("bsp"); // "<first>": the first built-in, "<file>": the picked file
    QTest::addColumn<int>("data");
    QTest::newRow("built-in") << "" << false << "<first>" << 0;
    QTest::newRow("None") << "None" << false << "" << 1;
    QTest::newRow("Custom without file") << "Custom" << false << "Custom" << 2;
    QTest::newRow("Custom with a file") << "" << true << "<file>" << 2;
    QTest::newRow("typed name") << "mine.kbsp" << false << "mine.kbsp" << 0;
}

void NewProjectTest::boardEntry()
{
    QFETCH(QString, typed);
    QFETCH(bool, pickFile);
    QFETCH(QString, bsp);
    QFETCH(int, data);
    Creator creator(settings);
    const QStringList builtin = KolmProject::builtinBSP();
    QVERIFY(!builtin.isEmpty());
    QComboBox* board = creator.board();
    QCOMPARE(board->count(), builtin.size() + 2);
    QCOMPARE(board->currentText(), builtin.first());
    if (!typed.isEmpty()) {
        retype(board->lineEdit(), typed);
        QTest::keyClick(board->lineEdit(), Qt::Key_Return);
    }
    const QString file = creator.path("boards/my board.kbsp");
    if (pickFile) {
        creator.write("boards/my board.kbsp", "<bsp/>");
        ModalDriver modal;
        modal.chooseFile(file);
        QTest::mouseClick(formChild<QToolButton>(*creator.dialog, "bspSelectTool"), Qt::LeftButton);
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen()[0].title, QString("Select BSP"));
    }
    if (bsp == "<first>")
        bsp = builtin.first();
    else if (bsp == "<file>")
        bsp = file;
    QCOMPARE(board->currentData().toInt(), data);
    QCOMPARE(creator.dialog->bsp(), bsp);
    QCOMPARE(creator.dialog->bsp().isNull(), data == 1);
    // The item texts stay; only a typed new name adds an item.
    QCOMPARE(board->itemText(builtin.size() + 1), QString("Custom"));
    QCOMPARE(board->count(), builtin.size() + 2 + (typed == "mine.kbsp" ? 1 : 0));
}

void NewProjectTest::userScriptRefused_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("existing");
    QTest::newRow("main") << "main" << "main.kos";
    QTest::newRow("MAIN.KOS") << "MAIN.KOS" << "MAIN.KOS.kos";
}

void NewProjectTest::userScriptRefused()
{
    QFETCH(QString, typed);
    QFETCH(QString, existing);
    Creator creator(settings);
    const QByteArray own("var main() { return 42; }\n");
    creator.write("demo/" + existing, own);
    retype(creator.mainNew(), typed);
    QTest::keyClicks(creator.name(), "demo");
    QCOMPARE(creator.message()->text(), QString("the main script file already exists"));
    QVERIFY(!creator.ok()->isEnabled());
    // Enter and a click on the disabled OK do nothing.
    QTest::keyClick(creator.name(), Qt::Key_Return);
    QTest::mouseClick(creator.ok(), Qt::LeftButton);
    QVERIFY(creator.dialog->isVisible());
    QCOMPARE(readBytes(creator.path("demo/" + existing)), own);
}

void NewProjectTest::scriptAppearingBeforeOkSurvives()
{
    Creator creator(settings);
    QTest::keyClicks(creator.name(), "demo");
    QVERIFY(creator.ok()->isEnabled());
    const QByteArray own("written meanwhile\n");
    creator.write("demo/main.kos", own);
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QTest::mouseClick(creator.ok(), Qt::LeftButton);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Create Project"));
    QVERIFY2(modal.seen()[0].text.startsWith("Cannot write to " + creator.path("demo/main.kos") + ": "),
             qPrintable(modal.seen()[0].text));
    QVERIFY(creator.dialog->isVisible());
    QCOMPARE(creator.dialog->result(), int(QDialog::Rejected));
    QCOMPARE(readBytes(creator.path("demo/main.kos")), own);
}

void NewProjectTest::freshHomeWithoutDocuments()
{
    // A fresh account: no documents folder, no "Directory" setting.
    FreshHome home;
    QSettings().remove("Directory");
    QVERIFY(!QDir(home.filePath("Documents")).exists());

    KolmProjectCreator dialog;
    dialog.show();
    QCOMPARE(formChild<QLineEdit>(*formChild<QDirEdit>(dialog, "dirEdit"), "edit")->text(), home.path());
    QTest::keyClicks(formChild<QLineEdit>(dialog, "nameEdit"), "demo");
    QPushButton* ok = formChild<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok);
    QVERIFY(ok->isEnabled());
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(QFileInfo(home.filePath("demo/main.kos")).isFile());
}

void NewProjectTest::directoryCannotBeCreated()
{
    // Nobody, not even root, makes directories in a process's /proc entry.
    Creator creator(settings);
    retype(creator.dirText(), "/proc/self");
    QTest::keyClicks(creator.name(), "demo");
    QVERIFY(creator.ok()->isEnabled());
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    QTest::mouseClick(creator.ok(), Qt::LeftButton);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Create Project"));
    QCOMPARE(modal.seen()[0].text, QString("Cannot create directory /proc/self/demo"));
    QVERIFY(creator.dialog->isVisible());
}

void NewProjectTest::deletedInsideBox_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("warning box") << "ok";
    QTest::newRow("script picker") << "mainSelectTool";
    QTest::newRow("package picker") << "bspSelectTool";
}

void NewProjectTest::deletedInsideBox()
{
    QFETCH(QString, button);
    Creator creator(settings);
    QTest::keyClicks(creator.name(), "demo");
    creator.write("demo/main.kos", "mine\n");
    ModalDriver modal;
    modal.then([&](QWidget*) { delete creator.dialog; });
    if (button == "ok")
        QTest::mouseClick(creator.ok(), Qt::LeftButton);
    else
        QTest::mouseClick(formChild<QToolButton>(*creator.dialog, button), Qt::LeftButton);
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(!creator.dialog);
    QCOMPARE(readBytes(creator.path("demo/main.kos")), QByteArray("mine\n"));
}

void NewProjectTest::picture()
{
    Creator creator(settings);
    creator.dialog->resize(643, 331);
    QTest::keyClicks(creator.name(), "Blinker");
    QTest::keyClicks(creator.author(), "Ann Smith");
    QVERIFY(QTest::qWaitForWindowExposed(creator.dialog));
    QVERIFY(creator.dialog->grab().save(PICTURE_DIR "/new_project.png"));
    // And one that shows a failed check.
    retype(creator.mainNew(), "main/");
    QVERIFY(creator.dialog->grab().save(PICTURE_DIR "/new_project_error.png"));
}

QTEST_MAIN(NewProjectTest)
#include "new_project_test.moc"
