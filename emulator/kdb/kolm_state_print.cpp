#include "kolm_state_print.h"

#include "kolm_dbg_print.h"
#include "kolm_disasm_types.h"
#include "kolm_p_stack.h"

#include <cstdio>
#include <cstring>

namespace {

static_assert(KOLM_PRINT_STACK_SLOTS * 4 + KOLM_PRINT_RAM_BYTES == KOLM_RAM_SIZE,
              "stack and globals' part fill the RAM");

uint32_t stackSlot(const _VM_Context &context, uint32_t slot)
{
    uint32_t value;
    std::memcpy(&value, context.RAM + kolm_vm_stack_offset(slot), 4);
    return value;
}

const char *bitState(uint32_t flags, uint32_t bit)
{
    return (flags & bit) ? "set" : "clear";
}

} // namespace

std::ostream &operator<<(std::ostream &out, const _VM_Context &c)
{
    out << std::hex << "%EAX\t" << c.EAX << "\t" << "%EBX\t" << c.EBX << "\n"
        << "%ECX\t" << c.ECX << "\t" << "%EDX\t" << c.EDX << "\n"
        << "%EIP\t" << c.EIP << "\t" << "%EBP\t" << c.EBP << "\n"
        << "%ESP\t" << c.ESP << "\t" << "@ISR\t" << c.ISR << "\n";
    const uint32_t used = c.ESP < KOLM_PRINT_STACK_SLOTS ? c.ESP : KOLM_PRINT_STACK_SLOTS;
    for (uint32_t i = 0; i < used; ++i)
        out << "stack[" << i << "]\t" << stackSlot(c, i) << "\n";
    return out << std::dec;
}

void printKolmFlags(uint32_t flags, std::ostream &out)
{
    out << "Flags:" << "\n\tError:\t" << std::hex << (flags & KOLM_FLAG_ERROR_MASK) << std::dec
        << "\n\tSEGV:\t" << bitState(flags, KOLM_FLAG_SEGV)
        << "\n\tSUSP:\t" << bitState(flags, KOLM_FLAG_SUSP)
        << "\n\tIRQD:\t" << bitState(flags, KOLM_FLAG_IRQD)
        << "\n\tHALT:\t" << bitState(flags, KOLM_FLAG_HALT)
        << "\n\tACK_ON:\t" << bitState(flags, KOLM_FLAG_ACK_ON)
        << "\n\tCRYPT:\t" << bitState(flags, KOLM_FLAG_CRYPT) << "\n";
}

std::ostream &operator<<(std::ostream &out, const _KolmVM &vm)
{
    out << "Context:\n" << vm.ctx << "Table:\n" << vm.table;
    printKolmFlags(vm.flags, out);
    return out;
}

void printKolmRam(const _VM_Context &context, std::ostream &out)
{
    out << "RAM:";
    for (uint32_t i = 0; i < KOLM_PRINT_RAM_BYTES; ++i)
        out << (i % 16 == 0 ? "\n " : "  ") << printUchar(context.RAM[i]);
    out << "\n";
}

void printKolmStack(const _VM_Context &context, std::ostream &out)
{
    out << "Stack:";
    for (uint32_t i = 0; i < KOLM_PRINT_STACK_SLOTS; ++i)
        out << (i % 8 == 0 ? "\n" : " ") << (i < context.ESP ? "*" : " ") << printTVar(stackSlot(context, i));
    out << "\n";
}

void kolm_vm_dump_ram(const _KolmVM &vm, std::ostream &out)
{
    out.write(reinterpret_cast<const char *>(vm.ctx.RAM), sizeof vm.ctx.RAM);
}

std::string printUchar(uint8_t value)
{
    char text[5];
    std::snprintf(text, sizeof text, "0x%02x", unsigned(value));
    return text;
}

std::string printTVar(uint32_t value)
{
    return asm_dism_u32(value);
}
