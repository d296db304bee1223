#ifndef KOLM_HAL_H
#define KOLM_HAL_H

// The simulated board: peripheral registers at script addresses 0x40000000
// and above (pins, clock, system information, ring buffer, mailbox, console,
// storage), one-shot timers, delay and sleep, and the message mailbox.

#include <cstdint>
#include <ostream>

// The fault routine handed to a peripheral access: the machine's
// kolm_vm_asm_segv when the script accesses, null for the device link.
using KolmFault = void (*)();

// What the board asks of the machine that runs on it. The virtual machine
// installs its hooks at start-up; without a machine the board sees no
// globals, ISR level 0, a script that is not suspended, and faults and timer
// entries do nothing.
struct KolmMachineHooks {
    uint32_t (*globalsSize)();           // bytes of global variables
    KolmFault fault;                     // the machine's fault routine
    uint32_t (*isrLevel)();              // 0 while the main code runs
    bool (*suspended)();                 // SUSP, set by a delay
    void (*setSuspended)(bool on);
    void (*enterTimer)(uint32_t address); // the timer interrupt entry
};
void kolm_hal_set_machine(const KolmMachineHooks &hooks);
// The hooks in force.
const KolmMachineHooks &kolm_hal_machine();

// Peripheral register access. Refused accesses log, call fault when given
// and yield 0.
uint32_t kolm_hal_periph_get(uint32_t address, KolmFault fault);
uint32_t kolm_hal_periph_set(uint32_t address, uint32_t value, KolmFault fault);
uint32_t kolm_hal_periph_read(uint32_t address, uint8_t *destination, uint32_t size, KolmFault fault);
uint32_t kolm_hal_periph_write(uint32_t address, const uint8_t *source, uint32_t size, KolmFault fault);

// A peripheral area that the script may address byte-wise: its first byte
// and the number of bytes from there to the area's end.
struct KolmArea {
    uint8_t *data;
    uint32_t size;
};
// Direct access to the received message data, the clock text and the
// storage bytes; anything else logs "address is invalid" and gives {null, 0}.
KolmArea kolm_hal_periph_address(uint32_t address);

inline constexpr uint32_t KOLM_HAL_TMP_STORAGE_SIZE = 58;
// The 58-byte temporary storage that formatted output to a peripheral
// goes through.
uint8_t *kolm_hal_periph_storage();

// Resets the board when an image is loaded: wake time, random seed, storage
// filled with 0xFF. Returns 0.
uint32_t kolm_hal_init();
uint32_t kolm_hal_can_send_msg(uint16_t address, uint8_t port);

// The board's own device address, shared with the emulator link.
uint16_t kolm_hal_own_address();
void kolm_hal_set_own_address(uint16_t address);

// Where the script's console output and sent messages go (the emulator
// link's asm_pc_tx); nothing is sent while none is set.
using KolmPcTx = void (*)(const uint8_t *bytes, uint32_t length);
void kolm_hal_set_pc_tx(KolmPcTx tx);

// Timers: due time in milliseconds since the epoch to handler address.
// At most 256 are pending; starting one more logs "too many pending
// timers", calls the machine's fault routine and yields 0.
uint32_t kolm_hal_start_timer(uint32_t ms, uint32_t jump);
uint32_t kolm_hal_stop_timer(uint32_t jump);
// Wakes a delayed script when due; at ISR level 0 enters the earliest due
// timer (at most one per call).
void kolm_hal_check_timer();
void kolm_hal_clear_timers();
// Milliseconds until the delayed script wakes or the earliest timer is due,
// whichever comes first: 0 when one is due, UINT64_MAX when none waits.
uint64_t kolm_hal_ms_until_event();

// Suspends the script (SUSP) for ms; timers and interrupts still enter.
uint32_t kolm_hal_delay(uint32_t ms);
// Blocks the whole program for ms; a caught signal ends it early.
uint32_t kolm_hal_sleep(uint32_t ms);
// Sleeps the calling thread for ms milliseconds.
void qSleep(uint32_t ms);

// Mailbox: one received message of at most 58 bytes.
inline constexpr uint32_t KOLM_HAL_MESSAGE_MAX = 58;
void kolm_hal_fill_message(uint16_t source, uint8_t port, const void *data, uint32_t length);

// Writes the local time as "%Y.%m.%d %H:%M:%S" (19 characters and a NUL,
// room for 20); returns the length.
uint32_t kolm_hal_time_print(char *text);

void kolm_hal_asm_segv();
// Writes the 1024 storage bytes raw.
void kolm_hal_dump_rom(std::ostream &out);

// Byte ring; size a power of two, holds at most size - 1 bytes.
struct ZUC_RingBuf {
    uint8_t *buffer;
    uint32_t mask;
    uint32_t put;
    uint32_t get;
};
void ringbuf_init(ZUC_RingBuf *ring, uint8_t *buffer, uint32_t size);
// 1 stored, 0 full.
int ringbuf_put(ZUC_RingBuf *ring, uint8_t byte);
// The byte, or -1 when empty.
int ringbuf_get(ZUC_RingBuf *ring);

#endif
