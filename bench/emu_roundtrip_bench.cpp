// Request round trips per second of a client that reads its replies, to
// halvane-kdb's emulator mode over loopback: own-address requests one after
// the other, each sent once the reply to the one before has come. Measured
// with the machine halted (no image) and with a busy script (an endless
// loop, started), best of three runs of two seconds each.
//
//   emu_roundtrip_bench [PROGRAM...]   (default: the halvane-kdb built here)
//
// Given several programs (an older build, say), one row each.

#include "child_process.h"
#include "emu_client.h"
#include "kdb_images.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRunSeconds = 2;
constexpr int kRuns = 3;
constexpr int kTimeoutMs = 5000;

enum : uint8_t { CMD_INFO = 1, CMD_SCRIPT_CONTROL = 35 };
constexpr uint16_t SCRIPT_START = 1;

// Round trips per second of one run; negative when a reply did not come.
double roundTrips(EmuClient &client)
{
    const std::string request = EmuClient::commandFrame(CMD_INFO, 0);
    uint64_t trips = 0;
    const Clock::time_point start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(kRunSeconds)) {
        if (!client.sendRaw(request) || !client.receive(kTimeoutMs))
            return -1;
        ++trips;
    }
    return double(trips) / std::chrono::duration<double>(Clock::now() - start).count();
}

// The best of kRuns runs against the program in emulator mode, with the
// image on standard input (none: halted, empty ROM) started when given.
double best(const std::string &program, const std::string &image)
{
    const int port = freePort();
    std::vector<std::string> args{program, "-e", "-p", std::to_string(port)};
    if (!image.empty())
        args.push_back("-");
    ChildProcess emulator(args);
    emulator.write(image);
    emulator.closeInput();
    EmuClient client;
    if (!client.connect(port))
        return -1;
    if (!image.empty() && !client.command(CMD_SCRIPT_CONTROL, SCRIPT_START))
        return -1;
    double result = -1;
    for (int i = 0; i < kRuns; ++i) {
        const double rate = roundTrips(client);
        if (rate < 0)
            return -1;
        result = std::max(result, rate);
    }
    client.disconnect();
    emulator.signal(SIGTERM);
    emulator.wait(kTimeoutMs);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    std::vector<std::string> programs(argv + 1, argv + argc);
    if (programs.empty())
        programs.push_back(KDB_PROGRAM);
    bool ok = true;
    std::printf("round trips per second, best of %d runs of %d s\n", kRuns, kRunSeconds);
    std::printf("%14s %14s  %s\n", "halted", "busy script", "program");
    for (const std::string &program : programs) {
        const double halted = best(program, std::string());
        const double busy = best(program, loopingImage());
        ok = ok && halted > 0 && busy > 0;
        std::printf("%14.0f %14.0f  %s\n", halted, busy, program.c_str());
    }
    return ok ? 0 : 1;
}
