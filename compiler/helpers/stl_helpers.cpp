#include "stl_helpers.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>

namespace stl_helpers {

const std::string dirSeparator = "/";

std::string trim(const std::string &s)
{
    static const char kBlanks[] = " \t\n";
    size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return std::string();
    size_t last = s.find_last_not_of(kBlanks);
    return s.substr(first, last - first + 1);
}

int toInt(const std::string &s, bool *ok, int base)
{
    const char *start = s.c_str();
    char *end = nullptr;
    errno = 0;
    long long value = std::strtoll(start, &end, base);
    bool good = end != start && errno == 0 && value >= INT32_MIN && value <= INT32_MAX;
    if (ok)
        *ok = good;
    return good ? int(value) : 0;
}

} // namespace stl_helpers

std::ostream &operator<<(std::ostream &out, const std::list<std::string> &items)
{
    out << "[";
    const char *separator = "";
    for (const std::string &item : items) {
        out << separator << item;
        separator = ", ";
    }
    return out << "]";
}
