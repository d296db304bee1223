#ifndef KOLM_AST_STATEMENTS_H
#define KOLM_AST_STATEMENTS_H

// Statement nodes of the syntax tree: statements, blocks, declarations,
// loops, conditionals, switches and the preprocessor statements that the
// scanner passes on. Children are owned, as in the expression nodes.

#include "ast_expressions.h"

namespace kolm {
class Compiler;
}

class KolmStatement : public KolmNode
{
public:
    explicit KolmStatement(const kolm::location *loc) : KolmNode(loc) {}
};

using KolmStatementList = std::vector<KolmStatement *>;

class KolmExpressionStatement : public KolmStatement
{
public:
    KolmExpressionStatement(KolmExpression *expression, const kolm::location *loc);
    ~KolmExpressionStatement() override;
    int type() const override { return 9; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmExpression *expression; // null for an empty statement
};

// goto, continue, break and return.
class KolmJumpStatement : public KolmStatement
{
public:
    KolmJumpStatement(int op, KolmExpression *operand, const kolm::location *loc);
    ~KolmJumpStatement() override;
    int type() const override { return 10; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    std::string opString() const;

    int op;
    KolmExpression *operand; // the label of a goto, the value of a return
};

class KolmLabelStatement : public KolmStatement
{
public:
    KolmLabelStatement(KolmLabelIdentifier *label, KolmStatement *statement, const kolm::location *loc);
    ~KolmLabelStatement() override;
    int type() const override { return 16; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmLabelIdentifier *label;
    KolmStatement *statement;
};

// A list of statements; also the root of a parsed file.
class KolmBlock : public KolmStatement
{
public:
    explicit KolmBlock(const kolm::location *loc) : KolmStatement(loc) {}
    ~KolmBlock() override;
    int type() const override { return 23; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmStatementList statements;
};

// A braced block: its declarations first, then its statements; also a
// declaration at file level.
class KolmCompoundBlock : public KolmStatement
{
public:
    KolmCompoundBlock(KolmStatementList *declarations, KolmStatement *statements, const kolm::location *loc);
    ~KolmCompoundBlock() override;
    int type() const override { return 24; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmStatementList *declarations; // may be null
    KolmStatement *statements;       // a KolmBlock, may be null
};

class KolmBaseDeclaration : public KolmStatement
{
public:
    explicit KolmBaseDeclaration(const kolm::location *loc) : KolmStatement(loc) {}
    // Warns that the declared variable is never used.
    void unused() const;
};

class KolmVariableDeclaration : public KolmBaseDeclaration
{
public:
    KolmVariableDeclaration(KolmExpression *name, KolmExpression *initialValue, const kolm::location *loc);
    ~KolmVariableDeclaration() override;
    int type() const override { return 25; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmExpression *name;
    KolmExpression *initialValue;
};

class KolmStaticArray : public KolmBaseDeclaration
{
public:
    KolmStaticArray(KolmExpression *name, KolmExpressionList *members, const kolm::location *loc);
    ~KolmStaticArray() override;
    int type() const override { return 26; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmExpression *name;
    KolmExpressionList *members; // KolmConstantExpression nodes
};

// A function prototype (no body) or definition.
class KolmFunctionDeclaration : public KolmStatement
{
public:
    KolmFunctionDeclaration(KolmExpression *name, KolmStatementList *arguments, KolmStatement *body,
                            const kolm::location *loc);
    ~KolmFunctionDeclaration() override;
    int type() const override { return 27; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmExpression *name;
    KolmStatementList *arguments; // KolmVariableDeclaration nodes; may be null
    KolmStatement *body;          // null for a prototype
};

class KolmLoopStatement : public KolmStatement
{
public:
    explicit KolmLoopStatement(const kolm::location *loc) : KolmStatement(loc) {}
};

class KolmWhileLoop : public KolmLoopStatement
{
public:
    KolmWhileLoop(KolmExpression *condition, KolmStatement *body, const kolm::location *loc);
    ~KolmWhileLoop() override;
    int type() const override { return 28; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmExpression *condition;
    KolmStatement *body;
};

class KolmDoWhileLoop : public KolmLoopStatement
{
public:
    KolmDoWhileLoop(KolmExpression *condition, KolmStatement *body, const kolm::location *loc);
    ~KolmDoWhileLoop() override;
    int type() const override { return 29; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmExpression *condition;
    KolmStatement *body;
};

// The declarations that start a for loop.
class KolmForLoopDeclarations : public KolmStatement
{
public:
    KolmForLoopDeclarations(KolmStatementList *declarations, const kolm::location *loc);
    ~KolmForLoopDeclarations() override;
    int type() const override { return 30; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmStatementList *declarations;
};

// if, with an optional else.
class KolmConditional : public KolmStatement
{
public:
    KolmConditional(KolmExpression *condition, KolmStatement *thenBranch, KolmStatement *elseBranch,
                    const kolm::location *loc);
    ~KolmConditional() override;
    int type() const override { return 31; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmExpression *condition;
    KolmStatement *thenBranch;
    KolmStatement *elseBranch;
};

class KolmSwitchBlock : public KolmStatement
{
public:
    KolmSwitchBlock(KolmExpression *condition, const kolm::location *loc);
    ~KolmSwitchBlock() override;
    int type() const override { return 32; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    // Takes the statement after the condition and regroups its statements
    // into the branches; the statement itself is freed. False (reported)
    // for a body that is no plain braced block of statements or holds a
    // statement before the first case label.
    bool parseBody(KolmStatement *body);

    KolmExpression *condition;
    bool bodyValid = false;
    KolmStatementList branches; // KolmSwitchBranch nodes, in source order
    KolmStatementList strays;   // statements before the first branch
};

// case VALUE: or default:, with the statements up to the next label.
class KolmSwitchBranch : public KolmStatement
{
public:
    KolmSwitchBranch(KolmExpression *caseValue, const kolm::location *loc);
    ~KolmSwitchBranch() override;
    int type() const override { return 33; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    // Reports this branch as a second one with its value, or as a second
    // default branch.
    void errorDuplicate() const;

    KolmExpression *caseValue; // null for default
    KolmBlock *statements;
};

class KolmForLoop : public KolmLoopStatement
{
public:
    KolmForLoop(KolmStatement *initialisation, KolmExpression *condition, KolmExpression *step,
                KolmStatement *body, const kolm::location *loc);
    ~KolmForLoop() override;
    int type() const override { return 34; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    KolmStatement *initialisation;
    KolmExpression *condition; // the expression of the condition's statement
    KolmExpression *step;
    KolmStatement *body;
};

// #include "name" or #include <name>.
class KolmInclude : public KolmStatement
{
public:
    // The text is the name followed by its closing delimiter.
    KolmInclude(const std::string &text, const kolm::location *loc);
    ~KolmInclude() override;
    int type() const override { return 35; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    bool system = false;
    std::string name;
    kolm::Compiler *compiler = nullptr; // the included file's driver, once run
};

class KolmDefine : public KolmStatement
{
public:
    KolmDefine(const std::string &key, const std::string &value, const kolm::location *loc)
        : KolmStatement(loc), key(key), value(value)
    {
    }
    int type() const override { return 36; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isLiteral() const;

    std::string key;
    std::string value; // as written; a literal keeps its quotes
};

class KolmUndefine : public KolmStatement
{
public:
    KolmUndefine(const std::string &key, const kolm::location *loc) : KolmStatement(loc), key(key) {}
    int type() const override { return 37; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    std::string key;
};

#endif
