#include "console_printer.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <sstream>

namespace {

// Selects a string stream for one test and restores standard error after it.
class ConsoleOutput : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_output_colorized = false;
        console_set_output(&out);
    }
    void TearDown() override
    {
        console_set_output(nullptr);
        g_output_colorized = false;
    }
    std::ostringstream out;
};

TEST_F(ConsoleOutput, PlainTextWithoutEscapes)
{
    console_output("kcc", "error", CONSOLE_RED, "%s:%d: #else without #if\n", "main.kos", 3);
    EXPECT_EQ(out.str(), "kcc: error: main.kos:3: #else without #if\n");
    EXPECT_EQ(out.str().find('\033'), std::string::npos);
}

TEST_F(ConsoleOutput, EmptyMessageStillWritesPrefix)
{
    console_output("kcc", "error", CONSOLE_RED, "%s", "");
    EXPECT_EQ(out.str(), "kcc: error: ");
}

TEST_F(ConsoleOutput, ColouredSequence)
{
    g_output_colorized = true;
    console_output("kcc", "warning", CONSOLE_YELLOW, "x %d\n", 5);
    EXPECT_EQ(out.str(), "\033[1mkcc: \033[0m\033[33mwarning: \033[0mx 5\n");
}

TEST_F(ConsoleOutput, LongMessageIsWrittenWhole)
{
    std::string big(5000, 'z');
    console_output("kcc", "error", CONSOLE_RED, "%s!", big.c_str());
    EXPECT_EQ(out.str(), "kcc: error: " + big + "!");
}

struct BadArguments {
    const char *tool;
    const char *severity;
    const char *colour;
    const char *format;
};

class ConsoleOutputBad : public ConsoleOutput,
                         public ::testing::WithParamInterface<BadArguments> {};

TEST_P(ConsoleOutputBad, PlaceholderAndStreamStaysUsable)
{
    const BadArguments &a = GetParam();
    console_output(a.tool, a.severity, a.colour, a.format, 1);
    EXPECT_TRUE(out.good());
    EXPECT_NE(out.str().find("<invalid diagnostic>"), std::string::npos) << out.str();
    out.str("");
    console_output("kcc", "error", CONSOLE_RED, "after\n");
    EXPECT_EQ(out.str(), "kcc: error: after\n");
}

INSTANTIATE_TEST_SUITE_P(Table, ConsoleOutputBad, ::testing::Values(
    BadArguments{nullptr, "error", CONSOLE_RED, "%d\n"},
    BadArguments{"kcc", nullptr, CONSOLE_RED, "%d\n"},
    BadArguments{"kcc", "error", nullptr, "%d\n"},
    BadArguments{"kcc", "error", CONSOLE_RED, nullptr}));

TEST_F(ConsoleOutput, FailedFormattingWritesPlaceholder)
{
    // A wide character that the "C" locale cannot encode makes the
    // formatting fail with an encoding error.
    const wchar_t wide[] = {wchar_t(0x20AC), 0};
    console_output("kcc", "error", CONSOLE_RED, "%ls\n", wide);
    EXPECT_TRUE(out.good());
    EXPECT_EQ(out.str(), "kcc: error: <invalid diagnostic>\n");
    out.str("");
    console_output("kcc", "warning", CONSOLE_YELLOW, "ok\n");
    EXPECT_EQ(out.str(), "kcc: warning: ok\n");
}

TEST(ConsoleOutputStream, DefaultsToStandardErrorAndReturnsThere)
{
    testing::internal::CaptureStderr();
    console_output("kcc", "error", CONSOLE_RED, "first\n");
    std::ostringstream other;
    console_set_output(&other);
    console_output("kcc", "error", CONSOLE_RED, "second\n");
    console_set_output(nullptr);
    console_output("kcc", "error", CONSOLE_RED, "third\n");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "kcc: error: first\nkcc: error: third\n");
    EXPECT_EQ(other.str(), "kcc: error: second\n");
}

} // namespace
