// Image checks of kolm_vm_init and the simulated ROM.

#include "vm_fixture.h"

#include <cstring>
#include <functional>

using namespace kolm_isa;

namespace {

ImageBuilder minimalImage()
{
    ImageBuilder image;
    image.ins(OP_halt);
    return image;
}

void setU16(std::string &image, size_t offset, uint16_t value)
{
    image[offset] = char(value & 0xFF);
    image[offset + 1] = char(value >> 8);
}

void setU32(std::string &image, size_t offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[offset + i] = char(value >> (8 * i));
}

struct InitCase {
    const char *name;
    std::function<void(std::string &)> mutate;
    uint32_t code;
    const char *message;
};

const InitCase kInitCases[] = {
    {"valid", [](std::string &) {}, 0, ""},
    {"truncated", [](std::string &i) { i.pop_back(); }, 1, "code truncated"},
    {"code_shorter_than_entry_table", [](std::string &i) { setU16(i, 10, 23); }, 1, "code truncated"},
    {"code_without_entry_table", [](std::string &i) { setU16(i, 10, 0); }, 1, "code truncated"},
    {"code_only_entry_table", [](std::string &i) { setU16(i, 10, 24); }, 0, ""},
    {"swapped_bom", [](std::string &i) { setU16(i, 0, 0xFEFF); }, 2, "Wrong platform endianness"},
    {"bad_bom", [](std::string &i) { setU16(i, 0, 0x1234); }, 2, "invalid bom 0x1234"},
    {"magic", [](std::string &i) { setU16(i, 2, 0xA0A2); }, 3, "invalid header a0a2"},
    {"revision_6", [](std::string &i) { setU16(i, 4, 6); }, 4, "unsupported language revision 0.6"},
    {"revision_1_0", [](std::string &i) { setU16(i, 4, 0x0100); }, 4, "unsupported language revision 1.0"},
    {"code_tag", [](std::string &i) { i[8] = 'X'; i[9] = 'Y'; }, 5, "bytecode section not found: XY"},
    {"main_in_header", [](std::string &i) { setU32(i, 12, 35); }, 6, "invalid main entry 35 for 12+24"},
    {"bss_too_large", [](std::string &i) { setU32(i, 32, 769); }, 7, "invalid bss size"},
    {"bss_whole_ram", [](std::string &i) { setU32(i, 32, 768); }, 0, ""},
};

class InitCodes : public VmTestP<InitCase> {};

} // namespace

TEST_P(InitCodes, ReportsCodeAndMessage)
{
    const InitCase &c = GetParam();
    std::string image = minimalImage().build();
    c.mutate(image);
    loadImage(image);
    EXPECT_EQ(kolm_vm_init(), c.code);
    EXPECT_TRUE(logged(c.message)) << log.str();
    if (c.code == 0) {
        EXPECT_EQ(KOLM_VM.ctx.EIP, 36u);
        EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Image, InitCodes, ::testing::ValuesIn(kInitCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST_F(VmTest, ShortImageFailsACheckAndFaults)
{
    loadImage(std::string("\xFE\xFF\xA1\xA0\x05\x00", 6));
    EXPECT_EQ(kolm_vm_init(), 5u);
    EXPECT_TRUE(KOLM_VM.flags & KOLM_FLAG_SEGV);
    EXPECT_TRUE(logged("asm error: segmentation fault at 0x00000000"));
}

TEST_F(VmTest, EmptyRomFailsWithoutReadingAnything)
{
    kolm_rom_erase();
    EXPECT_EQ(kolm_vm_init(), 2u);
    EXPECT_EQ(kolm_vm_rom_u8(0), 0u);
    EXPECT_EQ(kolm_vm_rom_u32(0), 0u);
    EXPECT_EQ(kolm_vm_rom(0, 1), nullptr);
}

TEST_F(VmTest, DataSectionOnlyWhenTaggedAtTextEnd)
{
    ImageBuilder plain = minimalImage();
    ASSERT_EQ(load(plain), 0u);
    EXPECT_EQ(KOLM_VM.text_start, 12u);
    EXPECT_EQ(KOLM_VM.text_end, 37u);
    EXPECT_EQ(KOLM_VM.data_start, 0u);
    EXPECT_EQ(KOLM_VM.data_end, 0u);

    ImageBuilder withData = minimalImage();
    withData.data("hello");
    ASSERT_EQ(load(withData), 0u);
    EXPECT_EQ(KOLM_VM.data_start, 41u);
    EXPECT_EQ(KOLM_VM.data_end, 46u);
}

TEST_F(VmTest, BssZeroesOnlyTheGlobals)
{
    std::memset(KOLM_VM.ctx.RAM, 0xAA, sizeof KOLM_VM.ctx.RAM);
    ImageBuilder none = minimalImage();
    ASSERT_EQ(load(none), 0u);
    EXPECT_EQ(KOLM_VM.ctx.RAM[0], 0xAA);

    ImageBuilder eight = minimalImage();
    eight.bss(8);
    ASSERT_EQ(load(eight), 0u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(KOLM_VM.ctx.RAM[i], 0) << i;
    EXPECT_EQ(KOLM_VM.ctx.RAM[8], 0xAA);
}

TEST_F(VmTest, EntryTableInImageOrder)
{
    ImageBuilder image = minimalImage();
    image.exti(40).msg(41).ack(42).entry(4, 43).bss(44);
    ASSERT_EQ(load(image), 0u);
    uint32_t table[6];
    kolm_vm_table(table);
    const uint32_t expected[6] = {36, 40, 41, 42, 43, 44};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(table[i], expected[i]) << i;
}

TEST_F(VmTest, RomWriteGrowsWithZeroes)
{
    kolm_rom_erase();
    const uint8_t bytes[] = {1, 2};
    ASSERT_TRUE(kolm_rom_write(4, bytes, 2));
    EXPECT_EQ(kolm_rom_size(), 6u);
    uint32_t value = 7;
    EXPECT_TRUE(kolm_rom_get_u32(0, value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(kolm_rom_get_u16(4, value));
    EXPECT_EQ(value, 0x0201u);
    ASSERT_TRUE(kolm_rom_write(0, bytes, 1));
    EXPECT_EQ(kolm_rom_size(), 6u);
    EXPECT_TRUE(kolm_rom_get_u8(0, value));
    EXPECT_EQ(value, 1u);
    EXPECT_FALSE(kolm_rom_write(0xFFFFFFFF, bytes, 2));
    EXPECT_EQ(kolm_rom_size(), 6u);
}

struct RomRange {
    uint32_t offset;
    uint32_t length;
    bool inside;
};

class RomRanges : public VmTestP<RomRange> {};

TEST_P(RomRanges, CheckedWithoutWrapAround)
{
    const uint8_t bytes[8] = {9, 8, 7, 6, 5, 4, 3, 2};
    kolm_rom_erase();
    kolm_rom_write(0, bytes, sizeof bytes);
    const RomRange r = GetParam();
    EXPECT_EQ(kolm_rom_get(r.offset, r.length) != nullptr, r.inside);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u) << "the ROM reports a failed read only to its caller";
    const uint8_t *p = kolm_vm_rom(r.offset, r.length);
    EXPECT_EQ(p != nullptr, r.inside);
    EXPECT_EQ((KOLM_VM.flags & KOLM_FLAG_SEGV) == 0, r.inside);
}

INSTANTIATE_TEST_SUITE_P(Rom, RomRanges,
                         ::testing::Values(RomRange{0, 8, true}, RomRange{8, 0, true}, RomRange{7, 1, true},
                                           RomRange{7, 2, false}, RomRange{9, 0, false},
                                           RomRange{4, 0xFFFFFFFE, false}, RomRange{0xFFFFFFFF, 2, false}));

TEST_F(VmTest, RomReadsPastTheEndFaultWithFallbacks)
{
    const uint8_t bytes[3] = {0x11, 0x22, 0x33};
    kolm_rom_erase();
    kolm_rom_write(0, bytes, 3);
    uint32_t value = 7;
    EXPECT_FALSE(kolm_rom_get_u16(2, value));
    EXPECT_EQ(value, 7u);
    EXPECT_FALSE(KOLM_VM.flags & KOLM_FLAG_SEGV);
    EXPECT_EQ(kolm_vm_rom_u8(3), 0x11u);
    EXPECT_EQ(kolm_vm_rom_u16(2), 0u);
    EXPECT_EQ(kolm_vm_rom_u32(0), 0u);
    EXPECT_EQ(kolm_vm_rom_u16(1), 0x3322u);
    EXPECT_TRUE(KOLM_VM.flags & KOLM_FLAG_SEGV);
}
