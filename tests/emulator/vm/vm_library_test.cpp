// Library opcodes, the formatter and the address resolver.

#include "kolm_sprintf.h"
#include "vm_fixture.h"

#include <algorithm>
#include <array>
#include <cstring>

using namespace kolm_isa;

namespace {

constexpr uint32_t RAM = 0x20000000;
constexpr uint32_t DATA = 0x08000000;

// Data section: "red\0" at 0, "green\0" at 4, "%d-%s\0" at 10, then at 16
// an array of literals (count 2, addresses of "red" and "green"), at 25
// an array of numbers (count 3: 7, 0x80000000, 9) and at 38 an array of
// literals whose first element lies past the data section.
std::string dataSection()
{
    std::string d("red\0green\0%d-%s\0", 16);
    auto u32 = [&d](uint32_t v) {
        for (int i = 0; i < 4; ++i)
            d.push_back(char(v >> (8 * i)));
    };
    d.push_back(2);
    u32(DATA + 0);
    u32(DATA + 4);
    d.push_back(3);
    u32(7);
    u32(0x80000000);
    u32(9);
    d.push_back(2);
    u32(DATA + 0x1000);
    u32(DATA + 0);
    return d;
}

// Up to four words: arguments of a library opcode (a[0] first) or of a
// formatter call.
struct Words {
    Words(std::initializer_list<uint32_t> list) : count(uint32_t(list.size()))
    {
        std::copy(list.begin(), list.end(), values.begin());
    }
    std::array<uint32_t, 4> values{};
    uint32_t count;
};

struct Call {
    uint8_t opcode;
    Words args;
};

class Library : public VmTest {
protected:
    // Runs one library opcode on the given arguments with the start of RAM
    // set to ramText (the arguments themselves lie in the top 16 bytes);
    // returns EAX.
    uint32_t call(const Call &c, const std::string &ramText = "", bool withData = true)
    {
        ImageBuilder image;
        for (uint32_t i = c.args.count; i-- > 0;)
            image.ins(OP_spvi, {c.args.values[i]});
        image.ins(c.opcode).ins(OP_halt);
        if (withData)
            image.data(dataSection());
        EXPECT_EQ(load(image), 0u);
        std::memcpy(KOLM_VM.ctx.RAM, ramText.data(), ramText.size());
        result = kolm_vm_run();
        return KOLM_VM.ctx.EAX;
    }
    bool faulted() const { return result == KOLM_STEP_SEGV; }
    std::string ram(uint32_t offset, uint32_t length) const
    {
        return std::string(reinterpret_cast<const char *>(KOLM_VM.ctx.RAM) + offset, length);
    }
    uint32_t result = 0;
};

} // namespace

TEST_F(Library, MemorySetReachesTheEndOfRam)
{
    EXPECT_EQ(call({OP_mes, {RAM + 760, 'z', 8}}), 8u);
    EXPECT_FALSE(faulted());
    EXPECT_EQ(ram(760, 8), "zzzzzzzz");
    EXPECT_EQ(call({OP_mes, {RAM + 760, 'z', 9}}), 0u);
    EXPECT_TRUE(faulted());
    EXPECT_TRUE(logged("tried writing to illegal address at 200002f8"));
}

TEST_F(Library, MemoryCopyBetweenRamDataAndPeripherals)
{
    EXPECT_EQ(call({OP_mcp, {RAM + 700, DATA + 4, 6}}), 6u);
    EXPECT_EQ(ram(700, 6), std::string("green\0", 6));
    // A range ending exactly at the data end.
    const uint32_t dataLength = uint32_t(dataSection().size());
    EXPECT_EQ(call({OP_mcp, {RAM + 0, DATA + dataLength - 4, 4}}), 4u);
    EXPECT_FALSE(faulted());
    // Overlapping RAM ranges copy like memmove.
    EXPECT_EQ(call({OP_mcp, {RAM + 2, RAM + 0, 4}}, "abcdef"), 4u);
    EXPECT_EQ(ram(0, 6), "ababcd");
    // RAM to storage, and the received message into RAM.
    EXPECT_EQ(call({OP_mcp, {0x41400004 + 10, RAM + 0, 3}}, "xyz"), 3u);
    EXPECT_EQ(std::memcmp(kolm_hal_periph_address(0x41400004 + 10).data, "xyz", 3), 0);
    kolm_hal_fill_message(1, 2, "msg", 3);
    EXPECT_EQ(call({OP_mcp, {RAM + 100, 0x41300008, 3}}), 3u);
    EXPECT_EQ(ram(100, 3), "msg");
    // The image itself is not a source.
    EXPECT_EQ(call({OP_mcp, {RAM, 0x10, 4}}), 0u);
    EXPECT_TRUE(logged("illegal address - tried copying 00000010 to 20000000"));
    // Nor is anything past the data section: one message, one fault.
    log.str("");
    EXPECT_EQ(call({OP_mcp, {RAM, DATA + dataLength + 4, 4}}), 0u);
    EXPECT_TRUE(faulted());
    const std::string text = log.str();
    EXPECT_TRUE(logged("illegal address - tried copying 08") && logged(" to 20000000")) << text;
    EXPECT_EQ(text.find("segmentation fault at"), text.rfind("segmentation fault at")) << text;
}

TEST_F(Library, MemoryCompare)
{
    EXPECT_EQ(call({OP_mcm, {RAM, DATA + 4, 5}}, "green"), 0u);
    EXPECT_EQ(call({OP_mcm, {RAM, DATA + 4, 5}}, "greed"), 1u);
    EXPECT_EQ(call({OP_mcm, {RAM, DATA, 0}}), 0u);
    EXPECT_EQ(call({OP_mcm, {RAM, 0x41300009, 1}}), 1u); // no such peripheral area
    EXPECT_FALSE(faulted());
}

struct ScanCase {
    const char *text;
    uint32_t letter;
    uint32_t value;
};

class Scan : public Library, public ::testing::WithParamInterface<ScanCase> {};

TEST_P(Scan, ReadsAValue)
{
    const ScanCase c = GetParam();
    EXPECT_EQ(call({OP_scf, {RAM, c.letter}}, std::string(c.text) + '\0'), c.value);
    EXPECT_FALSE(faulted());
}

INSTANTIATE_TEST_SUITE_P(
    Letters, Scan,
    ::testing::Values(ScanCase{"1F3", 'x', 0x1F}, ScanCase{"ab12", 'x', 0xAB12}, ScanCase{"0123456789", 'x', 0x01234567},
                      ScanCase{"g1", 'x', 0}, ScanCase{"12345678901", 'd', 1234567890},
                      ScanCase{"4294967296", 'd', 0}, ScanCase{"42abc", 'd', 42}, ScanCase{"x42", 'd', 0},
                      ScanCase{"\xF0", 'c', 0xF0}, ScanCase{"ABCD", 'p', 0x44434241}, ScanCase{"9", 'q', 0}));

struct FormatCase {
    const char *format;
    Words args;
    std::string output;
};

class Format : public Library, public ::testing::WithParamInterface<FormatCase> {};

// Formats into RAM byte 0; RAM bytes 400 on hold "tail" for %s and %r.
TEST_P(Format, WritesTheConversions)
{
    const FormatCase c = GetParam();
    KOLM_VM = _KolmVM{};
    std::memcpy(KOLM_VM.ctx.RAM + 400, "tail", 5);
    std::memset(KOLM_VM.ctx.RAM, '#', 64);
    const uint32_t written = kolm_sprintf(0, reinterpret_cast<const uint8_t *>(c.format),
                                          uint32_t(std::strlen(c.format) + 1), c.args.values.data(), c.args.count);
    EXPECT_EQ(written, c.output.size());
    EXPECT_EQ(ram(0, uint32_t(c.output.size())), c.output);
    EXPECT_EQ(KOLM_VM.ctx.RAM[c.output.size()], '#'); // no terminator
}

INSTANTIATE_TEST_SUITE_P(
    Conversions, Format,
    ::testing::Values(FormatCase{"%d", {0xFFFFFFFF}, "4294967295"}, FormatCase{"%u|%d", {0, 7}, "0|7"},
                      FormatCase{"%x", {255}, "FF"}, FormatCase{"%x", {0}, "0"}, FormatCase{"%o", {8}, "10"},
                      FormatCase{"%b", {5}, "101"}, FormatCase{"%c%c", {0x141, 'k'}, "Ak"},
                      FormatCase{"%p", {0x64636261}, "abcd"}, FormatCase{"[%s]", {RAM + 400}, "[tail]"},
                      FormatCase{"%r", {RAM + 400, 2}, "ta"}, FormatCase{"%r.", {RAM + 400, 0}, "."},
                      FormatCase{"100%%", {}, "100%"}, FormatCase{"%q", {}, "%q"}, FormatCase{"end%", {}, "end"},
                      FormatCase{"plain", {}, "plain"}));

TEST_F(Library, FormatFailsAtTheEndOfItsAreaKeepingWhatWasWritten)
{
    std::memset(KOLM_VM.ctx.RAM + 750, '#', 18);
    const uint32_t args[] = {1234567890};
    const uint8_t format[] = "%d";
    EXPECT_EQ(kolm_sprintf(760, format, sizeof format, args, 1), 0u);
    EXPECT_EQ(ram(760, 8), "12345678");
    EXPECT_EQ(kolm_sprintf(758, format, sizeof format, args, 1), 10u);
    // The peripheral storage holds 58 bytes.
    const std::string wide(60, 'w');
    EXPECT_EQ(kolm_sprintf(KOLM_ADDR_PERIPH, reinterpret_cast<const uint8_t *>(wide.c_str()), 61, nullptr, 0), 0u);
    EXPECT_EQ(kolm_sprintf(KOLM_ADDR_PERIPH + 2, reinterpret_cast<const uint8_t *>(wide.c_str()) + 4, 57, nullptr, 0),
              56u);
    // Output that does not fit is no fault: the script sees 0 and goes on.
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u);
    // A missing argument fails the call and faults.
    EXPECT_EQ(kolm_sprintf(0, format, sizeof format, args, 0), 0u);
    EXPECT_TRUE(logged("sprintf argument missing"));
    EXPECT_TRUE(KOLM_VM.flags & KOLM_FLAG_SEGV);
}

// RAM: "%d" at 0, "x" at 8.
TEST_F(Library, PrintThatDoesNotFitYieldsZeroAndTheScriptGoesOn)
{
    const std::string ramText("%d\0\0\0\0\0\0x\0", 10);
    EXPECT_EQ(call({OP_spf, {RAM + 760, RAM, 1234567890}}, ramText), 0u);
    EXPECT_EQ(result, KOLM_STEP_HALT) << log.str();
    EXPECT_EQ(ram(760, 8), "12345678");
    // Past the end of RAM nothing is written, also not at an alias.
    EXPECT_EQ(call({OP_spf, {0x2FFFFFFF, RAM + 8}}, ramText), 0u);
    EXPECT_EQ(result, KOLM_STEP_HALT) << log.str();
    EXPECT_EQ(ram(0, 2), "%d");
    EXPECT_EQ(call({OP_spf, {RAM + 768, RAM + 8}}, ramText), 0u);
    EXPECT_EQ(result, KOLM_STEP_HALT) << log.str();
}

TEST_F(Library, PrintFormatsFromTheDataSection)
{
    EXPECT_EQ(call({OP_spf, {RAM + 40, DATA + 10, 42, DATA + 4}}), 8u);
    EXPECT_EQ(ram(40, 8), "42-green");
    EXPECT_EQ(call({OP_spf, {0x41400004 + 8, DATA + 10, 7, DATA}}), 5u);
    EXPECT_EQ(std::memcmp(kolm_hal_periph_address(0x41400004 + 8).data, "7-red", 5), 0);
    EXPECT_EQ(call({OP_spf, {0x10, DATA + 10, 7, DATA}}), 0u);
    EXPECT_TRUE(logged("illegal address at sprintf (00000010/0800000a)"));
}

TEST_F(Library, SetMembership)
{
    EXPECT_EQ(call({OP_min, {DATA + 16, RAM, 5}}, "green"), 1u);
    EXPECT_EQ(call({OP_min, {DATA + 16, RAM, 3}}, "red"), 1u);
    EXPECT_EQ(call({OP_min, {DATA + 16, RAM, 4}}, "blue"), 0u);
    EXPECT_FALSE(faulted());
    // An element outside the data section matches nothing.
    EXPECT_EQ(call({OP_min, {DATA + 38, RAM, 3}}, "red"), 1u);
    EXPECT_EQ(call({OP_min, {DATA + 38, RAM, 4}}, "blue"), 0u);
    EXPECT_FALSE(faulted()) << log.str();
    EXPECT_EQ(call({OP_vin, {DATA + 25, 0x80000000}}), 1u);
    EXPECT_EQ(call({OP_vin, {DATA + 25, 9}}), 1u);
    EXPECT_EQ(call({OP_vin, {DATA + 25, 8}}), 0u);
    EXPECT_EQ(call({OP_vin, {RAM, 8}}, std::string(1, '\0')), 0u);
    EXPECT_FALSE(faulted());
}

TEST_F(Library, MissingDataSectionIsReported)
{
    EXPECT_EQ(call({OP_scf, {DATA, 'd'}}, "", false), 0u);
    EXPECT_TRUE(faulted());
    EXPECT_TRUE(logged("tried reading data section at 0, which is missing"));
    EXPECT_TRUE(logged("tried reading from illegal address 08000000"));
}

struct Attack {
    const char *name;
    Call call;
    uint32_t result;
    std::string ram;
};

class Attacks : public Library, public ::testing::WithParamInterface<Attack> {};

TEST_P(Attacks, FaultCleanly)
{
    const Attack &a = GetParam();
    EXPECT_EQ(call(a.call, a.ram), a.result);
    EXPECT_TRUE(faulted()) << log.str();
}

INSTANTIATE_TEST_SUITE_P(
    Library, Attacks,
    ::testing::Values(
        Attack{"mes_wrapping_count", {OP_mes, {RAM + 16, 0, 0xFFFFFFF0}}, 0, ""},
        Attack{"mes_ram_alias", {OP_mes, {0x21000000, 0, 4}}, 0, ""},
        Attack{"mes_below_ram", {OP_mes, {DATA, 0, 4}}, 0, ""},
        Attack{"mcp_wrapping_count", {OP_mcp, {RAM, RAM + 16, 0xFFFFFFF0}}, 0, ""},
        Attack{"mcp_ram_alias_destination", {OP_mcp, {0x21000000, RAM, 4}}, 0, ""},
        Attack{"mcp_past_data_end", {OP_mcp, {RAM, DATA + 40, 16}}, 0, ""},
        Attack{"mcp_huge_data_count", {OP_mcp, {RAM, DATA, 0xFFFFFFFF}}, 0, ""},
        Attack{"mcp_to_storage_past_ram", {OP_mcp, {0x41400004, RAM + 760, 16}}, 0, ""},
        Attack{"mcp_to_storage_wrapping", {OP_mcp, {0x41400004, RAM + 16, 0xFFFFFFF8}}, 0, ""},
        Attack{"mcp_from_missing_peripheral", {OP_mcp, {RAM, 0x41500000, 4}}, 0, ""},
        Attack{"mcm_wrapping_count", {OP_mcm, {RAM, RAM + 4, 0xFFFFFFFF}}, 1, ""},
        Attack{"mcm_past_data", {OP_mcm, {DATA + 30, RAM, 64}}, 1, ""},
        Attack{"mcm_past_ram", {OP_mcm, {RAM + 767, RAM, 2}}, 1, ""},
        Attack{"mcm_ram_alias", {OP_mcm, {0x21000000, RAM, 1}}, 1, ""},
        Attack{"mcm_past_rom", {OP_mcm, {0x00FFFFFF, RAM, 1}}, 1, ""},
        Attack{"scf_word_at_ram_end", {OP_scf, {RAM + 766, 'p'}}, 0, ""},
        Attack{"scf_past_ram", {OP_scf, {RAM + 768, 'd'}}, 0, ""},
        Attack{"spf_raw_past_area", {OP_spf, {RAM + 100, RAM, RAM + 760, 100}}, 0, std::string("%r\0", 3)},
        Attack{"spf_format_past_ram", {OP_spf, {RAM, RAM + 0x300, 1}}, 0, ""},
        Attack{"min_count_past_area", {OP_min, {RAM + 700, RAM, 1}}, 0, std::string(701, '\xFF')},
        Attack{"min_wrapping_length", {OP_min, {DATA + 16, RAM, 0xFFFFFFFF}}, 0, ""},
        Attack{"vin_count_past_area", {OP_vin, {RAM + 740, 1}}, 0, std::string(740, '\0') + "\x7F"},
        Attack{"vin_past_data", {OP_vin, {DATA + 64, 1}}, 0, ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(Library, TextConversionStopsAtTheEndOfRam)
{
    KOLM_VM = _KolmVM{};
    std::memset(KOLM_VM.ctx.RAM + 700, 'k', 68); // no terminator up to the end
    const uint32_t args[] = {RAM + 700};
    const uint8_t format[] = "%s";
    EXPECT_EQ(kolm_sprintf(0, format, sizeof format, args, 1), 68u);
    EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u);
}
