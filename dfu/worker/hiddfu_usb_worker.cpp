#include "hiddfu_usb_worker.h"

#include "dfu_status.h"
#include "hidproxy.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int CommandReport = 1;
constexpr int DataReport = 2;
// Report bytes before the image data, after the report ID.
constexpr int DataOffset = 7;
constexpr int ReportSize = 63;

constexpr uint8_t SetAddress = 0x01;
constexpr uint8_t EraseApplication = 0x02;
constexpr uint8_t EraseStorage = 0x10;

} // namespace

hiddfu_usb_worker::hiddfu_usb_worker(QObject *parent)
    : hiddfu_worker(parent)
{
}

void hiddfu_usb_worker::flash(void *vhandle, QFile *iofile)
{
    auto *device = static_cast<HIDProxy *>(vhandle);
    clearAbort();
    const qint64 imageStart = iofile->pos();
    const qint64 imageSize = iofile->size() - imageStart;
    // Nothing to write would still erase the application and leave 56
    // zero bytes at its start.
    if (imageSize <= 0)
        return conclude(CommunicationError, QStringLiteral("empty image"));
    if (flash_bulk(device, iofile, unsigned(imageStart), unsigned(imageSize)))
        return;
    // A bulk transfer that hung kept an abort waiting: it is honoured
    // before the report mode erases again.
    if (abortArrived())
        return concludeAborted();
    flashReports(device, iofile, imageStart, imageSize);
}

void hiddfu_usb_worker::flashReports(HIDProxy *device, QFile *file, qint64 imageStart, qint64 imageSize)
{
    if (!erase(device, EraseApplication, uint32_t(imageSize), "erase", false, false))
        return;
    DFUStatus status;
    log(QStringLiteral("flashing"));
    emit progress(0);
    QByteArray report(ReportSize, '\0');
    qint64 written = 0;
    if (imageSize > ReportBlock) {
        if (!sendCommand(device, SetAddress, ReportBlock))
            return conclude(CommunicationError, QStringLiteral("set address"));
        if (!verifyAddressSet(device, status, ReportBlock, VerifyMs))
            return;
        unsigned int expected = ReportBlock;
        // The image size noted at the start bounds the loop, not the file.
        for (qint64 offset = ReportBlock; offset < imageSize; offset += ReportBlock) {
            if (aborted())
                return concludeAborted();
            const qint64 count = std::min<qint64>(ReportBlock, imageSize - offset);
            if (!readBlock(file, report, imageStart + offset, count))
                return;
            if (!device->sendPacket(report, DataReport))
                return conclude(CommunicationError, QStringLiteral("data transfer"));
            expected += ReportBlock;
            if (!verifyBlockWritten(device, status, expected, percent(written, imageSize)))
                return;
            written += count;
            emit progress(percent(written, imageSize));
        }
    }

    if (!sendCommand(device, SetAddress, 0))
        return conclude(CommunicationError, QStringLiteral("set address"));
    if (!verifyAddressSet(device, status, 0, VerifyMs))
        return;
    if (!readBlock(file, report, imageStart, std::min<qint64>(ReportBlock, imageSize)))
        return;
    if (!device->sendPacket(report, DataReport))
        return conclude(CommunicationError, QStringLiteral("data transfer"));
    if (!verifyBlockWritten(device, status, ReportBlock, percent(written, imageSize)))
        return;
    emit progress(100);
    conclude(Done);
}

bool hiddfu_usb_worker::flash_bulk(HIDProxy *device, QFile *file, unsigned int imageStart, unsigned int imageSize)
{
    if (!device || device->interfaceCount() != 2 || device->interfaceClass(BulkInterface).deviceClass != 0xFF)
        return false;
    const auto end = [this](Result code, const QVariant &param = QVariant()) {
        conclude(code, param);
        return true;
    };
    // An abort while the bulk mode erases is a failed status read.
    if (!erase(device, EraseApplication, imageSize, "erase", true, false))
        return true;
    DFUStatus status;
    const auto read = [device](DFUStatus *s) { return getStatus(device, s); };
    log(QStringLiteral("flashing"));
    emit progress(0);
    qint64 written = 0;
    bool first = true;
    // Waits for a block to be written: true when it was; otherwise the
    // operation ended (returned in `over`) or the bootloader reported an
    // error code.
    const auto blockWritten = [&](bool *over) {
        *over = false;
        switch (awaitIdle(read, status, DFUStatus::Writing, PollMs, false)) {
        case Wait::Idle:
            return true;
        case Wait::Aborted:
        case Wait::StatusFailed:
            *over = end(CommunicationError, QStringLiteral("get status"));
            return false;
        case Wait::BootloaderError:
            return false;
        }
        return false;
    };

    if (imageSize > unsigned(BulkBlock)) {
        if (!sendCommand(device, SetAddress, BulkBlock))
            return end(CommunicationError, QStringLiteral("set address"));
        // Only that the bootloader still answers counts here.
        if (!getStatus(device, &status))
            return end(CommunicationError, QStringLiteral("get status"));
        QByteArray block;
        for (qint64 offset = BulkBlock; offset < qint64(imageSize); offset += BulkBlock) {
            if (aborted()) {
                concludeAborted();
                return true;
            }
            if (!readImage(file, imageStart + offset, std::min<qint64>(BulkBlock, imageSize - offset), &block))
                return true;
            if (!device->rawSend(BulkInterface, block, BulkTimeoutMs))
                return bulkFailed(first);
            first = false;
            bool over = false;
            if (!blockWritten(&over)) {
                if (over)
                    return true;
                log(flashingError(percent(written, imageSize), status.error));
                return false;
            }
            written += block.size();
            emit progress(percent(written, imageSize));
        }
        // The bulk blocks carry no address: a bootloader that lost a block
        // or restarted on the way shows it only in where it stopped.
        if (status.address != imageSize)
            return end(CommunicationError, QStringLiteral("set address"));
    }

    if (!sendCommand(device, SetAddress, 0))
        return end(CommunicationError, QStringLiteral("set address"));
    const unsigned int firstBlock = std::min<unsigned int>(BulkBlock, imageSize);
    QByteArray block;
    if (!readImage(file, imageStart, firstBlock, &block))
        return true;
    if (!device->rawSend(BulkInterface, block, BulkTimeoutMs))
        return bulkFailed(first);
    bool over = false;
    if (!blockWritten(&over))
        return over || end(FlashingError, flashingError(percent(written, imageSize), status.error));
    if (status.address != firstBlock)
        return end(CommunicationError, QStringLiteral("set address"));
    emit progress(100);
    return end(Done);
}

bool hiddfu_usb_worker::bulkFailed(bool first)
{
    if (first)
        log(tr("Bulk interface not supported - fallback to the slower one"));
    else
        log(QStringLiteral("data bulk transfer"));
    return false;
}

void hiddfu_usb_worker::eeprom_erase(void *handle)
{
    if (erase(static_cast<HIDProxy *>(handle), EraseStorage, 0, "erase storage", false, true))
        conclude(Done, QStringLiteral("SPI flash erased"));
}

bool hiddfu_usb_worker::erase(HIDProxy *device, uint8_t command, uint32_t argument, const char *step,
                              bool abortIsFailure, bool nameError)
{
    if (!sendCommand(device, command, argument)) {
        conclude(CommunicationError, QString::fromLatin1(step));
        return false;
    }
    log(QStringLiteral("Erasing..."));
    DFUStatus status;
    const auto read = [device](DFUStatus *s) { return getStatus(device, s); };
    switch (awaitIdle(read, status, DFUStatus::Erasing, EraseStepMs, true)) {
    case Wait::Idle:
        return true;
    case Wait::Aborted:
        if (!abortIsFailure) {
            concludeAborted();
            return false;
        }
        Q_FALLTHROUGH();
    case Wait::StatusFailed:
        conclude(CommunicationError, QStringLiteral("get status"));
        return false;
    case Wait::BootloaderError:
        conclude(EraseFailed,
                 nameError ? QVariant(QStringLiteral("internal error %1").arg(dfu_error_string(status.error)))
                           : QVariant());
        return false;
    }
    return false;
}

bool hiddfu_usb_worker::verifyAddressSet(HIDProxy *device, DFUStatus &status, unsigned int expected, int timeoutMs)
{
    const Check check = pollAddress(device, status, expected, timeoutMs);
    if (check == Check::Set)
        return true;
    endCheck(check);
    return false;
}

bool hiddfu_usb_worker::verifyBlockWritten(HIDProxy *device, DFUStatus &status, unsigned int expected,
                                           int donePercent)
{
    const Check check = pollAddress(device, status, expected, VerifyMs);
    if (check == Check::Set)
        return true;
    if (check == Check::BootloaderError)
        conclude(FlashingError, flashingError(donePercent, status.error));
    else
        endCheck(check);
    return false;
}

void hiddfu_usb_worker::endCheck(Check check)
{
    switch (check) {
    case Check::Aborted:
        return concludeAborted();
    case Check::StatusFailed:
        return conclude(CommunicationError, QStringLiteral("get status"));
    case Check::Set:
    case Check::BootloaderError:
    case Check::TimedOut:
        return conclude(CommunicationError, QStringLiteral("set address"));
    }
}

hiddfu_usb_worker::Check hiddfu_usb_worker::pollAddress(HIDProxy *device, DFUStatus &status, unsigned int expected,
                                                        int timeoutMs)
{
    const int polls = (timeoutMs + PollMs - 1) / PollMs;
    if (polls <= 0)
        return Check::TimedOut;
    if (aborted())
        return Check::Aborted;
    for (int count = 0;;) {
        if (!getStatus(device, &status))
            return Check::StatusFailed;
        if (status.error != 0)
            return Check::BootloaderError;
        if (!(status.flags & (DFUStatus::Erasing | DFUStatus::Writing)) && status.address == expected)
            return Check::Set;
        HIDProxy::qSleep(PollMs);
        if (++count >= polls)
            return Check::TimedOut;
        if (aborted())
            return Check::Aborted;
    }
}

bool hiddfu_usb_worker::readBlock(QFile *file, QByteArray &report, qint64 pos, qint64 count)
{
    QByteArray bytes;
    if (!readImage(file, pos, count, &bytes))
        return false;
    // A short block must not carry the bytes of the block before it.
    report.fill('\0');
    report.replace(DataOffset, int(bytes.size()), bytes);
    return true;
}

bool hiddfu_usb_worker::sendCommand(HIDProxy *device, uint8_t code, uint32_t argument)
{
    if (!device)
        return false;
    char command[5] = {char(code)};
    qToLittleEndian<quint32>(argument, command + 1);
    return device->sendPacket(command, sizeof command, CommandReport);
}
