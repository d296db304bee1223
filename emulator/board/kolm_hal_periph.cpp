// The board's peripheral registers at script addresses 0x40000000 and above.

#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_hal_pins.h"
#include "kolm_hal_print.h"
#include "kolm_hal_state.h"
#include "kolm_image_format.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr uint32_t kPinBlock = 0x40;
constexpr uint32_t kBlockMask = 0x0FFF0000;

enum Block : uint32_t {
    BLOCK_CLOCK = 0x01000000,
    BLOCK_SYSTEM = 0x01100000,
    BLOCK_RING = 0x01110000,
    BLOCK_MAILBOX = 0x01300000,
    BLOCK_STORAGE = 0x01400000,
};

// Exact addresses of the byte-wise registers.
enum Address : uint32_t {
    ADDR_CLOCK_TEXT = 0x4100001C,
    ADDR_RING_WRITE = 0x41110010,
    ADDR_CONSOLE = 0x41200000,
    ADDR_MESSAGE_DATA = 0x41300008,
    ADDR_MESSAGE_SEND = 0x4130000C,
    ADDR_STORAGE = 0x41400004,
};

constexpr uint32_t kRingBufferSize = 128;
constexpr uint32_t kRingSizeMax = 64;
// Text "%Y.%m.%d %H:%M:%S": 19 characters and a NUL.
constexpr uint32_t kClockTextSize = 20;
constexpr uint32_t kClockTextLength = kClockTextSize - 1;
constexpr uint32_t kAddressModulus = 65535;
// The globals' part of the RAM; the rest holds the stack.
constexpr uint32_t kGlobalRam = 256;

uint8_t asm_ring_buffer[kRingBufferSize];
ZUC_RingBuf kolm_ring{nullptr, 0, 0, 0};
char g_clock_text[kClockTextSize];

// The failed access of every operation: logs, calls the fault routine when
// one was given, yields 0.
uint32_t refuse(const char *operation, KolmFault fault)
{
    asm_debug(KOLM_HAL_ERROR, "segmentation fault at %s", operation);
    if (fault)
        fault();
    return 0;
}

uint32_t local_time(uint32_t offset, bool &ok)
{
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    ok = true;
    switch (offset) {
    case 0: return uint32_t(t.tm_year + 1900);
    case 4: return uint32_t(t.tm_mon + 1);
    case 8: return uint32_t(t.tm_mday);
    case 12: return uint32_t(t.tm_hour);
    case 16: return uint32_t(t.tm_min);
    case 20: return uint32_t(t.tm_sec);
    case 24: return uint32_t(now);
    default: ok = false; return 0;
    }
}

bool system_info(uint32_t offset, uint32_t &result)
{
    const uint32_t bss = kolm_hal_machine().globalsSize();
    switch (offset) {
    case 0: result = KOLM_HAL_STORAGE_SIZE; return true;
    case 4: result = 128; return true;
    case 8: result = bss < kGlobalRam ? kGlobalRam - bss : 0; return true;
    case 12: result = kolm_image::kRamAddress + bss; return true;
    case 16: result = uint32_t(std::rand()); return true;
    case 20: result = 4; return true;
    case 24: result = kolm_hal_own_address(); return true;
    default: return false;
    }
}

bool ring_get(uint32_t offset, uint32_t &result)
{
    const bool ready = kolm_ring.buffer != nullptr;
    switch (offset) {
    case 0: result = ready ? kolm_ring.mask + 1 : 0; return true;
    case 4: result = ready ? (kolm_ring.put - kolm_ring.get) & kolm_ring.mask : 0; return true;
    case 8: {
        const int byte = ready ? ringbuf_get(&kolm_ring) : -1;
        result = byte < 0 ? 0xFFFFFFFF : uint32_t(byte);
        return true;
    }
    default: return false;
    }
}

bool valid_ring_size(uint32_t size)
{
    return size >= 2 && size <= kRingSizeMax && (size & (size - 1)) == 0;
}

bool ring_set(uint32_t offset, uint32_t value, uint32_t &result)
{
    if (offset == 0) {
        if (!valid_ring_size(value))
            return false;
        if (!kolm_ring.buffer)
            ringbuf_init(&kolm_ring, asm_ring_buffer, value);
        result = value;
        return true;
    }
    if (offset == 0xC) {
        result = kolm_ring.buffer ? uint32_t(ringbuf_put(&kolm_ring, uint8_t(value))) : 0;
        return true;
    }
    return false;
}

uint16_t tx_destination()
{
    return uint16_t(asm_msg_tx_header[2] | asm_msg_tx_header[3] << 8);
}

uint8_t tx_port()
{
    return asm_msg_tx_header[1] >> 4;
}

bool mailbox_get(uint32_t offset, uint32_t &result)
{
    switch (offset) {
    case 0x0: result = uint32_t(asm_message_buffer[4] | asm_message_buffer[5] << 8); return true;
    case 0x4: result = asm_message_buffer[1] & 0x0F; return true;
    case 0x10: result = asm_message_size; return true;
    case 0x14: result = kolm_hal_can_send_msg(tx_destination(), tx_port()); return true;
    default: return false;
    }
}

bool mailbox_set(uint32_t offset, uint32_t value, uint32_t &result)
{
    if (offset == 0x0) {
        result = value % kAddressModulus;
        asm_msg_tx_header[2] = uint8_t(result);
        asm_msg_tx_header[3] = uint8_t(result >> 8);
        return true;
    }
    if (offset == 0x4) {
        result = value & 0x0F;
        asm_msg_tx_header[1] = uint8_t((asm_msg_tx_header[1] & 0x0F) | result << 4);
        return true;
    }
    return false;
}

void storage_erase(uint32_t byte)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_rom_erase(addr=" << byte << ")" << std::endl;
    if (byte < KOLM_HAL_STORAGE_SIZE)
        std::memset(g_asm_rom + byte / KOLM_HAL_STORAGE_PAGE * KOLM_HAL_STORAGE_PAGE, 0xFF, KOLM_HAL_STORAGE_PAGE);
}

// Storage byte of a storage address, or false.
bool storage_offset(uint32_t address, uint32_t &k)
{
    if (address < ADDR_STORAGE || (address & 0xFFFF0000) != (ADDR_STORAGE & 0xFFFF0000))
        return false;
    k = address - ADDR_STORAGE;
    return true;
}

// Script output (console or message): at most 58 bytes to the host.
uint32_t send_to_host(const uint8_t *source, uint32_t size)
{
    if (size > KOLM_HAL_MESSAGE_MAX)
        return 0;
    kolm_hal_pc_tx(source, size);
    return size;
}

} // namespace

uint32_t kolm_hal_periph_get(uint32_t address, KolmFault fault)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_periph_get(" << HexValue{address} << ")" << std::endl;
    const uint32_t offset = address & 0xFFFF;
    uint32_t result = 0;
    bool ok = false;
    if (address >> 24 == kPinBlock) {
        ok = kolm_hal_pin_get(uint16_t((address >> 16) & 0xFF), offset, result);
    } else {
        switch (address & kBlockMask) {
        case BLOCK_CLOCK:
            result = local_time(offset, ok);
            if (!ok) {
                asm_debug_stream(KOLM_HAL_ERROR) << "invalid gettime argument " << offset << std::endl;
                kolm_hal_machine().fault();
                return 0;
            }
            break;
        case BLOCK_SYSTEM: ok = system_info(offset, result); break;
        case BLOCK_RING: ok = ring_get(offset, result); break;
        case BLOCK_MAILBOX: ok = mailbox_get(offset, result); break;
        case BLOCK_STORAGE:
            ok = offset == (ADDR_STORAGE & 0xFFFF);
            result = ADDR_STORAGE;
            break;
        default: break;
        }
    }
    return ok ? result : refuse("kolm_hal_periph_get", fault);
}

uint32_t kolm_hal_periph_set(uint32_t address, uint32_t value, KolmFault fault)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_periph_set(" << HexValue{address} << ", " << value << ")"
                              << std::endl;
    const uint32_t offset = address & 0xFFFF;
    uint32_t result = 0;
    bool ok = false;
    if (address >> 24 == kPinBlock) {
        ok = kolm_hal_pin_set(uint16_t((address >> 16) & 0xFF), offset, value, result);
    } else {
        switch (address & kBlockMask) {
        case BLOCK_CLOCK:
            ok = offset == 24;
            if (ok)
                asm_debug(KOLM_HAL_WARNING, "silently ignore settime command");
            break;
        case BLOCK_SYSTEM:
            ok = offset == 24;
            if (ok) {
                result = value % kAddressModulus;
                kolm_hal_set_own_address(uint16_t(result));
            }
            break;
        case BLOCK_RING: ok = ring_set(offset, value, result); break;
        case BLOCK_MAILBOX: ok = mailbox_set(offset, value, result); break;
        case BLOCK_STORAGE:
            ok = offset == 0;
            if (ok)
                storage_erase(value);
            break;
        default: break;
        }
    }
    return ok ? result : refuse("kolm_hal_periph_set", fault);
}

uint32_t kolm_hal_periph_read(uint32_t address, uint8_t *destination, uint32_t size, KolmFault fault)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called periph_read(" << HexValue{address} << ", "
                              << static_cast<void *>(destination) << ", " << size << ")" << std::endl;
    uint32_t k;
    if (address == ADDR_CLOCK_TEXT && size >= kClockTextLength) {
        char text[kClockTextSize];
        const uint32_t length = kolm_hal_time_print(text);
        std::memcpy(destination, text, std::min(length, size));
        return length;
    }
    if (address == ADDR_MESSAGE_DATA) {
        if (asm_message_size == 0 || size < asm_message_size)
            return 0;
        std::memcpy(destination, asm_message_buffer + KOLM_HAL_MESSAGE_HEADER, asm_message_size);
        return asm_message_size;
    }
    if (storage_offset(address, k)) {
        if (k >= KOLM_HAL_STORAGE_SIZE)
            return 0;
        const uint32_t n = std::min(size, KOLM_HAL_STORAGE_SIZE - k);
        KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_rom_read(addr=" << k << ", data="
                                  << static_cast<void *>(destination) << ", size=" << size << ")" << std::endl;
        // Source and destination may both be storage bytes (mcp within it).
        std::memmove(destination, g_asm_rom + k, n);
        KOLM_DEBUG(KOLM_HAL_INFO) << "read " << BinArray{destination, n} << std::endl;
        return n;
    }
    return refuse("kolm_hal_periph_read", fault);
}

uint32_t kolm_hal_periph_write(uint32_t address, const uint8_t *source, uint32_t size, KolmFault fault)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called periph_write(" << HexValue{address} << ", "
                              << static_cast<const void *>(source) << ", " << size << ")" << std::endl;
    uint32_t k;
    switch (address) {
    case ADDR_RING_WRITE:
        if (!kolm_ring.buffer)
            return 0;
        for (uint32_t i = 0; i < size; ++i)
            if (!ringbuf_put(&kolm_ring, source[i]))
                return 0;
        return 1;
    case ADDR_CONSOLE:
        KOLM_DEBUG(KOLM_HAL_INFO) << "called printf(data=" << BinArray{source, std::min(size, KOLM_HAL_MESSAGE_MAX)}
                                  << ", size=" << size << ")" << std::endl;
        return send_to_host(source, size);
    case ADDR_MESSAGE_SEND:
        KOLM_DEBUG(KOLM_HAL_INFO) << "called send_msg(addr=" << tx_destination() << ", port=" << unsigned(tx_port())
                                  << ")" << std::endl;
        return send_to_host(source, size);
    default:
        break;
    }
    if (storage_offset(address, k)) {
        if (k >= KOLM_HAL_STORAGE_SIZE)
            return 0;
        const uint32_t n = std::min(size, KOLM_HAL_STORAGE_SIZE - k);
        KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_rom_write(addr=" << k << ", data="
                                  << static_cast<const void *>(source) << ", size=" << size << ")" << std::endl;
        std::memmove(g_asm_rom + k, source, n);
        KOLM_DEBUG(KOLM_HAL_INFO) << "written " << BinArray{g_asm_rom + k, n} << std::endl;
        return n;
    }
    return refuse("kolm_hal_periph_write", fault);
}

KolmArea kolm_hal_periph_address(uint32_t address)
{
    uint32_t k;
    if (address == ADDR_MESSAGE_DATA)
        return {asm_message_buffer + KOLM_HAL_MESSAGE_HEADER, KOLM_HAL_MESSAGE_MAX};
    if (address == ADDR_CLOCK_TEXT) {
        kolm_hal_time_print(g_clock_text);
        return {reinterpret_cast<uint8_t *>(g_clock_text), kClockTextSize};
    }
    if (storage_offset(address, k) && k < KOLM_HAL_STORAGE_SIZE)
        return {g_asm_rom + k, KOLM_HAL_STORAGE_SIZE - k};
    asm_debug(KOLM_HAL_WARNING, "address is invalid");
    return {nullptr, 0};
}
