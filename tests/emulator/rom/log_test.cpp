// The level filter and line prefixes of the emulator's log.

#include "kolm_dbg.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct FilterCase {
    uint32_t configured;
    uint32_t level;
    const char *line; // null when filtered
};

class LogFilter : public ::testing::TestWithParam<FilterCase> {
protected:
    void SetUp() override { kolm_hal_set_debug_stream(&out); }
    void TearDown() override { kolm_hal_set_debug_stream(nullptr); }
    std::ostringstream out;
};

const FilterCase kFilterCases[] = {
    {0x1B2, 0x12, "asm hal note: text\n"},
    {0x1A2, 0x12, nullptr},              // board category off
    {0x192, 0x12, nullptr},              // board messages need the core category
    {0x1C2, 0x42, "asm emu note: text\n"}, // emulator messages do not
    {0x1E2, 0x42, "asm emu note: text\n"},
    {0x120, 0x00, "asm error: text\n"},
    {0x100, 0x00, nullptr},
    {0x1A0, 0x11, nullptr},              // warning above an error-only level
    {0x1B1, 0x11, "asm hal warning: text\n"},
    {0x1A1, 0x01, "asm warning: text\n"},
    {0x122, 0x42, nullptr},              // emulator category off
    {0x162, 0x82, nullptr},              // network category off
    {0x1A2, 0x81, "asm net warning: text\n"},
    {0x120, 0x100, "asm sys error: text\n"},
    {0x1F2, 0x1D0, "asm hal emu net sys error: text\n"},
    {0x1F2, 0x43, nullptr},              // severity 3 is above information
    {0x1F3, 0x43, "asm emu warning: text\n"},
};

} // namespace

TEST_P(LogFilter, ShowsWithPrefixesOrFilters)
{
    const FilterCase c = GetParam();
    kolm_hal_set_level(c.configured);
    asm_debug(c.level, "%s", "text");
    EXPECT_EQ(out.str(), c.line ? c.line : "");
    EXPECT_EQ(asm_debug_enabled(c.level), c.line != nullptr);
    std::ostream &stream = asm_debug_stream(c.level);
    EXPECT_EQ(&stream == &noop_stm, c.line == nullptr);
}

INSTANTIATE_TEST_SUITE_P(Levels, LogFilter, ::testing::ValuesIn(kFilterCases));

TEST(Log, LongMessagesAreCutAt510Characters)
{
    std::ostringstream out;
    kolm_hal_set_debug_stream(&out);
    kolm_hal_set_level(0x120);
    const std::string text(600, 'x');
    asm_debug(0, "%s", text.c_str());
    EXPECT_EQ(out.str(), "asm error: " + std::string(510, 'x') + "\n");
    kolm_hal_set_debug_stream(nullptr);
}

TEST(Log, FilteredStreamMessagesAreNotFormatted)
{
    kolm_hal_set_level(0x100);
    int evaluated = 0;
    auto count = [&evaluated] { return ++evaluated; };
    KOLM_DEBUG(KOLM_HAL_INFO) << count();
    EXPECT_EQ(evaluated, 0);
    kolm_hal_set_level(0x1F2);
    std::ostringstream out;
    kolm_hal_set_debug_stream(&out);
    KOLM_DEBUG(KOLM_HAL_INFO) << count();
    EXPECT_EQ(evaluated, 1);
    EXPECT_EQ(out.str(), "asm hal note: 1");
    kolm_hal_set_debug_stream(nullptr);
}
