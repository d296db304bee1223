#include "kolm_node.h"

#include "console_printer.h"
#include "kolm_gen_context.h"

int32_t kolm::mapLine(int32_t line, const std::vector<ReplaceOp> &ops, bool *inside)
{
    if (inside)
        *inside = false;
    for (auto op = ops.rbegin(); op != ops.rend(); ++op) {
        if (op->to_line > line)
            continue;
        if (op->to_count != 0 && line < op->to_line + op->to_count) {
            if (inside)
                *inside = true;
            return op->from_line;
        }
        return line - op->to_line + op->from_line + op->from_count - op->to_count;
    }
    return line;
}

namespace {

thread_local const std::vector<kolm::ReplaceOp> *g_parsingLines = nullptr;

} // namespace

kolm::ParsingLineMapping::ParsingLineMapping(const std::vector<ReplaceOp> *ops) : m_previous(g_parsingLines)
{
    g_parsingLines = ops;
}

kolm::ParsingLineMapping::~ParsingLineMapping()
{
    g_parsingLines = m_previous;
}

const std::vector<kolm::ReplaceOp> *kolm::ParsingLineMapping::current()
{
    return g_parsingLines;
}

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

bool KolmNode::precompile(KolmGenContext *, const std::vector<kolm::ReplaceOp> &ops)
{
    bool inside = false;
    beginLine = kolm::mapLine(beginLine, ops, &inside);
    if (inside)
        beginColumn = 0;
    endLine = kolm::mapLine(endLine, ops, &inside);
    if (inside)
        endColumn = 0;
    return true;
}

bool KolmNode::isCompileTimeConstant(KolmGenContext *) const
{
    return false;
}

uint32_t KolmNode::compileTimeValue(KolmGenContext *) const
{
    return 0;
}

void KolmNode::locationXML(std::ostream *out) const
{
    *out << "file=\"" << file << "\" bline=\"" << beginLine << "\" bcol=\"" << beginColumn << "\" eline=\""
         << endLine << "\" ecol=\"" << endColumn << "\" type=\"" << type() << "\"";
}

void KolmNode::headXML(const std::string &name, std::ostream *out, bool empty) const
{
    *out << "<" << name << " ";
    locationXML(out);
    *out << (empty ? " />\n" : ">\n");
}

void KolmNode::tailXML(const std::string &name, std::ostream *out) const
{
    *out << "</" << name << ">\n";
}

void KolmNode::io_pad(int indent, int level, std::ostream *out)
{
    if (indent > 0 && level > 0)
        *out << std::string(size_t(indent) * size_t(level), ' ');
}

void KolmNode::nullToXML(int indent, int level, std::ostream *out)
{
    io_pad(indent, level, out);
    *out << "<Null />\n";
}

std::string KolmNode::location() const
{
    const std::vector<kolm::ReplaceOp> *parsing = kolm::ParsingLineMapping::current();
    const int32_t line = parsing ? kolm::mapLine(beginLine, *parsing) : beginLine;
    return file + ":" + std::to_string(line) + ":" + std::to_string(beginColumn);
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
