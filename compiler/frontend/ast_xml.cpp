// The XML dumps of the nodes: leaf elements with attributes, container
// elements with their children one level deeper.

#include "ast.h"

namespace {

void child(const KolmNode *node, int indent, int level, std::ostream *out)
{
    if (node)
        node->toXML(indent, level, out);
    else
        KolmNode::nullToXML(indent, level, out);
}

void operatorXML(int code, const std::string &text, int indent, int level, std::ostream *out)
{
    KolmNode::io_pad(indent, level, out);
    *out << "<Operator code=\"" << code << "\" value=\"" << text << "\" />\n";
}

// A wrapper element holding a list, its items one level deeper.
template <class List>
void listXML(const char *name, const List *list, int indent, int level, std::ostream *out)
{
    KolmNode::io_pad(indent, level, out);
    *out << "<" << name << ">\n";
    if (list)
        for (const auto *item : *list)
            child(item, indent, level + 1, out);
    KolmNode::io_pad(indent, level, out);
    *out << "</" << name << ">\n";
}

// The opening of a leaf element up to its own attributes.
void leafHead(const KolmNode &node, const char *name, int indent, int level, std::ostream *out)
{
    KolmNode::io_pad(indent, level, out);
    *out << "<" << name << " ";
    node.locationXML(out);
}

// A container element around the children that `body` writes.
template <class Body>
void container(const KolmNode &node, const char *name, int indent, int level, std::ostream *out, Body body)
{
    KolmNode::io_pad(indent, level, out);
    node.headXML(name, out, false);
    body();
    KolmNode::io_pad(indent, level, out);
    node.tailXML(name, out);
}

} // namespace

void KolmInteger::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Integer", indent, level, out);
    *out << " value=\"" << value << "\" />\n";
}

void KolmIdentifier::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Identifier", indent, level, out);
    *out << " name=\"" << name << "\" class=\"" << className() << "\" />\n";
}

void KolmLabelIdentifier::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Label", indent, level, out);
    *out << " name=\"" << name << "\" />\n";
}

void KolmPeriphRegister::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Register", indent, level, out);
    *out << " periphery=\"" << peripheral << "\" register=\"" << reg << "\" />\n";
}

void KolmLiteral::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Literal", indent, level, out);
    *out << " value=" << text.c_str() << " />\n";
}

void KolmStaticSizeof::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Sizeof", indent, level, out);
    *out << " argument=\"var\" />\n";
}

void KolmInclude::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Include", indent, level, out);
    *out << " name=\"" << name << "\" relative=\"" << (system ? "false" : "true") << "\" />\n";
}

void KolmDefine::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Define", indent, level, out);
    const bool literal = isLiteral();
    const std::string shown = literal && value.size() >= 2 ? value.substr(1, value.size() - 2) : value;
    *out << " key=\"" << key << "\" value=\"" << shown << "\" literal=\"" << (literal ? "true" : "false")
         << "\" />\n";
}

void KolmUndefine::toXML(int indent, int level, std::ostream *out) const
{
    leafHead(*this, "Undef", indent, level, out);
    *out << " key=\"" << key << "\" />\n";
}

void KolmTernaryExpression::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "Ternary", indent, level, out, [&] {
        child(condition, indent, level + 1, out);
        child(ifTrue, indent, level + 1, out);
        child(ifFalse, indent, level + 1, out);
    });
}

void KolmComparisonExpression::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "Comparison", indent, level, out, [&] {
        child(left, indent, level + 1, out);
        operatorXML(op, opString(), indent, level + 1, out);
        child(right, indent, level + 1, out);
    });
}

void KolmBinaryOp::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "BinaryOp", indent, level, out, [&] {
        child(left, indent, level + 1, out);
        operatorXML(op, opString(), indent, level + 1, out);
        child(right, indent, level + 1, out);
    });
}

void KolmAssignmentExpression::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "AssignmentExpression", indent, level, out, [&] {
        child(target, indent, level + 1, out);
        operatorXML(op, opString(), indent, level + 1, out);
        child(value, indent, level + 1, out);
    });
}

void KolmUnaryOp::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "UnaryOp", indent, level, out, [&] {
        operatorXML(op, opString(), indent, level + 1, out);
        child(operand, indent, level + 1, out);
    });
}

void KolmPostfixOp::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "Postfix", indent, level, out, [&] {
        child(operand, indent, level + 1, out);
        operatorXML(op, opString(), indent, level + 1, out);
    });
}

void KolmJumpStatement::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "JumpStatement", indent, level, out, [&] {
        operatorXML(op, opString(), indent, level + 1, out);
        child(operand, indent, level + 1, out);
    });
}

void KolmSizeof::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "Sizeof", indent, level, out, [&] { child(argument, indent, level + 1, out); });
}

void KolmConstantExpression::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "ConstantExpression", indent, level, out, [&] { child(expression, indent, level + 1, out); });
}

void KolmCompoundExpression::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "CompoundExpression", indent, level, out, [&] {
        for (const auto *expression : expressions)
            child(expression, indent, level + 1, out);
    });
}

void KolmExpressionStatement::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "ExpressionStatement", indent, level, out, [&] { child(expression, indent, level + 1, out); });
}

void KolmLabelStatement::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "LabelStatement", indent, level, out, [&] {
        child(label, indent, level + 1, out);
        child(statement, indent, level + 1, out);
    });
}

void KolmFunctionCall::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "Call", indent, level, out, [&] {
        child(callee, indent, level + 1, out);
        listXML("Arguments", arguments, indent, level + 1, out);
    });
}

void KolmArrayElement::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "ArrayElement", indent, level, out, [&] {
        child(array, indent, level + 1, out);
        child(index, indent, level + 1, out);
    });
}

void KolmBlock::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "Block", indent, level, out, [&] {
        for (const auto *statement : statements)
            child(statement, indent, level + 1, out);
    });
}

void KolmCompoundBlock::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "CompoundBlock", indent, level, out, [&] {
        listXML("Declarations", declarations, indent, level + 1, out);
        child(statements, indent, level + 1, out);
    });
}

void KolmVariableDeclaration::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "VariableDeclaration", indent, level, out, [&] {
        child(name, indent, level + 1, out);
        operatorXML(kolm::Token::Equals, "=", indent, level + 1, out);
        child(initialValue, indent, level + 1, out);
    });
}

void KolmStaticArray::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "StaticArray", indent, level, out, [&] {
        child(name, indent, level + 1, out);
        listXML("Members", members, indent, level + 1, out);
    });
}

void KolmFunctionDeclaration::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "FunctionDeclaration", indent, level, out, [&] {
        child(name, indent, level + 1, out);
        listXML("Arguments", arguments, indent, level + 1, out);
        if (body) {
            const KolmStatementList list{body};
            listXML("Body", &list, indent, level + 1, out);
        }
    });
}

void KolmWhileLoop::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "While", indent, level, out, [&] {
        child(condition, indent, level + 1, out);
        child(body, indent, level + 1, out);
    });
}

void KolmDoWhileLoop::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "DoWhile", indent, level, out, [&] {
        child(body, indent, level + 1, out);
        child(condition, indent, level + 1, out);
    });
}

void KolmForLoopDeclarations::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "ForLoopDeclarations", indent, level, out, [&] {
        if (declarations)
            for (const auto *declaration : *declarations)
                child(declaration, indent, level + 1, out);
    });
}

void KolmConditional::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "IfElse", indent, level, out, [&] {
        child(condition, indent, level + 1, out);
        child(thenBranch, indent, level + 1, out);
        child(elseBranch, indent, level + 1, out);
    });
}

void KolmSwitchBlock::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "Switch", indent, level, out, [&] {
        child(condition, indent, level + 1, out);
        listXML("Branches", &branches, indent, level + 1, out);
    });
}

void KolmSwitchBranch::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "SwitchBranch", indent, level, out, [&] {
        child(caseValue, indent, level + 1, out);
        child(statements, indent, level + 1, out);
    });
}

void KolmForLoop::toXML(int indent, int level, std::ostream *out) const
{
    container(*this, "For", indent, level, out, [&] {
        const std::vector<const KolmNode *> header{initialisation, condition, step};
        listXML("Header", &header, indent, level + 1, out);
        child(body, indent, level + 1, out);
    });
}
