#pragma once

#include <QString>

#include <cstdint>

class HIDProxy;
class UARTCommunicator;

// The state a bootloader reports: what it is busy with, its last error,
// where it writes next, how much room the image has and which board it runs
// on. A plain value, read afresh whenever it is needed.
struct DFUStatus
{
    enum Flag : uint8_t {
        Erasing = 0x01,
        Writing = 0x02,
    };

    uint8_t flags = 0;
    // Bootloader error code; 0 = none (dfu_error_string gives its text).
    uint8_t error = 0;
    // The next write address, counted from the first image byte.
    uint32_t address = 0;
    // Room for the image in bytes.
    uint32_t limit = 0;
    uint32_t hardwareId = 0;
};

// The bootloader's text for an error code; not translated.
QString dfu_error_string(unsigned char code);

// Reads the status of a USB bootloader (feature report 3). False, leaving
// `status` as it was, when the device is not open or the report cannot be
// read whole.
bool getStatus(HIDProxy *device, DFUStatus *status);

// Asks the link's target for its status (command 03) and waits for the
// answer, sized from the link's rate. Messages queued before the request are
// dropped first, so that only an answer to it counts. False, leaving
// `status` as it was, when the request cannot be sent, no answer arrives,
// or the first answer is not a 15-byte status from the target.
bool getUStatus(UARTCommunicator *link, DFUStatus *status);
