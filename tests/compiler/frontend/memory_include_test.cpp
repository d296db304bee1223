// Includes from an in-memory set of files: found by name, parsed with
// their defines, and nothing else is looked up on the file system.

#include "console_printer.h"
#include "frontend_test_support.h"
#include "kolm_gen_context.h"
#include "lexer.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace {

struct MemoryIncludeCase {
    const char *name;
    const char *source;
    bool precompiles;
};

class MemoryIncludeTest : public ::testing::TestWithParam<MemoryIncludeCase>
{
};

// Precompiles a source whose includes come from memory.
bool precompileWithMemoryIncludes(const std::string &source, std::string *log)
{
    const std::map<std::string, std::string> files = {
        {"lib.kos", "#ifndef LIB\n#define LIB\n#define LIB_VALUE 4\nvar twice(var a)\n{\n    return a + a;\n}\n#endif\n"},
        {"loop.kos", "#include \"loop.kos\"\n"},
    };
    std::ostringstream out;
    console_set_output(&out);
    KolmGenContext context;
    context.setIncludeFiles(&files);
    kolm::Compiler driver(&context);
    const bool ok = driver.parse_string(source, "main.kos") && driver.root->precompile(&context, driver.replace_ops);
    console_set_output(nullptr);
    *log = out.str();
    return ok;
}

TEST_P(MemoryIncludeTest, ResolvesOnlyInMemory)
{
    std::string log;
    EXPECT_EQ(precompileWithMemoryIncludes(GetParam().source, &log), GetParam().precompiles) << log;
}

TEST(MemoryInclude, NeverReadsAFileOnDisk)
{
    ScratchDir dir;
    const std::string path = dir.write("disk.kos", "var fromDisk()\n{\n    return 1;\n}\n");
    std::string log;
    EXPECT_FALSE(precompileWithMemoryIncludes("#include \"" + path + "\"\nvar main()\n{\n    return 0;\n}\n", &log));
    EXPECT_NE(log.find("No such file or directory"), std::string::npos) << log;
}

const MemoryIncludeCase kCases[] = {
    {"Found", "#include \"lib.kos\"\n#include <lib.kos>\nvar main()\n{\n    return twice(LIB_VALUE);\n}\n", true},
    {"DeviceIgnored", "#include \"/dev/stdin\"\nvar main()\n{\n    return 0;\n}\n", false},
    {"Missing", "#include \"other.kos\"\nvar main()\n{\n    return 0;\n}\n", false},
    {"SelfInclusion", "#include \"loop.kos\"\nvar main()\n{\n    return 0;\n}\n", false},
};

INSTANTIATE_TEST_SUITE_P(MemoryInclude, MemoryIncludeTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<MemoryIncludeCase> &info) { return info.param.name; });

} // namespace
