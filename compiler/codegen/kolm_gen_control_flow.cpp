// Jumps of conditionals, loops, break and continue, labels and goto. A jump
// to a place not yet known is written with target 0 and patched in place
// when the place is reached.

#include "kolm_gen_context.h"
#include "kolm_gen_stream.h"
#include "kolm_opcodes.h"

using namespace kolm_isa;
using kolm_gen::position;

bool KolmGenContext::startIfElse(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn)
        return false;
    IfElseStatement record;
    record.start = position(out);
    fn->ifElse.push_back(record);
    write_jmp_next(0, out);
    return true;
}

void KolmGenContext::startElseBranch(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn || fn->ifElse.empty())
        return;
    IfElseStatement &record = fn->ifElse.back();
    record.thenExitJump = position(out);
    write_goto(0, out);
    record.elseStart = position(out);
    markJumpTarget(record.elseStart);
    record.targetsBeforeElse = m_jumpTargetCount;
}

// At level 1 an empty else-branch drops the then-branch's closing jump: the
// head jump leads to where it stood and the code that follows is written
// there. Not when something else jumps to the else-branch (a label in it).
void KolmGenContext::endIfElse(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn || fn->ifElse.empty())
        return;
    const IfElseStatement record = fn->ifElse.back();
    fn->ifElse.pop_back();
    uint32_t end = position(out);
    if (!record.elseStart) {
        patchJmpNext(record.start, end, out);
    } else if (optimizeLevel == 1 && end == record.elseStart && m_jumpTargetCount == record.targetsBeforeElse) {
        end = record.thenExitJump;
        patchJmpNext(record.start, end, out);
        m_jumpTargetMark = end;
        rewindDebugInfo(end);
        if (!m_history.empty() && m_history.back().position == end && m_history.back().stream == out)
            dropLastInstr();
    } else {
        patchJmpNext(record.start, record.elseStart, out);
        patchGoto(record.thenExitJump, end, out);
    }
    markJumpTarget(end);
    out->seekp(end);
}

bool KolmGenContext::startLoop(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn)
        return false;
    LoopContext loop;
    loop.start = position(out);
    loop.localCount = fn->localCount;
    markJumpTarget(loop.start);
    fn->loops.push_back(loop);
    fn->breakTargets.push_back(false);
    return true;
}

void KolmGenContext::startLoopCondition(std::ostream *)
{
}

void KolmGenContext::endLoopCondition(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn || fn->loops.empty())
        return;
    fn->loops.back().conditionJumps.push_back(position(out));
    write_jmp_next(0, out);
}

// Marks the current position as the target of `continue` in the innermost
// loop and resolves the continues written before it.
bool KolmGenContext::setLoopContinue(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn || fn->loops.empty())
        return false;
    LoopContext &loop = fn->loops.back();
    loop.continueTargetSet = true;
    loop.continueTarget = position(out);
    markJumpTarget(loop.continueTarget);
    for (uint32_t jump : loop.continueJumps)
        patchGoto(jump, loop.continueTarget, out);
    loop.continueJumps.clear();
    return true;
}

// A `continue`: drops the words pushed inside the loop, then jumps to the
// loop's continue target (patched later when it is not known yet).
bool KolmGenContext::loopContinue(std::ostream *out, std::string &message)
{
    FunctionContext *fn = current();
    if (!fn || fn->loops.empty()) {
        message = "continue statement out of context";
        return false;
    }
    LoopContext &loop = fn->loops.back();
    dropWordsTo(loop.localCount, out);
    if (loop.continueTargetSet) {
        write_goto(loop.continueTarget, out);
    } else {
        loop.continueJumps.push_back(position(out));
        write_goto(0, out);
    }
    return true;
}

// The loop's own jump back to its start.
bool KolmGenContext::loopRepeat(std::ostream *out, std::string &message)
{
    FunctionContext *fn = current();
    if (!fn || fn->loops.empty()) {
        message = "continue statement out of context";
        return false;
    }
    write_goto(fn->loops.back().start, out);
    return true;
}

bool KolmGenContext::breakIntoSwitch() const
{
    const FunctionContext *fn = currentFunction();
    return fn && !fn->breakTargets.empty() && fn->breakTargets.back();
}

// A `break` leaves the innermost enclosing loop or switch, dropping the
// words pushed inside it first.
bool KolmGenContext::loopBreak(std::ostream *out, std::string &message)
{
    FunctionContext *fn = current();
    if (!fn || fn->breakTargets.empty()) {
        message = "break statement out of context";
        return false;
    }
    if (breakIntoSwitch()) {
        SwitchContext &sw = fn->switches.back();
        dropWordsTo(sw.localCount, out);
        sw.breaks.push_back(position(out));
    } else {
        LoopContext &loop = fn->loops.back();
        dropWordsTo(loop.localCount, out);
        loop.breakJumps.push_back(position(out));
    }
    write_goto(0, out);
    return true;
}

bool KolmGenContext::endLoop(std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn || fn->loops.empty())
        return false;
    const LoopContext loop = fn->loops.back();
    fn->loops.pop_back();
    fn->breakTargets.pop_back();
    const uint32_t end = position(out);
    markJumpTarget(end);
    for (uint32_t jump : loop.breakJumps)
        patchGoto(jump, end, out);
    for (uint32_t jump : loop.conditionJumps)
        patchJmpNext(jump, end, out);
    for (uint32_t jump : loop.continueJumps)
        patchGoto(jump, loop.start, out);
    out->seekp(end);
    return true;
}

bool KolmGenContext::declareLabel(const std::string &name, std::ostream *out)
{
    FunctionContext *fn = current();
    if (!fn)
        return false;
    const uint32_t at = position(out);
    fn->labels[name] = Label{at, fn->localCount};
    markJumpTarget(at);
    return true;
}

bool KolmGenContext::labelDeclared(const std::string &name) const
{
    for (auto it = m_functionContexts.rbegin(); it != m_functionContexts.rend(); ++it)
        if (it->labels.count(name))
            return true;
    return false;
}

bool KolmGenContext::gotoLabel(const std::string &name, std::ostream *out, std::string &message,
                               const std::string &where)
{
    message.clear();
    FunctionContext *fn = current();
    if (!fn) {
        message = "cannot jump outside a block";
        return false;
    }
    const auto label = fn->labels.find(name);
    if (label != fn->labels.end()) {
        if (label->second.localCount != fn->localCount) {
            message = "cannot jump across variable declarations";
            return false;
        }
        write_goto(label->second.position, out);
        return true;
    }
    fn->gotos.push_back({name, position(out), fn->localCount, where});
    write_goto(0, out);
    return true;
}
