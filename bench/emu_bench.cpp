// halvane-kdb's emulator mode against its local run, on the benchmark
// programs in Kolm source (bench/programs): each is compiled in-process for
// the emulator's board at level 1, with a small main around the program's
// own that sends its result to the host as a 4-byte message. The local run
// is `halvane-kdb FILE.kcs`; in emulator mode the image is uploaded through
// the device link as the IDE does it (stop, 48-byte writes), started, and
// the client stays idle until the script's message. Both figures are wall
// time, the best of three runs (the local one includes the process start);
// the ratio is the emulator mode's speed over the local run's (goal: at
// least 0.5). Then round trips per second of the own-address request.
//
//   emu_bench [PROGRAM...]     (default: fib sum primes format)

#include "child_process.h"
#include "device_link_client.h"
#include "free_port.h"
#include "kolm_source_image.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

using Clock = std::chrono::steady_clock;

namespace {

const std::string kProgram = KDB_PROGRAM;
const std::string kPrograms = BENCH_PROGRAMS_DIR;
const std::string kBoardPackage = BOARD_PACKAGE;
constexpr int kLevel = 1;
constexpr int kRunTimeoutMs = 600000;
constexpr int kRoundTripSeconds = 2;
constexpr int kRepeats = 3;

// What each program returns.
const std::map<std::string, uint32_t> kResults = {
    {"fib", 6765000u}, {"sum", 887459712u}, {"primes", 78498u}, {"format", 13729104u}};

// The program's main becomes bench_body; the new main runs it and sends
// its result to the host before it returns it.
const char kClosingMain[] = "\nvar bench_result;\n"
                            "var main()\n{\n"
                            "    bench_result = bench_body();\n"
                            "    memcpy(&MSG.TX, &bench_result, 4);\n"
                            "    return bench_result;\n}\n";

bool readFile(const std::string &path, std::string &text)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    text = out.str();
    return bool(in);
}

// The program with its closing message; empty when its source does not
// define main exactly once.
std::string withClosingMessage(const std::string &source)
{
    static const std::regex mainDefinition(R"(\bvar\s+main\s*\()");
    const auto matches = std::distance(std::sregex_iterator(source.begin(), source.end(), mainDefinition),
                                       std::sregex_iterator());
    if (matches != 1)
        return {};
    return std::regex_replace(source, mainDefinition, "var bench_body(") + kClosingMain;
}

double seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// The shortest of kRepeats runs; negative as soon as one fails.
template <typename Run>
double best(Run run)
{
    double shortest = -1;
    for (int i = 0; i < kRepeats; ++i) {
        const double elapsed = run();
        if (elapsed < 0)
            return -1;
        if (shortest < 0 || elapsed < shortest)
            shortest = elapsed;
    }
    return shortest;
}

// The local run of the image file: wall time, or a negative value when the
// run failed or returned something else.
double localRun(const std::string &path, uint32_t expected)
{
    const Clock::time_point start = Clock::now();
    const ChildResult local = runChild({kProgram, path}, std::string(), kRunTimeoutMs);
    const double elapsed = seconds(Clock::now() - start);
    const std::string line = "Return value: " + std::to_string(expected) + "\n";
    return local.status == 0 && local.err.find(line) != std::string::npos ? elapsed : -1;
}

// The time from the start command to the script's message; negative when
// a step failed or the result is wrong.
double emulatorRun(DeviceLinkClient &link, uint32_t expected)
{
    QByteArray result;
    const Clock::time_point start = Clock::now();
    if (!link.command(DeviceLinkClient::CMD_SCRIPT_CONTROL, DeviceLinkClient::SCRIPT_START) ||
        !link.message(&result, kRunTimeoutMs))
        return -1;
    const double elapsed = seconds(Clock::now() - start);
    const QByteArray wanted(reinterpret_cast<const char *>(&expected), 4);
    return result == wanted ? elapsed : -1;
}

// Compiles the named program into a temporary image file; its path, or
// empty after printing why not.
std::string buildImage(const std::string &name, std::string &image)
{
    std::string source, diagnostics;
    if (!readFile(kPrograms + "/" + name + ".kos", source)) {
        std::fprintf(stderr, "%s: cannot read %s/%s.kos\n", name.c_str(), kPrograms.c_str(), name.c_str());
        return {};
    }
    const std::string wrapped = withClosingMessage(source);
    if (wrapped.empty() || !compileKolmSource(wrapped, name + ".kos", kBoardPackage, kLevel, image, diagnostics)) {
        std::fprintf(stderr, "%s: does not compile%s\n%s", name.c_str(),
                     wrapped.empty() ? " (needs one main)" : "", diagnostics.c_str());
        return {};
    }
    std::string path = "/tmp/emu_bench_XXXXXX";
    const int fd = mkstemp(&path[0]);
    const bool written = fd >= 0 && write(fd, image.data(), image.size()) == ssize_t(image.size());
    if (fd >= 0)
        close(fd);
    if (!written) {
        std::fprintf(stderr, "%s: cannot write the image\n", name.c_str());
        unlink(path.c_str());
        return {};
    }
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i)
        names.push_back(argv[i]);
    if (names.empty())
        names = {"fib", "sum", "primes", "format"};

    const int port = freePort();
    ChildProcess emulator({kProgram, "-e", "-p", std::to_string(port)});
    DeviceLinkClient link;
    if (!link.connect(port)) {
        std::fprintf(stderr, "cannot connect to the emulator on port %d\n", port);
        return 1;
    }

    bool ok = true;
    std::printf("%-8s %8s %8s %11s %7s\n", "program", "image B", "local s", "emulator s", "ratio");
    for (const std::string &name : names) {
        const auto expected = kResults.find(name);
        std::string image;
        const std::string path = expected == kResults.end() ? std::string() : buildImage(name, image);
        if (path.empty()) {
            if (expected == kResults.end())
                std::fprintf(stderr, "%s: no such program\n", name.c_str());
            ok = false;
            continue;
        }
        const double local = best([&] { return localRun(path, expected->second); });
        unlink(path.c_str());
        // The machine is stopped before the upload, as the IDE does it.
        const bool uploaded =
            link.command(DeviceLinkClient::CMD_SCRIPT_CONTROL, DeviceLinkClient::SCRIPT_STOP) && link.upload(image);
        const double emu = uploaded ? best([&] { return emulatorRun(link, expected->second); }) : -1;
        if (local < 0 || emu < 0) {
            std::printf("%-8s %8zu %8s %11s  FAILED (%s run)\n", name.c_str(), image.size(), "", "",
                        local < 0 ? "local" : "emulator");
            ok = false;
            continue;
        }
        std::printf("%-8s %8zu %8.3f %11.3f %7.2f%s\n", name.c_str(), image.size(), local, emu, local / emu,
                    local / emu < 0.5 ? "  below the goal" : "");
    }
    std::printf("ratio: local time / emulator time (wall time; goal: at least 0.50)\n");

    uint64_t trips = 0;
    const Clock::time_point tripStart = Clock::now();
    while (ok && Clock::now() - tripStart < std::chrono::seconds(kRoundTripSeconds)) {
        if (!link.command(DeviceLinkClient::CMD_INFO, 0)) {
            ok = false;
            break;
        }
        ++trips;
    }
    if (ok)
        std::printf("own address: %.0f round trips/s through the device link\n",
                    double(trips) / seconds(Clock::now() - tripStart));
    link.close();
    emulator.signal(SIGTERM);
    emulator.wait(10000);
    return ok ? 0 : 1;
}
