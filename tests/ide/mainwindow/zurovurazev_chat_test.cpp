// The main window's chat page against the fake transport: the packets it
// sends, the acknowledgements it sends and takes, the bubbles, the reply
// tool, the saved conversation and a flood of received messages, kept up
// to the conversation's bound. Keeps the
// picture artefacts/chat_page.png with every bubble state.

#include "zurovurazev.h"

#include "chat_feed.h"
#include "chatadvancedform.h"
#include "fake_connection.h"
#include "ide_resources.h"
#include "modal_driver.h"
#include "file_bytes.h"
#include "file_size_limit.h"
#include "qchatlabel.h"
#include "qfoldwidget.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "qtoollineedit.h"
#include "window_session.h"
#include "ui_zurovurazev.h"
#include "zuhal_packet.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr quint16 Local = 0x0042;
constexpr quint16 Peer = 0x0077;

QByteArray ackPayload(quint16 checksum)
{
    QByteArray ack("\xFF\xFE", 2);
    ack.append(char(checksum & 0xFF));
    ack.append(char(checksum >> 8));
    return ack;
}

quint16 crc(const QByteArray &bytes)
{
    return qChecksum(bytes.constData(), uint(bytes.size()));
}

// A chat message or acknowledgement from `source` to the window.
ZuHalPacket chatPacket(const QByteArray &payload, quint16 source = Peer, quint16 destination = Local,
                       uchar srcPort = 2)
{
    return FakeMessenger::toHost(srcPort, payload, source, destination);
}

} // namespace

class ZuROVUrazevChatTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void pageSetUp();
    void sentPacket_data();
    void sentPacket();
    void encryptedSizeLimit_data();
    void encryptedSizeLimit();
    void refusedSend_data();
    void refusedSend();

    void acknowledgement_data();
    void acknowledgement();
    void acknowledgementIsNeverShown();
    void olderOfTwoEqualPendingIsDelivered();
    void pendingThenNotDeliveredThenLateAck();
    void hexMessageDeliveredByItsBytes();
    void advancedPort_data();
    void advancedPort();
    void receivedMarkupShowsAsText();

    void replyTool_data();
    void replyTool();
    void clearDropsQueuedBubbles();

    void saveEmptyConversation();
    void saveFileName_data();
    void saveFileName();
    void saveCancelled();
    void failedSaveKeepsOldFile();
    void windowDeletedInDialog_data();
    void windowDeletedInDialog();

    void burstOfMessages();
    void floodKeepsNewest();
    void picture();

private:
    FakeMessenger *attach();
    QList<QChatLabel *> bubbles();
    void send(const QString &text, const QString &address = QStringLiteral("0x77"));

    std::unique_ptr<WindowSession> m_session;
    QPointer<ZuROVUrazev> m_window;
    Ui_ZuROVUrazev *ui = nullptr;
    FakeMessenger *m_fake = nullptr;
};

void ZuROVUrazevChatTest::initTestCase()
{
    initIdeResources();
    QMaterialIcon::instance()->setDefaultColors(false);
}

void ZuROVUrazevChatTest::init()
{
    m_session = std::make_unique<WindowSession>();
    m_window = m_session->make();
    ui = m_window->ui;
    m_fake = nullptr;
}

void ZuROVUrazevChatTest::cleanup()
{
    m_session.reset();
    QChatLabel::setDeliveryInterval(5000);
    QChatLabel::setClock({});
}

FakeMessenger *ZuROVUrazevChatTest::attach()
{
    m_fake = connectFake(m_window, 0x0001, Local, QStringLiteral("network"));
    return m_fake;
}

QList<QChatLabel *> ZuROVUrazevChatTest::bubbles()
{
    m_window->chatFeed->flush();
    QList<QChatLabel *> found;
    for (int i = 0; i < ui->chatBrowser->count(); ++i)
        found << qobject_cast<QChatLabel *>(ui->chatBrowser->itemWidget(ui->chatBrowser->item(i)));
    return found;
}

void ZuROVUrazevChatTest::send(const QString &text, const QString &address)
{
    ui->chatAddressEdit->setText(address);
    ui->chatMsgEdit->setText(text);
    ui->chatSendTool->click();
}

void ZuROVUrazevChatTest::pageSetUp()
{
    for (QToolLineEdit *edit : {ui->chatAddressEdit, ui->chatMsgEdit}) {
        // No embedded button: the edit's whole width is text.
        for (QToolButton *button : edit->findChildren<QToolButton *>())
            QVERIFY(!button->isVisibleTo(edit));
    }
    QVERIFY(m_window->chatAdvancedForm);
    QCOMPARE(m_window->chatAdvancedForm->parentWidget()->parentWidget(), ui->chatAdvancedGroup);
    QVERIFY(!ui->chatAdvancedGroup->isChecked());
    QCOMPARE(ui->chatAdvancedGroup->title(), QStringLiteral("Advanced"));
    // Return in the message field sends.
    attach();
    ui->chatAddressEdit->setText(QStringLiteral("all"));
    ui->chatMsgEdit->setText(QStringLiteral("by return"));
    emit ui->chatMsgEdit->returnPressed();
    QCOMPARE(m_fake->sent().size(), 1);
}

// Each row: address text, lock, Advanced (source port, destination port,
// hex), message; the packet's destination, ports and payload; the bubble's
// text and state.
void ZuROVUrazevChatTest::sentPacket_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("crypt");
    QTest::addColumn<bool>("advanced");
    QTest::addColumn<int>("srcPort");
    QTest::addColumn<int>("dstPort");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<QString>("message");
    QTest::addColumn<quint16>("destination");
    QTest::addColumn<int>("sentSrcPort");
    QTest::addColumn<int>("sentDstPort");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QString>("bubbleText");
    QTest::addColumn<int>("delivery");
    const int pending = QChatLabel::Pending;
    const int delivered = QChatLabel::Delivered;
    QTest::newRow("hex address, port 2") << "0x77" << false << false << 0 << 0 << false << "hello" << quint16(Peer)
                                         << 2 << 2 << QByteArray("hello") << "hello" << pending;
    QTest::newRow("all: broadcast") << "all" << false << false << 0 << 0 << false << "hi all" << quint16(0xFFFF) << 2
                                    << 2 << QByteArray("hi all") << "hi all" << delivered;
    QTest::newRow("decimal address, enciphered") << "119" << true << false << 0 << 0 << false << "secret"
                                                 << quint16(Peer) << 2 << 2 << QByteArray("secret") << "secret"
                                                 << pending;
    QTest::newRow("UTF-8 text") << "77h" << false << false << 0 << 0 << false << "\u00e9t\u00e9" << quint16(Peer)
                                << 2 << 2 << QString("\u00e9t\u00e9").toUtf8() << "\u00e9t\u00e9" << pending;
    QTest::newRow("Advanced ports 5 to 7") << "0x77" << false << true << 5 << 7 << false << "raw" << quint16(Peer)
                                           << 5 << 7 << QByteArray("raw") << "raw" << delivered;
    QTest::newRow("Advanced hex 48 69") << "0x77" << false << true << 2 << 2 << true << "48 69" << quint16(Peer)
                                        << 2 << 2 << QByteArray("Hi") << "Binary data" << pending;
    QTest::newRow("hex unticked without Advanced") << "0x77" << false << false << 5 << 7 << true << "48 69"
                                                   << quint16(Peer) << 2 << 2 << QByteArray("48 69") << "48 69"
                                                   << pending;
}

void ZuROVUrazevChatTest::sentPacket()
{
    QFETCH(QString, address);
    QFETCH(bool, crypt);
    QFETCH(bool, advanced);
    QFETCH(int, srcPort);
    QFETCH(int, dstPort);
    QFETCH(bool, hex);
    QFETCH(QString, message);
    QFETCH(quint16, destination);
    QFETCH(int, sentSrcPort);
    QFETCH(int, sentDstPort);
    QFETCH(QByteArray, payload);
    QFETCH(QString, bubbleText);
    QFETCH(int, delivery);
    attach();
    ui->chatCryptTool->setChecked(crypt);
    if (advanced)
        ui->chatAdvancedGroup->findChild<QCheckBox *>()->click();
    QCOMPARE(ui->chatAdvancedGroup->isChecked(), advanced);
    m_window->chatAdvancedForm->findChild<QSpinBox *>(QStringLiteral("msgSrcPort"))->setValue(srcPort);
    m_window->chatAdvancedForm->findChild<QSpinBox *>(QStringLiteral("msgDestPort"))->setValue(dstPort);
    m_window->chatAdvancedForm->findChild<QCheckBox *>(QStringLiteral("msgHexCheck"))->setChecked(hex);
    send(message, address);

    QCOMPARE(m_fake->sent().size(), 1);
    ZuHalPacket p = m_fake->sent().first();
    QCOMPARE(p.destination(), destination);
    QCOMPARE(p.source(), Local);
    QCOMPARE(int(p.srcPort()), sentSrcPort);
    QCOMPARE(int(p.dstPort()), sentDstPort);
    QCOMPARE(p.isEncrypted(), crypt);
    if (crypt) {
        QVERIFY(p.data() != payload);
        p.decrypt(m_window->key);
    }
    QCOMPARE(p.data(), payload);
    // No reply timer for chat, the field is emptied, one bubble.
    QVERIFY(!m_window->msgTimer.isActive());
    QCOMPARE(ui->chatMsgEdit->text(), QString());
    const QList<QChatLabel *> shown = bubbles();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first()->text(), bubbleText);
    QCOMPARE(int(shown.first()->delivery()), delivery);
    QCOMPARE(shown.first()->address(), destination);
}

void ZuROVUrazevChatTest::encryptedSizeLimit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("sent");
    QTest::newRow("58 bytes") << 58 << true;
    QTest::newRow("59 bytes") << 59 << false;
}

void ZuROVUrazevChatTest::encryptedSizeLimit()
{
    QFETCH(int, size);
    QFETCH(bool, sent);
    attach();
    ui->chatCryptTool->setChecked(true);
    ModalDriver modal;
    const QString text(size, QLatin1Char('m'));
    send(text);
    QCOMPARE(m_fake->sent().size(), sent ? 1 : 0);
    if (sent) {
        ZuHalPacket p = m_fake->sent().first();
        QVERIFY(p.isEncrypted());
        p.decrypt(m_window->key);
        QCOMPARE(p.data(), text.toLatin1());
        QVERIFY(modal.seen().isEmpty());
    } else {
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, QStringLiteral("Chat"));
        QCOMPARE(modal.seen().first().text, QStringLiteral("Message is too big to be encrypted"));
        QCOMPARE(ui->chatMsgEdit->text(), text);
        QVERIFY(bubbles().isEmpty());
    }
}

// Each row: the situation, the message, the address; the box or status
// text expected (none for a silent refusal). Nothing is sent, no bubble is
// added and the text stays.
void ZuROVUrazevChatTest::refusedSend_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("status");
    QTest::newRow("empty message") << "" << "" << "0x77" << "" << "";
    QTest::newRow("no device") << "none" << "hi" << "0x77" << "" << "";
    QTest::newRow("hex without digits") << "hex" << "zz" << "0x77" << "" << "Cannot convert message from hex";
    QTest::newRow("empty address") << "" << "hi" << "" << "Address  is invalid" << "";
    QTest::newRow("address over 16 bits") << "" << "hi" << "70000" << "Address 70000 is invalid" << "";
    QTest::newRow("transport refuses") << "refused" << "hi" << "0x77" << "Cannot send\nhi" << "";
}

void ZuROVUrazevChatTest::refusedSend()
{
    QFETCH(QString, situation);
    QFETCH(QString, message);
    QFETCH(QString, address);
    QFETCH(QString, box);
    QFETCH(QString, status);
    if (situation != QLatin1String("none"))
        attach();
    if (situation == QLatin1String("refused"))
        m_fake->setRefuseSends(true);
    if (situation == QLatin1String("hex")) {
        ui->chatAdvancedGroup->findChild<QCheckBox *>()->click();
        m_window->chatAdvancedForm->findChild<QCheckBox *>(QStringLiteral("msgHexCheck"))->setChecked(true);
    }
    ModalDriver modal;
    modal.press(QMessageBox::Ok);
    send(message, address);
    if (m_fake)
        QVERIFY(m_fake->sent().isEmpty());
    QCOMPARE(ui->chatMsgEdit->text(), message);
    QVERIFY(bubbles().isEmpty());
    if (box.isEmpty()) {
        QVERIFY(modal.seen().isEmpty());
    } else {
        QCOMPARE(modal.seen().size(), 1);
        QCOMPARE(modal.seen().first().title, QStringLiteral("Chat"));
        QCOMPARE(modal.seen().first().text, box);
    }
    QCOMPARE(ui->statusbar->currentMessage(), status);
}

// Each row: a received message and its header; whether it is acknowledged
// and the acknowledgement's checksum; the bubble's text.
void ZuROVUrazevChatTest::acknowledgement_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<quint16>("destination");
    QTest::addColumn<bool>("acked");
    QTest::addColumn<quint16>("checksum");
    QTest::addColumn<QString>("text");
    QTest::newRow("123456789") << QByteArray("123456789") << quint16(Local) << true << quint16(0x906E)
                               << "123456789";
    QTest::newRow("empty") << QByteArray() << quint16(Local) << true << quint16(0) << "";
    QTest::newRow("zero byte: text to it, checksum of all")
        << QByteArray("ab\0cd", 5) << quint16(Local) << true << crc(QByteArray("ab\0cd", 5)) << "ab";
    QTest::newRow("broadcast: not acknowledged") << QByteArray("to all") << quint16(0xFFFF) << false << quint16(0)
                                                 << "to all";
    QTest::newRow("three bytes FF FE 00 is a message") << QByteArray("\xFF\xFE\x00", 3) << quint16(Local) << true
                                                       << crc(QByteArray("\xFF\xFE\x00", 3)) << "\ufffd\ufffd";
}

void ZuROVUrazevChatTest::acknowledgement()
{
    QFETCH(QByteArray, payload);
    QFETCH(quint16, destination);
    QFETCH(bool, acked);
    QFETCH(quint16, checksum);
    QFETCH(QString, text);
    attach();
    ZuHalPacket message = chatPacket(payload, Peer, destination);
    message.setSequence(5);
    QVERIFY(m_fake->inject(message));
    QCOMPARE(m_fake->sent().size(), acked ? 1 : 0);
    if (acked) {
        const ZuHalPacket &ack = m_fake->sent().first();
        QCOMPARE(ack.destination(), Peer);
        QCOMPARE(ack.source(), destination);
        QCOMPARE(int(ack.dstPort()), 2);
        QCOMPARE(int(ack.srcPort()), 2);
        QCOMPARE(int(ack.sequence()), 5);
        QVERIFY(!ack.isEncrypted());
        QCOMPARE(ack.data().toHex(' '), ackPayload(checksum).toHex(' '));
    }
    const QList<QChatLabel *> shown = bubbles();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first()->text(), text);
    QCOMPARE(int(shown.first()->delivery()), int(QChatLabel::Received));
    QCOMPARE(shown.first()->address(), Peer);
}

void ZuROVUrazevChatTest::acknowledgementIsNeverShown()
{
    attach();
    m_window->pagesel_clicked(ZuROVUrazev::T_Script);
    QVERIFY(m_fake->inject(chatPacket(ackPayload(0x1234))));
    QVERIFY(m_fake->sent().isEmpty());
    QVERIFY(bubbles().isEmpty());
    QVERIFY(m_window->chatStatus->pixmap(Qt::ReturnByValue).isNull());
}

void ZuROVUrazevChatTest::olderOfTwoEqualPendingIsDelivered()
{
    attach();
    send(QStringLiteral("same"));
    send(QStringLiteral("same"));
    send(QStringLiteral("other"), QStringLiteral("0x78"));
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("same")))));
    // An acknowledgement from another address is not for these.
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("other")), 0x0079)));
    const QList<QChatLabel *> shown = bubbles();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(int(shown[0]->delivery()), int(QChatLabel::Delivered));
    QCOMPARE(int(shown[1]->delivery()), int(QChatLabel::Pending));
    QCOMPARE(int(shown[2]->delivery()), int(QChatLabel::Pending));
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("same")))));
    QCOMPARE(int(shown[1]->delivery()), int(QChatLabel::Delivered));
    QCOMPARE(m_fake->sent().size(), 3);
}

void ZuROVUrazevChatTest::pendingThenNotDeliveredThenLateAck()
{
    QChatLabel::setDeliveryInterval(50);
    attach();
    send(QStringLiteral("late"));
    QChatLabel *bubble = bubbles().value(0);
    QVERIFY(bubble);
    QCOMPARE(int(bubble->delivery()), int(QChatLabel::Pending));
    QTRY_COMPARE(int(bubble->delivery()), int(QChatLabel::NotDelivered));
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("late")))));
    QCOMPARE(int(bubble->delivery()), int(QChatLabel::Delivered));
}

void ZuROVUrazevChatTest::hexMessageDeliveredByItsBytes()
{
    attach();
    ui->chatAdvancedGroup->findChild<QCheckBox *>()->click();
    m_window->chatAdvancedForm->findChild<QCheckBox *>(QStringLiteral("msgHexCheck"))->setChecked(true);
    m_window->chatAdvancedForm->findChild<QSpinBox *>(QStringLiteral("msgSrcPort"))->setValue(2);
    m_window->chatAdvancedForm->findChild<QSpinBox *>(QStringLiteral("msgDestPort"))->setValue(2);
    send(QStringLiteral("48 69"));
    // The text shown gives another checksum: that one is not taken.
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("Binary data")))));
    QCOMPARE(int(bubbles().value(0)->delivery()), int(QChatLabel::Pending));
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("Hi")))));
    QCOMPARE(int(bubbles().value(0)->delivery()), int(QChatLabel::Delivered));
}

void ZuROVUrazevChatTest::advancedPort_data()
{
    QTest::addColumn<bool>("advanced");
    QTest::addColumn<int>("dstPort");
    QTest::addColumn<int>("state");
    QTest::addColumn<bool>("shown");
    const int idle = ZuROVUrazev::CS_IDLE;
    QTest::newRow("Advanced, port 9") << true << 9 << idle << true;
    QTest::newRow("Advanced, other port") << true << 8 << idle << false;
    QTest::newRow("Advanced off") << false << 9 << idle << false;
    QTest::newRow("a chain runs") << true << 9 << int(ZuROVUrazev::CS_GET_CFG) << false;
}

void ZuROVUrazevChatTest::advancedPort()
{
    QFETCH(bool, advanced);
    QFETCH(int, dstPort);
    QFETCH(int, state);
    QFETCH(bool, shown);
    attach();
    m_window->pagesel_clicked(ZuROVUrazev::T_Script);
    if (advanced)
        ui->chatAdvancedGroup->findChild<QCheckBox *>()->click();
    m_window->chatAdvancedForm->findChild<QSpinBox *>(QStringLiteral("msgDestPort"))->setValue(dstPort);
    m_window->state = ZuROVUrazev::Cfg_States(state);
    QVERIFY(m_fake->inject(chatPacket(QByteArray("from nine"), Peer, Local, 9)));
    // Shown, never acknowledged.
    QVERIFY(m_fake->sent().isEmpty());
    QCOMPARE(bubbles().size(), shown ? 1 : 0);
    QCOMPARE(!m_window->chatStatus->pixmap(Qt::ReturnByValue).isNull(), shown);
    if (shown) {
        QCOMPARE(bubbles().first()->html(), QStringLiteral("<i>0077h@9</i><br>from nine"));
        QCOMPARE(m_window->chatStatus->toolTip(), QStringLiteral("New Chat Message"));
    }
}

void ZuROVUrazevChatTest::receivedMarkupShowsAsText()
{
    attach();
    QVERIFY(m_fake->inject(chatPacket(QByteArray("<img src=\"http://x/y.png\"> <b>no</b>"))));
    send(QStringLiteral("<b>bold</b>"));
    const QList<QChatLabel *> shown = bubbles();
    QCOMPARE(shown.size(), 2);
    const QString received = shown[0]->findChild<QLabel *>()->text();
    QVERIFY2(received.contains(QStringLiteral("&lt;img src=")), qPrintable(received));
    QVERIFY2(!received.contains(QStringLiteral("<img")), qPrintable(received));
    QVERIFY2(!received.contains(QStringLiteral("<b>")), qPrintable(received));
    QCOMPARE(shown[1]->findChild<QLabel *>()->text(), QStringLiteral("<b>bold</b>"));
}

void ZuROVUrazevChatTest::replyTool_data()
{
    QTest::addColumn<QString>("last");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty conversation") << "" << "all";
    QTest::newRow("received from 0x12") << "received" << "0012h";
    QTest::newRow("sent broadcast") << "broadcast" << "bcst";
}

void ZuROVUrazevChatTest::replyTool()
{
    QFETCH(QString, last);
    QFETCH(QString, expected);
    attach();
    if (!last.isEmpty()) {
        send(QStringLiteral("first"), QStringLiteral("0x99"));
        m_window->chatFeed->flush();
    }
    // The newest message counts, whether or not it is in the list yet.
    if (last == QLatin1String("received"))
        QVERIFY(m_fake->inject(chatPacket(QByteArray("hi"), 0x0012)));
    if (last == QLatin1String("broadcast"))
        send(QStringLiteral("to all"), QStringLiteral("bcst"));
    ui->chatAddressEdit->setText(QStringLiteral("something"));
    ui->chatAddressTool->click();
    QCOMPARE(ui->chatAddressEdit->text(), expected);
}

void ZuROVUrazevChatTest::clearDropsQueuedBubbles()
{
    attach();
    send(QStringLiteral("listed"));
    m_window->chatFeed->flush();
    QVERIFY(m_fake->inject(chatPacket(QByteArray("queued"))));
    send(QStringLiteral("queued too"));
    QCOMPARE(m_window->chatFeed->queued(), 2);
    ui->chatClearTool->click();
    QCOMPARE(m_window->chatFeed->queued(), 0);
    QCOMPARE(ui->chatBrowser->count(), 0);
    QTRY_COMPARE(ui->chatBrowser->findChildren<QChatLabel *>().size(), 0);
    // An acknowledgement for a cleared bubble is consumed, not shown.
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("queued too")))));
    QTest::qWait(10);
    QCOMPARE(ui->chatBrowser->count(), 0);
    ui->chatAddressTool->click();
    QCOMPARE(ui->chatAddressEdit->text(), QStringLiteral("all"));
}

void ZuROVUrazevChatTest::saveEmptyConversation()
{
    QTemporaryDir dir;
    ModalDriver modal;
    modal.chooseFile(dir.filePath(QStringLiteral("chat.html")));
    ui->chatSaveTool->click();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().title, QStringLiteral("Save Chat"));
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("chat.html"))), QByteArray("<html>\n<head/><body></body></html>"));
    QCOMPARE(ui->statusbar->currentMessage(), QStringLiteral("Saved to ") + dir.filePath(QStringLiteral("chat.html")));
    QCOMPARE(QSettings().value(QStringLiteral("Chat/Directory")).toString(), QDir(dir.path()).absolutePath());
}

void ZuROVUrazevChatTest::saveFileName_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow(".HTM kept") << "talk.HTM" << "talk.HTM";
    QTest::newRow(".html kept") << "talk.html" << "talk.html";
    QTest::newRow(".txt gets .html") << "talk.txt" << "talk.txt.html";
}

void ZuROVUrazevChatTest::saveFileName()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QChatLabel::setClock([] { return QDateTime(QDate(2026, 3, 4), QTime(9, 5, 7)); });
    attach();
    // Messages still queued are saved too.
    QVERIFY(m_fake->inject(chatPacket(QByteArray("hi <there>"))));
    QTemporaryDir dir;
    ModalDriver modal;
    modal.chooseFile(dir.filePath(chosen));
    ui->chatSaveTool->click();
    QCOMPARE(readBytes(dir.filePath(written)),
             QByteArray("<html>\n<head/><body><p><i><b>2026-03-04 09:05:07</b></i><br><i>0077h@2</i><br>"
                        "hi &lt;there&gt;</p></body></html>"));
}

void ZuROVUrazevChatTest::saveCancelled()
{
    m_session->settings.set(QStringLiteral("Chat/Directory"), QStringLiteral("/nonexistent/kept"));
    ModalDriver modal;
    modal.cancel();
    ui->chatSaveTool->click();
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(QSettings().value(QStringLiteral("Chat/Directory")).toString(), QStringLiteral("/nonexistent/kept"));
    QCOMPARE(ui->statusbar->currentMessage(), QString());
}

void ZuROVUrazevChatTest::failedSaveKeepsOldFile()
{
    attach();
    QVERIFY(m_fake->inject(chatPacket(QByteArray("a message longer than the limit"))));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("chat.html"));
    writeBytes(path, "old");
    ModalDriver modal;
    modal.chooseFile(path).press(QMessageBox::Yes); // the dialog asks before replacing
    {
        FileSizeLimit limit(16);
        QVERIFY(limit.active());
        ui->chatSaveTool->click();
    }
    QCOMPARE(readBytes(path), QByteArray("old"));
    QVERIFY2(ui->statusbar->currentMessage().startsWith(QStringLiteral("Cannot save to chat.html: ")),
             qPrintable(ui->statusbar->currentMessage()));
    QCOMPARE(QSettings().value(QStringLiteral("Chat/Directory")).toString(), QDir(dir.path()).absolutePath());
}

// The window closed and deleted while its save dialog or a warning is
// open: the dialog goes with it and nothing touches the window afterwards.
void ZuROVUrazevChatTest::windowDeletedInDialog_data()
{
    QTest::addColumn<bool>("saving");
    QTest::newRow("save dialog") << true;
    QTest::newRow("invalid address box") << false;
}

void ZuROVUrazevChatTest::windowDeletedInDialog()
{
    QFETCH(bool, saving);
    attach();
    ModalDriver modal;
    ZuROVUrazev *window = m_window;
    modal.then([window](QWidget *) {
        window->close();
        delete window;
    });
    if (saving)
        ui->chatSaveTool->click();
    else
        send(QStringLiteral("hi"), QStringLiteral("nowhere"));
    QVERIFY(!m_window);
    QCOMPARE(modal.seen().size(), 1);
    QCOMPARE(modal.seen().first().kind, saving ? QStringLiteral("file") : QStringLiteral("box"));
}

// 5,000 messages in one burst: each is acknowledged once, at once; every
// bubble is kept, the list fills over later turns of the event loop.
void ZuROVUrazevChatTest::burstOfMessages()
{
    attach();
    const int burst = 5000;
    for (int i = 0; i < burst; ++i)
        QVERIFY(m_fake->inject(chatPacket(QByteArray("message ") + QByteArray::number(i))));
    QCOMPARE(m_fake->sent().size(), burst);
    for (int i : {0, 1234, burst - 1})
        QCOMPARE(m_fake->sent().at(i).data(), ackPayload(crc(QByteArray("message ") + QByteArray::number(i))));
    QTRY_COMPARE_WITH_TIMEOUT(ui->chatBrowser->count(), burst, 120000);
    QCOMPARE(m_window->chatFeed->queued(), 0);
    auto bubbleAt = [this](int row) {
        return qobject_cast<QChatLabel *>(ui->chatBrowser->itemWidget(ui->chatBrowser->item(row)));
    };
    QCOMPARE(bubbleAt(0)->text(), QStringLiteral("message 0"));
    QCOMPARE(bubbleAt(burst - 1)->text(), QStringLiteral("message 4999"));
    QCOMPARE(m_fake->sent().size(), burst);
}

// 5,001 received messages keep the newest 5,000 bubbles and the line that
// says one was dropped, all acknowledged; Save writes what is kept and says
// so.
void ZuROVUrazevChatTest::floodKeepsNewest()
{
    attach();
    const int flood = ChatFeed::MaxMessages + 1;
    for (int i = 0; i < flood; ++i)
        QVERIFY(m_fake->inject(chatPacket(QByteArray("message ") + QByteArray::number(i))));
    QCOMPARE(m_fake->sent().size(), flood);
    QTemporaryDir dir;
    ModalDriver modal;
    modal.chooseFile(dir.filePath(QStringLiteral("chat.html")));
    ui->chatSaveTool->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(ui->chatBrowser->count(), flood);
    QCOMPARE(ui->chatBrowser->findChildren<QChatLabel *>().size(), flood - 1);
    QCOMPARE(ui->chatBrowser->item(0)->text(), QStringLiteral("Older messages dropped: 1"));
    QCOMPARE(qobject_cast<QChatLabel *>(ui->chatBrowser->itemWidget(ui->chatBrowser->item(1)))->text(),
             QStringLiteral("message 1"));
    const QByteArray saved = readBytes(dir.filePath(QStringLiteral("chat.html")));
    QVERIFY(saved.startsWith("<html>\n<head/><body><p><i>Older messages dropped: 1</i></p><p><i><b>"));
    QVERIFY(!saved.contains("message 0</p>"));
    QVERIFY(saved.contains("message 1</p>"));
    QVERIFY(saved.endsWith("message 5000</p></body></html>"));
}

void ZuROVUrazevChatTest::picture()
{
    QChatLabel::setClock([] { return QDateTime(QDate(2026, 3, 4), QTime(9, 5, 7)); });
    QChatLabel::setDeliveryInterval(50);
    attach();
    m_window->resize(700, 560);
    m_window->pagesel_clicked(ZuROVUrazev::T_Chat);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QVERIFY(m_fake->inject(chatPacket(QByteArray("Hello from the field, see http://example.org/x"))));
    send(QStringLiteral("not answered"));
    QChatLabel *late = bubbles().last();
    QTRY_COMPARE(int(late->delivery()), int(QChatLabel::NotDelivered));
    QChatLabel::setDeliveryInterval(5000);
    send(QStringLiteral("delivered <b>in bold</b>"));
    QVERIFY(m_fake->inject(chatPacket(ackPayload(crc("delivered <b>in bold</b>")))));
    send(QStringLiteral("waiting"));
    send(QStringLiteral("to everyone"), QStringLiteral("all"));
    QVERIFY(m_fake->inject(chatPacket(QByteArray("two\nlines"), 0x012A)));
    bubbles();
    ui->chatAdvancedGroup->findChild<QCheckBox *>()->click();
    QApplication::processEvents();
    const QImage image = ui->zuchatPage->grab().toImage();
    QVERIFY(!image.isNull());
    QDir().mkpath(QStringLiteral(KOLM_SCREENSHOT_DIR));
    QVERIFY(image.save(QStringLiteral(KOLM_SCREENSHOT_DIR "/chat_page.png")));
}

QTEST_MAIN(ZuROVUrazevChatTest)
#include "zurovurazev_chat_test.moc"
