// Code of function declarations: the checks on the name and the arguments,
// the signatures of the special entry functions and of prototypes, then
// the body inside the function context that the generator opens.

#include "ast.h"
#include "ast_diagnostics.h"

using kolm_ast::error;
using kolm_ast::quoted;
using kolm_ast::warning;

namespace {

// Collects the argument names; every argument is of the identifier kind.
bool collectArguments(const KolmFunctionDeclaration &function, KolmGenContext *ctx, std::vector<std::string> &names,
                      std::vector<int> &kinds)
{
    if (!function.arguments)
        return true;
    for (const KolmStatement *argument : *function.arguments) {
        const auto *declaration = dynamic_cast<const KolmVariableDeclaration *>(argument);
        if (!declaration)
            return error(function, "%s: expected a variable declaration, received %s\n",
                         quoted(argument));
        const auto *identifier = dynamic_cast<const KolmIdentifier *>(declaration->name);
        if (!identifier)
            return error(function, "%s: missing variable declatation (%s)\n",
                         quoted(declaration->name));
        const std::string &name = identifier->name;
        if (identifier->isKeyword() || identifier->isInternalFunction() || KolmGenContext::isSpecialFunction(name))
            return error(function,
                         "%s: a keyword / internal or special function name %s cannot be used as an argument name\n",
                         name);
        if (ctx->functionDeclared(name))
            return error(function, "%s: argument name %s conflicts with a function declaration\n", name);
        if (ctx->variableDeclared(name))
            warning(function, "%s: argument name %s shadows a declared variable\n", name);
        names.push_back(name);
        kinds.push_back(KolmGenContext::ArgIdentifier);
    }
    return true;
}

} // namespace

bool KolmFunctionDeclaration::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    const auto *identifier = dynamic_cast<const KolmIdentifier *>(name);
    if (!identifier)
        return error(*this, "%s: identifier expected as a function name, but %s received\n",
                     quoted(name));
    const std::string &function = identifier->name;
    if (ctx->currentFunction())
        return error(*this, "%s: a function cannot be declared here\n");
    const bool definition = body != nullptr;
    const bool completesPrototype = definition && ctx->functionForwardDeclared(function);
    if (ctx->variableDeclared(function) || (ctx->functionDeclared(function) && !completesPrototype))
        return error(*this, "%s: redefinition of %s\n", function);
    if (KolmGenContext::isKeyword(function) || KolmGenContext::isInternalFunction(function))
        return error(*this, "%s: cannot declare variable %s - conflicts with a keyword or an internal function\n",
                     function);
    std::vector<std::string> names;
    std::vector<int> kinds;
    if (!collectArguments(*this, ctx, names, kinds))
        return false;
    if (KolmGenContext::isSpecialFunction(function) && !ctx->checkSignature(function, kinds))
        return error(*this, "%s: %s is a special function an must have the pre-defined signature\n", function);
    if (completesPrototype && !ctx->checkSignature(function, kinds))
        return error(*this, "%s: redefinition of a forward-declared function %s with a different signature\n",
                     function);
    std::string message;
    if (!ctx->declareFunction(function, names, kinds, !definition, out, message))
        return error(*this, "%s: %s\n", message);
    if (!definition)
        return true;
    if (!body->compile(ctx, out))
        return kolm_ast::whileCompiling(*this);
    std::string where;
    if (!ctx->endFunctionImplementation(out, message, &where)) {
        console_output("kcc", "error", CONSOLE_RED, "%s: %s\n", (where.empty() ? location() : where).c_str(),
                       message.c_str());
        return false;
    }
    return true;
}
