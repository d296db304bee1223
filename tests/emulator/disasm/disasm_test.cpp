// The walk over an image: instruction decoding, the extension area, the
// data symbols and the debug information, in all three listing forms.

#include "disasm_fixture.h"
#include "kolm_dbg_print.h"

using namespace kolm_isa;

namespace {

// ---------------------------------------------------------------- instructions

struct DecodeCase {
    const char *name;
    std::vector<uint8_t> code;
    std::string lines; // the code list of the text form
};

class Decode : public DisasmTestP<DecodeCase> {};

TEST_P(Decode, TextLines)
{
    const DecodeCase &c = GetParam();
    ImageBuilder image;
    for (uint8_t byte : c.code)
        image.raw({byte});
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(codeList(listing(OUTPUT_TEXT)), c.lines);
    EXPECT_FALSE(g_asm_walk.leftImage) << log.str();
}

INSTANTIATE_TEST_SUITE_P(Table, Decode, ::testing::Values(
    DecodeCase{"TwoRegisters", {0xE0, 0, 1, 0xED, 6, 3}, "0x00000024\t cpy\t%EAX\t%EBX;\n0x00000027\trrur\t%ESP\t%EDX;\n"},
    DecodeCase{"RegisterAndImmediate", {0xE1, 2, 0x78, 0x56, 0x34, 0x12}, "0x00000024\t sto\t%ECX\t0x12345678;\n"},
    DecodeCase{"ImmediateAndByte", {0xE2, 0x30, 0, 0, 0, 200}, "0x00000024\tcall\t0x00000030\t200;\n"},
    DecodeCase{"TwoImmediates", {0xE3, 1, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, "0x00000024\t jmp\t0x00000001\t0xffffffff;\n"},
    DecodeCase{"ByteAndImmediate", {0xE8, 5, 9, 0, 0, 0}, "0x00000024\tssvi\t5\t0x00000009;\n"},
    DecodeCase{"ByteAndRegister", {0xE9, 7, 5}, "0x00000024\tssvr\t7\t%EBP;\n"},
    DecodeCase{"RegisterAndByte", {0xEA, 4, 255, 0xEB, 0, 0}, "0x00000024\t sad\t%EIP\t255;\n0x00000027\tstos\t%EAX\t0;\n"},
    DecodeCase{"OneByteAndOneRegister", {0xE7, 3, 0x1F, 1, 0xE6, 2}, "0x00000024\t srw\t3;\n0x00000026\t not\t%EBX;\n0x00000028\tspvr\t%ECX;\n"},
    DecodeCase{"RegisterBytesFromSevenAreNaN", {0x2F, 7, 0x01, 255, 6}, "0x00000024\t bnt\tNaN;\n0x00000026\t add\tNaN\t%ESP;\n"},
    DecodeCase{"NoOperands", {0xE4, 0x30, 0x54, 0xF1, 0xF2, 0xFE, 0xFF},
               "0x00000024\t ret;\n0x00000025\t mcp;\n0x00000026\t wak;\n0x00000027\tirqd;\n"
               "0x00000028\tirqe;\n0x00000029\thalt;\n0x0000002a\t nop;\n"},
    DecodeCase{"InvalidWithTwoRegisters", {0x00, 1, 2, 0x10, 3, 9}, "0x00000024\t inv\t%EBX\t%ECX;\n0x00000027\t inv\t%EDX\tNaN;\n"},
    DecodeCase{"InvalidWithoutOperands", {0x20, 0x1B, 0x37, 0xF3}, "0x00000024\t inv;\n0x00000025\t inv;\n0x00000026\t inv;\n0x00000027\t inv;\n"},
    DecodeCase{"TableWithoutEntries", {0xFD, 0, 0xFE}, "0x00000024\t tbl;\n0x00000026\thalt;\n"},
    DecodeCase{"TableWithEntries", {0xFD, 2, 0x40, 0, 0, 0, 0x50, 0, 0, 0x08, 0xFE},
               "0x00000024\t tbl\t0x00000040\t0x08000050;\n0x0000002e\thalt;\n"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(EntryTable, TextFormInHexadecimalThenDecimal)
{
    // The second line names segv before ack.
    const _KOLM_VTable table{0x24, 0x1FF, 0, 0xABC, 0xDEADBEEF, 8};
    std::ostringstream out;
    out << std::hex << table << 255;
    EXPECT_EQ(out.str(), "main\texti\tmsg\n24\t1ff\t0\nsegv\tack\tbss\ndeadbeef\tabc\t8\n255");
}

TEST(DisasmTable, SeventyOneMnemonicRows)
{
    EXPECT_EQ(kOpcodeCount, 71u);
}

TEST_F(DisasmTest, OperandsPastTheCodeEndComeFromTheBytesThatFollow)
{
    ImageBuilder image;
    image.raw({0xE1, 1}).data("xyz");
    ASSERT_EQ(load(image), 0u);
    // The immediate is the "DT" tag and its length word 3.
    const std::string text = listing(OUTPUT_TEXT);
    EXPECT_EQ(codeList(text), "0x00000024\t sto\t%EBX\t0x00035444;\n");
    EXPECT_NE(text.find("\n.data: /* 3 bytes */\n\n"), std::string::npos);
    EXPECT_FALSE(g_asm_walk.leftImage);
}

TEST_F(DisasmTest, InstructionCutByTheImageEndStopsTheListing)
{
    ImageBuilder image;
    image.ins(OP_halt).raw({0xE1, 1, 0});
    for (OutputType format : kForms) {
        ASSERT_EQ(load(image), 0u);
        log.str("");
        const std::string out = listing(format);
        EXPECT_TRUE(logged("asm error: segmentation fault at 0x00000027"));
        EXPECT_TRUE(g_asm_walk.leftImage);
        EXPECT_EQ(KOLM_VM.flags & KOLM_FLAG_SEGV, 0u) << "the walk leaves the machine alone";
        expectDocument(format, out);
        if (format == OUTPUT_TEXT) {
            EXPECT_EQ(codeList(out), "0x00000024\thalt;\n");
        }
    }
}

// ---------------------------------------------------------------- extension area

TEST_F(DisasmTest, ImageWithoutDataOrExtensionsEndsAfterTheDataSize)
{
    ImageBuilder image;
    image.ins(OP_halt);
    ASSERT_EQ(load(image), 0u);
    const std::string text = listing(OUTPUT_TEXT);
    const std::string tail = "0x00000024\thalt;\n\n.data: /* 0 bytes */\n\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {"data"}), "0\n");
}

TEST_F(DisasmTest, EmptyDataSectionIsListedAsAnUnknownExtension)
{
    ImageBuilder image;
    image.ins(OP_halt).data("");
    ASSERT_EQ(load(image), 0u);
    const std::string text = listing(OUTPUT_TEXT);
    EXPECT_NE(text.find("\n.ext: /* 0x00000025 */\n\n/* Entry DT, 0x00000025, 0 */\n\n.entry\n\n"
                        " /* Unknown entry type!!! */ \n"),
              std::string::npos);
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {"extensions.0.type", "extensions.0.data"}), "\"DT\"\nnull\n");
    EXPECT_EQ(xmlValues(listing(OUTPUT_XML), {"extensions@address", "extensions/extension@type"}),
              "\"37\"\n\">DT\"\n");
}

TEST_F(DisasmTest, ExtensionsFollowTheDataAndEachOther)
{
    ImageBuilder image;
    image.ins(OP_halt).data("abcd").extension("XY", "12345").extension(std::string("Q\0", 2), "");
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON),
                         {"data", "extensions.0.type", "extensions.0.address", "extensions.0.size",
                          "extensions.1.type", "extensions.1.address"}),
              "4\n\"XY\"\n45\n5\n\"Q\"\n54\n");
}

TEST_F(DisasmTest, ExtensionLongerThanTheImageEndsTheList)
{
    ImageBuilder image;
    image.ins(OP_halt).extension("XY", "ab", 9000);
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {"extensions.0.type", "extensions.0.size"}), "\"XY\"\n9000\n");
    const std::string text = listing(OUTPUT_TEXT);
    EXPECT_EQ(text.find("/* Entry"), text.rfind("/* Entry")) << "one extension only";
    EXPECT_FALSE(g_asm_walk.leftImage);
}

// ---------------------------------------------------------------- data symbols

TEST_F(DisasmTest, SymbolsInRecordOrderFirstRecordOfAnOffsetWins)
{
    ImageBuilder image;
    image.ins(OP_halt).data("zero|five|ten")
        .extension("TS", record(10, 1, 3) + record(0, 1, 4) + record(10, 1, 1) + record(5, 1, 4));
    ASSERT_EQ(load(image), 0u);
    const std::string text = listing(OUTPUT_TEXT);
    EXPECT_NE(text.find("/* Data Symbols (12) */\n\n.symbols\n\n"
                        "ten\t /* Literal@10 */\nzero\t /* Literal@0 */\nfive\t /* Literal@5 */\n\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {"extensions.0.data.size", "extensions.0.data.symbols"}),
              "48\n[{\"type\": 1, \"offset\": 10, \"literal\": \"ten\"}, "
              "{\"type\": 1, \"offset\": 0, \"literal\": \"zero\"}, "
              "{\"type\": 1, \"offset\": 5, \"literal\": \"five\"}]\n");
}

TEST_F(DisasmTest, LengthInsideARecordReadsTheRecordWhole)
{
    // Length 13: the second record starts at the section's last byte and
    // takes 11 bytes of the extension that follows.
    const std::string second = record(2, 1, 2);
    ImageBuilder image;
    image.ins(OP_halt).data("abcd")
        .extension("TS", record(0, 1, 1) + second.substr(0, 1))
        .extension(second.substr(1, 2), second.substr(5), 256);
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {"extensions.0.data.symbols"}),
              "[{\"type\": 1, \"offset\": 0, \"literal\": \"a\"}, "
              "{\"type\": 1, \"offset\": 2, \"literal\": \"cd\"}]\n");
}

TEST_F(DisasmTest, ArraysListTheirElementsNested)
{
    // Offsets in the data: 0 "hi", 2 "yo", 4 literal array [hi, yo, missing,
    // hi], 21 number array [7, 4294967295].
    const std::string data = "hiyo" + std::string(1, '\0') +
                             ImageBuilder::words({0x08000000, 2, 0x08000063, 0x08000000}) +
                             std::string(1, '\0') + ImageBuilder::words({7, 0xFFFFFFFF});
    ImageBuilder image;
    image.ins(OP_halt).data(data).extension(
        "TS", record(4, 2, 4) + record(0, 1, 2) + record(2, 1, 2) + record(21, 3, 2) + record(30, 9, 0));
    ASSERT_EQ(load(image), 0u);
    const std::string text = listing(OUTPUT_TEXT);
    EXPECT_NE(text.find("/* Array of literals  --> */\nhi\t /* Literal@0 */\nyo\t /* Literal@2 */\n"
                        "Data section error: unknown symbol type -1\nhi\t /* Literal@0 */\n"
                        "/* <-- Array of literals */\nhi\t /* Literal@0 */\nyo\t /* Literal@2 */\n"
                        "/* Array of numbers  --> */\n\t7\n\t4294967295\n/* <-- Array of numbers */\n"
                        "Data section error: unknown symbol type 9\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON),
                         {"extensions.0.data.symbols.0.size", "extensions.0.data.symbols.0.array",
                          "extensions.0.data.symbols.3.array", "extensions.0.data.symbols.4"}),
              "4\n[{\"type\": 1, \"offset\": 0, \"literal\": \"hi\"}, "
              "{\"type\": 1, \"offset\": 2, \"literal\": \"yo\"}, {\"type\": -1}, "
              "{\"type\": 1, \"offset\": 0, \"literal\": \"hi\"}]\n"
              "[7, 4294967295]\n{\"type\": 9}\n");
    EXPECT_EQ(xmlValues(listing(OUTPUT_XML),
                        {"extensions/extension/datasyms/array[1]/literal[2]@value",
                         "extensions/extension/datasyms/array[1]/symbol@type",
                         "extensions/extension/datasyms/array[2]/number[2]@value"}),
              "\">yo\"\n\"-1\"\n\"4294967295\"\n");
    EXPECT_FALSE(g_asm_walk.leftImage);
}

TEST_F(DisasmTest, ArrayElementWithoutTheDataBitIsLookedUpUnchanged)
{
    const std::string data = "ok" + std::string(1, '\0') + ImageBuilder::words({0, 0xF8000000});
    ImageBuilder image;
    image.ins(OP_halt).data(data).extension("TS", record(2, 2, 2) + record(0, 1, 2));
    ASSERT_EQ(load(image), 0u);
    // 0xF8000000 without bit 27 is 0xF0000000, which no record names.
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {"extensions.0.data.symbols.0.array"}),
              "[{\"type\": 1, \"offset\": 0, \"literal\": \"ok\"}, {\"type\": -1}]\n");
}

TEST_F(DisasmTest, LiteralBytesAreEscapedInTheDocuments)
{
    const std::string literal("q\"b\\s\n\x01\0z\xff<&>", 13);
    ImageBuilder image;
    image.ins(OP_halt).data(literal).extension("TS", record(0, 1, 13));
    ASSERT_EQ(load(image), 0u);
    EXPECT_NE(listing(OUTPUT_TEXT).find(literal + "\t /* Literal@0 */\n"), std::string::npos);
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON), {"extensions.0.data.symbols.0.literal"}),
              R"("q\"b\\s\n\u0001\u0000z\u00ff<&>")" "\n");
    EXPECT_EQ(xmlValues(listing(OUTPUT_XML), {"extensions/extension/datasyms/literal@value"}),
              R"(">q\"b\\s\n\\x01\\x00z\\xff<&>")" "\n");
}

// ---------------------------------------------------------------- debug information

std::string debugInfo(const std::vector<std::string> &paths, const std::vector<uint32_t> &entryWords)
{
    std::string body = ImageBuilder::words({uint32_t(paths.size())});
    for (const std::string &path : paths)
        body += ImageBuilder::words({uint32_t(path.size())}) + path;
    body += ImageBuilder::words({uint32_t(entryWords.size() / 7)});
    for (uint32_t word : entryWords)
        body += ImageBuilder::words({word});
    return body;
}

TEST_F(DisasmTest, DebugInformationWithPathsCutAtTheirZeroByte)
{
    ImageBuilder image;
    image.ins(OP_halt).extension(
        "DS", debugInfo({"main.kos", std::string("inc/a.kos\0junk", 14)},
                        {36, 37, 0, 3, 5, 3, 9, 37, 40, 1, 1, 1, 2, 0}));
    ASSERT_EQ(load(image), 0u);
    const std::string text = listing(OUTPUT_TEXT);
    EXPECT_NE(text.find("/* Debug Symbols (2 files, 94) */\n\n.files\n\n.file main.kos\n.file inc/a.kos\n\n"
                        ".symbols\n\n.debug_loc\t0x00000024\t0x00000025\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(jsonValues(listing(OUTPUT_JSON),
                         {"extensions.0.type", "extensions.0.data.files", "extensions.0.data.debug_loc.1"}),
              "\"DS\"\n[\"main.kos\", \"inc/a.kos\"]\n"
              "{\"start\": 37, \"end\": 40, \"idx\": 1, \"from\": {\"line\": 1, \"column\": 1}, "
              "\"to\": {\"line\": 2, \"column\": 0}}\n");
    EXPECT_EQ(xmlValues(listing(OUTPUT_XML),
                        {"extensions/extension/debugsyms/filetable@count",
                         "extensions/extension/debugsyms/entries/debug_loc[2]/from@line"}),
              "\"2\"\n\"1\"\n");
}

TEST_F(DisasmTest, UnknownFormWalksTheImageAndWritesNothing)
{
    ImageBuilder image;
    image.ins(OP_sto, {REG_EAX, 1}).ins(OP_halt).data("ab").extension("TS", record(0, 1, 2))
        .extension("DS", debugInfo({"a.kos"}, {36, 42, 0, 1, 1, 1, 9}));
    ASSERT_EQ(load(image), 0u);
    EXPECT_EQ(listing(OutputType(3)), "");
    EXPECT_EQ(g_asm_walk.EIP, kolm_rom_size()) << "the walk read the whole image";
    EXPECT_FALSE(g_asm_walk.leftImage);
}

} // namespace
