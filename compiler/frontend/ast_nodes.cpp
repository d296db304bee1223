// Construction and destruction of the syntax tree's nodes: every node
// deletes the children it owns.

#include "ast.h"
#include "lexer.h"

KolmTernaryExpression::KolmTernaryExpression(KolmExpression *condition, KolmExpression *ifTrue,
                                             KolmExpression *ifFalse, const kolm::location *loc)
    : KolmExpression(loc), condition(condition), ifTrue(ifTrue), ifFalse(ifFalse)
{
}

KolmTernaryExpression::~KolmTernaryExpression()
{
    delete condition;
    delete ifTrue;
    delete ifFalse;
}

KolmComparisonExpression::KolmComparisonExpression(int op, KolmExpression *left, KolmExpression *right,
                                                   const kolm::location *loc)
    : KolmExpression(loc), op(op), left(left), right(right)
{
}

KolmComparisonExpression::~KolmComparisonExpression()
{
    delete left;
    delete right;
}

KolmBinaryOp::KolmBinaryOp(int op, KolmExpression *left, KolmExpression *right, const kolm::location *loc)
    : KolmExpression(loc), op(op), left(left), right(right)
{
}

KolmBinaryOp::~KolmBinaryOp()
{
    delete left;
    delete right;
}

KolmUnaryOp::KolmUnaryOp(int op, KolmExpression *operand, const kolm::location *loc)
    : KolmExpression(loc), op(op), operand(operand)
{
}

KolmUnaryOp::~KolmUnaryOp()
{
    delete operand;
}

KolmPostfixOp::KolmPostfixOp(KolmExpression *operand, int op, const kolm::location *loc)
    : KolmExpression(loc), operand(operand), op(op)
{
}

KolmPostfixOp::~KolmPostfixOp()
{
    delete operand;
}

KolmSizeof::KolmSizeof(KolmExpression *argument, const kolm::location *loc) : KolmExpression(loc), argument(argument)
{
}

KolmSizeof::~KolmSizeof()
{
    delete argument;
}

KolmConstantExpression::KolmConstantExpression(KolmExpression *expression, const kolm::location *loc)
    : KolmExpression(loc), expression(expression)
{
}

KolmConstantExpression::~KolmConstantExpression()
{
    delete expression;
}

KolmCompoundExpression::~KolmCompoundExpression()
{
    for (auto *expression : expressions)
        delete expression;
}

KolmFunctionCall::KolmFunctionCall(KolmExpression *callee, KolmExpressionList *arguments, const kolm::location *loc)
    : KolmExpression(loc), callee(callee), arguments(arguments)
{
}

KolmFunctionCall::~KolmFunctionCall()
{
    delete callee;
    deleteNodeList(arguments);
}

KolmArrayElement::KolmArrayElement(KolmExpression *array, KolmExpression *index, const kolm::location *loc)
    : KolmBaseIdentifier(loc), array(array), index(index)
{
}

KolmArrayElement::~KolmArrayElement()
{
    delete array;
    delete index;
}

KolmAssignmentExpression::KolmAssignmentExpression(int op, KolmExpression *target, KolmExpression *value,
                                                   const kolm::location *loc)
    : KolmAssignment(loc), op(op), target(target), value(value)
{
}

KolmAssignmentExpression::~KolmAssignmentExpression()
{
    delete target;
    delete value;
}

KolmExpressionStatement::KolmExpressionStatement(KolmExpression *expression, const kolm::location *loc)
    : KolmStatement(loc), expression(expression)
{
}

KolmExpressionStatement::~KolmExpressionStatement()
{
    delete expression;
}

KolmJumpStatement::KolmJumpStatement(int op, KolmExpression *operand, const kolm::location *loc)
    : KolmStatement(loc), op(op), operand(operand)
{
}

KolmJumpStatement::~KolmJumpStatement()
{
    delete operand;
}

KolmLabelStatement::KolmLabelStatement(KolmLabelIdentifier *label, KolmStatement *statement,
                                       const kolm::location *loc)
    : KolmStatement(loc), label(label), statement(statement)
{
}

KolmLabelStatement::~KolmLabelStatement()
{
    delete label;
    label = nullptr;
    delete statement;
    statement = nullptr;
}

KolmBlock::~KolmBlock()
{
    for (auto *statement : statements)
        delete statement;
}

KolmCompoundBlock::KolmCompoundBlock(KolmStatementList *declarations, KolmStatement *statements,
                                     const kolm::location *loc)
    : KolmStatement(loc), declarations(declarations), statements(statements)
{
}

KolmCompoundBlock::~KolmCompoundBlock()
{
    deleteNodeList(declarations);
    delete statements;
}

KolmVariableDeclaration::KolmVariableDeclaration(KolmExpression *name, KolmExpression *initialValue,
                                                 const kolm::location *loc)
    : KolmBaseDeclaration(loc), name(name), initialValue(initialValue)
{
}

KolmVariableDeclaration::~KolmVariableDeclaration()
{
    delete name;
    delete initialValue;
}

KolmStaticArray::KolmStaticArray(KolmExpression *name, KolmExpressionList *members, const kolm::location *loc)
    : KolmBaseDeclaration(loc), name(name), members(members)
{
}

KolmStaticArray::~KolmStaticArray()
{
    delete name;
    deleteNodeList(members);
}

KolmFunctionDeclaration::KolmFunctionDeclaration(KolmExpression *name, KolmStatementList *arguments,
                                                 KolmStatement *body, const kolm::location *loc)
    : KolmStatement(loc), name(name), arguments(arguments), body(body)
{
}

KolmFunctionDeclaration::~KolmFunctionDeclaration()
{
    delete name;
    deleteNodeList(arguments);
    delete body;
}

KolmWhileLoop::KolmWhileLoop(KolmExpression *condition, KolmStatement *body, const kolm::location *loc)
    : KolmLoopStatement(loc), condition(condition), body(body)
{
}

KolmWhileLoop::~KolmWhileLoop()
{
    delete condition;
    delete body;
}

KolmDoWhileLoop::KolmDoWhileLoop(KolmExpression *condition, KolmStatement *body, const kolm::location *loc)
    : KolmLoopStatement(loc), condition(condition), body(body)
{
}

KolmDoWhileLoop::~KolmDoWhileLoop()
{
    delete condition;
    delete body;
}

KolmForLoopDeclarations::KolmForLoopDeclarations(KolmStatementList *declarations, const kolm::location *loc)
    : KolmStatement(loc), declarations(declarations)
{
}

KolmForLoopDeclarations::~KolmForLoopDeclarations()
{
    deleteNodeList(declarations);
}

KolmConditional::KolmConditional(KolmExpression *condition, KolmStatement *thenBranch, KolmStatement *elseBranch,
                                 const kolm::location *loc)
    : KolmStatement(loc), condition(condition), thenBranch(thenBranch), elseBranch(elseBranch)
{
}

KolmConditional::~KolmConditional()
{
    delete condition;
    delete thenBranch;
    delete elseBranch;
}

KolmSwitchBlock::KolmSwitchBlock(KolmExpression *condition, const kolm::location *loc)
    : KolmStatement(loc), condition(condition)
{
}

KolmSwitchBlock::~KolmSwitchBlock()
{
    delete condition;
    for (auto *branch : branches)
        delete branch;
    for (auto *stray : strays)
        delete stray;
}

KolmSwitchBranch::KolmSwitchBranch(KolmExpression *caseValue, const kolm::location *loc)
    : KolmStatement(loc), caseValue(caseValue), statements(new KolmBlock(loc))
{
}

KolmSwitchBranch::~KolmSwitchBranch()
{
    delete caseValue;
    delete statements;
}

KolmForLoop::KolmForLoop(KolmStatement *initialisation, KolmExpression *condition, KolmExpression *step,
                         KolmStatement *body, const kolm::location *loc)
    : KolmLoopStatement(loc), initialisation(initialisation), condition(condition), step(step), body(body)
{
}

KolmForLoop::~KolmForLoop()
{
    delete initialisation;
    delete condition;
    delete step;
    delete body;
}

KolmInclude::KolmInclude(const std::string &text, const kolm::location *loc) : KolmStatement(loc), name(text)
{
    if (!name.empty() && (name.back() == '"' || name.back() == '>')) {
        system = name.back() == '>';
        name.pop_back();
    }
}

KolmInclude::~KolmInclude()
{
    delete compiler;
}

bool KolmDefine::isLiteral() const
{
    return !value.empty() && value.front() == '"';
}
