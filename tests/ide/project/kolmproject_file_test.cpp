// Creating, loading and saving ".kcpro" project files.

#include "kolmproject.h"
#include "project_test_support.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <sys/stat.h>
#include <optional>

namespace {

QString parserText(const QByteArray& text)
{
    QJsonParseError error;
    QJsonDocument::fromJson(text, &error);
    return error.errorString();
}

const QByteArray kProject = R"({
    "name": "blink",
    "output": "out/blink.kcs",
    "unknown": {"kept": [1, 2, 3]},
    "files": [
        {"name": "util.kos", "path": "lib", "flags": [], "comment": "kept too"},
        {"name": "main.kos", "path": "", "flags": ["main"]}
    ]
})";

} // namespace

class KolmProjectFileTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString& name) const { return m_dir->filePath(name); }

    // A loaded copy of kProject at "p.kcpro".
    void loadProject(KolmProject& project)
    {
        QVERIFY(writeBytes(path("p.kcpro"), kProject));
        QVERIFY(project.load(path("p.kcpro")));
    }

    // Loading `file` fails with the one message ("{file}" stands for the
    // path) and leaves the project without a path and a main file.
    static void expectLoadFailure(const QString& file, QString message)
    {
        KolmProject project;
        QSignalSpy errors(&project, &KolmProject::error);
        QVERIFY(!project.load(file));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), message.replace("{file}", file));
        QVERIFY(project.fileName().isEmpty());
        QVERIFY(project.mainFile().isNull());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QVERIFY(writeBytes(path("main.kos"), "main() {}\n"));
        QVERIFY(writeBytes(path("blink.kos"), "main() {}\n"));
        QVERIFY(writeBytes(path("lib/util.kos"), "\n"));
    }

    void cleanup() { m_dir.reset(); }

    void loadFailure_data()
    {
        QTest::addColumn<QByteArray>("content"); // null: no file at all
        QTest::addColumn<QString>("message");    // "{file}" stands for the path

        QTest::newRow("unreadable")
            << QByteArray() << "Cannot read {file}: No such file or directory";
        QTest::newRow("not JSON")
            << QByteArray("{\"files\": [") << "Project file is corrupted: " + parserText("{\"files\": [");
        QTest::newRow("empty file")
            << QByteArray("") << "Project file is corrupted: " + parserText("");
        QTest::newRow("top-level array")
            << QByteArray("[{\"name\": \"main.kos\", \"path\": \"\", \"flags\": [\"main\"]}]")
            << "Project file is invalid";
        QTest::newRow("entry not an object")
            << QByteArray(R"({"files": [{"name": "main.kos", "path": "", "flags": ["main"]}, "x.kos"]})")
            << "Project file is corrupted: file entry is not an object";
        QTest::newRow("missing file before main check")
            << QByteArray(R"({"files": [{"name": "gone.kos", "path": "lib", "flags": ["main"]}]})")
            << "File lib/gone.kos does not exist";
        QTest::newRow("directory as file")
            << QByteArray(R"({"files": [{"name": "lib", "path": "", "flags": ["main"]}]})")
            << "File lib does not exist";
        QTest::newRow("entry without a name")
            << QByteArray(R"({"files": [{"flags": ["main"]}]})") << "File entry without a name";
        QTest::newRow("entry with an empty name in a folder")
            << QByteArray(R"({"files": [{"name": "", "path": "lib", "flags": ["main"]}]})")
            << "File entry without a name";
        QTest::newRow("two main entries")
            << QByteArray(R"({"files": [{"name": "main.kos", "path": "", "flags": ["main"]},
                                       {"name": "util.kos", "path": "lib", "flags": ["x", "main"]}]})")
            << "Project file is corrupted: more than one \"main\" file entry";
        QTest::newRow("no main entry")
            << QByteArray(R"({"files": [{"name": "main.kos", "path": "", "flags": ["mainly"]}]})")
            << "Invalid project - \"main\" file is missing";
        QTest::newRow("no files key") << QByteArray("{}") << "Invalid project - \"main\" file is missing";
        QTest::newRow("files not an array")
            << QByteArray(R"({"files": {"name": "main.kos"}})") << "Invalid project - \"main\" file is missing";
    }

    void loadFailure()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        const QString file = path("p.kcpro");
        if (!content.isNull())
            QVERIFY(writeBytes(file, content));

        expectLoadFailure(file, message);
    }

    // What is not a regular file of bounded size is refused before it is
    // read: a device would be read without end, a FIFO without a writer
    // would block the open for good.
    void loadRefusesSpecialFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message"); // "{file}" stands for the path

        QTest::newRow("link to /dev/zero") << "zero" << "Project file {file} is not a regular file";
        QTest::newRow("FIFO with no writer") << "fifo" << "Project file {file} is not a regular file";
        QTest::newRow("oversized file")
            << "large"
            << QStringLiteral("Project file {file} is larger than %1 bytes").arg(KolmProject::maxProjectFileBytes);
    }

    void loadRefusesSpecialFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString file = path("p.kcpro");
        if (kind == "zero") {
            QVERIFY(QFile::link("/dev/zero", file));
        } else if (kind == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        } else {
            QFile large(file);
            QVERIFY(large.open(QIODevice::WriteOnly));
            QVERIFY(large.resize(KolmProject::maxProjectFileBytes + 1));
        }

        expectLoadFailure(file, message);
    }

    void loadSucceeds()
    {
        KolmProject project;
        project.setName("unsaved");
        QSignalSpy modified(&project, &KolmProject::modified);
        QSignalSpy errors(&project, &KolmProject::error);
        loadProject(project);
        QCOMPARE(errors.size(), 0);
        QCOMPARE(modified.size(), 1);
        QCOMPARE(modified.at(0).at(0).toBool(), false);
        QVERIFY(!project.isModified());
        QCOMPARE(project.fileName(), path("p.kcpro"));
        QCOMPARE(project.mainFile(), path("main.kos"));
        QCOMPARE(project.name(), QString("blink"));
        QCOMPARE(project.fileCount(), 2);
    }

    void createAndSave_data()
    {
        QTest::addColumn<QString>("mainName");
        QTest::addColumn<QString>("name");
        QTest::newRow("named") << "main.kos" << "blink";
        QTest::newRow("empty name takes the main file's base name") << "blink.kos" << "";
    }

    void createAndSave()
    {
        QFETCH(QString, mainName);
        QFETCH(QString, name);
        QScopedPointer<KolmProject> project(
            KolmProject::create(path(mainName), {}, name, "", "sys://Emulator.kbsp"));
        QVERIFY(project->isModified());
        QVERIFY(!project->parent());
        QVERIFY(!QFileInfo::exists(path("blink.kcpro")));
        QCOMPARE(readBytes(path("Emulator.kbsp")), builtinPackage("Emulator.kbsp"));

        QSignalSpy errors(project.data(), &KolmProject::error);
        QVERIFY(project->save(path("blink.kcpro"), false));
        QCOMPARE(errors.size(), 0);
        QVERIFY(!project->isModified());

        const QJsonObject expected{
            {"author", ""},
            {"bsp", "Emulator.kbsp"},
            {"creator", "KolmIDE"},
            {"files", QJsonArray{QJsonObject{{"flags", QJsonArray{"main"}}, {"name", mainName}, {"path", ""}}}},
            {"name", "blink"},
            {"output", "blink.kcs"},
            {"version", "0.1.0"},
        };
        const QByteArray saved = readBytes(path("blink.kcpro"));
        QCOMPARE(QJsonDocument::fromJson(saved).object(), expected);
        QCOMPARE(saved, QJsonDocument(expected).toJson(QJsonDocument::Indented));
        QVERIFY(saved.startsWith("{\n    \"author\": \"\",\n"));

        KolmProject reloaded;
        QVERIFY(reloaded.load(path("blink.kcpro")));
        QCOMPARE(reloaded.mainFile(), path(mainName));
    }

    void roundTripKeepsUnknownKeys_data()
    {
        QTest::addColumn<bool>("compact");
        QTest::newRow("indented") << false;
        QTest::newRow("compact") << true;
    }

    void roundTripKeepsUnknownKeys()
    {
        QFETCH(bool, compact);
        KolmProject project;
        loadProject(project);
        QVERIFY(project.save(path("copy.kcpro"), compact));
        QCOMPARE(readBytes(path("copy.kcpro")).contains('\n'), !compact);
        QCOMPARE(readJsonObject(path("copy.kcpro")), QJsonDocument::fromJson(kProject).object());

        KolmProject reloaded;
        QVERIFY(reloaded.load(path("copy.kcpro")));
        QVERIFY(reloaded.save());
        QCOMPARE(readJsonObject(path("copy.kcpro")), QJsonDocument::fromJson(kProject).object());
    }

    void saveAsMovesOwnPath()
    {
        KolmProject project;
        loadProject(project);
        project.setOutput("other.kcs");
        QVERIFY(project.save(path("moved.kcpro")));
        QCOMPARE(project.fileName(), path("moved.kcpro"));
        QCOMPARE(readBytes(path("p.kcpro")), kProject);

        project.setOutput("again.kcs");
        QVERIFY(project.save());
        QCOMPARE(project.fileName(), path("moved.kcpro"));
        QCOMPARE(readJsonObject(path("moved.kcpro")).value("output").toString(), QString("again.kcs"));
    }

    void saveFailureKeepsOldFile_data()
    {
        QTest::addColumn<QString>("target"); // relative to the temporary directory; empty: own path
        QTest::addColumn<bool>("limitFileSize");
        QTest::newRow("cannot open: a path under a regular file") << "p.kcpro/new.kcpro" << false;
        QTest::newRow("write fails: file size limit, save as") << "new.kcpro" << true;
        QTest::newRow("write fails: file size limit, own path") << "" << true;
    }

    void saveFailureKeepsOldFile()
    {
        QFETCH(QString, target);
        QFETCH(bool, limitFileSize);
        KolmProject project;
        loadProject(project);
        project.setName("changed");
        QSignalSpy modified(&project, &KolmProject::modified);
        QSignalSpy errors(&project, &KolmProject::error);
        const QString targetPath = target.isEmpty() ? QString() : path(target);

        std::optional<FileSizeLimit> limit;
        if (limitFileSize) {
            limit.emplace(16);
            QVERIFY(limit->active());
        }
        const bool saved = project.save(targetPath);
        limit.reset();

        QVERIFY(!saved);
        QCOMPARE(errors.size(), 1);
        const QString message = errors.at(0).at(0).toString();
        const QString prefix = QString("Cannot write to %1: ").arg(target.isEmpty() ? path("p.kcpro") : targetPath);
        QVERIFY2(message.startsWith(prefix) && message.size() > prefix.size(), qPrintable(message));
        QCOMPARE(readBytes(path("p.kcpro")), kProject);
        if (!target.isEmpty())
            QVERIFY(!QFileInfo::exists(targetPath));
        QCOMPARE(project.fileName(), path("p.kcpro"));
        QVERIFY(project.isModified());
        QCOMPARE(modified.size(), 0);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 3); // no temporary file left
    }

    void itemFiles()
    {
        KolmProject project;
        loadProject(project);
        QSignalSpy errors(&project, &KolmProject::error);

        bool ok = false;
        QCOMPARE(project.read("lib/util.kos", &ok), QByteArray("\n"));
        QVERIFY(ok);
        QCOMPARE(project.read(path("main.kos")), QByteArray("main() {}\n"));
        QCOMPARE(project.read("lib/gone.kos", &ok), QByteArray());
        QVERIFY(!ok);
        QCOMPARE(errors.takeFirst().at(0).toString(),
                 QString("Cannot read item lib/gone.kos: No such file or directory"));

        QVERIFY(project.saveFile("lib/new.kos", QString::fromUtf8("// \xc3\xa4\n")));
        QCOMPARE(readBytes(path("lib/new.kos")), QByteArray("// \xc3\xa4\n"));
        QVERIFY(!project.isModified());

        QVERIFY(!project.saveFile("main.kos/x.kos", "text"));
        QVERIFY(errors.takeFirst().at(0).toString().startsWith(
            QString("Cannot write to %1: ").arg(path("main.kos/x.kos"))));

        {
            FileSizeLimit limit(4);
            QVERIFY(limit.active());
            ok = project.saveFile("main.kos", "a text longer than the limit");
        }
        QVERIFY(!ok);
        QCOMPARE(readBytes(path("main.kos")), QByteArray("main() {}\n"));
        QVERIFY(errors.takeFirst().at(0).toString().startsWith(QString("Cannot write to %1: ").arg(path("main.kos"))));
        QVERIFY(errors.isEmpty());
    }
};

QTEST_GUILESS_MAIN(KolmProjectFileTest)
#include "kolmproject_file_test.moc"
