// The glyph list reader: line shapes, repeated names, codes that do not parse.

#include "codepointsreader.h"

#include <QBuffer>
#include <QtTest>

using Codepoints = QHash<QString, unsigned int>;
Q_DECLARE_METATYPE(Codepoints)

class CodepointsReaderTest : public QObject {
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<Codepoints>("expected");

        QTest::newRow("lines") << QByteArray("zoom_in e8ff\nadd e145\n") << Codepoints{{"zoom_in", 0xe8ff}, {"add", 0xe145}};
        QTest::newRow("last line without newline") << QByteArray("add e145") << Codepoints{{"add", 0xe145}};
        QTest::newRow("later line wins") << QByteArray("add e145\nadd e146\n") << Codepoints{{"add", 0xe146}};
        QTest::newRow("surrounding and repeated spaces")
            << QByteArray("  add   e145 \r\n") << Codepoints{{"add", 0xe145}};
        QTest::newRow("lines of another shape are skipped")
            << QByteArray("\nadd\nadd e145 extra\nzoom_in e8ff\n") << Codepoints{{"zoom_in", 0xe8ff}};
        QTest::newRow("code that does not parse is 0") << QByteArray("add xyz\n") << Codepoints{{"add", 0}};
        QTest::newRow("empty file") << QByteArray() << Codepoints{};
    }

    void reads()
    {
        QFETCH(QByteArray, text);
        QFETCH(Codepoints, expected);
        QBuffer file(&text);
        QVERIFY(file.open(QIODevice::ReadOnly));
        Codepoints codepoints;
        readCodepoints(file, codepoints);
        QCOMPARE(codepoints, expected);
    }

    void addsToWhatTheTableHolds()
    {
        QByteArray text("add e145\n");
        QBuffer file(&text);
        QVERIFY(file.open(QIODevice::ReadOnly));
        Codepoints codepoints{{"zoom_in", 0xe8ff}, {"add", 1}};
        readCodepoints(file, codepoints);
        QCOMPARE(codepoints, (Codepoints{{"zoom_in", 0xe8ff}, {"add", 0xe145}}));
    }
};

QTEST_APPLESS_MAIN(CodepointsReaderTest)
#include "codepoints_reader_test.moc"
