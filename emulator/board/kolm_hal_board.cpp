// Board reset, identity, mailbox, clock text and storage dump.

#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_hal_state.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

uint8_t g_asm_rom[KOLM_HAL_STORAGE_SIZE];
uint8_t asm_message_buffer[KOLM_HAL_MESSAGE_HEADER + KOLM_HAL_MESSAGE_MAX];
uint32_t asm_message_size = 0;
uint8_t asm_msg_tx_header[KOLM_HAL_MESSAGE_HEADER];

namespace {

uint8_t g_tmp_storage[KOLM_HAL_TMP_STORAGE_SIZE];
uint16_t g_own_address = 0;
KolmPcTx g_pc_tx = nullptr;

// The board without a machine.
uint32_t no_globals()
{
    return 0;
}

void no_fault() {}

uint32_t main_level()
{
    return 0;
}

bool not_suspended()
{
    return false;
}

void ignore_suspend(bool) {}

void ignore_timer(uint32_t) {}

KolmMachineHooks g_machine = {no_globals, no_fault, main_level, not_suspended, ignore_suspend, ignore_timer};

} // namespace

void kolm_hal_set_machine(const KolmMachineHooks &hooks)
{
    g_machine = hooks;
}

const KolmMachineHooks &kolm_hal_machine()
{
    return g_machine;
}

uint32_t kolm_hal_init()
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_init" << std::endl;
    kolm_hal_reset_wake_time();
    std::srand(unsigned(std::time(nullptr)));
    std::memset(g_asm_rom, 0xFF, sizeof g_asm_rom);
    return 0;
}

uint32_t kolm_hal_can_send_msg(uint16_t address, uint8_t port)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_can_send_msg(addr=" << address << ", port=" << unsigned(port)
                              << ")" << std::endl;
    return 0;
}

uint16_t kolm_hal_own_address()
{
    return g_own_address;
}

void kolm_hal_set_own_address(uint16_t address)
{
    g_own_address = address;
}

void kolm_hal_set_pc_tx(KolmPcTx tx)
{
    g_pc_tx = tx;
}

void kolm_hal_pc_tx(const uint8_t *bytes, uint32_t length)
{
    if (g_pc_tx)
        g_pc_tx(bytes, length);
}

uint8_t *kolm_hal_periph_storage()
{
    return g_tmp_storage;
}

void kolm_hal_fill_message(uint16_t source, uint8_t port, const void *data, uint32_t length)
{
    if (length > KOLM_HAL_MESSAGE_MAX)
        length = KOLM_HAL_MESSAGE_MAX;
    asm_message_buffer[1] = port & 0x0F;
    asm_message_buffer[4] = uint8_t(source);
    asm_message_buffer[5] = uint8_t(source >> 8);
    asm_message_size = length;
    if (length)
        std::memcpy(asm_message_buffer + KOLM_HAL_MESSAGE_HEADER, data, length);
}

uint32_t kolm_hal_time_print(char *text)
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called kolm_hal_time_print(output=" << static_cast<void *>(text) << ")"
                              << std::endl;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return uint32_t(std::strftime(text, 20, "%Y.%m.%d %H:%M:%S", &local));
}

void kolm_hal_asm_segv()
{
    KOLM_DEBUG(KOLM_HAL_INFO) << "called hal_asm_segv" << std::endl;
}

void kolm_hal_dump_rom(std::ostream &out)
{
    out.write(reinterpret_cast<const char *>(g_asm_rom), sizeof g_asm_rom);
}
