// The connected device's GPIO hint: its pin map and the table shown after
// the device information.

#include "zurovurazev.h"

#include "gpio_hint.h"

void ZuROVUrazev::parseGpioMapping(const QString &t)
{
    const GpioHint h = ::parseGpioHint(t);
    device.gpioMap = h.pins;
    device.info += h.table;
}

// The configuration information box. Stand-in until it lands.
void ZuROVUrazev::displayCfgInfo() {}
