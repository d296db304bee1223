// The shared driver of modal windows: boxes, file dialogs of the three
// modes, windows nobody expected, and answers that delete their caller.

#include "modal_driver.h"
#include "temp_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class ModalDriverTest : public QObject
{
    Q_OBJECT

private slots:
    void pressesTheQueuedButtonsInOrder()
    {
        ModalDriver modal;
        modal.press(QMessageBox::No).press(QMessageBox::Yes);
        const auto first = QMessageBox::question(nullptr, QStringLiteral("Save Changes"), QStringLiteral("first?"));
        const auto second = QMessageBox::question(nullptr, QStringLiteral("Other"), QStringLiteral("second?"));
        QCOMPARE(first, QMessageBox::No);
        QCOMPARE(second, QMessageBox::Yes);
        QCOMPARE(modal.seen().size(), 2);
        QCOMPARE(modal.seen().at(0).kind, QStringLiteral("box"));
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Save Changes"));
        QCOMPARE(modal.seen().at(1).text, QStringLiteral("second?"));
        QCOMPARE(modal.unanswered(), 0);
        QCOMPARE(modal.pending(), 0);
    }

    void rejectsAWindowThatFindsNoAnswer()
    {
        ModalDriver modal;
        const auto answer = QMessageBox::warning(nullptr, QStringLiteral("t"), QStringLiteral("unexpected"),
                                                 QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(answer, QMessageBox::Cancel);
        QCOMPARE(modal.unanswered(), 1);

        // A box without the button the test meant to press is rejected too.
        modal.press(QMessageBox::Save);
        QCOMPARE(QMessageBox::question(nullptr, QStringLiteral("t"), QStringLiteral("x")), QMessageBox::No);
        QCOMPARE(modal.unanswered(), 2);
        QCOMPARE(modal.seen().size(), 2);
    }

    // A passed-over window stays open, unrecorded; the box it opens is
    // answered.
    void passesOverChosenWindows()
    {
        ModalDriver modal;
        modal.passOver([](QWidget *w) { return w->windowTitle() == QLatin1String("busy"); });
        modal.press(QMessageBox::Ok);
        QDialog busy;
        busy.setWindowTitle(QStringLiteral("busy"));
        int answer = -1;
        QTimer::singleShot(100, &busy, [&] {
            answer = QMessageBox::information(&busy, QStringLiteral("t"), QStringLiteral("x"));
            busy.accept();
        });
        QCOMPARE(busy.exec(), int(QDialog::Accepted));
        QCOMPARE(answer, int(QMessageBox::Ok));
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().text, QStringLiteral("x"));
        QCOMPARE(modal.unanswered(), 0);
    }

    void answersABoxShownTwice()
    {
        ModalDriver modal;
        modal.press(QMessageBox::Ok).press(QMessageBox::Cancel);
        QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("x"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.exec(), int(QMessageBox::Ok));
        QCOMPARE(box.exec(), int(QMessageBox::Cancel));
        QCOMPARE(modal.seen().size(), 2);
    }

    void choosesFiles_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("open") << 0;
        QTest::newRow("save") << 1;
        QTest::newRow("directory") << 2;
    }

    void choosesFiles()
    {
        QFETCH(int, mode);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        const QString existing = dir.filePath(QStringLiteral("sub/a.kos"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        ModalDriver modal;
        QString chosen;
        switch (mode) {
        case 0:
            modal.chooseFile(existing);
            chosen = QFileDialog::getOpenFileName(nullptr, QStringLiteral("Open"), dir.path());
            QCOMPARE(chosen, existing);
            break;
        case 1: {
            const QString fresh = dir.filePath(QStringLiteral("sub/new.kprj"));
            modal.chooseFile(fresh);
            chosen = QFileDialog::getSaveFileName(nullptr, QStringLiteral("Save"), dir.path());
            QCOMPARE(chosen, fresh);
            break;
        }
        default:
            modal.chooseFile(dir.filePath(QStringLiteral("sub")));
            chosen = QFileDialog::getExistingDirectory(nullptr, QStringLiteral("Folder"), dir.path());
            QCOMPARE(QDir(chosen).canonicalPath(), QDir(dir.filePath(QStringLiteral("sub"))).canonicalPath());
            break;
        }
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().at(0).kind, QStringLiteral("file"));
    }

    // A window that opens inside an answer gets the next answer.
    void answersAWindowOpenedByAnAnswer()
    {
        QTemporaryDir dir;
        const QString existing = dir.filePath(QStringLiteral("a.kos"));
        QFile file(existing);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        ModalDriver modal;
        modal.chooseFile(existing).press(QMessageBox::Yes);
        QCOMPARE(QFileDialog::getSaveFileName(nullptr, QStringLiteral("Save"), dir.path()), existing);
        QCOMPARE(modal.seen().size(), 2);
        QCOMPARE(modal.seen().at(1).kind, QStringLiteral("box"));
        QCOMPARE(modal.unanswered(), 0);
    }

    void cancelsAFileDialog()
    {
        ModalDriver modal;
        modal.cancel();
        QVERIFY(QFileDialog::getOpenFileName(nullptr, QStringLiteral("Open")).isEmpty());
        QCOMPARE(modal.unanswered(), 0);
    }

    // An answer may delete the window it answers: the driver must not
    // touch it afterwards (the sanitizers would see it).
    void anAnswerMayDeleteTheWindow()
    {
        ModalDriver modal;
        modal.then([](QWidget *window) { delete window; });
        auto *box = new QMessageBox(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"));
        QPointer<QMessageBox> watch(box);
        box->open();
        QVERIFY(modal.waitSeen(1));
        QTRY_VERIFY(watch.isNull());
        QTest::qWait(30);
        QCOMPARE(modal.unanswered(), 0);
    }

    void waitSeenRunsTheEventLoopUntilAWindowOpens()
    {
        ModalDriver modal;
        modal.press(QMessageBox::Ok);
        QTimer::singleShot(20, [] { QMessageBox::information(nullptr, QStringLiteral("late"), QStringLiteral("x")); });
        QVERIFY(modal.waitSeen(1));
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("late"));
        QVERIFY(!ModalDriver().waitSeen(1, 50));
    }

    void tempSettingsAreEmptyAndPrivate()
    {
        QString path;
        {
            TempSettings settings;
            QVERIFY(QSettings().allKeys().isEmpty());
            settings.set(QStringLiteral("UI/Language"), QStringLiteral("ru"));
            QCOMPARE(QSettings().value(QStringLiteral("UI/Language")).toString(), QStringLiteral("ru"));
            path = QSettings().fileName();
        }
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(ModalDriverTest)
#include "modal_driver_test.moc"
