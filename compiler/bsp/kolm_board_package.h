#ifndef KOLM_BOARD_PACKAGE_H
#define KOLM_BOARD_PACKAGE_H

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace tinyxml2 {
class XMLElement;
}

// Access bits of a peripheral register.
enum KolmRegisterAccess : uint32_t {
    KOLM_ACCESS_GET = 0x01,      // may be read as a value
    KOLM_ACCESS_SET = 0x02,      // may be written as a value
    KOLM_ACCESS_READ = 0x04,     // data register, read side
    KOLM_ACCESS_WRITE = 0x08,    // data register, write side
    KOLM_ACCESS_TRANSCEIVE = 0x10, // recorded for the board package browser
};

// Largest package file that is read; larger files, and anything but a
// regular file, are refused before reading.
constexpr uint64_t kKolmMaxPackageFileSize = 1u << 20;
// Most attributes one element may carry; the XML reader compares each
// attribute with every earlier one of its element, so a package with far
// more would take minutes to read.
constexpr size_t kKolmMaxElementAttributes = 256;
// Most instances one template peripheral may expand to.
constexpr uint64_t kKolmMaxTemplateInstances = 65536;
// Most work the template expansions of one package may take together:
// characters searched and built for the instance names plus the register
// tables copied (see checkExpansionSize). Keeps a small file from expanding
// into gigabytes or from building names for minutes.
constexpr uint64_t kKolmMaxTemplateExpansion = 64u << 20;

// A board support package (.kbsp): platform name, integer width, RAM, ROM
// and peripheral base addresses, peripherals with their registers, and
// defines. Filled by parse(), then only queried. Peripheral and register
// addresses are relative to hal_address.
class KolmBoardPackageParser {
public:
    struct Register {
        uint32_t register_address; // peripheral address + offset (a bare offset inside a template)
        uint32_t access_bits;      // KolmRegisterAccess bits
    };
    using RegisterTable = std::unordered_map<std::string, Register>;

    std::string name;
    // Peripheral name to its register table; template peripherals appear
    // only as their expanded instances. (Named apart from peripherals(),
    // since a member function and a field cannot share a name.)
    std::unordered_map<std::string, RegisterTable> peripheral_tables;
    std::unordered_map<std::string, uint32_t> peripheral_addresses;
    std::unordered_map<std::string, std::string> define_map;
    uint32_t abi = 0;
    uint32_t ram_address = 0;
    uint32_t ram_size = 0;
    uint32_t rom_address = 0;
    uint32_t hal_address = 0;

    // Reads the package file at path into this object. On the first error
    // returns false with *message (when not null) set to the error text;
    // warnings about skipped elements are appended to *message.
    bool parse(const std::string &path, std::string *message = nullptr);

    // Names of the defines, of the peripherals (instances, not templates)
    // and of one peripheral's registers, in hash-map order.
    std::vector<std::string> defines() const;
    std::vector<std::string> peripherals() const;
    std::vector<std::string> registers(const std::string &peripheral) const;
    // The peripheral's register table, or a shared empty table when absent.
    const RegisterTable &peripheryTable(const std::string &peripheral) const;

    // Address of a peripheral, or of one of its registers, relative to the
    // Hal base; 0 and *found false when absent.
    uint32_t address(const std::string &peripheral, bool *found = nullptr) const;
    uint32_t address(const std::string &peripheral, const std::string &reg,
                     bool *found = nullptr) const;
    // Access bits of a register; 0 and *found false when absent.
    uint32_t access(const std::string &peripheral, const std::string &reg,
                    bool *found = nullptr) const;

    // Hands every define to the code generator: context.addDefine(name, value).
    template <class Context> void upload(Context &context) const
    {
        for (const auto &define : define_map)
            context.addDefine(define.first, define.second);
    }

    // Debugging listing: platform line, one line per register, one per define.
    void dump(std::ostream &out) const;

private:
    // One group of a template's parser: the pattern it replaces and its
    // items (replacement text, address offset) in order.
    struct TemplateGroup {
        std::string pattern;
        std::vector<std::pair<std::string, uint32_t>> items;
    };
    // A template peripheral as read, before expansion.
    struct Template {
        std::string name;
        uint32_t address;
        RegisterTable registers;
    };

    const Register *findRegister(const std::string &peripheral, const std::string &reg,
                                 bool *found) const;
    bool parseDefine(const tinyxml2::XMLElement *element, std::string *message);
    bool parsePeripheral(const tinyxml2::XMLElement *element, std::string *message);
    static bool parseRegister(uint32_t peripheral_address, const tinyxml2::XMLElement *element,
                              RegisterTable &table, bool absolute, std::string *message);
    bool expandTemplate(const Template &tmpl, const tinyxml2::XMLElement *parser,
                        std::string *message);
    bool expandTemplateSynced(const Template &tmpl, const tinyxml2::XMLElement *parser,
                              std::string *message);
    bool expandTemplatePrep(const Template &tmpl, const tinyxml2::XMLElement *parser,
                            std::vector<TemplateGroup> &groups, std::string *message);
    bool expandRange(const Template &tmpl, const tinyxml2::XMLElement *range,
                     TemplateGroup &group, std::string *message);
    bool expandList(const Template &tmpl, const tinyxml2::XMLElement *group_element,
                    TemplateGroup &group, std::string *message);
    bool chargeGroupItems(const Template &tmpl, uint64_t count, uint64_t text_length,
                          std::string *message);
    bool checkExpansionSize(const Template &tmpl, const std::vector<TemplateGroup> &groups,
                            uint64_t instances, std::string *message);
    void expandTemplateCore(const Template &tmpl, const std::vector<TemplateGroup> &groups,
                            bool synced);
    void iterateTemplateExpansion(const Template &tmpl, const std::vector<TemplateGroup> &groups);
    void addInstance(const Template &tmpl, const std::string &name, uint32_t address);

    // Work spent by the templates expanded so far, against
    // kKolmMaxTemplateExpansion.
    uint64_t template_expansion_work = 0;
};

#endif
