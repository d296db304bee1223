#include "zuhal_packet.h"

#include "rc4.h"

namespace {

// Registered once, so that packets can travel through queued connections.
const int packetMetaType = qRegisterMetaType<ZuHalPacket>("ZuHalPacket");

quint16 readLe16(const uchar *bytes)
{
    return quint16(bytes[0] | (bytes[1] << 8));
}

void appendLe16(QByteArray &out, quint16 value)
{
    out.append(char(value & 0xFF));
    out.append(char(value >> 8));
}

} // namespace

ZuHalPacket::ZuHalPacket(QObject *parent)
    : QObject(parent)
{
    Q_UNUSED(packetMetaType);
}

ZuHalPacket::ZuHalPacket(const ZuHalPacket &other)
    : QObject(nullptr)
    , m_fcf(other.m_fcf)
    , m_destination(other.m_destination)
    , m_source(other.m_source)
    , m_dstPort(other.m_dstPort)
    , m_srcPort(other.m_srcPort)
    , m_data(other.m_data)
{
}

ZuHalPacket &ZuHalPacket::operator=(const ZuHalPacket &other)
{
    m_fcf = other.m_fcf;
    m_destination = other.m_destination;
    m_source = other.m_source;
    m_dstPort = other.m_dstPort;
    m_srcPort = other.m_srcPort;
    m_data = other.m_data;
    return *this;
}

void ZuHalPacket::setSequence(uchar sequence)
{
    m_fcf = uchar((sequence << 4) | (m_fcf & 0x0F));
}

void ZuHalPacket::setEncrypted(bool encrypted)
{
    m_fcf = encrypted ? uchar(m_fcf | FcfCrypt) : uchar(m_fcf & ~FcfCrypt);
}

void ZuHalPacket::setWack(bool ack)
{
    m_fcf = ack ? uchar(m_fcf | FcfAck) : uchar(m_fcf & ~FcfAck);
}

bool ZuHalPacket::parse(const void *data, uchar len)
{
    if (len < HeaderSize)
        return false;
    const uchar *bytes = static_cast<const uchar *>(data);
    m_fcf = bytes[0];
    m_dstPort = bytes[1] >> 4;
    m_srcPort = bytes[1] & 0x0F;
    m_destination = readLe16(bytes + 2);
    m_source = readLe16(bytes + 4);
    m_data = QByteArray(reinterpret_cast<const char *>(bytes + HeaderSize), len - HeaderSize);
    return true;
}

QByteArray ZuHalPacket::serialize() const
{
    QByteArray out;
    out.reserve(HeaderSize + m_data.size());
    out.append(char(m_fcf));
    out.append(char(uchar(m_dstPort << 4) | (m_srcPort & 0x0F)));
    appendLe16(out, m_destination);
    appendLe16(out, m_source);
    out.append(m_data);
    return out;
}

bool ZuHalPacket::setData(const QByteArray &data, const Key &key)
{
    m_data = data;
    if (!isEncrypted() || m_data.isEmpty())
        return true;
    if (m_data.size() > MaxEncryptedPayload)
        return false;
    encryptData(key, m_data);
    return true;
}

bool ZuHalPacket::encrypt(const Key &key)
{
    if (m_data.isEmpty())
        return true;
    if (m_data.size() > MaxEncryptedPayload || isEncrypted())
        return false;
    setEncrypted(true);
    encryptData(key, m_data);
    return true;
}

bool ZuHalPacket::decrypt(const Key &key)
{
    if (!isEncrypted())
        return true;
    setEncrypted(false);
    decryptData(key, m_data);
    return true;
}

void ZuHalPacket::encryptData(const Key &key, QByteArray &data)
{
    if (data.isEmpty())
        return;
    rs4_run(data.data(), unsigned(data.size()), key);
}

void ZuHalPacket::decryptData(const Key &key, QByteArray &data)
{
    // The cipher is its own inverse.
    encryptData(key, data);
}
