// Code generation of the statement nodes that this compiler does not
// generate yet: each reports the node and fails the build, so a
// script using them never yields an image.

#include "ast.h"
#include "console_printer.h"

namespace {

bool notYet(const KolmNode &node)
{
    console_output("kcc", "error", CONSOLE_RED, "%s: code generation for %s is not available yet\n",
                   node.location().c_str(), KolmNode::typeName(node.type()).c_str());
    return false;
}

} // namespace

bool KolmJumpStatement::compileAsm(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmVariableDeclaration::compileAsm(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmFunctionDeclaration::compileAsm(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmWhileLoop::compileAsm(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmDoWhileLoop::compileAsm(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmConditional::compileAsm(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmSwitchBlock::compileAsm(KolmGenContext *, std::ostream *) { return notYet(*this); }

bool KolmExpressionStatement::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmLabelIdentifier::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmLabelStatement::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmCompoundBlock::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmStaticArray::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmForLoopDeclarations::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmForLoop::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
bool KolmInclude::compile(KolmGenContext *, std::ostream *) { return notYet(*this); }
