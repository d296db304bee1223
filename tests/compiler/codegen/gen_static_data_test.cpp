#include "kolm_gen_context.h"

#include <gtest/gtest.h>

namespace {

constexpr uint32_t kRom = 0x08000000;

TEST(Literals, PlacedOnceAtRomAddresses)
{
    KolmGenContext gen;
    EXPECT_EQ(gen.placeLiteral("\"hello\""), kRom);
    EXPECT_EQ(gen.placeLiteral("\"abc\""), kRom + 6);
    EXPECT_EQ(gen.placeLiteral("\"hello\""), kRom);
    EXPECT_EQ(gen.placeLiteral("\"\""), kRom + 10);
    EXPECT_EQ(gen.dataString(kRom, 5), "hello");
    EXPECT_EQ(gen.dataString(kRom, 6), std::string("hello\0", 6));
    EXPECT_EQ(gen.dataString(kRom + 6, 4), std::string("abc\0", 4));
}

TEST(Literals, DataStringStaysInsideTheBuffer)
{
    KolmGenContext gen;
    gen.placeLiteral("\"ab\"");
    EXPECT_EQ(gen.dataString(kRom + 1, 100), std::string("b\0", 2));
    EXPECT_EQ(gen.dataString(kRom + 3, 1), "");
    EXPECT_EQ(gen.dataString(kRom - 1, 1), "");
    EXPECT_EQ(gen.dataString(0, 4), "");
}

TEST(StaticArrays, NumberArrayLayoutAndQueries)
{
    KolmGenContext gen;
    std::string message;
    gen.placeLiteral("\"x\""); // 2 bytes before the array
    ASSERT_TRUE(gen.placeNumberArray("a", {1, 0x01020304, 3}, message));
    EXPECT_EQ(gen.dataString(kRom + 2, 13),
              std::string("\x03\x01\x00\x00\x00\x04\x03\x02\x01\x03\x00\x00\x00", 13));
    ASSERT_NE(gen.staticArray("a"), nullptr);
    EXPECT_EQ(gen.staticArray("a")->offset, 2u); // the count byte
    EXPECT_EQ(gen.staticArray("x"), nullptr);
    EXPECT_TRUE(gen.staticArrayIsNumbers("a"));
    EXPECT_EQ(gen.staticArraySize("a"), 3u);
    EXPECT_EQ(gen.staticArrayValue("a", 1), 0x01020304u);
    EXPECT_EQ(gen.staticArrayValue("a", 3), 0u);
    EXPECT_TRUE(gen.staticArrayContains("a", 3u));
    EXPECT_FALSE(gen.staticArrayContains("a", 4u));
    EXPECT_FALSE(gen.staticArrayContains("a", std::string("\"x\"")));
    EXPECT_TRUE(gen.variableDeclared("a"));
}

TEST(StaticArrays, StringArrayQueries)
{
    KolmGenContext gen;
    std::string message;
    const uint32_t red = gen.placeLiteral("\"red\"");
    const uint32_t green = gen.placeLiteral("\"green\"");
    ASSERT_TRUE(gen.placeStringArray("colours", {red, green}, message));
    EXPECT_FALSE(gen.staticArrayIsNumbers("colours"));
    EXPECT_EQ(gen.staticArrayValue("colours", 1), green);
    EXPECT_TRUE(gen.staticArrayContains("colours", std::string("\"green\"")));
    EXPECT_FALSE(gen.staticArrayContains("colours", std::string("\"blue\""))); // never placed
    gen.placeLiteral("\"blue\"");
    EXPECT_FALSE(gen.staticArrayContains("colours", std::string("\"blue\"")));
    EXPECT_FALSE(gen.staticArrayContains("colours", red));
}

TEST(StaticArrays, UnknownNameAnswersEmpty)
{
    KolmGenContext gen;
    EXPECT_FALSE(gen.staticArrayIsNumbers("none"));
    EXPECT_EQ(gen.staticArraySize("none"), 0u);
    EXPECT_EQ(gen.staticArrayValue("none", 0), 0u);
    EXPECT_FALSE(gen.staticArrayContains("none", 0u));
}

struct LimitCase {
    size_t count;
    bool ok;
};

class ArrayLimit : public ::testing::TestWithParam<LimitCase> {};

TEST_P(ArrayLimit, AtMost255Elements)
{
    KolmGenContext gen;
    std::string message;
    const std::vector<uint32_t> values(GetParam().count, 7);
    EXPECT_EQ(gen.placeNumberArray("a", values, message), GetParam().ok);
    EXPECT_EQ(message, GetParam().ok ? "" : "array size out of bounds");
    EXPECT_EQ(gen.staticArraySize("a"), GetParam().ok ? GetParam().count : 0u);
    EXPECT_EQ(gen.placeStringArray("s", values, message), GetParam().ok);
}

INSTANTIATE_TEST_SUITE_P(Counts, ArrayLimit,
                         ::testing::Values(LimitCase{0, true}, LimitCase{255, true}, LimitCase{256, false}));

TEST(StaticArrays, RedefinitionRefused)
{
    KolmGenContext gen;
    std::string message;
    ASSERT_TRUE(gen.placeStringArray("a", {}, message));
    EXPECT_FALSE(gen.placeNumberArray("a", {1}, message));
    EXPECT_EQ(message, "redefinition of a");
    EXPECT_FALSE(gen.staticArrayIsNumbers("a"));
}

} // namespace
