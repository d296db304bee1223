#pragma once

#include "hiddfu_worker.h"

#include <QByteArray>

#include <cstdint>

class HIDProxy;
struct DFUStatus;

// Writes a firmware image or erases the storage of a bootloader on USB HID.
// Commands go out as output report 1, image data as output report 2, the
// state comes back as feature report 3. A bootloader with a vendor-specific
// bulk interface 1 takes the image in 512-byte blocks instead; when that
// fails, the image is written again through reports. Either way the first
// block of the image is written last, so that a broken update leaves no
// startable application behind.
//
// The device object is used from the worker thread, unmoved, for the whole
// operation.
class hiddfu_usb_worker : public hiddfu_worker
{
    Q_OBJECT

public:
    static constexpr int ReportBlock = 56;
    static constexpr int BulkBlock = 512;
    static constexpr int EraseStepMs = 100;
    static constexpr int PollMs = 50;
    static constexpr int VerifyMs = 1000;
    static constexpr int BulkTimeoutMs = 5000;
    static constexpr int BulkInterface = 1;

    explicit hiddfu_usb_worker(QObject *parent = nullptr);

    // Bulk mode. False when it did not carry the operation through and the
    // report mode must run (nothing ended); true when the operation is over
    // and its end was told.
    bool flash_bulk(HIDProxy *device, QFile *file, unsigned int imageStart, unsigned int imageSize);
    // Polls until the bootloader is idle at `expected`, for `timeoutMs` in
    // 50 ms steps. On false the end of the operation was told. The status
    // read last stays in `status`.
    bool verifyAddressSet(HIDProxy *device, DFUStatus &status, unsigned int expected, int timeoutMs);

public slots:
    void flash(void *vhandle, QFile *iofile) override;
    void eeprom_erase(void *handle) override;

private:
    enum class Check { Set, Aborted, StatusFailed, BootloaderError, TimedOut };
    Check pollAddress(HIDProxy *device, DFUStatus &status, unsigned int expected, int timeoutMs);
    // verifyAddressSet after a data block: a bootloader error code ends the
    // operation as a flashing error at `donePercent`.
    bool verifyBlockWritten(HIDProxy *device, DFUStatus &status, unsigned int expected, int donePercent);
    void endCheck(Check check);

    // Sends an erase command and waits without a bound for its end. On
    // false the operation ended: a failed send names `step`, a bootloader
    // error is EraseFailed (its text given when `nameError`), an abort ends
    // without a result or, when `abortIsFailure`, as a failed status read.
    bool erase(HIDProxy *device, uint8_t command, uint32_t argument, const char *step, bool abortIsFailure,
               bool nameError);
    void flashReports(HIDProxy *device, QFile *file, qint64 imageStart, qint64 imageSize);
    // Reads the `count` image bytes at `pos` into the zeroed data report;
    // on false the operation ended.
    bool readBlock(QFile *file, QByteArray &report, qint64 pos, qint64 count);
    bool sendCommand(HIDProxy *device, uint8_t code, uint32_t argument);
    // The end of a failed bulk transfer: logged, and the report mode runs.
    bool bulkFailed(bool first);
};
