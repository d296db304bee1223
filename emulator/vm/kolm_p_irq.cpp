// Interrupt entries: the interrupted context is saved on the script's stack
// under a frame whose return slot holds 0xFFFFFFFF, which ret recognises.

#include "kolm_dbg.h"
#include "kolm_p.h"
#include "kolm_p_stack.h"

#include <initializer_list>

namespace {

constexpr uint32_t kInterruptReturn = 0xFFFFFFFF;
// Saved registers, ISR level and EIP, then the frame's two words.
constexpr uint32_t kFrameWords = 8;

enum IsrLevel : uint32_t { ISR_TIMER = 1, ISR_MSG = 2, ISR_EXTI = 3, ISR_ACK = 4 };

void enter(uint32_t level, uint32_t handler, std::initializer_list<uint32_t> arguments)
{
    _VM_Context &c = KOLM_VM.ctx;
    const uint32_t needed = kFrameWords + uint32_t(arguments.size());
    // Every word is checked before any is pushed: a refused entry leaves
    // the stack as it was.
    if (c.ESP > KOLM_STACK_LIMIT + 1 - needed || !kolm_vm_stack_above_globals(c.ESP + needed - 1)) {
        kolm_vm_stack_overflow("stack overflow at internal function call");
        return;
    }
    for (uint32_t word : {c.EAX, c.EBX, c.ECX, c.EDX, c.ISR, c.EIP})
        kolm_vm_set_stack(c.ESP++, word);
    c.ISR = level;
    c.EIP = kInterruptReturn;
    kolm_vm_set_stack(c.ESP++, c.EBP);
    kolm_vm_set_stack(c.ESP++, c.EIP);
    c.EBP = c.ESP - 2;
    for (uint32_t word : arguments)
        kolm_vm_set_stack(c.ESP++, word);
    c.EIP = handler;
}

} // namespace

void kolm_vm_irq_exti(uint32_t pin, uint32_t state)
{
    if (KOLM_VM.table.exti)
        enter(ISR_EXTI, KOLM_VM.table.exti, {state, pin});
}

void kolm_vm_irq_msg()
{
    if (KOLM_VM.table.msg)
        enter(ISR_MSG, KOLM_VM.table.msg, {});
}

void kolm_vm_irq_ack(uint32_t value)
{
    if (KOLM_VM.table.ack)
        enter(ISR_ACK, KOLM_VM.table.ack, {value != 0 ? 1u : 0u});
}

void kolm_vm_irq_timer(uint32_t address)
{
    enter(ISR_TIMER, address, {});
}

bool kolm_vm_can_interrupt(uint32_t level)
{
    return KOLM_VM.ctx.ISR < level;
}
