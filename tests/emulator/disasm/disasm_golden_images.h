#ifndef KOLM_TEST_DISASM_GOLDEN_IMAGES_H
#define KOLM_TEST_DISASM_GOLDEN_IMAGES_H

// Images built through the code generator whose listings are kept in
// golden/: a minimal script, literals with a quote, a backslash and a line
// feed, string and number arrays, a switch table, and debug information
// with two files. The test target defines KOLM_GOLDEN_DIR.

#include "kolm_disasm_types.h"
#include "kolm_gen_context.h"
#include "test_node.h"
#include "kolm_opcodes.h"

#include <functional>
#include <sstream>
#include <string>

struct GoldenImage {
    const char *name;
    bool debug;
    // Writes everything between begin and finalize.
    std::function<bool(KolmGenContext &, std::ostream &, std::string &)> body;
};

inline constexpr const char *kGoldenMainFile = "/work/project/src/main.kos";

namespace golden {

using namespace kolm_isa;

inline bool mainFunction(KolmGenContext &gen, std::ostream &out, std::string &error,
                         const std::function<void()> &code)
{
    if (!gen.declareFunction("main", {}, {}, false, &out, error))
        return false;
    code();
    return gen.endFunctionImplementation(&out, error);
}

inline std::string quoted(const std::string &text)
{
    return "\"" + text + "\"";
}

} // namespace golden

inline const GoldenImage kGoldenImages[] = {
    {"minimal", false,
     [](KolmGenContext &gen, std::ostream &out, std::string &error) {
         return golden::mainFunction(gen, out, error, [] {});
     }},
    {"literals", false,
     [](KolmGenContext &gen, std::ostream &out, std::string &error) {
         using namespace golden;
         return mainFunction(gen, out, error, [&] {
             gen.write_sto(REG_EAX, gen.placeLiteral(quoted("say \"hi\"")), &out);
             gen.write_sto(REG_EBX, gen.placeLiteral(quoted("C:\\kolm\\lib")), &out);
             gen.write_sto(REG_ECX, gen.placeLiteral(quoted("two\nlines")), &out);
             gen.write_push_stack_r(REG_EAX, &out);
             gen.write_instr(OP_mes, {}, &out);
         });
     }},
    {"arrays", false,
     [](KolmGenContext &gen, std::ostream &out, std::string &error) {
         using namespace golden;
         const uint32_t red = gen.placeLiteral(quoted("red"));
         const uint32_t green = gen.placeLiteral(quoted("green"));
         if (!gen.placeStringArray("colours", {red, green, red}, error) ||
             !gen.placeNumberArray("limits", {0, 7, 4294967295u}, error) ||
             !gen.declareVariable("count", 3, &out))
             return false;
         return mainFunction(gen, out, error, [&] {
             gen.write_sto(REG_EBX, green, &out);
             gen.write_mem_write_u_p(REG_EBX, 0x20000000, &out);
         });
     }},
    {"switch", false,
     [](KolmGenContext &gen, std::ostream &out, std::string &error) {
         using namespace golden;
         if (!gen.declareFunction("main", {}, {}, false, &out, error) || !gen.startSwitch(&out))
             return false;
         for (uint32_t value : {1u, 2u, 4u}) {
             if (!gen.startSwitchBranch(value, &out))
                 return false;
             gen.write_sto(REG_EBX, value * 10, &out);
             if (!gen.loopBreak(&out, error))
                 return false;
         }
         return gen.makeSwitchDefault(&out) && gen.compileSwitchTable(&out, error) &&
                gen.compilePackedSwitchHead(1, 4, &out, error) && gen.endSwitch(&out) &&
                gen.endFunctionImplementation(&out, error);
     }},
    {"debug", true,
     [](KolmGenContext &gen, std::ostream &out, std::string &error) {
         using namespace golden;
         TestNode helper("/work/project/lib/util.kos", 4, 5, 4, 19, [](KolmGenContext *ctx, std::ostream *o) {
             ctx->write_math_val(OP_addv, REG_EBX, 2, o);
             return true;
         });
         TestNode body(kGoldenMainFile, 1, 1, 6, 2, [&](KolmGenContext *ctx, std::ostream *o) {
             std::string e;
             if (!ctx->declareFunction("main", {}, {}, false, o, e))
                 return false;
             ctx->write_sto(REG_EBX, 40, o);
             return helper.compile(ctx, o) && ctx->endFunctionImplementation(o, e);
         });
         if (!body.compile(&gen, &out)) {
             error = "the debug image's code failed";
             return false;
         }
         return true;
     }},
};

// The image bytes, or an empty string and the generator's message.
inline std::string buildGoldenImage(const GoldenImage &image, std::string &error)
{
    KolmGenContext gen;
    std::stringstream out;
    if (!gen.begin(&out, image.debug, false) || !image.body(gen, out, error) ||
        !gen.finalize(kGoldenMainFile, &out, error))
        return {};
    return out.str();
}

inline std::string goldenPath(const std::string &name, OutputType format)
{
    const char *extension = format == OUTPUT_JSON ? ".json" : format == OUTPUT_XML ? ".xml" : ".txt";
    return std::string(KOLM_GOLDEN_DIR) + "/" + name + extension;
}

#endif
