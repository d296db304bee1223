#pragma once

#include "hiddfu_worker.h"

#include <QByteArray>

#include <cstdint>

class UARTCommunicator;
struct DFUStatus;

// Writes a firmware image or erases the storage of a bootloader on a serial
// line, through the framed link to the link's target. The commands:
//   01 02        erase the application area
//   01 01 addr   set the write address (u32, little-endian)
//   02 data      write up to 248 bytes at the write address
//   01 10        erase the storage
//   03           read the status
// Nothing is answered but the status, which every step is watched through.
// The first block of the image is written last.
//
// The link arrives moved into the worker thread and is moved back to the
// application's main thread before the end of the operation is told.
class hiddfu_uart_worker : public hiddfu_worker
{
    Q_OBJECT

public:
    static constexpr int Block = 248;
    static constexpr int EraseStartMs = 500;
    static constexpr int EraseStepMs = 100;
    static constexpr int WriteStepMs = 50;

    explicit hiddfu_uart_worker(QObject *parent = nullptr);

public slots:
    void flash(void *vhandle, QFile *iofile) override;
    void eeprom_erase(void *handle) override;

protected:
    void releaseHandle() override;

private:
    // The waits; on false the operation ended.
    bool eraseDone();
    // A block is written when the bootloader is idle with its write address
    // at `end`, the block's start plus its size.
    bool blockWritten(qint64 end, int donePercent);
    // Polls while the bootloader shows `busyFlag`, the status read last left
    // in `status`; a bootloader error ends an erase as EraseFailed and a
    // write as FlashingError at `donePercent`.
    bool waitWhileBusy(uint8_t busyFlag, int pauseMs, int donePercent, DFUStatus &status);
    // Sets the write address and checks it in the status; on false the
    // operation ended.
    bool setAddress(uint32_t address);
    // Sends the `count` image bytes at `pos` of `file` as one write
    // command; on false the operation ended.
    bool sendBlock(QFile *file, qint64 pos, qint64 count);
    bool readStatus(DFUStatus *status);

    UARTCommunicator *m_link = nullptr;
};
