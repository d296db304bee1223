// Code of assignments: to a variable, a peripheral register, an array
// element or the place a pointer holds. The assignment's value, left in
// r0, is the value stored.

#include "ast.h"
#include "ast_diagnostics.h"

using kolm_ast::error;
using kolm_ast::whileCompiling;
using namespace kolm_isa;

int8_t KolmAssignmentExpression::opCode(bool *ok) const
{
    *ok = true;
    switch (op) {
    case kolm::Token::AssAdd: return OP_add;
    case kolm::Token::AssSub: return OP_sub;
    case kolm::Token::AssMult: return OP_mul;
    case kolm::Token::AssDiv: return OP_div;
    case kolm::Token::AssShl: return OP_shl;
    case kolm::Token::AssShr: return OP_shr;
    case kolm::Token::AssOr: return OP_bor;
    case kolm::Token::AssAnd: return OP_and;
    case kolm::Token::AssXor: return OP_flip;
    case kolm::Token::AssMod: return OP_rem;
    case kolm::Token::Equals: return int8_t(OP_cpy);
    default:
        *ok = false;
        error(*this, "%s: unknown math operator %d\n", op);
        return -1;
    }
}

namespace {

// (x) = v assigns to x.
KolmExpression *unparenthesised(KolmExpression *target)
{
    auto *list = dynamic_cast<KolmCompoundExpression *>(target);
    while (list && list->expressions.size() == 1) {
        target = list->expressions.front();
        list = dynamic_cast<KolmCompoundExpression *>(target);
    }
    return target;
}

// The operand of *X, when the target is one.
KolmExpression *dereferenced(KolmExpression *target)
{
    auto *unary = dynamic_cast<KolmUnaryOp *>(target);
    return unary && unary->op == kolm::Token::MathMult ? unary->operand : nullptr;
}

bool compileToVariable(KolmAssignmentExpression &node, KolmIdentifier &name, uint8_t opcode, KolmGenContext *ctx,
                       std::ostream *out)
{
    if (!ctx->variableDeclared(name.name))
        return error(node, "%s: implicit declaration of %s\n", name.name);
    if (opcode == OP_cpy) {
        if (!ctx->assignVariable(name.name, REG_EAX, out))
            return error(node, "%s: expression is not assignable\n");
        return true;
    }
    std::string message;
    if (!ctx->variableMath(name.name, opcode, REG_EAX, out, message) || !ctx->pullVariable(name.name, out, message)) {
        error(node, "%s: %s\n", message);
        return whileCompiling(node);
    }
    return true;
}

// A compound assignment reads the register and writes it back.
bool checkRegisterAccess(const KolmAssignmentExpression &node, const KolmPeriphRegister &reg, KolmGenContext *ctx)
{
    const uint32_t access = ctx->peripheryAccess(reg.peripheral, reg.reg);
    if (reg.address(ctx) == 0)
        return error(node, "%s: unknown periphery %s or no register %s inside this periphery\n", reg.peripheral,
                     reg.reg);
    if (!(access & KOLM_ACCESS_GET))
        return error(node, "%s: Peripheral register %s.%s is a data register or write-only\n", reg.peripheral,
                     reg.reg);
    if (!(access & KOLM_ACCESS_SET))
        return error(node, "%s: Peripheral register %s.%s is read-only\n", reg.peripheral, reg.reg);
    return true;
}

// The target's address into r0: an array element's, a register's, or the
// value of the pointer that *X names.
bool compileTargetAddress(KolmExpression *target, KolmGenContext *ctx, std::ostream *out)
{
    if (auto *element = dynamic_cast<KolmArrayElement *>(target))
        return element->compile_int(ctx, out, KolmArrayElement::Address);
    if (auto *reg = dynamic_cast<KolmPeriphRegister *>(target)) {
        reg->accessMode = KolmPeriphRegister::Address;
        return reg->compile(ctx, out);
    }
    return dereferenced(target)->compile(ctx, out);
}

// Stores the value in r0 through an address.
bool compileThroughAddress(KolmAssignmentExpression &node, KolmExpression *target, uint8_t opcode,
                           KolmGenContext *ctx, std::ostream *out)
{
    uint8_t value = 0;
    if (!ctx->aquireRegisterAndCopy(&value, REG_EAX, out))
        return kolm_ast::poolExhausted(node);
    if (!compileTargetAddress(target, ctx, out))
        return whileCompiling(node);
    std::string message;
    if (opcode == OP_cpy) {
        ctx->pointerMath(REG_EAX, value, opcode, out, message);
        ctx->write_cpy(REG_EAX, value, out);
    } else {
        // With the address in a register of its own the new value is
        // computed in r0.
        uint8_t address = 0;
        if (!ctx->aquireRegisterAndCopy(&address, REG_EAX, out))
            return kolm_ast::poolExhausted(node);
        if (!ctx->pointerMath(address, value, opcode, out, message)) {
            error(node, "%s: %s\n", message);
            return whileCompiling(node);
        }
        ctx->releaseRegister(address, out);
    }
    ctx->releaseRegister(value, out);
    return true;
}

} // namespace

bool KolmAssignmentExpression::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!target || !value)
        return error(*this,
                     "%s: assignment expression requires a left-hand expression and a right-hand expression\n");
    bool ok = false;
    const uint8_t opcode = uint8_t(opCode(&ok));
    if (!ok)
        return false;
    KolmExpression *destination = unparenthesised(target);
    auto *name = dynamic_cast<KolmIdentifier *>(destination);
    auto *reg = dynamic_cast<KolmPeriphRegister *>(destination);
    if (!name && !reg && !dynamic_cast<KolmArrayElement *>(destination) && !dereferenced(destination))
        return error(*this, "%s: expression is not assignable\n");
    if (reg && opcode != OP_cpy && !checkRegisterAccess(*this, *reg, ctx))
        return false;
    if (!value->compile(ctx, out))
        return whileCompiling(*this);
    if (name)
        return compileToVariable(*this, *name, opcode, ctx, out);
    if (reg && opcode == OP_cpy) {
        reg->accessMode = KolmPeriphRegister::Store;
        return reg->compileAsm(ctx, out);
    }
    return compileThroughAddress(*this, destination, opcode, ctx, out);
}
