#pragma once

#include <QByteArray>
#include <QObject>

// SLIP framing (RFC 1055 byte values) of device packets on byte streams, with
// an optional 8-bit additive checksum at the end of each frame. A frame on the
// wire: END, the packet bytes escaped, the checksum byte escaped (when on),
// END. Both ends must agree on the checksum; the frame does not say.
//
// Receiving: a frame's closing END also opens the next frame, so a peer that
// sends END only after each frame loses nothing; empty frames between ENDs
// are skipped; bytes before the first END are ignored. A broken escape
// abandons the frame until the next END, which opens a new one. A frame
// longer than MaxFrame bytes (unescaped, checksum included) is abandoned
// until the next END, so a peer cannot grow the buffer without bound.
class SlipBuffer : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool crc8 READ crc8 WRITE setCrc8 NOTIFY crc8Changed)
    Q_PROPERTY(SLIP_STATE state READ state NOTIFY stateChanged)

public:
    enum SLIP_STATE {
        SLIP_INIT = 0,  // between frames
        SLIP_INPKT = 1, // inside a frame
        SLIP_INESC = 2  // inside a frame, after ESC
    };
    Q_ENUM(SLIP_STATE)

    enum : uchar { END = 0xC0, ESC = 0xDB, ESC_END = 0xDC, ESC_ESC = 0xDD };

    // The largest packet (255 bytes) and its checksum byte.
    static constexpr int MaxFrame = 256;

    explicit SlipBuffer(QObject *parent = nullptr);

    bool crc8() const { return m_crc8; }
    void setCrc8(bool on);
    SLIP_STATE state() const { return m_state; }

    // Sum of the bytes modulo 256.
    static uchar getCRC8(const QByteArray &data);
    // Appends one byte, escaped.
    static void append(uchar byte, QByteArray &out);
    // One whole frame around `packet`.
    QByteArray encode(const QByteArray &packet) const;

public slots:
    // Feeds received bytes through the receiver; emits pktReady once per
    // complete frame whose checksum (when on) matches.
    void decode(QByteArray data);
    // Drops a partial frame and waits for the next END.
    void reset();

signals:
    void pktReady(QByteArray pkt);
    void stateChanged(SlipBuffer::SLIP_STATE state);
    void crc8Changed(bool crc8);

private:
    void setState(SLIP_STATE state);
    void store(uchar byte);
    void finishFrame();

    bool m_crc8 = false;
    QByteArray m_buffer;
    SLIP_STATE m_state = SLIP_INIT;
};
