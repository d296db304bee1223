#include <QtTest>

#include "kolmpackageexport.h"
#include "kolmpackageimport.h"
#include "kolmpackageprogress.h"
#include "package_fixture.h"
#include "zip_builder.h"

namespace {

const QByteArray kManifest = "{\"name\":\"p\",\"project\":\"p.kcpro\"}";

// Asks the import to stop once it has done `at` units of work, as the
// progress dialog's Cancel does from the window.
class CancelAfter : public KolmPackageProgress
{
public:
    explicit CancelAfter(qint64 at) : m_at(at) {}
    void add(qint64 done) override
    {
        KolmPackageProgress::add(done);
        if (this->done() >= m_at)
            cancel();
    }

private:
    qint64 m_at;
};

} // namespace

class KolmPackageImportTest : public QObject
{
    Q_OBJECT

private:
    // root/in.zip holds the archive; root/t is the target; everything else
    // under root must stay as it was.
    QTemporaryDir m_root;

    QString path(const QString& name) const { return m_root.filePath(name); }
    QString target() const { return path("t"); }

    QString package(const QByteArray& bytes) const
    {
        writeBytes(path("in.zip"), bytes);
        return path("in.zip");
    }

    // Opens and extracts into the target; the import's log in *log.
    bool importPackage(const QByteArray& bytes, QStringList* log)
    {
        KolmPackageImport importer(package(bytes));
        const bool ok = importer.open() && importer.extractTo(target());
        *log = texts(importer.messages());
        return ok;
    }

    // What lies under root outside the target and the package.
    QMap<QString, QByteArray> outside() const
    {
        QMap<QString, QByteArray> files = PackageFixture::files(m_root.path());
        files.remove("in.zip");
        for (const QString& name : files.keys()) {
            if (name.startsWith("t/"))
                files.remove(name);
        }
        return files;
    }

private slots:
    void init()
    {
        QDir(m_root.path()).removeRecursively();
        QVERIFY(QDir().mkpath(m_root.path()));
        QVERIFY(writeBytes(path("outside/keep.txt"), "keep"));
    }

    void exportedProjectRoundTripsByteForByte()
    {
        PackageFixture fixture;
        fixture.writeProjectFile(R"({"name": "p", "files": [
            {"name": "main.kos", "path": "", "flags": ["main"]},
            {"name": "util.kos", "path": "lib", "flags": []}],
            "misc": [{"name": "schematic.svg", "type": "schematic"}],
            "bsp": "board.kbsp"})");
        const auto project = fixture.load();
        QVERIFY(project);
        QVERIFY(KolmPackageExport(project.get(), "p").writeTo(path("in.zip")));

        KolmPackageImport importer(path("in.zip"));
        QVERIFY(importer.open());
        QCOMPARE(importer.name(), QString("p"));
        QCOMPARE(importer.project(), QString("p.kcpro"));
        QCOMPARE(importer.defaultTarget(path("docs")), path("docs") + "/p");
        QVERIFY(importer.extractTo(path("docs/p")));
        QCOMPARE(importer.projectFile(), path("docs/p/p.kcpro"));

        QMap<QString, QByteArray> expected = PackageFixture::files(fixture.path("proj"));
        QCOMPARE(PackageFixture::files(path("docs/p")), expected);
        QCOMPARE(texts(importer.messages()),
                 (QStringList{"I: Imported main.kos from p", "I: Imported lib/util.kos from p",
                              "I: Imported schematic.svg from p", "I: Imported board.kbsp from p",
                              "I: Imported p.kcpro from p", "I: Successfully imported project p"}));
        // The imported project loads where it landed.
        KolmProject imported;
        QVERIFY(imported.load(importer.projectFile()));
    }

    void fileInSubdirectoriesWithoutDirectoryEntries()
    {
        QStringList log;
        QVERIFY(importPackage(ZipBuilder().manifest(kManifest).add("lib/deep/x.kos", "x")
                           .add("p.kcpro", "{}").bytes(), &log));
        QCOMPARE(readBytes(target() + "/lib/deep/x.kos"), QByteArray("x"));
    }

    void directoryEntriesAreCreated()
    {
        QStringList log;
        QVERIFY(importPackage(ZipBuilder().manifest(kManifest).add("empty/", "").add("sub/", "")
                           .add("sub/x", "x").add("p.kcpro", "{}").bytes(), &log));
        QVERIFY(QFileInfo(target() + "/empty").isDir());
        QCOMPARE(readBytes(target() + "/sub/x"), QByteArray("x"));
        QVERIFY(!log.join('\n').contains("empty"));  // directories are not logged
    }

    // An import never replaces a file: a package with a file of the same
    // name as one in the target is refused before anything is written.
    void existingFilesAreNeverReplaced_data()
    {
        QTest::addColumn<QString>("existing");
        QTest::newRow("at the top") << "main.kos";
        QTest::newRow("in a folder") << "lib/util.kos";
        QTest::newRow("a link inside the target") << "link.kos";
    }
    void existingFilesAreNeverReplaced()
    {
        QFETCH(QString, existing);
        QVERIFY(writeBytes(target() + "/main.kos", "old main"));
        QVERIFY(writeBytes(target() + "/lib/util.kos", "old util"));
        QVERIFY(QFile::link(target() + "/main.kos", target() + "/link.kos"));
        const QMap<QString, QByteArray> before = PackageFixture::files(target());
        QStringList log;
        QVERIFY(!importPackage(ZipBuilder().manifest(kManifest).add("new.kos", "new").add("lib/", "")
                               .add(existing.toUtf8(), "new").add("p.kcpro", "{}").bytes(), &log));
        QCOMPARE(log, QStringList{"E: Import refused - " + QDir::toNativeSeparators(target() + "/" + existing)
                                  + " already exists; import into an empty or new folder"});
        QCOMPARE(PackageFixture::files(target()), before);
    }

    // Past a bound the package is refused from its directory alone, before
    // anything is written; within the bounds it is unpacked.
    void boundsAreCheckedBeforeWriting_data()
    {
        QTest::addColumn<QByteArray>("package");
        QTest::addColumn<QString>("refusal");
        const QString in = path("in.zip");
        ZipBuilder many;
        many.manifest(kManifest);
        for (int i = 0; i < KolmPackageImport::maxEntries; ++i)
            many.add("f" + QByteArray::number(i), "");
        QTest::newRow("one entry of zeros past the total")
            << ZipBuilder().manifest(kManifest).add("first.kos", "1").addZeros("bomb.bin", 258u << 20).bytes()
            << "Import refused - " + in + " would unpack to more than 256 MiB";
        QTest::newRow("entries that add up past the total")
            << ZipBuilder().manifest(kManifest).addZeros("a.bin", 129u << 20).addZeros("b.bin", 129u << 20).bytes()
            << "Import refused - " + in + " would unpack to more than 256 MiB";
        QTest::newRow("zeros that grow past the ratio")
            << ZipBuilder().manifest(kManifest).add("p.kcpro", "{}").addZeros("zeros.bin", 20u << 20).bytes()
            << "Import refused - " + in + " would grow more than 200 times when unpacked";
        QTest::newRow("more entries than allowed (with the description)")
            << many.bytes() << "Import refused - " + in + " holds more than 10000 files";
        QTest::newRow("small zeros below the ratio's floor")
            << ZipBuilder().manifest(kManifest).add("p.kcpro", "{}").addZeros("zeros.bin", 512u << 10).bytes()
            << QString();
    }
    void boundsAreCheckedBeforeWriting()
    {
        QFETCH(QByteArray, package);
        QFETCH(QString, refusal);
        QStringList log;
        const bool imported = importPackage(package, &log);
        if (refusal.isEmpty()) {
            QVERIFY2(imported, qPrintable(log.join('\n')));
            QCOMPARE(readBytes(target() + "/zeros.bin"), QByteArray(512 << 10, '\0'));
            return;
        }
        QVERIFY(!imported);
        QCOMPARE(log, QStringList{"E: " + refusal});
        QVERIFY(!QFileInfo::exists(target()));
    }

    // A cancel part way removes every file and folder the import made, the
    // target's missing parents too, and leaves what was there before.
    void cancelLeavesNothing_data()
    {
        QTest::addColumn<bool>("targetExists");
        QTest::addColumn<qint64>("cancelAt");
        QTest::newRow("new target, in the third file") << false << qint64(2 * (1 << 20) + 10);
        QTest::newRow("new target, before the first byte") << false << qint64(0);
        QTest::newRow("existing target, in the last file") << true << qint64(3 * (1 << 20) + 10);
    }
    void cancelLeavesNothing()
    {
        QFETCH(bool, targetExists);
        QFETCH(qint64, cancelAt);
        const QString into = targetExists ? target() : target() + "/new/deeper";
        if (targetExists)
            QVERIFY(writeBytes(target() + "/keep.txt", "keep"));
        const QByteArray mega(1 << 20, 'x');
        KolmPackageImport importer(package(ZipBuilder().manifest(kManifest).add("a.kos", mega).add("lib/", "")
                                               .add("lib/b.kos", mega).add("lib/deep/c.kos", mega)
                                               .add("d.kos", mega).add("p.kcpro", "{}").bytes()));
        const QMap<QString, QByteArray> before = PackageFixture::files(m_root.path());
        QVERIFY(importer.open());
        CancelAfter progress(cancelAt);
        if (cancelAt == 0)
            progress.cancel();
        QVERIFY(!importer.extractTo(into, &progress));
        QCOMPARE(texts(importer.messages()).last(), QString("I: Import cancelled"));
        QCOMPARE(PackageFixture::files(m_root.path()).keys(), before.keys());
        QCOMPARE(QFileInfo::exists(target()), targetExists);
        if (targetExists)
            QCOMPARE(QDir(target()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                     QStringList{"keep.txt"});
    }

    // A name that holds a NUL is logged whole, the NUL shown as "\0".
    void nulInANameIsShownEscaped()
    {
        QStringList log;
        QVERIFY(!importPackage(ZipBuilder().manifest(kManifest).add(QByteArray("ok.txt\0/../../evil", 18), "x")
                               .bytes(), &log));
        QCOMPARE(log, QStringList{"E: Import failed - invalid entry ok.txt\\0/../../evil"});
    }

    // Each of these names would write outside the target, or is no name:
    // the import stops there with the entry named; the entries before it
    // are extracted and nothing outside the target changes.
    void hostileEntryNamesWriteNothingOutside_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("parent") << QByteArray("../evil");
        QTest::newRow("parent of parent") << QByteArray("../../evil");
        QTest::newRow("climbing from a folder") << QByteArray("lib/../../outside/keep.txt");
        QTest::newRow("parent directory entry") << QByteArray("../evil/");
        QTest::newRow("windows parent") << QByteArray("..\\outside\\keep.txt");
        QTest::newRow("absolute") << path("outside/keep.txt").toUtf8();
        QTest::newRow("absolute directory") << path("outside/new/").toUtf8();
        QTest::newRow("root") << QByteArray("/");
        QTest::newRow("drive") << QByteArray("C:/evil");
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("the target itself") << QByteArray(".");
        QTest::newRow("nul in name") << QByteArray("a\0/../../evil", 13);
    }
    void hostileEntryNamesWriteNothingOutside()
    {
        QFETCH(QByteArray, name);
        const QMap<QString, QByteArray> before = outside();
        QStringList log;
        QVERIFY(!importPackage(ZipBuilder().manifest(kManifest).add("first.kos", "1").add(name, "evil")
                            .add("p.kcpro", "{}").bytes(), &log));
        QCOMPARE(log.size(), 2);
        QCOMPARE(log.first(), QString("I: Imported first.kos from p"));
        QVERIFY2(log.last().startsWith("E: Import failed - invalid entry "), qPrintable(log.last()));
        QCOMPARE(outside(), before);
        QCOMPARE(PackageFixture::files(target()).keys(), QStringList{"first.kos"});
    }

    // A link already in the target must not carry an entry out of it.
    void linksInTheTargetAreNotFollowedOutside()
    {
        QVERIFY(QDir().mkpath(target()));
        QVERIFY(QFile::link(path("outside"), target() + "/lib"));
        QVERIFY(QFile::link(path("outside/keep.txt"), target() + "/main.kos"));
        const QMap<QString, QByteArray> before = outside();
        for (const QByteArray& name : {QByteArray("lib/x.kos"), QByteArray("lib/new/"),
                                       QByteArray("main.kos")}) {
            QStringList log;
            QVERIFY(!importPackage(ZipBuilder().manifest(kManifest).add(name, "evil").bytes(), &log));
            QCOMPARE(log, QStringList{"E: Import failed - invalid entry " + name});
        }
        QCOMPARE(outside(), before);
    }

    void linkInsideTheTargetIsUsed()
    {
        QVERIFY(QDir().mkpath(target() + "/real"));
        QVERIFY(QFile::link(target() + "/real", target() + "/lib"));
        QStringList log;
        QVERIFY(importPackage(ZipBuilder().manifest(kManifest).add("lib/x.kos", "x")
                           .add("p.kcpro", "{}").bytes(), &log));
        QCOMPARE(readBytes(target() + "/real/x.kos"), QByteArray("x"));
    }

    void notAPackage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text") << QByteArray("this is no zip archive\n");
        QTest::newRow("truncated zip") << ZipBuilder().manifest(kManifest).bytes().left(40);
        QTest::newRow("no manifest") << ZipBuilder().add("p.kcpro", "{}").bytes();
        QTest::newRow("manifest in a folder") << ZipBuilder().add("x/.manifest", kManifest).bytes();
        QTest::newRow("empty archive") << ZipBuilder().bytes();
    }
    void notAPackage()
    {
        QFETCH(QByteArray, bytes);
        QStringList log;
        QVERIFY(!importPackage(bytes, &log));
        QCOMPARE(log, QStringList{"E: " + path("in.zip") + " is not a Kolm package"});
        QVERIFY(!QFileInfo::exists(target()));
    }

    void missingPackageFile()
    {
        KolmPackageImport importer(path("nothing.zip"));
        QVERIFY(!importer.open());
        QCOMPARE(texts(importer.messages()),
                 QStringList{"E: " + path("nothing.zip") + " is not a Kolm package"});
        QVERIFY(!importer.extractTo(target()));
    }

    void invalidDescription_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("empty object") << QByteArray("{}");
        QTest::newRow("array") << QByteArray("[]");
        QTest::newRow("string") << QByteArray("\"p\"");
        QTest::newRow("not json") << QByteArray("name=p");
        QTest::newRow("binary") << QByteArray("\xff\xfe\0\x01", 4);
        QTest::newRow("deep nesting") << QByteArray(100000, '[') + QByteArray(100000, ']');
        QTest::newRow("huge object")
            << kManifest.left(kManifest.size() - 1) + ",\"pad\":\"" + QByteArray(1 << 20, 'x') + "\"}";
    }
    void invalidDescription()
    {
        QFETCH(QByteArray, manifest);
        QStringList log;
        QVERIFY(!importPackage(ZipBuilder().manifest(manifest).add("p.kcpro", "{}").bytes(), &log));
        QCOMPARE(log, QStringList{"E: " + path("in.zip")
                                  + " is not a Kolm package package description is invalid"});
        QVERIFY(!QFileInfo::exists(target()));
    }

    // Only the exact name is skipped; another spelling is a description
    // and an ordinary file at once.
    void manifestNameIgnoresCaseButOnlyTheExactNameIsSkipped()
    {
        QStringList log;
        QVERIFY(importPackage(ZipBuilder().add(".MANIFEST", kManifest).add("p.kcpro", "{}").bytes(), &log));
        QCOMPARE(readBytes(target() + "/.MANIFEST"), kManifest);
        QVERIFY(!QFileInfo::exists(target() + "/.manifest"));
    }

    // The default target is taken without asking only when the name is one
    // plain component and nothing is there yet.
    void defaultTarget_data()
    {
        QTest::addColumn<QByteArray>("manifest");
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fresh") << kManifest << "docs" << "docs/p";
        QTest::newRow("exists") << QByteArray(R"({"name":"there"})") << "docs" << "";
        QTest::newRow("a file there") << QByteArray(R"({"name":"file"})") << "docs" << "";
        QTest::newRow("no base") << kManifest << "" << "";
        QTest::newRow("no name") << QByteArray(R"({"project":"p.kcpro"})") << "docs" << "";
        QTest::newRow("name not a string") << QByteArray(R"({"name":5})") << "docs" << "";
        QTest::newRow("parent") << QByteArray(R"({"name":".."})") << "docs" << "";
        QTest::newRow("climbing") << QByteArray(R"({"name":"../x"})") << "docs" << "";
        QTest::newRow("two parts") << QByteArray(R"({"name":"a/b"})") << "docs" << "";
        QTest::newRow("absolute") << QByteArray(R"({"name":"/tmp/x"})") << "docs" << "";
        QTest::newRow("nul") << QByteArray(R"({"name":"..\u0000x"})") << "docs" << "";
    }
    void defaultTarget()
    {
        QFETCH(QByteArray, manifest);
        QFETCH(QString, base);
        QFETCH(QString, expected);
        QVERIFY(QDir().mkpath(path("docs/there")));
        QVERIFY(writeBytes(path("docs/file"), "x"));
        KolmPackageImport importer(package(ZipBuilder().manifest(manifest).bytes()));
        QVERIFY(importer.open());
        const QString resolved = base.isEmpty() ? QString() : path(base);
        QCOMPARE(importer.defaultTarget(resolved), expected.isEmpty() ? QString() : path(expected));
    }

    // A "project" that is no plain file name counts as missing, even where
    // a file of that name exists.
    void projectFileMustBeAPlainNameInTheTarget_data()
    {
        QTest::addColumn<QByteArray>("project");
        QTest::newRow("missing") << QByteArray("none.kcpro");
        QTest::newRow("parent") << QByteArray("../outside/keep.txt");
        QTest::newRow("absolute") << path("outside/keep.txt").toUtf8();
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("a directory") << QByteArray("lib");
    }
    void projectFileMustBeAPlainNameInTheTarget()
    {
        QFETCH(QByteArray, project);
        KolmPackageImport importer(package(
            ZipBuilder().manifest("{\"name\":\"p\",\"project\":\"" + project + "\"}")
                .add("lib/", "").add("main.kos", "x").bytes()));
        QVERIFY(importer.open());
        QVERIFY(!importer.extractTo(target()));
        QCOMPARE(importer.projectFile(), QString());
        QCOMPARE(texts(importer.messages()).last(),
                 "E: Project p imported, but the project file " + QString::fromUtf8(project)
                     + " does not exist");
        QCOMPARE(readBytes(target() + "/main.kos"), QByteArray("x"));  // extracted files stay
    }

    // A damaged entry stops the import and leaves no file of its name,
    // whole or in part.
    void damagedEntryLeavesNoFile()
    {
        QByteArray bytes = ZipBuilder().manifest(kManifest).add("first.kos", "1").add("main.kos", "void main() { }\n")
                               .add("p.kcpro", "{}").bytes();
        const int at = bytes.indexOf("void main");
        QVERIFY(at > 0);
        bytes[at + 5] = char(bytes[at + 5] ^ 0x01);
        QStringList log;
        QVERIFY(!importPackage(bytes, &log));
        QCOMPARE(log.last(), QString("E: Import failed (package damaged) - file main.kos is not readable"));
        QCOMPARE(PackageFixture::files(target()), (QMap<QString, QByteArray>{{"first.kos", "1"}}));
    }

    // The same on a deflated entry, as the export writes them.
    void damagedDeflatedEntryIsReported()
    {
        PackageFixture fixture;
        QVERIFY(writeBytes(fixture.proj("main.kos"), QByteArray(200000, 'k') + "end"));
        const auto project = fixture.load();
        QVERIFY(project);
        QVERIFY(KolmPackageExport(project.get(), "p").writeTo(path("in.zip")));
        QByteArray bytes = readBytes(path("in.zip"));
        const int at = bytes.indexOf("main.kos") + 8 + 40;  // inside its data
        bytes[at] = char(bytes[at] ^ 0x20);
        QStringList log;
        QVERIFY(!importPackage(bytes, &log));
        QCOMPARE(log.last(), QString("E: Import failed (package damaged) - file main.kos is not readable"));
        QVERIFY(!QFileInfo::exists(target() + "/main.kos"));
    }

    void fileWhereADirectoryIsCannotBeWritten()
    {
        QVERIFY(QDir().mkpath(target() + "/lib"));
        QStringList log;
        QVERIFY(!importPackage(ZipBuilder().manifest(kManifest).add("lib", "x").bytes(), &log));
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().startsWith("E: Import failed - cannot write to " + target() + "/lib: "),
                 qPrintable(log.first()));
    }

    void directoryWhereAFileIsCannotBeCreated()
    {
        QVERIFY(writeBytes(target() + "/lib", "a file"));
        QStringList log;
        QVERIFY(!importPackage(ZipBuilder().manifest(kManifest).add("lib/x.kos", "x").bytes(), &log));
        QCOMPARE(log, QStringList{"E: Import failed - cannot create directory " + target() + "/lib"});
    }

    void targetThatCannotBeCreated()
    {
        QVERIFY(writeBytes(path("blocked"), "a file"));
        KolmPackageImport importer(package(ZipBuilder().manifest(kManifest).bytes()));
        QVERIFY(importer.open());
        QVERIFY(!importer.extractTo(path("blocked/t")));
        QCOMPARE(texts(importer.messages()),
                 QStringList{"E: Cannot create directory " + path("blocked/t")});
    }

    // A write that fails part way leaves no part of the file behind.
    void writeFailureLeavesNoFile()
    {
        KolmPackageImport importer(package(ZipBuilder().manifest(kManifest)
                                               .add("main.kos", QByteArray(256 * 1024, 'k')).bytes()));
        QVERIFY(importer.open());
        {
            FileSizeLimit limit(64 * 1024);
            QVERIFY(limit.active());
            QVERIFY(!importer.extractTo(target()));
        }
        const QStringList log = texts(importer.messages());
        QCOMPARE(log.size(), 1);
        QVERIFY2(log.first().startsWith("E: Import failed - cannot write to " + target() + "/main.kos: "),
                 qPrintable(log.first()));
        QCOMPARE(PackageFixture::files(target()), (QMap<QString, QByteArray>()));
    }

    // Names are UTF-8 whether or not the archive flags them so.
    void namesAreReadAsUtf8()
    {
        const QByteArray name = QString::fromUtf8("Grüße ✓.kos").toUtf8();
        QStringList log;
        QVERIFY(importPackage(ZipBuilder().manifest(R"({"name":"Проект","project":"p.kcpro"})")
                           .add(name, "flagged").add("ä/" + name, "unflagged", false)
                           .add("p.kcpro", "{}").bytes(), &log));
        QCOMPARE(readBytes(target() + "/" + QString::fromUtf8(name)), QByteArray("flagged"));
        QCOMPARE(readBytes(target() + QString::fromUtf8("/ä/") + QString::fromUtf8(name)),
                 QByteArray("unflagged"));
        QCOMPARE(log.last(), QString::fromUtf8("I: Successfully imported project Проект"));
    }

    // Names longer than QuaZip's short name buffer arrive whole.
    void longNamesArriveWhole()
    {
        const QByteArray name = QByteArray(200, 'a') + "/" + QByteArray(200, 'b') + ".kos";
        QStringList log;
        QVERIFY(importPackage(ZipBuilder().manifest(kManifest).add(name, "long").add("p.kcpro", "{}").bytes(),
                       &log));
        QCOMPARE(readBytes(target() + "/" + QString::fromUtf8(name)), QByteArray("long"));
    }

    void relativeTargetIsTakenFromTheWorkingDirectory()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_root.path()));
        KolmPackageImport importer(package(ZipBuilder().manifest(kManifest).add("p.kcpro", "{}").bytes()));
        const bool ok = importer.open() && importer.extractTo("rel");
        QDir::setCurrent(previous);
        QVERIFY(ok);
        QCOMPARE(importer.projectFile(), path("rel/p.kcpro"));
    }
};

QTEST_GUILESS_MAIN(KolmPackageImportTest)
#include "kolmpackage_import_test.moc"
