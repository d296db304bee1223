// Code of the three loops. A loop opens a loop context in the generator,
// which knows where `break` leads (behind the loop) and where `continue`
// leads: the loop's start in a `while`, the condition in a `do`-`while`, the
// step in a `for`. The end of the body jumps back with loopRepeat.

#include "ast.h"
#include "ast_diagnostics.h"
#include "ast_statement_checks.h"

using kolm_ast::compileChild;
using kolm_ast::error;

namespace {

// The checks that every loop makes before it writes code.
bool loopAllowed(const KolmNode &loop, const KolmExpression *condition, KolmGenContext *ctx)
{
    if (!ctx->currentFunction())
        return error(loop, "%s: a loop statement cannot appear here\n");
    if (!condition)
        return error(loop, "%s: while loop is missing a conditional expression\n");
    return true;
}

bool startLoop(const KolmNode &loop, KolmGenContext *ctx, std::ostream *out)
{
    return ctx->startLoop(out) || error(loop, "%s: loop statement out of context\n");
}

// The condition's test: its code, then the jump out of the loop when it is 0.
bool exitUnless(KolmExpression *condition, const KolmNode &loop, KolmGenContext *ctx, std::ostream *out)
{
    ctx->startLoopCondition(out);
    if (!compileChild(condition, loop, ctx, out))
        return false;
    ctx->endLoopCondition(out);
    return true;
}

// The jump back to the loop's start and the end of the loop context.
bool repeatAndEnd(const KolmNode &loop, KolmGenContext *ctx, std::ostream *out)
{
    std::string message;
    if (!ctx->loopRepeat(out, message))
        return error(loop, "%s: %s\n", message);
    return ctx->endLoop(out) || error(loop, "%s: stack corruption (internal error)\n");
}

} // namespace

bool KolmWhileLoop::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!loopAllowed(*this, condition, ctx))
        return false;
    // A body that never runs goes, unless it declares a label; then the
    // loop is compiled with its test.
    const bool folded = ctx->optimizeLevel != 0 && condition->isCompileTimeConstant(ctx) &&
                        (condition->compileTimeValue(ctx) != 0 || !kolm_ast::declaresLabel(body));
    if (folded && condition->compileTimeValue(ctx) == 0)
        return true;
    if (!startLoop(*this, ctx, out))
        return false;
    if (!folded && !exitUnless(condition, *this, ctx, out))
        return false;
    return compileChild(body, *this, ctx, out) && repeatAndEnd(*this, ctx, out);
}

// A constant false condition runs the body once; the loop context stays, so
// `break` and `continue` inside still leave it.
bool KolmDoWhileLoop::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!loopAllowed(*this, condition, ctx))
        return false;
    const bool folded = ctx->optimizeLevel != 0 && condition->isCompileTimeConstant(ctx);
    if (!startLoop(*this, ctx, out) || !compileChild(body, *this, ctx, out))
        return false;
    ctx->setLoopContinue(out);
    if (folded && condition->compileTimeValue(ctx) == 0)
        return ctx->endLoop(out) || error(*this, "%s: stack corruption (internal error)\n");
    if (!folded && !exitUnless(condition, *this, ctx, out))
        return false;
    return repeatAndEnd(*this, ctx, out);
}

// The loop's declarations live in a block of their own, dropped where the
// loop ends. A present condition is always tested, a constant one too; a
// missing one makes an endless loop. Empty parts are no empty statements.
bool KolmForLoop::compile(KolmGenContext *ctx, std::ostream *out)
{
    if (!ctx->currentFunction())
        return error(*this, "%s: a loop statement cannot appear here\n");
    ctx->startBlock();
    const auto *plain = dynamic_cast<const KolmExpressionStatement *>(initialisation);
    KolmStatement *start = plain && !plain->expression ? nullptr : initialisation;
    if (!compileChild(start, *this, ctx, out) || !ctx->startLoop(out))
        return false;
    if (condition && !exitUnless(condition, *this, ctx, out))
        return false;
    if (!compileChild(body, *this, ctx, out))
        return false;
    ctx->setLoopContinue(out);
    if (!compileChild(step, *this, ctx, out) || !repeatAndEnd(*this, ctx, out))
        return false;
    return ctx->endBlock(out);
}
