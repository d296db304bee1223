#include "highlight_probe.h"
#include "qkoshighlighter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

class KosHighlighterTest : public QObject
{
    Q_OBJECT

private slots:
    void colours_data();
    void colours();
    void withoutSchemeLeavesTextUncoloured();
    void openingCommentRecoloursFollowingLines();
};

void KosHighlighterTest::colours_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("states");

    QTest::newRow("empty line")
        << QStringList{"", "7"} << QStringList{"", "0+1 Number"} << "00";
    QTest::newRow("declaration")
        << QStringList{"var x = 10;"} << QStringList{"0+3 PrimitiveType, 8+2 Number"} << "0";
    QTest::newRow("declared type outside the word list")
        << QStringList{"int in;"} << QStringList{"0+3 Type, 4+2 Keyword"} << "0";
    QTest::newRow("call of a listed function")
        << QStringList{"delay(100);"} << QStringList{"0+5 Function, 6+3 Number"} << "0";
    QTest::newRow("call of another name")
        << QStringList{"foo(1)"} << QStringList{"0+3 Function, 4+1 Number"} << "0";
    QTest::newRow("identifier before a call")
        << QStringList{"return foo(x);"} << QStringList{"0+6 Keyword, 6+1 Type, 7+3 Function"}
        << "0";
    QTest::newRow("function with a type")
        << QStringList{"var f(x)"} << QStringList{"0+3 PrimitiveType, 3+1 Type, 4+1 Function"}
        << "0";
    QTest::newRow("scoped call name")
        << QStringList{"a::b(1)"} << QStringList{"0+4 Function, 5+1 Number"} << "0";
    QTest::newRow("keywords before parentheses")
        << QStringList{"while (i < sizeof(buf)) break;"}
        << QStringList{"0+5 Keyword, 11+6 Keyword, 24+5 Keyword"} << "0";
    QTest::newRow("if before a parenthesis")
        << QStringList{"if (a)"} << QStringList{"0+2 Keyword"} << "0";
    QTest::newRow("words are whole and case-sensitive")
        << QStringList{"Var + var2 + _var + halted + inn;"} << QStringList{""} << "0";
    QTest::newRow("number forms")
        << QStringList{"a = 0x1F, 0XaB, 017, 0, 42;"}
        << QStringList{"4+4 Number, 10+4 Number, 16+3 Number, 21+1 Number, 24+2 Number"} << "0";
    QTest::newRow("not numbers")
        << QStringList{"b = 08 + 09 + 1.5 + x1;"} << QStringList{"14+1 Number, 16+1 Number"}
        << "0";
    QTest::newRow("include in quotes")
        << QStringList{"#include \"lib.kos\""} << QStringList{"0+9 Preprocessor, 9+9 String"}
        << "0";
    QTest::newRow("include in angle brackets")
        << QStringList{"#include <delay.kos>"}
        << QStringList{"0+9 Preprocessor, 9+1 String, 10+5 Function, 15+5 String"} << "0";
    QTest::newRow("preprocessor line")
        << QStringList{"#define LED 5"} << QStringList{"0+7 Preprocessor, 12+1 Number"} << "0";
    QTest::newRow("string")
        << QStringList{"s = \"text 12\";"} << QStringList{"4+9 String"} << "0";
    QTest::newRow("string holding a preprocessor word")
        << QStringList{"s = \"a #def b\";"}
        << QStringList{"4+3 String, 7+4 Preprocessor, 11+3 String"} << "0";
    QTest::newRow("string holding a line comment")
        << QStringList{"s = \"a // b\";"} << QStringList{"4+3 String, 7+6 Comment"} << "0";
    QTest::newRow("string holding a comment opening")
        << QStringList{"s = \"/*\";", "x"} << QStringList{"4+1 String, 5+4 Comment", "0+1 Comment"}
        << "11";
    QTest::newRow("unclosed string") << QStringList{"s = \"abc;"} << QStringList{""} << "0";
    QTest::newRow("line comment")
        << QStringList{"x = 1; // note 2"} << QStringList{"4+1 Number, 7+9 Comment"} << "0";
    QTest::newRow("line comment holding a comment opening")
        << QStringList{"// text /* more", "still"} << QStringList{"0+15 Comment", "0+5 Comment"}
        << "11";
    QTest::newRow("shortest comments")
        << QStringList{"/*/", "/**/ 1"} << QStringList{"0+3 Comment", "0+4 Comment, 5+1 Number"}
        << "00";
    QTest::newRow("comments on one line")
        << QStringList{"a /* b */ 7 /* d"} << QStringList{"2+7 Comment, 10+1 Number, 12+4 Comment"}
        << "1";
    QTest::newRow("comment over several lines")
        << QStringList{"/* open", "middle 42", "", "x */ y = 3;", "var z;"}
        << QStringList{"0+7 Comment", "0+9 Comment", "", "0+4 Comment, 9+1 Number",
                       "0+3 PrimitiveType"}
        << "11100";
}

void KosHighlighterTest::colours()
{
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QFETCH(QString, states);

    QKOSHighlighter highlighter;
    compareHighlighting(highlighter, true, lines, expected, states);
}

void KosHighlighterTest::withoutSchemeLeavesTextUncoloured()
{
    QKOSHighlighter highlighter;
    compareHighlighting(highlighter, false,
                        {"var x = delay(10); // c", "/* open", "#include \"a\""}, {"", "", ""},
                        "011");
    QCOMPARE(highlighter.syntaxStyle(), nullptr);
}

void KosHighlighterTest::openingCommentRecoloursFollowingLines()
{
    StyleProbe probe;
    QKOSHighlighter highlighter;
    highlighter.setSyntaxStyle(probe.scheme());
    QTextDocument document;
    highlightLines(highlighter, document, {"var a;", "delay(1);"});
    const QStringList plain = {"0+3 PrimitiveType", "0+5 Function, 6+1 Number"};
    QCOMPARE(probe.ranges(document), plain);

    QTextCursor cursor(&document);
    cursor.insertText("/*");
    QCOMPARE(probe.ranges(document), QStringList({"0+8 Comment", "0+9 Comment"}));
    QCOMPARE(blockStates(document), QString("11"));

    cursor.setPosition(0);
    cursor.setPosition(2, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    QCOMPARE(probe.ranges(document), plain);
    QCOMPARE(blockStates(document), QString("00"));
}

QTEST_MAIN(KosHighlighterTest)
#include "kos_highlighter_test.moc"
