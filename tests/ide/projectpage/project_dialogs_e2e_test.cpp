// The project dialogs on the whole road, offscreen: a project made with the
// new project dialog, a macro LIMIT=5 and optimisation set in the
// configuration dialog, the script returning LIMIT built with Ctrl+B and run
// under halvane-kdb, and the image in the hex view. Pictures of the three
// dialogs are kept in the build tree.

#include "form_child.h"
#include "key_typing.h"
#include "kolmproject.h"
#include "kolmprojectcreator.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "temp_settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QToolButton>
#include <QtTest>

namespace {

bool savePicture(QWidget* window, const char* name)
{
    return window->grab().save(QString(KOLM_ARTIFACT_DIR "/") + name);
}

// In the configuration dialog: a new definition typed over the placeholder
// on the Defines page and optimisation switched on on the Build page.
void configure(QWidget* dialog, const QString& define)
{
    auto* tabs = formChild<QTabWidget>(*dialog, "tabWidget");
    tabs->setCurrentWidget(formChild<QWidget>(*dialog, "definesTab"));
    QTest::mouseClick(formChild<QToolButton>(*dialog, "addTool"), Qt::LeftButton);
    auto* view = formChild<QListView>(*dialog, "listView");
    auto* line = view->viewport()->findChild<QLineEdit*>();
    if (!line)
        qFatal("no editor on the new definition");
    QTest::keyClick(line, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(line, define);
    QTest::keyClick(line, Qt::Key_Return);
    // The delegate commits from the event loop.
    QTest::qWaitFor([view] { return !view->viewport()->findChild<QLineEdit*>(); }, 5000);
    savePicture(dialog, "configuration_dialog.png");

    tabs->setCurrentWidget(formChild<QWidget>(*dialog, "buildTab"));
    auto* optimize = formChild<QCheckBox>(*dialog, "optimizeCheck");
    QTest::mouseClick(optimize, Qt::LeftButton, Qt::NoModifier, QPoint(4, optimize->height() / 2));
    QTest::mouseClick(formChild<QDialogButtonBox>(*dialog, "buttonBox")->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
}

} // namespace

class ProjectDialogsEndToEndTest : public QObject
{
    Q_OBJECT

    TempSettings settings;

private slots:
    void createConfigureBuildRun();
};

void ProjectDialogsEndToEndTest::createConfigureBuildRun()
{
    QTemporaryDir base;
    settings.set("Directory", base.path());
    settings.set("Editor/AutoPar", false);

    // The new project dialog, typed into and accepted.
    KolmProjectCreator creator;
    creator.show();
    QVERIFY(QTest::qWaitForWindowExposed(&creator));
    QTest::keyClicks(formChild<QLineEdit>(creator, "nameEdit"), "Limit Demo");
    QTest::keyClicks(formChild<QLineEdit>(creator, "authorEdit"), "Ann");
    QVERIFY(savePicture(&creator, "new_project_dialog.png"));
    QTest::mouseClick(formChild<QDialogButtonBox>(creator, "buttonBox")->button(QDialogButtonBox::Ok),
                      Qt::LeftButton);
    QCOMPARE(creator.result(), int(QDialog::Accepted));

    // What the main window does with an accepted dialog.
    KolmProject* project = KolmProject::create(creator.mainFile(), {}, creator.projectName(),
                                               creator.projectAuthor(), creator.bsp());
    QVERIFY(project->save(creator.projectFile()));
    KolmProjectWindow page;
    SignalLog log(&page);
    ModalDriver modal;
    QVERIFY(page.setProject(project));
    page.readSettings();
    page.resize(900, 420);
    page.show();
    QVERIFY(QTest::qWaitForWindowExposed(&page));

    auto* editor = formChild<QTextEdit>(page, "codeEditor");
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    typeLines(editor, {"var main() {", "    return LIMIT;", "}"});

    QMenu* menu = formChild<QToolButton>(page, "projectButton")->menu();
    modal.then([](QWidget* dialog) { configure(dialog, "LIMIT=5"); });
    menu->actions()[3]->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen()[0].title, QString("Configure Limit Demo"));
    QCOMPARE(project->definesList(), QStringList{"LIMIT=5"});
    QVERIFY(project->optimize());
    QVERIFY(project->isModified());

    log.events.clear();
    QTest::keyClick(editor, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(log.of("compilationFinished"), QStringList{"true"});
    QCOMPARE(runImage(page.output()), std::string("Return value: 5\n"));

    // The hex view declares the uploadable image under the project's name.
    QString text;
    modal.then([&](QWidget* view) {
        text = formChild<QPlainTextEdit>(*view, "plainTextEdit")->toPlainText();
        savePicture(view, "hex_view_dialog.png");
        static_cast<QDialog*>(view)->reject();
    });
    menu->actions()[1]->trigger();
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(text.section('\n', 0, 0),
             QString("static const unsigned char Limit_Demo[%1] = {").arg(page.outputBin().size()));
    QCOMPARE(modal.unanswered(), 0);
    QVERIFY(QFileInfo::exists(KOLM_ARTIFACT_DIR "/configuration_dialog.png"));
    QVERIFY(QFileInfo::exists(KOLM_ARTIFACT_DIR "/hex_view_dialog.png"));
}

QTEST_MAIN(ProjectDialogsEndToEndTest)
#include "project_dialogs_e2e_test.moc"
