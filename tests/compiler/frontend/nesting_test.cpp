// Deeply nested sources: the compiler refuses nesting beyond its bounds
// with a diagnostic before any recursive pass runs, and still compiles the
// deepest sources it accepts (every pass, the tree dumps included).

#include "frontend_test_support.h"

#include <gtest/gtest.h>

namespace {

std::string repeat(const std::string &text, int count)
{
    std::string out;
    for (int i = 0; i < count; ++i)
        out += text;
    return out;
}

// A sum of `terms` copies of x.
std::string sum(int terms)
{
    std::string out = "x";
    for (int i = 1; i < terms; ++i)
        out += "+x";
    return out;
}

std::string inMain(const std::string &body)
{
    return "var main()\n{\n    var x = 1;\n" + body + "\n    return x;\n}\n";
}

struct NestingCase {
    const char *name;
    std::string source;
    const char *diagnostic; // empty: the source compiles
};

class NestingTest : public ::testing::TestWithParam<NestingCase>
{
};

TEST_P(NestingTest, RefusesOrCompiles)
{
    const NestingCase &c = GetParam();
    ScratchDir dir;
    const std::string input = dir.write("deep.kos", c.source);
    const std::string output = dir.path("deep.kcs");
    for (const char *listing : {"", "--tree", "--tree-xml"}) {
        std::vector<std::string> args = {"-O1", "-o", output, input};
        if (*listing)
            args.insert(args.begin(), listing);
        const DriverRun run = runDriver(args);
        if (std::string(c.diagnostic).empty()) {
            EXPECT_EQ(run.status, 0) << listing << run.err;
        } else {
            EXPECT_EQ(run.status, 1) << listing;
            EXPECT_NE(run.err.find(c.diagnostic), std::string::npos) << listing << run.err;
        }
    }
}

const char kTooDeep[] = "nested too deeply: more than 2048 open symbols in the parser";
const char kTooLong[] = "expression nested deeper than 4096 levels";

// 256 levels of every construct are accepted; the bounds hold at any depth.
const NestingCase kCases[] = {
    {"Parentheses100000", inMain("x = " + repeat("(", 100000) + "1" + repeat(")", 100000) + ";"), kTooDeep},
    {"Parentheses2000", inMain("x = " + repeat("(", 2000) + "1" + repeat(")", 2000) + ";"), ""},
    {"Ternaries100000", inMain("x = " + repeat("x ? 1 : ", 100000) + "0;"), kTooDeep},
    {"Ternaries256", inMain("x = " + repeat("x ? 1 : ", 256) + "0;"), ""},
    {"Blocks100000", inMain(repeat("{", 100000) + repeat("}", 100000)), kTooDeep},
    {"Blocks256", inMain(repeat("{", 256) + "x = 2;" + repeat("}", 256)), ""},
    {"Ifs100000", inMain(repeat("if (x) ", 100000) + "x = 2;"), kTooDeep},
    {"Ifs256", inMain(repeat("if (x) ", 256) + "x = 2;"), ""},
    {"ElseIfs100000", inMain(repeat("if (x == 1) x = 1; else ", 100000) + "x = 2;"), kTooDeep},
    {"ElseIfs256", inMain(repeat("if (x == 1) x = 1; else ", 256) + "x = 2;"), ""},
    {"WhileLoops256", inMain(repeat("while (x) ", 256) + "x = 0;"), ""},
    {"Negations100000", inMain("x = " + repeat("-", 100000) + "1;"), kTooDeep},
    {"Complements256", inMain("x = " + repeat("~", 256) + "1;"), ""},
    {"Assignments100000", inMain(repeat("x = ", 100000) + "1;"), kTooDeep},
    {"Elements100000", inMain("x = " + repeat("x[", 100000) + "0" + repeat("]", 100000) + ";"), kTooDeep},
    {"Sum2000", inMain("x = " + sum(2000) + ";"), ""},
    {"Sum30000", inMain("x = " + sum(30000) + ";"), kTooLong},
    {"SumInDeepBlocks", inMain(repeat("if (x) {", 256) + "x = " + sum(4000) + ";" + repeat("}", 256)), ""},
    {"NestedIf2000", "var main()\n{\n" + repeat("#if 1\n", 2000) + "return 0;\n" + repeat("#endif\n", 2000) + "}\n",
     ""},
};

INSTANTIATE_TEST_SUITE_P(Nesting, NestingTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<NestingCase> &info) { return info.param.name; });

} // namespace
