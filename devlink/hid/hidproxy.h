#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

struct libusb_context;

// One USB HID device: report buffers, the report-ID convention, a reply
// time-out that declares a silent device lost, a queue that holds output
// reports back until the previous one was answered, and a poll timer that
// reads input reports and hands them out. The operating system side is left
// to a back end.
//
// Receivers of disconnected() and processInRequest() may delete the proxy.
//
// Report-ID arguments: 0 or more is the report-ID byte; -1 takes the member
// report ID when that is 0 or more and adds none otherwise; -2 adds none.
class HIDProxy : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString device READ device WRITE setDevice NOTIFY deviceChanged)
    Q_PROPERTY(int reportID READ reportID WRITE setReportID)
    Q_PROPERTY(int reportSize READ reportSize WRITE setReportSize)
    Q_PROPERTY(int replyTimeout READ replyTimeout WRITE setReplyTimeout)
    Q_PROPERTY(int pollInterval READ pollInterval WRITE setPollInterval)
    Q_PROPERTY(int quirks READ getQuirks WRITE setQuirks)

public:
    enum Quirk { QUIRK_NONE = 0, QUIRK_INPUT_VS_FEATURE = 1 };
    Q_ENUM(Quirk)

    // Class, subclass and protocol of a device or interface; zeros when
    // not available.
    struct UsbClass
    {
        unsigned char deviceClass = 0;
        unsigned char subClass = 0;
        unsigned char protocol = 0;
    };

    // One listed HID device.
    struct Descriptor
    {
        int vendorId = 0;
        int productId = 0;
        QString manufacturer;
        QString product;
        QString serialNumber;
    };

    static constexpr int BufferSize = 64;
    static constexpr int MaxReportSize = BufferSize - 1;

    explicit HIDProxy(QObject *parent = nullptr);
    ~HIDProxy() override;

    // Starts the HID library and the process-wide libusb context once.
    static void initContext();
    static libusb_context *context();
    static void deinit();
    // Waits without blocking the calling thread's event processing; returns
    // at once for 0 or less.
    static void qSleep(int ms);

    int reportID() const { return m_reportId; }
    void setReportID(int id);
    int reportSize() const { return m_reportSize; }
    // Kept to 0..63 so that a report with its ID byte fits the buffers.
    void setReportSize(int size);
    int replyTimeout() const { return m_replyTimer.interval(); }
    void setReplyTimeout(int ms);
    int pollInterval() const { return m_pollInterval; }
    void setPollInterval(int ms);

    virtual QStringList availableHidDevices(int vid, int pid, const QString &product) = 0;
    virtual QStringList availableHidDevices(const QString &manufacturer, const QString &product) = 0;
    virtual QString device() const = 0;
    virtual bool setDevice(const QString &name) = 0;
    virtual UsbClass deviceClass() = 0;
    virtual int interfaceCount() = 0;
    virtual UsbClass interfaceClass(int interface) = 0;
    virtual int endpointCount(int interface) = 0;
    virtual bool isOpen() const = 0;
    virtual bool hasPermission() const = 0;
    virtual void close() = 0;
    virtual int getQuirks() const = 0;
    virtual void setQuirks(int quirks) = 0;
    virtual bool sendPacket(const QByteArray &data, int reportId = -1);
    // Writes one full-length report; data beyond the report size are cut and
    // the rest of the report is zero-filled.
    virtual bool sendPacket(const void *data, unsigned int length, int reportId = -1);
    // At most 63 data bytes; more are refused.
    virtual bool setFeature(const QByteArray &data, int reportId = -1);
    virtual bool getFeature(int length, QByteArray &out, int reportId = -1) = 0;
    // Waits up to `timeoutMs` for an input report: its data bytes (the count
    // less the report-ID byte), or -1 when none came. A failed read closes
    // the device and emits disconnected(). Returns at once for a time-out
    // of 0 or less; any close or a delete of the proxy during the wait ends
    // it.
    virtual int waitForReadyRead(int timeoutMs);
    // A view of the input buffer after the report-ID byte, valid until the
    // next read; empty when `length` runs past the buffer.
    virtual QByteArray getData(int length);
    virtual bool rawSend(int interface, const QByteArray &data, int timeoutMs) = 0;
    virtual QByteArray rawReceive(int interface, int length, int timeoutMs, bool *ok = nullptr) = 0;
    // Sends at once unless a reply is awaited; then queues the report.
    virtual void queueReport(const QByteArray &data, int reportId = -1);

signals:
    void processInRequest(QByteArray data);
    void deviceChanged(QString name);
    void disconnected();

protected:
    // Reads one input report into the input buffer: bytes read, 0 when none
    // is waiting, -1 on failure.
    virtual int periodic() = 0;
    // Writes `length` bytes of the output buffer.
    virtual bool writeReport(int length) = 0;
    virtual bool writeFeature(const unsigned char *data, int length) = 0;

    void timerEvent(QTimerEvent *event) override;

    unsigned char *inputBuffer() { return m_input; }
    const unsigned char *outputBuffer() const { return m_output; }
    // Starts the poll timer when an interval is set; back ends call it on open.
    void startPolling();
    // Stops the poll timer, the reply timer and drops the queued reports;
    // back ends call it on close.
    void stopTraffic();

protected slots:
    virtual void nack();
    virtual void processPeriodic(int result);

private:
    // The report-ID byte for `reportId` by the convention above; -1 for none.
    int effectiveReportId(int reportId) const;
    void stopPolling();

    int m_reportId = -1;
    int m_reportSize = MaxReportSize;
    unsigned char m_input[BufferSize] = {};
    unsigned char m_output[BufferSize] = {};
    QTimer m_replyTimer;
    int m_pollInterval = 0;
    int m_pollTimerId = -1;
    // A report held back until the previous one was answered, with the
    // report-ID byte it was queued with (-1 for none); it goes out at full
    // length like any other report.
    struct QueuedReport
    {
        int reportId;
        QByteArray data;
    };
    QList<QueuedReport> m_reportQueue;
};
