#pragma once

#include <QByteArray>
#include <QDebug>
#include <QMetaType>
#include <QObject>
#include <QString>

// One device packet: a 6-byte header (frame control, ports, destination and
// source address) and a payload that may be RC4-enciphered under an 8-byte
// key. Byte form, all multi-byte fields little-endian:
//   0  frame control: bits 7-4 sequence, bit 2 CRYPT, bit 1 FF, bit 0 ACK
//   1  destination port in bits 7-4, source port in bits 3-0
//   2  destination address (0xFFFF broadcast)
//   4  source address (0xFFFF none / broadcast)
//   6  payload (the ciphertext when CRYPT is set)
// The header has no length and no checksum: the transport's framing delimits
// the packet and checks it.
//
// Packets are values: they are copied through signals and kept in lists. A
// copy has no QObject parent, whatever the original's, so a copy never
// belongs to (and is never deleted by) the original's parent.
class ZuHalPacket : public QObject
{
    Q_OBJECT
    Q_PROPERTY(uchar sequence READ sequence WRITE setSequence)
    Q_PROPERTY(bool encrypted READ isEncrypted WRITE setEncrypted)
    Q_PROPERTY(bool wack READ wack WRITE setWack)
    Q_PROPERTY(quint16 destination READ destination WRITE setDestination)
    Q_PROPERTY(quint16 source READ source WRITE setSource)
    Q_PROPERTY(uchar srcPort READ srcPort WRITE setSrcPort)
    Q_PROPERTY(uchar dstPort READ dstPort WRITE setDstPort)

public:
    using Key = uchar[8];

    static constexpr int HeaderSize = 6;
    // The largest frame a transport can deliver (an 8-bit length).
    static constexpr int MaxFrameSize = 255;
    // 58 bytes of payload and the header make 64 bytes, the largest
    // enciphered packet.
    static constexpr int MaxEncryptedPayload = 58;
    static constexpr quint16 Broadcast = 0xFFFF;

    explicit ZuHalPacket(QObject *parent = nullptr);
    ZuHalPacket(const ZuHalPacket &other);
    ZuHalPacket &operator=(const ZuHalPacket &other);
    ~ZuHalPacket() override = default;

    uchar sequence() const { return m_fcf >> 4; }
    void setSequence(uchar sequence);
    bool isEncrypted() const { return m_fcf & FcfCrypt; }
    void setEncrypted(bool encrypted);
    bool wack() const { return m_fcf & FcfAck; }
    void setWack(bool ack);
    quint16 destination() const { return m_destination; }
    void setDestination(quint16 address) { m_destination = address; }
    quint16 source() const { return m_source; }
    void setSource(quint16 address) { m_source = address; }
    uchar srcPort() const { return m_srcPort; }
    void setSrcPort(uchar port) { m_srcPort = port & 0x0F; }
    uchar dstPort() const { return m_dstPort; }
    void setDstPort(uchar port) { m_dstPort = port & 0x0F; }
    // The payload as held: the ciphertext while the packet is encrypted.
    QByteArray data() const { return m_data; }

    // Reads one frame of `len` bytes. Fewer than 6 bytes: false, the packet
    // is left as it was. The payload is taken as it stands (see decrypt).
    bool parse(const void *data, uchar len);
    QByteArray serialize() const;

    // Stores the payload; when the packet is marked encrypted it is
    // enciphered with `key`. False when it is marked encrypted and the payload
    // is longer than 58 bytes: the plain bytes are stored then.
    bool setData(const QByteArray &data, const Key &key);
    // Enciphers a plain, non-empty payload of at most 58 bytes and sets CRYPT.
    // An empty payload gives true and stays plain.
    bool encrypt(const Key &key);
    // Deciphers an encrypted payload and clears CRYPT. A wrong key cannot be
    // told: the result is garbage and still true.
    bool decrypt(const Key &key);

    static void encryptData(const Key &key, QByteArray &data);
    static void decryptData(const Key &key, QByteArray &data);

    // Text forms of a key: 8 printable characters, or 16 hexadecimal digits.
    static QString printKey(const Key &key);
    static bool pasteKey(const QString &text, Key &key);

private:
    friend QDebug operator<<(QDebug debug, const ZuHalPacket &packet);

    enum : uchar { FcfAck = 0x01, FcfFf = 0x02, FcfCrypt = 0x04 };

    uchar m_fcf = 0;
    quint16 m_destination = Broadcast;
    quint16 m_source = Broadcast;
    uchar m_dstPort = 0;
    uchar m_srcPort = 0;
    QByteArray m_data;
};

QDebug operator<<(QDebug debug, const ZuHalPacket &packet);

Q_DECLARE_METATYPE(ZuHalPacket)
