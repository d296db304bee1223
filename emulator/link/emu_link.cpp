// Framing, dispatch by port and the script's messages of the emulator link.

#include "emu_link.h"

#include "emu_commands.h"
#include "emu_reply.h"
#include "flash.h"
#include "kdb_server.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "kolm_slip.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

constexpr uint32_t kInfo = KOLM_LOG_EMU | KOLM_LOG_INFO;
constexpr uint32_t kWarning = KOLM_LOG_EMU | KOLM_LOG_WARNING;

constexpr uint32_t kHeaderSize = 6;
constexpr uint32_t kReceiveSize = 1024;
constexpr uint32_t kAddressModulus = 65535;
// The message interrupt cannot enter above the timer level.
constexpr uint32_t kMessageIsrLimit = 1;

uint8_t server_buffer[kReceiveSize];
SlipContext emu_slip{0, server_buffer, kReceiveSize, 0};

uint16_t g_config_header = 0;
uint32_t g_config_image_size = 0;

// The encoded frame of the largest packet (64 bytes) with its checksum.
constexpr uint32_t kEncodedSize = slip_encoded_max(EmuReply::kSize);
uint8_t emulator_slip_message[kEncodedSize];
uint32_t emulator_slip_message_size = 0;

bool emulator_slip_tx_cb(uint8_t byte)
{
    if (emulator_slip_message_size >= kEncodedSize)
        return false;
    emulator_slip_message[emulator_slip_message_size++] = byte;
    return true;
}

// Frames the packet and writes it to the client.
void send_packet(const EmuReply &packet)
{
    emulator_slip_message_size = 0;
    slip_process(packet.data(), int(packet.length()), true, emulator_slip_tx_cb);
    if (emulator_slip_message_size)
        gdbserver.write(emulator_slip_message, emulator_slip_message_size);
    emulator_slip_message_size = 0;
}

uint16_t random_address()
{
    return uint16_t((unsigned(std::rand()) & 0xFFFF) % kAddressModulus);
}

void deliver_message(const uint8_t *payload, uint32_t length)
{
    if (KOLM_VM.ctx.ISR > kMessageIsrLimit) {
        asm_debug(kWarning, "cannot interrupt - message lost");
        return;
    }
    if (length > KOLM_HAL_MESSAGE_MAX) {
        asm_debug(kWarning, "message too long - drop");
        return;
    }
    const uint16_t own = kolm_hal_own_address();
    asm_debug(kInfo, "sending to the kolm script: from 0x%04x %.*s", own, int(length),
              reinterpret_cast<const char *>(payload));
    kolm_hal_fill_message(own, EMU_PORT_HOST, payload, length);
    kolm_vm_irq_msg();
}

EmuReply emulator_message;

} // namespace

void emu_link_init()
{
    std::srand(unsigned(std::time(nullptr)));
    g_config_header = uint16_t((g_config_header & EMU_CONFIG_KEPT_BITS) | EMU_CONFIG_DEFAULT_HEADER);
    kolm_hal_set_own_address(random_address());
    g_config_image_size = kolm_rom_size();
}

void emu_config_get(uint8_t block[EMU_CONFIG_SIZE])
{
    const uint16_t own = kolm_hal_own_address();
    block[0] = uint8_t(g_config_header);
    block[1] = uint8_t(g_config_header >> 8);
    block[2] = uint8_t(own);
    block[3] = uint8_t(own >> 8);
    for (int i = 0; i < 4; ++i)
        block[4 + i] = uint8_t(g_config_image_size >> (8 * i));
}

void emu_config_set(const uint8_t block[EMU_CONFIG_SIZE])
{
    g_config_header = uint16_t(block[0] | block[1] << 8);
    kolm_hal_set_own_address(uint16_t(block[2] | block[3] << 8));
    g_config_image_size = emu_le32(block + 4);
}

void emu_config_new_address()
{
    kolm_hal_set_own_address(random_address());
}

void emu_config_factory_reset()
{
    g_config_header = uint16_t((g_config_header & EMU_CONFIG_KEPT_BITS) | EMU_CONFIG_DEFAULT_HEADER);
    g_config_image_size = 0;
}

uint16_t emu_config_header()
{
    return g_config_header;
}

void emu_link_reset()
{
    slip_reset(emu_slip);
}

int emu_cmd_process(const uint8_t *data, int length)
{
    if (length <= 0)
        return 0;
    // Frame by frame: a reply that drops the client (it does not read)
    // ends the work, and no request it sent is carried out after that.
    const bool fromClient = gdbserver.connected();
    const uint8_t *end = data + length;
    while (data < end) {
        const void *delimiter = std::memchr(data, SLIP_END, size_t(end - data));
        const uint8_t *next = delimiter ? static_cast<const uint8_t *>(delimiter) + 1 : end;
        slip_receive(emu_slip, data, uint32_t(next - data), emu_cmd_received);
        data = next;
        if (fromClient && !gdbserver.connected()) {
            emu_link_reset();
            break;
        }
    }
    return length;
}

void emu_cmd_received(const uint8_t *frame, uint32_t length)
{
    asm_debug(kInfo, "emu message %u", length);
    if (length <= 1) {
        asm_debug(kWarning, "invalid slip message - no data");
        return;
    }
    const uint32_t size = length - 1;
    if (slip_crc8(frame, size) != frame[size]) {
        asm_debug(kWarning, "corrupted slip message - invalid crc");
        return;
    }
    if (size <= kHeaderSize) {
        asm_debug(kWarning, "invalid slip message - too short");
        return;
    }
    const uint8_t port = frame[1] >> 4;
    const uint8_t *payload = frame + kHeaderSize;
    const uint32_t payloadSize = size - kHeaderSize;
    switch (port) {
    case EMU_PORT_MESSAGE:
        deliver_message(payload, payloadSize);
        return;
    case EMU_PORT_MANAGEMENT:
        if (payloadSize < 3) {
            asm_debug(kWarning, "invalid MC packet - not enough data");
            return;
        }
        emulator_message.begin(EMU_PORT_MANAGEMENT, kolm_hal_own_address());
        emu_management_command(payload, payloadSize, emulator_message);
        send_packet(emulator_message);
        return;
    case EMU_PORT_BOARD:
        if (payloadSize < 5) {
            asm_debug(kWarning, "invalid HAL packet - not enough data");
            return;
        }
        // Board replies come from the board's port, where the host looks
        // for them.
        emulator_message.begin(EMU_PORT_BOARD, kolm_hal_own_address());
        emu_board_operation(payload, payloadSize, emulator_message);
        send_packet(emulator_message);
        return;
    default:
        asm_debug(kWarning, "drop message for port %u", unsigned(port));
        return;
    }
}

void asm_pc_tx(const uint8_t *bytes, uint32_t length)
{
    static EmuReply message;
    message.begin(EMU_PORT_MESSAGE, kolm_hal_own_address());
    if (!message.bytes(bytes, length)) {
        asm_debug(kWarning, "message too long - drop");
        return;
    }
    if (gdbserver.connected())
        send_packet(message);
}
