#include "hidproxy.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimerEvent>

#include <hidapi.h>
#include <libusb.h>

#include <algorithm>
#include <cstring>

namespace {

constexpr int MinPollIntervalMs = 5;
// How often waitForReadyRead reads a device that has nothing yet.
constexpr int WaitReadIntervalMs = 1;

bool g_contextStarted = false;
libusb_context *g_usbContext = nullptr;

} // namespace

HIDProxy::HIDProxy(QObject *parent)
    : QObject(parent)
{
    m_replyTimer.setSingleShot(true);
    m_replyTimer.setInterval(0);
    connect(&m_replyTimer, &QTimer::timeout, this, &HIDProxy::nack);
}

HIDProxy::~HIDProxy() = default;

void HIDProxy::initContext()
{
    if (g_contextStarted)
        return;
    g_contextStarted = true;
    hid_init();
    if (libusb_init(&g_usbContext) != 0)
        g_usbContext = nullptr;
}

libusb_context *HIDProxy::context()
{
    return g_usbContext;
}

void HIDProxy::deinit()
{
    hid_exit();
    if (g_usbContext)
        libusb_exit(g_usbContext);
    g_usbContext = nullptr;
    g_contextStarted = false;
}

void HIDProxy::qSleep(int ms)
{
    if (ms <= 0)
        return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void HIDProxy::setReportID(int id)
{
    m_reportId = id;
}

void HIDProxy::setReportSize(int size)
{
    m_reportSize = std::clamp(size, 0, int(MaxReportSize));
}

void HIDProxy::setReplyTimeout(int ms)
{
    m_replyTimer.setInterval(ms);
}

void HIDProxy::setPollInterval(int ms)
{
    stopPolling();
    m_pollInterval = std::max(ms, MinPollIntervalMs);
    if (isOpen())
        startPolling();
}

void HIDProxy::startPolling()
{
    if (m_pollInterval != 0 && m_pollTimerId < 0)
        m_pollTimerId = startTimer(m_pollInterval, Qt::CoarseTimer);
}

void HIDProxy::stopPolling()
{
    if (m_pollTimerId >= 0)
        killTimer(m_pollTimerId);
    m_pollTimerId = -1;
}

void HIDProxy::stopTraffic()
{
    if (m_replyTimer.interval() != 0)
        m_replyTimer.stop();
    m_reportQueue.clear();
    stopPolling();
}

int HIDProxy::effectiveReportId(int reportId) const
{
    if (reportId >= 0)
        return reportId & 0xFF;
    if (reportId == -1 && m_reportId >= 0)
        return m_reportId & 0xFF;
    return -1;
}

bool HIDProxy::sendPacket(const QByteArray &data, int reportId)
{
    return sendPacket(data.constData(), unsigned(data.size()), reportId);
}

bool HIDProxy::sendPacket(const void *data, unsigned int length, int reportId)
{
    if (m_replyTimer.interval() != 0)
        m_replyTimer.start();
    const int id = effectiveReportId(reportId);
    const int offset = id >= 0 ? 1 : 0;
    if (id >= 0)
        m_output[0] = (unsigned char)id;
    std::memset(m_output + offset, 0, size_t(m_reportSize));
    if (length != 0)
        std::memcpy(m_output + offset, data, std::min<size_t>(length, size_t(m_reportSize)));
    return writeReport(offset + m_reportSize);
}

bool HIDProxy::setFeature(const QByteArray &data, int reportId)
{
    if (data.size() > MaxReportSize)
        return false;
    unsigned char buffer[BufferSize] = {};
    const int id = effectiveReportId(reportId == -2 ? -1 : reportId);
    buffer[0] = id >= 0 ? (unsigned char)id : 0;
    std::memcpy(buffer + 1, data.constData(), size_t(data.size()));
    return writeFeature(buffer, data.size() + 1);
}

int HIDProxy::waitForReadyRead(int timeoutMs)
{
    if (timeoutMs <= 0)
        return -1;
    int result = -1;
    const QPointer<HIDProxy> alive(this);
    // One read; true when the wait is over. A close or a delete by anything
    // that ran during the wait (a reply time-out, the owner) ends it without
    // touching the device again.
    const auto readOnce = [&] {
        if (!alive || !isOpen())
            return true;
        const int read = periodic();
        if (read == 0)
            return false;
        result = read;
        if (read < 0) {
            close();
            emit disconnected();
        }
        return true;
    };
    if (!readOnce()) {
        QEventLoop loop;
        QTimer overall;
        overall.setSingleShot(true);
        overall.setTimerType(Qt::PreciseTimer);
        connect(&overall, &QTimer::timeout, &loop, &QEventLoop::quit);
        // Reads with a short pause between them, so that a wait on a silent
        // device does not hold a core.
        QTimer reader;
        reader.setTimerType(Qt::PreciseTimer);
        connect(&reader, &QTimer::timeout, &loop, [&] {
            if (readOnce())
                loop.quit();
        });
        overall.start(timeoutMs);
        reader.start(WaitReadIntervalMs);
        loop.exec();
    }
    if (alive && result > 0 && m_reportId >= 0)
        --result;
    return result;
}

QByteArray HIDProxy::getData(int length)
{
    const int offset = m_reportId >= 0 ? 1 : 0;
    if (length < 0 || length > BufferSize - offset)
        return QByteArray();
    return QByteArray::fromRawData(reinterpret_cast<const char *>(m_input + offset), length);
}

void HIDProxy::queueReport(const QByteArray &data, int reportId)
{
    if (!m_replyTimer.isActive() && m_reportQueue.isEmpty()) {
        sendPacket(data, reportId);
        return;
    }
    if (data.isEmpty())
        return;
    m_reportQueue.append({effectiveReportId(reportId), data});
}

void HIDProxy::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_pollTimerId) {
        QObject::timerEvent(event);
        return;
    }
    if (isOpen()) {
        processPeriodic(periodic());
        return;
    }
    m_reportQueue.clear();
    stopPolling();
}

void HIDProxy::nack()
{
    const QPointer<HIDProxy> alive(this);
    close();
    emit disconnected();
    if (alive)
        emit deviceChanged(QString());
}

void HIDProxy::processPeriodic(int result)
{
    const QPointer<HIDProxy> alive(this);
    if (result < 0) {
        close();
        emit disconnected();
    } else if (result > 0 && (m_reportId == -1 || m_input[0] == m_reportId)) {
        if (m_replyTimer.interval() != 0)
            m_replyTimer.stop();
        emit processInRequest(QByteArray::fromRawData(reinterpret_cast<const char *>(m_input),
                                                      std::min(result, int(BufferSize))));
    }
    if (!alive)
        return;
    if (!m_replyTimer.isActive() && !m_reportQueue.isEmpty()) {
        const QueuedReport report = m_reportQueue.takeFirst();
        sendPacket(report.data, report.reportId >= 0 ? report.reportId : -2);
    }
}
