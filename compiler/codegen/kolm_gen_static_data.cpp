// String literals and static arrays, placed into the data section at
// compile time, and the compile-time queries on static arrays.

#include "kolm_gen_context.h"

namespace {

constexpr size_t kMaxArrayElements = 255;

void appendU32(std::string &data, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        data.push_back(char((value >> shift) & 0xFF));
}

uint32_t readU32(const std::string &data, size_t offset)
{
    if (offset > data.size() || data.size() - offset < 4)
        return 0;
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | uint8_t(data[offset + size_t(i)]);
    return value;
}

// The literal text without its enclosing quote characters.
std::string unquote(const std::string &quoted)
{
    return quoted.size() >= 2 ? quoted.substr(1, quoted.size() - 2) : std::string();
}

} // namespace

uint32_t KolmGenContext::placeLiteral(const std::string &quoted)
{
    const std::string key = unquote(quoted);
    const uint32_t rom = boardPackage().rom_address;
    const auto it = m_literals.find(key);
    if (it != m_literals.end())
        return rom + it->second.offset;
    const uint32_t offset = uint32_t(m_data.size());
    m_literals.emplace(key, DataString{offset, uint32_t(key.size())});
    m_literalOrder.push_back(key);
    m_data += key;
    m_data.push_back('\0');
    return rom + offset;
}

namespace {

bool placeArray(std::unordered_map<std::string, KolmGenContext::DataArray> &arrays, std::vector<std::string> &order,
                std::string &data, const std::string &name, const std::vector<uint32_t> &values, bool numbers,
                std::string &message)
{
    if (arrays.count(name)) {
        message = "redefinition of " + name;
        return false;
    }
    if (values.size() > kMaxArrayElements) {
        message = "array size out of bounds";
        return false;
    }
    arrays.emplace(name, KolmGenContext::DataArray{uint32_t(data.size()), uint8_t(values.size()), numbers});
    order.push_back(name);
    data.push_back(char(values.size()));
    for (uint32_t value : values)
        appendU32(data, value);
    return true;
}

} // namespace

bool KolmGenContext::placeNumberArray(const std::string &name, const std::vector<uint32_t> &values,
                                      std::string &message)
{
    return placeArray(m_arrays, m_arrayOrder, m_data, name, values, true, message);
}

bool KolmGenContext::placeStringArray(const std::string &name, const std::vector<uint32_t> &addresses,
                                      std::string &message)
{
    return placeArray(m_arrays, m_arrayOrder, m_data, name, addresses, false, message);
}

// Placed bytes at a ROM address; whatever lies outside the placed data is
// left out.
std::string KolmGenContext::dataString(uint32_t address, uint32_t length) const
{
    const uint32_t offset = address - boardPackage().rom_address;
    if (offset >= m_data.size())
        return std::string();
    return m_data.substr(offset, length);
}

const KolmGenContext::DataArray *KolmGenContext::staticArray(const std::string &name) const
{
    const auto it = m_arrays.find(name);
    return it == m_arrays.end() ? nullptr : &it->second;
}

bool KolmGenContext::staticArrayIsNumbers(const std::string &name) const
{
    const DataArray *array = staticArray(name);
    return array && array->numbers;
}

uint32_t KolmGenContext::staticArraySize(const std::string &name) const
{
    const DataArray *array = staticArray(name);
    return array ? array->count : 0;
}

// Element of a static array; 0 for an index beyond its last element.
uint32_t KolmGenContext::staticArrayValue(const std::string &name, uint32_t index) const
{
    const auto it = m_arrays.find(name);
    if (it == m_arrays.end() || index >= it->second.count)
        return 0;
    return readU32(m_data, it->second.offset + 1 + size_t(index) * 4);
}

bool KolmGenContext::staticArrayContains(const std::string &name, uint32_t number) const
{
    const auto it = m_arrays.find(name);
    if (it == m_arrays.end() || !it->second.numbers)
        return false;
    for (uint32_t i = 0; i < it->second.count; ++i)
        if (staticArrayValue(name, i) == number)
            return true;
    return false;
}

bool KolmGenContext::staticArrayContains(const std::string &name, const std::string &quoted) const
{
    const std::string key = unquote(quoted);
    const auto it = m_arrays.find(name);
    if (!m_literals.count(key) || it == m_arrays.end() || it->second.numbers)
        return false;
    // Whole texts: the literal's bytes and its terminating zero.
    const std::string text = key + '\0';
    for (uint32_t i = 0; i < it->second.count; ++i)
        if (dataString(staticArrayValue(name, i), uint32_t(text.size())) == text)
            return true;
    return false;
}
