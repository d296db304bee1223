#include "stl_helpers.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct TrimCase {
    std::string in;
    std::string out;
};

class Trim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(Trim, RemovesSpacesTabsAndLineFeedsOnly)
{
    EXPECT_EQ(stl_helpers::trim(GetParam().in), GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(Table, Trim, ::testing::Values(
    TrimCase{"\t word\n", "word"},
    TrimCase{"a b", "a b"},
    TrimCase{" \t\n ", ""},
    TrimCase{"", ""},
    TrimCase{"\rword\r", "\rword\r"},
    TrimCase{"  in  side  ", "in  side"}));

struct ToIntCase {
    std::string text;
    int base;
    int value;
    bool ok;
};

class ToInt : public ::testing::TestWithParam<ToIntCase> {};

TEST_P(ToInt, ValueAndSuccess)
{
    const ToIntCase &c = GetParam();
    bool ok = !c.ok;
    EXPECT_EQ(stl_helpers::toInt(c.text, &ok, c.base), c.value) << c.text;
    EXPECT_EQ(ok, c.ok) << c.text;
    EXPECT_EQ(stl_helpers::toInt(c.text, nullptr, c.base), c.value) << "null ok";
}

INSTANTIATE_TEST_SUITE_P(Table, ToInt, ::testing::Values(
    ToIntCase{"0x10", 0, 16, true},
    ToIntCase{"010", 0, 8, true},
    ToIntCase{"10", 0, 10, true},
    ToIntCase{"abc", 10, 0, false},
    ToIntCase{"abc", 16, 0xABC, true},
    ToIntCase{"0x1F", 16, 31, true},
    ToIntCase{"  -12xyz", 10, -12, true},
    ToIntCase{"+5", 10, 5, true},
    ToIntCase{"", 10, 0, false},
    ToIntCase{"-", 10, 0, false},
    ToIntCase{"2147483647", 10, 2147483647, true},
    ToIntCase{"2147483648", 10, 0, false},
    ToIntCase{"-2147483648", 10, INT32_MIN, true},
    ToIntCase{"-2147483649", 10, 0, false},
    ToIntCase{"0xFFFFFFFF", 16, 0, false},
    ToIntCase{"0x7FFFFFFF", 16, 0x7FFFFFFF, true},
    ToIntCase{"99999999999999999999999", 10, 0, false}));

TEST(StringList, WritesBracketedCommaSeparated)
{
    std::ostringstream out;
    out << std::list<std::string>{"a", "bc"} << "|" << std::list<std::string>{};
    EXPECT_EQ(out.str(), "[a, bc]|[]");
}

TEST(DirSeparator, IsSlash)
{
    EXPECT_EQ(stl_helpers::dirSeparator, "/");
}

} // namespace
