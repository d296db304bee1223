// Instructions per second of the virtual machine on the paths the program
// runs: the host's batches of the free run and of the console's continue,
// and the single steps of the verbose console.

#include "flash.h"
#include "image_builder.h"
#include "kolm_dbg.h"
#include "kolm_p.h"

#include <benchmark/benchmark.h>

#include <sstream>

using namespace kolm_isa;

namespace {

// A counting loop as the code generator writes it: the counter in a frame
// slot, compared with a limit that is never reached.
void loadLoop()
{
    ImageBuilder image;
    image.ins(OP_spvi, {0});
    const uint32_t loop = image.here();
    image.ins(OP_stos, {REG_EBX, 0}).ins(OP_sto, {REG_EAX, 0xFFFFFFFF}).ins(OP_less, {REG_EBX, REG_EAX});
    const uint32_t body = image.here() + 9;
    image.ins(OP_jmp, {body, body + 16}).ins(OP_stos, {REG_EBX, 0}).ins(OP_addv, {REG_EBX, 1});
    image.ins(OP_ssvr, {0, REG_EBX}).ins(OP_sto, {REG_EIP, loop}).ins(OP_halt);
    // Room behind the code, as the debug and symbol sections give it.
    image.extension("TS", std::string(16, '\0'));
    std::istringstream in(image.build());
    kolm_flash_read(in);
    kolm_hal_set_level(0);
    kolm_vm_init();
}

void BM_HostBatch(benchmark::State &state)
{
    loadLoop();
    uint64_t executed = 0;
    for (auto _ : state)
        executed += asm_debugger_run(KOLM_BATCH_SIZE);
    state.counters["instructions/s"] = benchmark::Counter(double(executed), benchmark::Counter::kIsRate);
}

void BM_HostStep(benchmark::State &state)
{
    loadLoop();
    for (auto _ : state)
        asm_debugger_step();
    state.counters["instructions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_HostBatch);
BENCHMARK(BM_HostStep);
