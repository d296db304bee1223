// Constant folding: whether an expression's value is known at compile time,
// and that value. One walk answers both questions, so folding an expression
// visits each of its nodes at most once. Values are unsigned 32-bit and
// wrap; truth values are 0 or 1.

#include "ast.h"
#include "ast_diagnostics.h"

using kolm_ast::error;
using kolm_ast::quoted;

namespace {

struct Folded {
    bool constant;
    uint32_t value;
};

const Folded kNotConstant{false, 0};

// With report set, sizeof prints its diagnostics (a value was asked for).
Folded fold(const KolmNode *node, KolmGenContext *ctx, bool report);

uint32_t binaryValue(int op, uint32_t a, uint32_t b)
{
    switch (op) {
    case kolm::Token::MathPlus: return a + b;
    case kolm::Token::MathMinus: return a - b;
    case kolm::Token::MathMult: return a * b;
    case kolm::Token::MathDiv: return b ? a / b : 0;
    case kolm::Token::MathMod: return b ? a % b : 0;
    case kolm::Token::MathAnd: return a & b;
    case kolm::Token::MathOr: return a | b;
    case kolm::Token::MathXor: return a ^ b;
    case kolm::Token::MathShl: return a << (b % 32);
    case kolm::Token::MathShr: return a >> (b % 32);
    default: return 0;
    }
}

uint32_t comparisonValue(int op, uint32_t a, uint32_t b)
{
    switch (op) {
    case kolm::Token::CondEq: return a == b;
    case kolm::Token::CondNeq: return a != b;
    case kolm::Token::CondLess: return a < b;
    case kolm::Token::CondLessEq: return a <= b;
    case kolm::Token::CondGreat: return a > b;
    case kolm::Token::CondGreatEq: return a >= b;
    case kolm::Token::CondOr: return a != 0 || b != 0;
    case kolm::Token::CondAnd: return a != 0 && b != 0;
    default: return 0;
    }
}

Folded foldBinary(const KolmBinaryOp &node, KolmGenContext *ctx, bool report)
{
    if (!node.left || !node.right)
        return kNotConstant;
    const Folded a = fold(node.left, ctx, report);
    const Folded b = fold(node.right, ctx, report);
    // A division by a constant 0 has no value: it is left to the machine,
    // which faults at run time.
    const bool byZero = b.value == 0 && (node.op == kolm::Token::MathDiv || node.op == kolm::Token::MathMod);
    return {a.constant && b.constant && !byZero, binaryValue(node.op, a.value, b.value)};
}

// value in array: a number in a number array or a literal in a string array,
// whole texts compared.
Folded foldIn(const KolmComparisonExpression &node, KolmGenContext *ctx, bool report)
{
    const auto *array = dynamic_cast<const KolmIdentifier *>(node.right);
    if (!node.left || !array || !ctx->staticArray(array->name))
        return kNotConstant;
    const bool numbers = ctx->staticArrayIsNumbers(array->name);
    if (const auto *literal = dynamic_cast<const KolmLiteral *>(node.left))
        return {!numbers, ctx->staticArrayContains(array->name, literal->text)};
    const Folded left = fold(node.left, ctx, report);
    return {left.constant && numbers, ctx->staticArrayContains(array->name, left.value)};
}

Folded foldComparison(const KolmComparisonExpression &node, KolmGenContext *ctx, bool report)
{
    if (!node.left || !node.right)
        return kNotConstant;
    if (node.op == kolm::Token::CondIn)
        return foldIn(node, ctx, report);
    const Folded a = fold(node.left, ctx, report);
    const Folded b = fold(node.right, ctx, report);
    return {a.constant && b.constant, comparisonValue(node.op, a.value, b.value)};
}

// The address of a peripheral register named PERIPHERAL.REGISTER.
uint32_t registerAddress(const std::string &name, KolmGenContext *ctx)
{
    const size_t dot = name.find('.');
    if (dot == std::string::npos)
        return 0;
    return ctx->peripheryAddress(name.substr(0, dot), name.substr(dot + 1));
}

// Whether a name means a global variable where the code stands: a global
// of that name that no local of the current function hides.
bool isVisibleGlobal(const std::string &name, KolmGenContext *ctx)
{
    const KolmGenContext::FunctionContext *fn = ctx->currentFunction();
    return ctx->globalAddress(name) != 0 && !(fn && fn->locals.count(name));
}

// &operand: the address of a peripheral register or a global variable.
// An unknown register is no constant: its code reports it.
Folded foldAddressOf(const KolmExpression *operand, KolmGenContext *ctx)
{
    if (const auto *reg = dynamic_cast<const KolmPeriphRegister *>(operand)) {
        const uint32_t address = reg->address(ctx);
        return {address != 0, address};
    }
    const auto *identifier = dynamic_cast<const KolmIdentifier *>(operand);
    if (!identifier)
        return kNotConstant;
    if (identifier->identifierClass == KolmIdentifier::Periphery) {
        const uint32_t address = registerAddress(identifier->name, ctx);
        return {address != 0, address};
    }
    if (identifier->identifierClass == KolmIdentifier::Plain && isVisibleGlobal(identifier->name, ctx))
        return {true, ctx->globalAddress(identifier->name)};
    return kNotConstant;
}

// Unary minus and the dereference are never constant: negative numbers do
// not exist, and memory is read at run time. Neither are the increments,
// which need something to store into.
Folded foldUnary(const KolmUnaryOp &node, KolmGenContext *ctx, bool report)
{
    if (!node.operand)
        return kNotConstant;
    if (node.op == kolm::Token::MathAnd)
        return foldAddressOf(node.operand, ctx);
    const Folded x = fold(node.operand, ctx, report);
    switch (node.op) {
    case kolm::Token::BoolNot: return {x.constant, x.value == 0};
    case kolm::Token::MathPlus: return x;
    case kolm::Token::MathNot: return {x.constant, ~x.value};
    case kolm::Token::MathUnoAdd: return {false, x.value + 1};
    case kolm::Token::MathUnoSub: return {false, x.value - 1};
    default: return kNotConstant;
    }
}

Folded foldTernary(const KolmTernaryExpression &node, KolmGenContext *ctx, bool report)
{
    if (!node.condition)
        return kNotConstant;
    const Folded condition = fold(node.condition, ctx, report);
    const KolmExpression *branch = condition.value ? node.ifTrue : node.ifFalse;
    if (!branch)
        return kNotConstant;
    const Folded selected = fold(branch, ctx, report);
    return {condition.constant && selected.constant, selected.value};
}

Folded foldCompound(const KolmCompoundExpression &node, KolmGenContext *ctx, bool report)
{
    if (node.expressions.empty() || !node.expressions.front())
        return kNotConstant;
    const Folded first = fold(node.expressions.front(), ctx, report);
    return {first.constant && node.expressions.size() == 1, first.value};
}

// sizeof of a name: a static array's element count or the size of a
// variable; an undeclared name is reported and sized 0.
uint32_t sizeOfName(const KolmSizeof &node, const KolmIdentifier &name, KolmGenContext *ctx, bool report)
{
    if (ctx->staticArray(name.name))
        return uint8_t(ctx->staticArraySize(name.name));
    if (ctx->variableDeclared(name.name))
        return ctx->boardPackage().abi;
    if (report)
        error(node, "%s: undeclared identifier %s\n", quoted(&name));
    return 0;
}

uint32_t sizeOf(const KolmSizeof &node, KolmGenContext *ctx, bool report)
{
    if (const auto *name = dynamic_cast<const KolmIdentifier *>(node.argument))
        return sizeOfName(node, *name, ctx, report);
    if (const auto *list = dynamic_cast<const KolmCompoundExpression *>(node.argument)) {
        const auto *name = list->expressions.size() == 1
                               ? dynamic_cast<const KolmIdentifier *>(list->expressions.front())
                               : nullptr;
        if (name)
            return sizeOfName(node, *name, ctx, report);
        if (report)
            error(node, "%s: sizeof argument must be exactly one identifier, but received %d arguments\n",
              int(list->expressions.size()));
        return 0;
    }
    if (const auto *literal = dynamic_cast<const KolmLiteral *>(node.argument))
        return literal->text.size() < 2 ? 0 : uint32_t(literal->text.size() - 2);
    return 0;
}

Folded foldNode(const KolmNode *node, KolmGenContext *ctx, bool report)
{
    if (const auto *identifier = dynamic_cast<const KolmIdentifier *>(node))
        return {identifier->identifierClass == KolmIdentifier::Integer, identifier->value};
    if (const auto *binary = dynamic_cast<const KolmBinaryOp *>(node))
        return foldBinary(*binary, ctx, report);
    if (const auto *comparison = dynamic_cast<const KolmComparisonExpression *>(node))
        return foldComparison(*comparison, ctx, report);
    if (const auto *unary = dynamic_cast<const KolmUnaryOp *>(node))
        return foldUnary(*unary, ctx, report);
    if (const auto *ternary = dynamic_cast<const KolmTernaryExpression *>(node))
        return foldTernary(*ternary, ctx, report);
    if (const auto *compound = dynamic_cast<const KolmCompoundExpression *>(node))
        return foldCompound(*compound, ctx, report);
    if (const auto *constant = dynamic_cast<const KolmConstantExpression *>(node))
        return fold(constant->expression, ctx, report);
    if (const auto *postfix = dynamic_cast<const KolmPostfixOp *>(node))
        return {false, fold(postfix->operand, ctx, report).value};
    if (const auto *size = dynamic_cast<const KolmSizeof *>(node))
        return {size->argument != nullptr, sizeOf(*size, ctx, report)};
    if (const auto *reg = dynamic_cast<const KolmPeriphRegister *>(node)) {
        const uint32_t address = reg->address(ctx);
        return {reg->accessMode == KolmPeriphRegister::Address && address != 0, address};
    }
    // Integers, the platform's integer size and any other node answer for
    // themselves.
    return {node->isCompileTimeConstant(ctx), node->compileTimeValue(ctx)};
}

// Every operator node folds its operands first, and code generation asks
// each node of an expression again, so without a memory a chain of n
// operators would fold in n * n steps. Whether a node is constant depends
// only on whether its operands are and on the values of the constant ones,
// so a node once found variable answers so at once when only that is asked.
Folded fold(const KolmNode *node, KolmGenContext *ctx, bool report)
{
    if (!node)
        return kNotConstant;
    const auto *expression = dynamic_cast<const KolmExpression *>(node);
    if (expression && expression->foundVariable && !report)
        return kNotConstant;
    const Folded folded = foldNode(node, ctx, report);
    if (expression && !folded.constant)
        expression->foundVariable = true;
    return folded;
}

} // namespace

#define KOLM_FOLDED_NODE(Class)                                                                        \
    bool Class::isCompileTimeConstant(KolmGenContext *ctx) const { return fold(this, ctx, false).constant; } \
    uint32_t Class::compileTimeValue(KolmGenContext *ctx) const { return fold(this, ctx, true).value; }

KOLM_FOLDED_NODE(KolmTernaryExpression)
KOLM_FOLDED_NODE(KolmComparisonExpression)
KOLM_FOLDED_NODE(KolmBinaryOp)
KOLM_FOLDED_NODE(KolmUnaryOp)
KOLM_FOLDED_NODE(KolmPostfixOp)
KOLM_FOLDED_NODE(KolmSizeof)
KOLM_FOLDED_NODE(KolmConstantExpression)
KOLM_FOLDED_NODE(KolmCompoundExpression)
KOLM_FOLDED_NODE(KolmIdentifier)
KOLM_FOLDED_NODE(KolmPeriphRegister)

#undef KOLM_FOLDED_NODE
