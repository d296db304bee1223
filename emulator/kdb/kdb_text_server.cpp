#include "kdb_text_server.h"

#include "kdb_network_run.h"
#include "kdb_server.h"
#include "kdb_text_command.h"
#include "kolm_dbg.h"
#include "kolm_hal.h"
#include "kolm_p.h"
#include "signalhandler.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr uint32_t kInfo = KOLM_LOG_EMU | KOLM_LOG_INFO;
constexpr uint8_t kLf = 0x0A;
constexpr uint8_t kCr = 0x0D;
constexpr uint16_t kHostAddress = 0xFFFF;
constexpr uint8_t kHostPort = 2;
// "m" shows the globals' part of the RAM.
constexpr uint32_t kRamDump = 256;

// Interrupt entries are refused above these ISR levels.
constexpr uint32_t kAckLimit = 3;
constexpr uint32_t kExtiLimit = 2;
constexpr uint32_t kMessageLimit = 1;

// Longest dump line: the stack's 192 words of 11 characters.
char g_line[2 + KOLM_RAM_WORDS * 11 + 2];

// Appends to g_line at *used; the caller sizes the line.
void append(int *used, const char *format, uint32_t value)
{
    *used += std::snprintf(g_line + *used, sizeof g_line - size_t(*used), format, value);
}

void send_line(int used)
{
    g_line[used++] = '\n';
    gdbserver.write(g_line, uint32_t(used));
}

void dump_ram()
{
    int used = 0;
    g_line[used++] = 'm';
    for (uint32_t i = 0; i < kRamDump; ++i)
        append(&used, "0x%02x,", KOLM_VM.ctx.RAM[i]);
    send_line(used);
}

void dump_stack()
{
    int used = 0;
    g_line[used++] = 's';
    // ESP is a register the script can set: never more words than the RAM.
    const uint32_t words = std::min(KOLM_VM.ctx.ESP, KOLM_RAM_WORDS);
    for (uint32_t i = 0; i < words; ++i)
        append(&used, "0x%08x,", kolm_vm_word(KOLM_W_RAM + KOLM_RAM_WORDS - 1 - i));
    send_line(used);
}

void send_message(const KdbTextCommand &c)
{
    if (!kolm_vm_can_interrupt(kMessageLimit + 1)) {
        gdbserver.print("ecannot interrupt\n");
        return;
    }
    if (uint32_t(c.length) > KOLM_HAL_MESSAGE_MAX) {
        gdbserver.print("emessage too long\n");
        return;
    }
    kolm_hal_fill_message(kHostAddress, kHostPort, c.argument, uint32_t(c.length));
    kolm_vm_irq_msg();
}

void acknowledge(const KdbTextCommand &c)
{
    unsigned value = 0;
    if (std::sscanf(c.argument, "%u", &value) != 1)
        gdbserver.print("einvalid format\n");
    else if (!kolm_vm_can_interrupt(kAckLimit + 1))
        gdbserver.print("ecannot interrupt\n");
    else
        kolm_vm_irq_ack(value);
}

void external_interrupt(const KdbTextCommand &c)
{
    unsigned pin = 0, state = 0;
    if (std::sscanf(c.argument, "%x,%u", &pin, &state) != 2)
        gdbserver.print("einvalid format\n");
    else if (!kolm_vm_can_interrupt(kExtiLimit + 1))
        gdbserver.print("ecannot interrupt\n");
    else
        kolm_vm_irq_exti(pin, state);
}

// Carries out the pending command and answers with its echo line.
void execute(bool *run)
{
    KdbTextCommand &c = gdb_text_cmd;
    switch (c.letter) {
    case 'A': acknowledge(c); break;
    case 'E': external_interrupt(c); break;
    case 'M': send_message(c); break;
    case 'C': *run = false; break;
    case 'P': *run = true; break;
    case 'R':
        *run = false;
        KOLM_VM.ctx.EIP = KOLM_VM.table.main;
        break;
    case 'S': asm_debugger_step(); break;
    case 'X': KOLM_VM.flags |= KOLM_FLAG_SEGV; break;
    case 'r':
        gdbserver.print("r0x%08x,0x%08x,0x%08x,0x%08x,0x%08x,0x%08x,0x%08x\n", KOLM_VM.ctx.EAX, KOLM_VM.ctx.EBX,
                        KOLM_VM.ctx.ECX, KOLM_VM.ctx.EDX, KOLM_VM.ctx.EIP, KOLM_VM.ctx.EBP, KOLM_VM.ctx.ESP);
        break;
    case 'm': dump_ram(); break;
    case 's': dump_stack(); break;
    default: break;
    }
    gdbserver.print("%c\n", c.letter);
    c.pending = false;
    c.length = 0;
}

// Every whole line buffered is carried out in turn.
void execute_buffered(bool *run)
{
    for (;;) {
        if (!gdb_text_cmd.pending) {
            if (!gdbserver.consumeBuffered(gdb_text_cmd_process))
                return;
            continue;
        }
        execute(run);
        if (KOLM_VM.flags & KOLM_FLAG_STOPPED)
            return;
    }
}

// The script's message as one line: "p", the bytes with LF written as CR
// and CR as CR CR, then LF.
void text_pc_tx(const uint8_t *bytes, uint32_t length)
{
    if (!gdbserver.connected())
        return;
    static char line[2 + 2 * KOLM_HAL_MESSAGE_MAX + 1];
    uint32_t used = 0;
    line[used++] = 'p';
    for (uint32_t i = 0; i < length && used + 3 <= sizeof line; ++i) {
        if (bytes[i] == kLf) {
            line[used++] = char(kCr);
        } else if (bytes[i] == kCr) {
            line[used++] = char(kCr);
            line[used++] = char(kCr);
        } else {
            line[used++] = char(bytes[i]);
        }
    }
    line[used++] = '\n';
    gdbserver.write(line, used);
}

} // namespace

void asm_exec_as_machine(int port)
{
    kolm_hal_set_pc_tx(text_pc_tx);
    if (!gdbserver.start(port)) {
        KOLM_VM.flags |= KOLM_FLAG_SEGV;
        return;
    }
    bool run = true;
    for (;;) {
        if (const uint32_t signals = SignalHandler::instance().getSignals()) {
            asm_debug(kInfo, "signal %d caught", int(signals));
            break;
        }
        if (!gdbserver.connected()) {
            bool accepted = false;
            if (!kdb_wait_client(&accepted)) {
                KOLM_VM.flags |= KOLM_FLAG_HALT;
                break;
            }
            if (accepted) {
                // A new client starts the script and no half command of
                // the one before.
                run = true;
                gdb_text_cmd.pending = false;
                gdb_text_cmd.length = 0;
            }
            continue;
        }
        // The run flag drives execution: while it is set the script runs
        // and the network is only looked at between slices.
        const int waitMs = !run ? KDB_LONG_WAIT_MS : kdb_script_suspended() ? kdb_suspended_wait_ms() : 0;
        if (!kdb_poll_client(gdb_text_cmd_process, waitMs))
            continue;
        execute_buffered(&run);
        if (run)
            kdb_run_slice();
        if (KOLM_VM.flags & KOLM_FLAG_STOPPED)
            break;
    }
    gdbserver.print("Q0x%u,0x%u\n", KOLM_VM.ctx.EAX, KOLM_VM.flags);
}
