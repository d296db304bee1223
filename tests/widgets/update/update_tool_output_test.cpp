// Progress and error lines of the AppImage update tool, chunk by chunk.

#include "updatetooloutput.h"

#include <QtTest>

class UpdateToolOutputTest : public QObject {
    Q_OBJECT

private slots:
    void progress_data()
    {
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<int>("progress");
        QTest::newRow("fraction cut off") << "#-----  45.6%" << 45;
        QTest::newRow("whole number") << "#-- 7%" << 7;
        QTest::newRow("no space") << "#-12.99%" << 12;
        QTest::newRow("inside a line") << "Downloading [#------   33.3%] eta 3s\n" << 33;
        QTest::newRow("later bar of two wins") << "#--- 10.0%\r#------ 20.5%\r" << 20;
        QTest::newRow("hundred") << "#---------- 100%" << 100;
        QTest::newRow("zero") << "#- 0.0%" << 0;
        QTest::newRow("no minus sign") << "# 45%" << -1;
        QTest::newRow("no number sign") << "----- 45%" << -1;
        QTest::newRow("no percent sign") << "#----- 45" << -1;
        QTest::newRow("no bar") << "Checking for updates...\n" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("above hundred") << "#-- 250%" << -1;
        QTest::newRow("huge number") << "#-- 99999999999999999999999999%" << -1;
    }

    void progress()
    {
        QFETCH(QString, chunk);
        QFETCH(int, progress);
        UpdateToolOutput output;
        QCOMPARE(output.read(chunk), progress);
        QCOMPARE(output.errorText(), QString());
    }

    void error_data()
    {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QString>("error");
        QTest::newRow("none") << QStringList{"#-- 5%\n", "done\n"} << "";
        QTest::newRow("up to the newline") << QStringList{"ERROR: disk full\nmore\n"} << "disk full";
        QTest::newRow("up to the end of the chunk") << QStringList{"x ERROR: no network"} << "no network";
        QTest::newRow("first in a chunk") << QStringList{"ERROR: one\nERROR: two\n"} << "one";
        QTest::newRow("later chunk replaces") << QStringList{"ERROR: one\n", "ERROR: two\n"} << "two";
        QTest::newRow("chunk without error keeps it") << QStringList{"ERROR: one\n", "#-- 5%\n"} << "one";
        QTest::newRow("needs the space") << QStringList{"ERROR:one\n"} << "";
        QTest::newRow("case matters") << QStringList{"Error: one\n"} << "";
        QTest::newRow("empty reason") << QStringList{"ERROR: \n"} << "";
    }

    void error()
    {
        QFETCH(QStringList, chunks);
        QFETCH(QString, error);
        UpdateToolOutput output;
        for (const QString &chunk : chunks)
            output.read(chunk);
        QCOMPARE(output.errorText(), error);
    }

    void progressAndErrorInOneChunk()
    {
        UpdateToolOutput output;
        QCOMPARE(output.read("#---- 80.1%\nERROR: checksum mismatch\n"), 80);
        QCOMPARE(output.errorText(), QStringLiteral("checksum mismatch"));
    }
};

QTEST_APPLESS_MAIN(UpdateToolOutputTest)
#include "update_tool_output_test.moc"
