#ifndef EMU_REPLY_H
#define EMU_REPLY_H

// The reply packet under construction: one fixed 64-byte area, reused for
// every answer; appending past its end is refused.

#include <cstdint>

// The little-endian u32 at p (four readable bytes).
uint32_t emu_le32(const uint8_t *p);

class EmuReply
{
public:
    static constexpr uint32_t kSize = 64;

    // Starts a reply from port src to the host: frame control 0, ports,
    // own address twice.
    void begin(uint8_t sourcePort, uint16_t ownAddress);
    void u8(uint8_t value) { bytes(&value, 1); }
    void u16(uint16_t value);
    void u32(uint32_t value);
    // False, appending nothing, when the bytes do not fit.
    bool bytes(const void *data, uint32_t length);

    // The free room after the bytes held, for operations that fill it
    // directly, and the claim of what they filled.
    uint8_t *tail() { return m_bytes + m_length; }
    uint32_t room() const { return kSize - m_length; }
    void grow(uint32_t length);

    const uint8_t *data() const { return m_bytes; }
    uint32_t length() const { return m_length; }

private:
    uint8_t m_bytes[kSize] = {};
    uint32_t m_length = 0;
};

#endif
