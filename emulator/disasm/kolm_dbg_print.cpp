#include "kolm_dbg_print.h"

#include <ios>
#include <string>

namespace {

// The values of the JSON and XML forms are decimal whatever mode the
// caller's stream is in, so they are written as text.
struct NamedEntry {
    const char *name;
    std::string value;
};

// The entries in the order of the JSON and XML forms.
void entries(const _KOLM_VTable &t, NamedEntry (&out)[6])
{
    out[0] = {"main", std::to_string(t.main)};
    out[1] = {"exti", std::to_string(t.exti)};
    out[2] = {"msg", std::to_string(t.msg)};
    out[3] = {"ack", std::to_string(t.ack)};
    out[4] = {"segv", std::to_string(t.segv)};
    out[5] = {"bss", std::to_string(t.bss)};
}

} // namespace

std::ostream &operator<<(std::ostream &out, const _KOLM_VTable &table)
{
    out << std::hex;
    out << "main\texti\tmsg\n" << table.main << "\t" << table.exti << "\t" << table.msg << "\n";
    out << "segv\tack\tbss\n" << table.segv << "\t" << table.ack << "\t" << table.bss << "\n";
    return out << std::dec;
}

void printVTableJson(const _KOLM_VTable &table, Padding &pad, std::ostream &out)
{
    NamedEntry named[6];
    entries(table, named);
    out << pad << "{\n";
    ++pad.level;
    for (size_t i = 0; i < 6; ++i)
        out << pad << "\"" << named[i].name << "\": " << named[i].value << (i < 5 ? ",\n" : "\n");
    --pad.level;
    out << pad << "}";
}

void printVTableXML(const _KOLM_VTable &table, Padding &pad, std::ostream &out)
{
    NamedEntry named[6];
    entries(table, named);
    out << pad << "<vtable>\n";
    ++pad.level;
    for (const NamedEntry &entry : named)
        out << pad << "<entry name=\"" << entry.name << "\" address=\"" << entry.value << "\" />\n";
    --pad.level;
    out << pad << "</vtable>\n";
}
