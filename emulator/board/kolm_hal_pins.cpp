#include "kolm_hal_pins.h"

#include "kolm_dbg.h"

#include <iomanip>

std::vector<IOPin> g_pins;

namespace {

enum PinRegister : uint32_t { PIN_VALUE = 0x0, PIN_TOGGLE = 0x4, PIN_MODE = 0x8, PIN_AUX = 0xC, PIN_DUTY = 0x10 };

} // namespace

std::string IOPin::name() const
{
    return std::string("P") + char('A' + ((id >> 4) & 0x0F)) + std::to_string(id & 0x0F);
}

std::ostream &operator<<(std::ostream &out, const IOPin &pin)
{
    const auto flags = out.flags();
    const char fill = out.fill('0');
    out << pin.name() << "(mode=0x" << std::hex << std::setw(8) << pin.mode;
    out.fill(fill);
    out.flags(flags);
    return out << ", value=" << unsigned(pin.value) << ")";
}

size_t pinIndex(uint16_t id)
{
    id &= 0xFF;
    for (size_t i = 0; i < g_pins.size(); ++i)
        if (g_pins[i].id == id)
            return i;
    g_pins.push_back(IOPin{id, 1, 0, 0, 0});
    return g_pins.size() - 1;
}

bool kolm_hal_pin_get(uint16_t id, uint32_t offset, uint32_t &result)
{
    IOPin &pin = g_pins[pinIndex(id)];
    switch (offset) {
    case PIN_VALUE:
        KOLM_DEBUG(KOLM_HAL_INFO) << "called read " << pin.name() << std::endl;
        result = pin.value;
        return true;
    case PIN_MODE: result = pin.mode; return true;
    case PIN_AUX: result = pin.aux; return true;
    case PIN_DUTY: result = pin.duty; return true;
    default: return false;
    }
}

bool kolm_hal_pin_set(uint16_t id, uint32_t offset, uint32_t value, uint32_t &result)
{
    IOPin &pin = g_pins[pinIndex(id)];
    switch (offset) {
    case PIN_VALUE:
        pin.value = value != 0;
        KOLM_DEBUG(KOLM_HAL_INFO) << "called " << pin.name() << " = " << unsigned(pin.value) << std::endl;
        result = pin.value;
        return true;
    case PIN_TOGGLE:
        pin.value ^= 1;
        KOLM_DEBUG(KOLM_HAL_INFO) << "called " << pin.name() << " toggle" << std::endl;
        result = pin.value;
        return true;
    case PIN_MODE:
        pin.mode = value;
        result = 0;
        return true;
    case PIN_AUX:
        result = pin.aux = value & 0xFF;
        return true;
    case PIN_DUTY:
        pin.duty = value & 0xFF;
        KOLM_DEBUG(KOLM_HAL_INFO) << "called set " << pin.name() << " duty to " << value << std::endl;
        result = pin.duty;
        return true;
    default:
        return false;
    }
}
