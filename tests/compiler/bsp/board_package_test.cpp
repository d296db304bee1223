#include "kolm_board_package.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A package file written for one test and removed afterwards.
class PackageFile {
public:
    explicit PackageFile(const std::string &xml)
    {
        static int counter = 0;
        path_ = ::testing::TempDir() + "kolm_bsp_" + std::to_string(getpid()) + "_" +
                std::to_string(counter++) + ".kbsp";
        std::ofstream(path_) << xml;
    }
    ~PackageFile() { std::remove(path_.c_str()); }
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

// A platform with RAM and ROM, the given Hal children and trailing elements.
std::string platform(const std::string &hal, const std::string &tail = "")
{
    return "<Platform name=\"Test\" abi=\"4\">"
           "<Ram address=\"0x20000000\" size=\"0x100\"/><Rom address=\"0x08000000\"/>"
           "<Hal address=\"0x40000000\">" +
           hal + "</Hal>" + tail + "</Platform>";
}

// A template peripheral "PN" at 0x1000 with registers A (offset 0) and B
// (offset 4) and the given parser body.
std::string templatePeripheral(const std::string &parser, const std::string &sync = "false")
{
    return "<Peripheral name=\"PN\" address=\"0x1000\" template=\"true\">"
           "<Register name=\"A\" offset=\"0\"/><Register name=\"B\" offset=\"4\"/>"
           "<Parser sync=\"" +
           sync + "\">" + parser + "</Parser></Peripheral>";
}

std::string rangeGroup(const std::string &pattern, const std::string &min, const std::string &max,
                       const std::string &unit)
{
    return "<Group pattern=\"" + pattern + "\" mode=\"range\"><Range min=\"" + min + "\" max=\"" +
           max + "\" unit=\"" + unit + "\"/></Group>";
}

struct Parsed {
    bool ok;
    std::string message;
    KolmBoardPackageParser bsp;
};

Parsed parseText(const std::string &xml)
{
    PackageFile file(xml);
    Parsed result;
    result.ok = result.bsp.parse(file.path(), &result.message);
    return result;
}

std::map<std::string, uint32_t> peripheralAddresses(const KolmBoardPackageParser &bsp)
{
    std::map<std::string, uint32_t> result;
    for (const std::string &name : bsp.peripherals())
        result[name] = bsp.address(name);
    return result;
}

// ---- errors ---------------------------------------------------------------

struct ErrorCase {
    const char *label;
    std::string xml;
    std::string message;
};

void PrintTo(const ErrorCase &c, std::ostream *out) { *out << c.label; }

class PackageError : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(PackageError, FailsWithItsMessage)
{
    const ErrorCase &c = GetParam();
    Parsed parsed = parseText(c.xml);
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.message, c.message);

    // Without a message pointer the parse fails all the same.
    PackageFile file(c.xml);
    KolmBoardPackageParser bsp;
    EXPECT_FALSE(bsp.parse(file.path(), nullptr));
}

std::string repeated(const std::string &text, size_t count)
{
    std::string result;
    for (size_t i = 0; i < count; ++i)
        result += text;
    return result;
}

const std::string kRamRom =
    "<Ram address=\"0x20000000\" size=\"256\"/><Rom address=\"0x08000000\"/>";

INSTANTIATE_TEST_SUITE_P(
    Messages, PackageError,
    ::testing::Values(
        ErrorCase{"syntax", "<Platform abi=\"4\"></Board>", "XML_ERROR_MISMATCHED_ELEMENT"},
        ErrorCase{"empty file", "", "XML_ERROR_EMPTY_DOCUMENT"},
        ErrorCase{"wrong root", "<Board abi=\"4\">" + kRamRom + "</Board>",
                  "not a BSP - root element must be \"Platform\""},
        ErrorCase{"abi missing", "<Platform>" + kRamRom + "</Platform>", "XML_NO_ATTRIBUTE"},
        ErrorCase{"abi text", "<Platform abi=\"four\">" + kRamRom + "</Platform>",
                  "XML_WRONG_ATTRIBUTE_TYPE"},
        ErrorCase{"abi negative", "<Platform abi=\"-1\">" + kRamRom + "</Platform>",
                  "abi attribute value is out of range"},
        ErrorCase{"ram size too big",
                  "<Platform abi=\"4\"><Ram address=\"0\" size=\"0x100000000\"/>"
                  "<Rom address=\"0\"/></Platform>",
                  "size attribute value is out of range"},
        ErrorCase{"no ram", "<Platform abi=\"4\"><Rom address=\"0\"/></Platform>",
                  "No Ram node in the BSP"},
        ErrorCase{"no rom", "<Platform abi=\"4\"><Ram address=\"0\" size=\"1\"/></Platform>",
                  "No Rom node in the BSP"},
        ErrorCase{"rom address missing",
                  "<Platform abi=\"4\"><Ram address=\"0\" size=\"1\"/><Rom/></Platform>",
                  "XML_NO_ATTRIBUTE"},
        ErrorCase{"hal address missing", "<Platform abi=\"4\">" + kRamRom + "<Hal/></Platform>",
                  "XML_NO_ATTRIBUTE"},
        ErrorCase{"define without type",
                  platform("", "<Define name=\"X\" value=\"1\"/>"),
                  "name/type attribute(s) missing in define node"},
        ErrorCase{"define without name",
                  platform("", "<Define type=\"integer\" value=\"1\"/>"),
                  "name/type attribute(s) missing in define node"},
        ErrorCase{"integer define not a number",
                  platform("", "<Define name=\"X\" type=\"integer\" value=\"one\"/>"),
                  "define value is not an integer, but should be"},
        ErrorCase{"integer define without value",
                  platform("", "<Define name=\"X\" type=\"integer\"/>"),
                  "define value is not an integer, but should be"},
        ErrorCase{"string define without value",
                  platform("", "<Define name=\"X\" type=\"string\"/>"),
                  "define node is missing a value"},
        ErrorCase{"define of unknown type",
                  platform("", "<Define name=\"X\" type=\"float\" value=\"1\"/>"),
                  "unknown define node type"},
        ErrorCase{"peripheral without name", platform("<Peripheral address=\"0\"/>"),
                  "name attribute missing in periphery node"},
        ErrorCase{"duplicate peripheral",
                  platform("<Peripheral name=\"P\" address=\"0\"/>"
                           "<Peripheral name=\"P\" address=\"4\"/>"),
                  "duplicate periphery"},
        ErrorCase{"peripheral address missing", platform("<Peripheral name=\"P\"/>"),
                  "XML_NO_ATTRIBUTE"},
        ErrorCase{"peripheral address text", platform("<Peripheral name=\"P\" address=\"x\"/>"),
                  "XML_WRONG_ATTRIBUTE_TYPE"},
        ErrorCase{"peripheral address too high",
                  platform("<Peripheral name=\"P\" address=\"0xFFFFFFFF\"/>"),
                  "periphery address is out of range"},
        ErrorCase{"peripheral address negative",
                  platform("<Peripheral name=\"P\" address=\"-4\"/>"),
                  "periphery address is out of range"},
        ErrorCase{"template without parser",
                  platform("<Peripheral name=\"P\" address=\"0\" template=\"true\"/>"),
                  "parser node missing inside a template periphery"},
        ErrorCase{"register without name",
                  platform("<Peripheral name=\"P\" address=\"0\"><Register offset=\"0\"/>"
                           "</Peripheral>"),
                  "register node is missing a name"},
        ErrorCase{"register offset missing",
                  platform("<Peripheral name=\"P\" address=\"0\"><Register name=\"R\"/>"
                           "</Peripheral>"),
                  "XML_NO_ATTRIBUTE"},
        ErrorCase{"register offset text",
                  platform("<Peripheral name=\"P\" address=\"0\">"
                           "<Register name=\"R\" offset=\"zero\"/></Peripheral>"),
                  "XML_WRONG_ATTRIBUTE_TYPE"},
        ErrorCase{"register offset negative",
                  platform("<Peripheral name=\"P\" address=\"0\">"
                           "<Register name=\"R\" offset=\"-1\"/></Peripheral>"),
                  "register address is out of range"},
        ErrorCase{"register past the address space",
                  platform("<Peripheral name=\"P\" address=\"0xFFFFFFF0\">"
                           "<Register name=\"R\" offset=\"0xF\"/></Peripheral>"),
                  "register address is out of range"},
        ErrorCase{"duplicate register",
                  platform("<Peripheral name=\"P\" address=\"0\">"
                           "<Register name=\"R\" offset=\"0\"/><Register name=\"R\" offset=\"4\"/>"
                           "</Peripheral>"),
                  "duplicate register"},
        ErrorCase{"group without mode",
                  platform(templatePeripheral("<Group pattern=\"N\"/>")),
                  "mode attribute is missing in a group node"},
        ErrorCase{"group without pattern",
                  platform(templatePeripheral("<Group mode=\"range\"/>")),
                  "pattern attribute missing inside a group"},
        ErrorCase{"range group without range",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"range\"/>")),
                  "range node missing inside a group"},
        ErrorCase{"unknown group mode",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"set\"/>")),
                  "unknown group mode"},
        ErrorCase{"range without max",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"range\">"
                                              "<Range min=\"0\" unit=\"1\"/></Group>")),
                  "min/max missing in range node"},
        ErrorCase{"range without unit",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"range\">"
                                              "<Range min=\"0\" max=\"3\"/></Group>")),
                  "invalid unit value in range node"},
        ErrorCase{"range unit text", platform(templatePeripheral(rangeGroup("N", "0", "3", "u"))),
                  "invalid unit value in range node"},
        ErrorCase{"character range of unequal sizes",
                  platform(templatePeripheral(rangeGroup("N", "A", "BB", "1"))),
                  "string-range must have both values of equal size"},
        ErrorCase{"character range with empty bounds",
                  platform(templatePeripheral(rangeGroup("N", "", "", "1"))),
                  "min/max missing in range node"},
        ErrorCase{"item without offset",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"list\">"
                                              "<Item>1</Item></Group>")),
                  "XML_NO_ATTRIBUTE"},
        ErrorCase{"item offset text",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"list\">"
                                              "<Item offset=\"x\">1</Item></Group>")),
                  "XML_WRONG_ATTRIBUTE_TYPE"},
        ErrorCase{"item without text",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"list\">"
                                              "<Item offset=\"0\"><Sub/></Item></Group>")),
                  "Item node must be a text"},
        ErrorCase{"empty item",
                  platform(templatePeripheral("<Group pattern=\"N\" mode=\"list\">"
                                              "<Item offset=\"0\"/></Group>")),
                  "Item node must be a text"},
        ErrorCase{"parser without groups", platform(templatePeripheral("")),
                  "empty replace list in parser node"},
        ErrorCase{"synced groups of different sizes",
                  platform(templatePeripheral(rangeGroup("N", "0", "1", "1") +
                                                  rangeGroup("M", "0", "2", "1"),
                                              "true")),
                  "different group sizes in synced parser node"},
        ErrorCase{"numeric range too long",
                  platform(templatePeripheral(rangeGroup("N", "0", "2147483647", "1"))),
                  "template PN expands to too many instances"},
        ErrorCase{"one group over the instance limit",
                  platform(templatePeripheral(rangeGroup("N", "0", "65536", "1"))),
                  "template PN expands to too many instances"},
        ErrorCase{"product of groups over the instance limit",
                  platform(templatePeripheral(rangeGroup("N", "0", "300", "1") +
                                              rangeGroup("M", "0", "300", "1"))),
                  "template PN expands to too many instances"},
        ErrorCase{"nesting deeper than the reader follows",
                  "<Platform abi=\"4\">" + repeated("<Deeper>", 1000), "XML_ELEMENT_DEPTH_EXCEEDED"},
        ErrorCase{"register names too long to copy into every instance",
                  platform("<Peripheral name=\"PN\" address=\"0\" template=\"true\">"
                           "<Register name=\"" + std::string(300000, 'r') + "\" offset=\"0\"/>"
                           "<Parser>" + rangeGroup("N", "0", "255", "1") + "</Parser></Peripheral>"),
                  "template PN expands to too much data"},
        ErrorCase{"instance name too long to search for a pattern",
                  platform("<Peripheral name=\"" + std::string(600000, 'T') +
                           "\" address=\"0\" template=\"true\"><Parser>"
                           "<Group pattern=\"" + std::string(300000, 'T') + "Q\" mode=\"list\">"
                           "<Item offset=\"0\">x</Item></Group></Parser></Peripheral>"),
                  "template " + std::string(600000, 'T') + " expands to too much data"},
        ErrorCase{"expansion too large",
                  platform(templatePeripheral(rangeGroup("N", "0", "99", "1") +
                                              "<Group pattern=\"M\" mode=\"list\"><Item offset=\"0\">" +
                                              std::string(200000, 'x') + "</Item></Group>")),
                  "template PN expands to too much data"}));

TEST(PackageLoad, MissingFileGivesTheLoadError)
{
    KolmBoardPackageParser bsp;
    std::string message;
    EXPECT_FALSE(bsp.parse(::testing::TempDir() + "no_such_package.kbsp", &message));
    EXPECT_EQ(message, "XML_ERROR_FILE_NOT_FOUND");
}

TEST(PackageLoad, OnlyRegularFilesAreRead)
{
    KolmBoardPackageParser bsp;
    std::string message;
    EXPECT_FALSE(bsp.parse(::testing::TempDir(), &message));
    EXPECT_EQ(message, "XML_ERROR_FILE_READ_ERROR");

    // A FIFO without a writer would block the reader for good.
    const std::string fifo =
        ::testing::TempDir() + "kolm_bsp_fifo_" + std::to_string(getpid()) + ".kbsp";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    message.clear();
    EXPECT_FALSE(bsp.parse(fifo, &message));
    EXPECT_EQ(message, "XML_ERROR_FILE_READ_ERROR");
    std::remove(fifo.c_str());
}

TEST(PackageLoad, FilesUpToTheSizeLimitAreRead)
{
    // A valid package padded with a comment to the given file size.
    const auto padded = [](size_t size) {
        const std::string head = "<Platform abi=\"4\">" + kRamRom + "</Platform><!--";
        const std::string tail = "-->";
        return head + std::string(size - head.size() - tail.size(), ' ') + tail;
    };
    Parsed at_limit = parseText(padded(kKolmMaxPackageFileSize));
    EXPECT_TRUE(at_limit.ok) << at_limit.message;
    Parsed over_limit = parseText(padded(kKolmMaxPackageFileSize + 1));
    EXPECT_FALSE(over_limit.ok);
    EXPECT_EQ(over_limit.message, "XML_ERROR_FILE_READ_ERROR");
}

// A platform whose root element carries abi and the given number of
// further attributes, after the given prologue.
std::string withAttributes(size_t count, const std::string &prologue = "")
{
    std::string attributes;
    for (size_t i = 1; i <= count; ++i)
        attributes += " a" + std::to_string(i) + "=\"\"";
    return prologue + "<Platform abi=\"4\"" + attributes + ">" + kRamRom + "</Platform>";
}

TEST(PackageLoad, AttributesPerElementAreLimited)
{
    Parsed at_limit = parseText(withAttributes(kKolmMaxElementAttributes - 1));
    EXPECT_TRUE(at_limit.ok) << at_limit.message;
    Parsed over_limit = parseText(withAttributes(kKolmMaxElementAttributes));
    EXPECT_FALSE(over_limit.ok);
    EXPECT_EQ(over_limit.message, "XML_ERROR_PARSING_ATTRIBUTE");

    // A quote in a declaration does not hide the element's attributes.
    Parsed after_quote =
        parseText(withAttributes(kKolmMaxElementAttributes, "<!DOCTYPE Platform \"x>"));
    EXPECT_FALSE(after_quote.ok);
    EXPECT_EQ(after_quote.message, "XML_ERROR_PARSING_ATTRIBUTE");

    // Equals signs in comments, instructions, values and text are no
    // attributes.
    const std::string many(2 * kKolmMaxElementAttributes, '=');
    Parsed elsewhere = parseText(
        "<?note " + many + "?><!-- " + many + " --><Platform abi=\"4\" name=\"" + many + "\">" +
        kRamRom + "<Hal address=\"0\"><Peripheral name=\"PN\" address=\"0\" template=\"true\">"
        "<Parser><Group pattern=\"N\" mode=\"list\"><Item offset=\"0\">" + many +
        "</Item><Item offset=\"4\"><![CDATA[" + many + "<>]]></Item></Group></Parser></Peripheral>"
        "</Hal></Platform>");
    ASSERT_TRUE(elsewhere.ok) << elsewhere.message;
    EXPECT_EQ(elsewhere.bsp.name, many);
    EXPECT_EQ(elsewhere.bsp.address("P" + many + "<>"), 4u);
}

TEST(PackageLoad, ErrorReplacesEarlierWarnings)
{
    Parsed parsed = parseText(platform("<Foo/><Peripheral address=\"0\"/>"));
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.message, "name attribute missing in periphery node");
}

// ---- successful parses ------------------------------------------------------

TEST(PackageLoad, PlatformAndRanges)
{
    Parsed parsed = parseText(platform("<Peripheral name=\"P\" address=\"0x10\">"
                                       "<Register name=\"R\" offset=\"8\"/></Peripheral>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(parsed.message, "");
    const KolmBoardPackageParser &bsp = parsed.bsp;
    EXPECT_EQ(bsp.name, "Test");
    EXPECT_EQ(bsp.abi, 4u);
    EXPECT_EQ(bsp.ram_address, 0x20000000u);
    EXPECT_EQ(bsp.ram_size, 256u);
    EXPECT_EQ(bsp.rom_address, 0x08000000u);
    EXPECT_EQ(bsp.hal_address, 0x40000000u);
    bool found = false;
    EXPECT_EQ(bsp.address("P", &found), 0x10u);
    EXPECT_TRUE(found);
    EXPECT_EQ(bsp.address("P", "R", &found), 0x18u);
    EXPECT_TRUE(found);
}

TEST(PackageLoad, WithoutHalOrNameHasNoPeripherals)
{
    Parsed parsed = parseText("<Platform abi=\"2\">" + kRamRom + "</Platform>");
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(parsed.bsp.name, "null");
    EXPECT_EQ(parsed.bsp.abi, 2u);
    EXPECT_TRUE(parsed.bsp.peripherals().empty());
    EXPECT_TRUE(parsed.bsp.defines().empty());
}

TEST(PackageLoad, UnknownElementsAreSkippedWithWarnings)
{
    Parsed parsed = parseText(platform(
        "<Foo/><Peripheral name=\"P\" address=\"0\"/><Bar/>",
        "<Define name=\"A\" type=\"integer\" value=\"1\"/><Baz/>"
        "<Define name=\"B\" type=\"integer\" value=\"2\"/>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(parsed.message,
              "skipping unknown node <Foo>skipping unknown node <Bar>skipping unknown node <Baz>");
    EXPECT_EQ(parsed.bsp.peripherals(), std::vector<std::string>{"P"});
    EXPECT_EQ(parsed.bsp.define_map.size(), 2u);
}

TEST(PackageLoad, ElementNamesMatchOnTheirLeadingCharacters)
{
    Parsed parsed = parseText(
        "<PlatformX name=\"X\" abi=\"4\"><RamArea address=\"1\" size=\"2\"/>"
        "<RomArea address=\"3\"/><HalBlock address=\"5\">"
        "<PeripheralBlock name=\"P\" address=\"0\"><Registers name=\"R\" offset=\"4\"/>"
        "<Note/><RegisterX name=\"S\" offset=\"8\"/></PeripheralBlock>"
        "<Periph name=\"Q\" address=\"0\"/></HalBlock>"
        "<Defines name=\"D\" type=\"integers\" value=\"7\"/></PlatformX>");
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(parsed.message, "skipping unknown node <Periph>");
    EXPECT_EQ(parsed.bsp.ram_address, 1u);
    EXPECT_EQ(parsed.bsp.ram_size, 2u);
    EXPECT_EQ(parsed.bsp.rom_address, 3u);
    EXPECT_EQ(parsed.bsp.hal_address, 5u);
    EXPECT_EQ(parsed.bsp.peripherals(), std::vector<std::string>{"P"});
    // Non-register siblings between registers are passed over silently.
    EXPECT_EQ(parsed.bsp.address("P", "S"), 8u);
    EXPECT_EQ(parsed.bsp.define_map.at("D"), "7");
}

TEST(PackageLoad, DefinesKeepTheirTextAndTheFirstValue)
{
    Parsed parsed = parseText(platform(
        "", "<Define name=\"HEX\" type=\"integer\" value=\"0x200\"/>"
            "<Define name=\"TEXT\" type=\"string\" value=\"hi there\"/>"
            "<Define name=\"HEX\" type=\"integer\" value=\"5\"/>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(parsed.bsp.define_map.at("HEX"), "0x200");
    EXPECT_EQ(parsed.bsp.define_map.at("TEXT"), "\"hi there\"");
    const std::vector<std::string> names = parsed.bsp.defines();
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              (std::set<std::string>{"HEX", "TEXT"}));
}

TEST(PackageLoad, SecondParseIntoTheSameObjectFindsDuplicates)
{
    PackageFile file(platform("<Peripheral name=\"P\" address=\"0\"/>"));
    KolmBoardPackageParser bsp;
    std::string message;
    ASSERT_TRUE(bsp.parse(file.path(), &message)) << message;
    EXPECT_FALSE(bsp.parse(file.path(), &message));
    EXPECT_EQ(message, "duplicate periphery");
}

// ---- access letters -----------------------------------------------------------

struct AccessCase {
    const char *attribute; // null: no access attribute
    uint32_t bits;
};

class AccessLetters : public ::testing::TestWithParam<AccessCase> {};

TEST_P(AccessLetters, SetTheirBits)
{
    const AccessCase &c = GetParam();
    const std::string access = c.attribute ? std::string(" access=\"") + c.attribute + "\"" : "";
    Parsed parsed = parseText(platform("<Peripheral name=\"P\" address=\"0\">"
                                       "<Register name=\"R\" offset=\"0\"" +
                                       access + "/></Peripheral>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    bool found = false;
    EXPECT_EQ(parsed.bsp.access("P", "R", &found), c.bits);
    EXPECT_TRUE(found);
}

INSTANTIATE_TEST_SUITE_P(Letters, AccessLetters,
                         ::testing::Values(AccessCase{nullptr, 0x03}, AccessCase{"", 0x00},
                                           AccessCase{"G", 0x01}, AccessCase{"S", 0x02},
                                           AccessCase{"rw", 0x0C}, AccessCase{"T", 0x10},
                                           AccessCase{"gsRWt", 0x1F},
                                           AccessCase{"x-G z", 0x01}));

// ---- template expansion --------------------------------------------------------

struct ExpansionCase {
    const char *label;
    std::string parser;
    std::string sync;
    std::map<std::string, uint32_t> instances; // name to address
};

void PrintTo(const ExpansionCase &c, std::ostream *out) { *out << c.label; }

class TemplateExpansion : public ::testing::TestWithParam<ExpansionCase> {};

TEST_P(TemplateExpansion, MakesTheInstances)
{
    const ExpansionCase &c = GetParam();
    Parsed parsed = parseText(platform(templatePeripheral(c.parser, c.sync)));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(peripheralAddresses(parsed.bsp), c.instances);
    for (const auto &instance : c.instances) {
        EXPECT_EQ(parsed.bsp.address(instance.first, "A"), instance.second);
        EXPECT_EQ(parsed.bsp.address(instance.first, "B"), instance.second + 4);
        EXPECT_EQ(parsed.bsp.access(instance.first, "B"), 0x03u);
    }
}

std::map<std::string, uint32_t> numbered(const std::string &prefix, int first, int last,
                                         uint32_t base, uint32_t unit)
{
    std::map<std::string, uint32_t> result;
    for (int i = first; i <= last; ++i)
        result[prefix + std::to_string(i)] = base + static_cast<uint32_t>(i - first) * unit;
    return result;
}

std::map<std::string, uint32_t> lettered(char first, char last, uint32_t base, uint32_t unit)
{
    std::map<std::string, uint32_t> result;
    for (char c = first; c <= last; ++c)
        result[std::string("P") + c] = base + static_cast<uint32_t>(c - first) * unit;
    return result;
}

INSTANTIATE_TEST_SUITE_P(
    Groups, TemplateExpansion,
    ::testing::Values(
        ExpansionCase{"letters A to I", rangeGroup("N", "A", "I", "0x00100000"), "false",
                      lettered('A', 'I', 0x1000, 0x00100000)},
        ExpansionCase{"numbers 0 to 15", rangeGroup("N", "0", "15", "0x10000"), "false",
                      numbered("P", 0, 15, 0x1000, 0x10000)},
        ExpansionCase{"hexadecimal bounds", rangeGroup("N", "0x10", "0x12", "0x20"), "false",
                      numbered("P", 16, 18, 0x1000, 0x20)},
        ExpansionCase{"non-numeric max runs characters", rangeGroup("N", "0", "Z", "1"), "false",
                      [] {
                          std::map<std::string, uint32_t> m;
                          for (char c = '0'; c <= 'Z'; ++c)
                              m[std::string("P") + c] = 0x1000 + static_cast<uint32_t>(c - '0');
                          return m;
                      }()},
        ExpansionCase{"equal bounds give one item", rangeGroup("N", "5", "5", "8"), "false",
                      {{"P5", 0x1000}}},
        ExpansionCase{"only the last character runs", rangeGroup("N", "AB", "CD", "2"), "false",
                      {{"PAB", 0x1000}, {"PAC", 0x1002}, {"PAD", 0x1004}}},
        ExpansionCase{"falling character range gives nothing", rangeGroup("N", "I", "A", "1"),
                      "false", {}},
        ExpansionCase{"unit wraps to its low 32 bits", rangeGroup("N", "0", "1", "0x100000010"),
                      "false", {{"P0", 0x1000}, {"P1", 0x1010}}},
        ExpansionCase{"list items",
                      "<Group pattern=\"N\" mode=\"list\"><Item offset=\"0x20000\">2</Item>"
                      "<Item offset=\"0x30000\">3</Item><Item offset=\"0x100000\">16</Item>"
                      "</Group>",
                      "false", {{"P2", 0x21000}, {"P3", 0x31000}, {"P16", 0x101000}}},
        ExpansionCase{"cartesian product, first group outermost",
                      rangeGroup("P", "A", "B", "0x100") + rangeGroup("N", "0", "2", "0x10"),
                      "false",
                      {{"A0", 0x1000}, {"A1", 0x1010}, {"A2", 0x1020},
                       {"B0", 0x1100}, {"B1", 0x1110}, {"B2", 0x1120}}},
        ExpansionCase{"cartesian offset added without the pattern",
                      "<Group pattern=\"Q\" mode=\"list\"><Item offset=\"0x100\">x</Item>"
                      "</Group>" + rangeGroup("N", "7", "7", "0"),
                      "false", {{"P7", 0x1100}}},
        ExpansionCase{"synced groups pair their items",
                      rangeGroup("P", "A", "C", "0x100") + rangeGroup("N", "0", "2", "0x10"),
                      "true", {{"A0", 0x1000}, {"B1", 0x1110}, {"C2", 0x1220}}},
        ExpansionCase{"synced offset only with the pattern",
                      rangeGroup("N", "0", "1", "0x10") + rangeGroup("Q", "0", "1", "0x100"),
                      "true", {{"P0", 0x1000}, {"P1", 0x1010}}}));

TEST(TemplateExpansionLimit, SixtyFiveThousandInstancesAreAllowed)
{
    Parsed parsed = parseText(platform(
        "<Peripheral name=\"PX_N\" address=\"0\" template=\"true\"><Parser>" +
        rangeGroup("X", "0", "255", "0x100") + rangeGroup("N", "0", "255", "1") +
        "</Parser></Peripheral>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(parsed.bsp.peripherals().size(), 65536u);
    EXPECT_EQ(parsed.bsp.address("P255_255"), 0xFFFFu);
}

TEST(TemplateExpansionLimit, TemplatesShareOneBudgetPerPackage)
{
    // Each template alone expands; the package's templates together may
    // not take more than one budget.
    const auto longNames = [](const std::string &name) {
        return "<Peripheral name=\"" + name + "\" address=\"0\" template=\"true\"><Parser>" +
               rangeGroup("N", "0", "99", "1") + "<Group pattern=\"M\" mode=\"list\">" +
               "<Item offset=\"0\">" + std::string(80000, 'x') + "</Item></Group></Parser>" +
               "</Peripheral>";
    };
    Parsed one = parseText(platform(longNames("PNM")));
    ASSERT_TRUE(one.ok) << one.message;
    EXPECT_EQ(one.bsp.peripherals().size(), 100u);

    Parsed two = parseText(platform(longNames("PNM") + longNames("QNM")));
    EXPECT_FALSE(two.ok);
    EXPECT_EQ(two.message, "template QNM expands to too much data");
}

TEST(TemplateExpansion, FirstInstanceOfANameWins)
{
    // Both groups can produce "P1"; the earlier plain peripheral P1 stays.
    Parsed parsed = parseText(platform(
        "<Peripheral name=\"P1\" address=\"0x40\"/>" +
        templatePeripheral("<Group pattern=\"N\" mode=\"list\"><Item offset=\"0\">1</Item>"
                           "<Item offset=\"0x10\">2</Item><Item offset=\"0x20\">2</Item>"
                           "</Group>")));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    EXPECT_EQ(peripheralAddresses(parsed.bsp),
              (std::map<std::string, uint32_t>{{"P1", 0x40}, {"P2", 0x1010}}));
    EXPECT_TRUE(parsed.bsp.registers("P1").empty());
}

// ---- queries ---------------------------------------------------------------------

TEST(PackageQueries, AbsentNamesGiveNothing)
{
    Parsed parsed = parseText(platform("<Peripheral name=\"P\" address=\"8\">"
                                       "<Register name=\"R\" offset=\"0\"/></Peripheral>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    const KolmBoardPackageParser &bsp = parsed.bsp;
    bool found = true;
    EXPECT_EQ(bsp.address("Q", &found), 0u);
    EXPECT_FALSE(found);
    found = true;
    EXPECT_EQ(bsp.address("P", "S", &found), 0u);
    EXPECT_FALSE(found);
    found = true;
    EXPECT_EQ(bsp.address("Q", "R", &found), 0u);
    EXPECT_FALSE(found);
    found = true;
    EXPECT_EQ(bsp.access("P", "S", &found), 0u);
    EXPECT_FALSE(found);
    EXPECT_EQ(bsp.address("Q"), 0u);
    EXPECT_TRUE(bsp.registers("Q").empty());
    EXPECT_TRUE(bsp.peripheryTable("Q").empty());
    EXPECT_EQ(&bsp.peripheryTable("Q"), &bsp.peripheryTable("Z"));
    EXPECT_EQ(bsp.registers("P"), std::vector<std::string>{"R"});
    EXPECT_EQ(bsp.peripheryTable("P").at("R").register_address, 8u);
}

struct RecordingContext {
    std::map<std::string, std::string> defines;
    bool addDefine(const std::string &name, const std::string &value, std::string * = nullptr)
    {
        defines.emplace(name, value);
        return true;
    }
};

TEST(PackageQueries, UploadHandsEveryDefine)
{
    Parsed parsed = parseText(platform("", "<Define name=\"A\" type=\"integer\" value=\"1\"/>"
                                           "<Define name=\"B\" type=\"string\" value=\"x\"/>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    RecordingContext context;
    parsed.bsp.upload(context);
    EXPECT_EQ(context.defines,
              (std::map<std::string, std::string>{{"A", "1"}, {"B", "\"x\""}}));
}

std::multiset<std::string> lines(const std::string &text)
{
    std::multiset<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.insert(line);
    return result;
}

TEST(PackageDump, ListsPlatformRegistersAndDefines)
{
    Parsed parsed = parseText(
        platform("<Peripheral name=\"TIME\" address=\"0x01000000\">"
                 "<Register name=\"YEAR\" offset=\"0\" access=\"G\"/>"
                 "<Register name=\"STRING\" offset=\"0x1c\" access=\"R\"/></Peripheral>",
                 "<Define name=\"GPIO_MODE_OUTPUT\" type=\"integer\" value=\"0x01\"/>"));
    ASSERT_TRUE(parsed.ok) << parsed.message;
    // The listing keeps its format on a stream set up otherwise.
    std::ostringstream out;
    out << std::hex << std::left << std::showbase << std::uppercase << std::setfill('*');
    parsed.bsp.dump(out);
    const std::string text = out.str();
    EXPECT_EQ(text.substr(0, text.find('\n')),
              "BSP Test: RAM [0x20000000:200000ff], DATA 0x8000000, PERIPH 0x40000000");
    EXPECT_EQ(lines(text),
              (std::multiset<std::string>{
                  "BSP Test: RAM [0x20000000:200000ff], DATA 0x8000000, PERIPH 0x40000000",
                  "                       TIME.YEAR -> 0x01000000 as 00000001",
                  "                     TIME.STRING -> 0x0100001c as 00000004",
                  "define:          GPIO_MODE_OUTPUT -> 0x01"}));
    // The stream's own formatting is left as it was.
    out << std::setw(6) << 255;
    EXPECT_EQ(out.str().substr(text.size()), "0XFF**");
}

} // namespace

// ---- hostile packages ------------------------------------------------------------

namespace {

long peakResidentKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

struct HostileCase {
    const char *name;
    const char *sync;
    const char *message;
};

class HostilePackage : public ::testing::TestWithParam<HostileCase> {};

} // namespace

// About 68 KB of groups that each name 65536 instances: the expansion fails
// before the item texts are built, instead of taking gigabytes.
TEST_P(HostilePackage, ManyLargeRangesFailWithinBoundedMemory)
{
    std::string groups;
    for (int i = 0; i < 850; ++i)
        groups += rangeGroup("N" + std::to_string(i), "0", "65535", "1");
    const std::string xml = platform(templatePeripheral(groups, GetParam().sync));
    ASSERT_GT(xml.size(), 65536u);

    const long before = peakResidentKilobytes();
    Parsed parsed = parseText(xml);
    EXPECT_FALSE(parsed.ok);
    EXPECT_EQ(parsed.message, GetParam().message);
    EXPECT_LT(peakResidentKilobytes() - before, 256L * 1024);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, HostilePackage,
    ::testing::Values(HostileCase{"synced", "true", "template PN expands to too much data"},
                      HostileCase{"combined", "false", "template PN expands to too much data"}),
    [](const auto &info) { return std::string(info.param.name); });
