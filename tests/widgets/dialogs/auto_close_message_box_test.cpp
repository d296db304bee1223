// The auto-closing message box: the countdown on the default button, the
// click at zero, boxes without countdown, early closing, and the static
// functions in their three argument orders.

#include "qautoclosemessagebox.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

void tick(QAutoCloseMessageBox &box)
{
    QMetaObject::invokeMethod(&box, "d_timeout");
}

// Runs check on the box once it is shown modally.
void whenShown(std::function<void(QMessageBox *)> check)
{
    QTimer::singleShot(0, [check] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            check(box);
    });
}

} // namespace

class AutoCloseMessageBoxTest : public QObject {
    Q_OBJECT

private slots:
    void defaultButtonCountsDown()
    {
        QAutoCloseMessageBox box(QMessageBox::Warning, QStringLiteral("t"), QStringLiteral("x"), QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        QSignalSpy timeouts(&box, &QAutoCloseMessageBox::timeoutChanged);
        box.setTimeout(5);
        box.setTimeout(5);
        QCOMPARE(timeouts.count(), 1);
        box.show();
        QCOMPARE(box.defaultButton()->text(), QStringLiteral("OK (5)"));
        tick(box);
        QCOMPARE(box.defaultButton()->text(), QStringLiteral("OK (4)"));
        QSignalSpy finished(&box, &QDialog::finished);
        for (int i = 0; i < 4; ++i)
            tick(box);
        QVERIFY(finished.wait(1000));
        QCOMPARE(box.standardButton(box.clickedButton()), QMessageBox::Ok);
        QCOMPARE(box.defaultButton()->text(), QStringLiteral("OK"));
    }

    void zeroTimeoutIsAPlainBox()
    {
        QAutoCloseMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("x"),
                                 QMessageBox::Ok);
        box.setDefaultButton(QMessageBox::Ok);
        box.show();
        tick(box);
        QCOMPARE(box.defaultButton()->text(), QStringLiteral("OK"));
        QVERIFY(box.isVisible());
        box.close();
    }

    void closingEarlyStopsTheCountdown()
    {
        QAutoCloseMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("x"),
                                 QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        box.setTimeout(1);
        QSignalSpy finished(&box, &QDialog::finished);
        box.show();
        box.button(QMessageBox::No)->click();
        QCOMPARE(finished.count(), 1);
        QTest::qWait(1300);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(box.standardButton(box.clickedButton()), QMessageBox::No);
    }

    void staticWarningAnswersItselfAfterTheTimeout()
    {
        QString label;
        whenShown([&](QMessageBox *box) { label = box->defaultButton()->text(); });
        QElapsedTimer clock;
        clock.start();
        const auto answer = QAutoCloseMessageBox::warning(1, nullptr, QStringLiteral("Title"),
                                                          QStringLiteral("Text"), QMessageBox::Ok);
        QCOMPARE(answer, QMessageBox::Ok);
        QCOMPARE(label, QStringLiteral("OK (1)"));
        QVERIFY(clock.elapsed() >= 900);
    }

    void staticCountsDownOnTheNamedDefault()
    {
        QString label;
        whenShown([&](QMessageBox *box) {
            label = box->defaultButton()->text();
            QMetaObject::invokeMethod(box, "d_timeout");
            QMetaObject::invokeMethod(box, "d_timeout");
        });
        const auto answer = QAutoCloseMessageBox::question(nullptr, QStringLiteral("Title"), QStringLiteral("Text"),
                                                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No, 2);
        QCOMPARE(label, QStringLiteral("&No (2)"));
        QCOMPARE(answer, QMessageBox::No);
    }

    void staticWithoutTimeoutReturnsTheClickedButton()
    {
        QString title;
        whenShown([&](QMessageBox *box) {
            title = box->windowTitle();
            box->button(QMessageBox::Retry)->click();
        });
        QWidget parent;
        parent.setWindowTitle(QStringLiteral("Firmware Update"));
        const auto answer = QAutoCloseMessageBox::critical(&parent, QStringLiteral("Text"), 0, QString(),
                                                           QMessageBox::Retry | QMessageBox::Abort);
        QCOMPARE(answer, QMessageBox::Retry);
        QCOMPARE(title, QStringLiteral("Firmware Update"));
    }
};

QTEST_MAIN(AutoCloseMessageBoxTest)
#include "auto_close_message_box_test.moc"
