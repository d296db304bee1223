// Static arrays: constant arrays placed in the image's data section, either
// of numbers (integers, sizeof(var), peripheral register addresses) or of
// strings (the addresses of their literals). One array holds one kind.

#include "ast.h"
#include "ast_diagnostics.h"
#include "ast_statement_checks.h"

using kolm_ast::error;
using kolm_ast::quoted;
using kolm_ast::whileCompiling;

namespace {

const char kMixedKinds[] = "%s: tuples are not supported - array elements must be of the same type\n";
const char kNoConstant[] = "%s: array member must be a literal, a peripheral register, or an integer constant\n";

// The word of one element; false (reported) for an element that does not
// fit the array's kind.
bool elementValue(const KolmStaticArray &array, KolmConstantExpression &element, bool strings,
                  KolmGenContext *ctx, uint32_t &value)
{
    if (!element.expression) {
        element.nullExpression();
        return whileCompiling(array);
    }
    KolmExpression *inner = element.expression;
    if (auto *literal = dynamic_cast<KolmLiteral *>(inner)) {
        if (!strings)
            return error(array, kMixedKinds);
        literal->address = ctx->placeLiteral(literal->text);
        value = literal->address;
        return true;
    }
    const auto *integer = dynamic_cast<const KolmInteger *>(inner);
    const auto *size = dynamic_cast<const KolmStaticSizeof *>(inner);
    const auto *reg = dynamic_cast<const KolmPeriphRegister *>(inner);
    if (!integer && !size && !reg)
        return error(array, kNoConstant);
    if (strings)
        return error(array, kMixedKinds);
    if (integer) {
        value = integer->value;
    } else if (size) {
        value = ctx->boardPackage().abi;
    } else {
        value = reg->address(ctx);
        if (value == 0)
            return error(array, "%s: unknown periphery %s or no register %s inside this periphery\n",
                         reg->peripheral, reg->reg);
    }
    return true;
}

} // namespace

bool KolmStaticArray::compile(KolmGenContext *ctx, std::ostream *)
{
    const auto *identifier = dynamic_cast<const KolmIdentifier *>(name);
    if (!identifier)
        return error(*this, "%s: identifier expected, but received %s\n",
                     quoted(name));
    const std::string &array = identifier->name;
    if (!kolm_ast::declarableName(*this, array, ctx))
        return false;
    if (!members || members->empty())
        return error(*this, "%s: cannot declare an empty static const array\n");
    const auto *first = dynamic_cast<const KolmConstantExpression *>(members->front());
    const bool strings = first && dynamic_cast<const KolmLiteral *>(first->expression);
    std::vector<uint32_t> values;
    for (KolmExpression *member : *members) {
        auto *element = dynamic_cast<KolmConstantExpression *>(member);
        if (!element)
            return error(*this, kNoConstant);
        uint32_t value = 0;
        if (!elementValue(*this, *element, strings, ctx, value))
            return false;
        values.push_back(value);
    }
    std::string message;
    const bool placed = strings ? ctx->placeStringArray(array, values, message)
                                : ctx->placeNumberArray(array, values, message);
    return placed || error(*this, "%s: %s\n", message);
}
