// Replies of the device information chain (address, capabilities, UUID,
// firmware, battery, I/O hint, configuration sizes and version), the device
// clock, the remote device choice of a relayed link and the end of a
// successful connection.

#include "zurovurazev.h"

#include "cfg_block_io.h"
#include "device_capabilities.h"
#include "page_dialogs.h"
#include "qmaterialfont.h"
#include "qstatuslabel.h"
#include "ui_zurovurazev.h"
#include "v1_cc1101_v1.h"
#include "v2_io_v1.h"
#include "zuc_address.h"
#include "zuhal_messenger.h"
#include "zuplcconfigv1widget.h"
#include "zuplcconfigv2widget.h"

#include <QDateTime>
#include <QInputDialog>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QtEndian>

namespace {

constexpr quint8 CmdMcuInfo = 0x01;
constexpr quint8 CmdMcuIohint = 0x02;
constexpr quint8 CmdMcuCfgRead = 0x03;
constexpr quint8 CmdMcuCfgCtrl = 0x06;
constexpr quint8 CmdMcuTime = 0x07;
constexpr quint8 CmdAsmStatus = 0x20;

constexpr quint16 InfoAddress = 0;
constexpr quint16 InfoConfigSize = 1;
constexpr quint16 InfoConfigMax = 2;
constexpr quint16 InfoCapabilities = 3;
constexpr quint16 InfoFirmware = 4;
constexpr quint16 InfoConfigVersion = 5;
constexpr quint16 InfoUuid = 6;
constexpr quint16 InfoBattery = 7;

constexpr quint16 CfgCtrlErase = 3;


// The largest configuration block the window reads: its offsets must fit
// the 16-bit sub-command.
constexpr quint32 MaxConfigSize = 65536;
// Chunk replies that store nothing (empty, or for another offset) in a row
// before a chunked read gives up.
constexpr int MaxChunkMisses = 3;

// The factory radio settings a version-1 block starts from before the
// editor writes its values.
constexpr quint32 FactoryRFreq = 0x216276;
constexpr quint32 FactoryRFlags = 0x18025;

void setNext(ZuROVUrazev::NextPkt &next, quint8 cmd, quint16 sub)
{
    next.valid = true;
    next.cmd = cmd;
    next.sub = sub;
    next.data.clear();
}

// The capability items by bit, lowest first; bit 0x0010 has none.
QStringList capabilityItems(quint32 capabilities)
{
    const char *const texts[] = {
        QT_TRANSLATE_NOOP("ZuROVUrazev", "868MHz radio module"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "Bluetooth module"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "General purpose IO pins"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "Analog-to-digital converter"),
        nullptr,
        QT_TRANSLATE_NOOP("ZuROVUrazev", "UART interface"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "SPI interface"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "I2C interface"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "Device is configurable"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "Device understands HAL commands"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "Device can execute KOLM scripts"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "Device is upgradable"),
        QT_TRANSLATE_NOOP("ZuROVUrazev", "Device supports USB mode switching"),
    };
    QStringList items;
    for (int bit = 0; bit < int(sizeof texts / sizeof *texts); ++bit)
        if (texts[bit] && (capabilities & (1u << bit)))
            items << QCoreApplication::translate("ZuROVUrazev", texts[bit]);
    return items;
}

QString transportName(const ZuHalAbstractMessenger *messenger)
{
    switch (messenger ? messenger->type() : ZuHalAbstractMessenger::ZU_HAL_OTHER) {
    case ZuHalAbstractMessenger::ZU_HAL_HID:
        return QStringLiteral("HID");
    case ZuHalAbstractMessenger::ZU_HAL_UART:
        return QStringLiteral("UART");
    case ZuHalAbstractMessenger::ZU_HAL_TCP:
        return QStringLiteral("TCP");
    case ZuHalAbstractMessenger::ZU_HAL_UDP:
        return QStringLiteral("UDP");
    default:
        return QStringLiteral("Other");
    }
}

// Printable bytes as characters until the first other byte; from there on
// every byte in hexadecimal.
QString uuidText(const unsigned char *data, unsigned len)
{
    QString text;
    bool printable = true;
    for (unsigned i = 0; i < len; ++i) {
        printable = printable && data[i] >= 0x20 && data[i] <= 0x7E;
        if (printable)
            text += QLatin1Char(char(data[i]));
        else
            text += QStringLiteral("%1").arg(data[i], 2, 16, QLatin1Char('0'));
    }
    return text;
}

ZuROVUrazev::Devices kindOf(const QString &firmware)
{
    if (firmware.contains(QLatin1String("plc"), Qt::CaseInsensitive))
        return ZuROVUrazev::D_PLC;
    if (firmware.contains(QLatin1String("gw"), Qt::CaseInsensitive))
        return ZuROVUrazev::D_GW;
    return ZuROVUrazev::D_Generic;
}

} // namespace

bool ZuROVUrazev::linkStill(const QPointer<ZuHalAbstractMessenger> &link, Cfg_States expected) const
{
    return link && messenger == link && state == expected;
}

void ZuROVUrazev::processMcuInfo(unsigned short source, unsigned short sub, const unsigned char *data, unsigned len,
                                 NextPkt &next)
{
    switch (sub) {
    case InfoAddress:
        if (state == CS_GET_RELAY || state == CS_GET_ADDR)
            return infoAddress(source, data, len, next);
        break;
    case InfoConfigSize:
        if (state == CS_GET_INFO)
            return infoConfigSize(data, len, next);
        break;
    case InfoConfigMax:
        if (state == CS_GET_INFO)
            return infoConfigMax(data, len, next);
        break;
    case InfoCapabilities:
        if (state == CS_GET_INFO)
            return infoCapabilities(data, len, next);
        if (state == CS_GET_RELAY)
            return relayCapabilities(len == 4 ? qFromLittleEndian<quint32>(data) : 0, len, next);
        break;
    case InfoFirmware:
        if (state == CS_GET_INFO) {
            device.firmware = QString::fromLatin1(reinterpret_cast<const char *>(data), int(len));
            device.kind = kindOf(device.firmware);
            device.info += QStringLiteral("<br>") + tr("Firmware") + QStringLiteral(": ")
                           + device.firmware.toHtmlEscaped() + QStringLiteral("<br>");
            setNext(next, CmdMcuInfo, InfoBattery);
            return;
        }
        break;
    case InfoConfigVersion:
        if (state == CS_WRITE_PREP)
            return infoConfigVersion(data, len, next);
        break;
    case InfoUuid:
        if (state == CS_GET_INFO) {
            if (len > 0)
                device.info += tr("Device UUID") + QStringLiteral(": ") + uuidText(data, len).toHtmlEscaped()
                               + QStringLiteral("<br>");
            setNext(next, CmdMcuInfo, InfoFirmware);
            return;
        }
        break;
    case InfoBattery:
        if (len == 1)
            showBattery(qint8(data[0]));
        next.done = true;
        if (state == CS_GET_INFO) {
            device.ioHint.clear();
            device.ioHint.reserve(64);
            chunkOffset = 0;
            chunkMisses = 0;
            setNext(next, CmdMcuIohint, 0);
        }
        return;
    default:
        break;
    }
    processPktBail(CmdMcuInfo, sub);
}

void ZuROVUrazev::showBattery(int percent)
{
    // A new charge replaces the one shown.
    const QString shown = QLatin1Char(' ') + tr("Battery") + tr(": %1%").arg(percent);
    QString text = statusText->text();
    if (!batteryShown.isEmpty() && text.contains(batteryShown))
        text.replace(batteryShown, shown);
    else
        text += shown;
    batteryShown = shown;
    statusText->setText(text);
}

void ZuROVUrazev::infoAddress(unsigned short source, const unsigned char *data, unsigned len, NextPkt &next)
{
    // The device's first answer.
    connectionStatus->status(QStringLiteral("phonelink"), QMaterialIcon::Success, tr("Connected"));
    device.capabilities = 0;
    const bool given = len == 2;
    const quint16 address = given ? qFromLittleEndian<quint16>(data) : source;
    if (given) {
        device.info += tr("Device address: %1<br>").arg(ZUC_ADDRESS::toString(address));
    } else {
        device.info += tr("Device address: none");
        logError(tr("Device did not provide an address - guessing from the protocol"));
    }
    if (state == CS_GET_RELAY) {
        if (given) {
            device.localAddress = address;
        } else {
            // No relay address: talk to the answering device itself.
            device.localAddress = 0xFFFF;
            relayConnect = false;
            state = CS_GET_INFO;
            device.address = address;
        }
    } else {
        device.address = address;
        if (given && !relayConnect)
            device.localAddress = address;
        statusText->setText(statusText->text() + QLatin1Char(' ') + tr("Address") + QStringLiteral(": ")
                            + (given ? ZUC_ADDRESS::toString(address) : QStringLiteral("?")));
        state = CS_GET_INFO;
    }
    setNext(next, CmdMcuInfo, InfoCapabilities);
}

void ZuROVUrazev::chainStopped(NextPkt &next, const QString &detail)
{
    // Idle: a repeated bad reply is bailed instead of failing the same
    // step again.
    state = CS_IDLE;
    next.done = true;
    stopProgressBar();
    _read_error(detail);
}

void ZuROVUrazev::infoCapabilities(const unsigned char *data, unsigned len, NextPkt &next)
{
    if (len != 4)
        return chainStopped(next, QStringLiteral("Device capabilities packet must contain exactly 4 bytes"));
    device.capabilities |= qFromLittleEndian<quint32>(data);
    device.info += tr("Device connection") + QStringLiteral(": ") + transportName(messenger) + QStringLiteral("<br>");
    device.info += tr("Device capabilities:<ul>");
    for (const QString &item : capabilityItems(device.capabilities))
        device.info += QStringLiteral("<li>") + item + QStringLiteral("</li>");
    device.info += QStringLiteral("</ul>");
    ui->actionUSB_ModeSwitch->setEnabled(device.capabilities & DeviceCapability::UsbModeSwitch);
    setNext(next, CmdMcuInfo, InfoUuid);
}

void ZuROVUrazev::relayCapabilities(quint32 capabilities, unsigned len, NextPkt &next)
{
    if (len != 4)
        return chainStopped(next, QStringLiteral("Device capabilities packet must contain exactly 4 bytes"));
    msgTimer.stop();
    QPointer<ZuROVUrazev> self(this);
    const QPointer<ZuHalAbstractMessenger> link(messenger);
    // Gives the link up, unless it went down or changed during a box.
    const auto abandon = [this, self, link](const QString &text) {
        pageWarning(this, tr("Remote Access"), text);
        if (!self)
            return;
        relayConnect = false;
        msgTimer.stop();
        if (linkStill(link, CS_GET_RELAY))
            on_actionConnect_triggered();
    };
    if (!(capabilities & DeviceCapability::Radio))
        return abandon(tr("Local device does not have a radio - remote access is not possible"));

    for (;;) {
        QString text;
        const bool accepted = askRemoteAddress(&text);
        if (!self || !linkStill(link, CS_GET_RELAY))
            return;
        if (!accepted)
            return abandon(tr("Remote access canceled"));
        if (text.trimmed().compare(QLatin1String("find"), Qt::CaseInsensitive) == 0) {
            state = CS_DEV_PING;
            pingResults.clear();
            pingTimer.stop();
            pingTimer.start();
            setProgress(tr("Querying remote devices..."), 0, 0);
            ping_start();
            return;
        }
        bool ok = false;
        const quint16 address = ZUC_ADDRESS::fromString(text.trimmed(), &ok);
        if (ok) {
            device.address = address;
            state = CS_GET_INFO;
            setNext(next, CmdMcuInfo, InfoCapabilities);
            return;
        }
        msgTimer.stop();
        pageWarning(this, tr("Remote Access"), tr("Address %1 is invalid").arg(text));
        if (!self || !linkStill(link, CS_GET_RELAY))
            return;
    }
}

bool ZuROVUrazev::askRemoteAddress(QString *text)
{
    // On the heap with the window: a window deleted while the dialog is
    // open takes it along, and the answer is "cancelled".
    QPointer<QInputDialog> dialog = new QInputDialog(this);
    dialog->setWindowTitle(tr("Remote Access"));
    dialog->setLabelText(tr("Remote address (or \"find\"):"));
    dialog->setTextValue(QStringLiteral("find"));
    const int result = dialog->exec();
    if (!dialog)
        return false;
    *text = dialog->textValue();
    delete dialog;
    return result == QDialog::Accepted;
}

void ZuROVUrazev::infoConfigSize(const unsigned char *data, unsigned len, NextPkt &next)
{
    if (len != 4)
        return readChainFailed(next, QStringLiteral("'Configuration size' packet must contain exactly 4 bytes"));
    const quint32 size = qFromLittleEndian<quint32>(data);
    if (size > MaxConfigSize)
        return readChainFailed(next, QStringLiteral("'Configuration size' must not exceed 65536 bytes"));
    device.configSize = size;
    setNext(next, CmdMcuInfo, InfoConfigMax);
}

void ZuROVUrazev::infoConfigMax(const unsigned char *data, unsigned len, NextPkt &next)
{
    if (len != 4)
        return readChainFailed(next, QStringLiteral("'Configuration maximum size' packet must contain exactly 4 bytes"));
    const quint32 maximum = qFromLittleEndian<quint32>(data);
    device.scriptSpace = maximum > device.configSize ? maximum - device.configSize : 0;
    if (device.configSize > 0) {
        setProgress(tr("Reading configuration") + QStringLiteral(" %p%"), 0, 0);
        device.config = QByteArray(int(device.configSize), '\0');
        chunkOffset = 0;
        chunkMisses = 0;
        state = CS_GET_CFG;
        setNext(next, CmdMcuCfgRead, 0);
    } else if (device.capabilities & DeviceCapability::Scripts) {
        state = CS_GET_ASM_INFO;
        setNext(next, CmdAsmStatus, 1);
    } else {
        deviceFirstConnected();
        device.scriptSpace = 0;
        state = CS_IDLE;
        next.done = true;
        msgTimer.stop();
        settingsRead();
    }
}

void ZuROVUrazev::readChainFailed(NextPkt &next, const QString &detail)
{
    device.state = DS_Invalid;
    state = CS_IDLE;
    QPointer<ZuROVUrazev> self(this);
    setupControls();
    if (self)
        chainStopped(next, detail);
}

void ZuROVUrazev::processMcuIohint(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    if (state != CS_GET_INFO) {
        processPktBail(CmdMcuIohint, sub);
        return;
    }
    const quint32 offset = chunkOffset;
    bool ended = len == 0;
    if (sub != offset) {
        // A chunk for another offset is not stored; the same one is asked
        // again, a few times at most.
        ended = ++chunkMisses >= MaxChunkMisses;
    } else if (len > 0) {
        chunkMisses = 0;
        const int end = int(offset + len);
        if (device.ioHint.size() < end) {
            if (device.ioHint.capacity() < end)
                device.ioHint.reserve(end + 16);
            device.ioHint.resize(end);
        }
        memcpy(device.ioHint.data() + offset, data, len);
        chunkOffset = offset + len;
        // The next offset must fit the 16-bit sub-command.
        ended = chunkOffset > 0xFFFF;
    }
    if (!ended) {
        setNext(next, CmdMcuIohint, quint16(chunkOffset));
        return;
    }
    const int zero = device.ioHint.indexOf('\0');
    parseGpioMapping(QString::fromLatin1(zero < 0 ? device.ioHint : device.ioHint.left(zero)));
    setNext(next, CmdMcuInfo, InfoConfigSize);
}

void ZuROVUrazev::infoConfigVersion(const unsigned char *data, unsigned len, NextPkt &next)
{
    if (len != 4) {
        next.done = true;
        QPointer<ZuROVUrazev> self(this);
        endUpload(true);
        if (self)
            _write_error(QStringLiteral("'Version' packet must contain exactly 4 bytes"));
        return;
    }
    const quint16 header = quint16(qFromLittleEndian<quint32>(data) & 0xFFFF);
    const int version = CfgBlockIO::headerId(header);
    logInfo(tr("The device uses the configuration version %1").arg(version));
    const quint32 imageBytes = quint32(device.image.size());
    if (version == CFG_V1::ZUC_RFPLCCONFIG_ID) {
        auto *editor = qobject_cast<ZUPLCConfigV1Widget *>(configWidget);
        if (!editor)
            return wrongEditor(next);
        CFG_V1::ZUC_RFPLCCONFIG block;
        block.Header = header;
        block.Address = 0;
        block.RFreq = FactoryRFreq;
        block.RFlags = FactoryRFlags;
        block.ASMBin = 0;
        editor->getConfig(block);
        block.ASMBin = imageBytes;
        device.config = block.serialize();
    } else if (version == CFG_V2::ZUC_RFPLCCONFIG_ID) {
        auto *editor = qobject_cast<ZUPLCConfigV2Widget *>(configWidget);
        if (!editor)
            return wrongEditor(next);
        CFG_V2::ZUC_RFPLCCONFIG block;
        block.Header = header;
        block.Address = 0;
        block.ASMBin = 0;
        editor->getConfig(block);
        block.ASMBin = imageBytes;
        device.config = block.serialize();
    } else {
        msgTimer.stop();
        next.done = true;
        QPointer<ZuROVUrazev> self(this);
        endUpload(true);
        if (!self)
            return;
        pagesel_clicked(T_Script);
        ui->menuView->setEnabled(false);
        pageWarning(this, tr("Device Configuration"),
                    tr("Cannot configure this device - device config version %1 is unknown").arg(version));
        return;
    }
    if (device.capabilities & DeviceCapability::Scripts) {
        // The device stores the script in 32-bit words.
        const int padded = (device.image.size() + 3) & ~3;
        device.image.append(QByteArray(padded - device.image.size(), '\0'));
        device.imageSize = quint32(padded);
    }
    setProgress(tr("Erasing flash"), 0, 0);
    setNext(next, CmdMcuCfgCtrl, CfgCtrlErase);
}

void ZuROVUrazev::wrongEditor(NextPkt &next)
{
    msgTimer.stop();
    next.done = true;
    QPointer<ZuROVUrazev> self(this);
    endUpload(false);
    if (self)
        warnConfigFailure();
}

void ZuROVUrazev::endUpload(bool invalid)
{
    stopProgressBar();
    restorePollTime();
    state = CS_IDLE;
    postUpload = PU_NOP;
    if (invalid)
        device.state = DS_Invalid;
    setupControls();
}

void ZuROVUrazev::processMcuTime(unsigned short sub, const unsigned char *data, unsigned len, NextPkt &next)
{
    // Only a clock request of the window's own is answered here: one sent
    // while idle or at the end of the connection chain. A late reply must
    // not end an upload or a read half-way.
    if (sub > 1 || (state != CS_IDLE && state != CS_GET_ASM_INFO)) {
        processPktBail(CmdMcuTime, sub);
        return;
    }
    next.done = true;
    if (len == 4) {
        const QDateTime time = QDateTime::fromSecsSinceEpoch(qFromLittleEndian<quint32>(data)).toLocalTime();
        logInfo(tr("The device clock has been synchronized (time is %1)")
                    .arg(time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
    } else {
        logError(tr("Time synchronization failed - the device replied with an invalid packet"));
    }
    state = CS_IDLE;
}

void ZuROVUrazev::deviceFirstConnected()
{
    logInfo(tr("Connected to %1").arg(ZUC_ADDRESS::toString(device.address)));
    if (settings.value(QStringLiteral("TimeSync"), false).toBool())
        QTimer::singleShot(1000, this, &ZuROVUrazev::on_actionTime_Sync_triggered);
}
