// Identifiers: their classes, the names the generator reserves, peripheral
// register addresses, and the replacement of resolved identifiers by the
// nodes they stand for.

#include "ast.h"
#include "console_printer.h"
#include "kolm_gen_context.h"

std::string KolmIdentifier::className() const
{
    static const char *const names[] = {"identifier", "array", "integer", "literal", "periphery"};
    if (identifierClass < 0 || identifierClass > Periphery)
        return "invalid";
    return names[identifierClass];
}

bool KolmIdentifier::isKeyword() const
{
    return KolmGenContext::isKeyword(name);
}

bool KolmIdentifier::isInternalFunction() const
{
    return KolmGenContext::isInternalFunction(name);
}

uint32_t KolmPeriphRegister::address(KolmGenContext *ctx) const
{
    return ctx->peripheryAddress(peripheral, reg);
}

void KolmNode::checkIdentifier(KolmExpression **child)
{
    auto *identifier = dynamic_cast<KolmIdentifier *>(*child);
    if (!identifier)
        return;
    KolmExpression *replacement = nullptr;
    switch (identifier->identifierClass) {
    case KolmIdentifier::Literal: {
        auto *literal = new KolmLiteral(nullptr);
        literal->valid = literal->setLiteral(identifier->name);
        replacement = literal;
        break;
    }
    case KolmIdentifier::Periphery: {
        const std::string &name = identifier->name;
        const size_t dot = name.find('.');
        replacement = dot == std::string::npos
                          ? new KolmPeriphRegister(name, name, nullptr)
                          : new KolmPeriphRegister(name.substr(0, dot), name.substr(dot + 1), nullptr);
        break;
    }
    case KolmIdentifier::Integer: {
        auto *integer = new KolmInteger(nullptr);
        integer->value = identifier->value;
        integer->valid = true;
        replacement = integer;
        break;
    }
    default:
        return;
    }
    replacement->file = identifier->file;
    replacement->beginLine = identifier->beginLine;
    replacement->beginColumn = identifier->beginColumn;
    replacement->endLine = identifier->endLine;
    replacement->endColumn = identifier->endColumn;
    *child = replacement;
    delete identifier;
}

bool KolmNode::checkIdentifierClass(const KolmNode *node, int identifierClass) const
{
    const auto *identifier = dynamic_cast<const KolmIdentifier *>(node);
    if (!identifier || identifier->identifierClass == identifierClass)
        return true;
    console_output("kcc", "error", CONSOLE_RED, "%s: identifier of type <%s> is not allowed here\n",
                   location().c_str(), identifier->className().c_str());
    return false;
}
