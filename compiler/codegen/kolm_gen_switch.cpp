// Switch lowering: the branches come first, the dispatch head after them.
// A goto at the top jumps to the head, which reaches a branch through a
// jump table (packed head) or a chain of compares (sparse head).

#include "kolm_gen_context.h"
#include "kolm_gen_stream.h"
#include "kolm_opcodes.h"

#include <algorithm>

using namespace kolm_isa;
using kolm_gen::position;

namespace {

constexpr size_t kMaxTableEntries = 255; // the count of tbl is one byte

std::vector<uint32_t> sortedValues(const KolmGenContext::SwitchContext &sw)
{
    std::vector<uint32_t> values;
    for (const auto &branch : sw.branches)
        values.push_back(branch.first);
    std::sort(values.begin(), values.end());
    return values;
}

} // namespace

KolmGenContext::SwitchContext *KolmGenContext::openSwitch()
{
    FunctionContext *fn = current();
    return (fn && !fn->switches.empty()) ? &fn->switches.back() : nullptr;
}

bool KolmGenContext::startSwitch(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn)
        return false;
    SwitchContext sw;
    sw.headJump = position(out);
    sw.localCount = fn->localCount;
    fn->switches.push_back(sw);
    fn->breakTargets.push_back(true);
    write_goto(0, out);
    return true;
}

bool KolmGenContext::startSwitchBranch(uint32_t value, std::ostream *out)
{
    SwitchContext *sw = openSwitch();
    if (!sw)
        return false;
    sw->branches[value] = position(out);
    markJumpTarget(position(out));
    return true;
}

bool KolmGenContext::startSwitchDefault(std::ostream *out)
{
    SwitchContext *sw = openSwitch();
    if (!sw)
        return false;
    sw->defaultPosition = position(out);
    markJumpTarget(sw->defaultPosition);
    return true;
}

// Closes the default branch with a jump to the end. At level 1 the jump is
// left out when the branch already ends with a jump (a sto into the
// program counter) that nothing jumps behind.
bool KolmGenContext::endSwitchDefault(std::ostream *out)
{
    SwitchContext *sw = openSwitch();
    if (!sw)
        return false;
    const WrittenInstr *last = optimizeLevel >= 1 ? foldableInstr(out) : nullptr;
    if (last && last->opcode == OP_sto && last->params[0].value == REG_EIP && last->position >= sw->defaultPosition)
        return true;
    sw->breaks.push_back(position(out));
    write_goto(0, out);
    return true;
}

bool KolmGenContext::makeSwitchDefault(std::ostream *out)
{
    return startSwitchDefault(out) && endSwitchDefault(out);
}

// Writes the jump table: one entry per value from the lowest to the highest
// case value, the default position where a value has no branch.
bool KolmGenContext::compileSwitchTable(std::ostream *out, std::string &message)
{
    SwitchContext *sw = openSwitch();
    if (!sw) {
        message = "statement out of context";
        return false;
    }
    const std::vector<uint32_t> values = sortedValues(*sw);
    if (values.size() > kMaxTableEntries) {
        message = "switch statement has too many branches";
        return false;
    }
    // A switch with only a default branch is dispatched over 0 to 0, so its
    // table holds one entry, the default.
    const uint32_t lowest = values.empty() ? 0 : values.front();
    const uint32_t highest = values.empty() ? 0 : values.back();
    const uint64_t range = uint64_t(highest) - lowest + 1;
    if (range > kMaxTableEntries) {
        message = "switch value range too wide for a jump table";
        return false;
    }
    std::vector<_bc_param> params;
    params.push_back({1, 1, uint32_t(range), nullptr});
    for (uint64_t v = lowest; v <= highest; ++v) {
        const auto branch = sw->branches.find(uint32_t(v));
        params.push_back({3, 4, branch == sw->branches.end() ? sw->defaultPosition : branch->second, nullptr});
    }
    sw->table = position(out) + 2;
    write_instr(OP_tbl, params, out);
    return true;
}

// Starts the dispatch code of the innermost switch at the current position
// with a temporary register for the switch value.
KolmGenContext::SwitchContext *KolmGenContext::startSwitchHead(uint8_t *t, std::ostream *out, std::string &message)
{
    SwitchContext *sw = openSwitch();
    if (!sw) {
        message = "not inside a switch block";
        return nullptr;
    }
    sw->head = position(out);
    markJumpTarget(sw->head);
    return aquireRegister(t, out) ? sw : nullptr;
}

bool KolmGenContext::compilePackedSwitchHead(uint32_t lowest, uint32_t highest, std::ostream *out,
                                             std::string &message)
{
    uint8_t t = 0;
    SwitchContext *sw = startSwitchHead(&t, out, message);
    if (!sw)
        return false;
    if (lowest != 0)
        write_math_val(OP_subv, REG_EAX, lowest, out);
    write_cpy(t, REG_EAX, out);
    write_sto(REG_EAX, highest - lowest, out);
    write_cmp(OP_leq, t, REG_EAX, out);
    write_jmp_next(sw->defaultPosition, out);
    write_math_val(OP_shlv, t, 2, out);
    write_math_val(OP_addv, t, sw->table, out);
    write_mem_read_u_r(REG_EIP, t, out);
    releaseRegister(t, out);
    return true;
}

bool KolmGenContext::compileSparseSwitchTable(std::ostream *out, std::string &message)
{
    uint8_t t = 0;
    SwitchContext *sw = startSwitchHead(&t, out, message);
    if (!sw)
        return false;
    write_cpy(t, REG_EAX, out);
    for (uint32_t value : sortedValues(*sw)) {
        write_sto(REG_EAX, value, out);
        write_cmp(OP_cmp, REG_EAX, t, out);
        write_jmp_out(sw->branches[value], out);
    }
    write_goto(sw->defaultPosition, out);
    releaseRegister(t, out);
    return true;
}

bool KolmGenContext::endSwitch(std::ostream *out)
{
    FunctionContext *fn = current();
    SwitchContext *sw = openSwitch();
    if (!sw)
        return false;
    const uint32_t end = position(out);
    markJumpTarget(end);
    patchGoto(sw->headJump, sw->head, out);
    for (uint32_t jump : sw->breaks)
        patchGoto(jump, end, out);
    fn->switches.pop_back();
    fn->breakTargets.pop_back();
    out->seekp(end);
    return true;
}
