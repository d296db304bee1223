#ifndef KOLM_AST_DIAGNOSTICS_H
#define KOLM_AST_DIAGNOSTICS_H

// Diagnostics and small helpers shared by the tree's passes. Every message
// begins with the location of the node it is about.

#include "console_printer.h"
#include "kolm_gen_context.h"
#include "kolm_node.h"
#include "kolm_opcodes.h"

#include <string>

class KolmIdentifier;

namespace kolm_ast {

inline const char *formatArgument(const std::string &text)
{
    return text.c_str();
}
inline const char *formatArgument(const char *text)
{
    return text;
}
inline int formatArgument(int value)
{
    return value;
}
inline unsigned formatArgument(unsigned value)
{
    return value;
}

// Prints an error at the node; always false, so `return error(...)` fails.
template <class... Args>
bool error(const KolmNode &node, const char *format, const Args &...args)
{
    console_output("kcc", "error", CONSOLE_RED, format, node.location().c_str(), formatArgument(args)...);
    return false;
}

template <class... Args>
void warning(const KolmNode &node, const char *format, const Args &...args)
{
    console_output("kcc", "warning", CONSOLE_YELLOW, format, node.location().c_str(), formatArgument(args)...);
}

// The node's text form as a diagnostic quotes it: at most
// kConsoleQuoteLimit characters; "null" for no node.
std::string quoted(const KolmNode *node);

// One line of the failure's trace, which the printer keeps short.
inline bool whileCompiling(const KolmNode &node)
{
    console_trace("kcc", "error", CONSOLE_RED, "%s: while compiling %s\n", node.location().c_str(),
                  quoted(&node).c_str());
    return false;
}

inline bool poolExhausted(const KolmNode &node)
{
    return error(node, "%s: too complex code - machine registers pool exhausted\n");
}

// At a non-zero optimisation level a constant node's code is its value
// loaded into r0; true when that was written.
inline bool emitFolded(const KolmNode &node, KolmGenContext *ctx, std::ostream *out)
{
    if (ctx->optimizeLevel == 0 || !node.isCompileTimeConstant(ctx))
        return false;
    ctx->write_sto(kolm_isa::REG_EAX, node.compileTimeValue(ctx), out);
    return true;
}

// Gives a node made by the compiler the source position of another.
inline void copyLocation(KolmNode &to, const KolmNode &from)
{
    to.file = from.file;
    to.beginLine = from.beginLine;
    to.beginColumn = from.beginColumn;
    to.endLine = from.endLine;
    to.endColumn = from.endColumn;
}

// Compiles, at an identifier's place, the peripheral register that its
// PERIPHERAL.REGISTER name stands for, used as the access mode says.
bool compileNamedRegister(const KolmIdentifier &identifier, int accessMode, KolmGenContext *ctx, std::ostream *out);

} // namespace kolm_ast

#endif
