// The main window's New action with an accepted dialog: a new main script,
// an existing one inside or outside the project directory given as an
// absolute or a relative path (the copy "main.kos" and its refusal), and a
// project file that cannot be written.

#include "zurovurazev.h"

#include "file_size_limit.h"
#include "form_child.h"
#include "ide_resources.h"
#include "kolmprojectcreator.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qdiredit.h"
#include "qmaterialfont.h"
#include "ui_zurovurazev.h"
#include "window_session.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QByteArray Script = "var main() { return 5; }\n";

// What the user enters in the New Project dialog.
struct Entries {
    QString name;
    QString directory;
    bool subDirectory = true;
    // Empty: a new script "main"; otherwise the existing script's path as
    // typed.
    QString existing;
};

// Fills the dialog and presses OK; false when OK stays disabled.
bool fillAndAccept(QWidget *window, const Entries &entries)
{
    auto *dialog = qobject_cast<KolmProjectCreator *>(window);
    if (!dialog)
        return false;
    formChild<QLineEdit>(*dialog, QStringLiteral("nameEdit"))->setText(entries.name);
    formChild<QDirEdit>(*dialog, QStringLiteral("dirEdit"))->setText(entries.directory);
    auto *subDir = formChild<QCheckBox>(*dialog, QStringLiteral("selfSubDirCheck"));
    if (subDir->isChecked() != entries.subDirectory)
        subDir->click();
    if (!entries.existing.isEmpty()) {
        formChild<QComboBox>(*dialog, QStringLiteral("scriptSourceSelector"))->setCurrentIndex(1);
        formChild<QLineEdit>(*dialog, QStringLiteral("mainExistEdit"))->setText(entries.existing);
    }
    QPushButton *ok = formChild<QDialogButtonBox>(*dialog, QStringLiteral("buttonBox"))->button(QDialogButtonBox::Ok);
    if (!ok->isEnabled()) {
        dialog->reject();
        return false;
    }
    ok->click();
    return true;
}

} // namespace

class ZuROVUrazevNewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void accepted_data();
    void accepted();
    void copyRefusedWhenMainExists_data();
    void copyRefusedWhenMainExists();
    void projectFileCannotBeWritten();
    void windowDeletedInNew_data();
    void windowDeletedInNew();

private:
    ZuROVUrazev *makeWindow() { return m_session->make(); }
    QString path(const QString &name) const { return QDir(m_root->path()).filePath(name); }
    QStringList recent(ZuROVUrazev *w) const
    {
        return w->ui->actionOpen_Script->menu()->actions().constLast()->data().toStringList();
    }
    QString logText(ZuROVUrazev *w)
    {
        w->flushLog();
        return w->ui->logBrowser->toPlainText();
    }

    std::unique_ptr<WindowSession> m_session;
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_workingDirectory;
};

void ZuROVUrazevNewTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
    m_workingDirectory = QDir::currentPath();
}

// Relative paths in the dialog are taken against the working directory,
// the temporary root of each case.
void ZuROVUrazevNewTest::init()
{
    m_session = std::make_unique<WindowSession>();
    m_root = std::make_unique<QTemporaryDir>();
    QVERIFY(m_root->isValid());
    m_session->settings.set(QStringLiteral("Directory"), m_root->path());
    QVERIFY(QDir::setCurrent(m_root->path()));
}

void ZuROVUrazevNewTest::cleanup()
{
    m_session.reset();
    QDir::setCurrent(m_workingDirectory);
    m_root.reset();
}

void ZuROVUrazevNewTest::accepted_data()
{
    QTest::addColumn<bool>("subDirectory");
    QTest::addColumn<QString>("existing");
    QTest::addColumn<QString>("main");
    QTest::addColumn<QString>("copiedFrom");
    // Entries relative to the temporary root "base/"; the project is
    // "base/blink/blink.kcpro" in its own subdirectory, else "base/blink.kcpro".
    QTest::newRow("new script") << true << QString() << "base/blink/main.kos" << QString();
    QTest::newRow("outside, absolute") << true << "@/base/lib/app.kos"
                                       << "base/blink/main.kos" << "base/lib/app.kos";
    QTest::newRow("outside, relative") << true << "lib/app.kos" << "base/blink/main.kos" << "base/lib/app.kos";
    QTest::newRow("inside, absolute") << false << "@/base/app.kos" << "base/app.kos" << QString();
    QTest::newRow("inside, relative") << false << "app.kos" << "base/app.kos" << QString();
}

// The project lands on the page and in the recent list; a main script from
// outside the project directory is copied in as "main.kos".
void ZuROVUrazevNewTest::accepted()
{
    QFETCH(bool, subDirectory);
    QFETCH(QString, existing);
    QFETCH(QString, main);
    QFETCH(QString, copiedFrom);
    writeBytes(path("base/lib/app.kos"), Script);
    writeBytes(path("base/app.kos"), Script);
    existing.replace(QLatin1Char('@'), m_root->path());
    const QString projectFile = subDirectory ? path("base/blink/blink.kcpro") : path("base/blink.kcpro");

    ZuROVUrazev *w = makeWindow();
    w->ui->actionBuild->setEnabled(false);
    w->ui->actionUpload->setEnabled(true);
    bool filled = false;
    ModalDriver modal;
    // The directory is typed relative to the working directory.
    modal.then([&](QWidget *dialog) { filled = fillAndAccept(dialog, {"blink", "base", subDirectory, existing}); });
    w->ui->actionNew_Script->trigger();
    QVERIFY(filled);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.unanswered(), 0);

    KolmProject *project = w->ui->projectPage->project();
    QVERIFY(project);
    QCOMPARE(project->fileName(), projectFile);
    QCOMPARE(project->absolutePath(project->mainFile()), path(main));
    QVERIFY(QFileInfo::exists(projectFile));
    QVERIFY(!project->isModified());
    QCOMPARE(recent(w), QStringList{projectFile});
    QVERIFY(w->ui->actionBuild->isEnabled());
    QVERIFY(!w->ui->actionUpload->isEnabled());
    if (!copiedFrom.isEmpty()) {
        QCOMPARE(readBytes(path(main)), Script);
        QCOMPARE(readBytes(path(copiedFrom)), Script);
    }
    // The project builds from the main file it names.
    w->ui->actionBuild->trigger();
    QVERIFY2(w->ui->projectPage->compiled(), qPrintable(logText(w)));
}

void ZuROVUrazevNewTest::copyRefusedWhenMainExists_data()
{
    QTest::addColumn<QString>("existing");
    QTest::newRow("absolute") << "@/base/lib/app.kos";
    QTest::newRow("relative") << "lib/app.kos";
}

// A "main.kos" already in the project directory is not overwritten: the
// copy is refused and nothing is created.
void ZuROVUrazevNewTest::copyRefusedWhenMainExists()
{
    QFETCH(QString, existing);
    existing.replace(QLatin1Char('@'), m_root->path());
    writeBytes(path("base/lib/app.kos"), Script);
    writeBytes(path("base/blink/main.kos"), "// the user's own\n");

    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    bool filled = false;
    modal.then([&](QWidget *dialog) { filled = fillAndAccept(dialog, {"blink", "base", true, existing}); });
    modal.press(QMessageBox::Ok);
    w->ui->actionNew_Script->trigger();
    QVERIFY(filled);
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen().at(1).title, QStringLiteral("Create Project"));
    QCOMPARE(modal.seen().at(1).text, QStringLiteral("Cannot copy %1 to %2")
                                          .arg(path("base/lib/app.kos"), path("base/blink/main.kos")));
    QCOMPARE(modal.unanswered(), 0);
    QVERIFY(!w->ui->projectPage->project());
    QVERIFY(!QFileInfo::exists(path("base/blink/blink.kcpro")));
    QCOMPARE(readBytes(path("base/blink/main.kos")), QByteArray("// the user's own\n"));
    QVERIFY(recent(w).isEmpty());
}

// The project file cannot be written (here a file size limit, as on a full
// disk): the reason reaches the log, the box names the project, and the
// page and the recent list keep what they held.
void ZuROVUrazevNewTest::projectFileCannotBeWritten()
{
    ProjectFolder folder;
    folder.write("main.kos", Script);
    delete folder.load();
    ZuROVUrazev *w = makeWindow();
    w->code_open(folder.path("demo.kcpro"));
    KolmProject *open = w->ui->projectPage->project();
    QVERIFY(open);
    writeBytes(path("base/app.kos"), Script);

    ModalDriver modal;
    bool filled = false;
    modal.then([&](QWidget *dialog) { filled = fillAndAccept(dialog, {"blink", path("base"), false, "app.kos"}); });
    modal.press(QMessageBox::Ok);
    {
        FileSizeLimit limit(16);
        QVERIFY(limit.active());
        w->ui->actionNew_Script->trigger();
    }
    QVERIFY(filled);
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen().at(1).title, QStringLiteral("Create Project"));
    QCOMPARE(modal.seen().at(1).text, QStringLiteral("Cannot create project at blink"));
    QCOMPARE(modal.unanswered(), 0);
    QVERIFY2(logText(w).contains(QStringLiteral("Cannot write to %1").arg(path("base/blink.kcpro"))),
             qPrintable(logText(w)));
    QVERIFY(!QFileInfo::exists(path("base/blink.kcpro")));
    QCOMPARE(w->ui->projectPage->project(), open);
    QCOMPARE(recent(w), QStringList{folder.path("demo.kcpro")});
}

void ZuROVUrazevNewTest::windowDeletedInNew_data()
{
    QTest::addColumn<bool>("inBox");
    QTest::newRow("in the dialog") << false;
    QTest::newRow("in the refusal box") << true;
}

// The window goes at once while the New dialog, or the box refusing its
// copy, is open: the action ends without touching it.
void ZuROVUrazevNewTest::windowDeletedInNew()
{
    QFETCH(bool, inBox);
    writeBytes(path("base/lib/app.kos"), Script);
    writeBytes(path("base/blink/main.kos"), "// the user's own\n");
    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    const auto deleteWindow = [w](QWidget *) { delete w; };
    if (inBox)
        modal.then([&](QWidget *dialog) { fillAndAccept(dialog, {"blink", "base", true, "lib/app.kos"}); });
    modal.then(deleteWindow);
    w->on_actionNew_Script_triggered();
    QVERIFY(!m_session->window);
    QCOMPARE(modal.seen().size(), inBox ? 2 : 1);
    QVERIFY(!QFileInfo::exists(path("base/blink/blink.kcpro")));
}

QTEST_MAIN(ZuROVUrazevNewTest)
#include "zurovurazev_new_test.moc"
