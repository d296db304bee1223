#include "qframedtextattribute.h"
#include "qsyntaxstyle.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QtTest>

namespace {

const QChar frameCharacter = QChar::ObjectReplacementCharacter;

QTextCursor selection(QTextDocument& document, int from, int to)
{
    QTextCursor cursor(&document);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    return cursor;
}

} // namespace

class FramedTextAttributeTest : public QObject
{
    Q_OBJECT

private slots:
    void frameGoesInFrontOfTheSelection();
    void clearRestoresTheText_data();
    void clearRestoresTheText();
    void clearKeepsTextTypedBesideAFrame();
    void framesTakeNoRoom();
    void outlineColour_data();
    void outlineColour();
};

void FramedTextAttributeTest::frameGoesInFrontOfTheSelection()
{
    QTextDocument document("a sum b");
    QFramedTextAttribute frames;
    // Selected backwards: the frame still goes in front of the word.
    QTextCursor cursor = selection(document, 5, 2);
    frames.frame(cursor);

    QCOMPARE(document.toPlainText(), QString("a ") + frameCharacter + "sum b");
    QCOMPARE(cursor.selectionStart(), 3);
    QCOMPARE(cursor.selectedText(), QString("sum"));
    const QTextCharFormat format = document.begin().textFormats()[1].format;
    QCOMPARE(format.objectType(), QFramedTextAttribute::type());
    QCOMPARE(format.property(1).toString(), QString("sum"));
    QCOMPARE(QFramedTextAttribute::type(), 101);
}

void FramedTextAttributeTest::clearRestoresTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QVector<int>>("starts");
    QTest::addColumn<int>("length");

    QTest::newRow("several in one line") << "ab ab ab" << QVector<int>{6, 3, 0} << 2;
    QTest::newRow("several lines") << "ab\nx ab\n\nab" << QVector<int>{9, 5, 0} << 2;
    // Two frames of one word in one place: the block keeps them as one range.
    QTest::newRow("neighbouring frames") << "ab cd" << QVector<int>{3, 3, 0} << 2;
}

void FramedTextAttributeTest::clearRestoresTheText()
{
    QFETCH(QString, text);
    QFETCH(QVector<int>, starts);
    QFETCH(int, length);

    QTextDocument document(text);
    QFramedTextAttribute frames;
    // From the end, so the positions before stay valid.
    for (int start : starts)
        frames.frame(selection(document, start, start + length));
    QCOMPARE(document.toPlainText().count(frameCharacter), starts.size());

    frames.clear(QTextCursor(&document));
    QCOMPARE(document.toPlainText(), text);
    frames.clear(QTextCursor(&document));
    QCOMPARE(document.toPlainText(), text);
}

void FramedTextAttributeTest::clearKeepsTextTypedBesideAFrame()
{
    QTextDocument document("ab");
    QFramedTextAttribute frames;
    frames.frame(selection(document, 0, 2));
    // Text typed with the frame character's format joins its range.
    QTextCursor cursor(&document);
    cursor.setPosition(1);
    cursor.setPosition(0, QTextCursor::KeepAnchor);
    cursor.setPosition(1);
    cursor.insertText("xy", document.begin().textFormats().first().format.toCharFormat());
    QCOMPARE(document.toPlainText(), frameCharacter + QString("xyab"));

    frames.clear(QTextCursor(&document));
    QCOMPARE(document.toPlainText(), QString("xyab"));
}

void FramedTextAttributeTest::framesTakeNoRoom()
{
    QFramedTextAttribute frames;
    QTextDocument document;
    QTextCharFormat format;
    format.setObjectType(QFramedTextAttribute::type());
    format.setProperty(1, QString("word"));
    QCOMPARE(frames.intrinsicSize(&document, 0, format), QSizeF(0, 0));
}

void FramedTextAttributeTest::outlineColour_data()
{
    QTest::addColumn<QSyntaxStyle*>("style");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("light") << QSyntaxStyle::defaultStyle() << QColor("#b4b4b4");
    QTest::newRow("dark") << QSyntaxStyle::defaultDarkStyle() << QColor("#f8f8f2");
    QTest::newRow("no scheme") << static_cast<QSyntaxStyle*>(nullptr) << QColor(Qt::black);
}

void FramedTextAttributeTest::outlineColour()
{
    QFETCH(QSyntaxStyle*, style);
    QFETCH(QColor, expected);

    QFramedTextAttribute frames;
    frames.setSyntaxStyle(style);
    QCOMPARE(frames.syntaxStyle(), style);

    QImage image(60, 40, QImage::Format_ARGB32);
    image.fill(QColor(1, 2, 3));
    QPainter painter(&image);
    QTextCharFormat format;
    format.setObjectType(QFramedTextAttribute::type());
    format.setProperty(1, QString("word"));
    // On pixel centres, so the one-pixel outline is drawn in its own colour.
    const QRectF place(10.5, 30.5, 0, 0);
    frames.drawObject(&painter, place, nullptr, 0, format);
    painter.end();

    // The outline spans the text's width from the object's place, its bottom
    // edge 4 pixels below the place.
    const QRect text = QFontMetrics(format.font()).boundingRect("word");
    const int middleX = 10 + text.width() / 2;
    const int middleY = 30 - text.height() / 2 + 4;
    QCOMPARE(image.pixelColor(middleX, 34), expected);
    QCOMPARE(image.pixelColor(10, middleY), expected);
    QCOMPARE(image.pixelColor(10 + text.width(), middleY), expected);
    QCOMPARE(image.pixelColor(middleX, 34 - text.height()), expected);
    QCOMPARE(image.pixelColor(middleX, middleY), QColor(1, 2, 3));
    QCOMPARE(image.pixelColor(middleX, 36), QColor(1, 2, 3));
}

QTEST_MAIN(FramedTextAttributeTest)
#include "framed_text_attribute_test.moc"
