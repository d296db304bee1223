// Bytecode images run on the virtual machine and its board: whatever an
// image does, the machine faults or halts cleanly and never touches memory
// outside its record, its ROM or the board. The first input byte picks when
// the interrupts are raised; the rest is the image.

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_opcodes.h"
#include "kolm_p.h"
#include "vm_interrupt.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace {

constexpr int kMaxSteps = 20000;

// The sleep opcode blocks the process for as long as the script asks, so a
// run stops before it instead of waiting.
bool nextIsSleep()
{
    const uint32_t eip = KOLM_VM.ctx.EIP;
    uint32_t opcode = 0;
    return kolm_rom_get_u8(eip, opcode) && opcode == kolm_isa::OP_slp;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static NullStream log;
    kolm_hal_set_debug_stream(&log);
    if (size < 1)
        return 0;
    const int interruptEvery = 1 + data[0];
    std::istringstream in(std::string(reinterpret_cast<const char *>(data + 1), size - 1));
    kolm_flash_read(in);
    KOLM_VM = _KolmVM{};
    kolm_hal_clear_timers();
    if (kolm_vm_init() != 0)
        return 0;
    for (int step = 1; step <= kMaxSteps; ++step) {
        if (step % interruptEvery == 0)
            raiseVmInterrupt(step / interruptEvery % 3);
        if (nextIsSleep() || kolm_vm_step() != 0)
            break;
    }
    return 0;
}
