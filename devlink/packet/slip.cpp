#include "slip.h"

#include <QPointer>

SlipBuffer::SlipBuffer(QObject *parent)
    : QObject(parent)
{
}

void SlipBuffer::setCrc8(bool on)
{
    if (on == m_crc8)
        return;
    m_crc8 = on;
    emit crc8Changed(on);
}

uchar SlipBuffer::getCRC8(const QByteArray &data)
{
    uchar sum = 0;
    for (char c : data)
        sum = uchar(sum + uchar(c));
    return sum;
}

void SlipBuffer::append(uchar byte, QByteArray &out)
{
    switch (byte) {
    case END:
        out.append(char(ESC));
        out.append(char(ESC_END));
        break;
    case ESC:
        out.append(char(ESC));
        out.append(char(ESC_ESC));
        break;
    default:
        out.append(char(byte));
    }
}

QByteArray SlipBuffer::encode(const QByteArray &packet) const
{
    QByteArray out;
    out.reserve(packet.size() + 5);
    out.append(char(END));
    for (char c : packet)
        append(uchar(c), out);
    if (m_crc8)
        append(getCRC8(packet), out);
    out.append(char(END));
    return out;
}

void SlipBuffer::decode(QByteArray data)
{
    // A receiver of pktReady may delete this buffer with its transport.
    const QPointer<SlipBuffer> alive(this);
    for (char c : data) {
        if (!alive)
            return;
        const uchar byte = uchar(c);
        switch (m_state) {
        case SLIP_INIT:
            if (byte == END) {
                m_buffer.clear();
                setState(SLIP_INPKT);
            }
            break;
        case SLIP_INPKT:
            if (byte == END) {
                // The closing END opens the next frame; an empty frame is
                // a repeated END and is skipped.
                if (!m_buffer.isEmpty()) {
                    setState(SLIP_INPKT);
                    finishFrame();
                }
            } else if (byte == ESC) {
                setState(SLIP_INESC);
            } else {
                store(byte);
            }
            break;
        case SLIP_INESC:
            if (byte == ESC_END || byte == ESC_ESC) {
                setState(SLIP_INPKT);
                store(byte == ESC_END ? END : ESC);
            } else if (byte == END) {
                // A frame cut off after ESC: the END abandons it and opens
                // the next, which would be lost otherwise.
                m_buffer.clear();
                setState(SLIP_INPKT);
            } else {
                // A broken escape abandons the frame; the next END opens
                // a new one and empties the buffer.
                setState(SLIP_INIT);
            }
            break;
        }
    }
}

void SlipBuffer::reset()
{
    m_buffer.clear();
    if (m_state != SLIP_INIT)
        setState(SLIP_INIT);
}

void SlipBuffer::setState(SLIP_STATE state)
{
    m_state = state;
    emit stateChanged(state);
}

void SlipBuffer::store(uchar byte)
{
    if (m_buffer.size() >= MaxFrame) {
        m_buffer.clear();
        setState(SLIP_INIT);
        return;
    }
    m_buffer.append(char(byte));
}

void SlipBuffer::finishFrame()
{
    QByteArray frame;
    frame.swap(m_buffer);
    if (!m_crc8) {
        emit pktReady(frame);
        return;
    }
    if (frame.size() <= 1)
        return;
    const uchar sum = uchar(frame.back());
    frame.chop(1);
    if (getCRC8(frame) == sum)
        emit pktReady(frame);
}
