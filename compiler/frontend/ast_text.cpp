// The one-line text forms of the nodes (quoted by diagnostics) and the
// operator texts.

#include "ast.h"
#include "ast_diagnostics.h"

#include <cstdio>

namespace {

using namespace kolm::Token;

// While a diagnostic quotes a node: the nodes still to be spelled out. A
// text of more nodes than a quote shows ends in "..." at each level, so a
// quote costs the same for a 4,000-term sum as for a 100-term one. -1 when
// no quote is being made.
thread_local int g_quoteNodes = -1;

std::string text(const KolmNode *node)
{
    if (!node)
        return "null";
    if (g_quoteNodes == 0)
        return "...";
    if (g_quoteNodes > 0)
        --g_quoteNodes;
    return node->toString();
}

std::string opText(int op, std::initializer_list<std::pair<int, const char *>> table)
{
    for (const auto &entry : table)
        if (entry.first == op)
            return entry.second;
    return "inv";
}

} // namespace

std::string KolmComparisonExpression::opString() const
{
    return opText(op, {{CondEq, "=="}, {CondNeq, "!="}, {CondLess, "<"}, {CondLessEq, "<="}, {CondGreat, ">"},
                       {CondGreatEq, ">="}, {CondOr, "||"}, {CondAnd, "&&"}, {CondIn, "in"}});
}

std::string KolmBinaryOp::opString() const
{
    return opText(op, {{MathShl, "<<"}, {MathShr, ">>"}, {MathAnd, "&"}, {MathMinus, "-"}, {MathPlus, "+"},
                       {MathDiv, "/"}, {MathMult, "*"}, {MathMod, "%"}, {MathOr, "|"}, {MathXor, "^"}});
}

std::string KolmUnaryOp::opString() const
{
    return opText(op, {{MathUnoAdd, "++"}, {MathUnoSub, "--"}, {MathAnd, "&"}, {BoolNot, "!"}, {MathMinus, "-"},
                       {MathPlus, "+"}, {MathMult, "*"}, {MathNot, "~"}});
}

std::string KolmPostfixOp::opString() const
{
    return opText(op, {{MathUnoAdd, "++"}, {MathUnoSub, "--"}});
}

std::string KolmJumpStatement::opString() const
{
    return opText(op, {{Goto, "goto"}, {Continue, "continue"}, {Break, "break"}, {Return, "return"}});
}

std::string KolmAssignmentExpression::opString() const
{
    return opText(op, {{AssMult, "*="}, {AssDiv, "/="}, {AssMod, "%="}, {AssAdd, "+="}, {AssSub, "-="},
                       {AssShl, "<<="}, {AssShr, ">>="}, {AssAnd, "&="}, {AssOr, "|="}, {AssXor, "^="},
                       {Equals, "="}});
}

std::string KolmInteger::toString() const
{
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", unsigned(value));
    return "Constant(" + std::to_string(value) + ", 0x" + hex + ")";
}

std::string KolmIdentifier::toString() const
{
    return "Identifier(" + name + "@" + className() + ")";
}

std::string KolmLabelIdentifier::toString() const
{
    return "Label(" + name + ")";
}

std::string KolmPeriphRegister::toString() const
{
    return "Register(" + peripheral + "@" + reg + ")";
}

std::string KolmLiteral::toString() const
{
    return "Literal(" + text + ")";
}

std::string KolmStaticSizeof::toString() const
{
    return "platform_int_size";
}

std::string KolmSizeof::toString() const
{
    return "sizeof(<" + text(argument) + ">)";
}

std::string KolmConstantExpression::toString() const
{
    return "const(<" + text(expression) + ">)";
}

std::string KolmCompoundExpression::toString() const
{
    std::string result = "compound_expression@" + std::to_string(expressions.size()) + "(";
    for (size_t i = 0; i < expressions.size() && i < 3; ++i)
        result += "<" + text(expressions[i]) + ">,";
    if (expressions.size() > 3)
        result += "...";
    return result + ")";
}

std::string KolmExpressionStatement::toString() const
{
    return "statement(<" + text(expression) + ">)";
}

std::string KolmUnaryOp::toString() const
{
    return "unary(\"" + opString() + "\" <" + text(operand) + ">)";
}

std::string KolmPostfixOp::toString() const
{
    return "postfix(<" + text(operand) + "> \"" + opString() + "\")";
}

std::string KolmComparisonExpression::toString() const
{
    return "comparison(<" + text(left) + "> \"" + opString() + "\" <" + text(right) + ">)";
}

std::string KolmBinaryOp::toString() const
{
    return "math(<" + text(left) + "> \"" + opString() + "\" <" + text(right) + ">)";
}

std::string KolmAssignmentExpression::toString() const
{
    return "assign <" + text(value) + "> to <" + text(target) + "> via '" + opString() + "'";
}

std::string KolmTernaryExpression::toString() const
{
    return "ternary(<" + text(condition) + ">, <" + text(ifTrue) + ">, <" + text(ifFalse) + ">)";
}

std::string KolmArrayElement::toString() const
{
    return "<" + text(index) + " element of " + text(array) + ">";
}

std::string KolmFunctionCall::toString() const
{
    std::string result = "call <" + text(callee) + "> (";
    if (arguments)
        for (size_t i = 0; i < arguments->size(); ++i)
            result += (i ? ", <" : "<") + text((*arguments)[i]) + ">";
    return result + ")";
}

std::string KolmJumpStatement::toString() const
{
    return opString() + " <" + text(operand) + ">";
}

std::string KolmLabelStatement::toString() const
{
    return "LabelStatement(<" + text(label) + ">, <" + text(statement) + ">)";
}

std::string KolmBlock::toString() const
{
    return "block_stmt@" + std::to_string(statements.size()) + "{...}";
}

std::string KolmCompoundBlock::toString() const
{
    const size_t declarationCount = declarations ? declarations->size() : 0;
    const auto *block = dynamic_cast<const KolmBlock *>(statements);
    const size_t statementCount = block ? block->statements.size() : 0;
    return "block@" + std::to_string(declarationCount) + "/" + std::to_string(statementCount) + "{...}";
}

std::string KolmVariableDeclaration::toString() const
{
    return "declare(<" + text(name) + "> as <" + text(initialValue) + ">)";
}

std::string KolmStaticArray::toString() const
{
    return "static_array(<" + text(name) + ">@" + std::to_string(members ? members->size() : 0) + ")";
}

std::string KolmFunctionDeclaration::toString() const
{
    return "declare <" + text(name) + ">(...@" + std::to_string(arguments ? arguments->size() : 0) + "){" +
           text(body) + "}";
}

std::string KolmWhileLoop::toString() const
{
    return "while(<" + text(condition) + ">){<" + text(body) + ">}";
}

std::string KolmDoWhileLoop::toString() const
{
    return "do{<" + text(body) + ">}while(<" + text(condition) + ">)";
}

std::string KolmForLoop::toString() const
{
    return "for(<" + text(initialisation) + ">;<" + text(condition) + ">;<" + text(step) + ">){<" + text(body) +
           ">}";
}

std::string KolmForLoopDeclarations::toString() const
{
    return "declarations@" + std::to_string(declarations ? declarations->size() : 0);
}

std::string KolmConditional::toString() const
{
    std::string result = "if(<" + text(condition) + ">){<" + text(thenBranch) + ">}";
    if (elseBranch)
        result += "else{<" + text(elseBranch) + ">}";
    return result;
}

std::string KolmSwitchBlock::toString() const
{
    return "switch by <" + text(condition) + "> with " + std::to_string(branches.size()) + " branches";
}

std::string KolmSwitchBranch::toString() const
{
    return "branch at <" + text(caseValue) + "> : {<" + text(statements) + ">}";
}

std::string KolmInclude::toString() const
{
    return "include:" + name + "@" + (system ? "abs" : "rel");
}

std::string KolmDefine::toString() const
{
    return "define:" + key + "->" + value;
}

std::string KolmUndefine::toString() const
{
    return "undef:" + key;
}

namespace kolm_ast {

std::string quoted(const KolmNode *node)
{
    if (!node)
        return "null";
    // Every node spells at least one character of its own.
    g_quoteNodes = int(kConsoleQuoteLimit);
    const std::string full = node->toString();
    g_quoteNodes = -1;
    return console_quote(full);
}

} // namespace kolm_ast
