#ifndef KOLM_HAL_PRINT_H
#define KOLM_HAL_PRINT_H

// Stream printers of the board's log lines.

#include <cstdint>
#include <ostream>

// "0x" and the value as eight hexadecimal digits.
struct HexValue {
    uint32_t value;
};
std::ostream &operator<<(std::ostream &out, const HexValue &hex);

// "[", each byte as two hexadecimal digits, "]".
struct BinArray {
    const uint8_t *data;
    uint32_t length;
};
std::ostream &operator<<(std::ostream &out, const BinArray &bytes);

#endif
