// Hardware opcodes: delay, sleep, timers and wake-up.

#include "kolm_hal.h"
#include "kolm_p.h"
#include "kolm_p_library.h"

uint32_t KOLM_OPCODE_DLY(const uint32_t *a, uint32_t)
{
    return kolm_hal_delay(a[0]);
}

uint32_t KOLM_OPCODE_SLP(const uint32_t *a, uint32_t)
{
    return kolm_hal_sleep(a[0]);
}

uint32_t KOLM_OPCODE_TIM(const uint32_t *a, uint32_t)
{
    return kolm_hal_start_timer(a[0], a[1]);
}

uint32_t KOLM_OPCODE_TIS(const uint32_t *a, uint32_t)
{
    return kolm_hal_stop_timer(a[0]);
}

uint32_t KOLM_OPCODE_WAK(const uint32_t *, uint32_t)
{
    KOLM_VM.flags &= ~KOLM_FLAG_SUSP;
    return 0;
}

const KolmLibraryCall KOLM_HARDWARE[5] = {
    {KOLM_OPCODE_DLY, 1}, {KOLM_OPCODE_SLP, 1}, {KOLM_OPCODE_TIM, 2}, {KOLM_OPCODE_TIS, 1}, {KOLM_OPCODE_WAK, 0},
};
