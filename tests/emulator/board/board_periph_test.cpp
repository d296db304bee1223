// The board's pins and peripheral registers.

#include "kolm_hal_pins.h"
#include "kolm_hal_state.h"
#include "vm_fixture.h"

#include <cstring>
#include <ctime>
#include <sstream>
#include <vector>

namespace {

class Periph : public VmTest {
protected:
    Periph()
    {
        g_fault_count = 0;
        kolm_hal_init();
    }
    uint32_t get(uint32_t a) { return kolm_hal_periph_get(a, countFault); }
    uint32_t set(uint32_t a, uint32_t v) { return kolm_hal_periph_set(a, v, countFault); }
};

std::vector<uint8_t> g_sent;
void capture(const uint8_t *bytes, uint32_t length)
{
    g_sent.assign(bytes, bytes + length);
}

} // namespace

TEST_F(Periph, PinIsCreatedOnFirstAccess)
{
    const size_t before = g_pins.size();
    EXPECT_EQ(get(0x40E30000), 0u); // port O, pin 3
    ASSERT_EQ(g_pins.size(), before + 1);
    const IOPin &pin = g_pins.back();
    EXPECT_EQ(pin.id, 0xE3);
    EXPECT_EQ(pin.name(), "PO3");
    EXPECT_EQ(pin.mode, 1u);
    EXPECT_EQ(get(0x40E30008), 1u);
    EXPECT_EQ(g_pins.size(), before + 1);
    EXPECT_EQ(g_fault_count, 0);
}

struct PinStep {
    bool isSet;
    uint32_t offset;
    uint32_t value;
    uint32_t result;
};

class PinRegisters : public Periph, public ::testing::WithParamInterface<std::vector<PinStep>> {};

// Steps on pin PD12 (0x40 3C 0000) in order.
TEST_P(PinRegisters, ReadAndWriteInOrder)
{
    g_pins.clear();
    for (const PinStep &s : GetParam()) {
        const uint32_t address = 0x403C0000 + s.offset;
        EXPECT_EQ(s.isSet ? set(address, s.value) : get(address), s.result) << std::hex << address;
    }
    EXPECT_EQ(g_fault_count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Pins, PinRegisters,
    ::testing::Values(std::vector<PinStep>{{true, 0x0, 5, 1}, {false, 0x0, 0, 1}, {true, 0x4, 0, 0}, {true, 0x4, 0, 1}},
                      std::vector<PinStep>{{true, 0x8, 0x4F3, 0}, {false, 0x8, 0, 0x4F3}},
                      std::vector<PinStep>{{true, 0xC, 0x1234, 0x34}, {false, 0xC, 0, 0x34}},
                      std::vector<PinStep>{{true, 0x10, 0x1FF, 0xFF}, {false, 0x10, 0, 0xFF}},
                      std::vector<PinStep>{{true, 0x0, 0, 0}, {false, 0x0, 0, 0}}));

TEST_F(Periph, PinLogNamesThePin)
{
    set(0x40230000, 1);
    EXPECT_TRUE(logged("called PC3 = 1"));
    set(0x40230010, 300);
    EXPECT_TRUE(logged("called set PC3 duty to 300"));
}

TEST_F(Periph, UnservedRegistersAreRefused)
{
    const uint32_t refusedGets[] = {0x40230004, 0x40230014, 0x4100001C, 0x4110001C, 0x4111000C, 0x41300008,
                                    0x41400000, 0x41400008, 0x41200000, 0x41500000};
    for (uint32_t address : refusedGets) {
        KOLM_VM.flags = 0;
        const int faults = g_fault_count;
        EXPECT_EQ(get(address), 0u);
        EXPECT_TRUE(g_fault_count > faults || (KOLM_VM.flags & KOLM_FLAG_SEGV)) << std::hex << address;
    }
    EXPECT_TRUE(logged("segmentation fault at kolm_hal_periph_get"));
    EXPECT_TRUE(logged("invalid gettime argument 28"));
    EXPECT_EQ(set(0x41000000, 2020), 0u);
    EXPECT_EQ(set(0x41110004, 1), 0u);
    EXPECT_TRUE(logged("segmentation fault at kolm_hal_periph_set"));
    EXPECT_EQ(kolm_hal_periph_get(0x41500000, nullptr), 0u);
}

TEST_F(Periph, ClockFieldsAreTheLocalTime)
{
    const std::time_t before = std::time(nullptr);
    const uint32_t epoch = get(0x41000018);
    const std::time_t after = std::time(nullptr);
    EXPECT_GE(epoch, uint32_t(before));
    EXPECT_LE(epoch, uint32_t(after));
    std::tm local{};
    localtime_r(&before, &local);
    EXPECT_NEAR(double(get(0x41000000)), local.tm_year + 1900, 1);
    const uint32_t month = get(0x41000004), day = get(0x41000008);
    EXPECT_TRUE(month >= 1 && month <= 12);
    EXPECT_TRUE(day >= 1 && day <= 31);
    EXPECT_LE(get(0x4100000C), 23u);
    EXPECT_LE(get(0x41000010), 59u);
    EXPECT_LE(get(0x41000014), 60u);
    EXPECT_EQ(set(0x41000018, 5), 0u);
    EXPECT_TRUE(logged("warning: silently ignore settime command"));

    uint8_t text[32];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(kolm_hal_periph_read(0x4100001C, text, 19, countFault), 19u);
    EXPECT_EQ(text[4], '.');
    EXPECT_EQ(text[13], ':');
    EXPECT_EQ(text[19], '#'); // no terminator beyond the room given
    EXPECT_EQ(kolm_hal_periph_read(0x4100001C, text, 18, countFault), 0u);
    EXPECT_EQ(g_fault_count, 1);
}

TEST_F(Periph, SystemInformation)
{
    KOLM_VM.table.bss = 16;
    EXPECT_EQ(get(0x41100000), 1024u);
    EXPECT_EQ(get(0x41100004), 128u);
    EXPECT_EQ(get(0x41100008), 240u);
    EXPECT_EQ(get(0x4110000C), 0x20000010u);
    EXPECT_EQ(get(0x41100014), 4u);
    KOLM_VM.table.bss = 300; // globals reaching into the stack: no free RAM
    EXPECT_EQ(get(0x41100008), 0u);
    get(0x41100010);
    EXPECT_EQ(set(0x41100018, 65535), 0u);
    EXPECT_EQ(get(0x41100018), 0u);
    EXPECT_EQ(set(0x41100018, 0x1234), 0x1234u);
    EXPECT_EQ(kolm_hal_own_address(), 0x1234u);
    kolm_hal_set_own_address(0x4321);
    EXPECT_EQ(get(0x41100018), 0x4321u);
    EXPECT_EQ(g_fault_count, 0);
}

TEST_F(Periph, RingSizeMustBeAPowerOfTwoUpTo64)
{
    for (uint32_t bad : {0u, 1u, 3u, 48u, 128u, 0xFFFFFFFFu}) {
        EXPECT_EQ(set(0x41110000, bad), 0u) << bad;
    }
    EXPECT_EQ(g_fault_count, 6);
    EXPECT_EQ(set(0x41110000, 64), 64u);
    EXPECT_EQ(get(0x41110000), 64u);
    EXPECT_EQ(set(0x41110000, 4), 4u); // set up once: the size stays
    EXPECT_EQ(get(0x41110000), 64u);

    while (get(0x41110008) != 0xFFFFFFFF) {
    }
    EXPECT_EQ(set(0x4111000C, 0x1AB), 1u);
    const uint8_t block[3] = {1, 2, 3};
    EXPECT_EQ(kolm_hal_periph_write(0x41110010, block, 3, countFault), 1u);
    EXPECT_EQ(get(0x41110004), 4u);
    EXPECT_EQ(get(0x41110008), 0xABu);
    EXPECT_EQ(get(0x41110008), 1u);
    const std::vector<uint8_t> tooMany(63, 7);
    EXPECT_EQ(kolm_hal_periph_write(0x41110010, tooMany.data(), 63, countFault), 0u);
    EXPECT_EQ(get(0x41110004), 63u);
    EXPECT_EQ(set(0x4111000C, 9), 0u);
    EXPECT_EQ(g_fault_count, 6);
}

TEST_F(Periph, StoragePagesAndWritesAtItsEnd)
{
    const uint8_t bytes[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(get(0x41400004), 0x41400004u);
    EXPECT_EQ(kolm_hal_periph_write(0x41400004 + 1020, bytes, 10, countFault), 4u);
    EXPECT_EQ(kolm_hal_periph_write(0x41400004 + 1024, bytes, 10, countFault), 0u);
    EXPECT_EQ(kolm_hal_periph_write(0x41400004 + 100, bytes, 10, countFault), 10u);
    EXPECT_EQ(kolm_hal_periph_write(0x41400004 + 200, bytes, 10, countFault), 10u);
    uint8_t back[16] = {};
    EXPECT_EQ(kolm_hal_periph_read(0x41400004 + 1018, back, 16, countFault), 6u);
    const uint8_t expected[6] = {0xFF, 0xFF, 1, 2, 3, 4};
    EXPECT_EQ(std::memcmp(back, expected, 6), 0);

    EXPECT_EQ(set(0x41400000, 130), 0u); // erases bytes 128-255
    KolmArea storage = kolm_hal_periph_address(0x41400004);
    ASSERT_EQ(storage.size, 1024u);
    EXPECT_EQ(storage.data[100], 1);
    EXPECT_EQ(storage.data[200], 0xFF);
    EXPECT_EQ(set(0x41400000, 1024), 0u);
    EXPECT_EQ(storage.data[1022], 3);
    EXPECT_EQ(kolm_hal_periph_address(0x41400004 + 1023).size, 1u);
    EXPECT_EQ(kolm_hal_periph_address(0x41400004 + 1024).data, nullptr);
    EXPECT_EQ(g_fault_count, 0);
}

TEST_F(Periph, ConsoleAndMessagesAtMost58Bytes)
{
    kolm_hal_set_pc_tx(capture);
    const std::vector<uint8_t> bytes(59, 'x');
    g_sent.clear();
    EXPECT_EQ(kolm_hal_periph_write(0x41200000, bytes.data(), 58, countFault), 58u);
    EXPECT_EQ(g_sent.size(), 58u);
    g_sent.clear();
    EXPECT_EQ(kolm_hal_periph_write(0x41200000, bytes.data(), 59, countFault), 0u);
    EXPECT_TRUE(g_sent.empty());

    EXPECT_EQ(set(0x41300000, 0x10000), 1u);
    EXPECT_EQ(set(0x41300004, 0x13), 3u);
    EXPECT_EQ(kolm_hal_periph_write(0x4130000C, bytes.data(), 3, countFault), 3u);
    EXPECT_TRUE(logged("called send_msg(addr=1, port=3)"));
    EXPECT_EQ(kolm_hal_periph_write(0x4130000C, bytes.data(), 59, countFault), 0u);
    EXPECT_EQ(get(0x41300014), 0u);
    kolm_hal_set_pc_tx(nullptr);
    EXPECT_EQ(g_fault_count, 0);
}

TEST_F(Periph, ReceivedMessageRegisters)
{
    kolm_hal_fill_message(0xABCD, 0x17, "hello", 5);
    EXPECT_EQ(get(0x41300000), 0xABCDu);
    EXPECT_EQ(get(0x41300004), 7u);
    EXPECT_EQ(get(0x41300010), 5u);
    uint8_t text[8] = {};
    EXPECT_EQ(kolm_hal_periph_read(0x41300008, text, 4, countFault), 0u);
    EXPECT_EQ(kolm_hal_periph_read(0x41300008, text, 8, countFault), 5u);
    EXPECT_EQ(std::memcmp(text, "hello", 5), 0);
    KolmArea data = kolm_hal_periph_address(0x41300008);
    EXPECT_EQ(data.size, 58u);
    EXPECT_EQ(std::memcmp(data.data, "hello", 5), 0);
    EXPECT_EQ(kolm_hal_periph_address(0x41300009).data, nullptr);
    EXPECT_TRUE(logged("warning: address is invalid"));
    EXPECT_EQ(g_fault_count, 0);
}

TEST_F(Periph, InitFillsStorageAndKeepsPins)
{
    set(0x40010000, 1);
    const uint8_t zero = 0;
    kolm_hal_periph_write(0x41400004, &zero, 1, countFault);
    kolm_hal_init();
    EXPECT_EQ(kolm_hal_periph_address(0x41400004).data[0], 0xFF);
    EXPECT_EQ(get(0x40010000), 1u);
}

TEST_F(Periph, EveryAccessIsLoggedWithItsArguments)
{
    uint8_t bytes[4] = {0xDE, 0xAD, 0x00, 0x01};
    std::ostringstream pointer;
    pointer << static_cast<void *>(bytes);
    get(0x40230000);
    set(0x4023000C, 77);
    kolm_hal_periph_write(0x41400004 + 9, bytes, 4, countFault);
    kolm_hal_periph_read(0x41400004 + 9, bytes, 2, countFault);
    set(0x41400000, 300);
    const std::string lines[] = {
        "asm hal note: called kolm_hal_periph_get(0x40230000)\n",
        "asm hal note: called kolm_hal_periph_set(0x4023000c, 77)\n",
        "asm hal note: called periph_write(0x4140000d, " + pointer.str() + ", 4)\n",
        "asm hal note: called kolm_hal_rom_write(addr=9, data=" + pointer.str() + ", size=4)\n",
        "asm hal note: written [dead0001]\n",
        "asm hal note: called periph_read(0x4140000d, " + pointer.str() + ", 2)\n",
        "asm hal note: called kolm_hal_rom_read(addr=9, data=" + pointer.str() + ", size=2)\n",
        "asm hal note: read [dead]\n",
        "asm hal note: called kolm_hal_rom_erase(addr=300)\n",
    };
    for (const std::string &line : lines)
        EXPECT_TRUE(logged(line)) << line << log.str();
    EXPECT_EQ(g_fault_count, 0);
}

TEST_F(Periph, StorageDumpIsTheRawStorage)
{
    const uint8_t bytes[2] = {0x12, 0x00};
    kolm_hal_periph_write(0x41400004 + 1022, bytes, 2, countFault);
    std::ostringstream dump;
    kolm_hal_dump_rom(dump);
    const std::string raw = dump.str();
    ASSERT_EQ(raw.size(), 1024u);
    EXPECT_EQ(raw.substr(1020), std::string("\xFF\xFF\x12\x00", 4));
}
