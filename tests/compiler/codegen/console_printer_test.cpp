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

// A trace of `lines` lines "t1".."tN", ended by a diagnostic or by the end
// of the capture, and what it writes.
struct TraceCase {
    const char *name;
    int lines;
    bool endedByDiagnostic;
    std::string written;
};

std::string traceLines(int from, int to)
{
    std::string text;
    for (int i = from; i <= to; ++i)
        text += "kcc: error: t" + std::to_string(i) + "\n";
    return text;
}

class ConsoleTrace : public ConsoleOutput, public ::testing::WithParamInterface<TraceCase> {};

TEST_P(ConsoleTrace, KeepsTheFirstAndLastLines)
{
    const TraceCase &c = GetParam();
    std::ostringstream captured;
    console_set_output(&captured);
    for (int i = 1; i <= c.lines; ++i)
        console_trace("kcc", "error", CONSOLE_RED, "t%d\n", i);
    if (c.endedByDiagnostic)
        console_output("kcc", "error", CONSOLE_RED, "next\n");
    console_set_output(&out);
    EXPECT_EQ(captured.str(), c.written);
}

INSTANTIATE_TEST_SUITE_P(Table, ConsoleTrace, ::testing::Values(
    TraceCase{"ShortTraceWhole", 3, false, traceLines(1, 3)},
    TraceCase{"TenLinesWhole", 10, false, traceLines(1, 10)},
    TraceCase{"ElevenLinesOneLeftOut", 11, false,
              traceLines(1, 5) + "kcc: note: 1 more \"while compiling\" lines left out\n" + traceLines(7, 11)},
    TraceCase{"LongTraceEndedByTheCapture", 4000, false,
              traceLines(1, 5) + "kcc: note: 3990 more \"while compiling\" lines left out\n" + traceLines(3996, 4000)},
    TraceCase{"LongTraceEndedByADiagnostic", 20, true,
              traceLines(1, 5) + "kcc: note: 10 more \"while compiling\" lines left out\n" + traceLines(16, 20)
                  + "kcc: error: next\n"}),
    [](const ::testing::TestParamInfo<TraceCase> &info) { return std::string(info.param.name); });

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
