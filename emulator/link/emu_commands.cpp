#include "emu_commands.h"

#include "emu_link.h"
#include "flash.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"

#include <algorithm>
#include <cstring>
#include <ctime>

namespace {

constexpr uint32_t kInfo = KOLM_LOG_EMU | KOLM_LOG_INFO;
constexpr uint32_t kWarning = KOLM_LOG_EMU | KOLM_LOG_WARNING;

// Data bytes a reply can carry after its header and sub-code or address.
constexpr uint32_t kManagementData = 55;
constexpr uint32_t kBoardData = 53;

constexpr char kIdentity[] = "EMU-PLC (Nov 24 2020) 0.1o";
constexpr char kPinList[] = "PA0/IO1;PA1/IO2;PA2/IO3;PA3/IO4;PA4/IO5";

enum Command : uint8_t {
    CMD_INFO = 1,
    CMD_PINS = 2,
    CMD_CONFIG_READ = 3,
    CMD_CONFIG_WRITE = 4,
    CMD_FIVE = 5,
    CMD_RESET = 6,
    CMD_CLOCK = 7,
    CMD_SIXTEEN = 16,
    CMD_SCRIPT_STATUS = 32,
    CMD_SCRIPT_READ = 33,
    CMD_SCRIPT_WRITE = 34,
    CMD_SCRIPT_CONTROL = 35,
    CMD_VM_INFO = 36,
    CMD_REGISTERS = 37,
    CMD_RAM_READ = 38,
};

enum Operation : uint8_t {
    OP_GET = 0,
    OP_SET = 1,
    OP_READ = 2,
    OP_WRITE = 3,
    OP_WRITE_ECHO = 4,
};

uint16_t le16(const uint8_t *p)
{
    return uint16_t(p[0] | p[1] << 8);
}

// Up to max bytes of an area of size bytes from offset; none past its end.
void append_from(EmuReply &reply, const uint8_t *area, uint32_t size, uint32_t offset, uint32_t max)
{
    if (offset >= size)
        return;
    reply.bytes(area + offset, std::min(size - offset, max));
}

void device_information(uint16_t sub, EmuReply &reply)
{
    switch (sub) {
    case 0: reply.u16(kolm_hal_own_address()); break;
    case 1: reply.u32(8); break;
    case 2: reply.u32(0x20000); break;
    case 3: reply.u32(0x704); break;
    case 4: reply.bytes(kIdentity, sizeof kIdentity - 1); break;
    case 5: reply.u32(emu_config_header() | 0x50000u); break;
    case 6: {
        uint8_t version[16] = {'E', 'M', 'U'};
        reply.bytes(version, sizeof version);
        break;
    }
    case 7: reply.u8('d'); break;
    default: break;
    }
}

// Clears the timers and prepares the machine from the ROM; a failing image
// leaves it faulted and halted.
void reinitialise(uint32_t keptFlags)
{
    kolm_hal_clear_timers();
    KOLM_VM.flags = keptFlags;
    if (kolm_rom_size() == 0 || kolm_vm_init() != 0)
        KOLM_VM.flags |= KOLM_FLAG_SEGV | KOLM_FLAG_HALT;
}

void script_control(uint16_t sub)
{
    switch (sub) {
    case 0:
        reinitialise(KOLM_VM.flags);
        KOLM_VM.flags |= KOLM_FLAG_HALT;
        break;
    case 1: reinitialise(0); break;
    case 2: KOLM_VM.flags |= KOLM_FLAG_HALT; break;
    case 3: KOLM_VM.flags &= ~KOLM_FLAG_HALT; break;
    case 4:
        // A step needs an image and a machine that has not faulted.
        if (kolm_rom_size() > 0 && !(KOLM_VM.flags & KOLM_FLAG_SEGV))
            asm_debugger_step();
        break;
    default: break;
    }
}

void vm_information(uint16_t sub, EmuReply &reply)
{
    switch (sub) {
    case 0:
        reply.u32(KOLM_VM.flags);
        reply.u32(128);
        reply.u32(256);
        reply.u32(7);
        break;
    case 1: {
        uint32_t table[6];
        kolm_vm_table(table);
        for (uint32_t entry : table)
            reply.u32(entry);
        break;
    }
    case 2: reply.u32(KOLM_VM.ctx.ISR); break;
    default: break;
    }
}

} // namespace

void emu_management_command(const uint8_t *payload, uint32_t length, EmuReply &reply)
{
    const uint8_t command = payload[0];
    const uint16_t sub = le16(payload + 1);
    const uint8_t *data = payload + 3;
    const uint32_t dataLength = length - 3;
    asm_debug(kInfo, "request %02x:%04x", command, sub);
    reply.u8(command);
    reply.u16(sub);
    switch (command) {
    case CMD_INFO: device_information(sub, reply); break;
    case CMD_PINS:
        append_from(reply, reinterpret_cast<const uint8_t *>(kPinList), sizeof kPinList - 1, sub, kManagementData);
        break;
    case CMD_CONFIG_READ: {
        uint8_t block[EMU_CONFIG_SIZE];
        emu_config_get(block);
        reply.bytes(block, sizeof block);
        break;
    }
    case CMD_CONFIG_WRITE:
        if (sub == 0 && dataLength == EMU_CONFIG_SIZE)
            emu_config_set(data);
        break;
    case CMD_FIVE: reply.u32(0); break;
    case CMD_RESET:
        if (sub == 0) {
            emu_config_new_address();
            kolm_rom_erase();
        } else if (sub == 3) {
            emu_config_factory_reset();
            kolm_rom_erase();
        }
        break;
    case CMD_CLOCK:
        if (sub <= 1)
            reply.u32(uint32_t(std::time(nullptr)));
        break;
    case CMD_SIXTEEN:
        if (sub == 0) {
            const uint8_t bytes[3] = {0xFF, 0xFF, 0x00};
            reply.bytes(bytes, sizeof bytes);
        }
        break;
    case CMD_SCRIPT_STATUS:
        if (sub == 0)
            reply.u32(KOLM_VM.flags);
        else if (sub == 1)
            reply.u32(kolm_rom_size());
        break;
    case CMD_SCRIPT_READ: {
        const uint32_t size = kolm_rom_size();
        if (sub < size)
            reply.bytes(kolm_rom_get(sub, std::min(size - sub, kManagementData)), std::min(size - sub, kManagementData));
        break;
    }
    case CMD_SCRIPT_WRITE:
        // The offset is 16 bits: the ROM never grows past 64 KB and a chunk.
        kolm_rom_write(sub, data, dataLength);
        reply.u32(0);
        break;
    case CMD_SCRIPT_CONTROL: script_control(sub); break;
    case CMD_VM_INFO: vm_information(sub, reply); break;
    case CMD_REGISTERS:
        for (uint32_t i = KOLM_W_EAX; i <= KOLM_W_ESP; ++i)
            reply.u32(kolm_vm_word(i));
        break;
    case CMD_RAM_READ: append_from(reply, KOLM_VM.ctx.RAM, KOLM_RAM_SIZE, sub, kManagementData); break;
    default: break;
    }
}

void emu_board_operation(const uint8_t *payload, uint32_t length, EmuReply &reply)
{
    const uint8_t operation = payload[0];
    const uint32_t address = emu_le32(payload + 1);
    const uint8_t *data = payload + 5;
    const uint32_t dataLength = length - 5;
    reply.u8(operation);
    reply.u32(address);
    switch (operation) {
    case OP_GET: reply.u32(kolm_hal_periph_get(address, nullptr)); break;
    case OP_SET:
        if (dataLength == 4)
            reply.u32(kolm_hal_periph_set(address, emu_le32(data), nullptr));
        break;
    case OP_READ: {
        const uint32_t n = kolm_hal_periph_read(address, reply.tail(), kBoardData, nullptr);
        reply.grow(std::min(n, kBoardData));
        break;
    }
    case OP_WRITE:
    case OP_WRITE_ECHO: {
        // Refused, like an operation outside the table: an empty reply.
        if (dataLength > kBoardData) {
            asm_debug(kWarning, "board write too long");
            break;
        }
        uint8_t *area = reply.tail();
        std::memmove(area, data, dataLength);
        const uint32_t result = kolm_hal_periph_write(address, area, dataLength, nullptr);
        if (operation == OP_WRITE)
            reply.u32(result);
        else
            reply.grow(std::min(result, dataLength));
        break;
    }
    default: break;
    }
}
