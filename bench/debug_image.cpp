#include "debug_image.h"

#include "kolm_gen_context.h"
#include "kolm_opcodes.h"
#include "test_node.h"

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <iostream>
#include <sstream>

using namespace kolm_isa;

namespace {

constexpr int kFiles = 8;
constexpr int kStatements = 6;
const char kMainFile[] = "/work/bench/src/main.kos";

// One statement of function `index`, as a compiler would write it: a
// message, a read-modify-write of a global, a comparison, a call of the
// previous function.
bool writeStatement(KolmGenContext &gen, std::ostream &out, int index, int statement)
{
    const uint32_t global = kolm_image::kRamAddress + 4 * uint32_t(index % 64);
    switch ((index + statement) % 4) {
    case 0: {
        const std::string text = "\"function " + std::to_string(index) + " step " + std::to_string(statement) + "\"";
        gen.write_sto(REG_EBX, gen.placeLiteral(text), &out);
        gen.write_push_stack_r(REG_EBX, &out);
        gen.write_instr(OP_mes, {}, &out);
        gen.write_stack_rewind(1, &out);
        return true;
    }
    case 1:
        gen.write_mem_read_u_i(REG_EAX, global, &out);
        gen.write_math_val(OP_addv, REG_EAX, uint32_t(statement), &out);
        gen.write_mem_write_u_p(REG_EAX, global, &out);
        return true;
    case 2:
        gen.write_sto(REG_ECX, uint32_t(index * 7 + statement), &out);
        gen.write_cmp(OP_less, REG_EAX, REG_ECX, &out);
        gen.write_math(OP_add, REG_EAX, REG_ECX, &out);
        return true;
    default: {
        const KolmGenContext::FunctionEntry *previous = gen.function("f" + std::to_string(index - 1));
        if (previous)
            gen.write_call(previous->entry, 0, &out);
        else
            gen.write_instr(OP_nop, {}, &out);
        return true;
    }
    }
}

// Function `index` in one of kFiles source files: a node for the whole
// function and one per statement, so each gets its debug entry. Every tenth
// function also places a number and a string array.
bool writeFunction(KolmGenContext &gen, std::ostream &out, int index, std::string &error)
{
    const std::string file = "/work/bench/src/module" + std::to_string(index % kFiles) + ".kos";
    const int line = 1 + (index / kFiles) * (kStatements + 3);
    std::deque<TestNode> statements;
    for (int s = 0; s < kStatements; ++s) {
        statements.emplace_back(file, line + 1 + s, 5, line + 1 + s, 30, [=](KolmGenContext *ctx, std::ostream *o) {
            return writeStatement(*ctx, *o, index, s);
        });
    }
    TestNode function(file, line, 1, line + kStatements + 1, 2, [&](KolmGenContext *ctx, std::ostream *o) {
        std::string e;
        if (!ctx->declareFunction("f" + std::to_string(index), {}, {}, false, o, e))
            return false;
        for (TestNode &statement : statements) {
            if (!statement.compile(ctx, o))
                return false;
        }
        return ctx->endFunctionImplementation(o, e);
    });
    if (index % 10 == 0) {
        const std::string name = std::to_string(index);
        const uint32_t word = gen.placeLiteral("\"word " + name + "\"");
        if (!gen.placeNumberArray("limits" + name, {uint32_t(index), 7, 4294967295u}, error) ||
            !gen.placeStringArray("words" + name, {word, word}, error))
            return false;
    }
    if (!function.compile(&gen, &out)) {
        error = "function " + std::to_string(index) + " failed";
        return false;
    }
    return true;
}

// The image of `functions` functions and a main, with debug information.
std::string buildImage(int functions)
{
    KolmGenContext gen;
    std::stringstream out;
    std::string error;
    bool ok = gen.begin(&out, true, false);
    for (int i = 0; ok && i < functions; ++i)
        ok = writeFunction(gen, out, i, error);
    ok = ok && gen.declareFunction("main", {}, {}, false, &out, error) &&
         gen.endFunctionImplementation(&out, error) && gen.finalize(kMainFile, &out, error);
    if (!ok) {
        std::fprintf(stderr, "Building the image failed: %s\n", error.c_str());
        std::exit(1);
    }
    return out.str();
}

} // namespace

std::string debugImageOfSize(size_t bytes)
{
    std::ostringstream notes;
    std::streambuf *const standardError = std::cerr.rdbuf(notes.rdbuf());
    int low = 1;
    int high = 2;
    while (buildImage(high).size() <= bytes)
        high *= 2;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        (buildImage(middle).size() <= bytes ? low : high) = middle;
    }
    std::string image = buildImage(low);
    std::cerr.rdbuf(standardError);
    return image;
}

