// Code of the switch statement. The case branches come first in source
// order and fall through into each other; the default branch is always
// written last, wherever it stood. The dispatch after them reaches a branch
// through a jump table when the case values lie close together and span
// few enough values, otherwise through a chain of compares.

#include "ast.h"
#include "ast_diagnostics.h"

#include <map>

using kolm_ast::error;
using kolm_ast::quoted;
using kolm_ast::warning;
using kolm_ast::whileCompiling;

namespace {

// The jump table's entry count is one byte.
constexpr uint64_t kMaxTableSpan = 255;

// Dense: neighbouring values at most two apart (one value missing between
// them) and the whole range fits one table. No case values at all is the
// table over 0 to 0.
bool packed(const std::map<uint32_t, size_t> &values)
{
    if (values.empty())
        return true;
    if (uint64_t(values.rbegin()->first) - values.begin()->first + 1 > kMaxTableSpan)
        return false;
    uint32_t previous = values.begin()->first;
    for (const auto &value : values) {
        if (value.first - previous > 2)
            return false;
        previous = value.first;
    }
    return true;
}

} // namespace

void KolmSwitchBranch::errorDuplicate() const
{
    if (caseValue)
        error(*this, "%s: duplicate case value %s\n", quoted(caseValue));
    else
        error(*this, "%s: multiple default labels in one switch\n");
}

namespace {

// Checks the case values in source order: constants, none twice, at most
// one default. Fills the value map and finds the default branch.
bool gatherCases(const KolmSwitchBlock &sw, KolmGenContext *ctx, std::map<uint32_t, size_t> &values,
                 KolmSwitchBranch *&defaultBranch)
{
    for (size_t i = 0; i < sw.branches.size(); ++i) {
        auto *branch = static_cast<KolmSwitchBranch *>(sw.branches[i]);
        if (!branch->caseValue) {
            if (defaultBranch) {
                branch->errorDuplicate();
                return error(sw, "%s: last one here\n");
            }
            defaultBranch = branch;
            continue;
        }
        const KolmExpression *value = branch->caseValue;
        const bool constant = dynamic_cast<const KolmInteger *>(value) ||
                              (dynamic_cast<const KolmConstantExpression *>(value) &&
                               value->isCompileTimeConstant(ctx));
        if (!constant)
            return error(sw, "%s: an integer constant is expected in here, but received %s\n",
                         quoted(value));
        if (!values.emplace(value->compileTimeValue(ctx), i).second) {
            branch->errorDuplicate();
            return error(sw, "%s: the second one here\n");
        }
    }
    return true;
}

} // namespace

bool KolmSwitchBlock::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!bodyValid)
        return error(*this, "%s: switch block is invalid and cannot be compiled\n");
    if (!ctx->currentFunction())
        return error(*this, "%s: a switch statement cannot appear here\n");
    if (!condition)
        return error(*this, "%s: a conditional expression is mandatory in a switch-case statement\n");
    if (!condition->compile(ctx, out))
        return whileCompiling(*this);
    if (branches.empty()) {
        warning(*this, "%s: skipping empty switch block (no branches)\n");
        return true;
    }
    std::map<uint32_t, size_t> values;
    KolmSwitchBranch *defaultBranch = nullptr;
    if (!gatherCases(*this, ctx, values, defaultBranch))
        return false;
    if (!defaultBranch)
        warning(*this, "%s: no default label in switch statement that does not cover the whole range or the values\n");

    if (!ctx->startSwitch(out))
        return error(*this, "%s: switch block cannot be declared here\n");
    for (size_t i = 0; i < branches.size(); ++i) {
        auto *branch = static_cast<KolmSwitchBranch *>(branches[i]);
        if (branch == defaultBranch)
            continue;
        if (!ctx->startSwitchBranch(branch->caseValue->compileTimeValue(ctx), out))
            return error(*this, "%s: case statement out of context\n");
        if (!branch->compile(ctx, out))
            return whileCompiling(*this);
    }
    bool defaultWritten = false;
    if (defaultBranch) {
        defaultWritten = ctx->startSwitchDefault(out) && defaultBranch->compile(ctx, out);
        if (defaultWritten)
            ctx->endSwitchDefault(out);
    } else {
        defaultWritten = ctx->makeSwitchDefault(out);
    }
    if (!defaultWritten) {
        error(*this, "%s: error compiling default branch of the switch block\n");
        return whileCompiling(*this);
    }

    std::string message;
    const bool dispatched =
        packed(values) ? ctx->compileSwitchTable(out, message) &&
                             ctx->compilePackedSwitchHead(values.empty() ? 0 : values.begin()->first,
                                                          values.empty() ? 0 : values.rbegin()->first, out, message)
                       : ctx->compileSparseSwitchTable(out, message);
    if (!dispatched)
        return error(*this, "%s: compiler internal error: %s\n", message);
    return ctx->endSwitch(out);
}
