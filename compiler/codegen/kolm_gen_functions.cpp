// Script functions: declaration and definition, the call sequence, function
// addresses, returns and the end of a function body.

#include "kolm_gen_context.h"
#include "kolm_gen_stream.h"
#include "kolm_opcodes.h"

using namespace kolm_isa;
using kolm_gen::position;

namespace {

// Header entry index of each special function.
int entryIndex(const std::string &name)
{
    static const char *const names[] = {"main", "_exti", "_msg", "_ack", "_segv"};
    for (int i = 0; i < 5; ++i)
        if (name == names[i])
            return i;
    return -1;
}

constexpr uint8_t kFrameWords = 2; // caller's frame base and return address

} // namespace

const KolmGenContext::FunctionEntry *KolmGenContext::function(const std::string &name) const
{
    const auto it = m_functions.find(name);
    return it == m_functions.end() ? nullptr : &it->second;
}

void KolmGenContext::setEntry(const std::string &name, uint32_t entry)
{
    const int index = entryIndex(name);
    if (index >= 0)
        m_entries[index] = entry;
}

// A forward declaration of a function that already has a body keeps the
// body's entry, so calls after it still reach the body.
bool KolmGenContext::declareFunction(const std::string &name, const std::vector<std::string> &names,
                                     const std::vector<int> &kinds, bool forward, std::ostream *out,
                                     std::string &error)
{
    if (current()) {
        error = "a function cannot be declared here";
        return false;
    }
    if (forward) {
        const auto it = m_functions.find(name);
        if (it == m_functions.end())
            m_functions.emplace(name, FunctionEntry{kUnresolved, kinds});
        else if (it->second.entry == kUnresolved)
            it->second.kinds = kinds;
        return true;
    }
    const uint8_t base = name == "main" ? 0 : kFrameWords;
    if (names.size() + base > 255) {
        error = "too many parameters";
        return false;
    }
    const uint32_t start = position(out);
    m_functions[name] = FunctionEntry{start, kinds};
    markJumpTarget(start);
    FunctionContext fn;
    fn.name = name;
    for (size_t i = 0; i < names.size(); ++i)
        fn.locals[names[names.size() - 1 - i]] = uint8_t(base + i);
    fn.localCount = uint8_t(base + names.size());
    setEntry(name, start);
    m_functionContexts.push_back(std::move(fn));
    return true;
}

bool KolmGenContext::functionDeclared(const std::string &name) const
{
    return m_functions.count(name) != 0;
}

bool KolmGenContext::functionForwardDeclared(const std::string &name) const
{
    const FunctionEntry *entry = function(name);
    return entry && entry->entry == kUnresolved;
}

// Opens the argument scope of a call. Before a script or special function
// the busy registers are saved in it and the two frame words pushed.
bool KolmGenContext::beginFunctionCall(const std::string &name, std::ostream *out, std::string &error)
{
    if (!current()) {
        error = "cannot invoke a function here";
        return false;
    }
    if (name == "main") {
        error = "this function is not callable";
        return false;
    }
    if (!isInternalFunction(name) && !isSpecialFunction(name) && !functionDeclared(name)) {
        error = "implicit declaration of function " + name;
        return false;
    }
    const bool builtin = isInternalFunction(name);
    const unsigned words = builtin ? 0 : unsigned(m_busyRegisters.size()) + kFrameWords;
    if (current()->localCount + words > 255) {
        error = "too complex code - stack frame too large";
        return false;
    }
    startBlock();
    if (builtin)
        return true;
    FunctionContext *fn = current();
    for (unsigned r = REG_EBX; r <= REG_EDX; ++r) {
        if (!m_busyRegisters.count(r))
            continue;
        fn->blocks.back().savedRegisters[int(r)] = fn->localCount;
        growFrame(1);
        write_push_stack_r(uint8_t(r), out);
    }
    write_push_stack_r(REG_EBP, out);
    write_push_stack_r(REG_EIP, out);
    growFrame(kFrameWords);
    return true;
}

// Writes the call. A function whose entry is not known yet gets the
// placeholder target and a fix-up that finalize resolves. The return drops
// the frame words and the arguments.
void KolmGenContext::callFunction(const std::string &name, uint8_t count, std::ostream *out)
{
    const FunctionEntry *entry = function(name);
    const uint8_t frame = uint8_t(name == "main" ? count : count + kFrameWords);
    uint32_t target = entry ? entry->entry : kUnresolved;
    if (target == kUnresolved)
        m_callFixUps[name].push_back({position(out), frame});
    write_call(target, frame, out);
    shrinkFrame(frame);
}

bool KolmGenContext::endFunctionCall(const std::string &, std::ostream *out)
{
    if (!current())
        return false;
    return endBlock(out);
}

bool KolmGenContext::pullFunctionAddress(const std::string &name, std::ostream *out)
{
    const FunctionEntry *entry = function(name);
    if (!entry)
        return false;
    if (entry->entry == kUnresolved)
        m_addressFixUps[name].push_back({position(out), OP_sto});
    write_sto(REG_EAX, entry->entry, out);
    return true;
}

bool KolmGenContext::functionExit(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn)
        return false;
    if (optimizeLevel >= 1 && fn->name == "main") {
        write_instr(OP_halt, {}, out);
        return true;
    }
    fn->exitJumps.push_back(position(out));
    write_goto(0, out);
    return true;
}

bool KolmGenContext::endFunctionImplementation(std::ostream *out, std::string &error, std::string *where)
{
    FunctionContext *fn = current();
    if (!fn)
        return true;
    const uint32_t exit = position(out);
    for (const GotoForwaredDeclaration &pending : fn->gotos) {
        const auto label = fn->labels.find(pending.label);
        if (label == fn->labels.end() || label->second.localCount != pending.localCount) {
            error = label == fn->labels.end() ? "label " + pending.label + "is not declared"
                                              : "cannot jump across variable declarations";
            if (where)
                *where = pending.where;
            return false;
        }
        patchGoto(pending.position, label->second.position, out);
    }
    if (!fn->exitJumps.empty())
        markJumpTarget(exit);
    for (uint32_t jump : fn->exitJumps)
        patchGoto(jump, exit, out);
    if (fn->name == "main") {
        const WrittenInstr *last = optimizeLevel >= 1 ? foldableInstr(out) : nullptr;
        if (!last || last->opcode != OP_halt)
            write_instr(OP_halt, {}, out);
    } else {
        write_instr(OP_ret, {}, out);
    }
    m_functionContexts.pop_back();
    return true;
}
