#include "dfu_status.h"

#include "hidproxy.h"
#include "uartcommunicator.h"

#include <QByteArray>
#include <QPointer>
#include <QtEndian>

#include <algorithm>

namespace {

constexpr int StatusReportId = 3;
constexpr int StatusReportSize = 14;
// The USB bootloader counts its room from the flash base.
constexpr uint32_t FlashBase = 0x08000000;

constexpr char StatusCommand = 0x03;
constexpr int StatusReplySize = 15;
// Time of the answer on the line, in bit times of the link's rate.
constexpr int StatusReplyBits = 4000000;

uint32_t u32At(const QByteArray &bytes, int offset)
{
    return qFromLittleEndian<quint32>(bytes.constData() + offset);
}

} // namespace

QString dfu_error_string(unsigned char code)
{
    static const char *const texts[] = {
        "no error",
        "flash operation",
        "busy",
        "invalid address",
        "alignment error",
        "write to non-erased area",
        "read/write protected",
        "crc error",
        "overrun",
    };
    if (code < sizeof texts / sizeof texts[0])
        return QString::fromLatin1(texts[code]);
    return QStringLiteral("unknown error");
}

bool getStatus(HIDProxy *device, DFUStatus *status)
{
    if (!device || !status || !device->isOpen())
        return false;
    QByteArray report;
    if (!device->getFeature(StatusReportSize, report, StatusReportId) || report.size() < StatusReportSize)
        return false;
    status->flags = uint8_t(report.at(0));
    status->error = uint8_t(report.at(1));
    status->address = u32At(report, 2);
    const uint32_t limit = u32At(report, 6);
    status->limit = limit > FlashBase ? limit - FlashBase : limit;
    status->hardwareId = u32At(report, 10);
    return true;
}

bool getUStatus(UARTCommunicator *link, DFUStatus *status)
{
    if (!link || !status)
        return false;
    // An answer left over from an earlier exchange must not answer this one.
    link->drop();
    if (!link->sendto(link->target(), QByteArray(1, StatusCommand)))
        return false;
    // At least 1 ms: a wait of 0 would not wait at all on a very fast line.
    const QPointer<UARTCommunicator> alive(link);
    link->waitMessageReady(std::max(1, StatusReplyBits / link->baud()));
    if (!alive || !link->pending())
        return false;
    const UARTMessage reply = link->get();
    if (reply.first != link->target() || reply.second.size() != StatusReplySize)
        return false;
    // Byte 0 echoes the command.
    status->flags = uint8_t(reply.second.at(1));
    status->error = uint8_t(reply.second.at(2));
    status->address = u32At(reply.second, 3);
    status->limit = u32At(reply.second, 7);
    status->hardwareId = u32At(reply.second, 11);
    return true;
}
