// The main window's project actions: open, close, save, build and the wait
// for a build, the recent projects menu, and export and import of project
// packages through the window's dialogs.

#include "zurovurazev.h"

#include "fake_messenger.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "ui_zurovurazev.h"
#include "window_session.h"

#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray GoodScript = "var main() { return 7; }\n";

} // namespace

class ZuROVUrazevProjectTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void newCancelledCreatesNothing();
    void openValidProject();
    void openMissingPathDoesNothing();
    void openCorruptProjectNamesFileOnly();
    void openThroughDialog_data();
    void openThroughDialog();
    void openKeepsProjectWhenSaveFails();
    void closeProject();
    void cancelledCloseKeepsDebuggerProject();
    void saveShowsStatus();
    void buildShowsLog();
    void editorShortcutsReachWindowActions_data();
    void editorShortcutsReachWindowActions();
    void uploadFollowsBuildDeviceAndMode_data();
    void uploadFollowsBuildDeviceAndMode();
    void waitCompiled_data();
    void waitCompiled();
    void waitCompiledWithoutOutputEnds();
    void deleteWindowDuringWait();

    void recentProjects_data();
    void recentProjects();
    void recentClearWritesAtOnce();
    void recentEntryOpensProject();

    void exportWithoutProject();
    void exportImportRoundTrip();
    void importNotAPackage();
    void deleteWindowInPackageDialog_data();
    void deleteWindowInPackageDialog();

private:
    ZuROVUrazev *makeWindow();
    // A window that opened folder's project with a good main script.
    ZuROVUrazev *windowWithProject(ProjectFolder &folder, const QByteArray &script = GoodScript)
    {
        folder.write("main.kos", script);
        delete folder.load();
        ZuROVUrazev *w = makeWindow();
        w->code_open(folder.path("demo.kcpro"));
        return w;
    }
    Ui_ZuROVUrazev *ui(ZuROVUrazev *w) { return w->ui; }
    QString logText(ZuROVUrazev *w)
    {
        w->flushLog();
        return w->ui->logBrowser->toPlainText();
    }
    QStringList recent(ZuROVUrazev *w)
    {
        return w->ui->actionOpen_Script->menu()->actions().constLast()->data().toStringList();
    }
    QStringList entries(ZuROVUrazev *w)
    {
        QStringList shown;
        for (const QAction *a : w->ui->actionOpen_Script->menu()->actions()) {
            if (a->isSeparator())
                break;
            shown << a->data().toString();
        }
        return shown;
    }

    std::unique_ptr<WindowSession> m_session;
};

void ZuROVUrazevProjectTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevProjectTest::init()
{
    m_session = std::make_unique<WindowSession>();
}

void ZuROVUrazevProjectTest::cleanup()
{
    m_session.reset();
}

ZuROVUrazev *ZuROVUrazevProjectTest::makeWindow()
{
    return m_session->make();
}

void ZuROVUrazevProjectTest::newCancelledCreatesNothing()
{
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    KolmProject *project = w->ui->projectPage->project();
    ModalDriver modal;
    modal.cancel();
    ui(w)->actionNew_Script->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).kind, QStringLiteral("dialog"));
    QCOMPARE(ui(w)->projectPage->project(), project);
    QCOMPARE(recent(w), QStringList{folder.path("demo.kcpro")});
}

void ZuROVUrazevProjectTest::openValidProject()
{
    ZuROVUrazev *w = makeWindow();
    ProjectFolder folder;
    folder.write("main.kos", GoodScript);
    delete folder.load();
    ui(w)->actionBuild->setEnabled(false);
    ui(w)->actionUpload->setEnabled(true);
    ModalDriver modal;
    w->code_open(folder.path("demo.kcpro"));
    QVERIFY(modal.seen().isEmpty());
    QVERIFY(ui(w)->projectPage->project());
    QCOMPARE(ui(w)->projectPage->project()->fileName(), folder.path("demo.kcpro"));
    QVERIFY(ui(w)->actionBuild->isEnabled());
    QVERIFY(!ui(w)->actionUpload->isEnabled());
    QCOMPARE(entries(w).value(0), folder.path("demo.kcpro"));
}

void ZuROVUrazevProjectTest::openMissingPathDoesNothing()
{
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    w->code_open(QStringLiteral("/nonexistent/kolm/none.kcpro"));
    QCoreApplication::processEvents();
    QVERIFY(modal.seen().isEmpty());
    QVERIFY(!ui(w)->projectPage->project());
    QVERIFY(recent(w).isEmpty());
}

void ZuROVUrazevProjectTest::openCorruptProjectNamesFileOnly()
{
    ZuROVUrazev *w = makeWindow();
    QTemporaryDir dir;
    const QString path = dir.filePath("broken.kcpro");
    writeBytes(path, "{ not json");
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    w->code_open(path);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("Open Project"));
    QCOMPARE(modal.seen().at(0).text, QStringLiteral("Project broken.kcpro could not be opened"));
    QVERIFY(!logText(w).isEmpty());
    QVERIFY(!ui(w)->projectPage->project());
    QVERIFY(recent(w).isEmpty());
}

void ZuROVUrazevProjectTest::openThroughDialog_data()
{
    QTest::addColumn<bool>("choose");
    QTest::newRow("chosen") << true;
    QTest::newRow("cancelled") << false;
}

void ZuROVUrazevProjectTest::openThroughDialog()
{
    QFETCH(bool, choose);
    ProjectFolder folder;
    folder.write("main.kos", GoodScript);
    delete folder.load();
    m_session->settings.set(QStringLiteral("Directory"), QFileInfo(folder.path("demo.kcpro")).absolutePath());
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    if (choose)
        modal.chooseFile(folder.path("demo.kcpro"));
    else
        modal.cancel();
    ui(w)->actionOpen_Script->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().at(0).title, QStringLiteral("Open Project"));
    QCOMPARE(modal.unanswered(), 0);
    QCOMPARE(bool(ui(w)->projectPage->project()), choose);
    QCOMPARE(recent(w).size(), choose ? 1 : 0);
}

void ZuROVUrazevProjectTest::openKeepsProjectWhenSaveFails()
{
    ZuROVUrazev *w = makeWindow();
    ProjectFolder folder;
    folder.write("main.kos", GoodScript);
    KolmProject *project = folder.load();
    QVERIFY(ui(w)->projectPage->setProject(project));
    project->setDefines({QStringLiteral("A=1")});
    const QString projectDir = QFileInfo(project->fileName()).absolutePath();
    QVERIFY(QDir(projectDir).removeRecursively());
    writeBytes(projectDir, "");
    ProjectFolder other;
    other.write("main.kos", GoodScript);
    delete other.load();
    ModalDriver modal;
    for (int i = 0; i < 3; ++i)
        modal.press(QMessageBox::Ok);
    w->code_open(other.path("demo.kcpro"));
    QCOMPARE(ui(w)->projectPage->project(), project);
    QVERIFY(recent(w).isEmpty());
    QFile::remove(projectDir);
}

void ZuROVUrazevProjectTest::closeProject()
{
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    QVERIFY(ui(w)->projectPage->project());
    ui(w)->msgHalGroup->setEnabled(true);
    ui(w)->actionClose_Script->trigger();
    QVERIFY(!ui(w)->projectPage->project());
    QVERIFY(!ui(w)->msgHalGroup->isEnabled());
    QVERIFY(ui(w)->actionBuild->isEnabled());
}

void ZuROVUrazevProjectTest::cancelledCloseKeepsDebuggerProject()
{
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    KolmProject *project = ui(w)->projectPage->project();
    QVERIFY(project);
    project->setDefines({QStringLiteral("A=1")});
    ui(w)->msgHalGroup->setEnabled(true);
    ModalDriver modal;
    modal.cancel();
    ui(w)->actionClose_Script->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(ui(w)->projectPage->project(), project);
    QVERIFY(ui(w)->msgHalGroup->isEnabled());
}

void ZuROVUrazevProjectTest::saveShowsStatus()
{
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    ui(w)->projectPage->project()->setDefines({QStringLiteral("A=1")});
    QVERIFY(ui(w)->actionSave_Script->isEnabled());
    ui(w)->actionSave_Script->trigger();
    QCOMPARE(ui(w)->statusbar->currentMessage(), QStringLiteral("demo saved"));
    QVERIFY(!ui(w)->actionSave_Script->isEnabled());
    QVERIFY(folder.read("demo.kcpro").contains("A=1"));
}

void ZuROVUrazevProjectTest::buildShowsLog()
{
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    QVERIFY(!ui(w)->actionLog->isChecked());
    ui(w)->actionBuild->trigger();
    QVERIFY(ui(w)->actionLog->isChecked());
    QVERIFY(ui(w)->projectPage->compiled());
    QVERIFY(logText(w).contains(QStringLiteral("Compilation finished")));
    // No device is connected: Upload stays off after a good build.
    QVERIFY(!ui(w)->actionUpload->isEnabled());
    QVERIFY(QFileInfo::exists(folder.path("out/demo.kcs")));
}

void ZuROVUrazevProjectTest::editorShortcutsReachWindowActions_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("action");
    QTest::newRow("Ctrl+N") << int(Qt::Key_N) << "actionNew_Script";
    QTest::newRow("Ctrl+O") << int(Qt::Key_O) << "actionOpen_Script";
    QTest::newRow("Ctrl+S") << int(Qt::Key_S) << "actionSave_Script";
    QTest::newRow("Ctrl+B") << int(Qt::Key_B) << "actionBuild";
    QTest::newRow("Ctrl+G") << int(Qt::Key_G) << "actionGPIO_Helper";
}

// The project shortcuts typed in the editor run the window's actions once.
void ZuROVUrazevProjectTest::editorShortcutsReachWindowActions()
{
    QFETCH(int, key);
    QFETCH(QString, action);
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    ui(w)->projectPage->project()->setDefines({QStringLiteral("A=1")});
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->activateWindow();
    QWidget *editor = ui(w)->projectPage->findChild<QWidget *>(QStringLiteral("codeEditor"));
    QVERIFY(editor);
    editor->setFocus();
    QTRY_VERIFY(editor->hasFocus());
    auto *target = w->findChild<QAction *>(action);
    QVERIFY(target);
    QSignalSpy triggered(target, &QAction::triggered);
    ModalDriver modal;
    modal.cancel();
    QTest::keyClick(editor, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(triggered.count(), 1);
}

void ZuROVUrazevProjectTest::uploadFollowsBuildDeviceAndMode_data()
{
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("no device") << false << int(ZuROVUrazev::DS_Messaging) << false;
    QTest::newRow("messaging") << true << int(ZuROVUrazev::DS_Messaging) << true;
    QTest::newRow("configuration") << true << int(ZuROVUrazev::DS_Config) << true;
    QTest::newRow("debugging") << true << int(ZuROVUrazev::DS_Debugging) << false;
    QTest::newRow("invalid") << true << int(ZuROVUrazev::DS_Invalid) << false;
}

// A good build enables Upload only with a device attached that is in the
// messaging or configuration mode.
void ZuROVUrazevProjectTest::uploadFollowsBuildDeviceAndMode()
{
    QFETCH(bool, connected);
    QFETCH(int, mode);
    QFETCH(bool, enabled);
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    if (connected) {
        auto *fake = new FakeMessenger;
        fake->setOnOpen(FakeMessenger::OnOpen::Stall);
        fake->open(QStringLiteral("fake"));
        fake->connectNow();
        w->attachTransport(fake, 0x0001, 0x0001);
    }
    w->device.state = ZuROVUrazev::DevState(mode);
    QVERIFY(!ui(w)->actionUpload->isEnabled());
    ui(w)->actionBuild->trigger();
    QVERIFY(ui(w)->projectPage->compiled());
    QCOMPARE(ui(w)->actionUpload->isEnabled(), enabled);
}

void ZuROVUrazevProjectTest::waitCompiled_data()
{
    QTest::addColumn<bool>("open");
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<bool>("result");
    QTest::newRow("no project") << false << QByteArray() << false;
    QTest::newRow("builds") << true << GoodScript << true;
    QTest::newRow("fails") << true << QByteArray("var main() { return x; }\n") << false;
}

void ZuROVUrazevProjectTest::waitCompiled()
{
    QFETCH(bool, open);
    QFETCH(QByteArray, script);
    QFETCH(bool, result);
    ProjectFolder folder;
    ZuROVUrazev *w = open ? windowWithProject(folder, script) : makeWindow();
    ModalDriver modal;
    QCOMPARE(w->project_waitCompiled(), result);
    QCOMPARE(ui(w)->actionLog->isChecked(), open);
    if (result) {
        // Up to date: no second build.
        const QDateTime built = QFileInfo(folder.path("out/demo.kcs")).lastModified();
        QVERIFY(w->project_waitCompiled());
        QCOMPARE(QFileInfo(folder.path("out/demo.kcs")).lastModified(), built);
    }
}

void ZuROVUrazevProjectTest::waitCompiledWithoutOutputEnds()
{
    ProjectFolder folder;
    folder.json().remove("output");
    ZuROVUrazev *w = windowWithProject(folder);
    QVERIFY(ui(w)->projectPage->project());
    ModalDriver modal;
    for (int i = 0; i < 3; ++i)
        modal.press(QMessageBox::Ok);
    QVERIFY(!w->project_waitCompiled());
}

void ZuROVUrazevProjectTest::deleteWindowDuringWait()
{
    ProjectFolder folder;
    folder.json().remove("output");
    ZuROVUrazev *w = windowWithProject(folder);
    ModalDriver modal;
    // The build's first box deletes the window that waits.
    modal.then([w](QWidget *box) {
        box->close();
        w->deleteLater();
    });
    for (int i = 0; i < 3; ++i)
        modal.press(QMessageBox::Ok);
    QVERIFY(!w->project_waitCompiled());
    QTRY_VERIFY(!m_session->window);
}

void ZuROVUrazevProjectTest::recentProjects_data()
{
    QTest::addColumn<int>("opened");
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("top again") << 0 << QList<int>{0, 1, 2};
    QTest::newRow("third moves up") << 2 << QList<int>{2, 0, 1};
    QTest::newRow("second moves up") << 1 << QList<int>{1, 0, 2};
    QTest::newRow("new one") << 3 << QList<int>{3, 0, 1, 2};
}

void ZuROVUrazevProjectTest::recentProjects()
{
    QFETCH(int, opened);
    QFETCH(QList<int>, order);
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < 4; ++i) {
        paths << dir.filePath(QStringLiteral("p%1.kcpro").arg(i));
        writeBytes(paths.last(), "{}");
    }
    m_session->settings.set(QStringLiteral("Editor/RecentFiles"), QStringList(paths.mid(0, 3)));
    ZuROVUrazev *w = makeWindow();
    w->checkRecentFile(paths.at(opened));
    QStringList expected;
    for (int i : order)
        expected << paths.at(i);
    QCOMPARE(recent(w), expected);
    QCOMPARE(entries(w), expected);
    for (QAction *a : ui(w)->actionOpen_Script->menu()->actions().mid(0, expected.size()))
        QCOMPARE(a->text(), a->data().toString());
    // Nothing is stored until the window writes its settings.
    QCOMPARE(QSettings().value(QStringLiteral("Editor/RecentFiles")).toStringList(), QStringList(paths.mid(0, 3)));
}

void ZuROVUrazevProjectTest::recentClearWritesAtOnce()
{
    QTemporaryDir dir;
    const QStringList paths{dir.filePath("a.kcpro"), dir.filePath("b.kcpro")};
    for (const QString &p : paths)
        writeBytes(p, "{}");
    m_session->settings.set(QStringLiteral("Editor/RecentFiles"), paths);
    ZuROVUrazev *w = makeWindow();
    QMenu *menu = ui(w)->actionOpen_Script->menu();
    menu->actions().constLast()->trigger();
    QVERIFY(recent(w).isEmpty());
    QCOMPARE(menu->actions().size(), 3);
    QVERIFY(menu->actions().constFirst()->isSeparator());
    QVERIFY(QSettings().contains(QStringLiteral("Editor/RecentFiles")));
    QVERIFY(QSettings().value(QStringLiteral("Editor/RecentFiles")).toStringList().isEmpty());
    // Clearing an empty list keeps the menu.
    menu->actions().constLast()->trigger();
    QCOMPARE(menu->actions().size(), 3);
}

void ZuROVUrazevProjectTest::recentEntryOpensProject()
{
    ProjectFolder folder;
    folder.write("main.kos", GoodScript);
    delete folder.load();
    m_session->settings.set(QStringLiteral("Editor/RecentFiles"), QStringList{folder.path("demo.kcpro")});
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    ui(w)->actionOpen_Script->menu()->actions().constFirst()->trigger();
    QVERIFY(modal.seen().isEmpty());
    QVERIFY(ui(w)->projectPage->project());
    QCOMPARE(recent(w), QStringList{folder.path("demo.kcpro")});
}

void ZuROVUrazevProjectTest::exportWithoutProject()
{
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    ui(w)->actionExport_Script->trigger();
    QVERIFY(modal.seen().isEmpty());
    QCOMPARE(logText(w), QStringLiteral("No active project to export"));
}

void ZuROVUrazevProjectTest::exportImportRoundTrip()
{
    ProjectFolder folder;
    folder.write("main.kos", GoodScript);
    delete folder.load();
    QTemporaryDir packages;
    QTemporaryDir projects;
    m_session->settings.set(QStringLiteral("Directory"), projects.path());
    ZuROVUrazev *w = makeWindow();
    w->resize(900, 640);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    w->code_open(folder.path("demo.kcpro"));
    const QString package = packages.filePath("demo.zip");
    {
        ModalDriver modal;
        modal.chooseFile(package);
        ui(w)->actionExport_Script->trigger();
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Export as"));
    }
    QVERIFY(QFileInfo::exists(package));
    QVERIFY(logText(w).contains(QStringLiteral("Project demo exported")));
    QCOMPARE(QSettings().value(QStringLiteral("ImportExport")).toString(), packages.path());
    ui(w)->actionClose_Script->trigger();
    QVERIFY(!ui(w)->projectPage->project());
    {
        ModalDriver modal;
        modal.chooseFile(package);
        ui(w)->actionImport_Script->trigger();
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Import Project"));
    }
    const QString imported = QDir(projects.path()).filePath("demo/demo.kcpro");
    QVERIFY2(logText(w).contains(QStringLiteral("Successfully imported project demo")), qPrintable(logText(w)));
    QVERIFY(ui(w)->projectPage->project());
    QCOMPARE(ui(w)->projectPage->project()->fileName(), imported);
    QCOMPARE(readBytes(QDir(projects.path()).filePath("demo/main.kos")), GoodScript);
    ui(w)->actionBuild->trigger();
    QVERIFY(ui(w)->projectPage->compiled());
    QVERIFY(logText(w).contains(QStringLiteral("Compilation finished")));
    w->pagesel_clicked(ZuROVUrazev::T_Script);
    QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR));
    QVERIFY(w->grab().save(QStringLiteral(KOLM_SCREENSHOT_DIR "/imported_project.png")));

    // A second import finds the project open: it is extracted, not opened.
    {
        ModalDriver modal;
        modal.chooseFile(package).chooseFile(packages.path());
        ui(w)->actionImport_Script->trigger();
        QCOMPARE(modal.seen().size(), 2);
        QCOMPARE(modal.seen().at(1).title, QStringLiteral("Import to"));
    }
    QVERIFY(QFileInfo::exists(packages.filePath("demo.kcpro")));
    QCOMPARE(ui(w)->projectPage->project()->fileName(), imported);
}

void ZuROVUrazevProjectTest::importNotAPackage()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plain.zip");
    writeBytes(path, "not a zip at all");
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    modal.chooseFile(path);
    ui(w)->actionImport_Script->trigger();
    QCOMPARE(modal.seen().size(), 1);
    QVERIFY(logText(w).contains(QStringLiteral("%1 is not a Kolm package").arg(path)));
    QVERIFY(!ui(w)->projectPage->project());
}

void ZuROVUrazevProjectTest::deleteWindowInPackageDialog_data()
{
    QTest::addColumn<bool>("exporting");
    QTest::newRow("export") << true;
    QTest::newRow("import") << false;
}

void ZuROVUrazevProjectTest::deleteWindowInPackageDialog()
{
    QFETCH(bool, exporting);
    ProjectFolder folder;
    ZuROVUrazev *w = windowWithProject(folder);
    ModalDriver modal;
    modal.then([w](QWidget *dialog) {
        w->deleteLater();
        static_cast<QDialog *>(dialog)->reject();
    });
    (exporting ? ui(w)->actionExport_Script : ui(w)->actionImport_Script)->trigger();
    QTRY_VERIFY(!m_session->window);
    QCOMPARE(modal.seen().size(), 1);
}

QTEST_MAIN(ZuROVUrazevProjectTest)
#include "zurovurazev_project_test.moc"
