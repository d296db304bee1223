// Code of the plain statements: expression statements, jumps, labels,
// braced blocks with their declarations, variable declarations, includes
// and if-else. Each failing statement adds its own "while compiling" line,
// so one fault prints the chain of constructs around it.

#include "ast.h"
#include "ast_diagnostics.h"
#include "ast_statement_checks.h"
#include "lexer.h"

using kolm_ast::compileChild;
using kolm_ast::error;
using kolm_ast::quoted;
using kolm_ast::warning;
using kolm_ast::whileCompiling;
using namespace kolm_isa;

namespace {

bool insideFunction(const KolmGenContext *ctx)
{
    return ctx->currentFunction() != nullptr;
}

// At a non-zero level a constant condition or initialiser is decided at
// compile time.
bool foldable(const KolmNode &node, KolmGenContext *ctx)
{
    return ctx->optimizeLevel != 0 && node.isCompileTimeConstant(ctx);
}

} // namespace

bool kolm_ast::compileChild(KolmNode *child, const KolmNode &parent, KolmGenContext *ctx, std::ostream *out)
{
    return !child || child->compile(ctx, out) || whileCompiling(parent);
}

bool kolm_ast::declaresLabel(const KolmStatement *statement)
{
    const auto anyOf = [](const KolmStatementList *list) {
        if (list)
            for (const KolmStatement *inner : *list)
                if (declaresLabel(inner))
                    return true;
        return false;
    };
    if (!statement)
        return false;
    if (dynamic_cast<const KolmLabelStatement *>(statement))
        return true;
    if (const auto *block = dynamic_cast<const KolmBlock *>(statement))
        return anyOf(&block->statements);
    if (const auto *compound = dynamic_cast<const KolmCompoundBlock *>(statement))
        return declaresLabel(compound->statements);
    if (const auto *conditional = dynamic_cast<const KolmConditional *>(statement))
        return declaresLabel(conditional->thenBranch) || declaresLabel(conditional->elseBranch);
    if (const auto *loop = dynamic_cast<const KolmWhileLoop *>(statement))
        return declaresLabel(loop->body);
    if (const auto *loop = dynamic_cast<const KolmDoWhileLoop *>(statement))
        return declaresLabel(loop->body);
    if (const auto *loop = dynamic_cast<const KolmForLoop *>(statement))
        return declaresLabel(loop->body);
    if (const auto *switchBlock = dynamic_cast<const KolmSwitchBlock *>(statement))
        return anyOf(&switchBlock->branches);
    if (const auto *branch = dynamic_cast<const KolmSwitchBranch *>(statement))
        return declaresLabel(branch->statements);
    return false;
}

bool kolm_ast::declarableName(const KolmNode &declaration, const std::string &name, KolmGenContext *ctx)
{
    if (ctx->variableDeclared(name) || ctx->functionDeclared(name))
        return error(declaration, "%s: redefinition of %s\n", name);
    if (KolmGenContext::isKeyword(name) || KolmGenContext::isSpecialFunction(name) ||
        KolmGenContext::isInternalFunction(name))
        return error(declaration,
                     "%s: cannot declare variable %s - conflicts with a keyword or an internal function\n", name);
    return true;
}

bool KolmExpressionStatement::compile(KolmGenContext *ctx, std::ostream *out)
{
    if (!expression || foldable(*expression, ctx)) {
        warning(*this, "%s: empty statement\n");
        return true;
    }
    return compileChild(expression, *this, ctx, out);
}

bool KolmJumpStatement::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    std::string message;
    switch (op) {
    case kolm::Token::Return:
        if (operand) {
            if (!operand->compile(ctx, out))
                return whileCompiling(*this);
        } else {
            warning(*this, "%s: no return value - assuming zero\n");
            ctx->write_sto(REG_EAX, 0, out);
        }
        if (!ctx->functionExit(out))
            return error(*this, "%s: return statement out of context\n");
        return true;
    case kolm::Token::Break:
        if (operand)
            return error(*this, "%s: extra characters after \"break\" statement (%s)\n", quoted(operand));
        return ctx->loopBreak(out, message) || error(*this, "%s: %s\n", message);
    case kolm::Token::Continue:
        if (operand)
            return error(*this, "%s: extra characters after \"continue\" statement (%s)\n", quoted(operand));
        return ctx->loopContinue(out, message) || error(*this, "%s: %s\n", message);
    case kolm::Token::Goto: {
        const auto *label = dynamic_cast<const KolmIdentifier *>(operand);
        if (!label)
            return error(*this, "%s: identifier expected (%s)\n",
                         quoted(operand));
        return ctx->gotoLabel(label->name, out, message, location()) || error(*this, "%s: %s\n", message);
    }
    default:
        return error(*this, "%s: invalid jump statement (code %d)\n", op);
    }
}

bool KolmLabelStatement::compile(KolmGenContext *ctx, std::ostream *out)
{
    if (!insideFunction(ctx))
        return error(*this, "%s: a label cannot be declared here\n");
    return compileChild(label, *this, ctx, out) && compileChild(statement, *this, ctx, out);
}

// A second label of one name in a function fails the build: a goto could
// not tell which of the two it means.
bool KolmLabelIdentifier::compile(KolmGenContext *ctx, std::ostream *out)
{
    if (KolmGenContext::isKeyword(name))
        return error(*this, "%s: %s is a reserved name (keyword) and cannot be used as an identifier\n", name);
    if (KolmGenContext::isInternalFunction(name))
        return error(*this, "%s: %s is a reserved name (internal function) and cannot be used as an identifier\n",
                     name);
    if (ctx->labelDeclared(name))
        return error(*this, "%s: duplicate label %s\n", name);
    return ctx->declareLabel(name, out);
}

bool KolmCompoundBlock::compile(KolmGenContext *ctx, std::ostream *out)
{
    const bool inFunction = insideFunction(ctx);
    const auto *block = dynamic_cast<const KolmBlock *>(statements);
    const bool noStatements = !statements || (block && block->statements.empty());
    if (inFunction && declarations && noStatements) {
        for (const KolmStatement *declaration : *declarations) {
            if (const auto *variable = dynamic_cast<const KolmBaseDeclaration *>(declaration)) {
                variable->unused();
                warning(*this, "%s: here\n");
            }
        }
    }
    ctx->startBlock();
    if (declarations)
        for (KolmStatement *declaration : *declarations)
            if (!compileChild(declaration, *this, ctx, out))
                return false;
    if (!compileChild(statements, *this, ctx, out))
        return false;
    if (inFunction && !ctx->endBlock(out))
        return error(*this, "%s: stack corruption\n");
    return true;
}

bool KolmVariableDeclaration::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    auto *identifier = dynamic_cast<KolmIdentifier *>(name);
    if (!identifier)
        return error(*this, "%s: identifier expected, but received %s\n",
                     quoted(name));
    const std::string &variable = identifier->name;
    if (!kolm_ast::declarableName(*this, variable, ctx))
        return false;
    if (initialValue) {
        if (foldable(*initialValue, ctx))
            return ctx->declareVariable(variable, initialValue->compileTimeValue(ctx), out);
        if (const auto *integer = dynamic_cast<const KolmInteger *>(initialValue))
            return ctx->declareVariable(variable, integer->value, out);
        if (!insideFunction(ctx))
            return error(*this, "%s: initializer element is not constant\n");
    }
    if (!ctx->declareVariable(variable, 0, out))
        return error(*this, "%s: heap exhausted\n");
    if (!initialValue)
        return true;
    // A computed initial value is assigned after the declaration, through
    // an assignment that borrows the two children.
    KolmAssignmentExpression assignment(kolm::Token::Equals, name, initialValue, nullptr);
    kolm_ast::copyLocation(assignment, *this);
    const bool assigned = assignment.compile(ctx, out);
    assignment.target = nullptr;
    assignment.value = nullptr;
    if (!assigned)
        return error(*this, "%s: cannot declare variable - stack overflow or invalid assignment\n");
    return true;
}

bool KolmForLoopDeclarations::compile(KolmGenContext *ctx, std::ostream *out)
{
    if (declarations)
        for (KolmStatement *declaration : *declarations)
            if (!compileChild(declaration, *this, ctx, out))
                return false;
    return true;
}

bool KolmInclude::compile(KolmGenContext *ctx, std::ostream *out)
{
    if (!compiler || !compiler->root)
        return error(*this, "%s: cannot compiler %s - preprocessor has not been called\n", name);
    return compiler->root->compile(ctx, out);
}

bool KolmConditional::compileAsm(KolmGenContext *ctx, std::ostream *out)
{
    if (!insideFunction(ctx))
        return error(*this, "%s: an if-else statement cannot appear here\n");
    if (!condition || !thenBranch)
        return error(*this, "%s: a conditional expression and at least one statement are required in if-else\n");
    if (foldable(*condition, ctx)) {
        const bool holds = condition->compileTimeValue(ctx) != 0;
        if (!kolm_ast::declaresLabel(holds ? elseBranch : thenBranch)) {
            KolmStatement *chosen = holds ? thenBranch : elseBranch;
            return !chosen || chosen->compile(ctx, out);
        }
    }
    if (!compileChild(condition, *this, ctx, out))
        return false;
    if (!ctx->startIfElse(out))
        return error(*this, "%s: a if-else statement cannot appear here\n");
    if (!compileChild(thenBranch, *this, ctx, out))
        return false;
    if (elseBranch) {
        ctx->startElseBranch(out);
        if (!compileChild(elseBranch, *this, ctx, out))
            return false;
    }
    ctx->endIfElse(out);
    return true;
}
