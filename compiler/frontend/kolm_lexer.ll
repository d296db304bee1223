/* The Kolm token rules. */

%{
#include "kolm_scanner.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#undef YY_DECL
#define YY_DECL int kolm::Scanner::lex(kolm::Parser::semantic_type *yylval, kolm::location *yylloc)

#define YY_USER_ACTION yylloc->columns(yyleng);

// A refill reads as much as the buffer holds. The buffer doubles while one
// token outgrows it, and each refill scans the token again from its start:
// with reads of flex's fixed 8 KB a megabyte-long comment or name would be
// scanned again for every 8 KB of it.
#define YY_READ_BUF_SIZE (1 << 30)

using token = kolm::Parser::token;

// A token that carries its own number as value.
#define CODE(t) do { yylval->code = token::t; return token::t; } while (0)
// A token that carries its text.
#define TEXT(t) do { yylval->text = new std::string(yytext, size_t(yyleng)); return token::t; } while (0)

namespace {

// Counts the newlines of a token that may span lines (a string literal):
// the end moves to the line and column after it; the begin stays.
void spanLines(const char *text, int length, kolm::location *loc)
{
    int lines = 0;
    int after = 0;
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\n') {
            ++lines;
            after = 0;
        } else {
            ++after;
        }
    }
    if (lines > 0) {
        loc->lines(lines);
        loc->columns(after);
    }
}

std::string shown(const char *text, int length)
{
    std::string result;
    for (int i = 0; i < length; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            result += char(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(c));
            result += escaped;
        }
    }
    return result;
}

} // namespace
%}

%option c++
%option prefix="Kolm"
%option noyywrap nounput noinput batch nodefault
%option warn

%x INCLUDE_NAME DEFINE_VALUE DEFINE_KEY UNDEF_KEY

NAME [A-Za-z_][0-9A-Za-z_]*

%%

^#include                           BEGIN(INCLUDE_NAME);
<INCLUDE_NAME>[ \t]*[\x22<]         ;
<INCLUDE_NAME>[-/.0-9A-Za-z_]+[\x22>] { BEGIN(INITIAL); TEXT(Lex_Include); }

^#define                            BEGIN(DEFINE_KEY);
<DEFINE_KEY>[ \t]+\(?               ;
<DEFINE_KEY>{NAME}                  { BEGIN(DEFINE_VALUE); TEXT(Lex_DefineKey); }
<DEFINE_VALUE>\)?[ \t]+             ;
<DEFINE_VALUE>['.0-9A-Za-z\\_]+     { BEGIN(INITIAL); TEXT(Lex_DefineConstant); }
<DEFINE_VALUE>\x22(\\.|[^\x22\\])*\x22 {
                                        BEGIN(INITIAL);
                                        spanLines(yytext, yyleng, yylloc);
                                        TEXT(Lex_DefineLiteral);
                                    }
<DEFINE_VALUE>\)?[ \t\r]*(\/\/.*)?\n {
                                        /* A define without a value: an empty value; the
                                           newline is scanned again as the line's end. */
                                        BEGIN(INITIAL);
                                        yyless(yyleng - 1);
                                        yylloc->columns(-1);
                                        yylval->text = new std::string;
                                        return token::Lex_DefineConstant;
                                    }
<DEFINE_VALUE>.                     report(*yylloc, yytext, yyleng, "invalid define value");

^#undef                             BEGIN(UNDEF_KEY);
<UNDEF_KEY>[ \t]+                   ;
<UNDEF_KEY>{NAME}                   { BEGIN(INITIAL); TEXT(Lex_Undef); }

<INCLUDE_NAME,DEFINE_KEY,UNDEF_KEY>\n {
                                        report(*yylloc, yytext, yyleng, "incomplete directive");
                                        BEGIN(INITIAL);
                                        yyless(0);
                                        yylloc->columns(-1);
                                    }
<INCLUDE_NAME,DEFINE_KEY,UNDEF_KEY>. report(*yylloc, yytext, yyleng, "Unknown token '" + shown(yytext, yyleng) + "'");

"var"                               CODE(Lex_VAR);
"sizeof"                            CODE(Lex_sizeof);
"case"                              CODE(Lex_case);
"default"                           CODE(Lex_default);
"if"                                CODE(Lex_if);
"else"                              CODE(Lex_else);
"switch"                            CODE(Lex_switch);
"do"                                CODE(Lex_do);
"while"                             CODE(Lex_while);
"for"                               CODE(Lex_for);
"goto"                              CODE(Lex_goto);
"continue"                          CODE(Lex_continue);
"break"                             CODE(Lex_break);
"return"                            CODE(Lex_return);
"in"                                CODE(Lex_CondIn);

{NAME}                              TEXT(Lex_Identifier);
0[0-9]+                             TEXT(Lex_ConstantO);
[0-9]+                              TEXT(Lex_ConstantD);
0[xX][0-9a-fA-F]+                   TEXT(Lex_ConstantH);
'([^\\'\n]|\\.|\\[xX][0-9a-fA-F]{2})' TEXT(Lex_ConstantC);

"{"                                 CODE(Lex_LBrace);
"}"                                 CODE(Lex_RBrace);
"("                                 CODE(Lex_LParen);
")"                                 CODE(Lex_RParen);
"["                                 CODE(Lex_LSquare);
"]"                                 CODE(Lex_RSquare);
","                                 CODE(Lex_Comma);
":"                                 CODE(Lex_Colon);
";"                                 CODE(Lex_SemiColon);
"="                                 CODE(Lex_Equals);
"*="                                CODE(Lex_AssMult);
"/="                                CODE(Lex_AssDiv);
"%="                                CODE(Lex_AssMod);
"+="                                CODE(Lex_AssAdd);
"-="                                CODE(Lex_AssSub);
"<<="                               CODE(Lex_AssShl);
">>="                               CODE(Lex_AssShr);
"<<"                                CODE(Lex_MathShl);
">>"                                CODE(Lex_MathShr);
"&="                                CODE(Lex_AssAnd);
"|="                                CODE(Lex_AssOr);
"^="                                CODE(Lex_AssXor);
"=="                                CODE(Lex_CondEq);
"!="                                CODE(Lex_CondNeq);
"<"                                 CODE(Lex_CondLess);
"<="                                CODE(Lex_CondLessEq);
">"                                 CODE(Lex_CondGreat);
">="                                CODE(Lex_CondGreatEq);
"||"                                CODE(Lex_CondOr);
"&&"                                CODE(Lex_CondAnd);
"++"                                CODE(Lex_MathUnoAdd);
"--"                                CODE(Lex_MathUnoSub);
"+"                                 CODE(Lex_MathPlus);
"-"                                 CODE(Lex_MathMinus);
"*"                                 CODE(Lex_MathMult);
"/"                                 CODE(Lex_MathDiv);
"%"                                 CODE(Lex_MathMod);
"|"                                 CODE(Lex_MathOr);
"&"                                 CODE(Lex_MathAnd);
"^"                                 CODE(Lex_MathXor);
"~"                                 CODE(Lex_MathNot);
"!"                                 CODE(Lex_BoolNot);
"?"                                 CODE(Lex_CondTern);
"."                                 CODE(Lex_Dot);

\x22(\\.|[^\x22\\])*\x22            { spanLines(yytext, yyleng, yylloc); TEXT(Lex_Literal); }
\n                                  { yylloc->lines(1); yylloc->step(); }
[ \t\r]                             yylloc->step();
"/*"([^*]|\*+[^*/])*\*+"/"          stepmultiline(yytext, yyleng, yylloc);
"/*"([^*]|\*+[^*/])*\**             {
                                        report(*yylloc, yytext, yyleng, "unterminated comment");
                                        stepmultiline(yytext, yyleng, yylloc);
                                    }
"//".*                              ;
.                                   {
                                        report(*yylloc, yytext, yyleng, "Unknown token '" + shown(yytext, yyleng) + "'");
                                        yylloc->step();
                                    }

%%

int KolmFlexLexer::yylex()
{
    std::fputs("in ExampleFlexLexer::yylex() !\n", stderr);
    return 0;
}

void kolm::Scanner::stepmultiline(const char *text, int length, location *loc)
{
    for (int i = 0; i < length; ++i) {
        if (text[i] == '\n')
            loc->lines(1);
        loc->step();
    }
}

void kolm::Scanner::LexerError(const char *message)
{
    throw std::runtime_error(message);
}

void kolm::Scanner::report(const location &loc, const char *text, int length, const std::string &message) const
{
    if (!m_error)
        return;
    location at = loc;
    if (std::find(text, text + length, '\n') == text + length) {
        at.begin = at.end;
        at.begin.column = at.end.column - length > 1 ? at.end.column - length : 1;
    }
    m_error(at, message);
}
