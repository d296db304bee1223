#include "document_check.h"
#include "kolm_disasm_escape.h"
#include "kolm_disasm_format.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

// ---------------------------------------------------------------- escaping

struct EscapeCase {
    std::string bytes;
    std::string json;
    std::string xml;
};

class Escape : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(Escape, JsonAndXml)
{
    EXPECT_EQ(jsonEscape(GetParam().bytes), GetParam().json);
    EXPECT_EQ(xmlEscape(GetParam().bytes), GetParam().xml);
}

INSTANTIATE_TEST_SUITE_P(Table, Escape, ::testing::Values(
    EscapeCase{"", "", ""},
    EscapeCase{"%EAX 0x0000001f", "%EAX 0x0000001f", "%EAX 0x0000001f"},
    EscapeCase{"a\"b\\c", R"(a\"b\\c)", R"(a&quot;b\c)"},
    EscapeCase{"<&>'", "<&>'", "&lt;&amp;&gt;'"},
    EscapeCase{"\t\n\r", R"(\u0009\u000a\u000d)", "&#9;&#10;&#13;"},
    EscapeCase{std::string("\0\x01\x1f\x7f", 4), R"(\u0000\u0001\u001f)" "\x7f", R"(\x00\x01\x1f)" "\x7f"},
    // Well-formed UTF-8 (2, 3 and 4 bytes) passes unchanged.
    EscapeCase{"\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80", "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80",
               "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80"},
    // Lone continuation, bad lead, truncated, overlong, surrogate, above U+10FFFF.
    EscapeCase{"\x80\xff", R"(\u0080\u00ff)", R"(\x80\xff)"},
    EscapeCase{"\xc3", R"(\u00c3)", R"(\xc3)"},
    EscapeCase{"\xe2\x82z", R"(\u00e2\u0082z)", R"(\xe2\x82z)"},
    EscapeCase{"\xc0\xaf\xe0\x80\xaf", R"(\u00c0\u00af\u00e0\u0080\u00af)", R"(\xc0\xaf\xe0\x80\xaf)"},
    EscapeCase{"\xed\xa0\x80", R"(\u00ed\u00a0\u0080)", R"(\xed\xa0\x80)"},
    EscapeCase{"\xf4\x90\x80\x80", R"(\u00f4\u0090\u0080\u0080)", R"(\xf4\x90\x80\x80)"},
    // U+FFFE and U+FFFF are UTF-8 but not XML characters.
    EscapeCase{"\xef\xbf\xbe\xef\xbf\xbd", "\xef\xbf\xbe\xef\xbf\xbd", R"(\xef\xbf\xbe)" "\xef\xbf\xbd"}));

// ---------------------------------------------------------------- small helpers

TEST(DisasmTypes, PaddingWritesWidthTimesLevelSpaces)
{
    std::ostringstream out;
    out << "[" << Padding{} << "|" << Padding{4, 2} << "|" << Padding{3, 1} << "]";
    EXPECT_EQ(out.str(), "[|        |   ]");
}

TEST(DisasmTypes, MnemonicsAndImmediates)
{
    EXPECT_STREQ(opcode_str(0xE0), "cpy");
    EXPECT_STREQ(opcode_str(0xFD), "tbl");
    EXPECT_STREQ(opcode_str(0x31), "mcm");
    EXPECT_STREQ(opcode_str(0x54), "wak");
    for (uint8_t invalid : {0x00, 0x10, 0x1B, 0x20, 0x37, 0xF3})
        EXPECT_STREQ(opcode_str(invalid), "inv") << int(invalid);
    EXPECT_EQ(asm_dism_u32(0), "0x00000000");
    EXPECT_EQ(asm_dism_u32(0xDEADBEEF), "0xdeadbeef");
    EXPECT_EQ(asm_dism_u32(0x2A), "0x0000002a");
}

// ---------------------------------------------------------------- writer table

using Write = std::function<void(OutputType, Padding &, std::ostream &)>;

// The entry table as a marker that shows the level it was written at.
void markTable(std::ostream &out, Padding &pad)
{
    out << "[table@" << pad.level << "]";
}

struct WriterCase {
    const char *name;
    uint32_t level;    // level before the writers run
    Write write;
    std::string text;
    std::string json;
    uint32_t jsonLevel; // level after the writers
    std::string xml;
    uint32_t xmlLevel;
};

std::string run(const WriterCase &c, OutputType format, Padding &pad)
{
    pad = Padding{4, c.level};
    std::ostringstream out;
    c.write(format, pad, out);
    return out.str();
}

class Writer : public ::testing::TestWithParam<WriterCase> {};

TEST_P(Writer, ExactBytesAndLevelInEachForm)
{
    const WriterCase &c = GetParam();
    Padding pad;
    EXPECT_EQ(run(c, OUTPUT_TEXT, pad), c.text);
    EXPECT_EQ(pad.level, c.level) << "the text form uses no indentation";
    EXPECT_EQ(run(c, OUTPUT_JSON, pad), c.json);
    EXPECT_EQ(pad.level, c.jsonLevel);
    EXPECT_EQ(run(c, OUTPUT_XML, pad), c.xml);
    EXPECT_EQ(pad.level, c.xmlLevel);
    EXPECT_EQ(run(c, OutputType(3), pad), "") << "an unknown form writes nothing";
}

std::string nameOf(const ::testing::TestParamInfo<WriterCase> &info)
{
    return info.param.name;
}

const AsmOp kCopy{36, 0xE0, {"%EAX", "NaN"}};
const AsmOp kHalt{0x1234, 0xFE, {}};
const DataSymbol kLiteral{4, DataSymbol::Literal, 5};
const DataSymbol kUnresolved{0, DataSymbol::Unresolved, 0};
const DataSymbol kNumbers{8, DataSymbol::NumberArray, 2};
const DataSymbol kOneNumber{8, DataSymbol::NumberArray, 1};
const DataSymbol kLiterals{12, DataSymbol::LiteralArray, 2};
const DataSymbol kNoLiterals{12, DataSymbol::LiteralArray, 0};

const DebugInfo kDebug{{"main.kos", "lib/x.kos"}, {{1, 2, 3, 4, 5, 6, 7}, {8, 9, 10, 11, 12, 13, 14}}};

INSTANTIATE_TEST_SUITE_P(Table, Writer, ::testing::Values(
    WriterCase{"Head", 0,
        [](OutputType f, Padding &p, std::ostream &o) { asm_list_head("0.5.0", markTable, f, p, o); },
        "/*\n * Kolm Disassembler v. 0.5.0\n */\n\n/* VTable:\n[table@0]\n*/\n\n.text:\n\n",
        "{\n    \"version\": \"0.5.0\",\n    \"table\":\n[table@1],\n    \"text\":    [\n", 2,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<kolm version=\"0.5.0\">\n[table@1]\n    <text>\n", 2},
    WriterCase{"InstructionWithOperands", 2,
        [](OutputType f, Padding &p, std::ostream &o) { KOLM_DBG_OP(kCopy, f, p, o); },
        "0x00000024\t cpy\t%EAX\tNaN;\n",
        "        {\n"
        "            \"EIP\": 36,\n"
        "            \"opcode\": 224,\n"
        "            \"opname\": \"cpy\",\n"
        "            \"args\": [\n"
        "                \"%EAX\",\n"
        "                \"NaN\"\n"
        "            ]\n"
        "        }", 2,
        "        <instruction eip=\"36\" opcode=\"224\" opname=\"cpy\">\n"
        "            <argument value=\"%EAX\" />\n"
        "            <argument value=\"NaN\" />\n"
        "        </instruction>\n", 2},
    WriterCase{"InstructionWithoutOperands", 2,
        [](OutputType f, Padding &p, std::ostream &o) { KOLM_DBG_OP(kHalt, f, p, o); },
        "0x00001234\thalt;\n",
        "        {\n"
        "            \"EIP\": 4660,\n"
        "            \"opcode\": 254,\n"
        "            \"opname\": \"halt\",\n"
        "            \"args\": [\n"
        "            ]\n"
        "        }", 2,
        "        <instruction eip=\"4660\" opcode=\"254\" opname=\"halt\">\n"
        "        </instruction>\n", 2},
    WriterCase{"TwoInstructions", 2,
        [](OutputType f, Padding &p, std::ostream &o) {
            KOLM_DBG_OP(AsmOp{0, 0x00, {}}, f, p, o);
            asm_list_separator(f, o);
            KOLM_DBG_OP(AsmOp{1, 0xE5, {"0x00000007"}}, f, p, o);
        },
        "0x00000000\t inv;\n0x00000001\tspvi\t0x00000007;\n",
        "        {\n            \"EIP\": 0,\n            \"opcode\": 0,\n            \"opname\": \"inv\",\n"
        "            \"args\": [\n            ]\n        },\n"
        "        {\n            \"EIP\": 1,\n            \"opcode\": 229,\n            \"opname\": \"spvi\",\n"
        "            \"args\": [\n                \"0x00000007\"\n            ]\n        }", 2,
        "        <instruction eip=\"0\" opcode=\"0\" opname=\"inv\">\n        </instruction>\n"
        "        <instruction eip=\"1\" opcode=\"229\" opname=\"spvi\">\n"
        "            <argument value=\"0x00000007\" />\n        </instruction>\n", 2},
    WriterCase{"EmptyCodeListAndEndWithoutExtensions", 2,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_code_end(0, f, p, o);
            asm_list_end(f, p, o);
        },
        "\n.data: /* 0 bytes */\n\n",
        "\n    ],\n    \"data\": 0\n}\n", 0,
        "\n    </text>\n    <data size=\"0\" />\n</kolm>\n", 0},
    WriterCase{"CodeEndAndExtensionArea", 2,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_code_end(4294967295u, f, p, o);
            asm_list_extensions_begin(100, 130, f, p, o);
        },
        "\n.data: /* 4294967295 bytes */\n\n\n.ext: /* 0x00000064 */\n\n",
        "\n    ],\n    \"data\": 4294967295,\n    \"extensions\":    [\n", 2,
        "\n    </text>\n    <data size=\"4294967295\" />\n\n    <extensions address=\"100\" size=\"30\">\n", 2},
    WriterCase{"UnknownExtension", 2,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_extension_begin("DT", 100, 0, f, p, o);
            asm_list_unknown_extension(f, p, o);
            asm_list_extension_end(f, p, o);
        },
        "/* Entry DT, 0x00000064, 0 */\n\n.entry\n\n /* Unknown entry type!!! */ ",
        "        {\n"
        "            \"type\": \"DT\",\n"
        "            \"address\": 100,\n"
        "            \"size\":0,\n"
        "            \"data\":\n"
        "            null\n"
        "        }", 2,
        "        <extension type=\">DT\" address=\"100\" size=\"0\">\n        </extension>\n", 2},
    WriterCase{"TagCutAtZeroAndEscaped", 2,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_extension_begin(std::string("\"\0", 2), 7, 1, f, p, o);
            asm_list_extension_begin(std::string("<\x01", 2), 8, 2, f, p, o);
        },
        "/* Entry \", 0x00000007, 1 */\n\n.entry\n\n/* Entry <\x01, 0x00000008, 2 */\n\n.entry\n\n",
        "        {\n            \"type\": \"\\\"\",\n            \"address\": 7,\n            \"size\":1,\n"
        "            \"data\":\n"
        "            {\n                \"type\": \"<\\u0001\",\n                \"address\": 8,\n"
        "                \"size\":2,\n                \"data\":\n", 4,
        "        <extension type=\">&quot;\" address=\"7\" size=\"1\">\n"
        "            <extension type=\">&lt;\\x01\" address=\"8\" size=\"2\">\n", 4},
    WriterCase{"ExtensionListEnd", 2,
        [](OutputType f, Padding &p, std::ostream &o) { asm_list_extensions_end(f, p, o); },
        "\n",
        "\n    ]\n}\n", 0,
        "\n    </extensions>\n</kolm>\n", 0},
    WriterCase{"EmptySymbolTable", 3,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_symbols_begin(26, f, p, o);
            asm_list_symbols_end(f, p, o);
        },
        "/* Data Symbols (6) */\n\n.symbols\n\n",
        "            {\n                \"size\": 26,\n                \"symbols\": [\n\n"
        "                ]\n            }", 3,
        "            <datasyms size=\"26\">\n            </datasyms>\n", 3},
    WriterCase{"LiteralAndUnknownSymbols", 5,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_literal(kLiteral, "a\"b\\\n", f, p, o);
            asm_list_separator(f, o);
            asm_list_unknown_symbol(kUnresolved, f, p, o);
            asm_list_separator(f, o);
            asm_list_unknown_symbol(DataSymbol{0, 7, 0}, f, p, o);
        },
        "a\"b\\\n\t /* Literal@4 */\n"
        "Data section error: unknown symbol type -1\n"
        "Data section error: unknown symbol type 7\n",
        "                    {\"type\": 1, \"offset\": 4, \"literal\": \"a\\\"b\\\\\\u000a\"},\n"
        "                    {\"type\": -1},\n"
        "                    {\"type\": 7}", 5,
        "                    <literal offset=\"4\" value=\">a&quot;b\\&#10;\" />\n"
        "                    <symbol type=\"-1\" />\n"
        "                    <symbol type=\"7\" />\n", 5},
    WriterCase{"ArrayOfNumbers", 1,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_array_begin(kNumbers, f, p, o);
            asm_list_array_number(5, 0, f, p, o);
            asm_list_array_number(4294967295u, 1, f, p, o);
            asm_list_array_end(kNumbers, f, p, o);
        },
        "/* Array of numbers  --> */\n\t5\n\t4294967295\n/* <-- Array of numbers */\n",
        "    {\n        \"type\": 3,\n        \"size\": 2,\n        \"array\":    [\n"
        "            5            ,\n            4294967295            ]\n        }", 1,
        "    <array type=\"3\" size=\"2\">\n        <number value=\"5\"/>\n"
        "        <number value=\"4294967295\"/>\n    </array>\n", 1},
    WriterCase{"ArrayOfOneNumber", 1,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_array_begin(kOneNumber, f, p, o);
            asm_list_array_number(7, 0, f, p, o);
            asm_list_array_end(kOneNumber, f, p, o);
        },
        "/* Array of numbers  --> */\n\t7\n/* <-- Array of numbers */\n",
        "    {\n        \"type\": 3,\n        \"size\": 1,\n        \"array\":    [\n"
        "            7            ]\n        }", 1,
        "    <array type=\"3\" size=\"1\">\n        <number value=\"7\"/>\n    </array>\n", 1},
    WriterCase{"ArrayOfLiterals", 1,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_array_begin(kLiterals, f, p, o);
            asm_list_literal(DataSymbol{0, DataSymbol::Literal, 2}, "hi", f, p, o);
            asm_list_separator(f, o);
            asm_list_unknown_symbol(kUnresolved, f, p, o);
            asm_list_array_end(kLiterals, f, p, o);
        },
        "/* Array of literals  --> */\nhi\t /* Literal@0 */\n"
        "Data section error: unknown symbol type -1\n/* <-- Array of literals */\n",
        "    {\n        \"type\": 2,\n        \"size\": 2,\n        \"array\":    [\n"
        "            {\"type\": 1, \"offset\": 0, \"literal\": \"hi\"},\n"
        "            {\"type\": -1}\n            ]\n        }", 1,
        "    <array type=\"2\" size=\"2\">\n        <literal offset=\"0\" value=\">hi\" />\n"
        "        <symbol type=\"-1\" />\n    </array>\n", 1},
    WriterCase{"EmptyArrayOfLiterals", 1,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_array_begin(kNoLiterals, f, p, o);
            asm_list_array_end(kNoLiterals, f, p, o);
        },
        "/* Array of literals  --> */\n/* <-- Array of literals */\n",
        "    {\n        \"type\": 2,\n        \"size\": 0,\n        \"array\":    [\n\n"
        "            ]\n        }", 1,
        "    <array type=\"2\" size=\"0\">\n    </array>\n", 1},
    WriterCase{"DebugSymbols", 3,
        [](OutputType f, Padding &p, std::ostream &o) { asm_list_debugsyms(kDebug, 80, f, p, o); },
        "/* Debug Symbols (2 files, 80) */\n\n.files\n\n.file main.kos\n.file lib/x.kos\n\n.symbols\n\n"
        ".debug_loc\t0x00000001\t0x00000002\n"
        "           \t0x00000003\t0x00000004\t0x00000005\t0x00000006\t0x00000007\n"
        ".debug_loc\t0x00000008\t0x00000009\n"
        "           \t0x0000000a\t0x0000000b\t0x0000000c\t0x0000000d\t0x0000000e\n",
        "            {\n"
        "                \"size\": 80,\n"
        "                \"files\":    [\n"
        "                    \"main.kos\",\n"
        "                    \"lib/x.kos\"\n"
        "                ],\n"
        "                \"debug_loc\":    [\n"
        "                    {\n"
        "                        \"start\": 1,\n"
        "                        \"end\": 2,\n"
        "                        \"idx\": 3,\n"
        "                        \"from\": {\"line\": 4, \"column\": 5},\n"
        "                        \"to\": {\"line\": 6, \"column\": 7}\n"
        "                    },\n"
        "                    {\n"
        "                        \"start\": 8,\n"
        "                        \"end\": 9,\n"
        "                        \"idx\": 10,\n"
        "                        \"from\": {\"line\": 11, \"column\": 12},\n"
        "                        \"to\": {\"line\": 13, \"column\": 14}\n"
        "                    }\n"
        "                ]\n"
        "            }", 3,
        "            <debugsyms size=\"80\" >\n"
        "                <filetable count=\"2\">\n"
        "                    <file name=\"main.kos\" />\n"
        "                    <file name=\"lib/x.kos\" />\n"
        "                </filetable>\n"
        "                <entries count=\"2\">\n"
        "                    <debug_loc start=\"1\" end=\"2\" idx=\"3\">"
        "                        <from line=\"4\" column=\"5\" />\n"
        "                        <to line=\"6\" column=\"7\" />\n"
        "                    </debug_loc>\n"
        "                    <debug_loc start=\"8\" end=\"9\" idx=\"10\">"
        "                        <from line=\"11\" column=\"12\" />\n"
        "                        <to line=\"13\" column=\"14\" />\n"
        "                    </debug_loc>\n"
        "                </entries>\n"
        "            </debugsyms>\n", 3},
    WriterCase{"EmptyDebugSymbols", 3,
        [](OutputType f, Padding &p, std::ostream &o) { asm_list_debugsyms(DebugInfo{}, 8, f, p, o); },
        "/* Debug Symbols (0 files, 8) */\n\n.files\n\n\n.symbols\n\n",
        "            {\n                \"size\": 8,\n                \"files\":    [\n\n"
        "                ],\n                \"debug_loc\":    [\n\n                ]\n            }", 3,
        "            <debugsyms size=\"8\" >\n                <filetable count=\"0\">\n"
        "                </filetable>\n                <entries count=\"0\">\n"
        "                </entries>\n            </debugsyms>\n", 3},
    WriterCase{"DebugPathsEscaped", 3,
        [](OutputType f, Padding &p, std::ostream &o) {
            asm_list_debugsyms(DebugInfo{{"a\"&\x02.kos"}, {}}, 20, f, p, o);
        },
        "/* Debug Symbols (1 files, 20) */\n\n.files\n\n.file a\"&\x02.kos\n\n.symbols\n\n",
        "            {\n                \"size\": 20,\n                \"files\":    [\n"
        "                    \"a\\\"&\\u0002.kos\"\n"
        "                ],\n                \"debug_loc\":    [\n\n                ]\n            }", 3,
        "            <debugsyms size=\"20\" >\n                <filetable count=\"1\">\n"
        "                    <file name=\"a&quot;&amp;\\x02.kos\" />\n"
        "                </filetable>\n                <entries count=\"0\">\n"
        "                </entries>\n            </debugsyms>\n", 3}),
    nameOf);

// ---------------------------------------------------------------- whole listings

// The entry table writers that the state printers provide, in their forms.
VTableWriter entryTable(OutputType format)
{
    return [format](std::ostream &out, Padding &pad) {
        const char *names[] = {"main", "exti", "msg", "ack", "segv", "bss"};
        const uint32_t values[] = {36, 0, 0, 0, 0, 8};
        if (format == OUTPUT_TEXT) {
            out << "main\texti\tmsg\n24\t0\t0\nsegv\tack\tbss\n0\t0\t8\n";
        } else if (format == OUTPUT_JSON) {
            out << pad << "{\n";
            ++pad.level;
            for (int i = 0; i < 6; ++i)
                out << pad << "\"" << names[i] << "\": " << values[i] << (i < 5 ? ",\n" : "\n");
            --pad.level;
            out << pad << "}";
        } else {
            out << pad << "<vtable>\n";
            ++pad.level;
            for (int i = 0; i < 6; ++i)
                out << pad << "<entry name=\"" << names[i] << "\" address=\"" << values[i] << "\" />\n";
            --pad.level;
            out << pad << "</vtable>\n";
        }
    };
}

// Bytes of a literal that no document form can hold unescaped: quote,
// backslash, line feed, control byte, zero, a byte that is not UTF-8,
// well-formed UTF-8, and U+FFFE.
const std::string kHostileLiteral("q\"b\\s\n\x01\0z\xff\xc3\xa9\xef\xbf\xbe", 15);

// Calls the writers in the order in which the walk over an image does.
std::string sampleListing(OutputType format, bool withExtensions)
{
    std::ostringstream out;
    Padding pad;
    asm_list_head("0.5.0", entryTable(format), format, pad, out);
    KOLM_DBG_OP(AsmOp{36, 0xE1, {"%EAX", "0x00000005"}}, format, pad, out);
    asm_list_separator(format, out);
    KOLM_DBG_OP(AsmOp{42, 0xFE, {}}, format, pad, out);
    asm_list_code_end(64, format, pad, out);
    if (!withExtensions) {
        asm_list_end(format, pad, out);
        return out.str();
    }
    asm_list_extensions_begin(100, 300, format, pad, out);

    asm_list_extension_begin("TS", 100, 60, format, pad, out);
    asm_list_symbols_begin(60, format, pad, out);
    asm_list_literal(DataSymbol{0, DataSymbol::Literal, 15}, kHostileLiteral, format, pad, out);
    asm_list_separator(format, out);
    const DataSymbol outer{20, DataSymbol::LiteralArray, 2};
    const DataSymbol inner{40, DataSymbol::LiteralArray, 1};
    asm_list_array_begin(outer, format, pad, out);
    asm_list_array_begin(inner, format, pad, out);
    asm_list_literal(DataSymbol{16, DataSymbol::Literal, 2}, "ok", format, pad, out);
    asm_list_array_end(inner, format, pad, out);
    asm_list_separator(format, out);
    asm_list_unknown_symbol(DataSymbol{0, DataSymbol::Unresolved, 0}, format, pad, out);
    asm_list_array_end(outer, format, pad, out);
    asm_list_separator(format, out);
    const DataSymbol numbers{30, DataSymbol::NumberArray, 3};
    asm_list_array_begin(numbers, format, pad, out);
    for (uint32_t i = 0; i < 3; ++i)
        asm_list_array_number(i * 1000, i, format, pad, out);
    asm_list_array_end(numbers, format, pad, out);
    asm_list_separator(format, out);
    asm_list_unknown_symbol(DataSymbol{50, 9, 0}, format, pad, out);
    asm_list_symbols_end(format, pad, out);
    asm_list_extension_end(format, pad, out);

    asm_list_separator(format, out);
    asm_list_extension_begin("DS", 164, 80, format, pad, out);
    asm_list_debugsyms(DebugInfo{{"main.kos", "dir/\"x\".kos"}, {{1, 2, 3, 4, 5, 6, 7}}}, 80, format, pad,
                       out);
    asm_list_extension_end(format, pad, out);

    asm_list_separator(format, out);
    asm_list_extension_begin("DT", 248, 0, format, pad, out);
    asm_list_unknown_extension(format, pad, out);
    asm_list_extension_end(format, pad, out);
    asm_list_extensions_end(format, pad, out);
    EXPECT_EQ(pad.level, 0u);
    return out.str();
}

TEST(Listing, JsonParsesStrictlyAndKeepsEveryValue)
{
    int status = -1;
    std::string values = checkDocument("json", sampleListing(OUTPUT_JSON, true),
        {"version", "table.main", "text.0.opname", "text.0.args", "text.1.args", "data",
         "extensions.0.type", "extensions.0.data.symbols.0.literal",
         "extensions.0.data.symbols.1.array.0.array.0.literal", "extensions.0.data.symbols.1.array.1",
         "extensions.0.data.symbols.2.array", "extensions.0.data.symbols.3",
         "extensions.1.data.files", "extensions.1.data.debug_loc.0.to.column",
         "extensions.2.type", "extensions.2.data"},
        status);
    EXPECT_EQ(status, 0) << values;
    EXPECT_EQ(values,
              "\"0.5.0\"\n36\n\"sto\"\n[\"%EAX\", \"0x00000005\"]\n[]\n64\n\"TS\"\n"
              R"("q\"b\\s\n\u0001\u0000z\u00ff\u00e9\ufffe")" "\n"
              "\"ok\"\n{\"type\": -1}\n[0, 1000, 2000]\n{\"type\": 9}\n"
              R"(["main.kos", "dir/\"x\".kos"])" "\n7\n\"DT\"\nnull\n");
}

TEST(Listing, XmlParsesAndKeepsEveryValue)
{
    int status = -1;
    std::string values = checkDocument("xml", sampleListing(OUTPUT_XML, true),
        {".@version", "vtable/entry[1]@address", "text/instruction[1]@opname",
         "text/instruction[1]/argument[2]@value", "text/instruction[2]/argument#count",
         "data@size", "extensions@size", "extensions/extension[1]@type",
         "extensions/extension[1]/datasyms/literal@value",
         "extensions/extension[1]/datasyms/array[1]/array/literal@value",
         "extensions/extension[1]/datasyms/array[1]/symbol@type",
         "extensions/extension[1]/datasyms/array[2]/number[3]@value",
         "extensions/extension[1]/datasyms/symbol@type",
         "extensions/extension[2]/debugsyms/filetable/file[2]@name",
         "extensions/extension[2]/debugsyms/entries/debug_loc/to@column",
         "extensions/extension[3]@type", "extensions/extension[3]/*#count"},
        status);
    EXPECT_EQ(status, 0) << values;
    EXPECT_EQ(values,
              "\"0.5.0\"\n\"36\"\n\"sto\"\n\"0x00000005\"\n0\n\"64\"\n\"200\"\n\">TS\"\n"
              R"(">q\"b\\s\n\\x01\\x00z\\xff\u00e9\\xef\\xbf\\xbe")" "\n"
              "\">ok\"\n\"-1\"\n\"2000\"\n\"9\"\n"
              R"("dir/\"x\".kos")" "\n\"7\"\n\">DT\"\n0\n");
}

TEST(Listing, DocumentsWithoutExtensionsParse)
{
    for (OutputType format : {OUTPUT_JSON, OUTPUT_XML}) {
        int status = -1;
        std::string values = checkDocument(format == OUTPUT_JSON ? "json" : "xml",
                                           sampleListing(format, false),
                                           {format == OUTPUT_JSON ? "data" : "data@size"}, status);
        EXPECT_EQ(status, 0) << values;
        EXPECT_EQ(values, format == OUTPUT_JSON ? "64\n" : "\"64\"\n");
    }
}

TEST(Listing, CheckerRejectsBrokenDocuments)
{
    // The checker itself must fail on what the listing must never write.
    int status = 0;
    checkDocument("json", "{\"data\":\n}", {}, status);
    EXPECT_NE(status, 0);
    checkDocument("json", "{\"a\": \"x\ny\"}", {}, status);
    EXPECT_NE(status, 0);
    checkDocument("xml", "<a b=\"\x01\"/>", {}, status);
    EXPECT_NE(status, 0);
}

TEST(Listing, TextFormWritesImageBytesAsTheyStand)
{
    const std::string text = sampleListing(OUTPUT_TEXT, true);
    EXPECT_EQ(text.find("/*\n * Kolm Disassembler v. 0.5.0\n */\n\n/* VTable:\nmain\t"), 0u);
    EXPECT_NE(text.find(".text:\n\n0x00000024\t sto\t%EAX\t0x00000005;\n0x0000002a\thalt;\n\n.data: /* 64 bytes */\n\n"
                        "\n.ext: /* 0x00000064 */\n\n/* Entry TS, 0x00000064, 60 */\n\n.entry\n\n"
                        "/* Data Symbols (15) */\n\n.symbols\n\n" + kHostileLiteral + "\t /* Literal@0 */\n"),
              std::string::npos);
    const std::string tail = "/* Entry DT, 0x000000f8, 0 */\n\n.entry\n\n /* Unknown entry type!!! */ \n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

} // namespace
