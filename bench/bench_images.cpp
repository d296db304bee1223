// Builds the images of the speed comparison with the code generator:
// recursive Fibonacci, a summing loop and a prime count by trial division,
// the same algorithms as the Lua and C programs beside this file.
//
// usage: bench_images DIRECTORY
// Writes fib.kcs, sum.kcs and primes.kcs into DIRECTORY, runs each on the
// virtual machine as the local run does, checks its result and prints a
// line "NAME INSTRUCTIONS" with the number of instructions it executed.

#include "flash.h"
#include "gen_script.h"
#include "kolm_dbg.h"
#include "kolm_p.h"

#include <cinttypes>
#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

using namespace kolm_isa;

namespace {

constexpr uint8_t kAdd = 0x11;
constexpr uint8_t kSub = 0x12;
constexpr uint8_t kMul = 0x13;
constexpr uint8_t kMod = 0x1A;
constexpr int kLevel = 1;

using Code = GenScript::Code;

Code plusOne(GenScript &s, const std::string &name)
{
    return [&s, name] { s.assign(name, s.binary(kAdd, s.var(name), s.num(1))); };
}

// fib(n) = n < 2 ? n : fib(n - 1) + fib(n - 2); the sum of fib(20), 1,000 times.
std::string fibonacci()
{
    GenScript s(kLevel);
    s.function("fib", {"n"}, [&] {
        s.ifThen(s.binary(OP_less, s.var("n"), s.num(2)), [&] { s.ret(s.var("n")); });
        s.ret(s.binary(kAdd, s.call("fib", {s.binary(kSub, s.var("n"), s.num(1))}, {GenScript::N}),
                       s.call("fib", {s.binary(kSub, s.var("n"), s.num(2))}, {GenScript::N})));
    });
    s.function("main", {}, [&] {
        s.local("total", 0);
        s.forLoop([&] { s.local("i", 0); }, s.binary(OP_less, s.var("i"), s.num(1000)), plusOne(s, "i"), [&] {
            s.assign("total", s.binary(kAdd, s.var("total"), s.call("fib", {s.num(20)}, {GenScript::N})));
        });
        s.ret(s.var("total"));
    });
    return s.image();
}

// The sum of 0 .. 99,999,999 modulo 2^32.
std::string summingLoop()
{
    GenScript s(kLevel);
    s.function("main", {}, [&] {
        s.local("total", 0);
        s.forLoop([&] { s.local("i", 0); }, s.binary(OP_less, s.var("i"), s.num(100000000)), plusOne(s, "i"),
                  [&] { s.assign("total", s.binary(kAdd, s.var("total"), s.var("i"))); });
        s.ret(s.var("total"));
    });
    return s.image();
}

// The number of primes below 1,000,000, each number tried by the divisors
// d with d * d <= n.
std::string primeCount()
{
    GenScript s(kLevel);
    s.function("main", {}, [&] {
        s.local("count", 0);
        s.forLoop([&] { s.local("n", 2); }, s.binary(OP_less, s.var("n"), s.num(1000000)), plusOne(s, "n"), [&] {
            s.block([&] {
                s.local("prime", 1);
                s.forLoop([&] { s.local("d", 2); },
                          s.binary(OP_leq, s.binary(kMul, s.var("d"), s.var("d")), s.var("n")), plusOne(s, "d"),
                          [&] {
                              s.ifThen(s.binary(OP_cmp, s.binary(kMod, s.var("n"), s.var("d")), s.num(0)), [&] {
                                  s.assign("prime", s.num(0));
                                  s.loopBreak();
                              });
                          });
                s.assign("count", s.binary(kAdd, s.var("count"), s.var("prime")));
            });
        });
        s.ret(s.var("count"));
    });
    return s.image();
}

struct Program {
    const char *name;
    std::string (*build)();
    uint32_t result; // EAX at the halt
};

const Program kPrograms[] = {
    {"fib", fibonacci, 6765000},
    {"sum", summingLoop, 887459712}, // 4,999,999,950,000,000 modulo 2^32
    {"primes", primeCount, 78498},
};

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
bool count(const Program &program, const std::string &image, uint64_t &executed)
{
    std::istringstream in(image);
    kolm_flash_read(in);
    KOLM_VM.flags = 0;
    if (kolm_vm_init() != 0)
        return false;
    executed = 0;
    while ((KOLM_VM.flags & KOLM_FLAG_STOPPED) == 0)
        executed += asm_debugger_run(KOLM_BATCH_SIZE);
    if ((KOLM_VM.flags & KOLM_FLAG_SEGV) == 0 && KOLM_VM.ctx.EAX == program.result)
        return true;
    std::fprintf(stderr, "%s: result %u, expected %u\n", program.name, KOLM_VM.ctx.EAX, program.result);
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 1;
    }
    const std::string dir = argv[1];
    kolm_hal_set_level(0);
    try {
        for (const Program &program : kPrograms) {
            const std::string image = program.build();
            uint64_t executed = 0;
            if (!write(dir + "/" + program.name + ".kcs", image) || !count(program, image, executed))
                return 1;
            std::printf("%s %" PRIu64 "\n", program.name, executed);
        }
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "image not built: %s\n", e.what());
        return 1;
    }
}
