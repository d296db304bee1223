#include "zuiconv.h"

namespace {

const char kDigits[] = "0123456789ABCDEF";

// Value of one hexadecimal digit, or -1.
int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

uint32_t dtou(const char *text, uint8_t len)
{
    uint32_t value = 0;
    for (uint8_t i = 0; i < len; ++i) {
        if (!isDigit(text[i]))
            return 0xFFFFFFFFu;
        value = value * 10u + uint32_t(text[i] - '0');
    }
    return value;
}

uint32_t htou(const char *text, uint8_t len)
{
    uint32_t value = 0;
    for (uint8_t i = 0; i < len; ++i) {
        int digit = hexValue(text[i]);
        if (digit < 0)
            break;
        value = (value << 4) | uint32_t(digit);
    }
    return value;
}

int htoa(const char *text, uint8_t len, uint8_t *out)
{
    unsigned i = 0;
    for (; i + 1 < len; i += 2) {
        int high = hexValue(text[i]);
        int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return 1;
        *out++ = uint8_t((high << 4) | low);
    }
    return int(len - i);
}

int dtoi(const char *text, uint8_t len, int32_t *out)
{
    unsigned i = 0;
    bool negative = false;
    if (len > 0 && text[0] == '-') {
        negative = true;
        i = 1;
    }
    uint32_t value = 0;
    for (; i < len; ++i) {
        if (!isDigit(text[i])) {
            *out = int32_t(value);
            return 1;
        }
        value = value * 10u + uint32_t(text[i] - '0');
    }
    *out = int32_t(negative ? 0u - value : value);
    return 0;
}

char u4toh(uint8_t value)
{
    return kDigits[value & 0x0F];
}

void u8toh(uint8_t value, char *out)
{
    out[0] = u4toh(value >> 4);
    out[1] = u4toh(value);
}

void u16toh(uint16_t value, char *out)
{
    u8toh(uint8_t(value >> 8), out);
    u8toh(uint8_t(value), out + 2);
}

void u32toh(uint32_t value, char *out)
{
    u16toh(uint16_t(value >> 16), out);
    u16toh(uint16_t(value), out + 4);
}

void atoh(const uint8_t *bytes, uint8_t count, char *out)
{
    for (unsigned i = 0; i < count; ++i)
        u8toh(bytes[i], out + 2 * i);
}

void atohr(const uint8_t *bytes, uint8_t count, char *out)
{
    for (unsigned i = 0; i < count; ++i)
        u8toh(bytes[count - 1 - i], out + 2 * i);
}

void utod(uint32_t value, char **cursor)
{
    char reversed[10];
    int n = 0;
    do {
        reversed[n++] = kDigits[value % 10u];
        value /= 10u;
    } while (value != 0);
    while (n > 0)
        *(*cursor)++ = reversed[--n];
}

void stod(int32_t value, char **cursor)
{
    if (value < 0) {
        *(*cursor)++ = '-';
        utod(0u - uint32_t(value), cursor);
    } else {
        utod(uint32_t(value), cursor);
    }
}

int utods(uint32_t value, char *out)
{
    char *cursor = out;
    utod(value, &cursor);
    return int(cursor - out);
}

int stods(int32_t value, char *out)
{
    char *cursor = out;
    stod(value, &cursor);
    return int(cursor - out);
}
