// The directory edit: the error background while the text names no
// directory, a change signal for every keystroke, and the chooser.

#include "qdiredit.h"
#include "qmaterialfont.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

QLineEdit *lineEdit(QDirEdit &edit)
{
    return edit.findChild<QLineEdit *>(QStringLiteral("edit"));
}

bool showsError(QDirEdit &edit)
{
    return lineEdit(edit)->palette().color(QPalette::Active, QPalette::Base) ==
           QMaterialIcon::instance()->color(QMaterialIcon::Error);
}

} // namespace

class DirEditTest : public QObject {
    Q_OBJECT

private slots:
    void emptyTextIsInvalid()
    {
        QDirEdit edit;
        QCOMPARE(edit.text(), QString());
        QVERIFY(!edit.isValid());
        QVERIFY(showsError(edit));
        QVERIFY(!edit.findChild<QToolButton *>(QStringLiteral("selector"))->icon().isNull());
    }

    void typingSignalsEveryStep()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QDirEdit edit;
        QSignalSpy changes(&edit, &QDirEdit::textChanged);
        QTest::keyClicks(lineEdit(edit), dir.path());
        QCOMPARE(changes.count(), dir.path().size());
        QCOMPARE(changes.last().at(0).toString(), dir.path());
        QVERIFY(edit.isValid());
        QVERIFY(!showsError(edit));
        QCOMPARE(lineEdit(edit)->palette().color(QPalette::Base), QGuiApplication::palette().color(QPalette::Base));
        QTest::keyClicks(lineEdit(edit), QStringLiteral("x"));
        QVERIFY(!edit.isValid());
        QVERIFY(showsError(edit));
    }

    void fileIsNoDirectory()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("plain")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        QDirEdit edit;
        edit.setText(file.fileName());
        QVERIFY(!edit.isValid());
        QVERIFY(showsError(edit));
        QCOMPARE(edit.property("text").toString(), file.fileName());
    }

    void cancelledChooserKeepsText()
    {
        QTemporaryDir dir;
        QDirEdit edit;
        edit.setText(dir.path());
        QSignalSpy changes(&edit, &QDirEdit::textChanged);
        bool sawDialog = false;
        QTimer::singleShot(0, [&] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
                sawDialog = dialog->windowTitle() == QStringLiteral("Select directory");
                dialog->reject();
            }
        });
        QTest::mouseClick(edit.findChild<QToolButton *>(QStringLiteral("selector")), Qt::LeftButton);
        QVERIFY(sawDialog);
        QCOMPARE(edit.text(), dir.path());
        QCOMPARE(changes.count(), 0);
    }
};

QTEST_MAIN(DirEditTest)
#include "dir_edit_test.moc"
