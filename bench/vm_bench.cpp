// Instructions per second of the virtual machine on a tight loop.

#include "flash.h"
#include "image_builder.h"
#include "kolm_dbg.h"
#include "kolm_p.h"

#include <benchmark/benchmark.h>

#include <sstream>

using namespace kolm_isa;

namespace {

// EAX stays 1, so the loop of two instructions never ends.
void loadLoop()
{
    ImageBuilder image;
    image.ins(OP_sto, {REG_EAX, 1});
    const uint32_t loop = image.here();
    image.ins(OP_addv, {REG_EBX, 1}).ins(OP_jmp, {loop, loop});
    std::istringstream in(image.build());
    kolm_flash_read(in);
    kolm_hal_set_level(0);
    kolm_vm_init();
}

void BM_TightLoop(benchmark::State &state)
{
    loadLoop();
    for (auto _ : state)
        kolm_vm_next();
    benchmark::DoNotOptimize(KOLM_VM.ctx.EBX);
    state.counters["instructions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_TightLoopHostStep(benchmark::State &state)
{
    loadLoop();
    for (auto _ : state)
        asm_debugger_step();
    state.counters["instructions/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(BM_TightLoop);
BENCHMARK(BM_TightLoopHostStep);
