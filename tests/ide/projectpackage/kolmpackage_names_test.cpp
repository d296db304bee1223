#include <QtTest>

#include "kolmpackagenames.h"

// The name rules decide what an import may write, so each way out of the
// target directory is listed here, beside names that must stay allowed.
class KolmPackageNamesTest : public QObject
{
    Q_OBJECT

private slots:
    void entryNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain file") << "main.kos" << true;
        QTest::newRow("file in a folder") << "lib/util.kos" << true;
        QTest::newRow("directory entry") << "lib/" << true;
        QTest::newRow("dot part") << "./lib/./x.kos" << true;
        QTest::newRow("doubled separator") << "lib//x.kos" << true;
        QTest::newRow("dots inside a name") << "a..b/..c" << true;
        QTest::newRow("colon inside") << "lib/a:b" << true;
        QTest::newRow("utf-8") << QString::fromUtf8("Grüße/ä.kos") << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("parent first") << "../evil" << false;
        QTest::newRow("parent inside") << "lib/../../evil" << false;
        QTest::newRow("parent last") << "lib/.." << false;
        QTest::newRow("parent directory entry") << "../" << false;
        QTest::newRow("windows parent") << "..\\evil" << false;
        QTest::newRow("windows parent inside") << "lib\\..\\..\\evil" << false;
        QTest::newRow("absolute") << "/etc/passwd" << false;
        QTest::newRow("absolute windows") << "\\evil" << false;
        QTest::newRow("drive") << "C:/evil" << false;
        QTest::newRow("drive relative") << "C:evil" << false;
        QTest::newRow("drive alone") << "C:" << false;
        QTest::newRow("scheme") << "sys://board.kbsp" << false;
        QTest::newRow("only dot") << "." << false;
        QTest::newRow("only dot directory") << "./" << false;
        QTest::newRow("only separators") << "//" << false;
        QTest::newRow("nul") << QString::fromLatin1("a\0/../../x", 10) << false;
    }
    void entryNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(isPackageEntryName(name), valid);
    }

    void plainNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("name") << "p" << true;
        QTest::newRow("with dots and blanks") << "my project.v2" << true;
        QTest::newRow("project file") << "p.kcpro" << true;
        QTest::newRow("utf-8") << QString::fromUtf8("Проект") << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("parent path") << "../x" << false;
        QTest::newRow("two parts") << "a/b" << false;
        QTest::newRow("backslash") << "a\\b" << false;
        QTest::newRow("absolute") << "/tmp" << false;
        QTest::newRow("drive") << "C:" << false;
        QTest::newRow("drive relative") << "c:p" << false;
        QTest::newRow("nul") << QString::fromLatin1("..\0x", 4) << false;
    }
    void plainNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(isPlainName(name), plain);
    }
};

QTEST_APPLESS_MAIN(KolmPackageNamesTest)
#include "kolmpackage_names_test.moc"
