#include "kolm_hal_print.h"

#include <iomanip>

std::ostream &operator<<(std::ostream &out, const HexValue &hex)
{
    const auto flags = out.flags();
    const char fill = out.fill('0');
    out << "0x" << std::hex << std::setw(8) << hex.value;
    out.fill(fill);
    out.flags(flags);
    return out;
}

std::ostream &operator<<(std::ostream &out, const BinArray &bytes)
{
    const auto flags = out.flags();
    const char fill = out.fill('0');
    out << "[" << std::hex;
    for (uint32_t i = 0; i < bytes.length; ++i)
        out << std::setw(2) << unsigned(bytes.data[i]);
    out << "]";
    out.fill(fill);
    out.flags(flags);
    return out;
}
