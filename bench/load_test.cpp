// Load test of halvane-kdb's emulator mode over loopback, and the device
// link's upload benchmark: a 60 KB image written in 48-byte chunks and read
// back through the IDE's side of the link (goal: under one second). Then connect and disconnect cycles (some
// mid-frame), random bytes, back-to-back requests answered in order, a
// second client waiting while the first is served, and script messages in
// bursts. After all of it the program must still answer and its resident
// memory stay flat. Bounded: every wait has a time-out; prints a table and
// ends non-zero when a stage failed.
//
//   load_test

#include "child_process.h"
#include "device_link_client.h"
#include "emu_client.h"
#include "kdb_images.h"
#include "resident_memory.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <string>

using Clock = std::chrono::steady_clock;

namespace {

const std::string kProgram = KDB_PROGRAM;
constexpr uint32_t kImageBytes = 60 * 1024;
constexpr int kCycles = 1000;
constexpr size_t kRandomBytes = 10u << 20;
constexpr int kRequests = 10000;
// Requests in flight at once; the rest wait so neither side's buffers fill.
constexpr int kWindow = 256;
constexpr int kBursts = 100;
constexpr int kBurstMessages = 100;
constexpr int kTimeoutMs = 5000;
// Resident memory may grow this much and still count as flat.
constexpr long kFlatKb = 1024;

enum : uint8_t { CMD_INFO = 1, CMD_SCRIPT_CONTROL = 35 };

std::mt19937 g_random(23);

// What a stage did, and whether it went as it must.
struct Outcome {
    bool ok;
    std::string text;
};

Outcome pass(const std::string &text)
{
    return {true, text};
}

Outcome fail(const std::string &text)
{
    return {false, text};
}

std::string randomBytes(size_t n)
{
    std::string bytes(n, 0);
    for (char &c : bytes)
        c = char(g_random());
    return bytes;
}

// The reply's data after the echoed command and sub-code, or "-" when the
// reply belongs to another request.
std::string replyTo(const EmuClient &client, uint8_t cmd, uint16_t sub)
{
    const std::string data = client.lastData();
    if (data.size() < 3 || uint8_t(data[0]) != cmd || (uint8_t(data[1]) | uint8_t(data[2]) << 8) != sub)
        return "-";
    return data.substr(3);
}

// One own-address request that must be answered.
bool answers(EmuClient &client)
{
    return client.sendRaw(EmuClient::commandFrame(CMD_INFO, 0)) && client.receive(kTimeoutMs) &&
           replyTo(client, CMD_INFO, 0).size() == 2;
}

// Connects and disconnects; every fourth cycle leaves half a request behind,
// the others are answered first.
Outcome connectCycles(int port)
{
    const std::string request = EmuClient::commandFrame(CMD_INFO, 0);
    int midFrame = 0;
    for (int i = 0; i < kCycles; ++i) {
        EmuClient client;
        if (!client.connect(port, 100))
            return fail("connect " + std::to_string(i) + " failed");
        if (i % 4 == 0) {
            if (!client.sendRaw(request.substr(0, request.size() / 2)))
                return fail("send failed");
            ++midFrame;
        } else if (!answers(client)) {
            return fail("cycle " + std::to_string(i) + " unanswered");
        }
    }
    return pass(std::to_string(kCycles) + " cycles, " + std::to_string(midFrame) + " mid-frame");
}

// Random bytes in 64 KB writes, dropping whatever comes back; a dropped
// connection is opened again. Then a fresh client must be answered.
Outcome randomStream(int port)
{
    int reconnects = 0;
    EmuClient client;
    if (!client.connect(port, 100))
        return fail("connect failed");
    for (size_t sent = 0; sent < kRandomBytes; sent += 65536) {
        if (!client.sendRaw(randomBytes(65536))) {
            if (!client.connect(port, 100))
                return fail("reconnect failed");
            ++reconnects;
        }
        client.drain();
    }
    client.disconnect();
    if (!client.connect(port, 100) || !answers(client))
        return fail("unanswered afterwards");
    return pass(std::to_string(kRandomBytes >> 20) + " MB, " + std::to_string(reconnects) + " reconnects");
}

// Own-address and memory-size requests alternate so the order of the
// answers shows; up to kWindow are in flight.
Outcome inOrder(int port)
{
    EmuClient client;
    if (!client.connect(port, 100))
        return fail("connect failed");
    const std::string frames[2] = {EmuClient::commandFrame(CMD_INFO, 0), EmuClient::commandFrame(CMD_INFO, 1)};
    int sent = 0;
    for (int answered = 0; answered < kRequests; ++answered) {
        while (sent < kRequests && sent - answered < kWindow) {
            if (!client.sendRaw(frames[sent % 2]))
                return fail("send failed");
            ++sent;
        }
        if (!client.receive(kTimeoutMs))
            return fail("answer " + std::to_string(answered) + " missing");
        if (replyTo(client, CMD_INFO, uint16_t(answered % 2)) == "-")
            return fail("answer " + std::to_string(answered) + " out of order");
    }
    return pass(std::to_string(kRequests) + " answered in order");
}

// The second client's request waits unanswered while the first is served,
// and is answered once the first leaves.
Outcome secondClient(int port)
{
    EmuClient first, second;
    if (!first.connect(port, 100) || !answers(first) || !second.connect(port, 100))
        return fail("connect failed");
    if (!second.sendRaw(EmuClient::commandFrame(CMD_INFO, 0)))
        return fail("send failed");
    for (int i = 0; i < 100; ++i) {
        if (!answers(first))
            return fail("first client unanswered");
    }
    if (second.receive(200))
        return fail("second client served too early");
    first.disconnect();
    if (!second.receive(kTimeoutMs) || replyTo(second, CMD_INFO, 0).size() != 2)
        return fail("second client unanswered");
    return pass("waited, then answered");
}

// A script that takes messages, uploaded through the device link, runs;
// bursts of messages to it, each followed by a request that must be
// answered.
Outcome messageBursts(int port)
{
    DeviceLinkClient link;
    if (!link.connect(port) || !link.upload(interruptImage().bytes))
        return fail("upload failed");
    link.close();
    EmuClient client;
    if (!client.connect(port, 100) || !client.sendRaw(EmuClient::commandFrame(CMD_SCRIPT_CONTROL, 1)) ||
        !client.receive(kTimeoutMs))
        return fail("script not started");
    for (int burst = 0; burst < kBursts; ++burst) {
        std::string bytes;
        for (int i = 0; i < kBurstMessages; ++i)
            bytes += EmuClient::frame(0, "message " + std::to_string(i));
        if (!client.sendRaw(bytes) || !answers(client))
            return fail("burst " + std::to_string(burst) + " unanswered");
    }
    client.sendRaw(EmuClient::commandFrame(CMD_SCRIPT_CONTROL, 0));
    client.receive(kTimeoutMs);
    return pass(std::to_string(kBursts) + " x " + std::to_string(kBurstMessages) + " messages");
}

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int port = freePort();
    ChildProcess emulator({kProgram, "-e", "-p", std::to_string(port)});
    bool ok = true;
    std::printf("%-16s %10s  %s\n", "stage", "time (ms)", "result");
    auto row = [&](const char *stage, const std::function<Outcome()> &run) {
        const Clock::time_point start = Clock::now();
        const Outcome outcome = run();
        ok = ok && outcome.ok;
        std::printf("%-16s %10.1f  %s%s\n", stage, milliseconds(Clock::now() - start), outcome.ok ? "" : "FAILED: ",
                    outcome.text.c_str());
    };

    row("upload + verify", [&] {
        DeviceLinkClient link;
        const std::string image = randomBytes(kImageBytes);
        if (!link.connect(port))
            return fail("connect failed");
        const Clock::time_point start = Clock::now();
        if (!link.upload(image) || !link.verify(image))
            return fail("upload or verify failed");
        const double ms = milliseconds(Clock::now() - start);
        char text[128];
        std::snprintf(text, sizeof text, "60 KB in %d-byte chunks: %.1f ms (goal: under 1000 ms)",
                      DeviceLinkClient::kWriteChunk, ms);
        return pass(text);
    });
    const long before = residentKb(emulator.pid());
    row("connect cycles", [&] { return connectCycles(port); });
    row("random bytes", [&] { return randomStream(port); });
    row("back-to-back", [&] { return inOrder(port); });
    row("second client", [&] { return secondClient(port); });
    row("message bursts", [&] { return messageBursts(port); });
    row("still answers", [&] {
        EmuClient client;
        return client.connect(port, 100) && answers(client) ? pass("yes") : fail("unanswered");
    });
    const long after = residentKb(emulator.pid());
    const bool flat = before > 0 && after > 0 && after - before <= kFlatKb;
    ok = ok && flat;
    std::printf("%-16s %10s  %s%ld kB before, %ld kB after (flat: growth up to %ld kB)\n", "VmRSS", "",
                flat ? "" : "FAILED: ", before, after, kFlatKb);
    emulator.signal(SIGTERM);
    emulator.wait(10000);
    return ok ? 0 : 1;
}
