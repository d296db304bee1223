#include "zuiconv.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

uint8_t len8(const std::string &s)
{
    return uint8_t(s.size());
}

struct UnsignedCase {
    std::string text;
    uint32_t dtou;
    uint32_t htou;
};

class UnsignedParse : public ::testing::TestWithParam<UnsignedCase> {};

TEST_P(UnsignedParse, DecimalAndHexadecimal)
{
    const UnsignedCase &c = GetParam();
    EXPECT_EQ(dtou(c.text.data(), len8(c.text)), c.dtou) << c.text;
    EXPECT_EQ(htou(c.text.data(), len8(c.text)), c.htou) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, UnsignedParse, ::testing::Values(
    UnsignedCase{"", 0, 0},
    UnsignedCase{"123", 123, 0x123},
    UnsignedCase{"12a", 0xFFFFFFFFu, 0x12A},
    UnsignedCase{"1fZ9", 0xFFFFFFFFu, 0x1F},
    UnsignedCase{"4294967295", 4294967295u, 0x94967295u},
    UnsignedCase{"4294967296", 0, 0x94967296u},          // decimal wraps modulo 2^32
    UnsignedCase{"-1", 0xFFFFFFFFu, 0},               // no sign accepted
    UnsignedCase{" 1", 0xFFFFFFFFu, 0},               // no blanks accepted
    UnsignedCase{"FFFFFFFF", 0xFFFFFFFFu, 0xFFFFFFFFu},
    UnsignedCase{"123456789", 123456789u, 0x23456789u}, // last eight hex digits
    UnsignedCase{"deadBEEF", 0xFFFFFFFFu, 0xDEADBEEFu}));

struct HexBytesCase {
    std::string text;
    int result;
    std::vector<uint8_t> written;
};

class HexBytes : public ::testing::TestWithParam<HexBytesCase> {};

TEST_P(HexBytes, WritesPairsAndReportsLeftover)
{
    const HexBytesCase &c = GetParam();
    uint8_t out[8];
    std::memset(out, 0xEE, sizeof out);
    EXPECT_EQ(htoa(c.text.data(), len8(c.text), out), c.result);
    for (size_t i = 0; i < c.written.size(); ++i)
        EXPECT_EQ(out[i], c.written[i]) << "byte " << i;
    EXPECT_EQ(out[c.written.size()], 0xEE) << "wrote past the expected bytes";
}

INSTANTIATE_TEST_SUITE_P(Table, HexBytes, ::testing::Values(
    HexBytesCase{"0aFF", 0, {0x0A, 0xFF}},
    HexBytesCase{"0aF", 1, {0x0A}},
    HexBytesCase{"0g", 1, {}},
    HexBytesCase{"120g", 1, {0x12}},
    HexBytesCase{"", 0, {}},
    HexBytesCase{"7", 1, {}}));

struct SignedCase {
    std::string text;
    int result;
    int32_t value;
};

class SignedParse : public ::testing::TestWithParam<SignedCase> {};

TEST_P(SignedParse, ResultAndValue)
{
    const SignedCase &c = GetParam();
    int32_t value = 12345;
    EXPECT_EQ(dtoi(c.text.data(), len8(c.text), &value), c.result) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
}

INSTANTIATE_TEST_SUITE_P(Table, SignedParse, ::testing::Values(
    SignedCase{"-42", 0, -42},
    SignedCase{"42", 0, 42},
    SignedCase{"4-2", 1, 4},
    SignedCase{"-4x", 1, 4},
    SignedCase{"x", 1, 0},
    SignedCase{"-", 0, 0},
    SignedCase{"", 0, 0},
    SignedCase{"2147483647", 0, 2147483647},
    SignedCase{"-2147483648", 0, INT32_MIN}));

TEST(HexWriters, FixedWidthUpperCase)
{
    char out[9] = {};
    EXPECT_EQ(u4toh(0xFA), 'A');
    u8toh(0x0F, out);
    EXPECT_EQ(std::string(out, 2), "0F");
    u16toh(0xBEEF, out);
    EXPECT_EQ(std::string(out, 4), "BEEF");
    u32toh(0x0012ABCD, out);
    EXPECT_EQ(std::string(out, 8), "0012ABCD");
}

TEST(HexWriters, ByteArraysInOrderAndReversed)
{
    const uint8_t bytes[] = {0x12, 0x34, 0xAB};
    char out[7] = {};
    atoh(bytes, 3, out);
    EXPECT_EQ(std::string(out, 6), "1234AB");
    atohr(bytes, 2, out);
    EXPECT_EQ(std::string(out, 4), "3412");
}

struct DecimalCase {
    int64_t value; // unsigned writers take the low 32 bits
    bool isSigned;
    std::string text;
};

class DecimalWriters : public ::testing::TestWithParam<DecimalCase> {};

TEST_P(DecimalWriters, TextAndCount)
{
    const DecimalCase &c = GetParam();
    char out[16];
    std::memset(out, '#', sizeof out);
    int n = c.isSigned ? stods(int32_t(c.value), out) : utods(uint32_t(c.value), out);
    EXPECT_EQ(n, int(c.text.size()));
    EXPECT_EQ(std::string(out, c.text.size()), c.text);
    EXPECT_EQ(out[c.text.size()], '#') << "no terminator is written";

    char buffer[16];
    char *cursor = buffer;
    if (c.isSigned)
        stod(int32_t(c.value), &cursor);
    else
        utod(uint32_t(c.value), &cursor);
    EXPECT_EQ(cursor - buffer, n) << "cursor advances past the digits";
}

INSTANTIATE_TEST_SUITE_P(Table, DecimalWriters, ::testing::Values(
    DecimalCase{0, false, "0"},
    DecimalCase{4294967295LL, false, "4294967295"},
    DecimalCase{1000, false, "1000"},
    DecimalCase{-7, true, "-7"},
    DecimalCase{7, true, "7"},
    DecimalCase{0, true, "0"},
    DecimalCase{INT32_MIN, true, "-2147483648"},
    DecimalCase{INT32_MAX, true, "2147483647"}));

} // namespace
