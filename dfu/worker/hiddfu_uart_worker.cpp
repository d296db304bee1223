#include "hiddfu_uart_worker.h"

#include "dfu_status.h"
#include "hidproxy.h"
#include "uartcommunicator.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {

const QByteArray EraseApplication = QByteArrayLiteral("\x01\x02");
const QByteArray EraseStorage = QByteArrayLiteral("\x01\x10");
constexpr char SetAddressPrefix[] = "\x01\x01";
constexpr char WriteCommand = 0x02;

} // namespace

hiddfu_uart_worker::hiddfu_uart_worker(QObject *parent)
    : hiddfu_worker(parent)
{
}

void hiddfu_uart_worker::flash(void *vhandle, QFile *iofile)
{
    m_link = static_cast<UARTCommunicator *>(vhandle);
    clearAbort();
    const qint64 start = iofile->pos();
    const qint64 total = iofile->size() - start;
    if (!m_link || !m_link->send(EraseApplication))
        return conclude(CommunicationError, QStringLiteral("erase"));
    log(QStringLiteral("Erasing..."));
    if (!eraseDone())
        return;

    log(QStringLiteral("flashing"));
    emit progress(0);
    qint64 sent = 0;
    // The image size noted at the start bounds the loop, not the file.
    if (total > Block) {
        if (!setAddress(Block))
            return;
        for (qint64 offset = Block; offset < total; offset += Block) {
            if (aborted())
                return concludeAborted();
            const qint64 count = std::min<qint64>(Block, total - offset);
            if (!sendBlock(iofile, start + offset, count) || !blockWritten(offset + count, percent(sent, total)))
                return;
            sent += count;
            emit progress(percent(sent, total));
        }
    }

    if (!setAddress(0))
        return;
    // Block 0 of an empty image still goes out, as the bare write command.
    const qint64 count = std::min<qint64>(Block, total);
    if (!sendBlock(iofile, start, count) || !blockWritten(count, percent(sent, total)))
        return;
    emit progress(100);
    conclude(Done);
}

void hiddfu_uart_worker::eeprom_erase(void *handle)
{
    m_link = static_cast<UARTCommunicator *>(handle);
    if (!m_link || !m_link->send(EraseStorage))
        return conclude(CommunicationError, QStringLiteral("eeprom_erase"));
    log(QStringLiteral("Erasing eeprom..."));
    if (eraseDone())
        conclude(Done, QStringLiteral("SPI flash erased"));
}

void hiddfu_uart_worker::releaseHandle()
{
    if (m_link && QCoreApplication::instance())
        m_link->moveToThread(QCoreApplication::instance()->thread());
    m_link = nullptr;
}

bool hiddfu_uart_worker::eraseDone()
{
    HIDProxy::qSleep(EraseStartMs);
    DFUStatus status;
    return waitWhileBusy(DFUStatus::Erasing, EraseStepMs, 0, status);
}

bool hiddfu_uart_worker::blockWritten(qint64 end, int donePercent)
{
    DFUStatus status;
    if (!waitWhileBusy(DFUStatus::Writing, WriteStepMs, donePercent, status))
        return false;
    // A write frame spoiled on the line is dropped without a word, and a
    // bootloader that restarted writes from 0: either shows in the address.
    if (status.address != end) {
        conclude(CommunicationError, QStringLiteral("set address"));
        return false;
    }
    return true;
}

bool hiddfu_uart_worker::waitWhileBusy(uint8_t busyFlag, int pauseMs, int donePercent, DFUStatus &status)
{
    const bool erasing = busyFlag == DFUStatus::Erasing;
    switch (awaitIdle([this](DFUStatus *s) { return readStatus(s); }, status, busyFlag, pauseMs, erasing)) {
    case Wait::Idle:
        return true;
    case Wait::Aborted:
    case Wait::StatusFailed:
        conclude(CommunicationError, QStringLiteral("get status"));
        return false;
    case Wait::BootloaderError:
        if (erasing)
            conclude(EraseFailed);
        else
            conclude(FlashingError, flashingError(donePercent, status.error));
        return false;
    }
    return false;
}

bool hiddfu_uart_worker::setAddress(uint32_t address)
{
    QByteArray command(SetAddressPrefix, 2);
    command.resize(6);
    qToLittleEndian<quint32>(address, command.data() + 2);
    if (!m_link->send(command)) {
        conclude(CommunicationError, QStringLiteral("set address"));
        return false;
    }
    DFUStatus status;
    if (!readStatus(&status) || status.address != address) {
        conclude(CommunicationError, QStringLiteral("get status / set address"));
        return false;
    }
    return true;
}

bool hiddfu_uart_worker::sendBlock(QFile *file, qint64 pos, qint64 count)
{
    QByteArray block;
    if (!readImage(file, pos, count, &block))
        return false;
    if (!m_link->send(QByteArray(1, WriteCommand) + block)) {
        conclude(CommunicationError, QStringLiteral("data bulk transfer"));
        return false;
    }
    return true;
}

bool hiddfu_uart_worker::readStatus(DFUStatus *status)
{
    return getUStatus(m_link, status);
}
