#ifndef KOLM_LEXER_H
#define KOLM_LEXER_H

// The compiler's front end over one Kolm source: a line preprocessor for the
// conditional directives, then the scanner and the parser, which leave the
// syntax tree in the driver. Diagnostics go to console_output as "kcc"
// errors; the driver keeps a sticky error flag.

#include "ast.h"
#include "kolm_grammar.hh"

#include <deque>
#include <istream>
#include <map>
#include <ostream>
#include <string>
#include <vector>

class KolmGenContext;

namespace kolm {

class Scanner;

// One open #if/#ifdef/#ifndef group.
struct PreprocessorConditional {
    // One #if, #elif or #else line and the lines under it.
    struct Branch {
        int line;        // zero-based source line of the directive
        int output_line; // preprocessed lines written before it
        bool active;     // whether the lines under it survive
    };

    // Appends a branch: active when the group's enclosing lines are active,
    // no earlier branch was taken, and the condition holds (or it is the
    // #else). Always true.
    bool startBranch(int line, int outputLine, bool condition, bool isElse);

    bool enclosing_active = true; // every enclosing branch is active
    bool else_seen = false;
    bool taken = false;
    std::vector<Branch> branches;
};

class Compiler
{
public:
    explicit Compiler(KolmGenContext *context);
    ~Compiler();
    Compiler(const Compiler &) = delete;
    Compiler &operator=(const Compiler &) = delete;

    // Preprocesses, scans and parses a file; false when it cannot be read,
    // when preprocessing or parsing failed, or when any error was reported.
    bool parse_file(const std::string &fileName);
    bool parse_string(const std::string &text, const std::string &name);
    bool parse_stream(std::istream &in, const std::string &name);

    // The preprocessor alone: the surviving lines into `out`, the line
    // mapping into replace_ops.
    bool preprocess_stream(std::istream &in, std::ostream &out, const std::string &name);

    // Bounds of the syntax tree, far above what scripts use, so that the
    // recursive passes over it (precompile, fold, compile, the dumps and
    // the destructors) never exhaust the stack. The parser's stack grows by
    // one to six symbols for each level of brackets, blocks, statements,
    // ternaries or prefix operators; expressions count their own levels,
    // operators chained to the left (a 2,000-term sum) included. A chain of
    // `else if` is one statement after another, not nesting: each link
    // holds six symbols until the chain ends, and counts as one.
    static constexpr size_t kMaxParserStack = 2048;
    static constexpr size_t kElseIfLinkSymbols = 6;
    static constexpr int kMaxExpressionDepth = 4096;

    // The next token for the parser, from the scanner of the parse in
    // progress; with a parser stack deeper than kMaxParserStack, reports
    // the nesting and returns the error token, which ends the parse.
    int lex(Parser::semantic_type *value, location *loc, size_t parserStack = 0);

    // Reports an expression deeper than kMaxExpressionDepth; false then.
    bool checkExpressionDepth(int depth, const location &where);

    // A syntax error at a location of the preprocessed text, reported at
    // its source line.
    void error(const location &where, const std::string &message);
    void error(const std::string &message);

    // The source line of a line of the preprocessed text.
    static int getLineNumber(int line, const std::vector<ReplaceOp> &ops);

    // The line mapping as comments, for debugging.
    void dump_replace_stack(std::ostream &out) const;

    bool trace_scanning = false;
    bool trace_parsing = false;
    std::string file_name;
    Scanner *scanner = nullptr; // during parse_stream only
    KolmGenContext *context;
    KolmBlock *root = nullptr;  // the tree of the last parse, owned
    std::vector<ReplaceOp> replace_ops;
    std::map<std::string, std::string> defines;       // handed in by the caller
    std::map<std::string, std::string> local_defines; // met in this source
    bool error_flag = false;

private:
    bool processInputLine(const std::string &line, std::ostream &out);
    bool processMacro(const std::string &directive, std::ostream &out);
    bool processConditional(const std::string &word, const std::string &directive);
    bool processPassedOn(const std::string &word, const std::string &directive, std::ostream &out);
    bool processMacroIf(bool condition, bool enclosingActive);
    bool processMacroElif(bool condition);
    bool processMacroElse();
    bool processMacroEndif();
    bool evaluateCondition(const std::string &directive, bool *matched, bool *condition);
    bool getDefineValue(const std::string &token, int *value);
    bool isDefined(const std::string &name) const;
    bool linesActive() const;
    void writeLine(const std::string &text, std::ostream &out);
    void dropLine();
    bool preprocessorError(const char *format, const std::string &argument = std::string());
    // Whether this source, with the sources of the build counted before it,
    // stays within the generator's bounds (always without a generator).
    bool sourceFits() const;
    // Reports that the source could not be read ("Cannot read NAME: REASON").
    bool readError(const std::string &reason);

    std::deque<PreprocessorConditional> conditionals;
    int input_line = 0;
    int output_line = 0;
    int removed_from = 0;  // first source line of the removed run, one-based
    int removed_count = 0; // source lines removed since the last written line
    size_t output_bytes = 0; // preprocessed text written

    // The parse in progress: the scanner's location and the first token,
    // read ahead to tell an empty source from a syntax error.
    location scan_location;
    int pending_token = -1;
    // The tokens of the parse in progress: the one returned last, and the
    // parser's stack depth at each `if` that continues an open `else if`
    // chain (innermost last).
    int last_token = 0;
    std::vector<size_t> else_if_links;
    Parser::semantic_type pending_value;
    location pending_location;

};

} // namespace kolm

#endif
