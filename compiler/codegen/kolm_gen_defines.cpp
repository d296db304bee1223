// Generator set-up: construction, predefined macros, the define table,
// reserved names, the include search and the board package in use.

#include "kolm_gen_context.h"

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <locale>

namespace fs = std::filesystem;

const char *const g_kolm_keywords[] = {"continue", "break", "while", "for", "do", "return", "goto", "in", nullptr};

namespace {

// Formats the local date and time with English month names; false when no
// suitable locale exists on this system.
bool formatDateTime(std::string &date, std::string &time)
{
    static const char *const names[] = {"en_US.utf8", "en_US.UTF-8", "C"};
    std::locale loc;
    bool found = false;
    for (const char *name : names) {
        try {
            loc = std::locale(name);
            found = true;
            break;
        } catch (const std::exception &e) {
            std::cerr << "locale " << name << " unavailable - exception " << e.what() << "\n";
        }
    }
    if (!found)
        return false;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::ostringstream stream;
    stream.imbue(loc);
    stream << std::put_time(&local, "\"%b %d %Y\"");
    date = stream.str();
    stream.str("");
    stream << std::put_time(&local, "\"%H:%M:%S\"");
    time = stream.str();
    return true;
}

bool isRegularFile(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string utf8(const fs::path &path)
{
    return path.u8string();
}

bool inList(const char *const *list, const std::string &name)
{
    for (; *list; ++list)
        if (name == *list)
            return true;
    return false;
}

bool inTable(const _kolm_function_descr *table, const std::string &name)
{
    for (; table->name; ++table)
        if (name == table->name)
            return true;
    return false;
}

} // namespace

KolmGenContext::KolmGenContext()
{
    m_defaultPackage.abi = 4;
    m_defaultPackage.ram_address = kolm_image::kRamAddress;
    m_defaultPackage.ram_size = 0x400;
    m_defaultPackage.rom_address = kolm_image::kDataAddress;
    m_defaultPackage.hal_address = 0x40000000;

    std::string date, time;
    if (formatDateTime(date, time)) {
        addDefine("__DATE__", date);
        addDefine("__TIME__", time);
    } else {
        std::cerr << "this system does not support locales - DATE/TIME macros will be unavailable";
    }
    addDefine("__KOLM__", "1");
    addDefine("__KOLM_VERSION", std::to_string(kLanguageRevision));
    addDefine("__VERSION__", "\"0.5\"");
    addDefine("__ORDER_LITTLE_ENDIAN__", "0");
    addDefine("__ORDER_BIG_ENDIAN__", "1");
    addDefine("__BYTE_ORDER__", "0");
}

KolmGenContext::~KolmGenContext() = default;

// An existing define keeps its first value: predefined macros stay, and a
// project define wins over a board package define of the same name.
// Defining a name again with the same value is silent.
bool KolmGenContext::addDefine(const std::string &name, const std::string &value, std::string *message)
{
    const auto it = m_defines.find(name);
    if (it != m_defines.end()) {
        if (message && it->second != value)
            *message = name + " redefined";
        return true;
    }
    m_defines.emplace(name, value);
    return true;
}

void KolmGenContext::removeDefine(const std::string &name)
{
    m_defines.erase(name);
}

bool KolmGenContext::isKeyword(const std::string &name)
{
    return inList(g_kolm_keywords, name);
}

bool KolmGenContext::isInternalFunction(const std::string &name)
{
    return inTable(g_kolm_internal_funcs, name);
}

bool KolmGenContext::isSpecialFunction(const std::string &name)
{
    return inTable(g_kolm_fixed_funcs, name);
}

std::string KolmGenContext::cwd()
{
    char buffer[4097];
    if (!::getcwd(buffer, sizeof buffer))
        return std::string();
    return std::string(buffer);
}

// Include directories are tried in the order in which they were added.
void KolmGenContext::addIncludePath(const std::string &dir)
{
    const fs::path path(dir);
    const std::string stored = path.has_root_directory() ? dir : (fs::path(cwd()) / path).string();
    for (const std::string &known : m_includeDirs)
        if (known == stored)
            return;
    m_includeDirs.push_back(stored);
}

const std::string *KolmGenContext::includeText(const std::string &path) const
{
    if (!m_includeFiles)
        return nullptr;
    const auto found = m_includeFiles->find(path);
    return found == m_includeFiles->end() ? nullptr : &found->second;
}

std::string KolmGenContext::locate(const std::string &name, const std::string &includer, bool system) const
{
    if (m_includeFiles)
        return m_includeFiles->count(name) ? name : std::string();
    const fs::path file(name);
    if (file.has_root_directory())
        return isRegularFile(name) ? name : std::string();
    if (!system) {
        fs::path base = fs::path(includer).parent_path();
        if (!base.has_root_directory())
            base = fs::path(cwd()) / base;
        const std::string candidate = utf8(base / file);
        if (isRegularFile(candidate))
            return candidate;
    }
    for (const std::string &dir : m_includeDirs) {
        const std::string candidate = utf8((fs::path(dir) / file).lexically_normal());
        if (isRegularFile(candidate))
            return candidate;
    }
    return std::string();
}

const KolmBoardPackageParser &KolmGenContext::boardPackage() const
{
    return m_package ? *m_package : m_defaultPackage;
}

void KolmGenContext::setBoardPackage(const KolmBoardPackageParser *bsp)
{
    m_package = bsp;
    if (!bsp)
        return;
    bsp->upload(*this);
    addDefine("__ABI__", std::to_string(bsp->abi));
}

// A package that fails to parse leaves the default package as it was.
bool KolmGenContext::loadBoardPackage(const std::string &path, std::string &error)
{
    KolmBoardPackageParser parsed;
    if (!parsed.parse(path, &error))
        return false;
    m_defaultPackage = std::move(parsed);
    m_defaultPackage.upload(*this);
    addDefine("__ABI__", std::to_string(m_defaultPackage.abi));
    return true;
}

void KolmGenContext::dumpBoardPackage(std::ostream &out) const
{
    boardPackage().dump(out);
}

std::string KolmBinarySize::print(bool table) const
{
    std::ostringstream out;
    if (table) {
        out << std::setw(9) << "text" << std::setw(9) << "data" << std::setw(9) << "bss" << "\n";
        out << std::setw(9) << text << std::setw(9) << data << std::setw(9) << bss << "\n";
    } else {
        out << text << " / " << data << " / " << bss;
    }
    return out.str();
}
