// The state printers and the program's log level word.

#include "kdb_options.h"
#include "kolm_dbg_print.h"
#include "kolm_state_print.h"
#include "kolm_p_stack.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

_VM_Context contextWithStack(uint32_t esp)
{
    _VM_Context c{};
    c.EAX = 0x1A;
    c.EBX = 2;
    c.ECX = 3;
    c.EDX = 0xFFFFFFFF;
    c.EIP = 0x30;
    c.EBP = 1;
    c.ESP = esp;
    c.ISR = 2;
    for (uint32_t i = 0; i < KOLM_PRINT_STACK_SLOTS; ++i) {
        const uint32_t value = 0x100 + i;
        std::memcpy(c.RAM + kolm_vm_stack_offset(i), &value, 4);
    }
    return c;
}

const char kRegisterLines[] =
    "%EAX\t1a\t%EBX\t2\n%ECX\t3\t%EDX\tffffffff\n%EIP\t30\t%EBP\t1\n";

TEST(ContextPrinter, WithoutStackShowsTheRegistersOnly)
{
    std::ostringstream out;
    out << contextWithStack(0) << 26;
    EXPECT_EQ(out.str(), std::string(kRegisterLines) + "%ESP\t0\t@ISR\t2\n26");
}

TEST(ContextPrinter, ListsTheSlotsInUse)
{
    std::ostringstream out;
    out << contextWithStack(3);
    EXPECT_EQ(out.str(), std::string(kRegisterLines) +
                             "%ESP\t3\t@ISR\t2\nstack[0]\t100\nstack[1]\t101\nstack[2]\t102\n");
}

TEST(ContextPrinter, ListsAtMostTheStacksCapacity)
{
    std::ostringstream out;
    out << contextWithStack(0xFFFFFFFF);
    const std::string text = out.str();
    EXPECT_NE(text.find("stack[7f]\t17f\n"), std::string::npos);
    EXPECT_EQ(text.find("stack[80]"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 14), "stack[7f]\t17f\n");
}

TEST(StackTable, MarksTheSlotsInUse)
{
    for (uint32_t esp : {0u, 3u}) {
        std::ostringstream out;
        printKolmStack(contextWithStack(esp), out);
        const std::string text = out.str();
        const std::string first = esp ? "Stack:\n*0x00000100 *0x00000101 *0x00000102  0x00000103"
                                       : "Stack:\n 0x00000100  0x00000101  0x00000102  0x00000103";
        EXPECT_EQ(text.rfind(first, 0), 0u) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '*'), esp);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 17);
        EXPECT_NE(text.find("\n 0x00000108  0x00000109"), std::string::npos);
        EXPECT_EQ(text.substr(text.size() - 12), " 0x0000017f\n");
    }
}

TEST(RamTable, ShowsTheGlobalsSixteenBytesALine)
{
    _VM_Context c{};
    for (uint32_t i = 0; i < KOLM_RAM_SIZE; ++i)
        c.RAM[i] = uint8_t(i);
    std::ostringstream out;
    printKolmRam(c, out);
    const std::string text = out.str();
    EXPECT_EQ(text.rfind("RAM:\n 0x00  0x01  0x02", 0), 0u);
    EXPECT_NE(text.find("  0x0f\n 0x10  0x11"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 11), "0xfe  0xff\n");
    // "RAM:", six characters a byte, the closing line feed: RAM beyond the
    // globals' part is not shown.
    EXPECT_EQ(text.size(), 4u + 256 * 6 + 1);
}

TEST(FlagsPrinter, ErrorNumberAndBits)
{
    std::ostringstream out;
    out << std::hex;
    printKolmFlags(0x1A | KOLM_FLAG_SEGV | KOLM_FLAG_HALT, out);
    out << 26;
    EXPECT_EQ(out.str(), "Flags:\n\tError:\t1a\n\tSEGV:\tset\n\tSUSP:\tclear\n\tIRQD:\tclear\n\tHALT:\tset"
                         "\n\tACK_ON:\tclear\n\tCRYPT:\tclear\n26");
}

_KOLM_VTable sampleTable()
{
    return _KOLM_VTable{36, 100, 0x200, 3, 4, 16};
}

TEST(EntryTable, TextFormLeavesTheStreamDecimal)
{
    std::ostringstream out;
    out << std::hex << sampleTable() << 26;
    EXPECT_EQ(out.str(), "main\texti\tmsg\n24\t64\t200\nsegv\tack\tbss\n4\t3\t10\n26");
}

TEST(EntryTable, JsonAndXmlFormsAreDecimalWhateverTheStreamsMode)
{
    std::ostringstream json, xml;
    json << std::hex;
    xml << std::hex;
    Padding pad;
    pad.level = 1;
    printVTableJson(sampleTable(), pad, json);
    EXPECT_EQ(pad.level, 1u);
    printVTableXML(sampleTable(), pad, xml);
    EXPECT_EQ(pad.level, 1u);
    EXPECT_EQ(json.str(), "    {\n        \"main\": 36,\n        \"exti\": 100,\n        \"msg\": 512,\n"
                          "        \"ack\": 3,\n        \"segv\": 4,\n        \"bss\": 16\n    }");
    EXPECT_EQ(xml.str(), "    <vtable>\n"
                         "        <entry name=\"main\" address=\"36\" />\n"
                         "        <entry name=\"exti\" address=\"100\" />\n"
                         "        <entry name=\"msg\" address=\"512\" />\n"
                         "        <entry name=\"ack\" address=\"3\" />\n"
                         "        <entry name=\"segv\" address=\"4\" />\n"
                         "        <entry name=\"bss\" address=\"16\" />\n"
                         "    </vtable>\n");
}

TEST(MachinePrinter, ContextTableAndFlags)
{
    _KolmVM vm{};
    vm.ctx = contextWithStack(1);
    vm.table = sampleTable();
    vm.flags = KOLM_FLAG_SUSP;
    std::ostringstream out;
    out << vm;
    EXPECT_EQ(out.str(), std::string("Context:\n") + kRegisterLines + "%ESP\t1\t@ISR\t2\nstack[0]\t100\n"
                         "Table:\nmain\texti\tmsg\n24\t64\t200\nsegv\tack\tbss\n4\t3\t10\n"
                         "Flags:\n\tError:\t0\n\tSEGV:\tclear\n\tSUSP:\tset\n\tIRQD:\tclear\n\tHALT:\tclear"
                         "\n\tACK_ON:\tclear\n\tCRYPT:\tclear\n");
}

TEST(RamDump, WritesTheRamAsItStands)
{
    _KolmVM vm{};
    vm.ctx.RAM[0] = 'a';
    vm.ctx.RAM[767] = 'z';
    std::ostringstream out;
    kolm_vm_dump_ram(vm, out);
    ASSERT_EQ(out.str().size(), 768u);
    EXPECT_EQ(out.str().front(), 'a');
    EXPECT_EQ(out.str().back(), 'z');
}

TEST(ValueTexts, ZeroFilledLowercase)
{
    EXPECT_EQ(printUchar(0), "0x00");
    EXPECT_EQ(printUchar(0xAB), "0xab");
    EXPECT_EQ(printTVar(0x3C), "0x0000003c");
    EXPECT_EQ(printTVar(0xDEADBEEF), "0xdeadbeef");
}

TEST(ProgramOptions, DefaultsWithoutTheOptions)
{
    StdCommandLineParser parser;
    kdb_declare_options(parser);
    const char *argv[] = {"halvane-kdb"};
    ASSERT_TRUE(parser.parse(1, argv));
    EXPECT_EQ(parser.value("port"), "5542");
    EXPECT_EQ(parser.value("level"), "error");
    EXPECT_EQ(parser.value("output"), "");
    EXPECT_FALSE(parser.isSet("port"));
    EXPECT_EQ(parser.applicationDescription, "Kolm Debugger (halvane).");
    EXPECT_EQ(parser.applicationVersion, "0.5.0");
}

struct LevelCase {
    std::vector<std::string> args;
    uint32_t word;
};

class LevelWord : public ::testing::TestWithParam<LevelCase> {};

TEST_P(LevelWord, FromTheCommandLine)
{
    StdCommandLineParser parser;
    kdb_declare_options(parser);
    std::vector<const char *> argv{"halvane-kdb"};
    for (const std::string &a : GetParam().args)
        argv.push_back(a.c_str());
    ASSERT_TRUE(parser.parse(int(argv.size()), argv.data()));
    EXPECT_EQ(kdb_level_word(parser), GetParam().word);
}

INSTANTIATE_TEST_SUITE_P(Table, LevelWord, ::testing::Values(
    LevelCase{{}, 0x120},
    LevelCase{{"-l", "debug"}, 0x120},
    LevelCase{{"--level=warn", "--log-net"}, 0x1A1},
    LevelCase{{"--level=warn", "--log-net", "--no-core"}, 0x181},
    LevelCase{{"-l", "info", "--log-hal", "--log-emu"}, 0x172}));

} // namespace
