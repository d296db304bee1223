#ifndef KOLM_SCANNER_H
#define KOLM_SCANNER_H

// The Kolm scanner: flex's generated KolmFlexLexer under the class that the
// parser reads its tokens from.

#if !defined(yyFlexLexerOnce)
#undef yyFlexLexer
#define yyFlexLexer KolmFlexLexer
#include <FlexLexer.h>
#endif

#include "kolm_grammar.hh"

#include <functional>
#include <istream>
#include <ostream>
#include <string>

namespace kolm {

class Scanner : public KolmFlexLexer
{
public:
    // Receives each fault of the text (an unknown character, a malformed
    // directive operand) with its location; scanning goes on after it.
    using ErrorHandler = std::function<void(const location &, const std::string &)>;

    // Null streams mean standard input and standard output.
    Scanner(std::istream *in, std::ostream *out) : KolmFlexLexer(in, out) {}

    // The next token's number (0 at the end), its value and its location;
    // the location carries over from one call to the next.
    virtual int lex(Parser::semantic_type *value, location *loc);

    void set_debug(bool on) { yy_flex_debug = on; }
    void setErrorHandler(ErrorHandler handler) { m_error = std::move(handler); }

    // Moves the location over a text that spans lines: each newline moves
    // the end to the first column of the next line, and the begin follows.
    static void stepmultiline(const char *text, int length, location *loc);

protected:
    // Internal failures of the generated machinery (memory, buffer) are
    // thrown as std::runtime_error; the driver reports them.
    void LexerError(const char *message) override;

private:
    // Reports the fault of the matched text, which ends at the location's
    // end; a text on one line is reported at its own first column.
    void report(const location &loc, const char *text, int length, const std::string &message) const;

    ErrorHandler m_error;
};

} // namespace kolm

#endif
