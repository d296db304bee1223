// The disassembler and emulator bridges with the real halvane-kdb beside
// this test, on a fixture image compiled with debug information.

#include "free_port.h"
#include "kolmdisassembler.h"
#include "kolmlocaldebugger.h"
#include "modal_driver.h"
#include "spy_texts.h"
#include "temp_settings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

constexpr int kWaitMs = 20000;

QByteArray fixtureImage()
{
    QFile file(QStringLiteral(FIXTURE_IMAGE));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class KdbBridgesTest : public QObject {
    Q_OBJECT

private slots:
    void disassemblesImage_data();
    void disassemblesImage();
    void busyRunRefused();
    void deletedInsideBusyBox();
    void emptyBytesFailAtOnce();
    void failedRunEmptiesResult();
    void deletedMidRun();
    void emulatorServesPort();
    void emulatorOnTakenPort();
};

void KdbBridgesTest::disassemblesImage_data()
{
    QTest::addColumn<bool>("fromFile");
    QTest::newRow("bytes on standard input") << false;
    QTest::newRow("file argument") << true;
}

void KdbBridgesTest::disassemblesImage()
{
    QFETCH(bool, fromFile);
    const QByteArray image = fixtureImage();
    QVERIFY(image.size() > 36);
    KolmDisassembler disassembler;
    QSignalSpy finished(&disassembler, &KolmDisassembler::finished);
    QSignalSpy error(&disassembler, &KolmDisassembler::error);
    if (fromFile)
        disassembler.run(QStringLiteral(FIXTURE_IMAGE));
    else
        disassembler.run(image);
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(0).at(0).toBool(), true);
    QCOMPARE(spyTexts(error), QStringList());
    const QJsonObject listing = QJsonDocument::fromJson(disassembler.result()).object();
    QVERIFY(listing.value("text").toArray().size() > 3);
    QVERIFY(listing.value("table").toObject().contains("main"));
    bool symbols = false;
    for (const QJsonValue &extension : listing.value("extensions").toArray()) {
        if (extension.toObject().value("type").toString() == "DS") {
            const QJsonObject data = extension.toObject().value("data").toObject();
            QCOMPARE(data.value("files").toArray(), QJsonArray{"main.kos"});
            symbols = !data.value("debug_loc").toArray().isEmpty();
        }
    }
    QVERIFY(symbols);
}

void KdbBridgesTest::busyRunRefused()
{
    KolmDisassembler disassembler;
    QSignalSpy finished(&disassembler, &KolmDisassembler::finished);
    disassembler.run(fixtureImage());
    {
        ModalDriver modal;
        modal.press(QMessageBox::Ok);
        disassembler.run(fixtureImage());
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().at(0).title, QStringLiteral("Disassembler"));
        QCOMPARE(modal.seen().at(0).text, QStringLiteral("The disassembler process is still running. Please wait"));
        QCOMPARE(modal.unanswered(), 0);
    }
    // The refusal came before run() returned; the first run goes on and
    // succeeds (possibly while the box was open).
    QVERIFY(spyTexts(finished).contains("false"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, kWaitMs);
    QCOMPARE(spyTexts(finished).count("true"), 1);
    QVERIFY(QJsonDocument::fromJson(disassembler.result()).isObject());
}

void KdbBridgesTest::deletedInsideBusyBox()
{
    auto *disassembler = new KolmDisassembler;
    QSignalSpy finished(disassembler, &KolmDisassembler::finished);
    disassembler->run(fixtureImage());
    ModalDriver modal;
    modal.then([&](QWidget *box) {
        delete disassembler;
        qobject_cast<QMessageBox *>(box)->button(QMessageBox::Ok)->click();
    });
    disassembler->run(fixtureImage());
    QCOMPARE(modal.seen().size(), 1);
    QTest::qWait(200);
    // Nothing came from the refused call of a deleted bridge (the first run
    // may have ended while the box was open).
    QVERIFY(!spyTexts(finished).contains("false"));
}

void KdbBridgesTest::emptyBytesFailAtOnce()
{
    // The input is closed although empty: the program refuses it at once
    // instead of waiting for the runner's time limit.
    KolmDisassembler disassembler;
    QSignalSpy finished(&disassembler, &KolmDisassembler::finished);
    QSignalSpy error(&disassembler, &KolmDisassembler::error);
    QElapsedTimer timer;
    timer.start();
    disassembler.run(QByteArray());
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(0).at(0).toBool(), false);
    QVERIFY(timer.elapsed() < kWaitMs);
    QCOMPARE(spyTexts(error), QStringList{"Input is invalid - at least 36 bytes expected"});
}

void KdbBridgesTest::failedRunEmptiesResult()
{
    KolmDisassembler disassembler;
    QSignalSpy finished(&disassembler, &KolmDisassembler::finished);
    disassembler.run(fixtureImage());
    QVERIFY(finished.wait(kWaitMs));
    QVERIFY(!disassembler.result().isEmpty());
    disassembler.run(QByteArray(40, '\xff'));
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(1).at(0).toBool(), false);
    QVERIFY(disassembler.result().isEmpty());
}

void KdbBridgesTest::deletedMidRun()
{
    // The runner goes with its bridge; its thread is joined at once.
    auto *disassembler = new KolmDisassembler;
    QSignalSpy finished(disassembler, &KolmDisassembler::finished);
    disassembler->run(fixtureImage());
    QElapsedTimer timer;
    timer.start();
    delete disassembler;
    QVERIFY(timer.elapsed() < kWaitMs);
    QTest::qWait(100);
    QCOMPARE(finished.count(), 0);
}

void KdbBridgesTest::emulatorServesPort()
{
    TempSettings settings;
    KolmLocalDebugger debugger;
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    // A port taken between the probe and the start ends the child: retried.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const int port = freePort();
        QSettings().setValue(KolmLocalDebugger::PortKey, port);
        debugger.start();
        QCOMPARE(debugger.process()->arguments(),
                 (QStringList{"-e", "-l", "info", "--no-core", "-p", QString::number(port)}));
        QVERIFY(debugger.process()->waitForStarted(kWaitMs));
        QTcpSocket socket;
        for (int i = 0; i < 200 && socket.state() != QAbstractSocket::ConnectedState &&
                        debugger.process()->state() == QProcess::Running;
             ++i) {
            socket.abort();
            socket.connectToHost(QStringLiteral("127.0.0.1"), quint16(port));
            socket.waitForConnected(100);
            if (socket.state() != QAbstractSocket::ConnectedState)
                QTest::qWait(50);
        }
        if (socket.state() == QAbstractSocket::ConnectedState)
            break;
        QVERIFY(debugger.process()->state() != QProcess::Running || finished.wait(kWaitMs));
    }
    QCOMPARE(debugger.process()->state(), QProcess::Running);
    const int before = finished.count();
    debugger.stop(true);
    QCOMPARE(debugger.process()->state(), QProcess::NotRunning);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), before + 1, kWaitMs);
    QCOMPARE(finished.last(), (QList<QVariant>{true, 0}));
}

void KdbBridgesTest::emulatorOnTakenPort()
{
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost));
    TempSettings settings;
    QSettings().setValue(KolmLocalDebugger::PortKey, int(taken.serverPort()));
    KolmLocalDebugger debugger;
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    debugger.start();
    QVERIFY(finished.wait(kWaitMs));
    QCOMPARE(finished.at(0), (QList<QVariant>{true, 0}));
    QVERIFY2(spyTexts(error).contains("Return value: null [crashed]"), qPrintable(spyTexts(error).join('|')));
}

QTEST_MAIN(KdbBridgesTest)
#include "kdb_bridges_test.moc"
