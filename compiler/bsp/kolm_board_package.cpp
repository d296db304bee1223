#include "kolm_board_package.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <limits>

#include <sys/stat.h>
#include <tinyxml2.h>

using tinyxml2::XMLDocument;
using tinyxml2::XMLElement;
using tinyxml2::XMLError;
using tinyxml2::XMLNode;
using tinyxml2::XMLUtil;

namespace {

constexpr int64_t kMaxAddress = 0xFFFFFFFE;
// Approximate bytes of one register table entry besides its name.
constexpr uint64_t kRegisterEntryCost = 64;
// Approximate bytes of one group item besides its text.
constexpr uint64_t kGroupItemCost = 48;
// Digits of the largest numeric range bound.
constexpr uint64_t kMaxRangeDigits = 19;

// Element names and keywords match when they begin with the expected word.
bool beginsWith(const char *text, const char *word)
{
    return std::strncmp(text, word, std::strlen(word)) == 0;
}

const XMLElement *firstChild(const XMLElement *parent, const char *word)
{
    for (const XMLElement *child = parent->FirstChildElement(); child;
         child = child->NextSiblingElement())
        if (beginsWith(child->Name(), word))
            return child;
    return nullptr;
}

bool fail(std::string *message, const std::string &text)
{
    if (message)
        *message = text;
    return false;
}

bool fail(std::string *message, XMLError error)
{
    return fail(message, XMLDocument::ErrorIDToName(error));
}

void warnSkipped(std::string *message, const XMLElement *element)
{
    if (message)
        *message += std::string("skipping unknown node <") + element->Name() + ">";
}

std::string tooMany(const std::string &template_name)
{
    return "template " + template_name + " expands to too many instances";
}

// Reads an integer attribute; XML_NO_ATTRIBUTE or XML_WRONG_ATTRIBUTE_TYPE
// on failure.
XMLError intAttribute(const XMLElement *element, const char *attribute, int64_t *out)
{
    return element->QueryInt64Attribute(attribute, out);
}

uint32_t accessBits(const char *letters)
{
    uint32_t bits = 0;
    for (const char *c = letters; *c; ++c) {
        switch (std::toupper(static_cast<unsigned char>(*c))) {
        case 'G': bits |= KOLM_ACCESS_GET; break;
        case 'S': bits |= KOLM_ACCESS_SET; break;
        case 'R': bits |= KOLM_ACCESS_READ; break;
        case 'W': bits |= KOLM_ACCESS_WRITE; break;
        case 'T': bits |= KOLM_ACCESS_TRANSCEIVE; break;
        default: break;
        }
    }
    return bits;
}

// A range bound as a signed 32-bit number in C notation (decimal, 0x
// hexadecimal, leading-zero octal); -1 when it has no digits or is out of
// range.
int64_t rangeBound(const char *text)
{
    errno = 0;
    char *end = nullptr;
    const long long value = std::strtoll(text, &end, 0);
    if (end == text || errno == ERANGE || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return -1;
    return value;
}

void replaceFirst(std::string &text, const std::string &pattern, const std::string &replacement,
                  bool *replaced = nullptr)
{
    const std::string::size_type at = text.find(pattern);
    if (at != std::string::npos)
        text.replace(at, pattern.size(), replacement);
    if (replaced)
        *replaced = at != std::string::npos;
}

// Reads the whole package file. Only a regular file is opened, since a FIFO
// or device would block or never end, and only up to the package size
// limit, since the reader keeps the whole text in memory.
XMLError readPackageFile(const std::string &path, std::string &text)
{
    struct stat info;
    if (::stat(path.c_str(), &info) != 0)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    if (!S_ISREG(info.st_mode) || static_cast<uint64_t>(info.st_size) > kKolmMaxPackageFileSize)
        return tinyxml2::XML_ERROR_FILE_READ_ERROR;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return tinyxml2::XML_ERROR_FILE_NOT_FOUND;
    text.resize(kKolmMaxPackageFileSize + 1);
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    if (in.bad() || static_cast<uint64_t>(in.gcount()) > kKolmMaxPackageFileSize)
        return tinyxml2::XML_ERROR_FILE_READ_ERROR;
    text.resize(static_cast<size_t>(in.gcount()));
    return tinyxml2::XML_SUCCESS;
}

// True when no element tag of the text holds more than
// kKolmMaxElementAttributes "=" signs outside its quoted values. Comments,
// character data, declarations and processing instructions end where the
// XML reader ends them and are not counted.
bool attributeCountsFit(const std::string &text)
{
    const auto skipPast = [&text](std::string::size_type from, const char *end) {
        const std::string::size_type at = text.find(end, from);
        return at == std::string::npos ? text.size() : at + std::strlen(end);
    };
    std::string::size_type at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        if (text.compare(at, 4, "<!--") == 0) {
            at = skipPast(at + 4, "-->");
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            at = skipPast(at + 9, "]]>");
        } else if (text.compare(at, 2, "<?") == 0) {
            at = skipPast(at + 2, "?>");
        } else if (text.compare(at, 2, "<!") == 0) {
            at = skipPast(at + 2, ">");
        } else {
            size_t attributes = 0;
            char quote = 0;
            for (++at; at < text.size() && (quote || text[at] != '>'); ++at) {
                const char c = text[at];
                if (quote) {
                    if (c == quote)
                        quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '=' && ++attributes > kKolmMaxElementAttributes) {
                    return false;
                }
            }
        }
    }
    return true;
}

// Reads an attribute that must hold an unsigned 32-bit number.
bool _xml_get_uint_attr(const XMLElement *element, const char *attribute, uint32_t *out,
                        std::string *message)
{
    int64_t value = 0;
    const XMLError error = intAttribute(element, attribute, &value);
    if (error != tinyxml2::XML_SUCCESS)
        return fail(message, error);
    if (value < 0 || value > 0xFFFFFFFF)
        return fail(message, std::string(attribute) + " attribute value is out of range");
    *out = static_cast<uint32_t>(value);
    return true;
}

} // namespace

bool KolmBoardPackageParser::parse(const std::string &path, std::string *message)
{
    std::string text;
    const XMLError read = readPackageFile(path, text);
    if (read != tinyxml2::XML_SUCCESS)
        return fail(message, read);
    if (!attributeCountsFit(text))
        return fail(message, tinyxml2::XML_ERROR_PARSING_ATTRIBUTE);
    XMLDocument document;
    if (document.Parse(text.data(), text.size()) != tinyxml2::XML_SUCCESS)
        return fail(message, document.ErrorName());

    const XMLElement *root = document.FirstChildElement();
    if (!root || !beginsWith(root->Name(), "Platform"))
        return fail(message, "not a BSP - root element must be \"Platform\"");
    const char *platform = root->Attribute("name");
    name = platform ? platform : "null";
    if (!_xml_get_uint_attr(root, "abi", &abi, message))
        return false;

    const XMLElement *ram = firstChild(root, "Ram");
    if (!ram)
        return fail(message, "No Ram node in the BSP");
    if (!_xml_get_uint_attr(ram, "address", &ram_address, message) ||
        !_xml_get_uint_attr(ram, "size", &ram_size, message))
        return false;
    const XMLElement *rom = firstChild(root, "Rom");
    if (!rom)
        return fail(message, "No Rom node in the BSP");
    if (!_xml_get_uint_attr(rom, "address", &rom_address, message))
        return false;

    if (const XMLElement *hal = firstChild(root, "Hal")) {
        if (!_xml_get_uint_attr(hal, "address", &hal_address, message))
            return false;
        for (const XMLElement *child = hal->FirstChildElement(); child;
             child = child->NextSiblingElement()) {
            if (!beginsWith(child->Name(), "Peripheral"))
                warnSkipped(message, child);
            else if (!parsePeripheral(child, message))
                return false;
        }
    }

    for (const XMLElement *child = firstChild(root, "Define"); child;
         child = child->NextSiblingElement()) {
        if (!beginsWith(child->Name(), "Define"))
            warnSkipped(message, child);
        else if (!parseDefine(child, message))
            return false;
    }
    return true;
}

bool KolmBoardPackageParser::parseDefine(const XMLElement *element, std::string *message)
{
    const char *define = element->Attribute("name");
    const char *type = element->Attribute("type");
    if (!define || !type)
        return fail(message, "name/type attribute(s) missing in define node");
    const char *value = element->Attribute("value");
    if (beginsWith(type, "integer")) {
        int64_t number = 0;
        if (!value || !XMLUtil::ToInt64(value, &number))
            return fail(message, "define value is not an integer, but should be");
        define_map.emplace(define, value);
    } else if (beginsWith(type, "string")) {
        if (!value)
            return fail(message, "define node is missing a value");
        define_map.emplace(define, std::string("\"") + value + "\"");
    } else {
        return fail(message, "unknown define node type");
    }
    return true;
}

bool KolmBoardPackageParser::parsePeripheral(const XMLElement *element, std::string *message)
{
    Template peripheral;
    const char *peripheral_name = element->Attribute("name");
    if (!peripheral_name)
        return fail(message, "name attribute missing in periphery node");
    peripheral.name = peripheral_name;
    if (peripheral_tables.count(peripheral.name))
        return fail(message, "duplicate periphery");

    int64_t address = 0;
    const XMLError error = intAttribute(element, "address", &address);
    if (error != tinyxml2::XML_SUCCESS)
        return fail(message, error);
    if (address < 0 || address > kMaxAddress)
        return fail(message, "periphery address is out of range");
    peripheral.address = static_cast<uint32_t>(address);

    bool is_template = false;
    element->QueryBoolAttribute("template", &is_template);
    const XMLElement *parser = firstChild(element, "Parser");
    if (is_template && !parser)
        return fail(message, "parser node missing inside a template periphery");

    for (const XMLElement *child = firstChild(element, "Register"); child;
         child = child->NextSiblingElement()) {
        if (beginsWith(child->Name(), "Register") &&
            !parseRegister(peripheral.address, child, peripheral.registers, !is_template, message))
            return false;
    }

    if (is_template) {
        bool synced = false;
        parser->QueryBoolAttribute("sync", &synced);
        return synced ? expandTemplateSynced(peripheral, parser, message)
                      : expandTemplate(peripheral, parser, message);
    }
    peripheral_tables.emplace(peripheral.name, std::move(peripheral.registers));
    peripheral_addresses.emplace(peripheral.name, peripheral.address);
    return true;
}

bool KolmBoardPackageParser::parseRegister(uint32_t peripheral_address, const XMLElement *element,
                                           RegisterTable &table, bool absolute,
                                           std::string *message)
{
    const char *register_name = element->Attribute("name");
    if (!register_name)
        return fail(message, "register node is missing a name");
    int64_t offset = 0;
    const XMLError error = intAttribute(element, "offset", &offset);
    if (error != tinyxml2::XML_SUCCESS)
        return fail(message, error);
    if (offset < 0 || offset > kMaxAddress - peripheral_address)
        return fail(message, "register address is out of range");
    if (table.count(register_name))
        return fail(message, "duplicate register");

    Register reg;
    reg.register_address = static_cast<uint32_t>(offset) + (absolute ? peripheral_address : 0);
    const char *access = element->Attribute("access");
    reg.access_bits = access ? accessBits(access) : KOLM_ACCESS_GET | KOLM_ACCESS_SET;
    table.emplace(register_name, reg);
    return true;
}

bool KolmBoardPackageParser::expandTemplate(const Template &tmpl, const XMLElement *parser,
                                            std::string *message)
{
    std::vector<TemplateGroup> groups;
    if (!expandTemplatePrep(tmpl, parser, groups, message))
        return false;
    if (groups.empty())
        return fail(message, "empty replace list in parser node");
    uint64_t instances = 1;
    for (const TemplateGroup &group : groups) {
        if (group.items.empty()) {
            instances = 0;
            break;
        }
        if (instances <= kKolmMaxTemplateInstances)
            instances *= group.items.size();
    }
    if (!checkExpansionSize(tmpl, groups, instances, message))
        return false;
    expandTemplateCore(tmpl, groups, false);
    return true;
}

bool KolmBoardPackageParser::expandTemplateSynced(const Template &tmpl, const XMLElement *parser,
                                                  std::string *message)
{
    std::vector<TemplateGroup> groups;
    if (!expandTemplatePrep(tmpl, parser, groups, message))
        return false;
    for (const TemplateGroup &group : groups)
        if (group.items.size() != groups.front().items.size())
            return fail(message, "different group sizes in synced parser node");
    const uint64_t instances = groups.empty() ? 0 : groups.front().items.size();
    if (!checkExpansionSize(tmpl, groups, instances, message))
        return false;
    expandTemplateCore(tmpl, groups, true);
    return true;
}

bool KolmBoardPackageParser::expandTemplatePrep(const Template &tmpl, const XMLElement *parser,
                                                std::vector<TemplateGroup> &groups,
                                                std::string *message)
{
    for (const XMLElement *element = firstChild(parser, "Group"); element;
         element = element->NextSiblingElement()) {
        const char *mode = element->Attribute("mode");
        if (!mode)
            return fail(message, "mode attribute is missing in a group node");
        const char *pattern = element->Attribute("pattern");
        if (!pattern)
            return fail(message, "pattern attribute missing inside a group");
        TemplateGroup group;
        group.pattern = pattern;
        if (beginsWith(mode, "range")) {
            const XMLElement *range = firstChild(element, "Range");
            if (!range)
                return fail(message, "range node missing inside a group");
            if (!expandRange(tmpl, range, group, message))
                return false;
        } else if (beginsWith(mode, "list")) {
            if (!expandList(tmpl, element, group, message))
                return false;
        } else {
            return fail(message, "unknown group mode");
        }
        groups.push_back(std::move(group));
    }
    return true;
}

bool KolmBoardPackageParser::expandRange(const Template &tmpl, const XMLElement *range,
                                         TemplateGroup &group, std::string *message)
{
    const char *min = range->Attribute("min");
    const char *max = range->Attribute("max");
    if (!min || !max)
        return fail(message, "min/max missing in range node");
    int64_t unit_value = 0;
    if (intAttribute(range, "unit", &unit_value) != tinyxml2::XML_SUCCESS)
        return fail(message, "invalid unit value in range node");
    const uint32_t unit = static_cast<uint32_t>(unit_value);

    const int64_t low = rangeBound(min);
    const int64_t high = rangeBound(max);
    if (low >= 0 && low < high) {
        const uint64_t count = static_cast<uint64_t>(high - low) + 1;
        if (count > kKolmMaxTemplateInstances)
            return fail(message, tooMany(tmpl.name));
        if (!chargeGroupItems(tmpl, count, kMaxRangeDigits, message))
            return false;
        group.items.reserve(count);
        for (uint32_t i = 0; i < count; ++i)
            group.items.emplace_back(std::to_string(low + i), i * unit);
        return true;
    }

    // A character range: only the last character runs, from min's to max's.
    std::string text = min;
    const std::string last = max;
    if (text.empty() || last.empty())
        return fail(message, "min/max missing in range node");
    if (text.size() != last.size())
        return fail(message, "string-range must have both values of equal size");
    const int first_char = static_cast<signed char>(text.back());
    const int last_char = static_cast<signed char>(last.back());
    if (first_char <= last_char &&
        !chargeGroupItems(tmpl, static_cast<uint64_t>(last_char - first_char) + 1, text.size(), message))
        return false;
    for (int c = first_char; c <= last_char; ++c) {
        text.back() = static_cast<char>(c);
        group.items.emplace_back(text, static_cast<uint32_t>(c - first_char) * unit);
    }
    return true;
}

bool KolmBoardPackageParser::expandList(const Template &tmpl, const XMLElement *group_element,
                                        TemplateGroup &group, std::string *message)
{
    for (const XMLElement *item = firstChild(group_element, "Item"); item;
         item = item->NextSiblingElement()) {
        int64_t offset = 0;
        const XMLError error = intAttribute(item, "offset", &offset);
        if (error != tinyxml2::XML_SUCCESS)
            return fail(message, error);
        const XMLNode *content = item->FirstChild();
        if (!content || !content->ToText())
            return fail(message, "Item node must be a text");
        if (group.items.size() >= kKolmMaxTemplateInstances)
            return fail(message, tooMany(tmpl.name));
        if (!chargeGroupItems(tmpl, 1, std::strlen(content->Value()), message))
            return false;
        group.items.emplace_back(content->Value(), static_cast<uint32_t>(offset));
    }
    return true;
}

// The items of the groups count against the package's budget before
// their texts are built: a file that names many large ranges must fail
// before it takes the memory.
bool KolmBoardPackageParser::chargeGroupItems(const Template &tmpl, uint64_t count,
                                              uint64_t text_length, std::string *message)
{
    const uint64_t left = kKolmMaxTemplateExpansion - template_expansion_work;
    const uint64_t per_item = text_length + kGroupItemCost;
    if (per_item > left / count)
        return fail(message, "template " + tmpl.name + " expands to too much data");
    template_expansion_work += per_item * count;
    return true;
}

bool KolmBoardPackageParser::checkExpansionSize(const Template &tmpl,
                                                const std::vector<TemplateGroup> &groups,
                                                uint64_t instances, std::string *message)
{
    if (instances > kKolmMaxTemplateInstances)
        return fail(message, tooMany(tmpl.name));
    if (instances == 0)
        return true;
    // An instance name is at most the template name with the longest text
    // of every group added. Each group searches it for its pattern (at
    // worst name length times pattern length), and the instance copies the
    // template's register table.
    uint64_t name_length = tmpl.name.size();
    for (const TemplateGroup &group : groups) {
        size_t longest = 0;
        for (const auto &item : group.items)
            longest = std::max(longest, item.first.size());
        name_length += longest;
    }
    uint64_t per_instance = name_length;
    for (const TemplateGroup &group : groups)
        per_instance += name_length * (group.pattern.size() + 1);
    for (const auto &reg : tmpl.registers)
        per_instance += reg.first.size() + kRegisterEntryCost;
    const uint64_t left = kKolmMaxTemplateExpansion - template_expansion_work;
    if (per_instance > left / instances)
        return fail(message, "template " + tmpl.name + " expands to too much data");
    template_expansion_work += per_instance * instances;
    return true;
}

void KolmBoardPackageParser::expandTemplateCore(const Template &tmpl,
                                                const std::vector<TemplateGroup> &groups,
                                                bool synced)
{
    if (!synced) {
        iterateTemplateExpansion(tmpl, groups);
        return;
    }
    const size_t count = groups.empty() ? 0 : groups.front().items.size();
    for (size_t i = 0; i < count; ++i) {
        std::string instance = tmpl.name;
        uint32_t address = tmpl.address;
        for (const TemplateGroup &group : groups) {
            bool replaced = false;
            replaceFirst(instance, group.pattern, group.items[i].first, &replaced);
            if (replaced)
                address += group.items[i].second;
        }
        addInstance(tmpl, instance, address);
    }
}

// Every combination of one item per group, the first group outermost: each
// item replaces its group's pattern once and adds its offset.
void KolmBoardPackageParser::iterateTemplateExpansion(const Template &tmpl,
                                                      const std::vector<TemplateGroup> &groups)
{
    for (const TemplateGroup &group : groups)
        if (group.items.empty())
            return;
    std::vector<size_t> index(groups.size(), 0);
    for (;;) {
        std::string instance = tmpl.name;
        uint32_t address = tmpl.address;
        for (size_t level = 0; level < groups.size(); ++level) {
            const auto &item = groups[level].items[index[level]];
            replaceFirst(instance, groups[level].pattern, item.first);
            address += item.second;
        }
        addInstance(tmpl, instance, address);

        size_t level = groups.size();
        for (;;) {
            if (level == 0)
                return;
            --level;
            if (++index[level] < groups[level].items.size())
                break;
            index[level] = 0;
        }
    }
}

void KolmBoardPackageParser::addInstance(const Template &tmpl, const std::string &instance,
                                         uint32_t address)
{
    if (peripheral_tables.count(instance))
        return;
    RegisterTable table = tmpl.registers;
    for (auto &entry : table)
        entry.second.register_address += address;
    peripheral_tables.emplace(instance, std::move(table));
    peripheral_addresses.emplace(instance, address);
}

std::vector<std::string> KolmBoardPackageParser::defines() const
{
    std::vector<std::string> names;
    names.reserve(define_map.size());
    for (const auto &define : define_map)
        names.push_back(define.first);
    return names;
}

std::vector<std::string> KolmBoardPackageParser::peripherals() const
{
    std::vector<std::string> names;
    names.reserve(peripheral_tables.size());
    for (const auto &peripheral : peripheral_tables)
        names.push_back(peripheral.first);
    return names;
}

std::vector<std::string> KolmBoardPackageParser::registers(const std::string &peripheral) const
{
    std::vector<std::string> names;
    for (const auto &reg : peripheryTable(peripheral))
        names.push_back(reg.first);
    return names;
}

const KolmBoardPackageParser::RegisterTable &
KolmBoardPackageParser::peripheryTable(const std::string &peripheral) const
{
    static const RegisterTable empty;
    const auto it = peripheral_tables.find(peripheral);
    return it == peripheral_tables.end() ? empty : it->second;
}

uint32_t KolmBoardPackageParser::address(const std::string &peripheral, bool *found) const
{
    const auto it = peripheral_addresses.find(peripheral);
    if (found)
        *found = it != peripheral_addresses.end();
    return it == peripheral_addresses.end() ? 0 : it->second;
}

const KolmBoardPackageParser::Register *
KolmBoardPackageParser::findRegister(const std::string &peripheral, const std::string &reg,
                                     bool *found) const
{
    const RegisterTable &table = peripheryTable(peripheral);
    const auto it = table.find(reg);
    if (found)
        *found = it != table.end();
    return it == table.end() ? nullptr : &it->second;
}

uint32_t KolmBoardPackageParser::address(const std::string &peripheral, const std::string &reg,
                                         bool *found) const
{
    const Register *entry = findRegister(peripheral, reg, found);
    return entry ? entry->register_address : 0;
}

uint32_t KolmBoardPackageParser::access(const std::string &peripheral, const std::string &reg,
                                        bool *found) const
{
    const Register *entry = findRegister(peripheral, reg, found);
    return entry ? entry->access_bits : 0;
}

void KolmBoardPackageParser::dump(std::ostream &out) const
{
    // The listing's own format, whatever the stream was set to before.
    const std::ios::fmtflags flags = out.flags(std::ios::hex | std::ios::right);
    const char fill = out.fill();
    out << "BSP " << name << ": RAM [0x" << ram_address << ":"
        << static_cast<uint32_t>(ram_address + ram_size - 1) << "], DATA 0x" << rom_address
        << ", PERIPH 0x" << hal_address << "\n";
    for (const auto &peripheral : peripheral_tables) {
        for (const auto &reg : peripheral.second) {
            out << std::setfill(' ') << std::setw(32) << (peripheral.first + "." + reg.first)
                << " -> 0x" << std::setfill('0') << std::setw(8) << reg.second.register_address
                << " as " << std::setw(8) << reg.second.access_bits << "\n";
        }
    }
    out << std::setfill(' ');
    for (const auto &define : define_map)
        out << "define: " << std::setw(25) << define.first << " -> " << define.second << "\n";
    out.flags(flags);
    out.fill(fill);
}
