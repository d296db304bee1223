#include "kolm_disasm_escape.h"

#include <cstdint>
#include <cstdio>

namespace {

// Length of the well-formed UTF-8 sequence of at least two bytes that starts
// at bytes[i], with its code point; 0 when there is none (a lone
// continuation byte, a truncated or overlong sequence, a surrogate, a value
// above U+10FFFF).
size_t utf8Sequence(const std::string &bytes, size_t i, uint32_t &codePoint)
{
    const auto byte = [&](size_t k) { return uint8_t(bytes[k]); };
    uint8_t lead = byte(i);
    size_t length;
    uint32_t minimum;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2; minimum = 0x80; codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3; minimum = 0x800; codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4; minimum = 0x10000; codePoint = lead & 0x07;
    } else {
        return 0;
    }
    if (bytes.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        codePoint = (codePoint << 6) | (byte(i + k) & 0x3F);
    }
    if (codePoint < minimum || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF))
        return 0;
    return length;
}

std::string byteCode(const char *format, uint8_t byte)
{
    char text[8];
    std::snprintf(text, sizeof text, format, unsigned(byte));
    return text;
}

// Copies each well-formed UTF-8 sequence whose code point `keep` accepts and
// hands every other byte, ASCII included, to `single`.
template <typename Keep, typename Single>
std::string escapeBytes(const std::string &bytes, Keep keep, Single single)
{
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        uint32_t codePoint = 0;
        size_t length = uint8_t(bytes[i]) >= 0x80 ? utf8Sequence(bytes, i, codePoint) : 0;
        if (length > 0 && keep(codePoint)) {
            out.append(bytes, i, length);
            i += length;
        } else {
            single(uint8_t(bytes[i]), out);
            ++i;
        }
    }
    return out;
}

} // namespace

std::string jsonEscape(const std::string &bytes)
{
    return escapeBytes(bytes, [](uint32_t) { return true; }, [](uint8_t c, std::string &out) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (c < 0x20 || c >= 0x80)
            out += byteCode("\\u%04x", c);
        else
            out += char(c);
    });
}

std::string xmlEscape(const std::string &bytes)
{
    const auto isXmlCharacter = [](uint32_t codePoint) { return codePoint != 0xFFFE && codePoint != 0xFFFF; };
    return escapeBytes(bytes, isXmlCharacter, [](uint8_t c, std::string &out) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\t': out += "&#9;"; break;
        case '\n': out += "&#10;"; break;
        case '\r': out += "&#13;"; break;
        default:
            if (c < 0x20 || c >= 0x80)
                out += byteCode("\\x%02x", c);
            else
                out += char(c);
        }
    });
}
