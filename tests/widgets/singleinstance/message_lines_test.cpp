// Cutting received text into message lines, fed as it arrives in reads.

#include "messagelines.h"

#include <QtTest>

class MessageLinesTest : public QObject {
    Q_OBJECT

private slots:
    void takeLines_data()
    {
        QTest::addColumn<QStringList>("reads");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("left");
        QTest::newRow("two lines in one read") << QStringList{"a\nb\n"} << QStringList{"a", "b"} << "";
        QTest::newRow("line split over two reads") << QStringList{"sh", "ow\n"} << QStringList{"show"} << "";
        QTest::newRow("empty line dropped") << QStringList{"show\n\n"} << QStringList{"show"} << "";
        QTest::newRow("several empty lines dropped") << QStringList{"a\n\n\n\nb\n"} << QStringList{"a", "b"} << "";
        QTest::newRow("no newline yet") << QStringList{"show"} << QStringList{} << "show";
        QTest::newRow("newline arrives later") << QStringList{"show", "", "\n"} << QStringList{"show"} << "";
        QTest::newRow("rest of an unfinished line kept") << QStringList{"a\nbc"} << QStringList{"a"} << "bc";
        QTest::newRow("leading newline") << QStringList{"\nshow\n"} << QStringList{"show"} << "";
        QTest::newRow("leading empty lines") << QStringList{"\n\n\nshow\n"} << QStringList{"show"} << "";
        QTest::newRow("newline alone, then a line") << QStringList{"\n", "show\n"} << QStringList{"show"} << "";
        QTest::newRow("line, empty line split over reads")
            << QStringList{"a\n", "\nb\n"} << QStringList{"a", "b"} << "";
        QTest::newRow("carriage return is text") << QStringList{"a\r\n"} << QStringList{"a\r"} << "";
        QTest::newRow("nothing") << QStringList{""} << QStringList{} << "";
    }

    void takeLines()
    {
        QFETCH(QStringList, reads);
        QFETCH(QStringList, lines);
        QFETCH(QString, left);
        QString buffer;
        QStringList taken;
        for (const QString &read : reads) {
            buffer += read;
            taken += takeMessageLines(buffer);
        }
        QCOMPARE(taken, lines);
        QCOMPARE(buffer, left);
    }
};

QTEST_APPLESS_MAIN(MessageLinesTest)
#include "message_lines_test.moc"
