// The fast execution loop against single steps: every image runs once
// through the host's single step and once through its batches, with several
// batch sizes; the machine record, the log and the number of instructions
// executed must come out the same.

#include "console_printer.h"
#include "gen_script.h"
#include "kolm_board_package.h"
#include "kolm_gen_context.h"
#include "kolm_p_stack.h"
#include "lexer.h"
#include "vm_fixture.h"

#include <cstring>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <tuple>

using namespace kolm_isa;

namespace {

constexpr uint32_t EAX = REG_EAX, EBX = REG_EBX, ECX = REG_ECX, EDX = REG_EDX, EIP = REG_EIP, EBP = REG_EBP,
                   ESP = REG_ESP;
constexpr uint32_t ISR = KOLM_W_ISR, FLAGS = KOLM_W_FLAGS, TEXT_END = KOLM_W_TEXT_START + 1,
                   BSS = KOLM_W_TABLE + 5, RAM_WORD_5 = KOLM_W_RAM + 5;
constexpr uint32_t kRam = KOLM_ADDR_RAM;

// No test image runs longer.
constexpr uint64_t kInstructionLimit = 2000000;

using Build = std::function<std::string()>;

struct Program {
    std::string name;
    Build build;
    // Raised by the host before the first instruction.
    bool externalInterrupt = false;
};

// The image ends with some bytes behind the code unless atRomEnd: the fast
// loop leaves the last instructions before the end of the ROM to single
// steps, and the code of these images is short.
std::string assembled(const std::function<void(ImageBuilder &)> &emit, bool atRomEnd = false)
{
    ImageBuilder image;
    emit(image);
    if (!atRomEnd)
        image.extension("XX", std::string(16, '\0'));
    return image.build();
}

// The compiler's compound assignment to a local: EBX := slot load, EBX op=
// EAX, slot store := EBX, EAX := slot reload.
void compoundAssignment(ImageBuilder &i, uint8_t op, uint32_t load, uint32_t store, uint32_t reload)
{
    i.ins(OP_stos, {EBX, load}).ins(op, {EBX, EAX}).ins(OP_ssvr, {store, EBX}).ins(OP_stos, {EAX, reload});
}

// The compiler's postfix step of a local through the registers a and r:
// a := slot load, r := a, r step= k, slot store := r, r stepped back, a := r.
void postfix(ImageBuilder &i, uint32_t a, uint32_t load, uint32_t store, uint32_t r, uint8_t step, uint32_t k)
{
    const uint8_t back = step == OP_addv ? OP_subv : OP_addv;
    i.ins(OP_stos, {a, load}).ins(OP_cpy, {r, a}).ins(step, {r, k}).ins(OP_ssvr, {store, r});
    i.ins(back, {r, k}).ins(OP_cpy, {a, r});
}

// Images through the code generator, at both optimisation levels.
std::string fibonacci(int level)
{
    GenScript s(level);
    s.function("fib", {"n"}, [&] {
        s.ifThen(s.binary(OP_less, s.var("n"), s.num(2)), [&] { s.ret(s.var("n")); });
        s.ret(s.binary(0x11, s.call("fib", {s.binary(0x12, s.var("n"), s.num(1))}, {GenScript::N}),
                       s.call("fib", {s.binary(0x12, s.var("n"), s.num(2))}, {GenScript::N})));
    });
    s.function("main", {}, [&] { s.ret(s.call("fib", {s.num(15)}, {GenScript::N})); });
    return s.image();
}

// Every math operation and compare on a few values, summed up, with
// globals in RAM.
std::string arithmetic(int level)
{
    GenScript s(level);
    s.require(s.gen.declareVariable("g", 0x12345678, &s.out), "declareVariable");
    s.function("main", {}, [&] {
        s.local("r", 0);
        s.forLoop([&] { s.local("i", 1); }, s.binary(OP_less, s.var("i"), s.num(40)),
                  [&] { s.assign("i", s.binary(0x11, s.var("i"), s.num(3))); },
                  [&] {
                      for (uint8_t op = 0x11; op <= 0x1A; ++op)
                          s.assign("r", s.binary(0x19, s.var("r"), s.binary(op, s.var("g"), s.var("i"))));
                      for (uint8_t op = OP_cmp; op <= OP_leq; ++op)
                          s.assign("r", s.binary(0x11, s.var("r"), s.binary(op, s.var("i"), s.num(19))));
                      s.assign("g", s.binary(0x13, s.var("g"), s.num(2654435761u)));
                  });
        s.ret(s.var("r"));
    });
    return s.image();
}

std::string switches(int level, bool dense)
{
    GenScript s(level);
    s.function("main", {}, [&] {
        s.local("r", 0);
        s.forLoop([&] { s.local("x", 0); }, s.binary(OP_less, s.var("x"), s.num(12)),
                  [&] { s.assign("x", s.binary(0x11, s.var("x"), s.num(1))); },
                  [&] {
                      s.var("x")();
                      s.require(s.gen.startSwitch(&s.out), "startSwitch");
                      const std::vector<uint32_t> values = dense ? std::vector<uint32_t>{2, 3, 4, 5}
                                                                 : std::vector<uint32_t>{1, 7, 100, 1000};
                      for (uint32_t value : values) {
                          s.require(s.gen.startSwitchBranch(value, &s.out), "startSwitchBranch");
                          s.assign("r", s.binary(0x11, s.var("r"), s.num(value * 3)));
                          s.loopBreak();
                      }
                      s.require(s.gen.startSwitchDefault(&s.out), "startSwitchDefault");
                      s.assign("r", s.binary(0x11, s.var("r"), s.num(1)));
                      s.require(s.gen.endSwitchDefault(&s.out), "endSwitchDefault");
                      if (dense) {
                          s.require(s.gen.compileSwitchTable(&s.out, s.error), "compileSwitchTable");
                          s.require(s.gen.compilePackedSwitchHead(2, 5, &s.out, s.error), "compilePackedSwitchHead");
                      } else {
                          s.require(s.gen.compileSparseSwitchTable(&s.out, s.error), "compileSparseSwitchTable");
                      }
                      s.require(s.gen.endSwitch(&s.out), "endSwitch");
                  });
        s.ret(s.var("r"));
    });
    return s.image();
}

// String literals and static arrays through the library opcodes.
std::string library(int level)
{
    GenScript s(level);
    std::string message;
    const uint32_t one = s.gen.placeLiteral("\"one\"");
    const uint32_t two = s.gen.placeLiteral("\"two\"");
    s.require(s.gen.placeStringArray("words", {one, two}, message), "placeStringArray");
    const auto words = s.num(s.gen.boardPackage().rom_address + s.gen.staticArray("words")->offset);
    s.function("main", {}, [&] {
        s.local("r", 0);
        s.forLoop([&] { s.local("i", 0); }, s.binary(OP_less, s.var("i"), s.num(5)),
                  [&] { s.assign("i", s.binary(0x11, s.var("i"), s.num(1))); },
                  [&] {
                      s.assign("r", s.binary(0x11, s.var("r"),
                                             s.call("memcmp", {s.literal("abc"), s.literal("abd"), s.num(3)},
                                                    {GenScript::S, GenScript::S, GenScript::N})));
                      s.assign("r", s.binary(0x11, s.var("r"),
                                             s.call("contains", {words, s.literal("two"), s.num(3)},
                                                    {GenScript::A, GenScript::S, GenScript::N})));
                  });
        s.ret(s.var("r"));
    });
    return s.image();
}

// An image compiled from Kolm source for the Emulator board, as the IDE
// builds it.
std::string compiled(const std::string &source, int level)
{
    std::ostringstream log;
    console_set_output(&log);
    KolmGenContext context;
    context.optimizeLevel = level;
    KolmBoardPackageParser package;
    std::string message;
    std::stringstream image;
    bool ok = package.parse(std::string(KOLM_BSP_DIR) + "/Emulator.kbsp", &message);
    if (ok) {
        context.setBoardPackage(&package);
        kolm::Compiler driver(&context);
        driver.defines = context.definesMap();
        ok = driver.parse_string(source, "main.kos") && driver.root &&
             driver.root->precompile(&context, driver.replace_ops) && context.begin(&image, false, false) &&
             driver.root->compile(&context, &image) && context.finalize("main.kos", &image, message);
    }
    console_set_output(nullptr);
    if (!ok)
        throw std::runtime_error("not compiled: " + message + log.str());
    return image.str();
}

// Kolm sources: the statements on locals that the fast loop runs as one
// step, and the programs of the speed comparison on small numbers.
const struct {
    const char *name;
    const char *source;
} kSources[] = {
    {"loops_on_locals", R"(
var main()
{
    var t = 0;
    var n = 0;
    for (var i = 0; i < 200; i++) t += i;
    for (var j = 60; j > 0; j--) t -= j;
    for (var k = 1; k <= 40; k++) { t *= 3; t ^= k; t |= k << 3; t &= 0xFFFFF; t >>= 1; t <<= 2; t %= 1000003; }
    while (n != 30) n++;
    for (var m = 9; m >= 3; m--) t += m == 5;
    for (var q = 100; q / 2 >= 7; q /= 2) t += q;
    return t + n;
})"},
    {"division_by_zero_in_a_compound_assignment", R"(
var main()
{
    var t = 5;
    var z = 0;
    t += 2;
    t /= z;
    return t;
})"},
    {"fibonacci_source", R"(
var fib(var n)
{
    if (n < 2) return n;
    return fib(n - 1) + fib(n - 2);
}
var main()
{
    var total = 0;
    for (var i = 0; i < 3; i++) total += fib(12);
    return total;
})"},
    {"primes_source", R"(
var main()
{
    var count = 0;
    for (var n = 2; n < 300; n++) {
        var prime = 1;
        for (var d = 2; d * d <= n; d++) {
            if (n % d == 0) { prime = 0; break; }
        }
        count += prime;
    }
    return count;
})"},
    {"format_source", R"(
var buf0, buf1, buf2, buf3;
var main()
{
    var total = 0;
    for (var i = 0; i < 50; i++) total += sprintf(&buf0, "%d:%x;", i, i * 7);
    return total;
})"},
};

// Hand-assembled images for what the generator does not emit.
const Program kAssembled[] = {
    {"eip_as_operand",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_cpy, {EBX, EIP}).ins(OP_addv, {EIP, 1}).ins(OP_halt).ins(OP_sto, {ECX, 7});
             const uint32_t there = i.here() + 6 + 3 + 1;
             i.ins(OP_sto, {EDX, there}).ins(OP_cpy, {EIP, EDX}).ins(OP_halt).ins(OP_sum, {EBX, EIP}).ins(OP_halt);
         });
     }},
    {"ram_words_as_registers",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {RAM_WORD_5, 41}).ins(OP_addv, {RAM_WORD_5, 1}).ins(OP_rrui, {EAX, kRam + 20});
             i.ins(OP_sto, {EBX, kRam + 24}).ins(OP_rwur, {EBX, EAX}).ins(OP_rrur, {ECX, EBX});
             i.ins(OP_rwui, {EBX, 5}).ins(OP_rwup, {ECX, kRam + 28}).ins(OP_sad, {EDX, 3});
             i.ins(OP_not, {EAX}).ins(OP_bnt, {ECX}).ins(OP_halt);
         });
     }},
    {"isr_level_written",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_sto, {ISR, 2}).ins(OP_addv, {EAX, 1}).ins(OP_halt); }); }},
    {"halt_through_the_flags",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {FLAGS, KOLM_FLAG_HALT}).ins(OP_addv, {EAX, 1}).ins(OP_halt);
         });
     }},
    {"text_end_lowered",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {TEXT_END, ImageBuilder::kCodeStart + 7}).ins(OP_nop).ins(OP_nop).ins(OP_halt);
         });
     }},
    {"register_beyond_the_record",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_addv, {EBX, 1}).ins(OP_cpy, {EAX, 211}); }); }},
    {"register_written_beyond_the_record",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_addv, {EBX, 1}).ins(OP_sum, {250, EBX}); }); }},
    {"division_by_zero",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_sto, {EBX, 9}).ins(OP_modv, {EBX, 0}); }); }},
    {"stack_overflow",
     [] {
         return assembled([](ImageBuilder &i) {
             const uint32_t loop = i.here();
             i.ins(OP_spvr, {ESP}).ins(OP_sto, {EIP, loop});
         });
     }},
    {"push_onto_the_globals",
     [] {
         return assembled([](ImageBuilder &i) {
             i.bss(700).ins(OP_sto, {EBX, 40});
             const uint32_t loop = i.here();
             i.ins(OP_spvi, {0xA5A5A5A5}).ins(OP_cpy, {EAX, ESP}).ins(OP_less, {EAX, EBX});
             const uint32_t exit = i.here() + 9;
             i.ins(OP_jmp, {loop, exit}).ins(OP_halt);
         });
     }},
    {"call_onto_the_globals",
     [] {
         return assembled([](ImageBuilder &i) {
             const uint32_t after = i.here() + 6;
             i.bss(764).ins(OP_call, {after, 0}).ins(OP_halt);
         });
     }},
    {"stack_corruption",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_spvi, {1}).ins(OP_srw, {2}); }); }},
    {"call_frame_larger_than_the_stack",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_spvi, {1}).ins(OP_call, {36, 2}); }); }},
    {"ret_through_a_broken_frame",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_sto, {EBP, 191}).ins(OP_ret); }); }},
    {"frame_slot_outside_ram",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_sto, {EBP, 100}).ins(OP_stos, {EAX, 92}); }); }},
    {"second_frame_slot_of_a_pair_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 100}).ins(OP_stos, {EAX, 0}).ins(OP_stos, {EBX, 92});
         });
     }},
    {"slot_stored_after_a_sum_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 190}).ins(OP_sto, {EBX, 4}).ins(OP_sum, {EAX, EBX}).ins(OP_ssvr, {1, EAX});
             i.ins(OP_sum, {EAX, EBX}).ins(OP_ssvr, {2, EAX});
         });
     }},
    {"division_by_zero_before_a_slot_store",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EAX, 7}).ins(OP_stos, {EBX, 0}).ins(OP_sto, {ECX, 3}).ins(0x14, {EAX, ECX});
             i.ins(OP_ssvr, {0, EAX}).ins(0x14, {EAX, EBX}).ins(OP_ssvr, {0, EAX});
         });
     }},
    {"store_into_the_image",
     [] { return assembled([](ImageBuilder &i) { i.ins(OP_rwup, {EBX, 0x08000000}); }); }},
    {"loads_from_data_rom_and_peripherals",
     [] {
         return assembled([](ImageBuilder &i) {
             i.data(ImageBuilder::words({0xCAFEF00D, 7}));
             i.ins(OP_rrui, {EAX, KOLM_ADDR_DATA + 4}).ins(OP_rrui, {EBX, 0}).ins(OP_rrui, {ECX, 0x4FFFFFF0});
         });
     }},
    {"jump_onto_the_jump_behind_a_compare",
     [] {
         return assembled([](ImageBuilder &i) {
             const uint32_t loop = i.here() + 6 + 6 + 6;
             const uint32_t jump = loop + 3;
             const uint32_t body = jump + 9;
             i.ins(OP_sto, {EAX, 1}).ins(OP_sto, {ECX, 3}).ins(OP_sto, {EIP, jump});
             i.ins(OP_less, {EBX, ECX}).ins(OP_jmp, {body, body + 6 + 6}).ins(OP_addv, {EBX, 1});
             i.ins(OP_sto, {EIP, loop}).ins(OP_halt);
         });
     }},
    {"compare_before_a_jump_opcode_behind_the_code",
     [] {
         return assembled(
             [](ImageBuilder &i) {
                 i.ins(OP_sto, {EBX, 1}).ins(OP_less, {EAX, EBX});
                 i.extension(std::string(1, char(OP_jmp)) + "X", std::string(16, '\0'));
             },
             true);
     }},
    {"unknown_opcode", [] { return assembled([](ImageBuilder &i) { i.ins(OP_nop).raw({0x10, 0, 0}); }); }},
    {"jump_table_is_no_instruction", [] { return assembled([](ImageBuilder &i) { i.raw({0xFD, 0}); }); }},
    {"run_beyond_the_code", [] { return assembled([](ImageBuilder &i) { i.ins(OP_addv, {EAX, 3}); }); }},
    {"operands_beyond_the_rom",
     [] {
         return assembled([](ImageBuilder &i) { i.ins(OP_sto, {EIP, i.here() + 6}).raw({OP_jmp, 1, 2, 3}); },
                          true);
     }},
    {"interrupt_switches",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_irqd).ins(OP_cpy, {EBX, EAX}).ins(OP_irqe).ins(OP_sum, {EBX, EAX}).ins(OP_halt);
         });
     }},
    {"timer_interrupt",
     [] {
         return assembled([](ImageBuilder &i) {
             const uint32_t handler = ImageBuilder::kCodeStart + 5 + 5 + 1 + 2 + 3 * 6 + 1;
             i.ins(OP_spvi, {handler}).ins(OP_spvi, {0}).ins(OP_tim).ins(OP_srw, {2});
             i.ins(OP_addv, {EBX, 1}).ins(OP_addv, {EBX, 1}).ins(OP_addv, {EBX, 1}).ins(OP_halt);
             i.ins(OP_sto, {ECX, 77}).ins(OP_rwup, {EBX, kRam}).ins(OP_rwup, {ECX, kRam + 4}).ins(OP_ret);
         });
     }},
    {"delay_and_wake",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_spvi, {0}).ins(OP_dly).ins(OP_addv, {EBX, 1}).ins(OP_wak).ins(OP_addv, {EBX, 1});
             i.ins(OP_halt);
         });
     }},
    // The runs of instructions that the compiler writes for statements on
    // locals, with a fault at each of their steps, entered in the middle and
    // cut by the end of the code.
    {"compound_assignment_load_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 190});
             compoundAssignment(i, OP_add, 2, 0, 0);
         });
     }},
    {"compound_assignment_division_by_zero",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_spvi, {12}).ins(OP_sto, {EAX, 5});
             compoundAssignment(i, OP_rem, 0, 0, 0);
             i.ins(OP_sto, {EAX, 0});
             compoundAssignment(i, OP_div, 0, 0, 0);
         });
     }},
    {"compound_assignment_store_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 190}).ins(OP_sto, {EAX, 3});
             compoundAssignment(i, OP_sub, 1, 2, 0);
         });
     }},
    {"compound_assignment_reload_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 190}).ins(OP_sto, {EAX, 3});
             compoundAssignment(i, OP_mul, 1, 1, 2);
         });
     }},
    {"postfix_load_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 190});
             postfix(i, EAX, 2, 2, EBX, OP_addv, 1);
         });
     }},
    {"postfix_store_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 190}).ins(OP_sto, {ECX, 9}).ins(OP_ssvr, {1, ECX});
             postfix(i, EDX, 1, 2, ECX, OP_subv, 4);
         });
     }},
    {"postfix_in_one_register_and_entered_in_the_middle",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_spvi, {5});
             postfix(i, EAX, 0, 0, EAX, OP_subv, 2);
             const uint32_t middle = i.here() + 6 + 3;
             i.ins(OP_sto, {EIP, middle});
             postfix(i, EBX, 0, 0, ECX, OP_addv, 0xFFFFFFFF);
             i.ins(OP_halt);
         });
     }},
    {"postfix_cut_by_the_end_of_the_code",
     [] {
         return assembled(
             [](ImageBuilder &i) {
                 i.ins(OP_spvi, {7});
                 postfix(i, EAX, 0, 0, EBX, OP_addv, 1);
             },
             true);
     }},
    {"compare_of_a_local_outside_ram",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_sto, {EBP, 190}).ins(OP_stos, {EAX, 2}).ins(OP_sto, {EBX, 5}).ins(OP_less, {EAX, EBX});
             i.ins(OP_jmp, {0, 0});
         });
     }},
    {"compare_of_a_local_in_every_form",
     [] {
         return assembled([](ImageBuilder &i) {
             i.ins(OP_spvi, {4});
             for (uint8_t compare = OP_cmp; compare <= OP_leq; ++compare) {
                 for (bool localFirst : {true, false}) {
                     const uint32_t next = i.here() + 3 + 6 + 3 + 9;
                     const uint32_t a = localFirst ? EDX : ECX, b = localFirst ? ECX : EDX;
                     const uint32_t number = 3 + (compare + localFirst) % 3;
                     i.ins(OP_stos, {EDX, 0}).ins(OP_sto, {ECX, number}).ins(compare, {a, b});
                     i.ins(OP_jmp, {next, next});
                     i.ins(OP_add, {EBX, EBX}).ins(OP_add, {EBX, EAX});
                 }
             }
             i.ins(OP_halt);
         });
     }},
    {"external_interrupt",
     [] {
         return assembled([](ImageBuilder &i) {
             const uint32_t handler = ImageBuilder::kCodeStart + 6 + 6 + 1;
             i.exti(handler).ins(OP_addv, {EBX, 1}).ins(OP_addv, {EBX, 1}).ins(OP_halt);
             i.ins(OP_stos, {ECX, 2}).ins(OP_stos, {EDX, 3}).ins(OP_rwup, {ECX, kRam}).ins(OP_rwup, {EDX, kRam + 4});
             i.ins(OP_ret);
         });
     },
     true},
};

std::vector<Program> programs()
{
    std::vector<Program> all(std::begin(kAssembled), std::end(kAssembled));
    for (int level : {0, 1}) {
        const std::string suffix = "_level" + std::to_string(level);
        all.push_back({"fibonacci" + suffix, [level] { return fibonacci(level); }});
        all.push_back({"arithmetic" + suffix, [level] { return arithmetic(level); }});
        all.push_back({"dense_switch" + suffix, [level] { return switches(level, true); }});
        all.push_back({"sparse_switch" + suffix, [level] { return switches(level, false); }});
        all.push_back({"library" + suffix, [level] { return library(level); }});
        for (const auto &source : kSources)
            all.push_back({source.name + suffix, [level, &source] { return compiled(source.source, level); }});
    }
    return all;
}

// How a run ended.
struct Outcome {
    _KolmVM vm;
    std::string log;
    uint64_t executed = 0;
};

class BatchEquivalence : public VmFixture, public ::testing::TestWithParam<std::tuple<Program, uint32_t>> {
protected:
    // Loads the image afresh: the same ROM, record, board and log for both
    // runs.
    void start(const std::string &image)
    {
        KOLM_VM = _KolmVM{};
        kolm_hal_clear_timers();
        loadImage(image);
        ASSERT_EQ(kolm_vm_init(), 0u);
        if (std::get<0>(GetParam()).externalInterrupt)
            kolm_vm_irq_exti(5, 1);
        log.str("");
    }

    Outcome finish(uint64_t executed)
    {
        EXPECT_NE(KOLM_VM.flags & KOLM_FLAG_STOPPED, 0u) << "the image did not end";
        return {KOLM_VM, log.str(), executed};
    }

    // The host's single steps: asm_debugger_step, counting the instructions.
    Outcome singleSteps(const std::string &image)
    {
        start(image);
        uint64_t executed = 0;
        while ((KOLM_VM.flags & KOLM_FLAG_STOPPED) == 0 && executed < kInstructionLimit) {
            kolm_hal_check_timer();
            if (KOLM_VM.ctx.ISR == 0 && (KOLM_VM.flags & KOLM_FLAG_SUSP))
                continue;
            kolm_vm_next();
            ++executed;
        }
        return finish(executed);
    }

    Outcome batches(const std::string &image, uint32_t budget)
    {
        start(image);
        uint64_t executed = 0;
        while ((KOLM_VM.flags & KOLM_FLAG_STOPPED) == 0 && executed < kInstructionLimit)
            executed += asm_debugger_run(budget);
        return finish(executed);
    }
};

} // namespace

TEST_P(BatchEquivalence, SameStateLogAndCount)
{
    const auto &[program, budget] = GetParam();
    const std::string image = program.build();
    const Outcome expected = singleSteps(image);
    const Outcome actual = batches(image, budget);
    EXPECT_EQ(actual.executed, expected.executed);
    EXPECT_EQ(actual.log, expected.log);
    EXPECT_EQ(std::memcmp(&actual.vm, &expected.vm, sizeof(_KolmVM)), 0)
        << "EIP " << actual.vm.ctx.EIP << " / " << expected.vm.ctx.EIP << ", EAX " << actual.vm.ctx.EAX << " / "
        << expected.vm.ctx.EAX << ", flags " << std::hex << actual.vm.flags << " / " << expected.vm.flags;
}

INSTANTIATE_TEST_SUITE_P(Images, BatchEquivalence,
                         ::testing::Combine(::testing::ValuesIn(programs()),
                                            ::testing::Values(1u, 2u, 5u, KOLM_BATCH_SIZE, UINT32_MAX)),
                         [](const auto &info) {
                             const uint32_t budget = std::get<1>(info.param);
                             return std::get<0>(info.param).name + "_batch" +
                                    (budget == UINT32_MAX ? std::string("Unbounded") : std::to_string(budget));
                         });

// A batch stops at its budget once EIP jumps, leaves the machine ready for
// the next one, and runs nothing once SEGV or HALT is set.
TEST_F(VmTest, BatchStopsAtItsBudgetAndAfterHalt)
{
    ImageBuilder image;
    const uint32_t loop = image.here();
    image.ins(OP_addv, {EBX, 1}).ins(OP_sto, {EAX, 0}).ins(OP_jmp, {loop, image.here() + 9}).ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(kolm_vm_run_batch(0), 0u);
    EXPECT_EQ(kolm_vm_run_batch(3), 3u);
    EXPECT_EQ(KOLM_VM.ctx.EIP, ImageBuilder::kCodeStart + 6 + 6 + 9);
    EXPECT_EQ(kolm_vm_run_batch(10), 1u);
    EXPECT_NE(KOLM_VM.flags & KOLM_FLAG_HALT, 0u);
    EXPECT_EQ(kolm_vm_run_batch(10), 0u);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 1u);
}

// The ROM is read afresh for every batch: an image written between two
// batches runs from the next one on.
TEST_F(VmTest, BatchReadsTheRomAfresh)
{
    ImageBuilder first;
    const uint32_t loop = first.here();
    first.ins(OP_addv, {EBX, 1}).ins(OP_sto, {EIP, loop});
    ASSERT_EQ(load(first), 0u);
    EXPECT_EQ(kolm_vm_run_batch(4), 4u);
    ImageBuilder second;
    second.ins(OP_addv, {ECX, 1}).ins(OP_sto, {EIP, loop});
    const std::string bytes = second.build();
    ASSERT_TRUE(kolm_rom_write(0, bytes.data(), uint32_t(bytes.size())));
    EXPECT_EQ(kolm_vm_run_batch(4), 4u);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 2u);
    EXPECT_EQ(KOLM_VM.ctx.ECX, 2u);
    kolm_rom_erase();
    EXPECT_EQ(kolm_vm_run_batch(4), 1u);
    EXPECT_NE(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u);
}

// The host's batch does not run a script that sleeps at ISR level 0.
TEST_F(VmTest, HostBatchWaitsWhileTheScriptSleeps)
{
    ImageBuilder image;
    image.ins(OP_spvi, {60000}).ins(OP_dly).ins(OP_addv, {EBX, 1}).ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(asm_debugger_run(KOLM_BATCH_SIZE), 2u);
    EXPECT_NE(KOLM_VM.flags & KOLM_FLAG_SUSP, 0u);
    EXPECT_EQ(asm_debugger_run(KOLM_BATCH_SIZE), 0u);
    EXPECT_EQ(KOLM_VM.ctx.EBX, 0u);
}
