#ifndef EMU_LINK_H
#define EMU_LINK_H

// The emulator link: towards its one TCP client halvane-kdb behaves as a
// controller. It receives device packets in SLIP frames with the additive
// checksum, answers the management commands (port 1) and the board
// operations (port 3), hands port-0 packets to the script as messages and
// sends the script's own messages to the client (port 2).

#include <cstdint>

// The device configuration block, version 2 layout: u16 header, u16 device
// address (the board's own address), u32 size of the stored image.
inline constexpr uint32_t EMU_CONFIG_SIZE = 8;
inline constexpr uint16_t EMU_CONFIG_DEFAULT_HEADER = 0x0492;
inline constexpr uint16_t EMU_CONFIG_KEPT_BITS = 0x8000;

// Device ports.
inline constexpr uint8_t EMU_PORT_MESSAGE = 0;
inline constexpr uint8_t EMU_PORT_MANAGEMENT = 1;
inline constexpr uint8_t EMU_PORT_HOST = 2;
inline constexpr uint8_t EMU_PORT_BOARD = 3;

// Sets the configuration at start-up: default header (bit 15 kept), a
// random own address, the image size of the ROM as loaded.
void emu_link_init();

// Reads and writes the configuration block (its address is the board's own
// address).
void emu_config_get(uint8_t block[EMU_CONFIG_SIZE]);
void emu_config_set(const uint8_t block[EMU_CONFIG_SIZE]);

// A new client starts with an empty SLIP receiver.
void emu_link_reset();

// The receive consumer handed to the server's poll: feeds all bytes to the
// SLIP receiver and reports all of them used.
int emu_cmd_process(const uint8_t *data, int length);

// One received frame, its checksum byte last.
void emu_cmd_received(const uint8_t *frame, uint32_t length);

// The script's message to the host: one packet to port 2, framed, written
// to the client. Installed as the board's host output in emulator mode.
void asm_pc_tx(const uint8_t *bytes, uint32_t length);

#endif
