#include "kolm_sprintf.h"

#include "kolm_address.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"

#include <cstring>

namespace {

bool refuse(const char *message)
{
    asm_debug(KOLM_LOG_ERROR, "%s", message);
    kolm_vm_asm_segv();
    return false;
}

// The output cursor over RAM or the temporary peripheral storage.
class Output {
public:
    explicit Output(uint32_t position)
    {
        if (position >= KOLM_ADDR_PERIPH) {
            m_area = kolm_hal_periph_storage();
            m_size = KOLM_HAL_TMP_STORAGE_SIZE;
            m_pos = position - KOLM_ADDR_PERIPH;
        } else {
            m_area = KOLM_VM.ctx.RAM;
            m_size = KOLM_RAM_SIZE;
            m_pos = position;
        }
    }

    // False at the end of the area: the call then yields 0, and the script
    // goes on (no fault), keeping the bytes already written.
    bool put(uint8_t byte)
    {
        if (m_pos >= m_size)
            return false;
        m_area[m_pos++] = byte;
        ++m_written;
        return true;
    }

    bool put(const uint8_t *bytes, uint32_t count)
    {
        for (uint32_t i = 0; i < count; ++i)
            if (!put(bytes[i]))
                return false;
        return true;
    }

    // Digits of value in base, most significant first, no leading zeros.
    bool number(uint32_t value, uint32_t base)
    {
        static const char digits[] = "0123456789ABCDEF";
        uint8_t text[32];
        uint32_t length = 0;
        do {
            text[length++] = uint8_t(digits[value % base]);
            value /= base;
        } while (value);
        while (length)
            if (!put(text[--length]))
                return false;
        return true;
    }

    uint32_t written() const { return m_written; }

private:
    uint8_t *m_area;
    uint32_t m_size;
    uint32_t m_pos;
    uint32_t m_written = 0;
};

class Arguments {
public:
    Arguments(const uint32_t *args, uint32_t count) : m_args(args), m_count(count) {}

    bool next(uint32_t &value)
    {
        if (m_next >= m_count)
            return refuse("sprintf argument missing");
        value = m_args[m_next++];
        return true;
    }

private:
    const uint32_t *m_args;
    uint32_t m_count;
    uint32_t m_next = 0;
};

// %s: the bytes up to the NUL, or up to the end of the source's area.
bool put_text(Output &out, uint32_t address)
{
    const KolmSpan text = kolm_vm_resolve(address);
    if (!text.data)
        return false;
    for (uint32_t i = 0; i < text.size && text.data[i]; ++i)
        if (!out.put(text.data[i]))
            return false;
    return true;
}

// %r: count raw bytes.
bool put_raw(Output &out, uint32_t address, uint32_t count)
{
    if (count == 0)
        return true;
    const KolmSpan bytes = kolm_vm_resolve(address);
    return bytes.data && kolm_vm_span_holds(bytes, address, count) && out.put(bytes.data, count);
}

bool convert(Output &out, uint8_t conversion, Arguments &args)
{
    uint32_t value = 0;
    switch (conversion) {
    case 'd':
    case 'u': return args.next(value) && out.number(value, 10);
    case 'x': return args.next(value) && out.number(value, 16);
    case 'o': return args.next(value) && out.number(value, 8);
    case 'b': return args.next(value) && out.number(value, 2);
    case 'c': return args.next(value) && out.put(uint8_t(value));
    case 'p': {
        if (!args.next(value))
            return false;
        const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
        return out.put(bytes, 4);
    }
    case 's': return args.next(value) && put_text(out, value);
    case 'r': {
        uint32_t count = 0;
        return args.next(value) && args.next(count) && put_raw(out, value, count);
    }
    case '%': return out.put('%');
    default: return out.put('%') && out.put(conversion);
    }
}

} // namespace

uint32_t kolm_sprintf(uint32_t position, const uint8_t *format, uint32_t format_size, const uint32_t *args,
                      uint32_t arg_count)
{
    Output out(position);
    Arguments arguments(args, arg_count);
    for (uint32_t i = 0; i < format_size && format[i]; ++i) {
        if (format[i] != '%') {
            if (!out.put(format[i]))
                return 0;
            continue;
        }
        if (++i >= format_size || !format[i])
            break;
        if (!convert(out, format[i], arguments))
            return 0;
    }
    return out.written();
}

void kolm_hal_memcpy(uint8_t *destination, const uint8_t *source, uint32_t count)
{
    std::memmove(destination, source, count);
}
