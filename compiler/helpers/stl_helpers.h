#ifndef STL_HELPERS_H
#define STL_HELPERS_H

#include <list>
#include <ostream>
#include <string>

namespace stl_helpers {

// Directory separator of the host: "/".
extern const std::string dirSeparator;

// s without leading and trailing spaces, tabs and line feeds.
std::string trim(const std::string &s);

// The integer at the start of s in the given base (0: "0x" hexadecimal,
// leading 0 octal, else decimal). Leading blanks and a sign are allowed and
// trailing characters ignored. When no digit can be read or the value does not
// fit in a signed 32-bit integer the result is 0 and *ok is false.
int toInt(const std::string &s, bool *ok = nullptr, int base = 10);

} // namespace stl_helpers

// Writes "[a, b, c]".
std::ostream &operator<<(std::ostream &out, const std::list<std::string> &items);

#endif
