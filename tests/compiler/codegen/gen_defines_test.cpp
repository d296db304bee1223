#include "kolm_gen_context.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <algorithm>

namespace fs = std::filesystem;

namespace {

// 'A' stands for a letter, '9' for a digit, anything else for itself.
bool matchesShape(const std::string &text, const std::string &shape)
{
    if (text.size() != shape.size())
        return false;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool ok = shape[i] == 'A' ? isalpha(uint8_t(text[i])) != 0
                        : shape[i] == '9' ? isdigit(uint8_t(text[i])) != 0
                                          : text[i] == shape[i];
        if (!ok)
            return false;
    }
    return true;
}

TEST(Defines, PredefinedMacros)
{
    KolmGenContext gen;
    const auto &defines = gen.definesMap();
    EXPECT_EQ(defines.at("__KOLM__"), "1");
    EXPECT_EQ(defines.at("__KOLM_VERSION"), "5");
    EXPECT_EQ(defines.at("__VERSION__"), "\"0.5\"");
    EXPECT_EQ(defines.at("__ORDER_LITTLE_ENDIAN__"), "0");
    EXPECT_EQ(defines.at("__ORDER_BIG_ENDIAN__"), "1");
    EXPECT_EQ(defines.at("__BYTE_ORDER__"), "0");
    ASSERT_TRUE(defines.count("__DATE__"));
    EXPECT_TRUE(matchesShape(defines.at("__DATE__"), "\"AAA 99 9999\"")) << defines.at("__DATE__");
    EXPECT_TRUE(matchesShape(defines.at("__TIME__"), "\"99:99:99\"")) << defines.at("__TIME__");
    const std::string month = defines.at("__DATE__").substr(1, 3);
    EXPECT_NE(std::string("JanFebMarAprMayJunJulAugSepOctNovDec").find(month), std::string::npos);
    EXPECT_EQ(defines.size(), 8u);
}

TEST(Defines, FirstDefinitionStaysAndRedefinitionIsReported)
{
    KolmGenContext gen;
    std::string message;
    EXPECT_TRUE(gen.addDefine("X", "1", &message));
    EXPECT_TRUE(message.empty());
    EXPECT_TRUE(gen.addDefine("X", "2", &message));
    EXPECT_EQ(message, "X redefined");
    EXPECT_EQ(gen.definesMap().at("X"), "1");
}

TEST(Defines, SameValueAgainIsSilent)
{
    KolmGenContext gen;
    std::string message;
    gen.addDefine("X", "1", &message);
    gen.addDefine("X", "1", &message);
    EXPECT_TRUE(message.empty());
}

TEST(Defines, PredefinedCannotBeReplaced)
{
    KolmGenContext gen;
    std::string message;
    gen.addDefine("__KOLM__", "7", &message);
    EXPECT_EQ(gen.definesMap().at("__KOLM__"), "1");
    EXPECT_EQ(message, "__KOLM__ redefined");
}

TEST(Defines, Removal)
{
    KolmGenContext gen;
    const auto before = gen.definesMap();
    gen.removeDefine("NOT_DEFINED");
    EXPECT_EQ(gen.definesMap(), before);
    gen.removeDefine("__KOLM__");
    EXPECT_FALSE(gen.definesMap().count("__KOLM__"));
}

// Byte-wise name order: capitals before the underscore of the predefined
// macros, small letters after it, whatever the order of definition.
TEST(Defines, OrderedByName)
{
    KolmGenContext gen;
    gen.addDefine("b", "1");
    gen.addDefine("a", "1");
    gen.addDefine("B", "1");
    gen.addDefine("Ab", "1");
    std::vector<std::string> names;
    for (const auto &d : gen.definesMap())
        names.push_back(d.first);
    ASSERT_EQ(names.size(), 12u);
    EXPECT_EQ((std::vector<std::string>{names[0], names[1], names[2]}),
              (std::vector<std::string>{"Ab", "B", "__BYTE_ORDER__"}));
    EXPECT_EQ((std::vector<std::string>{names[10], names[11]}), (std::vector<std::string>{"a", "b"}));
}

TEST(ReservedNames, Keywords)
{
    for (const char *word : {"continue", "break", "while", "for", "do", "return", "goto", "in"})
        EXPECT_TRUE(KolmGenContext::isKeyword(word)) << word;
    for (const char *word : {"if", "else", "var", "switch", "case", "default", "Break", ""})
        EXPECT_FALSE(KolmGenContext::isKeyword(word)) << word;
}

TEST(ReservedNames, BuiltinsAndSpecialFunctions)
{
    for (const char *name : {"memcpy", "memcmp", "memset", "stoi", "sprintf", "contains", "delay", "sleep", "timer",
                             "tstop", "resume", "halt", "nop", "__disable_irq", "__enable_irq"})
        EXPECT_TRUE(KolmGenContext::isInternalFunction(name)) << name;
    for (const char *name : {"_ack", "_exti", "_msg", "_segv", "main"})
        EXPECT_TRUE(KolmGenContext::isSpecialFunction(name)) << name;
    EXPECT_FALSE(KolmGenContext::isInternalFunction("main"));
    EXPECT_FALSE(KolmGenContext::isSpecialFunction("Main"));
    EXPECT_FALSE(KolmGenContext::isInternalFunction("printf"));
}

TEST(BinarySize, Print)
{
    KolmBinarySize size{10, 20, 30};
    EXPECT_EQ(size.print(false), "10 / 20 / 30");
    EXPECT_EQ(size.print(true), "     text     data      bss\n       10       20       30\n");
}

// A scratch directory tree, removed at the end of the test.
class IncludeSearch : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char name[] = "/tmp/kolm_include_XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        root = name;
        for (const char *dir : {"src", "inc1", "inc2", "inc2/sub"})
            fs::create_directories(root / dir);
    }
    void TearDown() override { fs::remove_all(root); }
    std::string touch(const std::string &relative)
    {
        const fs::path path = root / relative;
        std::ofstream(path) << "x";
        return path.string();
    }
    fs::path root;
};

TEST_F(IncludeSearch, QuotedFormTriesIncluderDirectoryFirst)
{
    KolmGenContext gen;
    gen.addIncludePath((root / "inc1").string());
    const std::string beside = touch("src/lib.kos");
    touch("inc1/lib.kos");
    EXPECT_EQ(gen.locate("lib.kos", (root / "src/main.kos").string(), false), beside);
}

TEST_F(IncludeSearch, AngleFormSkipsIncluderDirectory)
{
    KolmGenContext gen;
    gen.addIncludePath((root / "inc1").string());
    touch("src/lib.kos");
    const std::string inInclude = touch("inc1/lib.kos");
    EXPECT_EQ(gen.locate("lib.kos", (root / "src/main.kos").string(), true), inInclude);
    EXPECT_EQ(gen.locate("only_beside.kos", (root / "src/main.kos").string(), true), "");
}

TEST_F(IncludeSearch, DirectoriesTriedInOrderAdded)
{
    const std::string second = touch("inc2/lib.kos");
    const std::string first = touch("inc1/lib.kos");
    KolmGenContext gen;
    gen.addIncludePath((root / "inc2").string());
    gen.addIncludePath((root / "inc1").string());
    EXPECT_EQ(gen.locate("lib.kos", (root / "src/main.kos").string(), true), second);
    KolmGenContext other;
    other.addIncludePath((root / "inc1").string());
    other.addIncludePath((root / "inc2").string());
    EXPECT_EQ(other.locate("lib.kos", (root / "src/main.kos").string(), true), first);
}

TEST_F(IncludeSearch, NameIsNormalisedAgainstIncludeDirectory)
{
    const std::string file = touch("inc2/lib.kos");
    KolmGenContext gen;
    gen.addIncludePath((root / "inc2/sub").string());
    EXPECT_EQ(gen.locate("../lib.kos", (root / "src/main.kos").string(), true), file);
}

TEST_F(IncludeSearch, AbsoluteNames)
{
    KolmGenContext gen;
    const std::string file = touch("src/abs.kos");
    EXPECT_EQ(gen.locate(file, "whatever.kos", false), file);
    EXPECT_EQ(gen.locate((root / "src").string(), "whatever.kos", false), "");
    EXPECT_EQ(gen.locate((root / "src/missing.kos").string(), "whatever.kos", false), "");
}

TEST_F(IncludeSearch, RelativeDirectoryStoredOnceAgainstWorkingDirectory)
{
    const std::string saved = KolmGenContext::cwd();
    ASSERT_EQ(chdir(root.c_str()), 0);
    KolmGenContext gen;
    gen.addIncludePath("inc1");
    gen.addIncludePath("inc1");
    gen.addIncludePath("/abs/dir");
    touch("inc1/rel.kos");
    EXPECT_EQ(gen.locate("rel.kos", "src/main.kos", true), fs::canonical(root).string() + "/inc1/rel.kos");
    EXPECT_EQ(KolmGenContext::cwd(), fs::canonical(root).string());
    ASSERT_EQ(chdir(saved.c_str()), 0);
    ASSERT_EQ(gen.includePaths().size(), 2u);
    EXPECT_EQ(gen.includePaths()[0], fs::canonical(root).string() + "/inc1");
    EXPECT_EQ(gen.includePaths()[1], "/abs/dir");
}

} // namespace
