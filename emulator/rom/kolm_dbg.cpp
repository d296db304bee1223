#include "kolm_dbg.h"

#include <cstdarg>
#include <cstdio>
#include <iostream>

NullStream noop_stm;

namespace {

uint32_t _asm_debug_level = 0;
std::ostream *_io = nullptr;

// Longest message text; longer ones are cut.
constexpr size_t kMessageBuffer = 511;

} // namespace

void kolm_hal_set_level(uint32_t level)
{
    _asm_debug_level = level;
}

uint32_t kolm_hal_level()
{
    return _asm_debug_level;
}

void kolm_hal_set_debug_stream(std::ostream *stream)
{
    _io = stream;
}

std::ostream &kolm_hal_debug_stream()
{
    return _io ? *_io : std::cerr;
}

bool asm_debug_enabled(uint32_t level)
{
    const uint32_t configured = _asm_debug_level;
    if ((level & KOLM_LOG_SEVERITY) > (configured & KOLM_LOG_SEVERITY))
        return false;
    if (level > KOLM_LOG_SEVERITY && (configured & level & ~KOLM_LOG_SEVERITY) == 0)
        return false;
    // Messages without a category of their own and board messages also
    // need the core category.
    if (level <= KOLM_LOG_CORE && (configured & KOLM_LOG_CORE) == 0)
        return false;
    return true;
}

std::ostream &asm_debug_stream(uint32_t level)
{
    if (!asm_debug_enabled(level))
        return noop_stm;
    std::ostream &out = kolm_hal_debug_stream();
    out << "asm ";
    if (level & KOLM_LOG_HAL)
        out << "hal ";
    if (level & KOLM_LOG_EMU)
        out << "emu ";
    if (level & KOLM_LOG_NET)
        out << "net ";
    if (level & KOLM_LOG_SYS)
        out << "sys ";
    switch (level & KOLM_LOG_SEVERITY) {
    case KOLM_LOG_ERROR: out << "error: "; break;
    case KOLM_LOG_INFO: out << "note: "; break;
    default: out << "warning: "; break;
    }
    return out;
}

void asm_debug(uint32_t level, const char *format, ...)
{
    std::ostream &out = asm_debug_stream(level);
    if (&out == &noop_stm)
        return;
    char text[kMessageBuffer];
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length < 0)
        length = 0;
    if (size_t(length) >= sizeof text)
        length = int(sizeof text - 1);
    out.write(text, length);
    out << '\n';
}
