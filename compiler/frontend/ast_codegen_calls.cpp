// Code of function calls and array elements. A call pushes its arguments
// from the last to the first and hands their kinds, in source order, to the
// generator, which picks a builtin's overload by them. An element is read
// from a static array in the image's data, or from the memory that a
// variable points to.

#include "ast.h"
#include "ast_diagnostics.h"

using kolm_ast::error;
using kolm_ast::quoted;
using kolm_ast::whileCompiling;
using namespace kolm_isa;

namespace {

// Where a static array lies in the machine's view of the image data: its
// count byte, then the elements.
uint32_t arrayAddress(const KolmGenContext::DataArray &array, KolmGenContext *ctx)
{
    return ctx->boardPackage().rom_address + array.offset;
}

} // namespace

bool KolmFunctionCall::compileGenericParameter(KolmExpression *argument, int &kind, KolmGenContext *ctx,
                                               std::ostream *out)
{
    if (!argument->compile(ctx, out))
        return whileCompiling(*this);
    if (!ctx->pushFunctionRegParameter(REG_EAX, out, true))
        return error(*this, "%s: stack overflow\n");
    kind = dynamic_cast<KolmIdentifier *>(argument) ? KolmGenContext::ArgIdentifier : KolmGenContext::ArgNumber;
    return true;
}

bool KolmFunctionCall::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    const auto *name = dynamic_cast<KolmIdentifier *>(callee);
    if (!name)
        return error(*this, "%s: identifier expected at function call (<%s>)\n",
                     quoted(callee));
    if (name->isKeyword())
        return error(*this, "%s: %s is a keyword and cannot be used as a function name\n", name->name);
    std::string message;
    if (!ctx->beginFunctionCall(name->name, out, message))
        return error(*this, "%s: cannot call %s here: %s\n", name->name, message);
    const size_t count = arguments ? arguments->size() : 0;
    std::vector<int> kinds(count, 0);
    for (size_t i = count; i-- > 0;) {
        KolmExpression *argument = (*arguments)[i];
        if (!argument)
            return whileCompiling(*this);
        int &kind = kinds[i];
        kind = argument->type();
        bool pushed = true;
        const auto *identifier = dynamic_cast<const KolmIdentifier *>(argument);
        const auto *literal = dynamic_cast<const KolmLiteral *>(argument);
        const auto *integer = dynamic_cast<const KolmInteger *>(argument);
        if (identifier && ctx->staticArray(identifier->name)) {
            pushed = ctx->pushFunctionParameter(arrayAddress(*ctx->staticArray(identifier->name), ctx), out);
            kind = KolmGenContext::ArgStaticArray;
        } else if (identifier && identifier->identifierClass == KolmIdentifier::Integer) {
            pushed = ctx->pushFunctionParameter(identifier->value, out);
            kind = KolmGenContext::ArgNumber;
        } else if (literal) {
            pushed = ctx->pushFunctionParameter(ctx->placeLiteral(literal->text), out);
            kind = KolmGenContext::ArgLiteral;
        } else if (integer && integer->valid) {
            pushed = ctx->pushFunctionParameter(integer->value, out);
            kind = KolmGenContext::ArgNumber;
        } else if (!compileGenericParameter(argument, kind, ctx, out)) {
            return false;
        }
        if (!pushed)
            return error(*this, "%s: stack variable creation out of context\n");
    }
    if (!ctx->functionCall(name->name, kinds, out, message))
        return error(*this, "%s: %s\n", message);
    return true;
}

// The array's name must be a plain identifier (it becomes an array name)
// and the index must be there.
namespace {

bool checkElement(const KolmArrayElement &element)
{
    if (!element.index)
        return error(element, "%s: index expression is mandatory here\n");
    auto *name = dynamic_cast<KolmIdentifier *>(element.array);
    if (!name)
        return error(element, "%s: identifier expected, but %s received\n",
                     quoted(element.array));
    if (name->identifierClass != KolmIdentifier::Plain && name->identifierClass != KolmIdentifier::Array)
        return error(element, "%s: identifier expected, but %s received\n", name->className());
    name->identifierClass = KolmIdentifier::Array;
    return true;
}

} // namespace

bool KolmArrayElement::warnArrayIndex(KolmGenContext *ctx) const
{
    const auto *name = static_cast<const KolmIdentifier *>(array);
    if (!index->isCompileTimeConstant(ctx))
        return false;
    const uint32_t at = index->compileTimeValue(ctx);
    if (at < uint8_t(ctx->staticArraySize(name->name)))
        return false;
    kolm_ast::warning(*this, "%s: array index %u out of bounds\n", unsigned(at));
    return true;
}

namespace {

// The address of a static array's element: index * 4 past the count byte.
bool compileStaticElementAddress(KolmArrayElement &element, const KolmGenContext::DataArray &array,
                                 KolmGenContext *ctx, std::ostream *out)
{
    if (!element.index->compile(ctx, out))
        return whileCompiling(element);
    ctx->write_math_val(OP_mulv, REG_EAX, 4, out);
    ctx->write_math_val(OP_addv, REG_EAX, arrayAddress(array, ctx) + 1, out);
    return true;
}

} // namespace

// A pointer's element is the word at the pointer's value plus the index,
// a byte offset.
bool KolmArrayElement::compile_int(KolmGenContext *ctx, std::ostream *out, CompileMode mode)
{
    if (!checkElement(*this))
        return false;
    const std::string &name = static_cast<KolmIdentifier *>(array)->name;
    if (const KolmGenContext::DataArray *data = ctx->staticArray(name)) {
        if (mode == Address)
            return error(*this, "%s: static arrays are not modifiable\n");
        // A constant index past the end is reported and read at run time,
        // never folded into a value that is not there.
        if (!warnArrayIndex(ctx) && ctx->optimizeLevel != 0 && index->isCompileTimeConstant(ctx)) {
            ctx->write_sto(REG_EAX, ctx->staticArrayValue(name, index->compileTimeValue(ctx)), out);
            return true;
        }
        if (!compileStaticElementAddress(*this, *data, ctx, out))
            return false;
        ctx->write_mem_read_u_r(REG_EAX, REG_EAX, out);
        return true;
    }
    if (!index->compile(ctx, out))
        return whileCompiling(*this);
    uint8_t offset = 0;
    if (!ctx->aquireRegisterAndCopy(&offset, REG_EAX, out))
        return kolm_ast::poolExhausted(*this);
    std::string message;
    if (!ctx->pullVariable(name, out, message))
        return error(*this, "%s: %s\n", message);
    ctx->write_math(OP_add, REG_EAX, offset, out);
    ctx->releaseRegister(offset, out);
    if (mode == Value)
        ctx->write_mem_read_u_r(REG_EAX, REG_EAX, out);
    return true;
}

bool KolmArrayElement::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    return compile_int(ctx, out, Value);
}

// &a[i]: inside a static array, or the address that p[i] reads.
bool KolmArrayElement::address(KolmGenContext *ctx, std::ostream *out)
{
    if (!checkElement(*this))
        return false;
    const KolmGenContext::DataArray *data = ctx->staticArray(static_cast<KolmIdentifier *>(array)->name);
    if (data)
        return compileStaticElementAddress(*this, *data, ctx, out);
    return compile_int(ctx, out, Address);
}
