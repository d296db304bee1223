// Instruction emitters, the record of what was written last, and the two
// argument pushes with their fold.

#include "kolm_gen_context.h"
#include "kolm_gen_stream.h"
#include "kolm_opcodes.h"

using namespace kolm_isa;
using kolm_gen::position;

namespace {

// The folds only ever look at the last few instructions.
constexpr size_t kHistoryDepth = 8;

_bc_param u8(uint32_t value)
{
    return {1, 1, value, nullptr};
}

_bc_param u32(uint32_t value)
{
    return {3, 4, value, nullptr};
}

} // namespace

void KolmGenContext::write_instr(uint8_t opcode, const std::vector<_bc_param> &params, std::ostream *out) const
{
    const uint32_t start = position(out);
    kolm_gen::writeU8(out, opcode);
    for (const _bc_param &p : params) {
        switch (p.kind) {
        case 0:
            if (p.bytes)
                out->write(static_cast<const char *>(p.bytes), p.size);
            break;
        case 1:
            kolm_gen::writeU8(out, uint8_t(p.value));
            break;
        case 2:
            kolm_gen::writeU16(out, uint16_t(p.value));
            break;
        case 3:
            kolm_gen::writeU32(out, p.value);
            break;
        default:
            break;
        }
    }
    m_history.push_back({out, start, opcode, params, position(out) - start});
    if (m_history.size() > kHistoryDepth)
        m_history.pop_front();
}

// The last instruction, when it may be changed or taken back: written into
// this stream, ending at the current position, and no jump lands after its
// first byte (a jump that lands behind it expects it to be complete there).
const KolmGenContext::WrittenInstr *KolmGenContext::foldableInstr(const std::ostream *out) const
{
    if (m_history.empty())
        return nullptr;
    const WrittenInstr &last = m_history.back();
    std::ostream *stream = const_cast<std::ostream *>(out);
    if (last.stream != out || last.position + last.length != position(stream))
        return nullptr;
    if (m_jumpTargetMark > last.position)
        return nullptr;
    return &last;
}

void KolmGenContext::dropLastInstr() const
{
    if (!m_history.empty())
        m_history.pop_back();
}

void KolmGenContext::markJumpTarget(uint32_t position) const
{
    ++m_jumpTargetCount;
    if (position > m_jumpTargetMark)
        m_jumpTargetMark = position;
}

// Rewrites a placeholder jump in place; what was written last stays the
// last instruction.
void KolmGenContext::patchGoto(uint32_t at, uint32_t target, std::ostream *out) const
{
    const auto end = out->tellp();
    out->seekp(at);
    write_goto(target, out);
    dropLastInstr();
    out->seekp(end);
}

void KolmGenContext::patchJmpNext(uint32_t at, uint32_t target, std::ostream *out) const
{
    const auto end = out->tellp();
    out->seekp(at);
    write_jmp(at + instructionLength(OP_jmp), target, out);
    dropLastInstr();
    out->seekp(end);
}

void KolmGenContext::write_cpy(uint8_t dst, uint8_t src, std::ostream *out) const
{
    write_instr(OP_cpy, {u8(dst), u8(src)}, out);
}

void KolmGenContext::write_sto(uint8_t reg, uint32_t value, std::ostream *out) const
{
    write_instr(OP_sto, {u8(reg), u32(value)}, out);
}

void KolmGenContext::write_goto(uint32_t target, std::ostream *out) const
{
    write_sto(REG_EIP, target, out);
}

void KolmGenContext::write_call(uint32_t target, uint8_t frameSize, std::ostream *out) const
{
    write_instr(OP_call, {u32(target), u8(frameSize)}, out);
}

void KolmGenContext::write_jmp(uint32_t ifTrue, uint32_t ifFalse, std::ostream *out) const
{
    write_instr(OP_jmp, {u32(ifTrue), u32(ifFalse)}, out);
}

void KolmGenContext::write_jmp_next(uint32_t target, std::ostream *out) const
{
    write_jmp(position(out) + instructionLength(OP_jmp), target, out);
}

void KolmGenContext::write_jmp_out(uint32_t target, std::ostream *out) const
{
    write_jmp(target, position(out) + instructionLength(OP_jmp), out);
}

void KolmGenContext::write_push_stack_i(uint32_t value, std::ostream *out) const
{
    write_instr(OP_spvi, {u32(value)}, out);
}

void KolmGenContext::write_push_stack_r(uint8_t reg, std::ostream *out) const
{
    write_instr(OP_spvr, {u8(reg)}, out);
}

void KolmGenContext::write_stack_rewind(uint8_t count, std::ostream *out) const
{
    write_instr(OP_srw, {u8(count)}, out);
}

void KolmGenContext::write_set_stack_r(uint8_t slot, uint8_t reg, std::ostream *out) const
{
    write_instr(OP_ssvr, {u8(slot), u8(reg)}, out);
}

void KolmGenContext::write_pull_stack_r(uint8_t reg, uint8_t slot, std::ostream *out) const
{
    write_instr(OP_stos, {u8(reg), u8(slot)}, out);
}

void KolmGenContext::write_mem_read_u_i(uint8_t reg, uint32_t address, std::ostream *out) const
{
    write_instr(OP_rrui, {u8(reg), u32(address)}, out);
}

void KolmGenContext::write_mem_read_u_r(uint8_t reg, uint8_t addressReg, std::ostream *out) const
{
    write_instr(OP_rrur, {u8(reg), u8(addressReg)}, out);
}

void KolmGenContext::write_mem_write_u_r(uint8_t addressReg, uint8_t valueReg, std::ostream *out) const
{
    write_instr(OP_rwur, {u8(addressReg), u8(valueReg)}, out);
}

void KolmGenContext::write_mem_write_u_p(uint8_t valueReg, uint32_t address, std::ostream *out) const
{
    write_instr(OP_rwup, {u8(valueReg), u32(address)}, out);
}

void KolmGenContext::write_not(uint8_t opcode, uint8_t reg, std::ostream *out) const
{
    write_instr(opcode, {u8(reg)}, out);
}

void KolmGenContext::write_math_val(uint8_t opcode, uint8_t reg, uint32_t value, std::ostream *out) const
{
    write_instr(opcode, {u8(reg), u32(value)}, out);
}

void KolmGenContext::write_cmp(uint8_t opcode, uint8_t regY, uint8_t regX, std::ostream *out) const
{
    write_instr(opcode, {u8(regY), u8(regX)}, out);
}

void KolmGenContext::write_math(uint8_t opcode, uint8_t regY, uint8_t regX, std::ostream *out) const
{
    write_cmp(opcode, regY, regX, out);
}

bool KolmGenContext::pushFunctionParameter(uint32_t value, std::ostream *out)
{
    if (!current() || !growFrame(1))
        return false;
    write_push_stack_i(value, out);
    return true;
}

// Pushes a register as a call argument. At level 1 a sto of a value into
// that register written just before is turned into one push of the value.
bool KolmGenContext::pushFunctionRegParameter(uint8_t reg, std::ostream *out, bool allowFold)
{
    if (!current() || !growFrame(1))
        return false;
    const WrittenInstr *last = (optimizeLevel >= 1 && allowFold) ? foldableInstr(out) : nullptr;
    if (!last || last->opcode != OP_sto || last->params[0].value != reg) {
        write_push_stack_r(reg, out);
        return true;
    }
    const uint32_t at = last->position;
    const uint32_t value = last->params[1].value;
    dropLastInstr();
    out->seekp(at);
    rewindDebugInfo(at);
    for (auto &entry : m_addressFixUps)
        for (FixUp &fix : entry.second)
            if (fix.offset == at && fix.value == OP_sto)
                fix.value = OP_spvi;
    write_push_stack_i(value, out);
    return true;
}
