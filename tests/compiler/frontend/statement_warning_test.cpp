// Statements that compile with warnings: the exact warning texts, and that
// the image is still written.

#include "frontend_test_support.h"

#include <gtest/gtest.h>

namespace {

struct WarningCase {
    const char *name;
    const char *level;
    const char *source;
    const char *warnings; // FILE stands for the source's path
};

class StatementWarnings : public ::testing::TestWithParam<WarningCase>
{
};

TEST_P(StatementWarnings, AreExactAndKeepTheBuild)
{
    const WarningCase &c = GetParam();
    ScratchDir dir;
    const std::string input = dir.write("a.kos", c.source);
    const DriverRun run = runDriver({c.level, "-o", dir.path("a.kcs"), input});
    EXPECT_EQ(run.status, 0) << run.err;
    std::string expected = c.warnings;
    for (size_t at; (at = expected.find("FILE")) != std::string::npos;)
        expected.replace(at, 4, input);
    std::string warnings;
    std::istringstream lines(run.err);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("kcc: ", 0) == 0)
            warnings += line + "\n";
    EXPECT_EQ(warnings, expected);
    EXPECT_TRUE(dir.exists("a.kcs"));
}

INSTANTIATE_TEST_SUITE_P(Table, StatementWarnings, ::testing::Values(
    WarningCase{"EmptyStatement", "-O0", "var main() {\n    ;\n    return 0;\n}\n",
                "kcc: warning: FILE:2:5: empty statement\n"},
    WarningCase{"ConstantStatementAtLevel1", "-O1", "var main() {\n    5;\n    return 0;\n}\n",
                "kcc: warning: FILE:2:5: empty statement\n"},
    WarningCase{"ConstantStatementAtLevel0", "-O0", "var main() {\n    5;\n    return 0;\n}\n", ""},
    WarningCase{"ReturnWithoutValue", "-O0", "var main() {\n    return;\n}\n",
                "kcc: warning: FILE:2:5: no return value - assuming zero\n"},
    WarningCase{"UnusedVariables", "-O0", "var main() {\n    { var a; var b = 2; }\n    return 0;\n}\n",
                "kcc: warning: FILE:2:11: unused variable declare(<Identifier(a@identifier)> as <null>)\n"
                "kcc: warning: FILE:2:5: here\n"
                "kcc: warning: FILE:2:18: unused variable declare(<Identifier(b@identifier)> as "
                "<Constant(2, 0x2)>)\n"
                "kcc: warning: FILE:2:5: here\n"},
    WarningCase{"UsedVariable", "-O0", "var main() {\n    { var a; a = 1; }\n    return 0;\n}\n", ""},
    WarningCase{"EmptySwitch", "-O0", "var main() {\n    switch (1) { }\n    return 0;\n}\n",
                "kcc: warning: FILE:2:5: skipping empty switch block (no branches)\n"},
    WarningCase{"NoDefault", "-O0", "var main() {\n    switch (1) { case 1: break; }\n    return 0;\n}\n",
                "kcc: warning: FILE:2:5: no default label in switch statement that does not cover the whole range "
                "or the values\n"},
    WarningCase{"EndlessForLoop", "-O0", "var main() {\n    for (;;) break;\n    return 0;\n}\n", ""}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
