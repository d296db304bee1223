#ifndef KOLM_HAL_STATE_H
#define KOLM_HAL_STATE_H

// State of the simulated board shared between its parts.

#include "kolm_hal.h"

#include <cstdint>

// Milliseconds of the system clock since the epoch.
uint64_t kolm_hal_now_ms();
// Wake time of a delayed script := now.
void kolm_hal_reset_wake_time();

// The board's non-volatile storage, erased in pages.
inline constexpr uint32_t KOLM_HAL_STORAGE_SIZE = 1024;
inline constexpr uint32_t KOLM_HAL_STORAGE_PAGE = 128;
extern uint8_t g_asm_rom[KOLM_HAL_STORAGE_SIZE];

// Mailbox: byte 1 low nibble the port, bytes 4-5 the source address,
// bytes 6-63 the data.
inline constexpr uint32_t KOLM_HAL_MESSAGE_HEADER = 6;
extern uint8_t asm_message_buffer[KOLM_HAL_MESSAGE_HEADER + KOLM_HAL_MESSAGE_MAX];
extern uint32_t asm_message_size;
// Outgoing message: byte 1 high nibble the port, bytes 2-3 the destination.
extern uint8_t asm_msg_tx_header[KOLM_HAL_MESSAGE_HEADER];

// Hands bytes to the host when a receiver is set.
void kolm_hal_pc_tx(const uint8_t *bytes, uint32_t length);

#endif
