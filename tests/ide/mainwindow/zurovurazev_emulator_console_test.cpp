// The message console against halvane-kdb in emulator mode: the window
// builds a script whose _msg handler echoes every message, the image is
// written to the emulator through the TCP transport, which the window then
// takes as its connection; the script, device core and hardware sections
// then talk to the emulator.

#include "zurovurazev.h"

#include "emulator_process.h"
#include "ide_resources.h"
#include "kolmprojectwindow.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "window_session.h"
#include "turn_updates.h"
#include "ui_zurovurazev.h"
#include "zuhal_packet.h"
#include "zuhal_tcp.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <memory>

namespace {

// The message goes through the board's free RAM.
const QByteArray EchoScript = "var _msg()\n"
                              "{\n"
                              "    var n = MSG.SIZE, buffer = SYS.RAM_FREE_ADDRESS;\n"
                              "    if (n > 32) n = 32;\n"
                              "    memcpy(buffer, &MSG.RX, n);\n"
                              "    memcpy(&MSG.TX, buffer, n);\n"
                              "}\n"
                              "var main()\n"
                              "{\n"
                              "    while (1) { }\n"
                              "}\n";

const QString Identity = QStringLiteral("EMU-PLC (Nov 24 2020) 0.1o");

constexpr int Chunk = 48;

} // namespace

class ZuROVUrazevEmulatorConsoleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void consoleTalksToTheEmulator();

private:
    // One device command on the link before the window takes it: the
    // reply's data after the echoed head, and the replying address.
    bool command(ZuHalTCPMessenger &link, quint8 cmd, quint16 sub, const QByteArray &data, QByteArray *reply,
                 quint16 *source);
    QString logText();
    bool logHas(const QString &line, int timeoutMs = 10000);

    std::unique_ptr<WindowSession> m_session;
    ZuROVUrazev *m_window = nullptr;
};

void ZuROVUrazevEmulatorConsoleTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevEmulatorConsoleTest::cleanup()
{
    m_session.reset();
    m_window = nullptr;
}

bool ZuROVUrazevEmulatorConsoleTest::command(ZuHalTCPMessenger &link, quint8 cmd, quint16 sub,
                                            const QByteArray &data, QByteArray *reply, quint16 *source)
{
    static const ZuHalPacket::Key noKey = {};
    QByteArray payload(1, char(cmd));
    payload.append(char(sub & 0xFF)).append(char(sub >> 8)).append(data);
    ZuHalPacket packet;
    packet.setDstPort(1);
    packet.setSrcPort(2);
    packet.setData(payload, noKey);
    if (!link.send(packet) || (link.queue() == 0 && !link.pollData(10000)))
        return false;
    const ZuHalPacket answer = link.pop();
    if (!answer.data().startsWith(payload.left(3)))
        return false;
    *reply = answer.data().mid(3);
    *source = answer.source();
    return true;
}

QString ZuROVUrazevEmulatorConsoleTest::logText()
{
    m_window->flushLog();
    return m_window->ui->logBrowser->toPlainText();
}

bool ZuROVUrazevEmulatorConsoleTest::logHas(const QString &line, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!logText().split(QLatin1Char('\n')).contains(line)) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(20);
    }
    return true;
}

void ZuROVUrazevEmulatorConsoleTest::consoleTalksToTheEmulator()
{
    m_session = std::make_unique<WindowSession>();
    m_window = m_session->make();
    Ui_ZuROVUrazev *ui = m_window->ui;

    // The window builds the echo script for the emulator's board.
    ProjectFolder folder;
    folder.write(QStringLiteral("main.kos"), EchoScript);
    folder.write(QStringLiteral("Emulator.kbsp"), readBytes(QStringLiteral(KOLM_BSP_DIR "/Emulator.kbsp")));
    folder.json().insert(QStringLiteral("bsp"), QStringLiteral("Emulator.kbsp"));
    delete folder.load();
    m_window->code_open(folder.path(QStringLiteral("demo.kcpro")));
    ui->projectPage->compile();
    const QByteArray image = ui->projectPage->outputBin();
    QVERIFY2(!image.isEmpty(), qPrintable(logText()));
    QVERIFY(ui->msgHalGroup->isEnabled());

    // The image goes to the emulator in 48-byte writes, then it starts.
    EmulatorProcess emulator;
    QVERIFY(emulator.start());
    auto *link = new ZuHalTCPMessenger;
    QSignalSpy up(link, &ZuHalAbstractMessenger::connected);
    QVERIFY(link->open(emulator.address()));
    QVERIFY(!up.isEmpty() || up.wait(10000));
    QByteArray reply;
    quint16 own = 0xFFFF;
    for (int offset = 0; offset < image.size(); offset += Chunk) {
        QVERIFY(command(*link, 0x22, quint16(offset), image.mid(offset, Chunk), &reply, &own));
        QCOMPARE(reply, QByteArray(4, '\0'));
    }
    QVERIFY(command(*link, 0x23, 1, {}, &reply, &own));
    m_window->attachTransport(link, own, own);

    // A script message typed as hex comes back from _msg.
    ui->msgKolmTxDataEdit->setText(QStringLiteral("41 42 43"));
    ui->msgKolmSendButton->click();
    QVERIFY(logHas(QStringLiteral("Packet sent to MC port 0")));
    QVERIFY2(logHas(QStringLiteral("PLC: ABC")), qPrintable(logText() + emulator.log()));
    QTRY_COMPARE(ui->msgKolmRxDataEdit->text(), QStringLiteral("ABC"));

    // The device information: hex by default, then as text.
    ui->msgMcCommandInput->setText(QStringLiteral("1"));
    ui->msgMcParamInput->setText(QStringLiteral("4"));
    ui->msgMcDataInput->clear();
    ui->msgMcSendButton->click();
    QTRY_COMPARE(ui->msgMcDataInput->text(), QString::fromLatin1(Identity.toLatin1().toHex()));
    ui->msgMcAsciiRadio->setChecked(true);
    ui->msgMcDataInput->clear();
    ui->msgMcSendButton->click();
    QTRY_COMPARE(ui->msgMcDataInput->text(), Identity);
    QVERIFY(logText().contains(QStringLiteral("Received reply from the MC core")));

    // A pin's mode: Set, then Get gives the 4-byte value.
    ui->msgHalPeriphCombo->setCurrentText(QStringLiteral("PD12"));
    ui->msgHalRegisterCombo->setCurrentText(QStringLiteral("MODE"));
    QCOMPARE(ui->msgHalRegisterCombo->currentText(), QStringLiteral("MODE"));
    const QString pinLine = QStringLiteral("Received MC/HAL reply from the device with the address 0x403c0008");
    ui->msgHalValueInput->setText(QStringLiteral("1"));
    ui->msgHalSetButton->click();
    QTRY_COMPARE(logText().count(QStringLiteral("HAL SET/WRITE returned ")), 1);
    QVERIFY(logHas(pinLine));
    ui->msgHalGetButton->click();
    QCOMPARE(ui->msgHalValueInput->text(), QString());
    QTRY_COMPARE(ui->msgHalValueInput->text(), QStringLiteral("0x1"));

    // Write bytes to the ring buffer, read the clock as text.
    ui->msgHalPeriphCombo->setCurrentText(QStringLiteral("RING"));
    ui->msgHalRegisterCombo->setCurrentText(QStringLiteral("ALLOC"));
    ui->msgHalValueInput->setText(QStringLiteral("16"));
    ui->msgHalSetButton->click();
    QTRY_COMPARE(logText().count(QStringLiteral("HAL SET/WRITE returned ")), 2);
    ui->msgHalRegisterCombo->setCurrentText(QStringLiteral("BUF"));
    ui->msgHalRegTypeCombo->setCurrentIndex(1);
    ui->msgHalDataEdit->setText(QStringLiteral("01 02 03"));
    ui->msgHalWriteButton->click();
    QTRY_COMPARE(logText().count(QStringLiteral("HAL SET/WRITE returned ")), 3);
    // The three bytes are in the ring.
    ui->msgHalRegisterCombo->setCurrentText(QStringLiteral("COUNT"));
    ui->msgHalRegTypeCombo->setCurrentIndex(0);
    ui->msgHalGetButton->click();
    QTRY_COMPARE(ui->msgHalValueInput->text(), QStringLiteral("0x3"));
    ui->msgHalRegTypeCombo->setCurrentIndex(1);
    ui->msgHalPeriphCombo->setCurrentText(QStringLiteral("TIME"));
    ui->msgHalRegisterCombo->setCurrentText(QStringLiteral("STRING"));
    ui->msgHalAsciiRadio->setChecked(true);
    ui->msgHalDataEdit->clear();
    ui->msgHalReadButton->click();
    QTRY_VERIFY(!ui->msgHalDataEdit->text().isEmpty());
    const QRegularExpression clock(QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d \\d\\d:\\d\\d:\\d\\d$"));
    QVERIFY2(clock.match(ui->msgHalDataEdit->text()).hasMatch(), qPrintable(ui->msgHalDataEdit->text()));
    QVERIFY(!logText().contains(QStringLiteral("did not return any data")));
    QVERIFY(!logText().contains(QStringLiteral("Cannot send")));
}

QTEST_MAIN(ZuROVUrazevEmulatorConsoleTest)
#include "zurovurazev_emulator_console_test.moc"
