#ifndef EMU_COMMANDS_H
#define EMU_COMMANDS_H

// The answers of the emulator link: management commands of port 1 and board
// operations of port 3. Each appends its reply data to a reply that already
// holds the packet header.

#include "emu_reply.h"

#include <cstdint>

// payload: u8 command, u16 sub-code, data (length >= 3).
void emu_management_command(const uint8_t *payload, uint32_t length, EmuReply &reply);
// payload: u8 operation, u32 register address, data (length >= 5).
void emu_board_operation(const uint8_t *payload, uint32_t length, EmuReply &reply);

// The configuration changes of the reset family.
void emu_config_new_address();
void emu_config_factory_reset();
uint16_t emu_config_header();

#endif
