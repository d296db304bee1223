// Byte streams from a client of the emulator link: SLIP frames with device
// packets, in any pieces. Whatever arrives, the link drops it or answers it
// without touching memory outside its buffers, the machine, the ROM and the
// board. The image a stream uploads may be started and stepped as well.

#include "emu_link.h"
#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_opcodes.h"
#include "kolm_p.h"

#include <cstddef>
#include <cstdint>

namespace {

// The sleep opcode blocks the process for as long as the script asks; a
// step command on it would stall the run, so the input ends before.
bool nextIsSleep()
{
    uint32_t opcode = 0;
    return kolm_rom_get_u8(KOLM_VM.ctx.EIP, opcode) && opcode == kolm_isa::OP_slp;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    kolm_hal_set_level(0);
    kolm_rom_erase();
    kolm_hal_clear_timers();
    KOLM_VM = _KolmVM{};
    emu_link_reset();
    // One byte at a time: frames split at every place, and at most one
    // command (one step) per call.
    for (size_t i = 0; i < size && !nextIsSleep(); ++i)
        emu_cmd_process(data + i, 1);
    return 0;
}
