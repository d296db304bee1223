// The bridges in a folder without halvane-kdb: the disassembler warns and
// fails, the emulator reports the missing program and starts nothing.

#include "kolmdisassembler.h"
#include "kolmlocaldebugger.h"
#include "modal_driver.h"
#include "spy_texts.h"
#include "temp_settings.h"

#include <QSignalSpy>
#include <QTest>

class KdbMissingTest : public QObject {
    Q_OBJECT

private slots:
    void disassemblerWarns();
    void emulatorRefuses();
};

void KdbMissingTest::disassemblerWarns()
{
    KolmDisassembler disassembler;
    QSignalSpy finished(&disassembler, &KolmDisassembler::finished);
    ModalDriver modal;
    modal.press(QMessageBox::Ok).press(QMessageBox::Ok);
    disassembler.run(QByteArray(64, '\0'));
    disassembler.run(QStringLiteral("image.kcs"));
    QCOMPARE(modal.seen().size(), 2);
    for (const ModalDriver::Seen &box : modal.seen()) {
        QCOMPARE(box.title, QStringLiteral("Disassembler"));
        QCOMPARE(box.text, QStringLiteral("Local debugger executable is missing"));
    }
    QCOMPARE(finished.count(), 2);
    QCOMPARE(finished.at(1).at(0).toBool(), false);
    QVERIFY(disassembler.result().isEmpty());
}

void KdbMissingTest::emulatorRefuses()
{
    TempSettings settings;
    KolmLocalDebugger debugger;
    QSignalSpy error(&debugger, &KolmLocalDebugger::error);
    QSignalSpy finished(&debugger, &KolmLocalDebugger::finished);
    debugger.start();
    QCOMPARE(spyTexts(error), QStringList{"emulator executable is missing"});
    QCOMPARE(debugger.process()->state(), QProcess::NotRunning);
    QTest::qWait(50);
    QCOMPARE(finished.count(), 0);
}

QTEST_MAIN(KdbMissingTest)
#include "kdb_missing_test.moc"
