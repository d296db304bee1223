// Project packages through the main window: the whole road from opening a
// fixture project with the Open action, building it, exporting it, closing
// it and importing the package into an empty projects directory, where it
// opens and builds the same image; and an export whose writes fail part
// way; an import that would replace a file, and the window closed or
// deleted while an import runs. Keeps the picture artefacts/package_round_trip.png of the imported,
// built project.

#include "zurovurazev.h"

#include "clipped_texts.h"
#include "file_size_limit.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "settled_grab.h"
#include "ui_zurovurazev.h"
#include "window_session.h"
#include "zip_builder.h"

#include <QDirIterator>
#include <QProgressDialog>
#include <QStatusBar>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

#include <memory>

namespace {

// Copies the fixture project into `target`, with the emulator's board
// package beside it.
void copyFixture(const QString &target)
{
    const QDir source(QStringLiteral(KOLM_FIXTURE_DIR));
    QDirIterator it(source.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        writeBytes(QDir(target).filePath(source.relativeFilePath(file)), readBytes(file));
    }
    writeBytes(QDir(target).filePath(QStringLiteral("Emulator.kbsp")),
               readBytes(QStringLiteral(":/data/bsp/Emulator.kbsp")));
}

// Every file below a directory with its bytes.
QMap<QString, QByteArray> filesBelow(const QString &directory)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(directory, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        files.insert(file, readBytes(file));
    }
    return files;
}

// The log's lines with the colour each is drawn in.
QList<QPair<QString, QString>> colouredLines(QTextDocument *log)
{
    QList<QPair<QString, QString>> lines;
    for (QTextBlock block = log->begin(); block.isValid(); block = block.next()) {
        if (block.text().isEmpty())
            continue;
        lines.append({block.text(), block.begin().fragment().charFormat().foreground().color().name()});
    }
    return lines;
}

} // namespace

class ZuROVUrazevPackageTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void openBuildExportImportBuild();
    void exportWriteFailureKeepsOlderPackage();
    void importIntoAFolderReplacesNothing();
    void windowGoesDuringImport_data();
    void windowGoesDuringImport();

private:
    ZuROVUrazev *makeWindow() { return m_session->make(); }
    QTextDocument *log(ZuROVUrazev *w)
    {
        w->flushLog();
        return w->ui->logBrowser->document();
    }
    // Builds through the Build action: the log's size report in its
    // colour, or an empty pair when the build reported none.
    QPair<QString, QString> build(ZuROVUrazev *w)
    {
        w->ui->logBrowser->clear();
        w->ui->actionBuild->trigger();
        for (const auto &line : colouredLines(log(w)))
            if (line.first.startsWith(QStringLiteral("Compilation finished")))
                return line;
        return {};
    }

    std::unique_ptr<WindowSession> m_session;
};

void ZuROVUrazevPackageTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevPackageTest::init()
{
    m_session = std::make_unique<WindowSession>();
}

void ZuROVUrazevPackageTest::cleanup()
{
    m_session.reset();
}

void ZuROVUrazevPackageTest::openBuildExportImportBuild()
{
    QTemporaryDir root;
    const QDir dir(root.path());
    copyFixture(dir.filePath("work/blink"));
    QVERIFY(QDir().mkpath(dir.filePath("projects")));
    QVERIFY(QDir().mkpath(dir.filePath("packages")));
    m_session->settings.set(QStringLiteral("Directory"), dir.filePath("projects"));
    const QString green = QMaterialIcon::instance()->color(QMaterialIcon::Success).name();
    const QRegularExpression report(
        QStringLiteral("^Compilation finished\\. Text \\d+ / Data \\d+ / BSS \\d+ (\\(of \\d+\\) )?bytes\\. "
                       "Total (?<total>\\d+) bytes$"));

    ZuROVUrazev *w = makeWindow();
    w->resize(1000, 700);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));

    // Open through the Open action's file dialog.
    {
        ModalDriver modal;
        modal.chooseFile(dir.filePath("work/blink/blink.kcpro"));
        w->ui->actionOpen_Script->trigger();
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Open Project"));
    }
    QVERIFY(w->ui->projectPage->project());

    const auto first = build(w);
    QVERIFY2(report.match(first.first).hasMatch(), qPrintable(log(w)->toPlainText()));
    QCOMPARE(first.second, green);
    QVERIFY(report.match(first.first).captured(QStringLiteral("total")).toInt() > 0);
    QVERIFY(w->ui->actionLog->isChecked());
    const QByteArray image = readBytes(dir.filePath("work/blink/build/blink.kcs"));
    QVERIFY(!image.isEmpty());
    QCOMPARE(runImage(dir.filePath("work/blink/build/blink.kcs")), std::string("Return value: 3\n"));

    const QString package = dir.filePath("packages/blink.zip");
    {
        ModalDriver modal;
        modal.chooseFile(package);
        w->ui->actionExport_Script->trigger();
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Export as"));
    }
    QStringList exported;
    for (const auto &line : colouredLines(log(w)))
        if (line.second == green && !line.first.startsWith(QStringLiteral("Compilation finished")))
            exported << line.first;
    QCOMPARE(exported, (QStringList{"Exported main.kos", "Exported lib/led.kos", "Exported Emulator.kbsp",
                                    "Exported blink.kcpro", "Project blink exported"}));
    QCOMPARE(w->statusBar()->currentMessage(),
             "Project blink exported to " + QDir::toNativeSeparators(package));

    w->ui->actionClose_Script->trigger();
    QVERIFY(!w->ui->projectPage->project());

    // The projects directory holds no "blink": the import goes there
    // without asking and opens the project.
    {
        ModalDriver modal;
        modal.chooseFile(package);
        w->ui->actionImport_Script->trigger();
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Import Project"));
    }
    QVERIFY2(log(w)->toPlainText().contains(QStringLiteral("Successfully imported project blink")),
             qPrintable(log(w)->toPlainText()));
    const QString imported = dir.filePath("projects/blink/blink.kcpro");
    QCOMPARE(w->statusBar()->currentMessage(),
             "Project blink imported to " + QDir::toNativeSeparators(dir.filePath("projects/blink")));
    QVERIFY(w->ui->projectPage->project());
    QCOMPARE(w->ui->projectPage->project()->fileName(), imported);
    for (const char *name : {"blink.kcpro", "main.kos", "lib/led.kos", "Emulator.kbsp"})
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("projects/blink/") + name)),
                 readBytes(dir.filePath(QStringLiteral("work/blink/") + name)));

    const auto second = build(w);
    QCOMPARE(second, first);
    QCOMPARE(readBytes(dir.filePath("projects/blink/build/blink.kcs")), image);

    w->pagesel_clicked(ZuROVUrazev::T_Script);
    settleLayouts();
    QVERIFY2(clippedTexts(*w).isEmpty(), qPrintable(clippedTexts(*w).join('\n')));
    QVERIFY(QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR)));
    QVERIFY(settledGrab(w).save(QStringLiteral(KOLM_SCREENSHOT_DIR "/package_round_trip.png")));
}

// The package's writes fail part way (a file size limit, as on a full
// disk): the log has the failure and no success line, and the package
// exported before stays as it was.
void ZuROVUrazevPackageTest::exportWriteFailureKeepsOlderPackage()
{
    ProjectFolder folder;
    folder.write("main.kos", "var main() { return 1; }\n");
    QByteArray blob(512 * 1024, '\0');
    QRandomGenerator generator(40);
    for (char &c : blob)
        c = char(generator.bounded(256));
    folder.write("blob.bin", blob);
    folder.addFile("blob.bin");
    delete folder.load();
    QTemporaryDir packages;
    const QString package = packages.filePath("demo.zip");
    const QByteArray older = "an older package";
    writeBytes(package, older);

    ZuROVUrazev *w = makeWindow();
    w->code_open(folder.path("demo.kcpro"));
    QVERIFY(w->ui->projectPage->project());
    ModalDriver modal;
    modal.chooseFile(package);
    // The file dialog asks before it replaces the older package.
    modal.press(QMessageBox::Yes);
    {
        FileSizeLimit limit(64 * 1024);
        QVERIFY(limit.active());
        w->ui->actionExport_Script->trigger();
    }
    QCOMPARE(modal.unanswered(), 0);
    const QString error = QMaterialIcon::instance()->color(QMaterialIcon::Error).name();
    const auto lines = colouredLines(log(w));
    QVERIFY(!lines.isEmpty());
    QCOMPARE(lines.last(), qMakePair(QStringLiteral("Export failed - cannot write to archive"), error));
    for (const auto &line : lines)
        QVERIFY2(!line.first.contains(QStringLiteral("exported")), qPrintable(line.first));
    QCOMPARE(readBytes(package), older);
    QCOMPARE(QDir(packages.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"demo.zip"});
}

// The package's own folder exists, so the import asks where to go; the
// folder chosen holds another project's main.kos: the import refuses,
// replaces nothing and opens nothing.
void ZuROVUrazevPackageTest::importIntoAFolderReplacesNothing()
{
    QTemporaryDir root;
    const QDir dir(root.path());
    copyFixture(dir.filePath("projects/blink"));
    const QString other = "var main() { return 7; }\n";
    writeBytes(dir.filePath("projects/blink/main.kos"), other.toUtf8());
    const QMap<QString, QByteArray> before = filesBelow(dir.filePath("projects"));
    const QString package = dir.filePath("blink.zip");
    writeBytes(package, ZipBuilder()
                            .manifest(R"({"name":"blink","project":"blink.kcpro"})")
                            .add("new.kos", "new")
                            .add("main.kos", "var main() { return 1; }\n")
                            .add("blink.kcpro", "{}")
                            .bytes());
    m_session->settings.set(QStringLiteral("Directory"), dir.filePath("projects"));

    ZuROVUrazev *w = makeWindow();
    ModalDriver modal;
    modal.chooseFile(package).chooseFile(dir.filePath("projects/blink"));
    w->ui->actionImport_Script->trigger();
    QCOMPARE(modal.seen().size(), 2);
    QCOMPARE(modal.seen().at(1).title, QStringLiteral("Import to"));
    QCOMPARE(modal.unanswered(), 0);
    const QString error = QMaterialIcon::instance()->color(QMaterialIcon::Error).name();
    const QString path = QDir::toNativeSeparators(dir.filePath("projects/blink/main.kos"));
    QCOMPARE(colouredLines(log(w)).last(),
             qMakePair("Import refused - " + path + " already exists; import into an empty or new folder", error));
    QCOMPARE(filesBelow(dir.filePath("projects")), before);
    QVERIFY(!w->ui->projectPage->project());
    QVERIFY(w->ui->actionImport_Script->isEnabled());
    QVERIFY(w->ui->actionExport_Script->isEnabled());
}

void ZuROVUrazevPackageTest::windowGoesDuringImport_data()
{
    QTest::addColumn<bool>("deleteIt");
    QTest::newRow("closed: the import goes on") << false;
    QTest::newRow("deleted: the import stops and leaves nothing") << true;
}

// The import runs while the window waits in a nested loop; the window is
// closed or deleted once the progress dialog is there.
void ZuROVUrazevPackageTest::windowGoesDuringImport()
{
    QFETCH(bool, deleteIt);
    QTemporaryDir root;
    const QDir dir(root.path());
    ZipBuilder builder;
    builder.manifest(R"({"name":"big","project":"big.kcpro"})");
    const QByteArray piece(2 << 20, '\0');
    for (int i = 0; i < 32; ++i)
        builder.add("data/part" + QByteArray::number(i) + ".bin", piece);
    builder.add("big.kcpro", "{}");
    const QString package = dir.filePath("big.zip");
    writeBytes(package, builder.bytes());
    QVERIFY(QDir().mkpath(dir.filePath("projects")));
    m_session->settings.set(QStringLiteral("Directory"), dir.filePath("projects"));

    QPointer<ZuROVUrazev> w = makeWindow();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w));
    ModalDriver modal;
    modal.chooseFile(package);
    bool acted = false;
    QTimer watch;
    watch.setInterval(1);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (acted || !w || !w->findChild<QProgressDialog *>(QStringLiteral("packageProgress")))
            return;
        acted = true;
        if (deleteIt)
            delete w.data();
        else
            w->close();
    });
    watch.start();
    w->ui->actionImport_Script->trigger();
    QVERIFY(acted);
    QCOMPARE(w.isNull(), deleteIt);
    const QString target = dir.filePath("projects/big");
    if (deleteIt) {
        QVERIFY(!QFileInfo::exists(target));
        return;
    }
    QVERIFY2(log(w)->toPlainText().contains(QStringLiteral("Successfully imported project big")),
             qPrintable(log(w)->toPlainText()));
    QCOMPARE(readBytes(target + "/data/part31.bin"), piece);
}

QTEST_MAIN(ZuROVUrazevPackageTest)
#include "zurovurazev_package_test.moc"
