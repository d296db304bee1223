// The test driver kolm-compile: token tables, preprocessed text and tree
// dumps of real files, and its exit statuses and output file.

#include "frontend_test_support.h"

#include <gtest/gtest.h>

namespace {

struct ListingCase {
    const char *name;
    const char *option;
    const char *source;
    const char *expected;
};

class ListingTest : public ::testing::TestWithParam<ListingCase>
{
};

TEST_P(ListingTest, PrintsTheExactListing)
{
    const ListingCase &c = GetParam();
    ScratchDir dir;
    const std::string input = dir.write("a.kos", c.source);
    const DriverRun run = runDriver({c.option, input});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("error"), std::string::npos) << run.err;
    std::string expected = c.expected;
    for (size_t at; (at = expected.find("FILE")) != std::string::npos;)
        expected.replace(at, 4, input);
    EXPECT_EQ(run.out, expected);
}

const ListingCase kListings[] = {
    {"Declaration", "--tokens", "var x=1;\n",
     "1.1-1.4 Lex_VAR var\n"
     "1.5-1.6 Lex_Identifier x\n"
     "1.5-1.7 Lex_Equals =\n"
     "1.5-1.8 Lex_ConstantD 1\n"
     "1.5-1.9 Lex_SemiColon ;\n"},
    {"LongestMatch", "--tokens", "a+++b x<<=1 a|b\n",
     "1.1-1.2 Lex_Identifier a\n"
     "1.1-1.4 Lex_MathUnoAdd ++\n"
     "1.1-1.5 Lex_MathPlus +\n"
     "1.1-1.6 Lex_Identifier b\n"
     "1.7-1.8 Lex_Identifier x\n"
     "1.7-1.11 Lex_AssShl <<=\n"
     "1.7-1.12 Lex_ConstantD 1\n"
     "1.13-1.14 Lex_Identifier a\n"
     "1.13-1.15 Lex_MathOr |\n"
     "1.13-1.16 Lex_Identifier b\n"},
    {"KeywordsAndNames", "--tokens", "in inx VAR sizeof1 _\n",
     "1.1-1.3 Lex_CondIn in\n"
     "1.4-1.7 Lex_Identifier inx\n"
     "1.8-1.11 Lex_Identifier VAR\n"
     "1.12-1.19 Lex_Identifier sizeof1\n"
     "1.20-1.21 Lex_Identifier _\n"},
    {"Numbers", "--tokens", "0 012 09 0x1F 0x 1a -5\n",
     "1.1-1.2 Lex_ConstantD 0\n"
     "1.3-1.6 Lex_ConstantO 012\n"
     "1.7-1.9 Lex_ConstantO 09\n"
     "1.10-1.14 Lex_ConstantH 0x1F\n"
     "1.15-1.16 Lex_ConstantD 0\n"
     "1.15-1.17 Lex_Identifier x\n"
     "1.18-1.19 Lex_ConstantD 1\n"
     "1.18-1.20 Lex_Identifier a\n"
     "1.21-1.22 Lex_MathMinus -\n"
     "1.21-1.23 Lex_ConstantD 5\n"},
    {"CharacterConstants", "--tokens", "'a' '\\n' '\\'' '\\x' '\\x41'\n",
     "1.1-1.4 Lex_ConstantC 'a'\n"
     "1.5-1.9 Lex_ConstantC '\\n'\n"
     "1.10-1.14 Lex_ConstantC '\\''\n"
     "1.15-1.19 Lex_ConstantC '\\x'\n"
     "1.20-1.26 Lex_ConstantC '\\x41'\n"},
    {"LiteralOverTwoLinesKeepsLineNumbers", "--tokens", "\"a\\\"b\nc\" x\ny\n",
     "1.1-2.3 Lex_Literal \"a\\\"b\nc\"\n"
     "2.4-2.5 Lex_Identifier x\n"
     "3.1-3.2 Lex_Identifier y\n"},
    {"CommentEndsAtFirstStarSlash", "--tokens", "/* a **/ x /* b */ y\n",
     "1.10-1.11 Lex_Identifier x\n"
     "1.20-1.21 Lex_Identifier y\n"},
    {"Directives", "--tokens", "#include \"dir/lib-1.kos\"\n#define KEY 'a'\n#define E\n#undef KEY2\n",
     "1.1-1.25 Lex_Include dir/lib-1.kos\"\n"
     "2.1-2.12 Lex_DefineKey KEY\n"
     "2.1-2.16 Lex_DefineConstant 'a'\n"
     "3.1-3.10 Lex_DefineKey E\n"
     "3.1-3.10 Lex_DefineConstant \n"
     "4.1-4.12 Lex_Undef KEY2\n"},
    {"NestedConditionals", "--preprocessed", "a\n#if 1\n#if 0\nb\n#else\nc\n#endif\n#endif\nd\n",
     "a\nc\nd\n"},
    {"DirectivesInPlainForm", "--preprocessed",
     "  #  define  X2   5  // five\r\n#define (Y) \"s//t\"\n#include <lib.kos> // lib\n",
     "#define X2 5\n#define Y \"s//t\"\n#include <lib.kos>\n"},
    {"TreeText", "--tree", "var g = 1;\nvar f(var a);\n",
     "block@1/0{...}\ndeclare <Identifier(f@identifier)>(...@1){null}\n"},
    {"TreeXml", "--tree-xml", "var n = 5;\n",
     "<Block file=\"FILE\" bline=\"1\" bcol=\"1\" eline=\"1\" ecol=\"11\" type=\"23\">\n"
     "    <CompoundBlock file=\"FILE\" bline=\"1\" bcol=\"1\" eline=\"1\" ecol=\"11\" type=\"24\">\n"
     "        <Declarations>\n"
     "            <VariableDeclaration file=\"FILE\" bline=\"1\" bcol=\"5\" eline=\"1\" ecol=\"10\" type=\"25\">\n"
     "                <Identifier file=\"FILE\" bline=\"1\" bcol=\"5\" eline=\"1\" ecol=\"6\" type=\"12\" "
     "name=\"n\" class=\"identifier\" />\n"
     "                <Operator code=\"317\" value=\"=\" />\n"
     "                <Integer file=\"FILE\" bline=\"1\" bcol=\"9\" eline=\"1\" ecol=\"10\" type=\"11\" "
     "value=\"5\" />\n"
     "            </VariableDeclaration>\n"
     "        </Declarations>\n"
     "        <Null />\n"
     "    </CompoundBlock>\n"
     "</Block>\n"},
};

INSTANTIATE_TEST_SUITE_P(Driver, ListingTest, ::testing::ValuesIn(kListings),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(KolmCompile, BadCommandLinesEndWithStatusTwo)
{
    for (const std::vector<std::string> &args :
         std::vector<std::vector<std::string>>{{}, {"a.kos"}, {"-o"}, {"-x", "-o", "o.kcs", "a.kos"},
                                               {"-D", "NOVALUE", "-o", "o.kcs", "a.kos"},
                                               {"-o", "o.kcs", "a.kos", "b.kos"},
                                               {"--tree", "--tokens", "a.kos"}}) {
        const DriverRun run = runDriver(args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(args);
        EXPECT_NE(run.err.find("usage: kolm-compile"), std::string::npos);
    }
}

TEST(KolmCompile, FailedBuildLeavesNoOutputFile)
{
    ScratchDir dir;
    const std::string input = dir.write("a.kos", "var main() { return 0 }\n");
    const DriverRun run = runDriver({"-o", dir.path("a.kcs"), input});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kcc: error: " + input + ":1:23 syntax error, unexpected Lex_RBrace, expecting "
                                                "Lex_Comma or Lex_SemiColon\n");
    EXPECT_FALSE(dir.exists("a.kcs"));
}

TEST(KolmCompile, MissingInputIsReported)
{
    ScratchDir dir;
    const DriverRun run = runDriver({"-o", dir.path("a.kcs"), dir.path("none.kos")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kcc: error: " + dir.path("none.kos") + ": No such file or directory\n");
}

TEST(KolmCompile, DirectoryIsNoSource)
{
    ScratchDir dir;
    const DriverRun run = runDriver({"-o", dir.path("a.kcs"), dir.path("")});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "kcc: error: " + dir.path("") + ": Is a directory\n");
}

TEST(KolmCompile, FailedBuildKeepsAnEarlierImage)
{
    ScratchDir dir;
    dir.write("a.kcs", "earlier image");
    const std::string input = dir.write("a.kos", "#define A 1\n");
    const DriverRun run = runDriver({"-g", "-o", dir.path("a.kcs"), input});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("kcc: error: undefined reference to 'main'"), std::string::npos) << run.err;
    std::ifstream image(dir.path("a.kcs"), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(image)), std::istreambuf_iterator<char>()),
              "earlier image");
}

TEST(KolmCompile, DefinesOfTheCommandLineReachConditions)
{
    ScratchDir dir;
    const std::string input = dir.write("a.kos", "#if (LEVEL >= 2)\nhigh\n#else\nlow\n#endif\n");
    EXPECT_EQ(runDriver({"-D", "LEVEL=3", "--preprocessed", input}).out, "high\n");
    EXPECT_EQ(runDriver({"-D", "LEVEL=1", "--preprocessed", input}).out, "low\n");
}

TEST(KolmCompile, AScriptBuildsIntoAnImage)
{
    ScratchDir dir;
    const std::string input = dir.write("a.kos", "var main() { return 0; }\n");
    const DriverRun run = runDriver({"-o", dir.path("a.kcs"), input});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(dir.exists("a.kcs"));
}

} // namespace
