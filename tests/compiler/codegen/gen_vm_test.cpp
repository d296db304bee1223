// Images built through the code generator, run on the emulator's virtual
// machine: the generator's layout, jumps, frames and data must be what the
// machine executes. Each program is written as the syntax tree would drive
// the generator, and checked by the value it leaves in EAX.

#include "flash.h"
#include "kolm_dbg.h"
#include "gen_script.h"
#include "kolm_hal.h"
#include "kolm_opcodes.h"
#include "kolm_p.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace kolm_isa;

namespace {

using Script = GenScript;
using Code = GenScript::Code;
constexpr int N = GenScript::N;
constexpr int I = GenScript::I;
constexpr int S = GenScript::S;
constexpr int A = GenScript::A;

// A fresh machine with its log captured.
class VmRunner
{
protected:
    VmRunner()
    {
        kolm_hal_set_debug_stream(&log);
        kolm_hal_clear_timers();
        KOLM_VM = _KolmVM{};
    }
    ~VmRunner() { kolm_hal_set_debug_stream(nullptr); }

    // Runs the image to its halt; the result is EAX.
    uint32_t run(const std::string &image)
    {
        std::istringstream in(image);
        kolm_flash_read(in);
        EXPECT_EQ(kolm_vm_init(), 0u);
        EXPECT_EQ(kolm_vm_run(), KOLM_STEP_HALT) << log.str();
        return kolm_vm_exit_code();
    }

    std::ostringstream log;
};

class GeneratedImage : public VmRunner, public ::testing::TestWithParam<int> {};

TEST_P(GeneratedImage, Arithmetic)
{
    Script s(GetParam());
    s.function("main", {}, [&] {
        // (6 * 7) + (100 - 58) / 2
        s.ret(s.binary(0x11, s.binary(0x13, s.num(6), s.num(7)),
                       s.binary(0x14, s.binary(0x12, s.num(100), s.num(58)), s.num(2))));
    });
    EXPECT_EQ(run(s.image()), 63u);
}

TEST_P(GeneratedImage, CallsWithArgumentsAndASavedRegister)
{
    Script s(GetParam());
    s.function("f", {"a", "b"}, [&] { s.ret(s.binary(0x12, s.var("a"), s.var("b"))); });
    s.function("g", {"x"}, [&] { s.ret(s.binary(0x13, s.var("x"), s.num(10))); });
    s.function("main", {}, [&] {
        s.local("b", 5);
        // f(b + g(3), 2): b is held in a register while g runs.
        s.ret(s.call("f", {s.binary(0x11, s.var("b"), s.call("g", {s.num(3)}, {N})), s.num(2)}, {N, N}));
    });
    EXPECT_EQ(run(s.image()), 33u);
}

TEST_P(GeneratedImage, ForwardCallPatchedByFinalize)
{
    Script s(GetParam());
    ASSERT_TRUE(s.gen.declareFunction("later", {"x"}, {N}, true, &s.out, s.error));
    s.function("main", {}, [&] { s.ret(s.call("later", {s.num(4)}, {N})); });
    s.function("later", {"x"}, [&] { s.ret(s.binary(0x11, s.var("x"), s.num(1))); });
    EXPECT_EQ(run(s.image()), 5u);
}

// A loop whose body declares a local, calls a function while a register is
// held and leaves early through continue and break: every pass must drop
// its words, or 150 passes overflow the stack.
TEST_P(GeneratedImage, LoopWithLocalsCallsBreakAndContinue)
{
    Script s(GetParam());
    s.function("one", {"x"}, [&] { s.ret(s.binary(0x14, s.var("x"), s.var("x"))); }); // x / x
    s.function("main", {}, [&] {
        s.local("i", 0);
        s.local("n", 0);
        s.whileLoop(s.binary(OP_less, s.var("i"), s.num(200)), [&] {
            s.block([&] {
                s.local("t", 0);
                s.assign("t", s.var("i"));
                s.assign("i", s.binary(0x11, s.var("i"), s.num(1)));
                s.ifThen(s.binary(OP_cmp, s.binary(0x1A, s.var("t"), s.num(3)), s.num(0)),
                         [&] { s.loopContinue(); });
                s.ifThen(s.binary(OP_cmp, s.var("t"), s.num(151)), [&] { s.loopBreak(); });
                s.assign("n", s.binary(0x11, s.var("n"), s.call("one", {s.var("t")}, {I})));
            });
        });
        s.ret(s.var("n"));
    });
    EXPECT_EQ(run(s.image()), 100u);
}

// Both branches of an if, an empty else (dropped at level 1), a backward
// goto out of an if and a forward goto.
TEST_P(GeneratedImage, ConditionalsAndGotos)
{
    Script s(GetParam());
    s.function("main", {}, [&] {
        s.local("i", 0);
        s.local("sum", 0);
        s.label("top");
        s.ifElse(s.binary(OP_less, s.var("i"), s.num(5)),
                 [&] { s.assign("sum", s.binary(0x11, s.var("sum"), s.var("i"))); },
                 [&] { s.assign("sum", s.binary(0x11, s.var("sum"), s.num(100))); });
        s.ifElse(s.binary(OP_cmp, s.var("i"), s.num(2)),
                 [&] { s.assign("sum", s.binary(0x11, s.var("sum"), s.num(1000))); }, [] {});
        s.assign("i", s.binary(0x11, s.var("i"), s.num(1)));
        s.ifThen(s.binary(OP_cmp, s.var("i"), s.num(7)), [&] { s.jump("out"); });
        s.jump("top");
        s.label("out");
        s.ret(s.var("sum"));
    });
    EXPECT_EQ(run(s.image()), 1210u);
}

// continue in a for loop runs the step: the sum of the odd numbers below 10.
TEST_P(GeneratedImage, ForLoopContinueRunsTheStep)
{
    Script s(GetParam());
    s.function("main", {}, [&] {
        s.local("sum", 0);
        s.forLoop([&] { s.local("i", 0); }, s.binary(OP_less, s.var("i"), s.num(10)),
                  [&] { s.assign("i", s.binary(0x11, s.var("i"), s.num(1))); },
                  [&] {
                      s.block([&] {
                          s.ifThen(s.binary(OP_cmp, s.binary(0x1A, s.var("i"), s.num(2)), s.num(0)),
                                   [&] { s.loopContinue(); });
                          s.assign("sum", s.binary(0x11, s.var("sum"), s.var("i")));
                      });
                  });
        s.ret(s.var("sum"));
    });
    EXPECT_EQ(run(s.image()), 25u);
}

TEST_P(GeneratedImage, GlobalsInitialisedBeforeMain)
{
    Script s(GetParam());
    ASSERT_TRUE(s.gen.declareVariable("g", 7, &s.out));
    ASSERT_TRUE(s.gen.declareVariable("h", 3, &s.out));
    s.function("twice", {}, [&] { s.assign("g", s.binary(0x11, s.var("g"), s.var("g"))); });
    s.function("main", {}, [&] {
        s.assign("g", s.binary(0x13, s.var("g"), s.var("h")));
        s.call("twice", {}, {})();
        s.ret(s.binary(0x11, s.var("g"), s.var("h")));
    });
    EXPECT_EQ(run(s.image()), 45u);
}

TEST_P(GeneratedImage, StringDataThroughLibraryOpcodes)
{
    Script s(GetParam());
    std::string message;
    const uint32_t one = s.gen.placeLiteral("\"one\"");
    const uint32_t two = s.gen.placeLiteral("\"two\"");
    ASSERT_TRUE(s.gen.placeStringArray("words", {one, two}, message));
    ASSERT_TRUE(s.gen.placeNumberArray("nums", {5, 6, 7}, message));
    // A static array argument is the address of its count byte.
    const auto arrayAddress = [&](const char *name) {
        return s.num(s.gen.boardPackage().rom_address + s.gen.staticArray(name)->offset);
    };
    s.function("main", {}, [&] {
        s.local("r", 0);
        // memcmp("abc", "abc", 3) is 0, memcmp("abc", "abd", 3) is 1.
        s.assign("r", s.call("memcmp", {s.literal("abc"), s.literal("abd"), s.num(3)}, {S, S, N}));
        s.assign("r", s.binary(0x11, s.var("r"), s.call("memcmp", {s.literal("abc"), s.literal("abc"), s.num(3)},
                                                          {S, S, N})));
        // contains(words, "two", 3) and contains(nums, 6) are 1 each.
        s.assign("r", s.binary(0x11, s.var("r"),
                               s.binary(0x13, s.num(10),
                                        s.call("contains", {arrayAddress("words"), s.literal("two"), s.num(3)},
                                               {A, S, N}))));
        s.assign("r", s.binary(0x11, s.var("r"),
                               s.binary(0x13, s.num(100),
                                        s.call("contains", {arrayAddress("nums"), s.num(6)}, {A, N}))));
        s.ret(s.var("r"));
    });
    EXPECT_EQ(run(s.image()), 111u);
}

INSTANTIATE_TEST_SUITE_P(OptimisationLevels, GeneratedImage, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return "level" + std::to_string(info.param);
                         });

// A switch over x with cases 1, 2, 3 (dense) or 1, 100, 1000 (sparse); each
// branch sets r and breaks, the default sets 99.
struct SwitchCase {
    std::vector<uint32_t> values;
    bool dense;
    uint32_t x;
    uint32_t expected;
};

class GeneratedSwitch : public VmRunner, public ::testing::TestWithParam<std::tuple<SwitchCase, int>> {};

TEST_P(GeneratedSwitch, TakesTheMatchingBranch)
{
    const SwitchCase &c = std::get<0>(GetParam());
    Script s(std::get<1>(GetParam()));
    s.function("main", {}, [&] {
        s.local("r", 0);
        s.local("x", c.x);
        s.var("x")();
        ASSERT_TRUE(s.gen.startSwitch(&s.out));
        for (uint32_t value : c.values) {
            ASSERT_TRUE(s.gen.startSwitchBranch(value, &s.out));
            s.assign("r", s.num(value + 10));
            s.loopBreak();
        }
        ASSERT_TRUE(s.gen.startSwitchDefault(&s.out));
        s.assign("r", s.num(99));
        ASSERT_TRUE(s.gen.endSwitchDefault(&s.out));
        if (c.dense) {
            const uint32_t lowest = c.values.empty() ? 0 : c.values.front();
            const uint32_t highest = c.values.empty() ? 0 : c.values.back();
            ASSERT_TRUE(s.gen.compileSwitchTable(&s.out, s.error)) << s.error;
            ASSERT_TRUE(s.gen.compilePackedSwitchHead(lowest, highest, &s.out, s.error)) << s.error;
        } else {
            ASSERT_TRUE(s.gen.compileSparseSwitchTable(&s.out, s.error)) << s.error;
        }
        ASSERT_TRUE(s.gen.endSwitch(&s.out));
        s.ret(s.var("r"));
    });
    EXPECT_EQ(run(s.image()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeneratedSwitch,
    ::testing::Combine(::testing::Values(SwitchCase{{1, 100, 1000}, false, 100, 110},
                                         SwitchCase{{1, 100, 1000}, false, 1000, 1010},
                                         SwitchCase{{1, 100, 1000}, false, 5, 99},
                                         SwitchCase{{1, 2, 3}, true, 1, 11}, SwitchCase{{1, 2, 3}, true, 3, 13},
                                         SwitchCase{{1, 2, 3}, true, 0, 99}, SwitchCase{{1, 2, 3}, true, 4, 99},
                                         SwitchCase{{0, 2}, true, 1, 99}, SwitchCase{{0, 2}, true, 2, 12},
                                         // Only a default: a table over 0 to 0.
                                         SwitchCase{{}, true, 0, 99}, SwitchCase{{}, true, 7, 99}),
                       ::testing::Values(0, 1)),
    [](const ::testing::TestParamInfo<std::tuple<SwitchCase, int>> &info) {
        const SwitchCase &c = std::get<0>(info.param);
        std::string name = c.dense ? "dense" : "sparse";
        for (uint32_t value : c.values)
            name += "_" + std::to_string(value);
        return name + "_x" + std::to_string(c.x) + "_level" + std::to_string(std::get<1>(info.param));
    });

} // namespace
