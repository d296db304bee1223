#include "qlanguage.h"
#include "sourceeditorresources.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>

namespace {

using Sections = QMap<QString, QStringList>;

// Every section of the list with its words.
Sections sectionsOf(QLanguage& language)
{
    Sections sections;
    for (const QString& key : language.keys())
        sections.insert(key, language.names(key));
    return sections;
}

} // namespace

Q_DECLARE_METATYPE(Sections)

class LanguageTest : public QObject
{
    Q_OBJECT

private slots:
    void scriptLanguage();
    void unknownKeyIsAdded();
    void reads_data();
    void reads();
    void nullDevice();
    void secondLoadReplacesSections();
};

void LanguageTest::scriptLanguage()
{
    registerSourceEditorResources();
    QFile file(":/languages/kos.xml");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QLanguage language(&file);
    QVERIFY(language.isLoaded());

    QCOMPARE(language.keys(), QStringList({"Function", "Keyword", "PrimitiveType"}));
    QCOMPARE(language.names("Keyword"),
             QStringList({"break", "case", "continue", "default", "do", "else", "for", "goto",
                          "if", "return", "switch", "while", "sizeof", "in"}));
    QCOMPARE(language.names("Function"),
             QStringList({"_exti", "_msg", "_ack", "_segv", "__disable_irq", "__enable_irq",
                          "halt", "memcpy", "memcmp", "memset", "stoi", "sprintf", "contains",
                          "delay", "sleep", "timer", "tstop", "resume"}));
    QCOMPARE(language.names("PrimitiveType"), QStringList({"var"}));
}

void LanguageTest::unknownKeyIsAdded()
{
    registerSourceEditorResources();
    QFile file(":/languages/kos.xml");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QLanguage language(&file);

    QCOMPARE(language.names("Operator"), QStringList());
    QCOMPARE(language.keys(),
             QStringList({"Function", "Keyword", "Operator", "PrimitiveType"}));
}

void LanguageTest::reads_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<Sections>("sections");

    QTest::newRow("section without words is dropped")
        << QByteArray("<root><section name=\"Empty\"/><section name=\"A\"><name>x</name></section>"
                      "<section name=\"None\"></section></root>")
        << true << Sections{{"A", {"x"}}};
    QTest::newRow("later section of one name replaces the earlier")
        << QByteArray("<root><section name=\"A\"><name>x</name><name>y</name></section>"
                      "<section name=\"A\"><name>z</name></section></root>")
        << true << Sections{{"A", {"z"}}};
    QTest::newRow("later empty section of one name changes nothing")
        << QByteArray("<root><section name=\"A\"><name>x</name></section>"
                      "<section name=\"A\"></section></root>")
        << true << Sections{{"A", {"x"}}};
    QTest::newRow("words before the first section")
        << QByteArray("<root><name>w</name><section name=\"A\"><name>x</name></section></root>")
        << true << Sections{{"", {"w"}}, {"A", {"x"}}};
    QTest::newRow("section without a name")
        << QByteArray("<root><section><name>x</name></section></root>") << true
        << Sections{{"", {"x"}}};
    QTest::newRow("white space is kept")
        << QByteArray("<root><section name=\"A\"><name> x </name></section></root>") << true
        << Sections{{"A", {" x "}}};
    QTest::newRow("sorted by code units")
        << QByteArray("<root><section name=\"b\"><name>1</name></section>"
                      "<section name=\"B\"><name>2</name></section>"
                      "<section name=\"a\"><name>3</name></section></root>")
        << true << Sections{{"B", {"2"}}, {"a", {"3"}}, {"b", {"1"}}};
    QTest::newRow("other root name")
        << QByteArray("<?xml version=\"1.0\"?><words><section name=\"A\"><name>x</name></section>"
                      "</words>")
        << true << Sections{{"A", {"x"}}};
    QTest::newRow("truncated document keeps the words read")
        << QByteArray("<root><section name=\"A\"><name>x</name></section><section name=\"B\">"
                      "<name>y</name><name>z")
        << false << Sections{{"A", {"x"}}, {"B", {"y"}}};
    QTest::newRow("empty document") << QByteArray() << false << Sections{};
}

void LanguageTest::reads()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, loaded);
    QFETCH(Sections, sections);

    QBuffer buffer(&document);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QLanguage language(&buffer);
    QCOMPARE(language.isLoaded(), loaded);
    QCOMPARE(sectionsOf(language), sections);
}

void LanguageTest::nullDevice()
{
    QLanguage language(nullptr);
    QVERIFY(!language.isLoaded());
    QVERIFY(language.keys().isEmpty());
}

void LanguageTest::secondLoadReplacesSections()
{
    QByteArray first("<root><section name=\"A\"><name>x</name></section>"
                     "<section name=\"B\"><name>y</name></section></root>");
    QByteArray second("<root><section name=\"B\"><name>z</name></section></root>");
    QBuffer firstBuffer(&first);
    QBuffer secondBuffer(&second);
    QVERIFY(firstBuffer.open(QIODevice::ReadOnly));
    QVERIFY(secondBuffer.open(QIODevice::ReadOnly));

    QLanguage language(&firstBuffer);
    QVERIFY(language.load(&secondBuffer));
    QCOMPARE(sectionsOf(language), (Sections{{"A", {"x"}}, {"B", {"z"}}}));
}

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
