// The hex byte edit: digits overwritten in place by typing, Backspace,
// Delete and pasting; keys that would insert or remove do nothing.

#include "qhexlineedit.h"

#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QtTest>

class HexLineEditTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithFourDefaultBytes()
    {
        QHexLineEdit edit;
        QCOMPARE(edit.text(), QStringLiteral("FFFFFFFF"));
        QCOMPARE(edit.size(), 4);
        QCOMPARE(edit.defaultValue(), 0xFF);
        edit.setDefaultValue(0x0A);
        QCOMPARE(edit.text(), QStringLiteral("0A0A0A0A"));
        edit.setSize(2);
        QCOMPARE(edit.text(), QStringLiteral("0A0A"));
    }

    void typingAndBackspace()
    {
        QHexLineEdit edit;
        edit.setCursorPosition(0);
        QSignalSpy edits(&edit, &QLineEdit::textEdited);
        QTest::keyClick(&edit, Qt::Key_A);
        QTest::keyClick(&edit, Qt::Key_B);
        QCOMPARE(edit.text(), QStringLiteral("ABFFFFFF"));
        QCOMPARE(edit.cursorPosition(), 2);
        QTest::keyClick(&edit, Qt::Key_Backspace);
        QCOMPARE(edit.text(), QStringLiteral("AFFFFFFF"));
        QCOMPARE(edit.cursorPosition(), 1);
        QCOMPARE(edits.count(), 3);
        QCOMPARE(edits.last().at(0).toString(), QStringLiteral("AFFFFFFF"));
    }

    void keysThatChangeNothing_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("letter G") << 0 << int(Qt::Key_G) << int(Qt::NoModifier);
        QTest::newRow("shifted A") << 0 << int(Qt::Key_A) << int(Qt::ShiftModifier);
        QTest::newRow("space") << 0 << int(Qt::Key_Space) << int(Qt::NoModifier);
        QTest::newRow("digit at the end") << 8 << int(Qt::Key_1) << int(Qt::NoModifier);
        QTest::newRow("delete at the end") << 8 << int(Qt::Key_Delete) << int(Qt::NoModifier);
        QTest::newRow("backspace at the start") << 0 << int(Qt::Key_Backspace) << int(Qt::NoModifier);
        QTest::newRow("cut") << 0 << int(Qt::Key_X) << int(Qt::ControlModifier);
    }

    void keysThatChangeNothing()
    {
        QFETCH(int, position);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QHexLineEdit edit;
        edit.setDefaultValue(0x12);
        edit.setCursorPosition(position);
        if (key == Qt::Key_X)
            edit.selectAll();
        QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(edit.text(), QStringLiteral("12121212"));
    }

    void deleteWritesDefaultDigit()
    {
        QHexLineEdit edit;
        edit.setDefaultValue(0x3C);
        edit.setCursorPosition(2);
        QTest::keyClick(&edit, Qt::Key_Delete);
        QCOMPARE(edit.text(), QStringLiteral("3CCC3C3C"));
        QCOMPARE(edit.cursorPosition(), 3);
    }

    void keypadDigit()
    {
        QHexLineEdit edit;
        edit.setCursorPosition(7);
        QTest::keyClick(&edit, Qt::Key_5, Qt::KeypadModifier);
        QCOMPARE(edit.text(), QStringLiteral("FFFFFFF5"));
    }

    void paste_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("text");
        QTest::newRow("cut at the end") << "123" << 6 << 0 << "FFFFFF12";
        QTest::newRow("lower case") << "ab" << 0 << 0 << "ABFFFFFF";
        QTest::newRow("within the selection") << "123456" << 2 << 3 << "FF123FFF";
        QTest::newRow("not hexadecimal") << "12 34" << 0 << 0 << "FFFFFFFF";
        QTest::newRow("empty") << "" << 0 << 0 << "FFFFFFFF";
    }

    void paste()
    {
        QFETCH(QString, clipboard);
        QFETCH(int, position);
        QFETCH(int, selected);
        QFETCH(QString, text);
        QApplication::clipboard()->setText(clipboard);
        QHexLineEdit edit;
        edit.setSelection(position, selected);
        if (selected == 0)
            edit.setCursorPosition(position);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), text);
    }

    void backspaceAfterPasteAndTyping()
    {
        QApplication::clipboard()->setText(QStringLiteral("123"));
        QHexLineEdit edit;
        edit.setCursorPosition(0);
        QTest::keyClicks(&edit, QStringLiteral("AB"));
        QTest::keyClick(&edit, Qt::Key_Backspace);
        edit.setCursorPosition(6);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), QStringLiteral("AFFFFF12"));
        QCOMPARE(edit.cursorPosition(), 8);
    }

    void readOnlyIgnoresTyping()
    {
        QHexLineEdit edit;
        edit.setReadOnly(true);
        edit.setCursorPosition(0);
        QTest::keyClick(&edit, Qt::Key_1);
        QCOMPARE(edit.text(), QStringLiteral("FFFFFFFF"));
    }
};

QTEST_MAIN(HexLineEditTest)
#include "hex_line_edit_test.moc"
