#include "hiddfu_uart_worker.h"

#include "dfu_status.h"
#include "hidproxy.h"
#include "uartcommunicator.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

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
    if (total > Block) {
        if (!setAddress(Block))
            return;
        iofile->seek(start + Block);
        while (!iofile->atEnd()) {
            if (aborted())
                return concludeAborted();
            qint64 count = 0;
            if (!sendBlock(iofile, false, &count))
                return;
            if (count == 0)
                break;
            if (!blockWritten(percent(sent, total)))
                return;
            sent += count;
            emit progress(percent(sent, total));
        }
    }

    if (!setAddress(0))
        return;
    iofile->seek(start);
    qint64 count = 0;
    // Block 0 of an empty image still goes out, as the bare write command.
    if (!sendBlock(iofile, true, &count) || !blockWritten(percent(sent, total)))
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
    return waitWhileBusy(DFUStatus::Erasing, EraseStepMs, 0);
}

bool hiddfu_uart_worker::blockWritten(int donePercent)
{
    return waitWhileBusy(DFUStatus::Writing, WriteStepMs, donePercent);
}

bool hiddfu_uart_worker::waitWhileBusy(uint8_t busyFlag, int pauseMs, int donePercent)
{
    const bool erasing = busyFlag == DFUStatus::Erasing;
    DFUStatus status;
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

bool hiddfu_uart_worker::sendBlock(QFile *file, bool evenEmpty, qint64 *count)
{
    const QByteArray block = file->read(Block);
    if (file->error() != QFileDevice::NoError) {
        conclude(FileReadError, file->errorString());
        return false;
    }
    *count = block.size();
    if (block.isEmpty() && !evenEmpty)
        return true;
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
