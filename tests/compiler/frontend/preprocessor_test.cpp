// The preprocessor: surviving text and line mapping, every directive form,
// its diagnostics, and the mended cases.

#include "frontend_test_support.h"
#include "lexer.h"

#include <gtest/gtest.h>

namespace {

struct PreprocessCase {
    const char *name;
    const char *source;
    const char *text;             // the preprocessed text
    std::vector<int> sourceLines; // the source line of each preprocessed line
};

class PreprocessTest : public ::testing::TestWithParam<PreprocessCase>
{
};

TEST_P(PreprocessTest, KeepsTheActiveLinesAndMapsThemBack)
{
    const PreprocessCase &c = GetParam();
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    std::istringstream in(c.source);
    std::ostringstream out;
    ASSERT_TRUE(driver.preprocess_stream(in, out, "p.kos")) << diagnostics.text();
    EXPECT_EQ(out.str(), c.text);
    std::vector<int> lines;
    for (int line = 1; line <= int(c.sourceLines.size()); ++line)
        lines.push_back(kolm::Compiler::getLineNumber(line, driver.replace_ops));
    EXPECT_EQ(lines, c.sourceLines);
    EXPECT_EQ(diagnostics.text(), "");
}

const PreprocessCase kPreprocess[] = {
    {"IfElse", "a\n#if 0\nb\n#else\nc\n#endif\nd\n", "a\nc\nd\n", {1, 5, 7}},
    {"InnerGroupOfInactiveBranchStaysInactive", "#if 0\n#if 1\nx\n#endif\n#else\ny\n#endif\nz\n", "y\nz\n", {6, 8}},
    {"InnerGroupOfActiveBranch", "#if 1\na\n#if 0\nb\n#elif 1\nc\n#endif\nd\n#endif\n", "a\nc\nd\n", {2, 6, 8}},
    {"DirectivesInInactiveRegionAreDropped", "#ifdef NOPE\n#define A 1\n#include \"x.kos\"\n#undef B\n#endif\nq\n",
     "q\n", {6}},
    {"EmptyLinesSurviveEverywhere", "#if 0\n\nx\n#endif\ny\n", "\ny\n", {2, 5}},
    {"IfdefIfndefDefined", "#define A\n#ifdef A\n1\n#endif\n#ifndef A\n2\n#endif\n#if defined(A)\n3\n#endif\n"
                           "#if !defined(A)\n4\n#endif\n",
     "#define A\n1\n3\n", {1, 3, 9}},
    {"Comparisons", "#define A 3\n#if (A >= 2)\nge\n#endif\n#if (A < 2)\nlt\n#endif\n#if (0x10 == 16)\neq\n#endif\n",
     "#define A 3\nge\neq\n", {1, 3, 9}},
    {"ElifChain", "#if 0\na\n#elif 0\nb\n#elif 1\nc\n#elif 1\nd\n#else\ne\n#endif\n", "c\n", {6}},
    {"FirstDefineHoldsForConditions", "#define A 1\n#define A 0\n#if A\nx\n#endif\n", "#define A 1\n#define A 0\nx\n",
     {1, 2, 4}},
    {"UndefinedNameCountsAsZero", "#if FOO\nx\n#else\ny\n#endif\n", "y\n", {4}},
    {"GuardWithEmptyDefine", "#ifndef G\n#define G\n#endif\n#ifndef G\nagain\n#endif\n", "#define G\n", {2}},
    {"TrailingCommentsAndCarriageReturns", "#ifdef X2 // note\r\nno\r\n#else // other\r\nyes\r\n#endif // end\r\n",
     "yes\r\n", {4}},
    {"NamesWithDigits", "#define X2 1\n#if X2\nx\n#endif\n", "#define X2 1\nx\n", {1, 3}},
    {"IndentedDirectives", "  #define A 1\n\t# if A\nx\n  #endif\n", "#define A 1\nx\n", {1, 3}},
    {"IncludeKeepsDirectory", "#include \"dir/sub-1/lib.kos\"\n", "#include \"dir/sub-1/lib.kos\"\n", {1}},
};

INSTANTIATE_TEST_SUITE_P(Preprocessor, PreprocessTest, ::testing::ValuesIn(kPreprocess),
                         [](const auto &info) { return std::string(info.param.name); });

struct DiagnosticCase {
    const char *name;
    const char *source;
    const char *diagnostic;
};

class PreprocessErrorTest : public ::testing::TestWithParam<DiagnosticCase>
{
};

TEST_P(PreprocessErrorTest, FailsWithTheDiagnostic)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    EXPECT_FALSE(driver.parse_string(GetParam().source, "p.kos"));
    EXPECT_TRUE(driver.error_flag);
    EXPECT_EQ(diagnostics.text(), std::string("kcc: error: ") + GetParam().diagnostic);
    EXPECT_EQ(driver.root, nullptr);
}

const DiagnosticCase kDiagnostics[] = {
    {"BadOperator", "#define A 3\n#if (A + 2)\n#endif\n", "p.kos:2: token \"+\" is not valid in preprocessor expressions\n"},
    {"DefineIsNoNumber", "#define FOO abc\n#if FOO\n#endif\n",
     "p.kos:2: token \"abc\" is not valid in preprocessor expressions\n"},
    {"ElifWithoutIf", "#elif 1\n", "p.kos:1: #elif without #if\n"},
    {"ElifAfterElse", "#if 1\n#else\n#elif 1\n#endif\n", "p.kos:3: #elif after #else\n"},
    {"ElseWithoutIf", "x\n#else\n", "p.kos:2: #else without #if\n"},
    {"SecondElse", "#if 1\n#else\n#else\n#endif\n", "p.kos:3: #else after another #else\n"},
    {"EndifWithoutIf", "#endif\n", "p.kos:1 #endif without #if\n"},
    {"UnterminatedIf", "a\nb\n#if 1\n#if 0\n#endif\n", "p.kos:3: unterminated #if\n"},
    {"UnknownDirective", "#pragma once\n", "p.kos:1: invalid preprocessor directive #pragma once\n"},
    {"ElifDefined", "#if 0\n#elif defined(X)\n#endif\n", "p.kos:2: invalid preprocessor directive #elif defined(X)\n"},
    {"IfdefWithoutName", "#ifdef\n#endif\n", "p.kos:1: invalid preprocessor directive #ifdef\n"},
    {"NegativeDefine", "#define K -1\n", "p.kos:1: invalid define value -1\n"},
    {"DefineWithExpression", "#define K (1+2)\n", "p.kos:1: invalid define value (1+2)\n"},
    {"IncludeWithoutName", "#include lib.kos\n", "p.kos:1: invalid preprocessor directive #include lib.kos\n"},
};

INSTANTIATE_TEST_SUITE_P(Preprocessor, PreprocessErrorTest, ::testing::ValuesIn(kDiagnostics),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Preprocessor, DefinesOfTheCallerAndOfTheSource)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    driver.defines = {{"OUTER", "2"}, {"GONE", "1"}};
    ASSERT_TRUE(driver.parse_string("#define LOCAL \"s\"\n#undef GONE\n#if (OUTER == 2)\nvar x;\n#endif\n"
                                    "#ifdef GONE\nvar y;\n#endif\n",
                                    "p.kos"))
        << diagnostics.text();
    EXPECT_EQ(driver.defines.count("GONE"), 0u);
    EXPECT_EQ(driver.local_defines, (std::map<std::string, std::string>{{"LOCAL", "\"s\""}}));
    EXPECT_EQ(driver.root->statements.size(), 3u);
}

TEST(Preprocessor, SyntaxErrorsAreReportedAtSourceLines)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    EXPECT_FALSE(driver.parse_string("#if 0\na\n#if 1\nb\n#endif\n#endif\n\nvar = 1;\n", "p.kos"));
    EXPECT_EQ(diagnostics.text(), "kcc: error: p.kos:8:5 syntax error, unexpected Lex_Equals, expecting "
                                  "Lex_Identifier or Lex_LParen\n");
}

// Gives its text, then fails as a device that cannot be read on does.
class FailingBuffer : public std::streambuf
{
public:
    explicit FailingBuffer(std::string text) : m_text(std::move(text))
    {
        setg(&m_text[0], &m_text[0], &m_text[0] + m_text.size());
    }

protected:
    int_type underflow() override { throw std::ios_base::failure("read error"); }

private:
    std::string m_text;
};

TEST(Preprocessor, ReadFailurePartWayFailsTheBuild)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    FailingBuffer buffer("var main()\n{\n    return 0;\n}\n");
    std::istream in(&buffer);
    EXPECT_FALSE(driver.parse_stream(in, "p.kos"));
    EXPECT_EQ(diagnostics.text(), "kcc: error: Cannot read p.kos: Input/output error\n");
    EXPECT_EQ(driver.root, nullptr);
}

TEST(Preprocessor, ReplaceStackDump)
{
    CapturedDiagnostics diagnostics;
    kolm::Compiler driver(nullptr);
    std::istringstream in("a\n#if 0\nb\n#else\nc\n#endif\nd\n");
    std::ostringstream text, dump;
    ASSERT_TRUE(driver.preprocess_stream(in, text, "p.kos"));
    driver.dump_replace_stack(dump);
    EXPECT_EQ(dump.str(), "\n/* @@ -2,3 +2,0 @@ */\n/* @@ -6,1 +3,0 @@ */\n");
}

} // namespace
