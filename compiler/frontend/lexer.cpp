// The driver: runs the preprocessor, the scanner and the parser over one
// source and reports their faults.

#include "lexer.h"

#include "console_printer.h"
#include "kolm_scanner.h"

#include <fstream>
#include <sys/stat.h>
#include <sstream>

namespace kolm {

namespace {

const char kName[] = "[A-Za-z_][0-9A-Za-z_]*";
const char kOperand[] = "[A-Za-z_][0-9A-Za-z_]*|0x[0-9A-Fa-f]+|[0-9]+";

std::regex pattern(const std::string &text)
{
    return std::regex(text, std::regex::ECMAScript);
}

// The directive patterns: compiling them costs more than preprocessing a
// small file, and every include makes a driver of its own.
struct DirectivePatterns {
    DirectivePatterns()
        : re_word(pattern(R"re(#\s*([A-Za-z_][0-9A-Za-z_]*)[\s\S]*)re")),
          re_define(pattern(std::string(R"re(#\s*define\s+(?:\(\s*()re") + kName + R"re()\s*\)|()re" + kName +
                        R"re())(?:\s+([\s\S]*))?)re")),
          re_undef(pattern(std::string(R"re(#\s*undef\s+()re") + kName + ")")),
          re_include(pattern(R"re(#\s*include\s*(?:"([-/.0-9A-Za-z_]+)"|<([-/.0-9A-Za-z_]+)>))re")),
          re_ifdef(pattern(std::string(R"re(#\s*(ifdef|ifndef)\s+()re") + kName + ")")),
          re_if_defined(pattern(std::string(R"re(#\s*if\s+(!?)defined\s*\(\s*()re") + kName + R"re()\s*\)\s*)re")),
          re_if_value(pattern(std::string(R"re(#\s*(if|elif)\s+(?:\(\s*)?()re") + kOperand + R"re()(?:\s*\)\s*)?)re")),
          re_if_compare(pattern(std::string(R"re(#\s*(if|elif)\s+\(\s*()re") + kOperand + R"re()\s*([^\s]+)\s*()re" +
                            kOperand + R"re()\s*\)\s*)re")),
          re_else(pattern(R"re(#\s*else\s*)re")),
          re_endif(pattern(R"re(#\s*endif\s*)re")),
          re_define_value(pattern(R"re(|['.0-9A-Za-z\\_]+|"(?:\\.|[^"\\])*")re"))
    {
    }

    std::regex re_word, re_define, re_undef, re_include, re_ifdef, re_if_defined, re_if_value, re_if_compare, re_else,
        re_endif, re_define_value;
};

const DirectivePatterns &directivePatterns()
{
    static const DirectivePatterns patterns;
    return patterns;
}

} // namespace

Compiler::Compiler(KolmGenContext *context)
    : context(context),
      re_word(directivePatterns().re_word),
      re_define(directivePatterns().re_define),
      re_undef(directivePatterns().re_undef),
      re_include(directivePatterns().re_include),
      re_ifdef(directivePatterns().re_ifdef),
      re_if_defined(directivePatterns().re_if_defined),
      re_if_value(directivePatterns().re_if_value),
      re_if_compare(directivePatterns().re_if_compare),
      re_else(directivePatterns().re_else),
      re_endif(directivePatterns().re_endif),
      re_define_value(directivePatterns().re_define_value)
{
}

Compiler::~Compiler()
{
    delete root;
}

bool Compiler::parse_file(const std::string &fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        console_output("kcc", "error", CONSOLE_RED, "%s: No such file or directory\n", fileName.c_str());
        error_flag = true;
        return false;
    }
    // A directory opens like a file and reads as empty; it is no source.
    struct stat status;
    if (stat(fileName.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        console_output("kcc", "error", CONSOLE_RED, "%s: Is a directory\n", fileName.c_str());
        error_flag = true;
        return false;
    }
    return parse_stream(in, fileName);
}

bool Compiler::parse_string(const std::string &text, const std::string &name)
{
    std::istringstream in(text);
    return parse_stream(in, name);
}

bool Compiler::parse_stream(std::istream &in, const std::string &name)
{
    error_flag = false;
    std::stringstream text;
    if (!preprocess_stream(in, text, name))
        return false;

    delete root;
    root = nullptr;
    Scanner lexer(&text, nullptr);
    lexer.set_debug(trace_scanning);
    lexer.setErrorHandler([this](const location &where, const std::string &message) { error(where, message); });
    scanner = &lexer;
    scan_location = location(&file_name);

    int result = 1;
    try {
        // A source without a single token (a guarded include seen before)
        // is an empty file, not a syntax error.
        location start = scan_location;
        pending_token = lexer.lex(&pending_value, &scan_location);
        pending_location = scan_location;
        if (pending_token == Token::EndOfFile) {
            root = new KolmBlock(&start);
            result = 0;
        } else {
            Parser parser(*this);
            parser.set_debug_level(trace_parsing);
            result = parser.parse();
        }
    } catch (const std::exception &e) {
        error(std::string("internal scanner error: ") + e.what());
    }
    pending_token = -1;
    scanner = nullptr;
    return result == 0 && !error_flag;
}

int Compiler::lex(Parser::semantic_type *value, location *loc, size_t parserStack)
{
    if (parserStack > kMaxParserStack) {
        *loc = pending_token >= 0 ? pending_location : scan_location;
        error(*loc, "nested too deeply: more than " + std::to_string(kMaxParserStack) +
                        " open symbols in the parser");
        return Parser::token::YYerror;
    }
    if (pending_token >= 0) {
        const int token = pending_token;
        pending_token = -1;
        *value = pending_value;
        *loc = pending_location;
        return token;
    }
    const int token = scanner->lex(value, &scan_location);
    *loc = scan_location;
    return token;
}

bool Compiler::checkExpressionDepth(int depth, const location &where)
{
    if (depth <= kMaxExpressionDepth)
        return true;
    error(where, "expression nested deeper than " + std::to_string(kMaxExpressionDepth) + " levels");
    return false;
}

void Compiler::error(const location &where, const std::string &message)
{
    const std::string file = where.begin.filename ? *where.begin.filename : std::string();
    console_output("kcc", "error", CONSOLE_RED, "%s:%d:%d %s\n", file.c_str(),
                   getLineNumber(where.begin.line, replace_ops), where.begin.column, message.c_str());
    error_flag = true;
}

void Compiler::error(const std::string &message)
{
    console_output("kcc", "error", CONSOLE_RED, "%s\n", message.c_str());
    error_flag = true;
}

int Compiler::getLineNumber(int line, const std::vector<ReplaceOp> &ops)
{
    return mapLine(line, ops);
}

void Compiler::dump_replace_stack(std::ostream &out) const
{
    for (const ReplaceOp &op : replace_ops)
        out << "\n/* @@ -" << op.from_line << "," << op.from_count << " +" << op.to_line << "," << op.to_count
            << " @@ */";
    out << "\n";
}

} // namespace kolm
