// The wait of an export or an import: the work runs on a worker while a
// nested event loop keeps the window alive, and whatever happens inside that
// loop (Cancel, the dialog closed, the window closed or deleted, the
// application quitting) leaves no worker behind and touches no deleted
// window.

#include "kolmpackageprogress.h"
#include "package_run.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPushButton>
#include <QPointer>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

namespace {

enum class During { Nothing, Cancel, Escape, CloseDialog, CloseWindow, DeleteWindow, Quit };

// A bound for the work's waits, so that a fault fails the test instead of
// hanging it.
const qint64 kWaitMs = 20000;

} // namespace

Q_DECLARE_METATYPE(During)

class PackageRunTest : public QObject {
    Q_OBJECT

private slots:
    // A long run shows its progress after a moment.
    void progressShowsAfterAMoment()
    {
        QMainWindow window;
        window.show();
        std::atomic<bool> release{false};
        const auto work = [&](KolmPackageProgress *progress) {
            progress->setTotal(4);
            progress->add(1);
            QElapsedTimer waited;
            waited.start();
            while (!release && !progress->cancelled() && waited.elapsed() < kWaitMs)
                QThread::yieldCurrentThread();
            return true;
        };
        QTimer watch;
        watch.setInterval(20);
        int shownValue = -1;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            auto *dialog = window.findChild<QProgressDialog *>(QStringLiteral("packageProgress"));
            if (dialog && dialog->isVisible() && dialog->value() > 0) {
                shownValue = dialog->value();
                QCOMPARE(dialog->labelText(), QStringLiteral("working"));
                release = true;
            }
        });
        watch.start();
        QVERIFY(runPackageWork(&window, QStringLiteral("working"), work));
        QCOMPARE(shownValue, 250);
    }

    void somethingHappensDuringTheWait_data()
    {
        QTest::addColumn<During>("during");
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("nothing: the work ends by itself") << During::Nothing << false;
        QTest::newRow("Cancel pressed") << During::Cancel << true;
        QTest::newRow("Escape pressed") << During::Escape << true;
        QTest::newRow("the dialog closed") << During::CloseDialog << true;
        QTest::newRow("the window closed: the work goes on") << During::CloseWindow << false;
        QTest::newRow("the window deleted") << During::DeleteWindow << true;
        // Last: after an exit() every event loop ends at once.
        QTest::newRow("the application quits") << During::Quit << true;
    }

    void somethingHappensDuringTheWait()
    {
        QFETCH(During, during);
        QFETCH(bool, cancelled);
        QPointer<QMainWindow> window = new QMainWindow;
        window->show();
        // The work goes on until it is cancelled or the test lets it end.
        std::atomic<bool> release{false};
        std::atomic<bool> sawCancel{false};
        std::atomic<bool> started{false};
        const auto work = [&](KolmPackageProgress *progress) {
            progress->setTotal(2);
            progress->add(1);
            started = true;
            QElapsedTimer waited;
            waited.start();
            while (!progress->cancelled() && !release && waited.elapsed() < kWaitMs)
                QThread::yieldCurrentThread();
            sawCancel = progress->cancelled();
            return !sawCancel;
        };
        // Inside the nested loop, once the worker runs.
        QTimer act;
        act.setInterval(1);
        QObject::connect(&act, &QTimer::timeout, [&] {
            if (!started)
                return;
            act.stop();
            auto *dialog = window->findChild<QProgressDialog *>(QStringLiteral("packageProgress"));
            QVERIFY(dialog);
            switch (during) {
            case During::Nothing:
                release = true;
                break;
            case During::Cancel: {
                auto *button = dialog->findChild<QPushButton *>();
                QVERIFY(button);
                button->click();
                break;
            }
            case During::Escape:
                QTest::keyClick(dialog, Qt::Key_Escape);
                break;
            case During::CloseDialog:
                dialog->close();
                break;
            case During::CloseWindow:
                window->close();
                release = true;
                break;
            case During::DeleteWindow:
                delete window.data();
                break;
            case During::Quit:
                QCoreApplication::exit(0);
                break;
            }
        });
        act.start();
        const bool done = runPackageWork(window, QStringLiteral("working"), work);
        QCOMPARE(done, !cancelled);
        QCOMPARE(bool(sawCancel), cancelled);
        QCOMPARE(window.isNull(), during == During::DeleteWindow);
        if (window)
            QVERIFY(!window->findChild<QProgressDialog *>());
        delete window.data();
    }
};

QTEST_MAIN(PackageRunTest)
#include "package_run_test.moc"
