// Compiles one program of the speed comparison from its Kolm source with the
// compiler, in the order of the IDE's project page at optimisation level 1
// with a board package, runs the image on the virtual machine as the local
// run does and checks its result.
//
// usage: bench_compile BOARD.kbsp IN.kos OUT.kcs RESULT
// Writes the image to OUT.kcs and prints the number of instructions the run
// executed; fails when the source does not compile or the run does not halt
// with RESULT (decimal) in EAX.

#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_p.h"
#include "kolm_source_image.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

constexpr int kLevel = 1;

// The image of the source file, or "" after printing the build log.
std::string compile(const std::string &board, const std::string &source)
{
    std::ifstream in(source, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string image, diagnostics;
    if (!in) {
        std::cerr << source << ": cannot be read\n";
        return "";
    }
    if (!compileKolmSource(text.str(), source, board, kLevel, image, diagnostics)) {
        std::cerr << source << ": not compiled\n" << diagnostics;
        return "";
    }
    return image;
}

bool write(const std::string &path, const std::string &image)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << image;
    file.close();
    if (file)
        return true;
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

// Runs the image to its halt in batches, as the local run does; false when
// it does not end with the expected result.
bool run(const std::string &image, uint32_t result, uint64_t &executed)
{
    std::istringstream in(image);
    kolm_flash_read(in);
    KOLM_VM.flags = 0;
    if (kolm_vm_init() != 0) {
        std::fprintf(stderr, "the image does not start\n");
        return false;
    }
    executed = 0;
    while ((KOLM_VM.flags & KOLM_FLAG_STOPPED) == 0)
        executed += asm_debugger_run(KOLM_BATCH_SIZE);
    if ((KOLM_VM.flags & KOLM_FLAG_SEGV) == 0 && KOLM_VM.ctx.EAX == result)
        return true;
    std::fprintf(stderr, "result %u, expected %u\n", KOLM_VM.ctx.EAX, result);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s BOARD.kbsp IN.kos OUT.kcs RESULT\n", argv[0]);
        return 1;
    }
    char *end = nullptr;
    const unsigned long result = std::strtoul(argv[4], &end, 10);
    if (*argv[4] == '\0' || *end != '\0' || result > UINT32_MAX) {
        std::fprintf(stderr, "RESULT must be a 32-bit decimal number, not %s\n", argv[4]);
        return 1;
    }
    const std::string image = compile(argv[1], argv[2]);
    if (image.empty() || !write(argv[3], image))
        return 1;
    kolm_hal_set_level(0);
    uint64_t executed = 0;
    if (!run(image, uint32_t(result), executed))
        return 1;
    std::printf("%" PRIu64 "\n", executed);
    return 0;
}
