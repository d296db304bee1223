// halvane-kdb's emulator mode against its local run: instructions per
// second of one counting script, run locally and in emulator mode with a
// connected client that stays idle until the script's closing message, and
// round trips per second of the own-address request over loopback.
//
//   emu_bench [iterations]     (default 20,000,000 loop iterations)

#include "child_process.h"
#include "emu_client.h"
#include "image_builder.h"
#include "kolm_image_format.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

using namespace kolm_isa;
using Clock = std::chrono::steady_clock;

namespace {

const std::string kProgram = KDB_PROGRAM;
// Instructions of one pass of the counting loop.
constexpr uint64_t kLoopInstructions = 8;
constexpr uint32_t kChunk = 48;
constexpr int kRoundTripSeconds = 2;

// A counting loop as the code generator writes it, up to the limit; then a
// one-byte message to the host and halt.
std::string countingImage(uint32_t limit)
{
    ImageBuilder image;
    image.ins(OP_spvi, {0});
    const uint32_t loop = image.here();
    image.ins(OP_stos, {REG_EBX, 0}).ins(OP_sto, {REG_EAX, limit}).ins(OP_less, {REG_EBX, REG_EAX});
    const uint32_t body = image.here() + 9;
    // stos, addv, ssvr and sto: 3 + 6 + 3 + 6 bytes.
    const uint32_t done = body + 18;
    image.ins(OP_jmp, {body, done}).ins(OP_stos, {REG_EBX, 0}).ins(OP_addv, {REG_EBX, 1});
    image.ins(OP_ssvr, {0, REG_EBX}).ins(OP_sto, {REG_EIP, loop});
    if (image.here() != done)
        throw std::logic_error("loop layout");
    image.ins(OP_spvi, {1}).ins(OP_spvi, {kolm_image::kDataAddress}).ins(OP_spvi, {0x4130000C}).ins(OP_mcp).ins(OP_halt);
    return image.data("!").build();
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

} // namespace

int main(int argc, char **argv)
{
    const uint32_t iterations = argc > 1 ? uint32_t(std::strtoul(argv[1], nullptr, 0)) : 20000000u;
    const double instructions = double(iterations) * double(kLoopInstructions);
    const std::string image = countingImage(iterations);
    char path[] = "/tmp/emu_bench_XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0 || write(fd, image.data(), image.size()) != ssize_t(image.size()))
        return 1;
    close(fd);

    const Clock::time_point localStart = Clock::now();
    const ChildResult local = runChild({kProgram, path}, std::string(), 600000);
    const double localSeconds = seconds(Clock::now() - localStart);
    unlink(path);
    if (local.status != 0)
        return 1;
    std::printf("local run:      %.0f instructions/s\n", instructions / localSeconds);

    const int port = freePort();
    ChildProcess emulator({kProgram, "-e", "-p", std::to_string(port)});
    EmuClient client;
    if (!client.connect(port))
        return 1;
    for (uint32_t offset = 0; offset < image.size(); offset += kChunk) {
        if (!client.command(34, uint16_t(offset), image.substr(offset, kChunk)))
            return 1;
    }
    const Clock::time_point emuStart = Clock::now();
    // The reply to start, then nothing until the script's message.
    if (!client.command(35, 1) || !client.receive())
        return 1;
    const double emuSeconds = seconds(Clock::now() - emuStart);
    std::printf("emulator mode:  %.0f instructions/s (%.0f%% of the local run; goal: at least 50%%)\n",
                instructions / emuSeconds, 100.0 * localSeconds / emuSeconds);

    uint64_t trips = 0;
    const Clock::time_point tripStart = Clock::now();
    while (Clock::now() - tripStart < std::chrono::seconds(kRoundTripSeconds)) {
        if (!client.command(1, 0))
            return 1;
        ++trips;
    }
    std::printf("own address:    %.0f round trips/s\n", double(trips) / seconds(Clock::now() - tripStart));
    emulator.signal(SIGTERM);
    emulator.wait(10000);
    return 0;
}
