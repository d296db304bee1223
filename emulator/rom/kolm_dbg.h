#ifndef KOLM_DBG_H
#define KOLM_DBG_H

// The emulator's one logging facility. A level word carries the severity in
// its low two bits and category bits above; the configured level decides
// which messages are shown, and each shown line starts with its prefixes
// ("asm ", "hal ", "emu ", "net ", "sys ", then "error: ", "warning: " or
// "note: ").

#include <cstdint>
#include <ostream>

inline constexpr uint32_t KOLM_LOG_ERROR = 0;
inline constexpr uint32_t KOLM_LOG_WARNING = 1;
inline constexpr uint32_t KOLM_LOG_INFO = 2;
inline constexpr uint32_t KOLM_LOG_SEVERITY = 3;
inline constexpr uint32_t KOLM_LOG_HAL = 0x10;
inline constexpr uint32_t KOLM_LOG_CORE = 0x20;
inline constexpr uint32_t KOLM_LOG_EMU = 0x40;
inline constexpr uint32_t KOLM_LOG_NET = 0x80;
inline constexpr uint32_t KOLM_LOG_SYS = 0x100;
inline constexpr uint32_t KOLM_HAL_ERROR = KOLM_LOG_HAL | KOLM_LOG_ERROR;
inline constexpr uint32_t KOLM_HAL_WARNING = KOLM_LOG_HAL | KOLM_LOG_WARNING;
inline constexpr uint32_t KOLM_HAL_INFO = KOLM_LOG_HAL | KOLM_LOG_INFO;

// An output stream that stores nothing: stands for a filtered message.
class NullBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return c; }
};

class NullStream : virtual public std::ostream {
public:
    NullStream() : std::ostream(&m_buffer) {}
private:
    NullBuffer m_buffer;
};

extern NullStream noop_stm;

void kolm_hal_set_level(uint32_t level);
uint32_t kolm_hal_level();
// Null means standard error.
void kolm_hal_set_debug_stream(std::ostream *stream);
std::ostream &kolm_hal_debug_stream();

// True when a message of this level is shown under the configured level.
bool asm_debug_enabled(uint32_t level);

// When shown: writes the prefixes and returns the debug stream; the caller
// writes the text and ends the line. Otherwise returns noop_stm.
std::ostream &asm_debug_stream(uint32_t level);

// Stream-style message that is neither formatted nor written when filtered:
//   KOLM_DEBUG(KOLM_HAL_INFO) << "text " << value << std::endl;
#define KOLM_DEBUG(level) \
    if (!asm_debug_enabled(level)) { \
    } else \
        asm_debug_stream(level)

// printf-style message of at most 510 characters and a line end; filtered
// messages are not formatted.
void asm_debug(uint32_t level, const char *format, ...) __attribute__((format(printf, 2, 3)));

#endif
