#ifndef KOLM_FUZZ_VM_INTERRUPT_H
#define KOLM_FUZZ_VM_INTERRUPT_H

// The interrupts that the machine's fuzz targets raise: 0 an external pin
// interrupt, 1 a received message "hi", 2 an acknowledgement.

#include "kolm_hal.h"
#include "kolm_p.h"

#include <cstdint>

inline void raiseVmInterrupt(int which)
{
    static const uint8_t message[] = {'h', 'i'};
    switch (which) {
    case 0: kolm_vm_irq_exti(0x13u << 16, 1); break;
    case 1:
        kolm_hal_fill_message(0xFFFF, 2, message, sizeof message);
        kolm_vm_irq_msg();
        break;
    default: kolm_vm_irq_ack(1); break;
    }
}

#endif
