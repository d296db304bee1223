#include "kolm_node.h"

#include "console_printer.h"
#include "kolm_gen_context.h"

KolmNode::~KolmNode() = default;

bool KolmNode::compile(KolmGenContext *ctx, std::ostream *out)
{
    ctx->beginNodeCompile(this, out);
    const bool result = compileAsm(ctx, out);
    std::string message;
    if (!ctx->endNodeCompile(this, out, message)) {
        console_output("kcc", "error", CONSOLE_RED,
                       "%s: internal error - debug stack corruption, error was: %s\n",
                       location().c_str(), message.c_str());
        return false;
    }
    return result;
}

std::string KolmNode::location() const
{
    return file + ":" + std::to_string(beginLine) + ":" + std::to_string(beginColumn);
}

std::string KolmNode::typeName(int code)
{
    static const char *const names[] = {
        "ternary_op",      "comparison",       "binary_op",       "unary_op",
        "postfix",         "sizeof",           "ABI",             "constant_expr",
        "compound_expr",   "expression_stmt",  "jump_stmt",       "immediate value",
        "identifier",      "unknown_type",     "unknown_type",    "label",
        "unknown_type",    "string literal",   "function call",   "array element",
        "variable_assignement", "assignment_expr", "array_assignment", "block_stmt",
        "compound_block",  "variable_decl",    "static_array",    "function_decl",
        "while-loop",      "do-while-loop",    "unknown_type",    "conditional_expr",
        "switch_stmt",     "switch_branch",    "for-loop",        "unknown_type",
        "unknown_type",    "unknown_type",     "user_type",
    };
    if (code < 0 || size_t(code) >= sizeof names / sizeof names[0])
        return "unknown_type";
    return names[code];
}
