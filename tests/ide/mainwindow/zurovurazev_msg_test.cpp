// The main window's message console against the fake transport: the
// packets of the script, device core and hardware sections, the refused
// sends, the replies and how they fill the page, the hex and text modes,
// the board package lists, and a flood of script messages. Keeps the
// picture artefacts/message_console.png.

#include "zurovurazev.h"

#include "fake_connection.h"
#include "ide_resources.h"
#include "page_fixture.h"
#include "qmaterialfont.h"
#include "qnumberinput.h"
#include "qstatuslabel.h"
#include "window_session.h"
#include "turn_updates.h"
#include "ui_zurovurazev.h"
#include "zuhal_packet.h"

#include <QDir>
#include <QJsonValue>
#include <QTest>
#include <QTextBlock>

#include <memory>

namespace {

// The Hal base overlaps the address of peripheral "b", so that an OR and a
// sum of the two differ; "a" has no registers.
const QByteArray Board = R"(<?xml version="1.0" encoding="UTF-8"?>
<Platform name="Console" abi="4">
  <Ram address="0x20000000" size="0x400"/>
  <Rom address="0x08001000"/>
  <Hal address="0x40000000">
    <Peripheral name="b" address="0x40000000">
      <Register name="VALUE" offset="0x04"/>
    </Peripheral>
    <Peripheral name="A" address="0x00100000">
      <Register name="Z" offset="0x00"/>
      <Register name="B" offset="0x08"/>
      <Register name="a" offset="0x0C"/>
    </Peripheral>
    <Peripheral name="a" address="0x00200000"/>
  </Hal>
</Platform>
)";

constexpr quint16 Device = 0x0042;

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

} // namespace

class ZuROVUrazevMsgTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void packetHeader_data();
    void packetHeader();
    void scriptPayload_data();
    void scriptPayload();
    void mcPayload_data();
    void mcPayload();
    void halPayload_data();
    void halPayload();
    void halWithoutBoardPackage();
    void refusedSends_data();
    void refusedSends();
    void getEmptiesTheValueField();

    void halReply_data();
    void halReply();
    void mcReply_data();
    void mcReply();
    void indicatorOnlyWithPageHidden_data();
    void indicatorOnlyWithPageHidden();
    void repliesUpdateFieldsOncePerTurn();
    void pendingReplyDoesNotUndoGet();

    void scriptFieldModes();
    void dataFieldModes();
    void boardPackageLists();
    void noPeripheralsDisablesGroup();

    void scriptMessageFlood();
    void logAppendsInSlices();
    void picture();

private:
    FakeMessenger *attach(quint16 address = Device, quint16 local = Device);
    // Opens a project with the console's board package.
    void openProject(const QByteArray &board = Board);
    QString logText();
    QString lastLogLine();
    QByteArray sentPayload(int index = 0);

    std::unique_ptr<WindowSession> m_session;
    std::unique_ptr<ProjectFolder> m_folder;
    ZuROVUrazev *m_window = nullptr;
    Ui_ZuROVUrazev *ui = nullptr;
    FakeMessenger *m_fake = nullptr;
};

void ZuROVUrazevMsgTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevMsgTest::init()
{
    m_session = std::make_unique<WindowSession>();
    m_window = m_session->make();
    ui = m_window->ui;
    m_fake = nullptr;
}

void ZuROVUrazevMsgTest::cleanup()
{
    m_session.reset();
    m_window = nullptr;
    m_folder.reset();
}

FakeMessenger *ZuROVUrazevMsgTest::attach(quint16 address, quint16 local)
{
    m_fake = connectFake(m_window, address, local);
    return m_fake;
}

void ZuROVUrazevMsgTest::openProject(const QByteArray &board)
{
    m_folder = std::make_unique<ProjectFolder>();
    m_folder->write(QStringLiteral("main.kos"), "var main() { return 0; }\n");
    m_folder->write(QStringLiteral("board.kbsp"), board);
    m_folder->json().insert(QStringLiteral("bsp"), QStringLiteral("board.kbsp"));
    delete m_folder->load();
    m_window->code_open(m_folder->path(QStringLiteral("demo.kcpro")));
    QVERIFY(m_window->ui->projectPage->boardPackage());
}

QString ZuROVUrazevMsgTest::logText()
{
    m_window->flushLog();
    return ui->logBrowser->toPlainText();
}

QString ZuROVUrazevMsgTest::lastLogLine()
{
    m_window->flushLog();
    return ui->logBrowser->document()->lastBlock().text();
}

QByteArray ZuROVUrazevMsgTest::sentPayload(int index)
{
    return m_fake->sent().at(index).data();
}

void ZuROVUrazevMsgTest::packetHeader_data()
{
    QTest::addColumn<quint16>("address");
    QTest::addColumn<quint16>("local");
    QTest::addColumn<quint16>("source");
    QTest::addColumn<int>("section");
    QTest::addColumn<int>("port");
    QTest::newRow("script, attached device") << quint16(Device) << quint16(Device) << quint16(0xFFFF) << 0 << 0;
    QTest::newRow("script, through a relay") << quint16(0x00A1) << quint16(Device) << quint16(Device) << 0 << 0;
    QTest::newRow("MC, attached device") << quint16(Device) << quint16(Device) << quint16(0xFFFF) << 1 << 1;
    QTest::newRow("HAL, through a relay") << quint16(0x00A1) << quint16(Device) << quint16(Device) << 3 << 3;
}

void ZuROVUrazevMsgTest::packetHeader()
{
    QFETCH(quint16, address);
    QFETCH(quint16, local);
    QFETCH(quint16, source);
    QFETCH(int, section);
    QFETCH(int, port);
    attach(address, local);
    ui->msgHalGroup->setEnabled(true);
    // The console goes in clear, whatever the chat's lock says.
    ui->chatCryptTool->setChecked(true);
    ui->msgKolmTxDataEdit->setText(QStringLiteral("41"));
    if (section == 0)
        ui->msgKolmSendButton->click();
    else if (section == 1)
        ui->msgMcSendButton->click();
    else
        ui->msgHalGetButton->click();
    QCOMPARE(m_fake->sent().size(), 1);
    const ZuHalPacket &p = m_fake->sent().first();
    QCOMPARE(uchar(p.serialize()[0]), uchar(0));
    QCOMPARE(int(p.dstPort()), port);
    QCOMPARE(int(p.srcPort()), 2);
    QCOMPARE(p.destination(), address);
    QCOMPARE(p.source(), source);
    QVERIFY(!m_window->msgTimer.isActive());
    QCOMPARE(int(m_window->state), int(ZuROVUrazev::CS_IDLE));
    QCOMPARE(lastLogLine(), QStringLiteral("Packet sent to MC port %1").arg(port));
    QCOMPARE(ui->statusbar->currentMessage(), QStringLiteral("Message sent"));
}

void ZuROVUrazevMsgTest::scriptPayload_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("hex with blanks") << 0 << QStringLiteral("41 42 43") << QByteArray("ABC");
    QTest::newRow("stray characters skipped") << 0 << QStringLiteral("4g1:42") << QByteArray("AB");
    QTest::newRow("empty") << 0 << QString() << QByteArray();
    QTest::newRow("text") << 1 << QStringLiteral("Hi there") << QByteArray("Hi there");
    QTest::newRow("outside Latin-1") << 1 << QStringLiteral("a\u0416b") << QByteArray("a?b");
}

void ZuROVUrazevMsgTest::scriptPayload()
{
    QFETCH(int, mode);
    QFETCH(QString, text);
    QFETCH(QByteArray, payload);
    attach();
    ui->msgKolmTypeCombo->setCurrentIndex(mode);
    ui->msgKolmTxDataEdit->setText(text);
    ui->msgKolmSendButton->click();
    QCOMPARE(m_fake->sent().size(), 1);
    QCOMPARE(sentPayload(), payload);
}

void ZuROVUrazevMsgTest::mcPayload_data()
{
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("0x23/4 with 01 02") << true << QStringLiteral("01 02") << bytes({0x23, 0x04, 0x00, 0x01, 0x02});
    QTest::newRow("no data") << true << QString() << bytes({0x23, 0x04, 0x00});
    QTest::newRow("text data") << false << QStringLiteral("ok") << bytes({0x23, 0x04, 0x00, 'o', 'k'});
}

void ZuROVUrazevMsgTest::mcPayload()
{
    QFETCH(bool, hex);
    QFETCH(QString, data);
    QFETCH(QByteArray, payload);
    attach();
    ui->msgMcCommandInput->setText(QStringLiteral("0x23"));
    ui->msgMcParamInput->setText(QStringLiteral("4"));
    (hex ? ui->msgMcHexRadio : ui->msgMcAsciiRadio)->setChecked(true);
    ui->msgMcDataInput->setText(data);
    ui->msgMcSendButton->click();
    QCOMPARE(m_fake->sent().size(), 1);
    QCOMPARE(sentPayload(), payload);
}

void ZuROVUrazevMsgTest::halPayload_data()
{
    QTest::addColumn<QString>("peripheral");
    QTest::addColumn<QString>("reg");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QByteArray>("payload");
    // b.VALUE: 0x40000000 | 0x40000004, not their sum.
    QTest::newRow("Get, OR of base and register")
        << "b" << "VALUE" << "Get" << QString() << true << bytes({0, 0x04, 0, 0, 0x40});
    QTest::newRow("Set, value little-endian")
        << "A" << "B" << "Set" << "0x01020304" << true << bytes({1, 0x08, 0, 0x10, 0x40, 4, 3, 2, 1});
    QTest::newRow("Read") << "A" << "Z" << "Read" << QString() << true << bytes({2, 0, 0, 0x10, 0x40});
    QTest::newRow("Write hex") << "A" << "a" << "Write" << "0a 0B" << true
                               << bytes({3, 0x0C, 0, 0x10, 0x40, 0x0A, 0x0B});
    QTest::newRow("Send&Receive text") << "A" << "a" << "Send&Receive" << "hi" << false
                                       << bytes({4, 0x0C, 0, 0x10, 0x40, 'h', 'i'});
    QTest::newRow("blank hex Write sends no data") << "A" << "a" << "Write" << "  " << true
                                                   << bytes({3, 0x0C, 0, 0x10, 0x40});
    QTest::newRow("peripheral without registers: the base alone")
        << "a" << QString() << "Read" << QString() << true << bytes({2, 0, 0, 0, 0x40});
}

void ZuROVUrazevMsgTest::halPayload()
{
    QFETCH(QString, peripheral);
    QFETCH(QString, reg);
    QFETCH(QString, button);
    QFETCH(QString, input);
    QFETCH(bool, hex);
    QFETCH(QByteArray, payload);
    openProject();
    attach();
    ui->msgHalPeriphCombo->setCurrentText(peripheral);
    QCOMPARE(ui->msgHalPeriphCombo->currentText(), peripheral);
    ui->msgHalRegisterCombo->setCurrentText(reg);
    QCOMPARE(ui->msgHalRegisterCombo->currentText(), reg);
    (hex ? ui->msgHalHexRadio : ui->msgHalAsciiRadio)->setChecked(true);
    if (button == QLatin1String("Set"))
        ui->msgHalValueInput->setText(input);
    else
        ui->msgHalDataEdit->setText(input);
    QPushButton *const buttons[] = {ui->msgHalGetButton, ui->msgHalSetButton, ui->msgHalReadButton,
                                    ui->msgHalWriteButton, ui->msgHalTransceiveButton};
    bool clicked = false;
    for (QPushButton *b : buttons) {
        if (b->text().remove(QLatin1Char('&')) == QString(button).remove(QLatin1Char('&'))) {
            b->click();
            clicked = true;
        }
    }
    QVERIFY(clicked);
    QCOMPARE(m_fake->sent().size(), 1);
    QCOMPARE(sentPayload().toHex(' '), payload.toHex(' '));
}

void ZuROVUrazevMsgTest::halWithoutBoardPackage()
{
    attach();
    QVERIFY(!ui->msgHalGroup->isEnabled());
    m_window->on_msgHalReadButton_clicked();
    QCOMPARE(m_fake->sent().size(), 1);
    QCOMPARE(sentPayload(), bytes({2, 0, 0, 0, 0}));
}

// Each row: the situation, the button, the error logged; nothing is sent.
void ZuROVUrazevMsgTest::refusedSends_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("error");
    const QString noDevice = QStringLiteral("Cannot send message - no device");
    const QString busy = QStringLiteral("Cannot send message - device busy");
    const QString refused = QStringLiteral("Cannot send message - device not connected");
    const QString empty = QStringLiteral("Cannot send HAL data - data field is empty");
    for (const char *button : {"script", "mc", "get", "set", "read", "write", "transceive"}) {
        QTest::addRow("%s, no device", button) << "none" << button << noDevice;
        QTest::addRow("%s, busy", button) << "busy" << button << busy;
        QTest::addRow("%s, refused", button) << "refused" << button << refused;
    }
    QTest::newRow("empty Write") << "empty" << "write" << empty;
    QTest::newRow("empty Send&Receive") << "empty" << "transceive" << empty;
}

void ZuROVUrazevMsgTest::refusedSends()
{
    QFETCH(QString, situation);
    QFETCH(QString, button);
    QFETCH(QString, error);
    if (situation != QLatin1String("none"))
        attach();
    if (situation == QLatin1String("busy"))
        m_window->state = ZuROVUrazev::CS_GET_INFO;
    if (situation == QLatin1String("refused"))
        m_fake->setRefuseSends(true);
    ui->msgHalDataEdit->setText(situation == QLatin1String("empty") ? QString() : QStringLiteral("01"));
    ui->msgHalGroup->setEnabled(true);
    const QMap<QString, QPushButton *> buttons{
        {"script", ui->msgKolmSendButton}, {"mc", ui->msgMcSendButton},         {"get", ui->msgHalGetButton},
        {"set", ui->msgHalSetButton},      {"read", ui->msgHalReadButton},      {"write", ui->msgHalWriteButton},
        {"transceive", ui->msgHalTransceiveButton}};
    buttons.value(button)->click();
    if (m_fake)
        QVERIFY(m_fake->sent().isEmpty());
    QCOMPARE(lastLogLine(), error);
    QVERIFY(!logText().contains(QStringLiteral("Packet sent")));
    QVERIFY(!m_window->msgTimer.isActive());
}

void ZuROVUrazevMsgTest::getEmptiesTheValueField()
{
    ui->msgHalValueInput->setText(QStringLiteral("17"));
    m_window->on_msgHalGetButton_clicked();
    QCOMPARE(ui->msgHalValueInput->text(), QString());
    QCOMPARE(lastLogLine(), QStringLiteral("Cannot send message - no device"));
}

// Each row: the reply's payload, the HAL radio, the log lines expected in
// order, the value and data fields afterwards (both start as "7").
void ZuROVUrazevMsgTest::halReply_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("data");
    QTest::addColumn<bool>("received");
    const QByteArray head = bytes({0, 0x04, 0x00, 0x10, 0x40});
    auto withCode = [&](int code, const QByteArray &rest) {
        QByteArray p = head;
        p[0] = char(code);
        return p + rest;
    };
    const QString line = QStringLiteral("Received MC/HAL reply from the device with the address 0x40100004");
    QTest::newRow("under 5 bytes") << bytes({0, 1, 2, 3}) << true
                                   << QStringList{"Invalid HAL packet - too short"} << "7" << "7" << false;
    QTest::newRow("GET, 4 bytes, hex") << withCode(0, bytes({0x2A, 0, 0, 0})) << true << QStringList{line}
                                       << "0x2a" << "7" << true;
    QTest::newRow("GET, 4 bytes, decimal") << withCode(0, bytes({0x2A, 0x01, 0, 0})) << false
                                           << QStringList{line} << "298" << "7" << true;
    QTest::newRow("GET, 3 data bytes") << withCode(0, bytes({1, 2, 3})) << true
                                       << QStringList{"Invalid HAL GET packet - wrong size"} << "7" << "7"
                                       << false;
    QTest::newRow("SET result") << withCode(1, bytes({0xFF, 0xFF, 0xFF, 0xFF})) << true
                                << QStringList{"HAL SET/WRITE returned 4294967295 (0xffffffff)", line} << "7"
                                << "7" << true;
    QTest::newRow("WRITE result") << withCode(3, bytes({5, 0, 0, 0})) << true
                                  << QStringList{"HAL SET/WRITE returned 5 (0x00000005)", line} << "7" << "7"
                                  << true;
    QTest::newRow("SET wrong size") << withCode(1, bytes({1, 2})) << true
                                    << QStringList{"HAL SET/WRITE returned an error"} << "7" << "7" << false;
    QTest::newRow("READ empty") << withCode(2, {}) << true
                                << QStringList{"HAL READ did not return any data", line} << "7" << "" << true;
    QTest::newRow("SEND&RECV empty") << withCode(4, {}) << true
                                     << QStringList{"HAL SEND&RECV did not return any data", line} << "7" << ""
                                     << true;
    QTest::newRow("READ, hex") << withCode(2, bytes({0xAB, 0, 0x41})) << true << QStringList{line} << "7"
                               << "ab0041" << true;
    QTest::newRow("SEND&RECV, text up to zero") << withCode(4, bytes({'h', 'i', 0, 'x'})) << false
                                                << QStringList{line} << "7" << "hi" << true;
    QTest::newRow("code 7") << withCode(7, bytes({1})) << true << QStringList{line} << "7" << "7" << true;
}

void ZuROVUrazevMsgTest::halReply()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, hex);
    QFETCH(QStringList, lines);
    QFETCH(QString, value);
    QFETCH(QString, data);
    QFETCH(bool, received);
    attach();
    // HAL replies reach the console in every state, from any sender.
    m_window->state = ZuROVUrazev::CS_GET_CFG;
    (hex ? ui->msgHalHexRadio : ui->msgHalAsciiRadio)->setChecked(true);
    ui->msgHalValueInput->setText(QStringLiteral("7"));
    ui->msgHalDataEdit->setText(QStringLiteral("7"));
    m_window->pagesel_clicked(ZuROVUrazev::T_Script);
    ui->statusbar->clearMessage();
    m_window->logInfo(QStringLiteral("before"));
    QVERIFY(m_fake->inject(FakeMessenger::toHost(3, payload, 0x0099)));
    m_window->consoleUpdates->applyNow();
    const QStringList log = logText().split(QLatin1Char('\n'));
    QCOMPARE(log.mid(log.indexOf(QStringLiteral("before")) + 1), lines);
    QCOMPARE(ui->msgHalValueInput->text(), value);
    QCOMPARE(ui->msgHalDataEdit->text(), data);
    if (received)
        QCOMPARE(ui->statusbar->currentMessage(), QStringLiteral("Reply received"));
    else if (lines.first().startsWith(QLatin1String("HAL SET/WRITE")))
        QCOMPARE(ui->statusbar->currentMessage(), lines.first());
    else
        QCOMPARE(ui->statusbar->currentMessage(), QString());
    QCOMPARE(!m_window->messageStatus->pixmap(Qt::ReturnByValue).isNull(), received);
    QVERIFY(m_fake->sent().isEmpty());
}

void ZuROVUrazevMsgTest::mcReply_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("param");
    QTest::addColumn<QString>("data");
    QTest::newRow("3 bytes empty the data") << bytes({0x20, 0x34, 0x12}) << true << "32" << "4660" << "";
    QTest::newRow("data as hex") << bytes({1, 4, 0, 0x45, 0x4D, 0xFF}) << true << "1" << "4" << "454dff";
    QTest::newRow("data as text to the zero") << bytes({1, 4, 0, 'E', 'M', 0, 'U'}) << false << "1" << "4" << "EM";
}

void ZuROVUrazevMsgTest::mcReply()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, hex);
    QFETCH(QString, command);
    QFETCH(QString, param);
    QFETCH(QString, data);
    attach();
    (hex ? ui->msgMcHexRadio : ui->msgMcAsciiRadio)->setChecked(true);
    ui->msgMcDataInput->setText(QStringLiteral("99"));
    QVERIFY(m_fake->inject(FakeMessenger::toHost(1, payload, Device)));
    m_window->consoleUpdates->applyNow();
    QCOMPARE(ui->msgMcCommandInput->text(), command);
    QCOMPARE(ui->msgMcParamInput->text(), param);
    QCOMPARE(ui->msgMcDataInput->text(), data);
    QCOMPARE(lastLogLine(), QStringLiteral("Received reply from the MC core"));
    QCOMPARE(ui->statusbar->currentMessage(), QStringLiteral("Reply received"));
}

void ZuROVUrazevMsgTest::indicatorOnlyWithPageHidden_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("port");
    QTest::addColumn<bool>("shown");
    QTest::newRow("MC reply, script page") << int(ZuROVUrazev::T_Script) << 1 << true;
    QTest::newRow("MC reply, console shown") << int(ZuROVUrazev::T_Messages) << 1 << false;
    QTest::newRow("HAL reply, chat page") << int(ZuROVUrazev::T_Chat) << 3 << true;
    QTest::newRow("HAL reply, console shown") << int(ZuROVUrazev::T_Messages) << 3 << false;
}

void ZuROVUrazevMsgTest::indicatorOnlyWithPageHidden()
{
    QFETCH(int, page);
    QFETCH(int, port);
    QFETCH(bool, shown);
    attach();
    m_window->pagesel_clicked(page);
    m_window->messageStatus->off();
    // MC 1/0, or a HAL reply of code 7.
    const QByteArray payload = port == 1 ? bytes({1, 0, 0}) : bytes({7, 0, 0, 0, 0});
    QVERIFY(m_fake->inject(FakeMessenger::toHost(uchar(port), payload, Device)));
    QCOMPARE(!m_window->messageStatus->pixmap(Qt::ReturnByValue).isNull(), shown);
    if (shown)
        QCOMPARE(m_window->messageStatus->toolTip(), QStringLiteral("New message"));
}

void ZuROVUrazevMsgTest::repliesUpdateFieldsOncePerTurn()
{
    attach();
    for (int i = 1; i <= 3; ++i) {
        QVERIFY(m_fake->inject(FakeMessenger::toHost(1, bytes({i, i, 0, i}), Device)));
        QVERIFY(m_fake->inject(FakeMessenger::toHost(0, QByteArray("msg ") + QByteArray::number(i), Device)));
    }
    // Nothing yet: the fields change once, at the end of the turn.
    QCOMPARE(ui->msgKolmRxDataEdit->text(), QString());
    QCOMPARE(logText().count(QStringLiteral("Received reply from the MC core")), 3);
    QTRY_COMPARE(ui->msgKolmRxDataEdit->text(), QStringLiteral("msg 3"));
    QCOMPARE(ui->msgMcCommandInput->text(), QStringLiteral("3"));
    QCOMPARE(ui->msgMcDataInput->text(), QStringLiteral("03"));
}

// A reply still waiting for the end of its turn when the user presses Get
// does not fill the field that Get emptied.
void ZuROVUrazevMsgTest::pendingReplyDoesNotUndoGet()
{
    attach();
    QVERIFY(m_fake->inject(FakeMessenger::toHost(3, bytes({0, 0, 0, 0, 0, 9, 0, 0, 0}), Device)));
    m_window->on_msgHalGetButton_clicked();
    QCOMPARE(ui->msgHalValueInput->text(), QString());
    QTest::qWait(20);
    QCOMPARE(ui->msgHalValueInput->text(), QString());
}

void ZuROVUrazevMsgTest::scriptFieldModes()
{
    QCOMPARE(ui->msgKolmTypeCombo->currentIndex(), 0);
    QVERIFY(!ui->msgKolmTxDataEdit->validator());
    ui->msgKolmTxDataEdit->setText(QStringLiteral("41 42 43"));
    ui->msgKolmTypeCombo->setCurrentIndex(1);
    QCOMPARE(ui->msgKolmTxDataEdit->text(), QStringLiteral("ABC"));
    QVERIFY(!ui->msgKolmTxDataEdit->validator());
    ui->msgKolmTypeCombo->setCurrentIndex(0);
    QCOMPARE(ui->msgKolmTxDataEdit->text(), QStringLiteral("414243"));
    QCOMPARE(ui->msgKolmTxDataEdit->validator(), m_window->hexValidator);
    // Text with a zero byte ends there.
    ui->msgKolmTxDataEdit->setText(QStringLiteral("41 00 42"));
    ui->msgKolmTypeCombo->setCurrentIndex(1);
    QCOMPARE(ui->msgKolmTxDataEdit->text(), QStringLiteral("A"));
}

void ZuROVUrazevMsgTest::dataFieldModes()
{
    for (QLineEdit *field : {ui->msgMcDataInput, ui->msgHalDataEdit}) {
        QRadioButton *text = field == ui->msgMcDataInput ? ui->msgMcAsciiRadio : ui->msgHalAsciiRadio;
        QRadioButton *hex = field == ui->msgMcDataInput ? ui->msgMcHexRadio : ui->msgHalHexRadio;
        QVERIFY(hex->isChecked());
        QCOMPARE(field->validator(), m_window->hexValidator);
        QString typed = QStringLiteral("4x");
        int at = 2;
        QCOMPARE(field->validator()->validate(typed, at), QValidator::Invalid);
        field->setText(QStringLiteral("41 42"));
        text->setChecked(true);
        QCOMPARE(field->text(), QStringLiteral("AB"));
        QVERIFY(!field->validator());
        field->setText(QStringLiteral("K\u00e9!"));
        hex->setChecked(true);
        QCOMPARE(field->text(), QStringLiteral("4be921"));
        text->setChecked(true);
        QCOMPARE(field->text(), QStringLiteral("K\u00e9!"));
    }
}

void ZuROVUrazevMsgTest::boardPackageLists()
{
    QVERIFY(!ui->msgHalGroup->isEnabled());
    openProject();
    QVERIFY(ui->msgHalGroup->isEnabled());
    QStringList peripherals;
    for (int i = 0; i < ui->msgHalPeriphCombo->count(); ++i)
        peripherals << ui->msgHalPeriphCombo->itemText(i);
    QCOMPARE(peripherals, (QStringList{"A", "a", "b"}));
    QStringList registers;
    for (int i = 0; i < ui->msgHalRegisterCombo->count(); ++i)
        registers << ui->msgHalRegisterCombo->itemText(i);
    QCOMPARE(registers, (QStringList{"B", "Z", "a"}));
    ui->msgHalPeriphCombo->setCurrentIndex(1);
    QCOMPARE(ui->msgHalRegisterCombo->count(), 0);
    ui->msgHalPeriphCombo->setCurrentIndex(2);
    QCOMPARE(ui->msgHalRegisterCombo->itemText(0), QStringLiteral("VALUE"));
    // Closing the project disables the group and keeps the lists.
    m_window->on_actionClose_Script_triggered();
    QVERIFY(!ui->msgHalGroup->isEnabled());
    QCOMPARE(ui->msgHalPeriphCombo->count(), 3);
}

void ZuROVUrazevMsgTest::noPeripheralsDisablesGroup()
{
    openProject(R"(<?xml version="1.0" encoding="UTF-8"?>
<Platform name="Bare" abi="4"><Ram address="0x20000000" size="0x400"/><Rom address="0x08001000"/>
<Hal address="0x40000000"/></Platform>
)");
    QVERIFY(!ui->msgHalGroup->isEnabled());
    QCOMPARE(ui->msgHalPeriphCombo->count(), 0);
    QCOMPARE(ui->msgHalRegisterCombo->count(), 0);
}

// 10,000 script messages in one burst: every one is logged, the panel keeps
// its newest lines, and the field shows the last message.
void ZuROVUrazevMsgTest::scriptMessageFlood()
{
    attach();
    const int burst = 10000;
    for (int i = 0; i < burst; ++i)
        QVERIFY(m_fake->inject(FakeMessenger::toHost(0, QByteArray("message ") + QByteArray::number(i), Device)));
    QTRY_COMPARE(ui->msgKolmRxDataEdit->text(), QStringLiteral("message 9999"));
    QCOMPARE(lastLogLine(), QStringLiteral("PLC: message 9999"));
    QVERIFY(ui->logBrowser->document()->blockCount() <= ZuROVUrazev::LogLines);
    QVERIFY(ui->logBrowser->document()->blockCount() > burst / 2);
    QVERIFY(m_fake->sent().isEmpty());
}

// A flood of log lines reaches the panel a slice per turn, in order.
void ZuROVUrazevMsgTest::logAppendsInSlices()
{
    const int lines = ZuROVUrazev::LogSlice * 2 + 500;
    for (int i = 0; i < lines; ++i)
        m_window->logInfo(QStringLiteral("line %1").arg(i));
    m_window->flushLog(ZuROVUrazev::LogSlice);
    QCOMPARE(ui->logBrowser->document()->blockCount(), ZuROVUrazev::LogSlice);
    QCOMPARE(ui->logBrowser->document()->lastBlock().text(), QStringLiteral("line %1").arg(ZuROVUrazev::LogSlice - 1));
    QTRY_COMPARE(ui->logBrowser->document()->blockCount(), lines);
    QCOMPARE(ui->logBrowser->document()->lastBlock().text(), QStringLiteral("line %1").arg(lines - 1));
    QCOMPARE(ui->logBrowser->document()->findBlockByNumber(ZuROVUrazev::LogSlice).text(),
             QStringLiteral("line %1").arg(ZuROVUrazev::LogSlice));
}

void ZuROVUrazevMsgTest::picture()
{
    openProject();
    attach();
    m_window->resize(900, 600);
    m_window->pagesel_clicked(ZuROVUrazev::T_Messages);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    ui->msgKolmTxDataEdit->setText(QStringLiteral("41 42 43"));
    ui->msgKolmSendButton->click();
    QVERIFY(m_fake->inject(FakeMessenger::toHost(0, QByteArray("ABC"), Device)));
    QVERIFY(m_fake->inject(FakeMessenger::toHost(1, bytes({1, 4, 0, 'E', 'M', 'U'}), Device)));
    ui->msgHalRegTypeCombo->setCurrentIndex(0);
    QVERIFY(m_fake->inject(FakeMessenger::toHost(3, bytes({0, 0x04, 0, 0, 0x40, 0x2A, 0, 0, 0}), Device)));
    m_window->consoleUpdates->applyNow();
    m_window->flushLog();
    QApplication::processEvents();
    QCOMPARE(ui->msgKolmRxDataEdit->text(), QStringLiteral("ABC"));
    // The HAL row's type combo shows its whole text, and the value field
    // starts right of its arrow.
    QComboBox *type = ui->msgHalRegTypeCombo;
    QVERIFY2(type->width() >= type->sizeHint().width(), qPrintable(QString::number(type->width())));
    QVERIFY(ui->msgHalRegValueStack->geometry().left() > type->geometry().right());
    const QImage image = ui->zumsgPage->grab().toImage();
    QVERIFY(!image.isNull());
    QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR));
    QVERIFY(image.save(QStringLiteral(KOLM_SCREENSHOT_DIR "/message_console.png")));
}

QTEST_MAIN(ZuROVUrazevMsgTest)
#include "zurovurazev_msg_test.moc"
