#ifndef KOLM_IMAGE_FORMAT_H
#define KOLM_IMAGE_FORMAT_H

// The bytecode image layout that the code generator writes and the
// emulator reads and lists: a 36-byte header, the code, then tagged
// sections ("DT" data, "TS" static objects, "DS" debug information), each a
// two-character tag, a u16 length and the payload. Multi-byte fields are
// little-endian.

#include <cstdint>

namespace kolm_image {

inline constexpr uint16_t kByteOrderMark = 0xFFFE;
inline constexpr uint16_t kMagic = 0xA0A1;
inline constexpr uint16_t kLanguageRevision = 5;

// Header fields by offset.
inline constexpr uint32_t kFlagsOffset = 6;
inline constexpr uint32_t kCodeTagOffset = 8;     // "BC"
inline constexpr uint32_t kCodeLengthOffset = 10; // counts from the entry table
inline constexpr uint32_t kEntryTableOffset = 12; // main, _exti, _msg, _ack, _segv, global area size
inline constexpr uint32_t kEntryCount = 6;
inline constexpr uint32_t kEntryTableBytes = 4 * kEntryCount;
inline constexpr uint32_t kHeaderSize = kEntryTableOffset + kEntryTableBytes;

// The largest image the format can hold: the header up to the code
// section's length, at most 65535 bytes of code (entry table included), and
// the data, symbol and debug sections, each a tag, a 16-bit length and at
// most 65535 bytes.
inline constexpr uint32_t kMaxSectionBody = 0xFFFF;
inline constexpr uint32_t kMaxImageSize = kEntryTableOffset + kMaxSectionBody + 3 * (4 + kMaxSectionBody);
static_assert(kMaxImageSize == 262164);

// Flag bits.
inline constexpr uint16_t kFlagDebug = 1; // a "DS" section follows
inline constexpr uint16_t kFlagSecond = 2;

// Section tags.
inline constexpr char kTagCode[] = "BC";
inline constexpr char kTagData[] = "DT";
inline constexpr char kTagSymbols[] = "TS";
inline constexpr char kTagDebug[] = "DS";

// Kinds of "TS" records.
enum SymbolKind : uint32_t { SYMBOL_LITERAL = 1, SYMBOL_LITERAL_ARRAY = 2, SYMBOL_NUMBER_ARRAY = 3 };

// Script addresses: the data section and the globals in RAM.
inline constexpr uint32_t kDataAddress = 0x08000000;
inline constexpr uint32_t kRamAddress = 0x20000000;

} // namespace kolm_image

// Entry table of the image, in image order.
struct _KOLM_VTable {
    uint32_t main;
    uint32_t exti;
    uint32_t msg;
    uint32_t ack;
    uint32_t segv;
    uint32_t bss; // bytes of global variables at the start of RAM
};

#endif
