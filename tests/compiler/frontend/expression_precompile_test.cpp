// The precompile pass through the test driver: defines substituted as
// numbers, literals and registers, undefines, redefinitions, includes found
// and missing, and include chains that never end.

#include "expression_harness.h"

namespace {

struct PrecompileCase {
    const char *name;
    const char *source;
    int status;
    const char *output;      // a piece of the XML tree, "" for none
    const char *diagnostics; // the whole diagnostics text, FILE for the source's path
};

class Precompile : public ::testing::TestWithParam<PrecompileCase>
{
};

TEST_P(Precompile, ResolvesTheTree)
{
    const PrecompileCase &c = GetParam();
    ScratchDir dir;
    dir.write("lib.kos", "#ifndef LIB_H\n#define LIB_H\n#define LIB 3\n#include \"other.kos\"\n#endif\n");
    dir.write("other.kos", "#ifndef OTHER_H\n#define OTHER_H\n#include \"lib.kos\"\n#define OTHER \"o\"\n#endif\n");
    dir.write("bad.kos", "var f() {\n");
    dir.write("self.kos", "var f() { 1; }\n#include \"self.kos\"\n");
    const std::string input = dir.write("a.kos", c.source);
    const DriverRun run = runDriver({"--tree-xml", input});
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_NE(run.out.find(c.output), std::string::npos) << run.out;
    std::string expected = c.diagnostics;
    for (size_t at; (at = expected.find("FILE")) != std::string::npos;)
        expected.replace(at, 4, input);
    for (size_t at; (at = expected.find("DIR/")) != std::string::npos;)
        expected.replace(at, 4, dir.path(""));
    std::string err = run.err;
    for (const char *noise : {"locale en_US.utf8", "locale en_US.UTF-8"})
        for (size_t at; (at = err.find(noise)) != std::string::npos;)
            err.erase(at, err.find('\n', at) + 1 - at);
    EXPECT_EQ(err, expected);
}

const PrecompileCase kPrecompile[] = {
    {"NumberDefine", "#define N 10\nvar main() { var x; x = N; }", 0, "type=\"11\" value=\"10\"", ""},
    {"CharacterDefine", "#define N '\\''\nvar main() { var x; x = N; }", 0, "type=\"11\" value=\"39\"", ""},
    {"LiteralDefine", "#define S \"hi\"\nvar main() { sizeof S; }", 0, "type=\"17\" value=\"hi\"", ""},
    {"RegisterDefine", "#define R PA0.VALUE\nvar main() { R = 1; }", 0,
     "type=\"14\" periphery=\"PA0\" register=\"VALUE\"", ""},
    {"RegisterPartsDefined", "#define P PA3\n#define V VALUE\nvar main() { P.V = 1; }", 0,
     "periphery=\"PA3\" register=\"VALUE\"", ""},
    {"DefineUsedBeforeItIsMade", "var main() { N; }\n#define N 10\n", 0, "name=\"N\" class=\"identifier\"", ""},
    {"Undefine", "#define N 10\n#undef N\nvar main() { N; }", 0, "name=\"N\" class=\"identifier\"", ""},
    {"Redefinition", "#define N 10\n#define N 11\nvar main() { N; }", 0, "value=\"10\"",
     "kcc: warning: FILE:2:1: N redefined\n"},
    {"IncludedDefines", "#include \"lib.kos\"\nvar main() { LIB + sizeof OTHER; }", 0, "value=\"3\"", ""},
    {"IncludeFromTheSearchPath", "#include <lib.kos>\nvar main() { LIB; }", 1, "",
     "kcc: error: FILE:1:1: lib.kos: No such file or directory\n"},
    {"MissingInclude", "#include \"none.kos\"\nvar main() { 1; }", 1, "",
     "kcc: error: FILE:1:1: none.kos: No such file or directory\n"},
    {"IncludeWithoutGuard", "#include \"self.kos\"\n", 1, "",
     "kcc: error: DIR/self.kos:2:1: includes nested too deeply at self.kos\n"},
    {"IncludedSyntaxError", "#include \"bad.kos\"\n", 1, "",
     "kcc: error: DIR/bad.kos:2:1 syntax error, unexpected end of file\n"
     "kcc: error: FILE:1:1: bad.kos: Invalid syntax\n"},
    {"DefineThatIsNoNumberFailsTheBuild", "#define A B\nvar main() { A; }", 1, "",
     "kcc: error: FILE:2:14: Cannot convert B to integer (stoul)\n\n"},
    {"DeclarationNamedByADefine", "#define X 1\nvar main() { var X; }", 1, "",
     "kcc: error: FILE:2:18: identifier of type <integer> is not allowed here\n"},
    {"CalleeNamedByADefine", "#define F 1\nvar main() { F(); }", 1, "",
     "kcc: error: FILE:2:14: identifier of type <integer> is not allowed here\n"},
};

INSTANTIATE_TEST_SUITE_P(Driver, Precompile, ::testing::ValuesIn(kPrecompile),
                         [](const auto &info) { return std::string(info.param.name); });

// Guarded headers that include each other compile; their defines reach the
// including file after the include.
TEST(PrecompileInclude, GuardedMutualIncludesBuild)
{
    ExpressionHarness harness(0);
    harness.dir.write("lib.kos", "#ifndef LIB_H\n#define LIB_H\n#include \"other.kos\"\n#define LIB 3\n"
                                 "var twice(var x) { x * 2; }\n#endif\n");
    harness.dir.write("other.kos", "#ifndef OTHER_H\n#define OTHER_H\n#include \"lib.kos\"\n#define OTHER 4\n#endif\n");
    ASSERT_TRUE(harness.build("#include \"lib.kos\"\n#include \"other.kos\"\nvar main() { twice(LIB + OTHER); }"))
        << harness.messages();
    EXPECT_EQ(harness.run(), 14u);
}

} // namespace
