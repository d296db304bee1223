// The project model's paths, files, defines, flags and board package.

#include "kolmproject.h"
#include "project_test_support.h"

#include <QJsonArray>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class KolmProjectModelTest : public QObject
{
    Q_OBJECT

private:
    // root/proj holds the project "p.kcpro"; root/side lies beside it.
    std::unique_ptr<QTemporaryDir> m_root;
    std::unique_ptr<KolmProject> m_project;

    QString proj(const QString& name = QString()) const { return m_root->filePath("proj/" + name); }
    QString side(const QString& name) const { return m_root->filePath("side/" + name); }
    // "{proj}" and "{side}" in table values stand for the two directories.
    QString expand(QString text) const
    {
        return text.replace("{proj}", m_root->filePath("proj")).replace("{side}", m_root->filePath("side"));
    }
    QJsonObject lastEntry() const { return m_project->value("files").toArray().last().toObject(); }

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        for (const QString& file : {proj("main.kos"), proj("lib/util.kos"), side("c.kos")})
            QVERIFY(writeBytes(file, "\n"));
        QVERIFY(writeBytes(proj("board.kbsp"), "board"));
        QVERIFY(writeBytes(proj("Emulator.kbsp"), "old"));
        QVERIFY(writeBytes(proj("taken.kbsp"), "mine"));
        QVERIFY(writeBytes(proj("lib/sub.kbsp"), "sub"));
        QVERIFY(writeBytes(side("other.kbsp"), "other"));
        QVERIFY(writeBytes(side("taken.kbsp"), "side"));

        m_project.reset(KolmProject::create(proj("main.kos"), {}, "p", "", ""));
        QVERIFY(m_project->save(proj("p.kcpro")));
        QVERIFY(!m_project->isModified());
    }

    void cleanup()
    {
        m_project.reset();
        m_root.reset();
    }

    void addPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("storedPath");
        QTest::addColumn<QString>("item");
        QTest::addColumn<bool>("local");
        QTest::addColumn<QString>("include"); // empty: none added

        QTest::newRow("subdirectory, absolute") << "{proj}/lib/util.kos" << "lib" << "lib/util.kos" << true << "{proj}/lib";
        QTest::newRow("subdirectory, relative") << "lib/new.kos" << "lib" << "lib/new.kos" << true << "{proj}/lib";
        QTest::newRow("beside the project") << "{side}/c.kos" << "../side" << "../side/c.kos" << false << "{side}";
        QTest::newRow("beside, relative") << "../side/d.kos" << "../side" << "../side/d.kos" << false << "{side}";
        QTest::newRow("dot components") << "./lib/../e.kos" << "" << "e.kos" << true << "";
        QTest::newRow("directory named like a parent") << "..lib/f.kos" << "..lib" << "..lib/f.kos" << true << "{proj}/..lib";
    }

    void addPaths()
    {
        QFETCH(QString, path);
        QFETCH(QString, storedPath);
        QFETCH(QString, item);
        QFETCH(bool, local);
        QFETCH(QString, include);
        QSignalSpy modified(m_project.get(), &KolmProject::modified);

        QVERIFY(m_project->add(expand(path), false));
        QCOMPARE(lastEntry(), (QJsonObject{{"name", QFileInfo(item).fileName()}, {"path", storedPath}, {"flags", QJsonArray()}}));
        QCOMPARE(modified.size(), 1);
        QCOMPARE(m_project->fileCount(), 2);
        QCOMPARE(m_project->localFileList().contains(item), local);
        QCOMPARE(m_project->localFileList().size(), local ? 2 : 1);
        QStringList includes{proj().chopped(1)};
        if (!include.isEmpty())
            includes.append(expand(include));
        QCOMPARE(m_project->includes(), includes);
        QCOMPARE(m_project->absolutePath(item), QDir::cleanPath(proj(item)));
    }

    void addDuplicate_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::newRow("absolute, then relative") << "{proj}/lib/util.kos" << "lib/util.kos";
        QTest::newRow("relative, then absolute") << "lib/util.kos" << "{proj}/lib/util.kos";
        QTest::newRow("the main file again") << "lib/util.kos" << "./main.kos";
    }

    void addDuplicate()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QVERIFY(m_project->add(expand(first), false));
        QSignalSpy errors(m_project.get(), &KolmProject::error);
        QVERIFY(!m_project->add(expand(second), true));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QString("Cannot add file %1 - already exists").arg(expand(second)));
        QCOMPARE(m_project->fileCount(), 2);
    }

    void secondMainIsAddedWithoutFlag()
    {
        QVERIFY(m_project->add("lib/util.kos", true));
        QCOMPARE(lastEntry().value("flags").toArray(), QJsonArray());
        QCOMPARE(m_project->mainFile(), proj("main.kos"));
    }

    void fileListOrder()
    {
        QVERIFY(writeBytes(proj("q.kcpro"), R"({"bsp": ")" + proj("board.kbsp").toUtf8() + R"(", "files": [
            {"name": "util.kos", "path": "lib", "flags": []},
            {"name": "c.kos", "path": "../side", "flags": []},
            {"name": "main.kos", "path": "", "flags": ["main"]}]})"));
        KolmProject project;
        QVERIFY(project.load(proj("q.kcpro")));
        QCOMPARE(project.fileList(), (QStringList{"main.kos", "lib/util.kos", "../side/c.kos", "board.kbsp"}));
        QCOMPARE(project.localFileList(), (QStringList{"lib/util.kos", "main.kos"}));
        QCOMPARE(project.miscList(), QStringList{proj("board.kbsp")});
    }

    void removeFiles()
    {
        QVERIFY(m_project->add("lib/util.kos", false));
        QVERIFY(m_project->save());
        QSignalSpy errors(m_project.get(), &KolmProject::error);
        QSignalSpy modified(m_project.get(), &KolmProject::modified);

        QVERIFY(!m_project->remove(proj("main.kos")));
        QCOMPARE(errors.size(), 1);
        QCOMPARE(errors.at(0).at(0).toString(), QString("Cannot remove the main file %1").arg(proj("main.kos")));
        QCOMPARE(m_project->fileCount(), 2);
        QCOMPARE(modified.size(), 0);

        QVERIFY(m_project->remove("lib/nothing.kos"));
        QCOMPARE(m_project->fileCount(), 2);
        QCOMPARE(modified.size(), 1);

        QVERIFY(m_project->remove(proj("lib/util.kos")));
        QCOMPARE(m_project->fileList(), QStringList{"main.kos"});
        QVERIFY(QFileInfo::exists(proj("lib/util.kos")));
        QCOMPARE(errors.size(), 1);
    }

    void withoutLocation()
    {
        KolmProject project;
        QSignalSpy errors(&project, &KolmProject::error);
        QSignalSpy modified(&project, &KolmProject::modified);
        QVERIFY(!project.add(proj("main.kos"), true));
        QVERIFY(!project.remove(proj("main.kos")));
        const QString cwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(proj("lib")));
        project.setBSP("sys://Emulator.kbsp");
        project.setBSP(proj("board.kbsp"));
        QVERIFY(QDir::setCurrent(cwd));

        QCOMPARE(errors.size(), 4);
        QCOMPARE(errors.at(0).at(0).toString(), QString("Cannot add files - project location is not specified"));
        QCOMPARE(errors.at(1).at(0).toString(), QString("Cannot remove files - project location is not specified"));
        for (int i : {2, 3})
            QCOMPARE(errors.at(i).at(0).toString(),
                     QString("Cannot set the board package - project location is not specified"));
        QCOMPARE(modified.size(), 0);
        QCOMPARE(project.fileCount(), 0);
        QVERIFY(project.bsp().isEmpty());
        QVERIFY(project.mainFile().isNull());
        QCOMPARE(QDir(proj("lib")).entryList(QDir::Files), (QStringList{"sub.kbsp", "util.kos"}));
    }

    void flags()
    {
        QSignalSpy modified(m_project.get(), &KolmProject::modified);
        m_project->setFlag(QLatin1String("debug"), false);
        QCOMPARE(modified.size(), 0);
        m_project->setFlag(QLatin1String("debug"), true);
        m_project->setFlag(QLatin1String("debug"), true);
        QCOMPARE(m_project->value("flags").toArray(), QJsonArray{"debug"});
        QCOMPARE(modified.size(), 1);
        QCOMPARE(modified.at(0).at(0).toBool(), true);
        QVERIFY(m_project->property("debug").toBool());
        QVERIFY(m_project->setProperty("debug", false));
        QVERIFY(!m_project->flagSet(QLatin1String("debug")));
        QCOMPARE(m_project->value("flags").toArray(), QJsonArray());
    }

    void settersMarkModifiedOnce()
    {
        QSignalSpy modified(m_project.get(), &KolmProject::modified);
        QVERIFY(m_project->setProperty("name", "p"));
        m_project->setValue("optimize", "1");
        QCOMPARE(modified.size(), 1);
        QVERIFY(m_project->property("modified").toBool());
        QCOMPARE(m_project->value("optimize"), QJsonValue("1"));
        QVERIFY(m_project->value("absent").isUndefined());
        QVERIFY(m_project->save());
        QCOMPARE(modified.size(), 2);
        QCOMPARE(modified.at(1).at(0).toBool(), false);
    }

    void parseDefine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("blanks around the sign") << "LED = 3" << "LED" << "3";
        QTest::newRow("name only") << "DEBUG" << "DEBUG" << "1";
        QTest::newRow("sign first") << "=5" << "=5" << "1";
        QTest::newRow("two signs") << "A=B=C" << "A" << "B=C";
        QTest::newRow("untrimmed without sign") << " X " << " X " << "1";
    }

    void parseDefine()
    {
        QFETCH(QString, text);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QCOMPARE(KolmProject::parseDefine(text), qMakePair(name, value));
    }

    void defines()
    {
        m_project->setDefines(QStringList{"LED = 3", "", "DEBUG"});
        QCOMPARE(m_project->definesList(), (QStringList{"LED = 3", "DEBUG"}));
        QCOMPARE(m_project->defines(), (KolmProject::DefineList{{"LED", "3"}, {"DEBUG", "1"}}));

        m_project->addDefine("LED=4");
        m_project->addDefine("SPEED = 9");
        QCOMPARE(m_project->definesList(), (QStringList{"LED=4", "DEBUG=1", "SPEED=9"}));
        m_project->removeDefine("DEBUG = 7");
        m_project->removeDefine("NONE");
        QCOMPARE(m_project->definesList(), (QStringList{"LED=4", "SPEED=9"}));

        m_project->setDefines(KolmProject::DefineList{{"", "5"}, {"A", "B"}});
        QCOMPARE(m_project->definesList(), (QStringList{"=5", "A=B"}));
    }

    void schematics()
    {
        QVERIFY(m_project->schematics().isNull());
        m_project->setSchematics("old.svg");
        m_project->setSchematics("board.svg");
        QCOMPARE(m_project->schematics(), QString("board.svg"));
        QCOMPARE(m_project->miscList(), QStringList{"board.svg"});
    }

    void builtinPackages()
    {
        QStringList names = KolmProject::builtinBSP();
        names.sort();
        QCOMPARE(names, (QStringList{"sys://Emulator.kbsp", "sys://STM32F0.kbsp"}));
    }

    void setBSP_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("bsp");          // empty: unchanged
        QTest::addColumn<QByteArray>("content");   // of proj/<bsp> afterwards

        QTest::newRow("built-in, overwrites the copy")
            << "sys://Emulator.kbsp" << "Emulator.kbsp" << builtinPackage("Emulator.kbsp");
        QTest::newRow("built-in, new copy") << "sys://STM32F0.kbsp" << "STM32F0.kbsp" << builtinPackage("STM32F0.kbsp");
        QTest::newRow("unknown built-in") << "sys://None.kbsp" << "" << QByteArray();
        QTest::newRow("built-in without a file name") << "sys://" << "" << QByteArray();
        QTest::newRow("in the project directory, absolute") << "{proj}/board.kbsp" << "board.kbsp" << QByteArray("board");
        QTest::newRow("in the project directory, relative") << "board.kbsp" << "board.kbsp" << QByteArray("board");
        QTest::newRow("outside, copied") << "{side}/other.kbsp" << "other.kbsp" << QByteArray("other");
        QTest::newRow("subdirectory, copied") << "lib/sub.kbsp" << "sub.kbsp" << QByteArray("sub");
        QTest::newRow("outside, name taken") << "{side}/taken.kbsp" << "" << QByteArray();
        QTest::newRow("outside, missing") << "{side}/none.kbsp" << "" << QByteArray();
        QTest::newRow("empty name") << "" << "" << QByteArray();
    }

    void setBSP()
    {
        QFETCH(QString, name);
        QFETCH(QString, bsp);
        QFETCH(QByteArray, content);
        QSignalSpy errors(m_project.get(), &KolmProject::error);
        QSignalSpy modified(m_project.get(), &KolmProject::modified);

        m_project->setBSP(expand(name));

        QCOMPARE(errors.size(), 0);
        QCOMPARE(m_project->bsp(), bsp);
        QCOMPARE(m_project->isModified(), !bsp.isEmpty());
        if (!bsp.isEmpty())
            QCOMPARE(readBytes(proj(bsp)), content);
        QCOMPARE(readBytes(proj("taken.kbsp")), QByteArray("mine"));
        if (bsp.isEmpty())
            QCOMPARE(readBytes(proj("Emulator.kbsp")), QByteArray("old"));
    }

    void setBSPFailedCopyChangesNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("built-in") << "sys://Emulator.kbsp";
        QTest::newRow("outside") << "{side}/other.kbsp";
    }

    void setBSPFailedCopyChangesNothing()
    {
        QFETCH(QString, name);
        {
            FileSizeLimit limit(2);
            QVERIFY(limit.active());
            m_project->setBSP(expand(name));
        }
        QVERIFY(m_project->bsp().isEmpty());
        QVERIFY(!m_project->isModified());
        QCOMPARE(readBytes(proj("Emulator.kbsp")), QByteArray("old"));
        QVERIFY(!QFileInfo::exists(proj("other.kbsp")));
    }
};

QTEST_GUILESS_MAIN(KolmProjectModelTest)
#include "kolmproject_model_test.moc"
