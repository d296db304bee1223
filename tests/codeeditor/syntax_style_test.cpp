#include "qsyntaxstyle.h"

#include <QtTest>

namespace {

QString documentOf(const QString& styles)
{
    return "<?xml version=\"1.0\"?><style-scheme version=\"1.0\" name=\"Test\">" + styles
           + "</style-scheme>";
}

// Compares the properties a style element can set; an empty colour means the
// brush is unset.
void compareFormat(const QTextCharFormat& format, const QString& foreground,
                   const QString& background, bool bold, bool italic)
{
    QCOMPARE(format.hasProperty(QTextFormat::ForegroundBrush), !foreground.isEmpty());
    if (!foreground.isEmpty())
        QCOMPARE(format.foreground().color().name(), foreground);
    QCOMPARE(format.hasProperty(QTextFormat::BackgroundBrush), !background.isEmpty());
    if (!background.isEmpty())
        QCOMPARE(format.background().color().name(), background);
    QCOMPARE(format.hasProperty(QTextFormat::FontWeight), bold);
    if (bold)
        QCOMPARE(format.fontWeight(), 75);
    QCOMPARE(format.hasProperty(QTextFormat::FontItalic), italic);
    QVERIFY(!format.hasProperty(QTextFormat::TextUnderlineStyle));
}

} // namespace

class SyntaxStyleTest : public QObject
{
    Q_OBJECT

private slots:
    void shippedStyles_data();
    void shippedStyles();
    void shippedSchemes();
    void readsAttributes_data();
    void readsAttributes();
    void underlineStyles_data();
    void underlineStyles();
    void laterDuplicateWins();
    void namesAreExact();
    void styleWithoutName();
    void otherRootIsRead();
    void secondLoadAddsToTheFirst();
    void brokenDocumentKeepsWhatWasRead_data();
    void brokenDocumentKeepsWhatWasRead();
};

void SyntaxStyleTest::shippedStyles_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("foreground");
    QTest::addColumn<QString>("background");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");

    const struct {
        const char* style;
        const char* lightForeground;
        const char* lightBackground;
        bool lightBold;
        const char* darkForeground;
        const char* darkBackground;
        bool darkBold;
        bool darkItalic;
    } rows[] = {
        {"Text", "#000000", "#ffffff", false, "#f8f8f2", "#282a36", false, false},
        {"Selection", "#eff0f1", "#3daee9", false, "", "#44475a", false, false},
        {"CurrentLine", "", "#eeeeee", false, "#000000", "#383b4c", false, false},
        {"Parentheses", "#ff0000", "#b4eeb4", false, "#f8f8f2", "", true, false},
        {"LineNumber", "#6272a4", "", false, "#6272a4", "", false, false},
        {"CurrentLineNumber", "#808080", "", true, "#f8f8f2", "", false, false},
        {"Occurrences", "", "#b4b4b4", false, "#000000", "#f8f8f2", false, false},
        {"Keyword", "#808000", "", false, "#ff79c6", "", true, false},
        {"Function", "#00677c", "#ffffff", false, "#50fa7b", "", false, false},
        {"PrimitiveType", "#808000", "", false, "#7ce4fb", "", false, true},
        {"Type", "#800080", "", false, "#7ce4fb", "", false, false},
        {"Number", "#000080", "", false, "#bd93f9", "", false, false},
        {"String", "#008000", "", false, "#f1fa8c", "", false, false},
        {"Preprocessor", "#000080", "", false, "#ff79c6", "", false, false},
        {"Comment", "#008000", "", false, "#6272a4", "", true, false},
    };
    for (const auto& row : rows) {
        QTest::addRow("light %s", row.style)
            << false << row.style << row.lightForeground << row.lightBackground << row.lightBold
            << false;
        QTest::addRow("dark %s", row.style) << true << row.style << row.darkForeground
                                            << row.darkBackground << row.darkBold << row.darkItalic;
    }
}

void SyntaxStyleTest::shippedStyles()
{
    QFETCH(bool, dark);
    QFETCH(QString, style);
    QFETCH(QString, foreground);
    QFETCH(QString, background);
    QFETCH(bool, bold);
    QFETCH(bool, italic);

    const QSyntaxStyle* scheme = dark ? QSyntaxStyle::defaultDarkStyle() : QSyntaxStyle::defaultStyle();
    const QTextCharFormat format = scheme->getFormat(style);

    compareFormat(format, foreground, background, bold, italic);
}

void SyntaxStyleTest::shippedSchemes()
{
    QSyntaxStyle* light = QSyntaxStyle::defaultStyle();
    QSyntaxStyle* dark = QSyntaxStyle::defaultDarkStyle();
    QVERIFY(light != dark);
    QCOMPARE(QSyntaxStyle::defaultStyle(), light);
    QCOMPARE(QSyntaxStyle::defaultDarkStyle(), dark);
    QVERIFY(light->isLoaded());
    QVERIFY(dark->isLoaded());
    QCOMPARE(light->name(), QString("Default"));
    QCOMPARE(dark->name(), QString("Dracula"));
    QCOMPARE(light->getFormat("ErrorContext").underlineStyle(), QTextCharFormat::DotLine);
    QCOMPARE(dark->getFormat("Link").underlineStyle(), QTextCharFormat::SingleUnderline);
}

void SyntaxStyleTest::readsAttributes_data()
{
    QTest::addColumn<QString>("attributes");
    QTest::addColumn<QString>("foreground");
    QTest::addColumn<QString>("background");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");

    QTest::newRow("nothing") << "" << "" << "" << false << false;
    QTest::newRow("foreground only") << "foreground=\"#102030\"" << "#102030" << "" << false << false;
    QTest::newRow("background only") << "background=\"#a0b0c0\"" << "" << "#a0b0c0" << false << false;
    QTest::newRow("bold and italic") << "bold=\"true\" italic=\"true\"" << "" << "" << true << true;
    QTest::newRow("True is not bold") << "bold=\"True\" italic=\"TRUE\"" << "" << "" << false << false;
    QTest::newRow("other values") << "bold=\"1\" italic=\"yes\"" << "" << "" << false << false;
}

void SyntaxStyleTest::readsAttributes()
{
    QFETCH(QString, attributes);
    QFETCH(QString, foreground);
    QFETCH(QString, background);
    QFETCH(bool, bold);
    QFETCH(bool, italic);

    QSyntaxStyle scheme;
    QVERIFY(scheme.load(documentOf("<style name=\"S\" " + attributes + "/>")));
    const QTextCharFormat format = scheme.getFormat("S");

    compareFormat(format, foreground, background, bold, italic);
}

void SyntaxStyleTest::underlineStyles_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("style");

    QTest::newRow("SingleUnderline") << "SingleUnderline" << 1;
    QTest::newRow("DashUnderline") << "DashUnderline" << 2;
    QTest::newRow("DotLine") << "DotLine" << 3;
    QTest::newRow("DashDotLine") << "DashDotLine" << 4;
    QTest::newRow("DashDotDotLine") << "DashDotDotLine" << 5;
    QTest::newRow("WaveUnderline") << "WaveUnderline" << 6;
    QTest::newRow("SpellCheckUnderline") << "SpellCheckUnderline" << 7;
    QTest::newRow("unknown") << "Zigzag" << 0;
    QTest::newRow("other case") << "dotline" << 0;
}

void SyntaxStyleTest::underlineStyles()
{
    QFETCH(QString, value);
    QFETCH(int, style);

    QSyntaxStyle scheme;
    QVERIFY(scheme.load(documentOf("<style name=\"U\" underlineStyle=\"" + value
                                   + "\" underlineColor=\"#ff0000\"/>")));
    const QTextCharFormat format = scheme.getFormat("U");
    QVERIFY(format.hasProperty(QTextFormat::TextUnderlineStyle));
    QCOMPARE(int(format.underlineStyle()), style);
    QVERIFY(!format.hasProperty(QTextFormat::TextUnderlineColor));
}

void SyntaxStyleTest::laterDuplicateWins()
{
    QSyntaxStyle scheme;
    QVERIFY(scheme.load(documentOf("<style name=\"K\" foreground=\"#111111\" bold=\"true\"/>"
                                   "<style name=\"K\" foreground=\"#222222\"/>")));
    const QTextCharFormat format = scheme.getFormat("K");
    QCOMPARE(format.foreground().color().name(), QString("#222222"));
    QVERIFY(!format.hasProperty(QTextFormat::FontWeight));
}

void SyntaxStyleTest::namesAreExact()
{
    QSyntaxStyle scheme;
    QVERIFY(scheme.load(documentOf("<style name=\"Text\" foreground=\"#111111\"/>")));
    QVERIFY(scheme.getFormat("text").properties().isEmpty());
    QVERIFY(scheme.getFormat("Missing").properties().isEmpty());
    QVERIFY(scheme.getFormat("").properties().isEmpty());
}

void SyntaxStyleTest::styleWithoutName()
{
    QSyntaxStyle scheme;
    QVERIFY(scheme.load(documentOf("<style foreground=\"#123456\"/>")));
    QCOMPARE(scheme.getFormat("").foreground().color().name(), QString("#123456"));
}

void SyntaxStyleTest::otherRootIsRead()
{
    QSyntaxStyle scheme;
    QVERIFY(scheme.load("<colours><group><style name=\"A\" italic=\"true\"/></group></colours>"));
    QCOMPARE(scheme.name(), QString());
    QVERIFY(scheme.getFormat("A").fontItalic());
}

void SyntaxStyleTest::secondLoadAddsToTheFirst()
{
    QSyntaxStyle scheme;
    QVERIFY(scheme.load(documentOf("<style name=\"A\" foreground=\"#111111\"/>"
                                   "<style name=\"B\" foreground=\"#222222\"/>")));
    QVERIFY(scheme.load("<style-scheme><style name=\"B\" foreground=\"#333333\"/></style-scheme>"));
    QCOMPARE(scheme.name(), QString("Test"));
    QCOMPARE(scheme.getFormat("A").foreground().color().name(), QString("#111111"));
    QCOMPARE(scheme.getFormat("B").foreground().color().name(), QString("#333333"));
}

void SyntaxStyleTest::brokenDocumentKeepsWhatWasRead_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("keepsA");

    QTest::newRow("empty") << "" << false;
    QTest::newRow("truncated")
        << "<style-scheme name=\"Cut\"><style name=\"A\" foreground=\"#111111\"/><style name=\"B\" fore"
        << true;
    QTest::newRow("not well-formed")
        << "<style-scheme name=\"Cut\"><style name=\"A\" foreground=\"#111111\"/></wrong>" << true;
}

void SyntaxStyleTest::brokenDocumentKeepsWhatWasRead()
{
    QFETCH(QString, document);
    QFETCH(bool, keepsA);

    QSyntaxStyle scheme;
    QVERIFY(scheme.load(documentOf("")));
    QVERIFY(scheme.isLoaded());
    QVERIFY(!scheme.load(document));
    QVERIFY(!scheme.isLoaded());
    QCOMPARE(scheme.getFormat("A").hasProperty(QTextFormat::ForegroundBrush), keepsA);
    QVERIFY(scheme.getFormat("B").properties().isEmpty());
}

QTEST_MAIN(SyntaxStyleTest)
#include "syntax_style_test.moc"
