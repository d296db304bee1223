// The ready-made highlighters for C++, GLSL, Python, Lua and JSON text, and
// the sizes of their word lists.

#include "highlight_probe.h"
#include "qcxxhighlighter.h"
#include "qglslhighlighter.h"
#include "qjsonhighlighter.h"
#include "qlanguage.h"
#include "qluahighlighter.h"
#include "qpythonhighlighter.h"
#include "sourceeditorresources.h"

#include <QFile>
#include <QTextDocument>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using Factory = std::function<std::unique_ptr<QStyleSyntaxHighlighter>()>;

template <class Highlighter>
Factory factory()
{
    return [] { return std::make_unique<Highlighter>(); };
}

const QMap<QString, Factory>& highlighters()
{
    static const QMap<QString, Factory> all = {
        {"cpp", factory<QCXXHighlighter>()},       {"glsl", factory<QGLSLHighlighter>()},
        {"python", factory<QPythonHighlighter>()}, {"lua", factory<QLuaHighlighter>()},
        {"json", factory<QJSONHighlighter>()},
    };
    return all;
}

// Warnings Qt prints while a test runs, such as a match on an expression
// that does not compile.
QStringList warnings;
QtMessageHandler previousHandler = nullptr;

void recordWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg)
        warnings << message;
    previousHandler(type, context, message);
}

} // namespace

class OtherHighlightersTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void colours_data();
    void colours();
    void everyExpressionCompiles_data();
    void everyExpressionCompiles();
    void wordListSizes_data();
    void wordListSizes();
};

void OtherHighlightersTest::initTestCase()
{
    previousHandler = qInstallMessageHandler(recordWarnings);
}

void OtherHighlightersTest::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void OtherHighlightersTest::colours_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("states");

    QTest::newRow("cpp numbers with separators, exponents and suffixes")
        << "cpp" << QStringList{"x = 1'000 + 0x1p-3 + 1.5e10f + 0b1010u + 0X1F;"}
        << QStringList{"4+5 Number, 12+6 Number, 21+7 Number, 31+7 Number, 41+4 Number"} << "0";
    QTest::newRow("cpp declaration of a function")
        << "cpp" << QStringList{"int main() {"}
        << QStringList{"0+3 PrimitiveType, 3+1 Type, 4+4 Function"} << "0";
    QTest::newRow("cpp include, string and comments")
        << "cpp" << QStringList{"#include <vector>", "auto s = \"a\"; /* open", "still */ return;"}
        << QStringList{"0+9 Preprocessor, 9+8 String", "0+4 Keyword, 9+3 String, 14+7 Comment",
                       "0+8 Comment, 9+6 Keyword"}
        << "010";

    QTest::newRow("glsl has no string rule")
        << "glsl" << QStringList{"s = \"text\";"} << QStringList{""} << "0";
    QTest::newRow("glsl version line")
        << "glsl" << QStringList{"#version 450"} << QStringList{"0+8 Preprocessor, 9+3 Number"} << "0";
    QTest::newRow("glsl types and built-in calls")
        << "glsl" << QStringList{"vec4 c = texture(tex, uv); // sample"}
        << QStringList{"0+4 PrimitiveType, 9+7 Function, 27+9 Comment"} << "0";
    QTest::newRow("glsl block comment")
        << "glsl" << QStringList{"/* x", "*/ float y;"}
        << QStringList{"0+4 Comment", "0+2 Comment, 3+5 PrimitiveType"} << "10";

    QTest::newRow("python keywords and calls")
        << "python" << QStringList{"def f(x): return len(x)"}
        << QStringList{"0+3 Keyword, 4+1 Function, 10+6 Keyword, 17+3 Function"} << "0";
    QTest::newRow("python strings, numbers and comments")
        << "python" << QStringList{"x = 'a' + \"b\" + 0x10  # note"}
        << QStringList{"4+3 String, 10+3 String, 16+4 Number, 22+6 Comment"} << "0";
    QTest::newRow("python long string over lines")
        << "python" << QStringList{"s = '''abc", "''' still", "done'''", "x"}
        << QStringList{"4+6 String", "0+9 String", "0+7 String", ""} << "1100";
    QTest::newRow("python first block rule in list order wins")
        << "python" << QStringList{"a = '''x''' + \"\"\" # y\"\"\""}
        << QStringList{"4+7 String, 14+4 String, 18+6 Comment"} << "0";
    QTest::newRow("python long string in double quotes")
        << "python" << QStringList{"\"\"\"doc", "end\"\"\" 1"}
        << QStringList{"0+6 String", "0+6 String, 7+1 Number"} << "20";

    QTest::newRow("lua words take one blank on each side")
        << "lua" << QStringList{"local n = a + 10 -- note"}
        << QStringList{"0+6 Keyword, 11+3 Operator, 14+2 Number, 17+7 Comment"} << "0";
    QTest::newRow("lua long comment")
        << "lua" << QStringList{"--[[ a", "b --]] c"} << QStringList{"0+6 Comment", "0+8 Comment"}
        << "10";
    QTest::newRow("lua long string")
        << "lua" << QStringList{"s = [[x", "y]]"} << QStringList{"4+3 String", "0+3 String"} << "20";
    QTest::newRow("lua comment rule found before an earlier long string")
        << "lua" << QStringList{"a = [[x]] --[[ c"} << QStringList{"10+6 Comment"} << "1";
    QTest::newRow("lua require line")
        << "lua" << QStringList{"require \"mod\""} << QStringList{"0+8 Preprocessor, 8+5 String"}
        << "0";

    QTest::newRow("json keys override strings")
        << "json" << QStringList{"{\"a\": true, \"b\": 12}"}
        << QStringList{"1+3 Keyword, 6+4 Keyword, 12+3 Keyword, 17+2 Number"} << "-";
    QTest::newRow("json values")
        << "json" << QStringList{"[\"x\", null, 1.5]"}
        << QStringList{"1+3 String, 6+4 Keyword, 12+3 Number"} << "-";
}

void OtherHighlightersTest::colours()
{
    QFETCH(QString, language);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, expected);
    QFETCH(QString, states);

    const auto highlighter = highlighters().value(language)();
    compareHighlighting(*highlighter, true, lines, expected, states);
}

// The word lists' words go into the expressions unescaped: every rule must
// still compile, which a match on each of them in turn shows.
void OtherHighlightersTest::everyExpressionCompiles_data()
{
    QTest::addColumn<QString>("language");
    for (const QString& language : highlighters().keys())
        QTest::newRow(qPrintable(language)) << language;
}

void OtherHighlightersTest::everyExpressionCompiles()
{
    QFETCH(QString, language);

    const auto highlighter = highlighters().value(language)();
    StyleProbe probe;
    highlighter->setSyntaxStyle(probe.scheme());
    QTextDocument document;
    warnings.clear();
    highlightLines(*highlighter, document,
                   {"#include <a> require 'b' x = f(1) + \"s\" -- c // d # e", "/* ''' [[ --[["});
    QCOMPARE(warnings, QStringList());
}

void OtherHighlightersTest::wordListSizes_data()
{
    QTest::addColumn<QString>("resource");
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<QList<int>>("sizes");

    QTest::newRow("cpp") << ":/languages/cpp.xml" << QStringList{"Keyword", "PrimitiveType"}
                         << QList<int>{83, 13};
    QTest::newRow("glsl") << ":/languages/glsl.xml"
                          << QStringList{"Function", "Keyword", "PrimitiveType"}
                          << QList<int>{183, 41, 121};
    QTest::newRow("lua") << ":/languages/lua.xml" << QStringList{"Keyword", "Operator", "Type"}
                         << QList<int>{15, 17, 9};
    QTest::newRow("python") << ":/languages/python.xml"
                            << QStringList{"Function", "Keyword", "PrimitiveType"}
                            << QList<int>{3, 17, 10};
}

void OtherHighlightersTest::wordListSizes()
{
    QFETCH(QString, resource);
    QFETCH(QStringList, sections);
    QFETCH(QList<int>, sizes);

    registerSourceEditorResources();
    QFile file(resource);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QLanguage language(&file);
    QVERIFY(language.isLoaded());
    QCOMPARE(language.keys(), sections);
    for (int i = 0; i < sections.size(); ++i) {
        const QStringList words = language.names(sections[i]);
        QCOMPARE(words.size(), sizes[i]);
        QCOMPARE(QSet<QString>(words.begin(), words.end()).size(), sizes[i]);
    }
}

QTEST_MAIN(OtherHighlightersTest)
#include "other_highlighters_test.moc"
