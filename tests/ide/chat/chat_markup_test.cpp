// The rich text of a chat message: line breaks, links and, for text from
// the network, escaping.

#include "chat_markup.h"

#include <QtTest>

class ChatMarkupTest : public QObject
{
    Q_OBJECT

private slots:
    void markup_data();
    void markup();
    void manyLinksInOneLongLine();
    void oddInputNeverLeavesATag_data();
    void oddInputNeverLeavesATag();
};

void ChatMarkupTest::markup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("escape");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << "hello" << true << "hello";
    QTest::newRow("empty") << "" << true << "";
    QTest::newRow("line feed") << "a\nb" << false << "a<br>b";
    QTest::newRow("crlf") << "a\r\nb" << false << "a<br>b";
    QTest::newRow("lone cr kept") << "a\rb" << false << "a\rb";
    QTest::newRow("trailing feed") << "a\n" << false << "a<br>";
    QTest::newRow("link to the space")
        << "see http://x.org/a b" << false << "see <a href=\"http://x.org/a\">http://x.org/a</a> b";
    QTest::newRow("link to the end")
        << "https://x" << false << "<a href=\"https://x\">https://x</a>";
    QTest::newRow("ftp and file")
        << "ftp://a file://b" << false
        << "<a href=\"ftp://a\">ftp://a</a> <a href=\"file://b\">file://b</a>";
    QTest::newRow("upper-case scheme not linked") << "HTTP://x Https://y" << false << "HTTP://x Https://y";
    QTest::newRow("unknown scheme") << "gopher://x" << false << "gopher://x";
    QTest::newRow("scheme alone") << "http://" << false << "<a href=\"http://\">http://</a>";
    QTest::newRow("link ends at a line break")
        << "http://a\nnext" << false << "<a href=\"http://a\">http://a</a><br>next";
    QTest::newRow("typed markup takes effect") << "<b>bold</b>" << false << "<b>bold</b>";
    QTest::newRow("received markup shown as text")
        << "<img src=\"x.png\">" << true << "&lt;img src=&quot;x.png&quot;&gt;";
    QTest::newRow("received ampersand") << "a & b" << true << "a &amp; b";
    QTest::newRow("received link with markup in it")
        << "http://a/?q=<b>&x=\"y\" z" << true
        << "<a href=\"http://a/?q=&lt;b&gt;&amp;x=&quot;y&quot;\">http://a/?q=&lt;b&gt;&amp;x=&quot;y&quot;</a> z";
    QTest::newRow("typed quote cannot end the address")
        << "http://a\"onclick=x" << false
        << "<a href=\"http://a&quot;onclick=x\">http://a\"onclick=x</a>";
    QTest::newRow("placeholder-like text kept") << "http://%1 %2" << true
        << "<a href=\"http://%1\">http://%1</a> %2";
}

void ChatMarkupTest::markup()
{
    QFETCH(QString, text);
    QFETCH(bool, escape);
    QFETCH(QString, expected);
    QCOMPARE(chat_messageMarkup(text, escape), expected);
}

void ChatMarkupTest::manyLinksInOneLongLine()
{
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += QStringLiteral("http://h%1 ").arg(i);
    const QString html = chat_messageMarkup(text, true);
    QCOMPARE(html.count(QStringLiteral("<a href=")), 20000);
    QVERIFY(html.endsWith(QStringLiteral("<a href=\"http://h19999\">http://h19999</a> ")));
}

void ChatMarkupTest::oddInputNeverLeavesATag_data()
{
    QTest::addColumn<QByteArray>("payload");
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i)
        allBytes += char(i);
    QTest::newRow("every byte") << allBytes;
    QTest::newRow("broken utf-8") << QByteArray("\xC3<\xE2\x82<script>\xF0\x9F\x98");
    QTest::newRow("nested angle brackets") << QByteArray(1000, '<');
    QTest::newRow("64 KB") << QByteArray(65536, '>').replace(100, 7, "http://");
}

// Whatever a device sends, the only tags in the result are ours.
void ChatMarkupTest::oddInputNeverLeavesATag()
{
    QFETCH(QByteArray, payload);
    QString html = chat_messageMarkup(QString::fromUtf8(payload), true);
    html.remove(QRegularExpression(QStringLiteral("<a href=\"[^\"<>]*\">|</a>|<br>")));
    QVERIFY(!html.contains(QLatin1Char('<')));
    QVERIFY(!html.contains(QLatin1Char('>')));
    QVERIFY(!html.contains(QLatin1Char('"')));
}

QTEST_APPLESS_MAIN(ChatMarkupTest)
#include "chat_markup_test.moc"
