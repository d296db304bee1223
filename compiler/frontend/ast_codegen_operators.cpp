// Code of the operators: ternary, comparisons and "in", arithmetic and
// bitwise operators, unary and postfix operators. Every expression leaves
// its value in r0; a value that must survive another operand's code waits
// in a register of the generator's pool.

#include "ast.h"
#include "ast_diagnostics.h"
#include "kolm_gen_stream.h"

using kolm_ast::error;
using kolm_ast::quoted;
using kolm_ast::whileCompiling;
using kolm_gen::position;
using namespace kolm_isa;

bool KolmTernaryExpression::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!condition || !ifTrue || !ifFalse)
        return error(*this, "%s: ternary operator expects a condition and two expressions\n");
    if (kolm_ast::emitFolded(*this, ctx, out))
        return true;
    if (!condition->compile(ctx, out))
        return whileCompiling(*this);
    const uint32_t branch = position(out);
    ctx->write_jmp(0, 0, out);
    const uint32_t thenStart = position(out);
    if (!ifTrue->compile(ctx, out))
        return whileCompiling(*this);
    const uint32_t thenExit = position(out);
    ctx->write_goto(0, out);
    const uint32_t elseStart = position(out);
    if (!ifFalse->compile(ctx, out))
        return whileCompiling(*this);
    const uint32_t elseExit = position(out);
    ctx->write_goto(0, out);
    const uint32_t end = position(out);
    out->seekp(branch);
    ctx->write_jmp(thenStart, elseStart, out);
    out->seekp(thenExit);
    ctx->write_goto(end, out);
    out->seekp(elseExit);
    ctx->write_goto(end, out);
    out->seekp(end);
    return true;
}

namespace {

// An operand whose value is known without code: a valid integer, or at a
// non-zero optimisation level any constant.
bool knownValue(const KolmExpression *operand, KolmGenContext *ctx, uint32_t *value)
{
    if (const auto *integer = dynamic_cast<const KolmInteger *>(operand)) {
        *value = integer->value;
        return integer->valid;
    }
    if (ctx->optimizeLevel == 0 || !operand->isCompileTimeConstant(ctx))
        return false;
    *value = operand->compileTimeValue(ctx);
    return true;
}

} // namespace

// `>` and `>=` compare with the operands swapped; the node itself keeps its
// operator, so compiling it again gives the same code.
bool KolmComparisonExpression::do_compare(unsigned char first, unsigned char second, KolmGenContext *ctx,
                                          std::ostream *out) const
{
    switch (op) {
    case kolm::Token::CondEq: ctx->write_cmp(OP_cmp, first, second, out); return true;
    case kolm::Token::CondNeq:
        ctx->write_cmp(OP_cmp, first, second, out);
        ctx->write_not(OP_bnt, REG_EAX, out);
        return true;
    case kolm::Token::CondLess: ctx->write_cmp(OP_less, first, second, out); return true;
    case kolm::Token::CondLessEq: ctx->write_cmp(OP_leq, first, second, out); return true;
    case kolm::Token::CondGreat: ctx->write_cmp(OP_less, second, first, out); return true;
    case kolm::Token::CondGreatEq: ctx->write_cmp(OP_leq, second, first, out); return true;
    case kolm::Token::CondOr: ctx->write_cmp(OP_lor, first, second, out); return true;
    case kolm::Token::CondAnd: ctx->write_cmp(OP_land, first, second, out); return true;
    default: return error(*this, "%s: invalid comparison operator (code %d)\n", op);
    }
}

namespace {

// value in array: a call of the builtin contains. A literal is found only as
// a whole text: the length compared includes its terminating zero.
bool compileIn(const KolmComparisonExpression &node, KolmGenContext *ctx, std::ostream *out)
{
    auto *array = dynamic_cast<KolmIdentifier *>(node.right);
    if (!array)
        return error(node, "%s: \"in\" comparison expects static array as a right-hand expression\n");
    if (!ctx->staticArray(array->name))
        return error(node, "%s: static array %s undeclared\n", array->name);
    const bool numbers = ctx->staticArrayIsNumbers(array->name);
    auto *arguments = new KolmExpressionList{node.right, node.left};
    if (const auto *literal = dynamic_cast<const KolmLiteral *>(node.left)) {
        if (numbers) {
            delete arguments;
            return error(node, "%s: an array of string literals is expected here\n");
        }
        auto *length = new KolmInteger(nullptr);
        kolm_ast::copyLocation(*length, node);
        length->value = literal->text.size() < 2 ? 1 : uint32_t(literal->text.size() - 1);
        length->valid = true;
        arguments->push_back(length);
    } else if (dynamic_cast<const KolmIdentifier *>(node.left) && !numbers) {
        delete arguments;
        return error(node, "%s: an array of integers is expected here\n");
    }
    KolmFunctionCall call(new KolmIdentifier("contains", nullptr), arguments, nullptr);
    kolm_ast::copyLocation(call, node);
    kolm_ast::copyLocation(*call.callee, node);
    const bool result = call.compile(ctx, out);
    (*arguments)[0] = (*arguments)[1] = nullptr; // the operands stay with the comparison
    return result;
}

} // namespace

bool KolmComparisonExpression::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!left || !right)
        return error(*this, "%s: comparison operator expects two expressions\n");
    if (kolm_ast::emitFolded(*this, ctx, out))
        return true;
    if (op == kolm::Token::CondIn)
        return compileIn(*this, ctx, out);
    uint8_t held = 0;
    bool leftHeld = false;
    uint32_t value = 0;
    if (knownValue(left, ctx, &value)) {
        if (!ctx->aquireRegister(&held, out))
            return kolm_ast::poolExhausted(*this);
        ctx->write_sto(held, value, out);
        leftHeld = true;
    } else if (!left->compile(ctx, out)) {
        return whileCompiling(*this);
    }
    bool result = false;
    if (knownValue(right, ctx, &value)) {
        if (leftHeld) {
            ctx->write_sto(REG_EAX, value, out);
            result = do_compare(held, REG_EAX, ctx, out);
        } else {
            if (!ctx->aquireRegister(&held, out))
                return kolm_ast::poolExhausted(*this);
            ctx->write_sto(held, value, out);
            result = do_compare(REG_EAX, held, ctx, out);
        }
    } else {
        if (!leftHeld && !ctx->aquireRegisterAndCopy(&held, REG_EAX, out))
            return kolm_ast::poolExhausted(*this);
        if (!right->compile(ctx, out))
            return whileCompiling(*this);
        result = do_compare(held, REG_EAX, ctx, out);
    }
    ctx->releaseRegister(held, out);
    return result || whileCompiling(*this);
}

namespace {

// The math opcode (r0 := first op second) of a binary operator; 0 for none.
uint8_t binaryOpcode(int op)
{
    switch (op) {
    case kolm::Token::MathPlus: return OP_sum;
    case kolm::Token::MathMinus: return OP_diff;
    case kolm::Token::MathMult: return OP_prod;
    case kolm::Token::MathDiv: return OP_frac;
    case kolm::Token::MathMod: return OP_mod;
    case kolm::Token::MathShl: return OP_bwl;
    case kolm::Token::MathShr: return OP_bwr;
    case kolm::Token::MathOr: return OP_cat;
    case kolm::Token::MathAnd: return OP_mask;
    case kolm::Token::MathXor: return OP_xor;
    default: return 0;
    }
}

} // namespace

bool KolmBinaryOp::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!left || !right)
        return error(*this, "%s: binary operator expects two expressions\n");
    const uint8_t opcode = binaryOpcode(op);
    if (!opcode)
        return error(*this, "%s: invalid binary operator (code %d)\n", op);
    if (kolm_ast::emitFolded(*this, ctx, out))
        return true;
    if ((op == kolm::Token::MathDiv || op == kolm::Token::MathMod) && right->isCompileTimeConstant(ctx) &&
        right->compileTimeValue(ctx) == 0)
        kolm_ast::warning(*this, "%s: division by zero\n");
    if (!left->compile(ctx, out))
        return whileCompiling(*this);
    uint8_t held = 0;
    if (!ctx->aquireRegisterAndCopy(&held, REG_EAX, out))
        return kolm_ast::poolExhausted(*this);
    if (!right->compile(ctx, out))
        return whileCompiling(*this);
    ctx->write_math(opcode, held, REG_EAX, out);
    ctx->releaseRegister(held, out);
    return true;
}

bool KolmUnaryOp::addressOfVariable(KolmIdentifier *identifier, KolmGenContext *ctx, std::ostream *out)
{
    const std::string &name = identifier->name;
    if (ctx->functionDeclared(name)) {
        if (!ctx->pullFunctionAddress(name, out))
            return error(*this, "%s: cannot take address of forward-declared function %s\n", name);
        return true;
    }
    switch (identifier->identifierClass) {
    case KolmIdentifier::Periphery:
        return kolm_ast::compileNamedRegister(*identifier, KolmPeriphRegister::Address, ctx, out);
    case KolmIdentifier::Integer:
    case KolmIdentifier::Literal:
        return error(*this, "%s: an identifier of type <%s> cannot be used here\n", identifier->className());
    default: {
        std::string message;
        if (!ctx->pullVariableAddress(name, identifier->identifierClass == KolmIdentifier::Array, out, message,
                                      REG_EAX))
            return error(*this, "%s: Cannot take address of %s: %s\n", name, message);
        return true;
    }
    }
}

bool KolmUnaryOp::valueOf(KolmIdentifier *identifier, KolmGenContext *ctx, std::ostream *out)
{
    const std::string &name = identifier->name;
    if (identifier->identifierClass == KolmIdentifier::Periphery)
        return kolm_ast::compileNamedRegister(*identifier, KolmPeriphRegister::Load, ctx, out);
    if (!ctx->variableDeclared(name))
        return error(*this, "%s: invalid type argument of unary \u2018*\u2019 (have %s)\n", quoted(identifier));
    std::string message;
    if (!ctx->variableDereference(name, out, message))
        return error(*this, "%s: %s\n", message);
    return true;
}

namespace {

// ++x and --x: x += 1 and x -= 1, whose value is the new one.
bool compileStep(KolmUnaryOp &node, KolmGenContext *ctx, std::ostream *out)
{
    auto *one = new KolmInteger(nullptr);
    kolm_ast::copyLocation(*one, node);
    one->setValue("1", 10);
    if (auto *reg = dynamic_cast<KolmPeriphRegister *>(node.operand))
        reg->accessMode = KolmPeriphRegister::Store;
    KolmAssignmentExpression step(node.op == kolm::Token::MathUnoAdd ? kolm::Token::AssAdd : kolm::Token::AssSub,
                                  node.operand, one, nullptr);
    kolm_ast::copyLocation(step, node);
    const bool result = step.compile(ctx, out);
    step.target = nullptr; // the operand stays with the unary operator
    return result;
}

bool compileAddressOf(KolmUnaryOp &node, KolmGenContext *ctx, std::ostream *out)
{
    if (auto *identifier = dynamic_cast<KolmIdentifier *>(node.operand))
        return node.addressOfVariable(identifier, ctx, out);
    if (auto *element = dynamic_cast<KolmArrayElement *>(node.operand))
        return element->address(ctx, out);
    if (auto *reg = dynamic_cast<KolmPeriphRegister *>(node.operand)) {
        reg->accessMode = KolmPeriphRegister::Address;
        return reg->compileAsm(ctx, out);
    }
    return error(node, "%s: cannot take address of %s\n", quoted(node.operand));
}

bool compileDereference(KolmUnaryOp &node, KolmGenContext *ctx, std::ostream *out)
{
    if (auto *integer = dynamic_cast<KolmInteger *>(node.operand)) {
        if (!integer->valid)
            return integer->compile(ctx, out);
        ctx->write_mem_read_u_i(REG_EAX, integer->value, out);
        return true;
    }
    if (dynamic_cast<KolmPeriphRegister *>(node.operand))
        return error(node, "%s: cannot dereference a peripheral register - extra '*'?\n");
    if (auto *identifier = dynamic_cast<KolmIdentifier *>(node.operand)) {
        if (ctx->optimizeLevel != 0 && identifier->isCompileTimeConstant(ctx)) {
            ctx->write_mem_read_u_i(REG_EAX, identifier->compileTimeValue(ctx), out);
            return true;
        }
        return node.valueOf(identifier, ctx, out);
    }
    if (!node.operand->compile(ctx, out))
        return whileCompiling(node);
    ctx->write_mem_read_u_r(REG_EAX, REG_EAX, out);
    return true;
}

// !x, ~x and +x: the operand, then the operation on r0.
bool compileOnValue(KolmUnaryOp &node, uint8_t opcode, KolmGenContext *ctx, std::ostream *out)
{
    if (!node.operand->compile(ctx, out))
        return whileCompiling(node);
    if (opcode)
        ctx->write_not(opcode, REG_EAX, out);
    return true;
}

} // namespace

bool KolmUnaryOp::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!operand)
        return error(*this, "%s: no expression for unary operator\n");
    if (kolm_ast::emitFolded(*this, ctx, out))
        return true;
    switch (op) {
    case kolm::Token::MathUnoAdd:
    case kolm::Token::MathUnoSub: return compileStep(*this, ctx, out);
    case kolm::Token::MathAnd: return compileAddressOf(*this, ctx, out);
    case kolm::Token::MathMult: return compileDereference(*this, ctx, out);
    case kolm::Token::BoolNot: return compileOnValue(*this, OP_bnt, ctx, out);
    case kolm::Token::MathNot: return compileOnValue(*this, OP_not, ctx, out);
    case kolm::Token::MathPlus: return compileOnValue(*this, 0, ctx, out);
    case kolm::Token::MathMinus: return error(*this, "%s: negative integers are not supported\n");
    default: return error(*this, "%s: invalid unary operator (code %d)\n", op);
    }
}

namespace {

// After the stepped value in `held` was stored back (a store leaves the
// stored value in r0): undoes the step and yields the old value in r0.
void yieldOldValue(const KolmPostfixOp &node, uint8_t held, KolmGenContext *ctx, std::ostream *out)
{
    ctx->write_math_val(node.op == kolm::Token::MathUnoAdd ? OP_subv : OP_addv, held, 1, out);
    ctx->write_cpy(REG_EAX, held, out);
}

// element++: the element's address is computed once and kept in a register
// while the old value is read and the new one written.
bool compileElementStep(KolmPostfixOp &node, KolmArrayElement &element, KolmGenContext *ctx, std::ostream *out)
{
    if (!element.compile_int(ctx, out, KolmArrayElement::Address))
        return whileCompiling(node);
    uint8_t address = 0, value = 0;
    if (!ctx->aquireRegisterAndCopy(&address, REG_EAX, out) || !ctx->aquireRegister(&value, out))
        return kolm_ast::poolExhausted(node);
    ctx->write_mem_read_u_r(REG_EAX, address, out);
    ctx->write_cpy(value, REG_EAX, out);
    ctx->write_math_val(node.op == kolm::Token::MathUnoAdd ? OP_addv : OP_subv, value, 1, out);
    ctx->write_mem_write_u_r(address, value, out);
    yieldOldValue(node, value, ctx, out);
    ctx->releaseRegister(value, out);
    ctx->releaseRegister(address, out);
    return true;
}

} // namespace

bool KolmPostfixOp::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!operand)
        return error(*this, "%s: no expression for postfix operator\n");
    if (op != kolm::Token::MathUnoAdd && op != kolm::Token::MathUnoSub)
        return error(*this, "%s: invalid postfix operator (code %d)\n", op);
    if (auto *element = dynamic_cast<KolmArrayElement *>(operand))
        return compileElementStep(*this, *element, ctx, out);
    auto *identifier = dynamic_cast<KolmIdentifier *>(operand);
    auto *reg = dynamic_cast<KolmPeriphRegister *>(operand);
    if (!identifier && !reg)
        return error(*this, "%s: %s cannot be part of a postfix expression\n", quoted(operand));
    if (!operand->compile(ctx, out))
        return whileCompiling(*this);
    uint8_t held = 0;
    if (!ctx->aquireRegister(&held, out))
        return kolm_ast::poolExhausted(*this);
    const bool up = op == kolm::Token::MathUnoAdd;
    ctx->write_cpy(held, REG_EAX, out);
    ctx->write_math_val(up ? OP_addv : OP_subv, held, 1, out);
    if (identifier) {
        if (!ctx->assignVariable(identifier->name, held, out))
            return error(*this, "%s: %s cannot be part of a postfix expression\n", quoted(operand));
    } else {
        if (!(ctx->peripheryAccess(reg->peripheral, reg->reg) & KOLM_ACCESS_SET))
            return error(*this, "%s: Peripheral register %s.%s is read-only\n", reg->peripheral, reg->reg);
        ctx->write_mem_write_u_p(held, reg->address(ctx), out);
    }
    yieldOldValue(*this, held, ctx, out);
    ctx->releaseRegister(held, out);
    return true;
}
