// The message console page: single packets composed by hand for the
// script (port 0), the device core (port 1) and the hardware abstraction
// layer (port 3) of the connected device, and the replies they bring. The
// console stands beside the window's request chain: its packets go in
// clear, start no reply timer and change no connection state.

#include "zurovurazev.h"

#include "kolm_board_package.h"
#include "kolmprojectwindow.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "turn_updates.h"
#include "ui_zurovurazev.h"
#include "zuhal_messenger.h"
#include "zuhal_packet.h"

#include <QRegularExpressionValidator>

#include <algorithm>

namespace {

constexpr uchar PortScript = 0;
constexpr uchar PortMc = 1;
constexpr uchar PortHal = 3;

constexpr int StatusMs = 5000;
constexpr int ErrorStatusMs = 10000;

// HAL operation: [u8 code][u32 register address, little-endian][data].
enum HalOp : uchar { HalGet = 0, HalSet = 1, HalRead = 2, HalWrite = 3, HalTransceive = 4 };
constexpr int HalHead = 5;
constexpr int HalResultSize = 4;
constexpr int McHead = 3;

// Field text to bytes: hex digits (anything else skipped) or Latin-1.
QByteArray fieldBytes(const QString &text, bool hex)
{
    return hex ? QByteArray::fromHex(text.toLatin1()) : text.toLatin1();
}

// Bytes to field text: two lower-case hex digits a byte, or Latin-1 up to
// the first zero byte.
QString bytesText(const QByteArray &bytes, bool hex)
{
    if (hex)
        return QString::fromLatin1(bytes.toHex());
    const int zero = bytes.indexOf('\0');
    return QString::fromLatin1(zero < 0 ? bytes : bytes.left(zero));
}

// Switches a data field between hex and text, keeping its bytes; the hex
// validator guards the field while it is in hex.
void switchFieldMode(QLineEdit *field, bool hex, QValidator *validator)
{
    const QString text = field->text();
    field->setValidator(nullptr);
    field->setText(hex ? bytesText(fieldBytes(text, false), true) : bytesText(fieldBytes(text, true), false));
    field->setValidator(hex ? validator : nullptr);
}

void appendU32(QByteArray &bytes, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes.append(static_cast<char>(value >> (8 * i)));
}

quint32 readU32(const QByteArray &bytes, int at)
{
    quint32 value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<uchar>(bytes[at + i]);
    return value;
}

QStringList sortedNames(const std::vector<std::string> &names)
{
    QStringList list;
    list.reserve(int(names.size()));
    for (const std::string &name : names)
        list.append(QString::fromUtf8(name.c_str()));
    // Case-sensitive: upper-case names before lower-case ones.
    std::sort(list.begin(), list.end());
    return list;
}

} // namespace

void ZuROVUrazev::setupMsgWidget()
{
    consoleUpdates = new TurnUpdates(this);
    QMaterialIcon::setIcon(QStringLiteral("send"), ui->msgMcSendButton);
    ui->msgMcHexRadio->setChecked(true);
    on_msgMcHexRadio_toggled(true);
    ui->msgHalHexRadio->setChecked(true);
    on_msgHalHexRadio_toggled(true);
    ui->msgMcCommandInput->setRange(1, 255);
    ui->msgMcParamInput->setRange(0, 65535);
    ui->msgHalValueInput->setRange(0, 4294967295LL);
    ui->msgHalGroup->setEnabled(false);
}

void ZuROVUrazev::on_msgKolmTypeCombo_currentIndexChanged(int idx)
{
    consoleUpdates->applyNow();
    switchFieldMode(ui->msgKolmTxDataEdit, idx == 0, hexValidator);
}

void ZuROVUrazev::on_msgMcHexRadio_toggled(bool on)
{
    consoleUpdates->applyNow();
    switchFieldMode(ui->msgMcDataInput, on, hexValidator);
}

void ZuROVUrazev::on_msgHalHexRadio_toggled(bool on)
{
    consoleUpdates->applyNow();
    switchFieldMode(ui->msgHalDataEdit, on, hexValidator);
}

void ZuROVUrazev::on_msgKolmSendButton_clicked()
{
    ZuHalPacket packet = devicePacket(PortScript);
    packet.setData(fieldBytes(ui->msgKolmTxDataEdit->text(), ui->msgKolmTypeCombo->currentIndex() == 0), key);
    msgSendPkt(packet);
}

void ZuROVUrazev::prepareMcPacket(ZuHalPacket &packet)
{
    packet = devicePacket(PortMc);
    packet.setData(prepareCfgPacket(static_cast<unsigned char>(ui->msgMcCommandInput->value()),
                                    static_cast<unsigned short>(ui->msgMcParamInput->value()), QByteArray()),
                   key);
}

void ZuROVUrazev::on_msgMcSendButton_clicked()
{
    consoleUpdates->applyNow();
    ZuHalPacket packet;
    prepareMcPacket(packet);
    packet.setData(packet.data() + fieldBytes(ui->msgMcDataInput->text(), ui->msgMcHexRadio->isChecked()), key);
    msgSendPkt(packet);
}

quint32 ZuROVUrazev::halRegisterAddress() const
{
    const KolmBoardPackageParser *package = ui->projectPage->boardPackage();
    if (!package)
        return 0;
    // The register's address is relative to the Hal base: the two are
    // combined bit by bit, as the device decodes them.
    return package->hal_address
        | package->address(ui->msgHalPeriphCombo->currentText().toUtf8().toStdString(),
                           ui->msgHalRegisterCombo->currentText().toUtf8().toStdString());
}

void ZuROVUrazev::prepareHalPacket(ZuHalPacket &packet, unsigned char op)
{
    packet = devicePacket(PortHal);
    QByteArray head(1, static_cast<char>(op));
    appendU32(head, halRegisterAddress());
    packet.setData(head, key);
}

bool ZuROVUrazev::validateHalParams(QPushButton *button)
{
    if ((button == ui->msgHalWriteButton || button == ui->msgHalTransceiveButton)
        && ui->msgHalDataEdit->text().isEmpty()) {
        logError(tr("Cannot send HAL data - data field is empty"));
        return false;
    }
    return true;
}

void ZuROVUrazev::sendHalOperation(QPushButton *button, unsigned char op)
{
    consoleUpdates->applyNow();
    if (!validateHalParams(button))
        return;
    ZuHalPacket packet;
    prepareHalPacket(packet, op);
    QByteArray payload = packet.data();
    switch (op) {
    case HalSet:
        appendU32(payload, static_cast<quint32>(ui->msgHalValueInput->value()));
        break;
    case HalWrite:
    case HalTransceive:
        payload += fieldBytes(ui->msgHalDataEdit->text(), ui->msgHalHexRadio->isChecked());
        break;
    case HalGet:
        // The field shows the reply's value, or stays empty without one.
        ui->msgHalValueInput->clear();
        break;
    default:
        break;
    }
    packet.setData(payload, key);
    msgSendPkt(packet);
}

void ZuROVUrazev::on_msgHalGetButton_clicked()
{
    sendHalOperation(ui->msgHalGetButton, HalGet);
}

void ZuROVUrazev::on_msgHalSetButton_clicked()
{
    sendHalOperation(ui->msgHalSetButton, HalSet);
}

void ZuROVUrazev::on_msgHalReadButton_clicked()
{
    sendHalOperation(ui->msgHalReadButton, HalRead);
}

void ZuROVUrazev::on_msgHalWriteButton_clicked()
{
    sendHalOperation(ui->msgHalWriteButton, HalWrite);
}

void ZuROVUrazev::on_msgHalTransceiveButton_clicked()
{
    sendHalOperation(ui->msgHalTransceiveButton, HalTransceive);
}

bool ZuROVUrazev::msgSendPkt(const ZuHalPacket &packet)
{
    if (!messenger) {
        logError(tr("Cannot send message - no device"));
        return false;
    }
    if (state != CS_IDLE) {
        logError(tr("Cannot send message - device busy"));
        return false;
    }
    if (!messenger->send(packet)) {
        logError(tr("Cannot send message - device not connected"));
        return false;
    }
    ui->statusbar->showMessage(tr("Message sent"), StatusMs);
    logInfo(tr("Packet sent to MC port %1").arg(packet.dstPort()));
    return true;
}

void ZuROVUrazev::msgKolmReceived(const QByteArray &data, bool text)
{
    const QString shown = text ? bytesText(data, false) : QString::fromLatin1(data.toHex().toUpper());
    consoleUpdates->set(ui->msgKolmRxDataEdit, [this, shown] { ui->msgKolmRxDataEdit->setText(shown); });
}

void ZuROVUrazev::showConsoleReply()
{
    ui->statusbar->showMessage(tr("Reply received"), StatusMs);
    if (ui->stackedWidget->currentIndex() != T_Messages)
        messageStatus->status(QStringLiteral("mark_email_unread"), QMaterialIcon::Success, tr("New message"));
}

void ZuROVUrazev::mcApiReplyReceived(const ZuHalPacket &packet)
{
    const QByteArray payload = packet.data();
    const qlonglong command = static_cast<uchar>(payload[0]);
    const qlonglong sub = static_cast<uchar>(payload[1]) | static_cast<uchar>(payload[2]) << 8;
    const QString data = bytesText(payload.mid(McHead), ui->msgMcHexRadio->isChecked());
    consoleUpdates->set(ui->msgMcCommandInput, [this, command] { ui->msgMcCommandInput->setValue(command); });
    consoleUpdates->set(ui->msgMcParamInput, [this, sub] { ui->msgMcParamInput->setValue(sub); });
    consoleUpdates->set(ui->msgMcDataInput, [this, data] { ui->msgMcDataInput->setText(data); });
    logInfo(tr("Received reply from the MC core"));
    showConsoleReply();
}

void ZuROVUrazev::halApiReplyReceived(const ZuHalPacket &packet)
{
    const QByteArray payload = packet.data();
    if (payload.size() < HalHead) {
        logError(tr("Invalid HAL packet - too short"));
        return;
    }
    const int dataSize = payload.size() - HalHead;
    const quint32 address = readU32(payload, 1);
    const bool hex = ui->msgHalHexRadio->isChecked();
    const uchar op = static_cast<uchar>(payload[0]);
    switch (op) {
    case HalGet: {
        if (dataSize != HalResultSize) {
            logError(tr("Invalid HAL GET packet - wrong size"));
            return;
        }
        const qlonglong value = readU32(payload, HalHead);
        const QNumberInput::Base base = hex ? QNumberInput::Hex : QNumberInput::Dec;
        consoleUpdates->set(ui->msgHalValueInput,
                            [this, value, base] { ui->msgHalValueInput->setValue(value, base); });
        break;
    }
    case HalSet:
    case HalWrite: {
        if (dataSize != HalResultSize) {
            const QString error = tr("HAL SET/WRITE returned an error");
            logError(error);
            ui->statusbar->showMessage(error, ErrorStatusMs);
            return;
        }
        const quint32 result = readU32(payload, HalHead);
        logInfo(tr("HAL SET/WRITE returned %1 (0x%2)").arg(result).arg(result, 8, 16, QLatin1Char('0')));
        break;
    }
    case HalRead:
    case HalTransceive: {
        if (dataSize == 0)
            logError(op == HalRead ? tr("HAL READ did not return any data")
                                   : tr("HAL SEND&RECV did not return any data"));
        const QString data = bytesText(payload.mid(HalHead), hex);
        consoleUpdates->set(ui->msgHalDataEdit, [this, data] { ui->msgHalDataEdit->setText(data); });
        break;
    }
    default:
        break;
    }
    logInfo(tr("Received MC/HAL reply from the device with the address 0x%1").arg(address, 8, 16, QLatin1Char('0')));
    showConsoleReply();
}

void ZuROVUrazev::halApiReinit()
{
    const KolmBoardPackageParser *package = ui->projectPage->boardPackage();
    ui->msgHalPeriphCombo->clear();
    ui->msgHalRegisterCombo->clear();
    if (!package) {
        ui->msgHalGroup->setEnabled(false);
        return;
    }
    // Filling the empty combo makes its first entry current, which fills the
    // register combo.
    ui->msgHalPeriphCombo->addItems(sortedNames(package->peripherals()));
    ui->msgHalGroup->setEnabled(ui->msgHalPeriphCombo->count() > 0);
}

void ZuROVUrazev::on_msgHalPeriphCombo_currentIndexChanged(int index)
{
    if (index < 0 || ui->msgHalPeriphCombo->currentText().isEmpty())
        return;
    ui->msgHalRegisterCombo->clear();
    const KolmBoardPackageParser *package = ui->projectPage->boardPackage();
    if (!package)
        return;
    ui->msgHalRegisterCombo->addItems(
        sortedNames(package->registers(ui->msgHalPeriphCombo->itemText(index).toUtf8().toStdString())));
}
