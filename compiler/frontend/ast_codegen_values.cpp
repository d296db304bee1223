// Code of the operands: integers, identifiers, peripheral registers, sizeof,
// and the constant and comma expressions. Every expression leaves its value
// in r0.

#include "ast.h"
#include "ast_diagnostics.h"

using kolm_ast::error;
using kolm_ast::quoted;
using namespace kolm_isa;

bool KolmInteger::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!valid)
        return error(*this, "%s: invalid integer constant\n");
    ctx->write_sto(REG_EAX, value, out);
    return true;
}

bool KolmStaticSizeof::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    ctx->write_sto(REG_EAX, compileTimeValue(ctx), out);
    return true;
}

bool KolmPeriphRegister::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    const uint32_t at = address(ctx);
    if (at == 0)
        return error(*this, "%s: unknown periphery %s or no register %s inside this periphery\n", peripheral, reg);
    const uint32_t access = ctx->peripheryAccess(peripheral, reg);
    switch (accessMode) {
    case Load:
    case CallArgument:
        if (!(access & KOLM_ACCESS_GET))
            return error(*this, "%s: Peripheral register %s.%s is a data register or write-only\n", peripheral,
                         reg);
        ctx->write_mem_read_u_i(REG_EAX, at, out);
        return true;
    case Store:
        if (!(access & KOLM_ACCESS_SET))
            return error(*this, "%s: Peripheral register %s.%s is read-only\n", peripheral, reg);
        ctx->write_mem_write_u_p(REG_EAX, at, out);
        return true;
    case Address:
        ctx->write_sto(REG_EAX, at, out);
        return true;
    default:
        return error(*this, "%s: periphery register cannot be used here\n");
    }
}

bool kolm_ast::compileNamedRegister(const KolmIdentifier &identifier, int accessMode, KolmGenContext *ctx,
                                    std::ostream *out)
{
    const std::string &name = identifier.name;
    const size_t dot = name.find('.');
    KolmPeriphRegister reg(name.substr(0, dot), dot == std::string::npos ? name : name.substr(dot + 1), nullptr);
    copyLocation(reg, identifier);
    reg.accessMode = accessMode;
    return reg.compileAsm(ctx, out);
}

bool KolmIdentifier::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (isKeyword())
        return error(*this, "%s: %s is a reserved name (keyword) and cannot be used as an identifier\n", name);
    if (isInternalFunction())
        return error(*this, "%s: %s is a reserved name (internal function) and cannot be used as an identifier\n",
                     name);
    switch (identifierClass) {
    case Plain:
    case Array: {
        if (ctx->functionDeclared(name)) {
            if (!ctx->pullFunctionAddress(name, out))
                return error(*this, "%s: cannot take address of forward-declared function %s\n", name);
            return true;
        }
        std::string message;
        if (!ctx->pullVariable(name, out, message))
            return error(*this, "%s: %s\n", message);
        return true;
    }
    case Integer:
        ctx->write_sto(REG_EAX, value, out);
        return true;
    case Literal: {
        KolmLiteral literal(nullptr);
        kolm_ast::copyLocation(literal, *this);
        literal.setLiteral(name);
        return literal.compile(ctx, out);
    }
    case Periphery:
        kolm_ast::warning(*this, "%s: implicit peripheral register value aquisition\n");
        return kolm_ast::compileNamedRegister(*this, KolmPeriphRegister::Load, ctx, out);
    default:
        return true;
    }
}

// The size is known while compiling (folding gives it and reports an
// undeclared name or a list of more than one name), so the code is the same
// at every optimisation level.
bool KolmSizeof::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!argument)
        return error(*this, "%s: sizeof needs an expression\n");
    const auto *list = dynamic_cast<KolmCompoundExpression *>(argument);
    const bool oneName = list ? list->expressions.size() == 1 && dynamic_cast<KolmIdentifier *>(list->expressions[0])
                              : dynamic_cast<KolmIdentifier *>(argument) != nullptr;
    const unsigned errors = console_error_count();
    const uint32_t size = compileTimeValue(ctx);
    if (!oneName && !dynamic_cast<KolmLiteral *>(argument))
        return error(*this, "%s: cannot take size of %s, an identifier expected\n", quoted(argument));
    if (console_error_count() != errors)
        return false;
    ctx->write_sto(REG_EAX, size, out);
    return true;
}

bool KolmConstantExpression::compile(KolmGenContext *ctx, std::ostream *out)
{
    if (!expression) {
        nullExpression();
        return error(*this, "%s: required here\n");
    }
    if (kolm_ast::emitFolded(*this, ctx, out))
        return true;
    if (dynamic_cast<KolmInteger *>(expression) || dynamic_cast<KolmSizeof *>(expression) ||
        dynamic_cast<KolmLiteral *>(expression))
        return expression->compile(ctx, out);
    return error(*this, "%s: %s is not a compile time constant or cannot be used here as such\n",
                 quoted(expression));
}

bool KolmCompoundExpression::compile(KolmGenContext *ctx, std::ostream *out)
{
    for (KolmExpression *expression : expressions)
        if (expression && !expression->compile(ctx, out))
            return kolm_ast::whileCompiling(*this);
    return true;
}
