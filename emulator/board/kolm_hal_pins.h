#ifndef KOLM_HAL_PINS_H
#define KOLM_HAL_PINS_H

// The board's general-purpose pins, created on first access.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

struct IOPin {
    uint16_t id;    // bits 4-7 the port (0 for A), bits 0-3 the pin number
    uint32_t mode;  // 1 when created
    uint8_t value;  // 0 or 1
    uint32_t aux;   // a byte, only stored and read back
    uint32_t duty;  // a byte
    std::string name() const;
};

// "P", port letter, number, "(mode=0x", mode, ", value=", value, ")".
std::ostream &operator<<(std::ostream &out, const IOPin &pin);

extern std::vector<IOPin> g_pins;

// Index of the pin with this id, appending a new pin when there is none.
size_t pinIndex(uint16_t id);

// Pin registers (offset within the pin's block); false for an offset that
// the operation does not serve.
bool kolm_hal_pin_get(uint16_t id, uint32_t offset, uint32_t &result);
bool kolm_hal_pin_set(uint16_t id, uint32_t offset, uint32_t value, uint32_t &result);

#endif
