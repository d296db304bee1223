// The precompile pass: one walk over the finished tree before any code is
// written. It maps locations back to source lines, enters and removes
// defines in source order, substitutes defines into identifiers, checks the
// names that must be plain identifiers, and parses and precompiles included
// files with a nested driver. Each node maps its own lines first, so that
// every message it prints names source lines.

#include "ast.h"
#include "ast_diagnostics.h"
#include "lexer.h"

using kolm_ast::error;
using kolm_ast::quoted;
using kolm_ast::warning;
using Ops = std::vector<kolm::ReplaceOp>;

namespace {

// Most files open in a chain of includes below the main file; a deeper
// chain is an include without a guard that includes itself.
constexpr int kMaxIncludeDepth = 32;
thread_local int g_includeDepth = 0;

bool precompileNode(KolmNode *node, KolmGenContext *ctx, const Ops &ops)
{
    return !node || node->precompile(ctx, ops);
}

// Precompiles an expression child, then replaces it by the node that its
// define stands for.
template <class Expression>
bool precompileAndSubstitute(Expression *&child, KolmGenContext *ctx, const Ops &ops)
{
    if (!child)
        return true;
    if (!child->precompile(ctx, ops))
        return false;
    KolmExpression *slot = child;
    KolmNode::checkIdentifier(&slot);
    child = static_cast<Expression *>(slot);
    return true;
}

template <class List>
bool precompileList(List *list, KolmGenContext *ctx, const Ops &ops)
{
    if (list)
        for (auto *node : *list)
            if (!precompileNode(node, ctx, ops))
                return false;
    return true;
}

// A declared name must be a plain identifier, not a name that a define
// turned into a number, literal or register.
bool checkDeclaredName(const KolmNode &owner, const KolmExpression *name)
{
    return owner.checkIdentifierClass(name, KolmIdentifier::Plain);
}

} // namespace

// Expressions: the node's own lines, then its children, each substituted.
bool KolmTernaryExpression::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(condition, ctx, ops) && precompileAndSubstitute(ifTrue, ctx, ops) &&
           precompileAndSubstitute(ifFalse, ctx, ops);
}

bool KolmComparisonExpression::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(left, ctx, ops) && precompileAndSubstitute(right, ctx, ops);
}

bool KolmBinaryOp::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(left, ctx, ops) && precompileAndSubstitute(right, ctx, ops);
}

bool KolmUnaryOp::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(operand, ctx, ops);
}

bool KolmPostfixOp::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(operand, ctx, ops);
}

bool KolmSizeof::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(argument, ctx, ops);
}

bool KolmConstantExpression::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(expression, ctx, ops);
}

bool KolmCompoundExpression::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    for (KolmExpression *&expression : expressions)
        if (!precompileAndSubstitute(expression, ctx, ops))
            return false;
    return true;
}

bool KolmAssignmentExpression::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    if (!precompileAndSubstitute(target, ctx, ops))
        return false;
    if (auto *reg = dynamic_cast<KolmPeriphRegister *>(target))
        reg->accessMode = KolmPeriphRegister::Store;
    return precompileAndSubstitute(value, ctx, ops);
}

bool KolmFunctionCall::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    if (!precompileNode(callee, ctx, ops))
        return false;
    if (!dynamic_cast<KolmIdentifier *>(callee))
        return error(*this, "%s: identifier expected at function call (<%s>)\n",
                     quoted(callee));
    if (!checkDeclaredName(*this, callee))
        return false;
    if (arguments)
        for (KolmExpression *&argument : *arguments) {
            if (!precompileAndSubstitute(argument, ctx, ops))
                return false;
            if (auto *reg = dynamic_cast<KolmPeriphRegister *>(argument))
                reg->accessMode = KolmPeriphRegister::CallArgument;
        }
    return true;
}

bool KolmArrayElement::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    if (!precompileNode(array, ctx, ops) || !precompileAndSubstitute(index, ctx, ops))
        return false;
    if (!dynamic_cast<KolmIdentifier *>(array))
        return error(*this, "%s: identifier expected, but %s received\n",
                     quoted(array));
    return checkDeclaredName(*this, array);
}

// A name that is a define takes the define's value once: a quoted text
// makes it a literal, a dotted name a peripheral register, a number an
// integer; any other value only renames it (after reporting that it is no
// number).
bool KolmIdentifier::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    const auto &defines = ctx->definesMap();
    const auto found = defines.find(name);
    if (found != defines.end()) {
        name = found->second;
        if (name.size() > 1 && name.front() == '"' && name.back() == '"') {
            identifierClass = Literal;
        } else if (name.find('.') != std::string::npos) {
            identifierClass = Periphery;
        } else {
            KolmInteger scratch(nullptr);
            kolm_ast::copyLocation(scratch, *this);
            if (scratch.setValue(name, 0)) {
                identifierClass = Integer;
                value = scratch.value;
            }
        }
    }
    return true;
}

bool KolmLabelIdentifier::precompile(KolmGenContext *ctx, const Ops &ops)
{
    return KolmIdentifier::precompile(ctx, ops) && checkIdentifierClass(this, Plain);
}

bool KolmPeriphRegister::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    const auto &defines = ctx->definesMap();
    auto found = defines.find(peripheral);
    if (found != defines.end())
        peripheral = found->second;
    found = defines.find(reg);
    if (found != defines.end())
        reg = found->second;
    return true;
}

// Statements.

bool KolmExpressionStatement::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(expression, ctx, ops);
}

bool KolmJumpStatement::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(operand, ctx, ops);
}

bool KolmLabelStatement::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileNode(label, ctx, ops) && precompileNode(statement, ctx, ops);
}

// A statement list also fails when any of its statements reported an error
// and still went on, so no error ever lets a build succeed.
bool KolmBlock::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    const unsigned errors = console_error_count();
    return precompileList(&statements, ctx, ops) && console_error_count() == errors;
}

bool KolmCompoundBlock::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileList(declarations, ctx, ops) && precompileNode(statements, ctx, ops);
}

bool KolmVariableDeclaration::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileNode(name, ctx, ops) && checkDeclaredName(*this, name) &&
           precompileAndSubstitute(initialValue, ctx, ops);
}

bool KolmStaticArray::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileNode(name, ctx, ops) && checkDeclaredName(*this, name) && precompileList(members, ctx, ops);
}

bool KolmFunctionDeclaration::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    if (!precompileNode(name, ctx, ops) || !checkDeclaredName(*this, name))
        return false;
    if (arguments)
        for (KolmStatement *argument : *arguments)
            if (!precompileNode(argument, ctx, ops) || !checkIdentifierClass(argument, KolmIdentifier::Plain))
                return false;
    return precompileNode(body, ctx, ops);
}

bool KolmWhileLoop::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(condition, ctx, ops) && precompileNode(body, ctx, ops);
}

bool KolmDoWhileLoop::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(condition, ctx, ops) && precompileNode(body, ctx, ops);
}

bool KolmForLoopDeclarations::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    if (!precompileList(declarations, ctx, ops))
        return kolm_ast::whileCompiling(*this);
    return true;
}

bool KolmConditional::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(condition, ctx, ops) && precompileNode(thenBranch, ctx, ops) &&
           precompileNode(elseBranch, ctx, ops);
}

bool KolmSwitchBlock::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileAndSubstitute(condition, ctx, ops) && precompileList(&branches, ctx, ops);
}

// A case value that names a define stays an identifier; its class and value
// make it a constant.
bool KolmSwitchBranch::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileNode(caseValue, ctx, ops) && precompileNode(statements, ctx, ops);
}

bool KolmForLoop::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    return precompileNode(initialisation, ctx, ops) && precompileNode(condition, ctx, ops) &&
           precompileAndSubstitute(step, ctx, ops) && precompileNode(body, ctx, ops);
}

// Defines take effect for the nodes after them in source order. A define
// of a known name keeps the first value and warns when the new one differs.
bool KolmDefine::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    std::string message;
    if (!ctx->addDefine(key, value, &message))
        return error(*this, "%s: %s\n", message);
    if (!message.empty())
        warning(*this, "%s: %s\n", message);
    return true;
}

bool KolmUndefine::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    ctx->removeDefine(key);
    return true;
}

// Parses the included file with a driver of its own on the same generator:
// the defines made so far steer its preprocessor, the defines it makes
// become visible after the include, and its tree is precompiled here and
// compiled in place later.
bool KolmInclude::precompile(KolmGenContext *ctx, const Ops &ops)
{
    KolmNode::precompile(ctx, ops);
    if (g_includeDepth >= kMaxIncludeDepth)
        return error(*this, "%s: includes nested too deeply at %s\n", console_quote(name));
    delete compiler;
    compiler = new kolm::Compiler(ctx);
    const std::string path = ctx->locate(name, file, system);
    if (path.empty())
        return error(*this, "%s: %s: No such file or directory\n", console_quote(name));
    for (const auto &define : ctx->definesMap())
        compiler->defines.insert(define);
    const std::string *text = ctx->includeText(path);
    if (!(text ? compiler->parse_string(*text, path) : compiler->parse_file(path)) || !compiler->root)
        return error(*this, "%s: %s: Invalid syntax\n", console_quote(name));
    for (const auto &define : compiler->local_defines) {
        std::string message;
        if (!ctx->addDefine(define.first, define.second, &message))
            return error(*this, "%s: %s\n", message);
        if (!message.empty())
            warning(*this, "%s: %s\n", message);
    }
    struct Nesting {
        Nesting() { ++g_includeDepth; }
        ~Nesting() { --g_includeDepth; }
    } nesting;
    return compiler->root->precompile(ctx, compiler->replace_ops);
}
