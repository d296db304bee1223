#include <QtTest>

#include <QRandomGenerator>

#include "kolmpackageexport.h"
#include "kolmpackageprogress.h"
#include "package_fixture.h"
#include "zip_reader.h"

namespace {

QStringList names(const QList<ZipEntry>& entries)
{
    QStringList list;
    for (const ZipEntry& entry : entries)
        list.append(QString::fromUtf8(entry.name));
    return list;
}

QByteArray randomBytes(int size)
{
    QByteArray bytes(size, '\0');
    QRandomGenerator generator(40);
    for (char& c : bytes)
        c = char(generator.bounded(256));
    return bytes;
}

} // namespace

class KolmPackageExportTest : public QObject
{
    Q_OBJECT

private slots:
    void noProjectLogsAndWritesNothing()
    {
        PackageFixture fixture;
        KolmPackageExport package(nullptr, QString());
        QVERIFY(!package.hasProject());
        QCOMPARE(texts(package.messages()), QStringList{"E: No active project to export"});
        QVERIFY(!package.writeTo(fixture.path("p.zip")));
        QVERIFY(!QFile::exists(fixture.path("p.zip")));
    }

    void proposesNameInDirectory()
    {
        PackageFixture fixture;
        const auto project = fixture.load();
        QVERIFY(project);
        QCOMPARE(KolmPackageExport(project.get(), "p").proposedPath("/home/u"),
                 QString("/home/u/p.zip"));
    }

    void packsManifestFilesItemsAndProjectInOrder()
    {
        PackageFixture fixture;
        const auto project = fixture.load();
        QVERIFY(project);
        KolmPackageExport package(project.get(), "p");
        QVERIFY(package.writeTo(fixture.path("p.zip")));

        const QList<ZipEntry> entries = readZip(readBytes(fixture.path("p.zip")));
        QCOMPARE(names(entries), (QStringList{".manifest", "main.kos", "lib/util.kos",
                                              "schematic.svg", "board.kbsp", "p.kcpro"}));
        QCOMPARE(entries.first().data, QByteArray(R"({"name":"p","project":"p.kcpro"})"));
        for (const ZipEntry& entry : entries) {
            QCOMPARE(entry.method, quint16(8));
            QVERIFY(entry.flags & 0x0800);  // names in UTF-8
            if (entry.name != ".manifest")
                QCOMPARE(entry.data, readBytes(fixture.proj(QString::fromUtf8(entry.name))));
        }
        QCOMPARE(texts(package.messages()),
                 (QStringList{"I: Exported main.kos", "I: Exported lib/util.kos",
                              "I: Exported schematic.svg", "I: Exported board.kbsp",
                              "I: Exported p.kcpro",
                              "I: Project p contains external files which have not been exported",
                              "I: Project p exported"}));
    }

    // Only items inside the project directory are packed; every other one
    // counts as external. The project file always comes last.
    void itemsOutsideTheProjectAreExternal_data()
    {
        QTest::addColumn<QByteArray>("items");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<bool>("external");
        QTest::newRow("none") << QByteArray(R"("misc": [])") << QStringList{"main.kos", "p.kcpro"}
                              << false;
        QTest::newRow("local") << QByteArray(R"("misc": [{"name": "schematic.svg"}], "bsp": "board.kbsp")")
                               << QStringList{"main.kos", "schematic.svg", "board.kbsp", "p.kcpro"}
                               << false;
        QTest::newRow("beside") << QByteArray(R"("misc": [{"name": "../side/c.kos"}])")
                                << QStringList{"main.kos", "p.kcpro"} << true;
        QTest::newRow("climbing") << QByteArray(R"("misc": [{"name": "lib/../../side/c.kos"}])")
                                  << QStringList{"main.kos", "p.kcpro"} << true;
        QTest::newRow("absolute elsewhere") << QByteArray(R"("misc": [{"name": "/etc/hostname"}])")
                                            << QStringList{"main.kos", "p.kcpro"} << true;
        QTest::newRow("built-in board") << QByteArray(R"("bsp": "sys://board.kbsp")")
                                        << QStringList{"main.kos", "p.kcpro"} << true;
        QTest::newRow("unnamed") << QByteArray(R"("misc": [{"type": "schematic"}])")
                                 << QStringList{"main.kos", "p.kcpro"} << true;
    }
    void itemsOutsideTheProjectAreExternal()
    {
        QFETCH(QByteArray, items);
        QFETCH(QStringList, entries);
        QFETCH(bool, external);
        PackageFixture fixture;
        fixture.writeProjectFile(R"({"name": "p", "files": [
            {"name": "main.kos", "path": "", "flags": ["main"]}], )" + items + "}");
        const auto project = fixture.load();
        QVERIFY(project);
        KolmPackageExport package(project.get(), "p");
        QCOMPARE(package.entries(), entries);
        QVERIFY(package.writeTo(fixture.path("p.zip")));
        QCOMPARE(names(readZip(readBytes(fixture.path("p.zip")))).mid(1), entries);
        QCOMPARE(texts(package.messages()).contains(
                     "I: Project p contains external files which have not been exported"),
                 external);
    }

    void boardPackageByAbsolutePathInsideIsPackedRelative()
    {
        PackageFixture fixture;
        fixture.writeProjectFile(R"({"name": "p", "files": [
            {"name": "main.kos", "path": "", "flags": ["main"]}], "bsp": ")"
                                 + fixture.proj("board.kbsp").toUtf8() + "\"}");
        const auto project = fixture.load();
        QVERIFY(project);
        QCOMPARE(KolmPackageExport(project.get(), "p").entries(),
                 (QStringList{"main.kos", "board.kbsp", "p.kcpro"}));
    }

    // The export takes what it needs when it is made, so the window may
    // close the project while its save dialog is open.
    void projectClosedBeforeWritingStillExports()
    {
        PackageFixture fixture;
        auto project = fixture.load();
        QVERIFY(project);
        KolmPackageExport package(project.get(), "p");
        project.reset();
        QVERIFY(package.writeTo(fixture.path("p.zip")));
        QCOMPARE(readZip(readBytes(fixture.path("p.zip"))).size(), 6);
    }

    void unicodeNamesAreStoredAsUtf8()
    {
        PackageFixture fixture;
        const QString name = QString::fromUtf8("Grüße ✓.kos");
        writeBytes(fixture.proj(name), "int g;\n");
        fixture.writeProjectFile(R"({"name": "p", "files": [
            {"name": "main.kos", "path": "", "flags": ["main"]},
            {"name": ")" + name.toUtf8() + R"(", "path": "", "flags": []}]})");
        const auto project = fixture.load();
        QVERIFY(project);
        QVERIFY(KolmPackageExport(project.get(), "p").writeTo(fixture.path("p.zip")));
        const QList<ZipEntry> entries = readZip(readBytes(fixture.path("p.zip")));
        QCOMPARE(entries.at(2).name, name.toUtf8());
        QVERIFY(entries.at(2).flags & 0x0800);
    }

    void replacesAnOlderPackage()
    {
        PackageFixture fixture;
        QVERIFY(writeBytes(fixture.path("p.zip"), QByteArray(100000, 'x')));
        const auto project = fixture.load();
        QVERIFY(project);
        QVERIFY(KolmPackageExport(project.get(), "p").writeTo(fixture.path("p.zip")));
        QCOMPARE(readZip(readBytes(fixture.path("p.zip"))).size(), 6);
    }

    void missingSourceStopsAndKeepsTheOlderPackage()
    {
        PackageFixture fixture;
        QVERIFY(writeBytes(fixture.path("p.zip"), "older"));
        const auto project = fixture.load();
        QVERIFY(project);
        QVERIFY(QFile::remove(fixture.proj("lib/util.kos")));
        KolmPackageExport package(project.get(), "p");
        QVERIFY(!package.writeTo(fixture.path("p.zip")));
        QCOMPARE(texts(package.messages()),
                 (QStringList{"I: Exported main.kos",
                              "E: Export failed - cannot read source file lib/util.kos"}));
        QCOMPARE(readBytes(fixture.path("p.zip")), QByteArray("older"));
        QCOMPARE(QDir(fixture.path("")).entryList({"p.zip*"}, QDir::Files), QStringList{"p.zip"});
    }

    // A cancel stops the export and keeps the older package as it was,
    // with no temporary file beside it; the progress counts to its total.
    void cancelKeepsTheOlderPackage()
    {
        PackageFixture fixture;
        const auto project = fixture.load();
        QVERIFY(project);
        QVERIFY(writeBytes(fixture.path("out/p.zip"), "older"));
        KolmPackageProgress progress;
        progress.cancel();
        KolmPackageExport package(project.get(), "p");
        QVERIFY(!package.writeTo(fixture.path("out/p.zip"), &progress));
        QCOMPARE(texts(package.messages()), QStringList{"I: Export cancelled"});
        QCOMPARE(QDir(fixture.path("out")).entryList(QDir::Files | QDir::Hidden), QStringList{"p.zip"});
        QCOMPARE(readBytes(fixture.path("out/p.zip")), QByteArray("older"));

        KolmPackageProgress counted;
        QVERIFY(KolmPackageExport(project.get(), "p").writeTo(fixture.path("out/p.zip"), &counted));
        QVERIFY(counted.total() > 0);
        QCOMPARE(counted.done(), counted.total());
    }

    void unwritablePathIsReported()
    {
        PackageFixture fixture;
        const auto project = fixture.load();
        QVERIFY(project);
        const QString target = fixture.path("missing/dir/p.zip");
        KolmPackageExport package(project.get(), "p");
        QVERIFY(!package.writeTo(target));
        QCOMPARE(texts(package.messages()),
                 QStringList{"E: Export failed - cannot write to " + target});
    }

    // A write that fails part way (here a file size limit, as a full disk)
    // reports no success and leaves the older package as it was.
    void writeFailureKeepsTheOlderPackage()
    {
        PackageFixture fixture;
        QVERIFY(writeBytes(fixture.proj("main.kos"), randomBytes(512 * 1024)));
        QVERIFY(writeBytes(fixture.path("p.zip"), "older"));
        const auto project = fixture.load();
        QVERIFY(project);
        KolmPackageExport package(project.get(), "p");
        {
            FileSizeLimit limit(64 * 1024);
            QVERIFY(limit.active());
            QVERIFY(!package.writeTo(fixture.path("p.zip")));
        }
        const QStringList log = texts(package.messages());
        QCOMPARE(log.last(), QString("E: Export failed - cannot write to archive"));
        QVERIFY(!log.contains("I: Project p exported"));
        QCOMPARE(readBytes(fixture.path("p.zip")), QByteArray("older"));
        QCOMPARE(QDir(fixture.path("")).entryList({"p.zip*"}, QDir::Files), QStringList{"p.zip"});
    }
};

QTEST_GUILESS_MAIN(KolmPackageExportTest)
#include "kolmpackage_export_test.moc"
