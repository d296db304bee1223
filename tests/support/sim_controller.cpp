#include "sim_controller.h"

#include "zuhal_packet.h"

#include <QtEndian>

namespace {

constexpr quint8 PortMc = 1;
constexpr quint16 Broadcast = 0xFFFF;

QByteArray u16le(quint16 v)
{
    QByteArray b(2, 0);
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray u32le(quint32 v)
{
    QByteArray b(4, 0);
    qToLittleEndian(v, b.data());
    return b;
}

} // namespace

QByteArray SimDevice::factoryV1()
{
    return QByteArray::fromHex("b1140000766221002580010000000000");
}

QByteArray SimDevice::factoryV2()
{
    return QByteArray::fromHex("9204000000000000");
}

SimDevice SimDevice::radioController(quint16 address)
{
    SimDevice d;
    d.address = address;
    d.capabilities = 0x0001 | 0x0004 | 0x0100 | 0x1000;
    d.firmware = "SIM-PLC radio 1.0";
    d.uuid = QByteArray::fromHex("5349014e");
    d.ioHint = "PA0/LED;PA1/KEY";
    d.config = factoryV1();
    d.factoryConfig = d.config;
    d.configMax = 16;
    return d;
}

SimDevice SimDevice::scriptController(quint16 address)
{
    SimDevice d;
    d.address = address;
    d.capabilities = 0x0004 | 0x0100 | 0x0200 | 0x0400 | 0x0800;
    d.firmware = "SIM-PLC script 1.0";
    d.uuid = QByteArray::fromHex("5350024f");
    d.ioHint = "PA0-3/D0";
    d.config = factoryV2();
    d.factoryConfig = d.config;
    d.configMax = 8 + 4096;
    return d;
}

SimController::SimController(FakeMessenger *fake)
    : m_fake(fake)
{
    m_devices.push_back(std::make_unique<SimDevice>(SimDevice::radioController(0x0042)));
    m_fake->setResponder([this](const ZuHalPacket &request) { return respond(request); });
}

SimController::~SimController()
{
    if (m_fake)
        m_fake->setResponder(nullptr);
}

SimDevice &SimController::addRemote(const SimDevice &device)
{
    m_devices.push_back(std::make_unique<SimDevice>(device));
    return *m_devices.back();
}

SimDevice *SimController::device(quint16 address)
{
    for (const auto &d : m_devices)
        if (d->address == address)
            return d.get();
    return nullptr;
}

ZuHalPacket SimController::replyFrom(const SimDevice &device, quint8 command, quint16 sub, const QByteArray &data,
                                     quint16 destination)
{
    return FakeMessenger::mcReply(command, sub, data, device.address, destination);
}

QList<ZuHalPacket> SimController::respond(const ZuHalPacket &request)
{
    if (m_hook)
        m_hook(request);
    if (!m_fake || !m_fake->isOpen() || request.dstPort() != PortMc)
        return {};
    const QByteArray payload = request.data();
    if (payload.size() < 3)
        return {};
    const quint8 command = static_cast<quint8>(payload[0]);
    const quint16 asked = qFromLittleEndian<quint16>(payload.constData() + 1);
    const QByteArray data = payload.mid(3);

    // Who answers: the addressed device; a broadcast ping reaches the
    // remote devices, any other broadcast the attached one.
    QList<SimDevice *> answering;
    if (request.destination() == Broadcast) {
        if (command == 0x01 && asked == 4 && m_devices.size() > 1) {
            for (size_t i = 1; i < m_devices.size(); ++i)
                answering << m_devices[i].get();
        } else {
            answering << m_devices.front().get();
        }
    } else if (SimDevice *d = device(request.destination())) {
        answering << d;
    }

    QList<ZuHalPacket> replies;
    for (SimDevice *d : answering) {
        const SimDevice::Key key{command, asked};
        if (d->silent.contains(key))
            continue;
        quint16 sub = asked;
        Reply reply = answer(*d, command, sub, data);
        if (d->replyOverride.contains(key))
            reply = d->replyOverride.value(key);
        if (reply)
            replies << replyFrom(*d, command, sub, *reply, request.source());
    }
    return replies;
}

SimController::Reply SimController::answer(SimDevice &device, quint8 command, quint16 &sub, const QByteArray &data)
{
    switch (command) {
    case 0x01:
        return answerInfo(device, sub);
    case 0x02:
        return answerIohint(device, sub);
    case 0x03:
        return answerCfgRead(device, sub);
    case 0x04:
        return answerCfgWrite(device, sub, data);
    case 0x06:
        return answerCfgCtrl(device, sub);
    case 0x07:
        return answerTime(device, sub, data);
    default:
        return answerScript(device, command, sub, data);
    }
}

SimController::Reply SimController::answerInfo(SimDevice &device, quint16 sub)
{
    switch (sub) {
    case 0:
        return u16le(device.address);
    case 1:
        return u32le(device.configSize.value_or(static_cast<quint32>(device.config.size())));
    case 2:
        return u32le(device.configMax);
    case 3:
        return u32le(device.capabilities);
    case 4:
        return device.firmware;
    case 5: {
        // The header of the stored block: its first 16-bit word.
        const quint16 header = device.config.size() >= 2 ? qFromLittleEndian<quint16>(device.config.constData()) : 0;
        return u32le(header);
    }
    case 6:
        return device.uuid;
    case 7:
        return QByteArray(1, static_cast<char>(device.battery));
    default:
        return std::nullopt;
    }
}

SimController::Reply SimController::answerIohint(SimDevice &device, quint16 &offset)
{
    QByteArray chunk;
    if (device.ioHintEndless)
        chunk = QByteArray(device.ioHintChunk, 'x');
    else if (offset < device.ioHint.size())
        chunk = device.ioHint.mid(offset, device.ioHintChunk);
    if (device.ioHintEcho)
        offset = *device.ioHintEcho;
    return chunk;
}

SimController::Reply SimController::answerCfgRead(SimDevice &device, quint16 &offset)
{
    QByteArray chunk = device.config.mid(offset, device.readChunk);
    if (offset + chunk.size() >= device.config.size() && device.readExtra > 0)
        chunk += QByteArray(device.readExtra, '\xEE');
    if (device.readEcho)
        offset = *device.readEcho;
    return chunk;
}

SimController::Reply SimController::answerCfgWrite(SimDevice &device, quint16 offset, const QByteArray &data)
{
    device.configWrites.append(qMakePair(offset, data));
    if (device.config.size() < offset + data.size())
        device.config.resize(offset + data.size());
    device.config.replace(offset, data.size(), data);
    return QByteArray();
}

SimController::Reply SimController::answerCfgCtrl(SimDevice &device, quint16 sub)
{
    ++device.controls[sub];
    switch (sub) {
    case 0: // factory reset
        device.config = device.factoryConfig;
        device.rom.clear();
        return QByteArray();
    case 3: // erase before a write
        device.config.fill('\xFF');
        device.rom.clear();
        return QByteArray();
    default: // 1, 2, 4: the device reboots or switches its link, unanswered
        return std::nullopt;
    }
}

SimController::Reply SimController::answerTime(SimDevice &device, quint16 sub, const QByteArray &data)
{
    if (sub > 1)
        return std::nullopt;
    if (sub == 1 && data.size() == 4)
        device.clock = qFromLittleEndian<quint32>(data.constData());
    return u32le(device.clock);
}
