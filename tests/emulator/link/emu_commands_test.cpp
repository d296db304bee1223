// The device command answers of the emulator link, called directly.

#include "emu_commands.h"
#include "emu_link.h"
#include "kolm_slip.h"
#include "vm_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bytes = std::string;
using namespace kolm_isa;

Bytes u32(uint32_t v)
{
    return Bytes{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
}

class EmuCommands : public VmFixture, public ::testing::Test
{
protected:
    EmuCommands()
    {
        kolm_rom_erase();
        const uint8_t config[EMU_CONFIG_SIZE] = {0x92, 0x84, 0x34, 0x12, 0, 0, 0, 0};
        emu_config_set(config);
    }

    // The reply data after the echoed command and sub-code.
    Bytes command(uint8_t cmd, uint16_t sub, const Bytes &data = {})
    {
        const Bytes payload = Bytes{char(cmd), char(sub), char(sub >> 8)} + data;
        EmuReply reply;
        reply.begin(EMU_PORT_MANAGEMENT, kolm_hal_own_address());
        emu_management_command(reinterpret_cast<const uint8_t *>(payload.data()), uint32_t(payload.size()), reply);
        const Bytes bytes(reinterpret_cast<const char *>(reply.data()), reply.length());
        EXPECT_EQ(bytes.substr(0, 9), Bytes("\x00\x21\x34\x12\x34\x12", 6) + payload.substr(0, 3));
        return bytes.substr(9);
    }

    Bytes board(uint8_t operation, uint32_t address, const Bytes &data = {})
    {
        const Bytes payload = Bytes(1, char(operation)) + u32(address) + data;
        EmuReply reply;
        reply.begin(EMU_PORT_BOARD, kolm_hal_own_address());
        emu_board_operation(reinterpret_cast<const uint8_t *>(payload.data()), uint32_t(payload.size()), reply);
        return Bytes(reinterpret_cast<const char *>(reply.data()), reply.length()).substr(11);
    }

    Bytes config()
    {
        uint8_t block[EMU_CONFIG_SIZE];
        emu_config_get(block);
        return Bytes(reinterpret_cast<const char *>(block), sizeof block);
    }
};

struct AnswerCase {
    const char *name;
    uint8_t command;
    uint16_t sub;
    Bytes reply;
};

class ConstantAnswers : public EmuCommands, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(ConstantAnswers, Reply)
{
    const AnswerCase &c = GetParam();
    EXPECT_EQ(command(c.command, c.sub), c.reply);
}

const Bytes kPins = "PA0/IO1;PA1/IO2;PA2/IO3;PA3/IO4;PA4/IO5";

INSTANTIATE_TEST_SUITE_P(Table, ConstantAnswers, ::testing::Values(
    AnswerCase{"OwnAddress", 1, 0, "\x34\x12"},
    AnswerCase{"Info2", 1, 2, u32(0x20000)},
    AnswerCase{"HeaderWord", 1, 5, u32(0x58492)},
    AnswerCase{"PinList", 2, 0, kPins},
    AnswerCase{"PinListFrom10", 2, 10, kPins.substr(10)},
    AnswerCase{"PinListPastItsEnd", 2, 39, ""},
    AnswerCase{"Configuration", 3, 7, Bytes("\x92\x84\x34\x12\0\0\0\0", 8)},
    AnswerCase{"Five", 5, 0, u32(0)},
    AnswerCase{"Sixteen", 16, 0, Bytes("\xFF\xFF\x00", 3)},
    AnswerCase{"SixteenOther", 16, 1, ""},
    AnswerCase{"ImageSizeEmpty", 32, 1, u32(0)},
    AnswerCase{"VmSizes", 36, 0, u32(0) + u32(128) + u32(256) + u32(7)},
    AnswerCase{"IsrLevel", 36, 2, u32(0)},
    AnswerCase{"Unknown", 99, 0, ""}),
    [](const auto &info) { return std::string(info.param.name); });

struct RangeCase {
    const char *name;
    uint8_t command;
    uint16_t offset;
    size_t size;
};

class ReadRanges : public EmuCommands, public ::testing::WithParamInterface<RangeCase> {};

// ROM of 100 bytes, RAM of 768.
TEST_P(ReadRanges, Size)
{
    const RangeCase &c = GetParam();
    kolm_rom_write(0, std::string(100, 'r').data(), 100);
    EXPECT_EQ(command(c.command, c.offset).size(), c.size);
}

INSTANTIATE_TEST_SUITE_P(Table, ReadRanges, ::testing::Values(
    RangeCase{"RomStart", 33, 0, 55},
    RangeCase{"RomTail", 33, 60, 40},
    RangeCase{"RomEnd", 33, 100, 0},
    RangeCase{"RamTail", 38, 760, 8},
    RangeCase{"RamEnd", 38, 768, 0}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EmuCommands, ConfigurationWriteNeedsAWholeBlock)
{
    const Bytes block("\x92\x04\x21\x43\x10\0\0\0", 8);
    EXPECT_EQ(command(4, 0, block.substr(0, 7)), "");
    EXPECT_EQ(config(), Bytes("\x92\x84\x34\x12\0\0\0\0", 8));
    EXPECT_EQ(command(4, 1, block), "");
    EXPECT_EQ(config(), Bytes("\x92\x84\x34\x12\0\0\0\0", 8));
    EXPECT_EQ(command(4, 0, block), "");
    EXPECT_EQ(config(), block);
    EXPECT_EQ(kolm_hal_own_address(), 0x4321);
}

TEST_F(EmuCommands, FactoryResetKeepsAddressAndBit15)
{
    const uint8_t custom[EMU_CONFIG_SIZE] = {0xFF, 0xFF, 0x34, 0x12, 9, 0, 0, 0};
    emu_config_set(custom);
    kolm_rom_write(0, "abc", 3);
    EXPECT_EQ(command(6, 3), "");
    EXPECT_EQ(config(), Bytes("\x92\x84\x34\x12\0\0\0\0", 8));
    EXPECT_EQ(kolm_rom_size(), 0u);
}

TEST_F(EmuCommands, ScriptWriteStoresAtTheOffset)
{
    EXPECT_EQ(command(34, 10, "xyz"), u32(0));
    EXPECT_EQ(kolm_rom_size(), 13u);
    EXPECT_EQ(command(33, 10), "xyz");
    EXPECT_EQ(command(32, 1), u32(13));
}

struct MessageCase {
    const char *name;
    uint32_t isr;
    size_t length;
    const char *warning; // null: delivered
};

class ScriptMessages : public EmuCommands, public ::testing::WithParamInterface<MessageCase> {};

// A port-0 packet in a frame with its checksum.
TEST_P(ScriptMessages, DeliveredOrDropped)
{
    const MessageCase &c = GetParam();
    KOLM_VM.ctx.ISR = c.isr;
    Bytes frame = Bytes("\x00\x02\xFF\xFF\xFF\xFF", 6) + Bytes(c.length, 'm');
    frame += char(slip_crc8(reinterpret_cast<const uint8_t *>(frame.data()), uint32_t(frame.size())));
    emu_cmd_received(reinterpret_cast<const uint8_t *>(frame.data()), uint32_t(frame.size()));
    if (c.warning) {
        EXPECT_TRUE(logged(c.warning)) << log.str();
        EXPECT_FALSE(logged("sending to the kolm script"));
    } else {
        EXPECT_TRUE(logged("sending to the kolm script: from 0x1234 mmm")) << log.str();
        EXPECT_EQ(kolm_hal_periph_get(0x41300010, nullptr), c.length);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ScriptMessages, ::testing::Values(
    MessageCase{"Longest", 1, 58, nullptr},
    MessageCase{"TooLong", 0, 59, "message too long - drop"},
    MessageCase{"InsideMessageRoutine", 2, 3, "cannot interrupt - message lost"},
    MessageCase{"InsideAcknowledge", 4, 3, "cannot interrupt - message lost"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(EmuCommands, StepNeedsAnImageAndNoFault)
{
    KOLM_VM.ctx.EIP = 36;
    EXPECT_EQ(command(35, 4), "");
    EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
    ASSERT_EQ(load(ImageBuilder().ins(OP_sto, {REG_EAX, 3}).ins(OP_halt)), 0u);
    KOLM_VM.flags = KOLM_FLAG_SEGV;
    EXPECT_EQ(command(35, 4), "");
    EXPECT_EQ(KOLM_VM.ctx.EAX, 0u);
    KOLM_VM.flags = KOLM_FLAG_HALT;
    EXPECT_EQ(command(35, 4), "");
    EXPECT_EQ(KOLM_VM.ctx.EAX, 3u);
}

TEST_F(EmuCommands, StartOfABadImageFaultsAndHalts)
{
    kolm_rom_write(0, std::string(40, 'x').data(), 40);
    EXPECT_EQ(command(35, 1), "");
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_STOPPED, KOLM_FLAG_STOPPED);
}

class BoardWrites : public EmuCommands, public ::testing::WithParamInterface<uint8_t> {};

// A refused write reads as no reply data, like an operation outside the
// table, never as a result.
TEST_P(BoardWrites, LongerThanTheReplyAreaIsRefusedWithAnEmptyReply)
{
    EXPECT_EQ(board(GetParam(), 0x41200000, std::string(54, 'x')), "");
    EXPECT_TRUE(logged("board write too long"));
}

INSTANTIATE_TEST_SUITE_P(Table, BoardWrites, ::testing::Values(uint8_t(3), uint8_t(4)),
                         [](const auto &info) { return "Operation" + std::to_string(info.param); });

TEST_F(EmuCommands, BoardReadOfTheClock)
{
    EXPECT_EQ(board(2, 0x4100001C).size(), 19u);
}
} // namespace
