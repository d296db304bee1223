// The emulator's SLIP framer: receiving frames from arbitrary byte runs and
// encoding frames with the additive checksum.

#include "kolm_slip.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Bytes> g_frames;
Bytes g_encoded;

void collect(const uint8_t *frame, uint32_t length)
{
    g_frames.emplace_back(frame, frame + length);
}

bool put(uint8_t byte)
{
    g_encoded.push_back(byte);
    return true;
}

// Feeds the bytes in pieces of the given size through a fresh receiver of
// the given capacity.
std::vector<Bytes> receive(const Bytes &bytes, size_t piece = 1, uint32_t capacity = 1024)
{
    std::vector<uint8_t> buffer(capacity);
    SlipContext context{0, buffer.data(), capacity, 0};
    g_frames.clear();
    for (size_t i = 0; i < bytes.size(); i += piece)
        slip_receive(context, bytes.data() + i, uint32_t(std::min(piece, bytes.size() - i)), collect);
    return g_frames;
}

struct ReceiveCase {
    const char *name;
    Bytes bytes;
    std::vector<Bytes> frames;
};

class SlipReceive : public ::testing::TestWithParam<ReceiveCase> {};

TEST_P(SlipReceive, DeliversTheFrames)
{
    const ReceiveCase &c = GetParam();
    EXPECT_EQ(receive(c.bytes), c.frames);
    EXPECT_EQ(receive(c.bytes, c.bytes.size()), c.frames);
}

INSTANTIATE_TEST_SUITE_P(Table, SlipReceive, ::testing::Values(
    ReceiveCase{"Plain", {0xC0, 1, 2, 3, 0xC0}, {{1, 2, 3}}},
    ReceiveCase{"RepeatedEnd", {0xC0, 0xC0, 0xC0, 1, 0xC0}, {{1}}},
    ReceiveCase{"EmptyFrames", {0xC0, 0xC0}, {}},
    ReceiveCase{"Escapes", {0xC0, 0xDB, 0xDC, 0xDB, 0xDD, 0xC0}, {{0xC0, 0xDB}}},
    ReceiveCase{"BadEscapeDropsTheFrame", {0xC0, 1, 0xDB, 5, 2, 0xC0, 3, 0xC0}, {{3}}},
    ReceiveCase{"EndAfterEscOpensTheNextFrame", {0xC0, 0x10, 0x12, 0xDB, 0xC0, 4, 5, 0xC0}, {{4, 5}}},
    ReceiveCase{"SharedEnd", {0xC0, 1, 0xC0, 2, 0xC0}, {{1}, {2}}},
    ReceiveCase{"GreetingSkipped", {0x0C, 0x0C, 0xC0, 7, 0xC0}, {{7}}},
    ReceiveCase{"NoEnd", {1, 2, 3}, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SlipReceive, LongestFrameIsOneLessThanTheCapacity)
{
    Bytes bytes{0xC0};
    bytes.insert(bytes.end(), 1023, 0x11);
    bytes.push_back(0xC0);
    const std::vector<Bytes> frames = receive(bytes);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].size(), 1023u);
}

TEST(SlipReceive, FullFrameIsDroppedAndTheNextOneReceived)
{
    Bytes bytes{0xC0};
    bytes.insert(bytes.end(), 1024, 0x11);
    bytes.insert(bytes.end(), {0xC0, 3, 0xC0});
    EXPECT_EQ(receive(bytes, 100), (std::vector<Bytes>{{3}}));
}

TEST(SlipReceive, EscapedByteThatFillsTheBufferDropsTheFrame)
{
    EXPECT_EQ(receive({0xC0, 1, 0xDB, 0xDC, 0xC0, 5, 0xC0}, 1, 2), (std::vector<Bytes>{{5}}));
}

TEST(SlipReceive, ResetForgetsAPartialFrame)
{
    uint8_t buffer[16];
    SlipContext context{0, buffer, sizeof buffer, 0};
    g_frames.clear();
    const Bytes partial{0xC0, 1, 2};
    slip_receive(context, partial.data(), uint32_t(partial.size()), collect);
    slip_reset(context);
    const Bytes next{9, 0xC0, 4, 0xC0};
    slip_receive(context, next.data(), uint32_t(next.size()), collect);
    EXPECT_EQ(g_frames, (std::vector<Bytes>{{4}}));
}

struct EncodeCase {
    const char *name;
    Bytes packet;
    Bytes frame;
};

class SlipEncode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(SlipEncode, FramesWithTheChecksum)
{
    const EncodeCase &c = GetParam();
    g_encoded.clear();
    EXPECT_TRUE(slip_process(c.packet.data(), int(c.packet.size()), true, put));
    EXPECT_EQ(g_encoded, c.frame);
    EXPECT_LE(g_encoded.size(), slip_encoded_max(uint32_t(c.packet.size())));
    // What is sent is received: the packet and its checksum.
    Bytes withSum = c.packet;
    withSum.push_back(slip_crc8(c.packet.data(), uint32_t(c.packet.size())));
    EXPECT_EQ(receive(c.frame), (std::vector<Bytes>{withSum}));
}

INSTANTIATE_TEST_SUITE_P(Table, SlipEncode, ::testing::Values(
    EncodeCase{"Plain", {1, 2}, {0xC0, 1, 2, 3, 0xC0}},
    EncodeCase{"EndWithEndSum", {0xC0}, {0xC0, 0xDB, 0xDC, 0xDB, 0xDC, 0xC0}},
    EncodeCase{"EscWithEscSum", {0xDB}, {0xC0, 0xDB, 0xDD, 0xDB, 0xDD, 0xC0}},
    EncodeCase{"SumWraps", {0xFF, 0x02}, {0xC0, 0xFF, 0x02, 0x01, 0xC0}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(SlipEncode, EmptyPacketIsTheSumAlone)
{
    g_encoded.clear();
    slip_process(nullptr, 0, true, put);
    EXPECT_EQ(g_encoded, (Bytes{0xC0, 0x00, 0xC0}));
    g_encoded.clear();
    slip_process(nullptr, 0, false, put);
    EXPECT_EQ(g_encoded, (Bytes{0xC0, 0xC0}));
}

TEST(SlipCrc, SumOfTheBytes)
{
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(slip_crc8(abc, 3), 0x26);
    EXPECT_EQ(slip_crc8(abc, 0), 0);
}

} // namespace
