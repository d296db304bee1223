// The driver: runs the preprocessor, the scanner and the parser over one
// source and reports their faults.

#include "lexer.h"

#include "console_printer.h"
#include "kolm_scanner.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kolm {

namespace {

// The whole file; false with the reason when a read fails part-way.
bool readAll(int fd, std::string *text, std::string *reason)
{
    try {
        char block[65536];
        for (;;) {
            const ssize_t n = ::read(fd, block, sizeof block);
            if (n == 0)
                return true;
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                *reason = std::strerror(errno);
                return false;
            }
            text->append(block, size_t(n));
        }
    } catch (const std::bad_alloc &) {
        *reason = std::strerror(ENOMEM);
        return false;
    }
}

} // namespace

Compiler::Compiler(KolmGenContext *context)
    : context(context)
{
}

Compiler::~Compiler()
{
    delete root;
}

bool Compiler::parse_file(const std::string &fileName)
{
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        console_output("kcc", "error", CONSOLE_RED, "%s: No such file or directory\n", fileName.c_str());
        error_flag = true;
        return false;
    }
    // A directory opens like a file; it is no source.
    struct stat status;
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        console_output("kcc", "error", CONSOLE_RED, "%s: Is a directory\n", fileName.c_str());
        error_flag = true;
        return false;
    }
    std::string text;
    std::string reason;
    const bool read = readAll(fd, &text, &reason);
    ::close(fd);
    if (!read) {
        file_name = fileName;
        return readError(reason);
    }
    return parse_string(text, fileName);
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
    last_token = 0;
    else_if_links.clear();

    int result = 1;
    const ParsingLineMapping parsingLines(&replace_ops);
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
    // A link's `else` stays on the stack until the chain is reduced.
    while (!else_if_links.empty() && else_if_links.back() > parserStack)
        else_if_links.pop_back();
    const size_t held = (kElseIfLinkSymbols - 1) * else_if_links.size();
    if (parserStack > held && parserStack - held > kMaxParserStack) {
        *loc = pending_token >= 0 ? pending_location : scan_location;
        error(*loc, "nested too deeply: more than " + std::to_string(kMaxParserStack) +
                        " open symbols in the parser");
        return Parser::token::YYerror;
    }
    int token = pending_token;
    if (token >= 0) {
        pending_token = -1;
        *value = pending_value;
        *loc = pending_location;
    } else {
        token = scanner->lex(value, &scan_location);
        *loc = scan_location;
    }
    if (token == Token::If && last_token == Token::Else)
        else_if_links.push_back(parserStack);
    last_token = token;
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
