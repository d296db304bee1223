// The tool line edit: the button that comes and goes with the mouse, its
// three actions, the kept right margin, the mode without a button, and
// drops.

#include "qtoollineedit.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QToolButton *button(QToolLineEdit &edit)
{
    return edit.findChild<QToolButton *>();
}

void enter(QWidget *widget)
{
    QEvent event(QEvent::Enter);
    QCoreApplication::sendEvent(widget, &event);
}

void leave(QWidget *widget)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &event);
}

// Drags the data over the edit and drops it there; true when the edit took
// the drag.
bool drop(QToolLineEdit &edit, QMimeData *data)
{
    const QPoint at(5, 5);
    QDragEnterEvent dragEnter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&edit, &dragEnter);
    if (!dragEnter.isAccepted())
        return false;
    QDropEvent dropEvent(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&edit, &dropEvent);
    return dropEvent.isAccepted();
}

} // namespace

class ToolLineEditTest : public QObject {
    Q_OBJECT

private slots:
    void buttonShownOnlyWhileMouseIsOver()
    {
        QToolLineEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QVERIFY(!button(edit)->isVisible());
        enter(&edit);
        QVERIFY(button(edit)->isVisible());
        leave(&edit);
        QVERIFY(!button(edit)->isVisible());
    }

    void buttonSitsInTheKeptRightMargin()
    {
        QToolLineEdit edit;
        edit.resize(200, 40);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QCOMPARE(edit.textMargins(), QMargins(0, 0, 26, 0));
        QCOMPARE(button(edit)->geometry(), QRect(174, 7, 26, 26));
        QVERIFY(edit.minimumHeight() >= 26);
        QCOMPARE(button(edit)->iconSize(), QSize(22, 22));
    }

    void actions_data()
    {
        QTest::addColumn<QToolLineEdit::Actions>("action");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<QString>("text");
        QTest::newRow("clear") << QToolLineEdit::Clear << "Clear" << "";
        QTest::newRow("paste") << QToolLineEdit::Paste << "Paste" << "abcpasted";
    }

    void actions()
    {
        QFETCH(QToolLineEdit::Actions, action);
        QFETCH(QString, toolTip);
        QFETCH(QString, text);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QToolLineEdit edit(nullptr, action);
        QCOMPARE(button(edit)->toolTip(), toolTip);
        QVERIFY(!button(edit)->icon().isNull());
        QTest::keyClicks(&edit, QStringLiteral("abc"));
        button(edit)->click();
        QCOMPARE(edit.text(), text);
    }

    void settingTheActionTwiceLeavesOneConnection()
    {
        QApplication::clipboard()->setText(QStringLiteral("x"));
        QToolLineEdit edit;
        edit.setAction(QToolLineEdit::Paste);
        edit.setAction(QToolLineEdit::Paste);
        button(edit)->click();
        QCOMPARE(edit.text(), QStringLiteral("x"));
    }

    void openWithCancelledDialogKeepsText()
    {
        QToolLineEdit edit(nullptr, QToolLineEdit::Open);
        edit.setText(QStringLiteral("kept"));
        QCOMPARE(button(edit)->toolTip(), QStringLiteral("Open"));
        bool sawDialog = false;
        QTimer::singleShot(0, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                sawDialog = dialog->windowTitle() == QStringLiteral("Select File");
                dialog->reject();
            }
        });
        button(edit)->click();
        QVERIFY(sawDialog);
        QCOMPARE(edit.text(), QStringLiteral("kept"));
    }

    void withoutActionNoButtonAndNoMargin()
    {
        QToolLineEdit edit(nullptr, QToolLineEdit::NoAction);
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QCOMPARE(edit.textMargins(), QMargins());
        enter(&edit);
        QVERIFY(!button(edit)->isVisible());
        edit.setAction(QToolLineEdit::Clear);
        QCOMPARE(edit.textMargins(), QMargins(0, 0, 26, 0));
        enter(&edit);
        QVERIFY(button(edit)->isVisible());
    }

    void drops_data()
    {
        QTest::addColumn<bool>("hasText");
        QTest::addColumn<QString>("dropped");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("text");
        QTest::newRow("text") << true << "dropped" << true << "dropped";
        QTest::newRow("empty text") << true << "" << true << "old";
        QTest::newRow("no text") << false << "" << false << "old";
    }

    void drops()
    {
        QFETCH(bool, hasText);
        QFETCH(QString, dropped);
        QFETCH(bool, accepted);
        QFETCH(QString, text);
        QToolLineEdit edit;
        edit.setText(QStringLiteral("old"));
        QMimeData data;
        if (hasText)
            data.setText(dropped);
        else
            data.setData(QStringLiteral("application/octet-stream"), QByteArray("\x01\x02"));
        QCOMPARE(drop(edit, &data), accepted);
        QCOMPARE(edit.text(), text);
    }
};

QTEST_MAIN(ToolLineEditTest)
#include "tool_line_edit_test.moc"
