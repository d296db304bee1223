// Paths as a user types them: a leading tilde, relative paths, links, and
// paths that name nothing.

#include "qpathparser.h"

#include <QDir>
#include <QFile>
#include <QtTest>

class PathParserTest : public QObject {
    Q_OBJECT

private slots:
    // root/home is the home directory, root/homesub stands beside it.
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_rootPath = QFileInfo(m_root.path()).canonicalFilePath();
        QDir root(m_rootPath);
        QVERIFY(root.mkpath("home/sub"));
        QVERIFY(root.mkpath("homesub"));
        QFile file(root.filePath("home/a.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QVERIFY(QFile::link(root.filePath("home/a.txt"), root.filePath("home/link")));
        QVERIFY(QFile::link(root.filePath("home/missing.txt"), root.filePath("home/dangling")));

        m_oldHome = qgetenv("HOME");
        qputenv("HOME", root.filePath("home").toLocal8Bit());
        m_oldCurrent = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_rootPath));
    }

    void cleanupTestCase()
    {
        qputenv("HOME", m_oldHome);
        QDir::setCurrent(m_oldCurrent);
    }

    void canonicalFilePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("lone tilde") << "~" << "home";
        QTest::newRow("tilde and slash") << "~/" << "home";
        QTest::newRow("file under home") << "~/a.txt" << "home/a.txt";
        QTest::newRow("tilde and a name is not a user's home") << "~sub" << "homesub";
        QTest::newRow("relative path") << "home/a.txt" << "home/a.txt";
        QTest::newRow("dot and dot-dot") << "./home/sub/../a.txt" << "home/a.txt";
        QTest::newRow("symbolic link gives its target") << "~/link" << "home/a.txt";
        QTest::newRow("tilde later in the path stays") << "home/~" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("missing file") << "home/missing.txt" << "";
        QTest::newRow("missing file under home") << "~/missing.txt" << "";
        QTest::newRow("dangling link") << "~/dangling" << "";
    }

    void canonicalFilePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        const QString wanted = expected.isEmpty() ? QString() : m_rootPath + "/" + expected;
        QCOMPARE(QPathParser::canonicalFilePath(path), wanted);
    }

    void absolutePathStaysAbsolute()
    {
        QCOMPARE(QPathParser::canonicalFilePath(m_rootPath + "/home/a.txt"), m_rootPath + "/home/a.txt");
    }

private:
    QTemporaryDir m_root;
    QString m_rootPath;
    QByteArray m_oldHome;
    QString m_oldCurrent;
};

QTEST_APPLESS_MAIN(PathParserTest)
#include "path_parser_test.moc"
