#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <functional>

class QFile;
struct DFUStatus;

// One erase or write operation against a bootloader, run in the updater's
// worker thread. The transport of the bootloader comes in as `handle`: the
// USB HID device or the serial link, so that one slot signature serves
// both. Slots are reached through queued calls; everything the worker has to
// say goes out through its three signals.
//
// Every operation ends with exactly one terminal result (codes Done to
// FlashingError, through error()) and then one finished(), true only after
// Done. An aborted operation may end with finished(false) alone. LogLine is
// never a result: any number of log lines may come before the end.
class hiddfu_worker : public QObject
{
    Q_OBJECT

public:
    // The codes of error(): outcomes, failures and log lines.
    enum Result {
        Done = 0,               // param: invalid, or a text such as "SPI flash erased"
        EraseFailed = 1,        // param: invalid, or "internal error %1"
        CommunicationError = 2, // param: the step that failed, untranslated
        FileReadError = 3,      // param: the file's error text
        FlashingError = 4,      // param: "flashing at %1. internal error %2"
        LogLine = 5,            // param: the line
    };
    Q_ENUM(Result)

    // progress() value while the bootloader erases; 0 to 100 are percent of
    // the image written.
    static constexpr int BusyTick = -1;

    explicit hiddfu_worker(QObject *parent = nullptr);

public slots:
    // Writes the image of the package `iofile`, open and positioned at its
    // first image byte.
    virtual void flash(void *handle, QFile *iofile) = 0;
    // Erases the board's separate storage.
    virtual void eeprom_erase(void *handle) = 0;
    // Asks the running operation to stop at its next pause.
    virtual void abort();

signals:
    void progress(int val);
    void error(int code, QVariant param);
    void finished(bool status);

protected:
    bool aborted() const { return m_abort; }
    void clearAbort() { m_abort = false; }
    // Lets in an abort() that was queued while the thread was held up by a
    // blocking call rather than a pause; true when the flag is set.
    bool abortArrived();

    // Reads the `count` image bytes at `pos` of the package. The image is
    // what the file held when the operation started: a file cut short since
    // (rewritten while it is flashed) ends the operation with
    // FileReadError, as does a read error.
    bool readImage(QFile *file, qint64 pos, qint64 count, QByteArray *bytes);

    // Ends the running operation with its terminal result: gives the handle
    // back, emits error(code, param), then finished(code == Done).
    void conclude(Result code, const QVariant &param = QVariant());
    // Ends an aborted operation without a result: gives the handle back and
    // emits finished(false).
    void concludeAborted();
    void log(const QString &line);

    // What ended a wait for the bootloader.
    enum class Wait {
        Idle,            // the busy flag went off
        Aborted,         // the abort flag was found set after a pause
        StatusFailed,    // the status could not be read
        BootloaderError, // the status carries an error code
    };
    // Waits without a bound while the bootloader shows `busyFlag`: pause,
    // tick progress when asked, check the abort flag, read the status into
    // `status`. The pauses run the thread's event loop, so a queued abort()
    // gets in.
    Wait awaitIdle(const std::function<bool(DFUStatus *)> &readStatus, DFUStatus &status, uint8_t busyFlag,
                   int pauseMs, bool tick);

    // Percent of `total` that `written` is, rounded half away from zero.
    static int percent(qint64 written, qint64 total);
    // The message of a bootloader error while data were written.
    static QString flashingError(int percent, uint8_t code);

    // Hands the borrowed transport back before the end of an operation is
    // announced; the serial worker returns its link to the main thread.
    virtual void releaseHandle();

private:
    bool m_abort = false;
};
