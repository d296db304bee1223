#ifndef ZUICONV_H
#define ZUICONV_H

// Conversions between integers and decimal or hexadecimal text held in plain
// character buffers. Nothing allocates and nothing writes a terminating zero;
// input lengths are 8-bit counts.

#include <cstdint>

// Value of decimal digits; 0 for length 0; 0xFFFFFFFF as soon as a character
// is not a digit. Overflow wraps.
uint32_t dtou(const char *text, uint8_t len);
// Value of hexadecimal digits, stopping at the first other character. Only
// the last eight digits count.
uint32_t htou(const char *text, uint8_t len);
// Pairs of hexadecimal digits to bytes. Returns the number of characters left
// over (0 or 1), or 1 as soon as a digit of a pair is not hexadecimal.
int htoa(const char *text, uint8_t len, uint8_t *out);
// Signed decimal with an optional leading '-'. Returns 0 on success, 1 on a
// character that is not a digit (out then holds the digits read so far,
// without the sign).
int dtoi(const char *text, uint8_t len, int32_t *out);

char u4toh(uint8_t value);
void u8toh(uint8_t value, char *out);
void u16toh(uint16_t value, char *out);
void u32toh(uint32_t value, char *out);
// Two characters per byte, bytes in order (atoh) or from the last (atohr).
void atoh(const uint8_t *bytes, uint8_t count, char *out);
void atohr(const uint8_t *bytes, uint8_t count, char *out);

// Decimal digits at *cursor, which is advanced past them.
void utod(uint32_t value, char **cursor);
void stod(int32_t value, char **cursor);
// The same into out; the result is the number of characters written.
int utods(uint32_t value, char *out);
int stods(int32_t value, char *out);

#endif
