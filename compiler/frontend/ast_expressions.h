#ifndef KOLM_AST_EXPRESSIONS_H
#define KOLM_AST_EXPRESSIONS_H

// Expression nodes of the syntax tree. Every constructor takes the parser's
// location of the rule that builds the node as its last argument (null for
// a node made elsewhere). Children are owned: a node deletes them with
// itself. Operator codes are the parser's token numbers.

#include "kolm_location.hh"
#include "kolm_node.h"
#include "kolm_tokens.h"

#include <cstdint>
#include <string>
#include <vector>

class KolmExpression : public KolmNode
{
public:
    explicit KolmExpression(const kolm::location *loc) : KolmNode(loc) {}

    // Levels of expression nodes from this one down to its deepest leaf,
    // kept by the parser to bound the recursion of the later passes.
    int depth = 1;
    // Set once constant folding found the value unknown at compile time.
    mutable bool foundVariable = false;
};

using KolmExpressionList = std::vector<KolmExpression *>;

class KolmIdentifier;

// Deletes the elements of a list and the list itself.
template <class List>
void deleteNodeList(List *list)
{
    if (!list)
        return;
    for (auto *node : *list)
        delete node;
    delete list;
}

class KolmTernaryExpression : public KolmExpression
{
public:
    KolmTernaryExpression(KolmExpression *condition, KolmExpression *ifTrue, KolmExpression *ifFalse,
                          const kolm::location *loc);
    ~KolmTernaryExpression() override;
    int type() const override { return 0; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;

    KolmExpression *condition;
    KolmExpression *ifTrue;
    KolmExpression *ifFalse;
};

// Comparisons and the two logical operators.
class KolmComparisonExpression : public KolmExpression
{
public:
    KolmComparisonExpression(int op, KolmExpression *left, KolmExpression *right, const kolm::location *loc);
    ~KolmComparisonExpression() override;
    int type() const override { return 1; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    std::string opString() const;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;
    // Writes the compare of two registers into r0; false (reported) for an
    // operator that is no comparison.
    bool do_compare(unsigned char left, unsigned char right, KolmGenContext *ctx, std::ostream *out) const;

    int op;
    KolmExpression *left;
    KolmExpression *right;
};

// A comparison whose operator code its class fixes.
template <int Code>
class KolmComparisonWith : public KolmComparisonExpression
{
public:
    KolmComparisonWith(KolmExpression *left, KolmExpression *right, const kolm::location *loc)
        : KolmComparisonExpression(Code, left, right, loc)
    {
    }
};

using KolmLogicalOrExpression = KolmComparisonWith<kolm::Token::CondOr>;
using KolmLogicalAndExpression = KolmComparisonWith<kolm::Token::CondAnd>;
using KolmEqualsExpression = KolmComparisonWith<kolm::Token::CondEq>;
using KolmNotEqualsExpression = KolmComparisonWith<kolm::Token::CondNeq>;
using KolmLessThanExpression = KolmComparisonWith<kolm::Token::CondLess>;
using KolmLessEqualsExpression = KolmComparisonWith<kolm::Token::CondLessEq>;
using KolmGreaterThanExpression = KolmComparisonWith<kolm::Token::CondGreat>;
using KolmGreaterEqualsExpression = KolmComparisonWith<kolm::Token::CondGreatEq>;
using KolmInExpression = KolmComparisonWith<kolm::Token::CondIn>;

// Arithmetic, bitwise and shift operators.
class KolmBinaryOp : public KolmExpression
{
public:
    KolmBinaryOp(int op, KolmExpression *left, KolmExpression *right, const kolm::location *loc);
    ~KolmBinaryOp() override;
    int type() const override { return 2; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    std::string opString() const;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;

    int op;
    KolmExpression *left;
    KolmExpression *right;
};

// A two-operand operator whose code its class fixes.
template <int Code>
class KolmBinaryOpWith : public KolmBinaryOp
{
public:
    KolmBinaryOpWith(KolmExpression *left, KolmExpression *right, const kolm::location *loc)
        : KolmBinaryOp(Code, left, right, loc)
    {
    }
};

using KolmInclusiveOrExpression = KolmBinaryOpWith<kolm::Token::MathOr>;
using KolmExclusiveOrExpression = KolmBinaryOpWith<kolm::Token::MathXor>;
using KolmAndExpression = KolmBinaryOpWith<kolm::Token::MathAnd>;
using KolmShiftLeftExpression = KolmBinaryOpWith<kolm::Token::MathShl>;
using KolmShiftRightExpression = KolmBinaryOpWith<kolm::Token::MathShr>;

class KolmUnaryOp : public KolmExpression
{
public:
    KolmUnaryOp(int op, KolmExpression *operand, const kolm::location *loc);
    ~KolmUnaryOp() override;
    int type() const override { return 3; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    std::string opString() const;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;
    // &name: the address of a variable, a function or a peripheral register.
    bool addressOfVariable(KolmIdentifier *identifier, KolmGenContext *ctx, std::ostream *out);
    // *name: the value at the address that a variable holds.
    bool valueOf(KolmIdentifier *identifier, KolmGenContext *ctx, std::ostream *out);

    int op;
    KolmExpression *operand;
};

class KolmPostfixOp : public KolmExpression
{
public:
    KolmPostfixOp(KolmExpression *operand, int op, const kolm::location *loc);
    ~KolmPostfixOp() override;
    int type() const override { return 4; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    std::string opString() const;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;

    KolmExpression *operand;
    int op;
};

class KolmSizeof : public KolmExpression
{
public:
    KolmSizeof(KolmExpression *argument, const kolm::location *loc);
    ~KolmSizeof() override;
    int type() const override { return 5; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;

    KolmExpression *argument;
};

// sizeof(var): the platform's integer size.
class KolmStaticSizeof : public KolmExpression
{
public:
    explicit KolmStaticSizeof(const kolm::location *loc) : KolmExpression(loc) {}
    int type() const override { return 6; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
};

// A case value or a static array member.
class KolmConstantExpression : public KolmExpression
{
public:
    KolmConstantExpression(KolmExpression *expression, const kolm::location *loc);
    ~KolmConstantExpression() override;
    int type() const override { return 7; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;
    // Reports a constant expression without its expression.
    void nullExpression() const;

    KolmExpression *expression;
};

// The comma operator's list; every parsed expression is one.
class KolmCompoundExpression : public KolmExpression
{
public:
    explicit KolmCompoundExpression(const kolm::location *loc) : KolmExpression(loc) {}
    ~KolmCompoundExpression() override;
    int type() const override { return 8; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;

    KolmExpressionList expressions;
};

class KolmInteger : public KolmExpression
{
public:
    explicit KolmInteger(const kolm::location *loc) : KolmExpression(loc) {}
    int type() const override { return 11; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;

    // Reads an unsigned number in the base given (2 to 36), or with base 0
    // a character constant or a number with automatic base. Reports a text
    // that is no number and returns false.
    bool setValue(const std::string &text, int base);
    // Reads a character constant between apostrophes; false (reported for
    // a bad escape) when the text is none.
    bool setConstant(const std::string &text);

    uint32_t value = 0;
    bool valid = false;
};

class KolmBaseIdentifier : public KolmExpression
{
public:
    explicit KolmBaseIdentifier(const kolm::location *loc) : KolmExpression(loc) {}
};

class KolmIdentifier : public KolmBaseIdentifier
{
public:
    // Identifier classes, set by the precompile pass.
    enum Class { Plain = 0, Array = 1, Integer = 2, Literal = 3, Periphery = 4 };

    KolmIdentifier(const std::string &name, const kolm::location *loc) : KolmBaseIdentifier(loc), name(name) {}
    int type() const override { return 12; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;

    bool isKeyword() const;
    bool isInternalFunction() const;
    std::string className() const;

    std::string name;
    int identifierClass = Plain;
    uint32_t value = 0;
};

// A register of the board package: PERIPHERAL.REGISTER.
class KolmPeriphRegister : public KolmBaseIdentifier
{
public:
    // How the code uses the register.
    enum Access { Store = 1, Load = 2, CallArgument = 3, Address = 4 };

    KolmPeriphRegister(const std::string &peripheral, const std::string &reg, const kolm::location *loc)
        : KolmBaseIdentifier(loc), peripheral(peripheral), reg(reg)
    {
    }
    int type() const override { return 14; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    bool isCompileTimeConstant(KolmGenContext *ctx) const override;
    uint32_t compileTimeValue(KolmGenContext *ctx) const override;

    // The register's address in the board package, 0 when it has none.
    uint32_t address(KolmGenContext *ctx) const;

    std::string peripheral;
    std::string reg;
    int accessMode = Load;
};

class KolmLabelIdentifier : public KolmIdentifier
{
public:
    KolmLabelIdentifier(const std::string &name, const kolm::location *loc) : KolmIdentifier(name, loc) {}
    int type() const override { return 15; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
};

// A string literal, after escape processing, still between its quotes.
class KolmLiteral : public KolmExpression
{
public:
    explicit KolmLiteral(const kolm::location *loc) : KolmExpression(loc) {}
    int type() const override { return 17; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compile(KolmGenContext *ctx, std::ostream *out) override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;

    // Stores the text with its escape sequences replaced; always true.
    bool setLiteral(const std::string &quoted);

    std::string text;
    bool valid = false;
    uint32_t address = 0; // where the static data placed it, once placed
};

class KolmFunctionCall : public KolmExpression
{
public:
    KolmFunctionCall(KolmExpression *callee, KolmExpressionList *arguments, const kolm::location *loc);
    ~KolmFunctionCall() override;
    int type() const override { return 18; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    // Evaluates an argument at run time and pushes it; kind becomes the
    // number kind unless the argument is an identifier.
    bool compileGenericParameter(KolmExpression *argument, int &kind, KolmGenContext *ctx, std::ostream *out);

    KolmExpression *callee;
    KolmExpressionList *arguments; // null for a call without arguments
};

class KolmArrayElement : public KolmBaseIdentifier
{
public:
    KolmArrayElement(KolmExpression *array, KolmExpression *index, const kolm::location *loc);
    ~KolmArrayElement() override;
    int type() const override { return 19; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;

    // What compile_int leaves in r0.
    enum CompileMode { Address = 0, Value = 1 };
    bool compile_int(KolmGenContext *ctx, std::ostream *out, CompileMode mode);
    // The element's address in r0, for the address-of operator.
    bool address(KolmGenContext *ctx, std::ostream *out);
    // Warns about a constant index beyond the end of the static array;
    // true when it did.
    bool warnArrayIndex(KolmGenContext *ctx) const;

    KolmExpression *array;
    KolmExpression *index;
};

class KolmAssignment : public KolmExpression
{
public:
    explicit KolmAssignment(const kolm::location *loc) : KolmExpression(loc) {}
};

class KolmAssignmentExpression : public KolmAssignment
{
public:
    KolmAssignmentExpression(int op, KolmExpression *target, KolmExpression *value, const kolm::location *loc);
    ~KolmAssignmentExpression() override;
    int type() const override { return 21; }
    std::string toString() const override;
    void toXML(int indent, int level, std::ostream *out) const override;
    bool compileAsm(KolmGenContext *ctx, std::ostream *out) override;
    std::string opString() const;
    bool precompile(KolmGenContext *ctx, const std::vector<kolm::ReplaceOp> &ops) override;
    // The in-place math opcode of the operator (the copy opcode for "=");
    // -1 and *ok false (reported) for an unknown operator.
    int8_t opCode(bool *ok) const;

    int op;
    KolmExpression *target;
    KolmExpression *value;
};

#endif
