#ifndef KOLM_DEVICE_CAPABILITIES_H
#define KOLM_DEVICE_CAPABILITIES_H

// Bits of the capability word a controller reports about itself.

#include <QtGlobal>

namespace DeviceCapability {

constexpr quint32 Radio = 0x0001;
constexpr quint32 Bluetooth = 0x0002;
constexpr quint32 Gpio = 0x0004;
constexpr quint32 Adc = 0x0008;
constexpr quint32 Uart = 0x0020;
constexpr quint32 Spi = 0x0040;
constexpr quint32 I2c = 0x0080;
constexpr quint32 Configurable = 0x0100;
constexpr quint32 HalCommands = 0x0200;
constexpr quint32 Scripts = 0x0400;
constexpr quint32 Upgradable = 0x0800;
constexpr quint32 UsbModeSwitch = 0x1000;

} // namespace DeviceCapability

#endif
