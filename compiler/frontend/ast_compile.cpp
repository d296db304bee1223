// The compile-pass pieces that belong to the tree itself: statement lists,
// switch branches, defines, and the nodes that are only ever compiled
// through their own compile (their compileAsm is never reached).

#include "ast.h"
#include "ast_diagnostics.h"
#include "console_printer.h"

using kolm_ast::whileCompiling;

// A statement list also fails when one of its statements reported an error
// and still went on: no error lets a build succeed.
bool KolmBlock::compile(KolmGenContext *ctx, std::ostream *out)
{
    const unsigned errors = console_error_count();
    for (KolmStatement *statement : statements)
        if (statement && !statement->compile(ctx, out))
            return whileCompiling(*this);
    return console_error_count() == errors;
}

bool KolmSwitchBranch::compile(KolmGenContext *ctx, std::ostream *out)
{
    return statements ? statements->compile(ctx, out) : true;
}

bool KolmLiteral::compile(KolmGenContext *, std::ostream *)
{
    console_output("kcc", "error", CONSOLE_RED, "%s: a string literal is not allowed here\n", location().c_str());
    return false;
}

bool KolmDefine::compile(KolmGenContext *, std::ostream *)
{
    return true;
}

bool KolmUndefine::compile(KolmGenContext *, std::ostream *)
{
    return true;
}

void KolmConstantExpression::nullExpression() const
{
    console_output("kcc", "error", CONSOLE_RED, "%s: internal error - an expression is expected\n",
                   location().c_str());
}

void KolmBaseDeclaration::unused() const
{
    console_output("kcc", "warning", CONSOLE_YELLOW, "%s: unused variable %s\n", location().c_str(),
                   kolm_ast::quoted(this).c_str());
}

// Nodes compiled through their own compile.
bool KolmConstantExpression::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmCompoundExpression::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmExpressionStatement::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmLabelIdentifier::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmLabelStatement::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmLiteral::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmBlock::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmCompoundBlock::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmStaticArray::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmForLoopDeclarations::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmSwitchBranch::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmForLoop::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmInclude::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmDefine::compileAsm(KolmGenContext *, std::ostream *) { return false; }
bool KolmUndefine::compileAsm(KolmGenContext *, std::ostream *) { return false; }
