#ifndef KOLM_SPRINTF_H
#define KOLM_SPRINTF_H

#include <cstdint>

// Formats into script memory: position is a RAM offset (0-767) or
// 0x40000000 + k for byte k of the temporary peripheral storage (0-57).
// The format ends at its NUL or at the end of its area (format_size
// bytes); args holds arg_count words. Conversions %d %u %x %o %b %c %p %s
// %r and %%; any other byte after '%' is written with the '%'. No NUL is
// written. Returns the bytes written, or 0 when the output would leave its
// area (no fault), an argument is missing or a %s/%r source is not
// readable (the fault routine is called where a range check fails); bytes
// already written stay.
uint32_t kolm_sprintf(uint32_t position, const uint8_t *format, uint32_t format_size, const uint32_t *args,
                      uint32_t arg_count);

// Copies like memmove: overlapping ranges are handled.
void kolm_hal_memcpy(uint8_t *destination, const uint8_t *source, uint32_t count);

#endif
