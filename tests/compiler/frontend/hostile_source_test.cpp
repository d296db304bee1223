// Hostile sources through kolm-compile: long directive lines, runaway
// diagnostics, unreadable sources, line numbers after removed lines, long
// tokens, include fan-out, labels in branches a constant condition drops
// and long else-if chains. Each ends with its status and message, never a
// signal; the time and memory they take are measured by the compiler
// benchmark.

#include "frontend_test_support.h"

#include <gtest/gtest.h>

#include <sstream>
#include <utility>
#include <vector>

namespace {

using Files = std::vector<std::pair<std::string, std::string>>; // the first is the main file

struct HostileCase {
    const char *name;
    Files files;
    std::vector<std::string> options;
    int status;
    std::string message; // found in the diagnostics; FILE is the main file's path
};

void PrintTo(const HostileCase &c, std::ostream *out)
{
    *out << c.name;
}

// The most bytes of diagnostics of any case.
const size_t kMaxLog = 4096;

class HostileSourceTest : public ::testing::TestWithParam<HostileCase>
{
};

TEST_P(HostileSourceTest, EndsWithItsStatusAndMessage)
{
    const HostileCase &c = GetParam();
    ScratchDir dir;
    std::string input;
    for (const auto &file : c.files) {
        const std::string path = file.first[0] == '/' ? file.first : dir.write(file.first, file.second);
        if (input.empty())
            input = path;
    }
    std::vector<std::string> args = c.options;
    for (const std::string &arg : {std::string("-o"), dir.path("out.kcs"), input})
        args.push_back(arg);
    const DriverRun run = runDriver(args);
    EXPECT_EQ(run.status, c.status) << run.err.substr(0, 2000);
    std::string message = c.message;
    for (size_t at; (at = message.find("FILE")) != std::string::npos;)
        message.replace(at, 4, input);
    if (message.empty())
        EXPECT_EQ(run.err.find("error"), std::string::npos) << run.err.substr(0, 2000);
    else
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err.substr(0, 2000);
    EXPECT_LE(run.err.size(), kMaxLog);
}

std::string repeat(const std::string &text, size_t count)
{
    std::string out;
    out.reserve(text.size() * count);
    for (size_t i = 0; i < count; ++i)
        out += text;
    return out;
}

const char kMain[] = "var main()\n{\n    return 0;\n}\n";
const char kRemoved[] = "#if 0\nremoved\nremoved\n#endif\n"; // four source lines, none in the text

// A chain of `levels` files, each including the next twice, without guards.
Files fanOut(int levels)
{
    Files files;
    for (int i = 0; i < levels; ++i) {
        const std::string next = "f" + std::to_string(i + 1) + ".kos";
        const std::string include = "#include \"" + next + "\"\n";
        const std::string text = i + 1 < levels ? include + include : "#define LEAF 1\n";
        files.push_back({"f" + std::to_string(i) + ".kos", i == 0 ? text + kMain : text});
    }
    return files;
}

std::string elseIfChain(int links)
{
    std::string body = "    if (x == 0) x = 1;\n";
    for (int i = 1; i <= links; ++i)
        body += "    else if (x == " + std::to_string(i) + ") x = 1;\n";
    return "var main()\n{\n    var x = 1;\n" + body + "    return x;\n}\n";
}

// A 4,000-term sum whose last term is undeclared: each level of the sum
// quotes its text in a "while compiling" line.
std::string longSumError()
{
    return "var main()\n{\n    var x = 1;\n    return " + repeat("x + ", 3999) + "y;\n}\n";
}

// A 4,000-term sum whose first term is undeclared: the error lies at the
// innermost level, and every enclosing level adds a "while compiling" line.
std::string undeclaredFirstTerm()
{
    return "var main(){var a=1; return u" + repeat("+a", 3999) + ";}\n";
}

const char kGotoIntoIf[] = "var main()\n{\n    var r = 1;\n    goto inside;\n    if (0) {\ninside:\n        r = 0;\n"
                           "    }\n    return r;\n}\n";
const char kGotoIntoWhile[] = "var main()\n{\n    var r = 1;\n    goto target;\n    while (0) {\ntarget:\n"
                              "        r = 0;\n        break;\n    }\n    return r;\n}\n";

const HostileCase kCases[] = {
    // Directive lines of any length, handled without deep recursion.
    {"Define1MB", {{"a.kos", "#define BIG \"" + repeat("z", 1 << 20) + "\"\n" + kMain}}, {}, 0, ""},
    {"IfName100KB", {{"a.kos", "#if " + repeat("a", 100000) + "\n#endif\n" + kMain}}, {}, 0, ""},
    {"IncludeName100KB", {{"a.kos", "#include \"" + repeat("a", 100000) + "\"\n" + kMain}}, {}, 1,
     "FILE:1:1: " + repeat("a", 200) + "\u2026: No such file or directory"},
    {"EndifTail200KB", {{"a.kos", "#if 1\n#endif " + repeat("q", 200000) + "\n" + kMain}}, {}, 1,
     "FILE:2: invalid preprocessor directive #endif " + repeat("q", 193) + "\u2026\n"},
    {"CompareWithLongOperands",
     {{"a.kos", "#if (" + repeat("b", 50000) + " != " + repeat("c", 50000) + ")\nx\n#endif\n" + kMain}}, {}, 0, ""},
    // Diagnostics quote at most 200 characters of a node.
    {"ErrorDeepInA4000TermSum", {{"a.kos", longSumError()}}, {}, 1,
     "FILE:4:12: while compiling math(<math(<math("},
    // A trace through every level of the sum keeps its ends and says what it left out.
    {"ErrorAtTheBottomOfA4000TermSum", {{"a.kos", undeclaredFirstTerm()}}, {}, 1,
     "kcc: note: 3995 more \"while compiling\" lines left out\n"},
    // A source that fails to read fails the build.
    {"UnreadableMainFile", {{"/proc/self/mem", ""}}, {}, 1, "Cannot read /proc/self/mem: Input/output error\n"},
    {"UnreadableInclude", {{"a.kos", std::string("#include \"/proc/self/mem\"\n") + kMain}}, {}, 1,
     "Cannot read /proc/self/mem: Input/output error\n"},
    // Messages name source lines after removed lines.
    {"RedefinedAfterRemovedLines", {{"a.kos", std::string(kRemoved) + "#define X 1\n#define X 2\n" + kMain}}, {}, 0,
     "FILE:6:1: X redefined"},
    {"NoIntegerAfterRemovedLines",
     {{"a.kos", std::string(kRemoved) + "#define BAD zzz\nvar main()\n{\n    return BAD;\n}\n"}}, {}, 1,
     "FILE:8:12: Cannot convert zzz to integer"},
    {"ClassAfterRemovedLines", {{"a.kos", std::string(kRemoved) + "#define N 5\nvar N;\n" + kMain}}, {}, 1,
     "FILE:6:5: identifier of type <integer> is not allowed here"},
    {"SwitchBodyAfterRemovedLines",
     {{"a.kos", std::string(kRemoved) + "var main()\n{\n    var x = 1;\n    switch (x) { x = 2; case 1: break; }\n"
                                        "    return 0;\n}\n"}},
     {}, 1, "FILE:8:5: statement("},
    {"MissingLabelNamesTheGoto",
     {{"a.kos", std::string(kRemoved) + "var main()\n{\n    var r = 0;\n    goto nowhere;\n    return r;\n}\n"}}, {}, 1,
     "FILE:8:5: label nowhereis not declared"},
    // Long tokens.
    {"Comment5MB", {{"a.kos", "/*" + repeat("c", 5 << 20) + "*/\n" + kMain}}, {}, 0, ""},
    {"Identifier5MB", {{"a.kos", "var " + repeat("i", 5 << 20) + ";\n" + kMain}}, {}, 0, ""},
    // Include fan-out.
    {"FanOut17", fanOut(17), {}, 1, "source too large after includes"},
    {"FanOut10", fanOut(10), {}, 0, ""},
    // A label in a branch that a constant condition drops.
    {"GotoIntoIf0", {{"a.kos", kGotoIntoIf}}, {"-O1"}, 0, ""},
    {"GotoIntoWhile0", {{"a.kos", kGotoIntoWhile}}, {"-O1"}, 0, ""},
    // A flat else-if chain is no nesting.
    {"ElseIf1000", {{"a.kos", elseIfChain(1000)}}, {"-O1"}, 0, ""},
    {"ElseIf1000Level0", {{"a.kos", elseIfChain(1000)}}, {}, 0, ""},
};

// The trace of the error deep in the sum: its innermost and outermost
// lines, the note on those between, and no more.
TEST(FailureTrace, KeepsItsEndsAndCountsTheRest)
{
    ScratchDir dir;
    const std::string input = dir.write("a.kos", undeclaredFirstTerm());
    const DriverRun run = runDriver({"-o", dir.path("out.kcs"), input});
    ASSERT_EQ(run.status, 1);
    std::istringstream lines(run.err);
    std::vector<std::string> trace;
    for (std::string line; std::getline(lines, line);)
        if (line.find("while compiling") != std::string::npos)
            trace.push_back(line);
    ASSERT_LE(trace.size(), 12u) << run.err.substr(0, 4000);
    ASSERT_GE(trace.size(), 3u) << run.err;
    // The innermost level first, the function itself last.
    const std::string innermost = ":1:28: while compiling math(<Identifier(u@identifier)> \"+\" <Identifier(a@identifier)>)";
    EXPECT_NE(trace.front().find(input + innermost), std::string::npos) << trace.front();
    EXPECT_NE(trace.back().find(":1:1: while compiling block_stmt@1{...}"), std::string::npos) << trace.back();
    EXPECT_NE(run.err.find("more \"while compiling\" lines left out"), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileSourceTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase> &info) { return info.param.name; });

} // namespace
