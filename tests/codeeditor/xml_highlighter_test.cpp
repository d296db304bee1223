#include "highlight_probe.h"
#include "qxmlhighlighter.h"

#include <QTextDocument>
#include <QtTest>

class XmlHighlighterTest : public QObject
{
    Q_OBJECT

private slots:
    void colours_data();
    void colours();
    void withoutSchemeLeavesTextUncoloured();
};

void XmlHighlighterTest::colours_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("states");

    QTest::newRow("start tag with an attribute")
        << QStringList{"<board name=\"x\">"}
        << QStringList{"0+6 Keyword, 7+4 Text, 12+3 String, 15+1 Keyword"} << "0";
    QTest::newRow("end tag") << QStringList{"</board>"} << QStringList{"0+8 Keyword"} << "0";
    QTest::newRow("text between tags")
        << QStringList{"<name>PA0</name>"} << QStringList{"0+6 Keyword, 9+7 Keyword"} << "0";
    QTest::newRow("declaration")
        << QStringList{"<?xml version=\"1.0\"?>"}
        << QStringList{"0+5 Keyword, 6+7 Text, 14+5 String, 19+2 Keyword"} << "0";
    QTest::newRow("empty element") << QStringList{"<a/>"} << QStringList{"0+4 Keyword"} << "0";
    QTest::newRow("several attributes")
        << QStringList{"<r a=\"1\" b=\"2\"/>"}
        << QStringList{"0+2 Keyword, 3+1 Text, 5+3 String, 9+1 Text, 11+3 String, 14+2 Keyword"}
        << "0";
    QTest::newRow("value at the end of the line")
        << QStringList{"<pin id=\"3\""} << QStringList{"0+4 Keyword, 5+2 Text"} << "0";
    QTest::newRow("value in single quotes")
        << QStringList{"<pin id='3'/>"} << QStringList{"0+4 Keyword, 5+2 Text, 11+2 Keyword"}
        << "0";
    QTest::newRow("empty value")
        << QStringList{"<pin id=\"\"/>"} << QStringList{"0+4 Keyword, 5+2 Text, 10+2 Keyword"}
        << "0";
    QTest::newRow("comment on one line")
        << QStringList{"<!-- note --> <a/>"} << QStringList{"0+13 Comment, 14+4 Keyword"} << "0";
    QTest::newRow("shortest comment") << QStringList{"<!-->"} << QStringList{"0+5 Comment"}
                                      << "0";
    QTest::newRow("comment over several lines")
        << QStringList{"<!-- open", "<pin id=\"3\"/> still", "", "done --> <a/>"}
        << QStringList{"0+9 Comment", "0+8 Comment, 8+3 String, 11+8 Comment", "",
                       "0+8 Comment, 9+4 Keyword"}
        << "1110";
}

void XmlHighlighterTest::colours()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QFETCH(QString, states);

    QXMLHighlighter highlighter;
    compareHighlighting(highlighter, true, lines, expected, states);
}

void XmlHighlighterTest::withoutSchemeLeavesTextUncoloured()
{
    QXMLHighlighter highlighter;
    compareHighlighting(highlighter, false, {"<board name=\"x\">", "<!-- open"}, {"", ""}, "01");
    QCOMPARE(highlighter.syntaxStyle(), nullptr);
}

QTEST_MAIN(XmlHighlighterTest)
#include "xml_highlighter_test.moc"
