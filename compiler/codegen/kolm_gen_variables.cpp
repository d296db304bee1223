// The register pool, block scopes and the frame accounting, variables and
// peripheral register addresses.

#include "kolm_gen_context.h"
#include "kolm_opcodes.h"

#include <iostream>

using namespace kolm_isa;

namespace {

constexpr unsigned kMaxFrameWords = 255; // slot operands are one byte

const uint32_t *globalSlot(const std::unordered_map<std::string, uint32_t> &globals, const std::string &name)
{
    const auto it = globals.find(name);
    return it == globals.end() ? nullptr : &it->second;
}

} // namespace

KolmGenContext::FunctionContext *KolmGenContext::current()
{
    return m_functionContexts.empty() ? nullptr : &m_functionContexts.back();
}

const KolmGenContext::FunctionContext *KolmGenContext::currentFunction() const
{
    return m_functionContexts.empty() ? nullptr : &m_functionContexts.back();
}

// Accounts for words pushed onto the current frame; false when the frame
// would outgrow the one-byte slot numbers.
bool KolmGenContext::growFrame(unsigned words)
{
    FunctionContext *fn = current();
    if (!fn || fn->localCount + words > kMaxFrameWords)
        return false;
    fn->localCount = uint8_t(fn->localCount + words);
    return true;
}

void KolmGenContext::shrinkFrame(unsigned words)
{
    FunctionContext *fn = current();
    if (fn)
        fn->localCount = uint8_t(fn->localCount >= words ? fn->localCount - words : 0);
}

// Writes the rewind of the words above the given count, leaving the
// accounting unchanged (the code behind the jump that follows still holds them).
bool KolmGenContext::dropWordsTo(uint8_t localCount, std::ostream *out)
{
    const FunctionContext *fn = current();
    if (fn && fn->localCount > localCount)
        write_stack_rewind(uint8_t(fn->localCount - localCount), out);
    return true;
}

bool KolmGenContext::aquireRegister(uint8_t *reg, std::ostream *)
{
    for (unsigned r = REG_EBX; r <= REG_EDX; ++r) {
        if (m_busyRegisters.count(r))
            continue;
        m_busyRegisters.insert(r);
        *reg = uint8_t(r);
        return true;
    }
    std::cerr << "Cannot aquire a register - code too complex\n";
    return false;
}

// At level 1 an instruction that has just loaded the source register is
// made to load the new register instead of copying it afterwards. Only
// instructions whose first register operand is written take part.
bool KolmGenContext::aquireRegisterAndCopy(uint8_t *reg, uint8_t source, std::ostream *out)
{
    if (!aquireRegister(reg, out))
        return false;
    const WrittenInstr *last = optimizeLevel > 0 ? foldableInstr(out) : nullptr;
    if (last && !last->params.empty() && last->params[0].value == source) {
        switch (last->opcode) {
        case OP_sto:
        case OP_rrui:
        case OP_cpy:
        case OP_sad:
        case OP_stos:
        case OP_rrur: {
            const auto end = out->tellp();
            out->seekp(last->position + 1);
            out->put(char(*reg));
            out->seekp(end);
            m_history.back().params[0].value = *reg;
            return true;
        }
        default:
            break;
        }
    }
    write_cpy(*reg, source, out);
    return true;
}

void KolmGenContext::releaseRegister(uint8_t reg, std::ostream *)
{
    m_busyRegisters.erase(reg);
}

bool KolmGenContext::startBlock()
{
    FunctionContext *fn = current();
    if (!fn)
        return false;
    CodeBlock block;
    block.savedLocalCount = fn->localCount;
    fn->blocks.push_back(block);
    return true;
}

// Closes the innermost block: reloads the registers saved in it, drops its
// words from the stack (in every function, `main` included) and forgets its
// names.
bool KolmGenContext::endBlock(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn || fn->blocks.empty())
        return false;
    const CodeBlock &block = fn->blocks.back();
    for (const auto &saved : block.savedRegisters) {
        write_pull_stack_r(uint8_t(saved.first), saved.second, out);
        m_busyRegisters.insert(unsigned(saved.first));
    }
    dropWordsTo(block.savedLocalCount, out);
    for (const std::string &name : block.names)
        fn->locals.erase(name);
    fn->localCount = block.savedLocalCount;
    fn->blocks.pop_back();
    return true;
}

bool KolmGenContext::declareVariable(const std::string &name, uint32_t value, std::ostream *out)
{
    if (FunctionContext *fn = current()) {
        const uint8_t slot = fn->localCount;
        if (!growFrame(1))
            return false;
        fn->locals[name] = slot;
        if (!fn->blocks.empty())
            fn->blocks.back().names.insert(name);
        write_push_stack_i(value, out);
        return true;
    }
    const KolmBoardPackageParser &bsp = boardPackage();
    const uint64_t used = uint64_t(m_globals.size()) * bsp.abi;
    if (uint64_t(bsp.ram_size) <= used)
        return false;
    const uint32_t address = uint32_t(bsp.ram_address + used);
    write_sto(REG_EAX, value, &m_initStream);
    write_mem_write_u_p(REG_EAX, address, &m_initStream);
    m_globals[name] = address;
    return true;
}

bool KolmGenContext::variableDeclared(const std::string &name) const
{
    if (m_globals.count(name) || m_arrays.count(name))
        return true;
    for (const FunctionContext &fn : m_functionContexts)
        if (fn.locals.count(name))
            return true;
    return false;
}

uint32_t KolmGenContext::globalAddress(const std::string &name) const
{
    const uint32_t *address = globalSlot(m_globals, name);
    return address ? *address : 0;
}

namespace {


const uint8_t *localSlot(const KolmGenContext::FunctionContext *fn, const std::string &name)
{
    if (!fn)
        return nullptr;
    const auto it = fn->locals.find(name);
    return it == fn->locals.end() ? nullptr : &it->second;
}

} // namespace

bool KolmGenContext::pullVariable(const std::string &name, std::ostream *out, std::string &message)
{
    if (const uint8_t *slot = localSlot(current(), name)) {
        write_pull_stack_r(REG_EAX, *slot, out);
        return true;
    }
    if (const uint32_t *address = globalSlot(m_globals, name)) {
        write_mem_read_u_i(REG_EAX, *address, out);
        return true;
    }
    message = "undeclared identifier " + name;
    return false;
}

bool KolmGenContext::assignVariable(const std::string &name, uint8_t source, std::ostream *out)
{
    if (const uint8_t *slot = localSlot(current(), name)) {
        write_set_stack_r(*slot, source, out);
        return true;
    }
    if (const uint32_t *address = globalSlot(m_globals, name)) {
        write_mem_write_u_p(source, *address, current() ? out : &m_initStream);
        return true;
    }
    return false;
}

bool KolmGenContext::variableDereference(const std::string &name, std::ostream *out, std::string &message)
{
    if (const uint8_t *slot = localSlot(current(), name)) {
        write_pull_stack_r(REG_EAX, *slot, out);
    } else if (const uint32_t *address = globalSlot(m_globals, name)) {
        write_mem_read_u_i(REG_EAX, *address, out);
    } else {
        message = "cannot dereference " + name;
        return false;
    }
    write_mem_read_u_r(REG_EAX, REG_EAX, out);
    return true;
}

bool KolmGenContext::pullVariableAddress(const std::string &name, bool value, std::ostream *out,
                                         std::string &message, uint8_t destination)
{
    if (m_arrays.count(name)) {
        message = "cannot take address of a static array";
        return false;
    }
    if (value)
        return pullVariable(name, out, message);
    if (const uint8_t *slot = localSlot(current(), name)) {
        write_instr(OP_sad, {{1, 1, destination, nullptr}, {1, 1, *slot, nullptr}}, out);
        return true;
    }
    if (const uint32_t *address = globalSlot(m_globals, name)) {
        write_sto(destination, *address, out);
        return true;
    }
    message = "implicit declaration of " + name;
    return false;
}

bool KolmGenContext::variableMath(const std::string &name, uint8_t opcode, uint8_t source, std::ostream *out,
                                  std::string &message)
{
    uint8_t t = 0;
    if (!aquireRegister(&t, out)) {
        message = "too complex code - no free machine registers";
        return false;
    }
    bool found = true;
    if (const uint8_t *slot = localSlot(current(), name)) {
        write_pull_stack_r(t, *slot, out);
        write_math(opcode, t, source, out);
        write_set_stack_r(*slot, t, out);
    } else if (const uint32_t *address = globalSlot(m_globals, name)) {
        write_mem_read_u_i(t, *address, out);
        write_math(opcode, t, source, out);
        write_mem_write_u_p(t, *address, out);
    } else {
        message = "implicit declaration of " + name;
        found = false;
    }
    releaseRegister(t, out);
    return found;
}

bool KolmGenContext::pointerMath(uint8_t addressReg, uint8_t valueReg, uint8_t opcode, std::ostream *out,
                                 std::string &message)
{
    if (opcode == OP_cpy) {
        write_mem_write_u_r(addressReg, valueReg, out);
        return true;
    }
    if (addressReg != REG_EAX) {
        write_mem_read_u_r(REG_EAX, addressReg, out);
        write_math(opcode, REG_EAX, valueReg, out);
        write_mem_write_u_r(addressReg, REG_EAX, out);
        return true;
    }
    uint8_t t = 0;
    if (!aquireRegister(&t, out)) {
        message = "too complex code - no free machine registers";
        return false;
    }
    write_mem_read_u_r(t, REG_EAX, out);
    write_math(opcode, t, valueReg, out);
    write_mem_write_u_r(REG_EAX, t, out);
    releaseRegister(t, out);
    return true;
}

uint32_t KolmGenContext::peripheryAddress(const std::string &peripheral) const
{
    bool found = false;
    const uint32_t offset = boardPackage().address(peripheral, &found);
    return found ? boardPackage().hal_address + offset : 0;
}

uint32_t KolmGenContext::peripheryAddress(const std::string &peripheral, const std::string &reg) const
{
    bool found = false;
    const uint32_t offset = boardPackage().address(peripheral, reg, &found);
    return found ? boardPackage().hal_address + offset : 0;
}

uint32_t KolmGenContext::peripheryAccess(const std::string &peripheral, const std::string &reg) const
{
    return boardPackage().access(peripheral, reg, nullptr);
}
