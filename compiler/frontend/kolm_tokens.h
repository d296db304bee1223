#ifndef KOLM_TOKENS_H
#define KOLM_TOKENS_H

// Token numbers of the Kolm grammar, as the scanner returns them and as the
// syntax tree stores them for operators. The grammar declares its tokens in
// this order and checks the numbers at compile time.

#include <string>

namespace kolm {

namespace Token {
enum : int {
    EndOfFile = 0,
    Identifier = 258, DefineKey, DefineConstant, DefineLiteral, Undef,
    ConstantD, ConstantO, ConstantH, ConstantC, Literal, Include,
    Sizeof, Case, Default, If, Else, Switch, Do, While, For, Goto, Continue, Break, Return,
    LBrace, RBrace, LParen, RParen, LSquare, RSquare, Comma, Colon, SemiColon,
    AssMult, AssDiv, AssMod, AssAdd, AssSub, AssShl, AssShr, AssAnd, AssOr, AssXor,
    Var, Dot, MathShl, MathShr, CondTern,
    CondEq, CondNeq, CondLess, CondLessEq, CondGreat, CondGreatEq, CondOr, CondAnd, CondIn,
    MathUnoAdd, MathUnoSub, Equals, MathAnd, BoolNot, MathMinus, MathPlus, MathDiv, MathMult, MathMod,
    MathNot, MathOr, MathXor,
    Then
};
}

// The grammar's name of a token number ("Lex_Identifier", "end of file"),
// "invalid token" for a number the grammar does not know.
std::string tokenName(int token);

} // namespace kolm

#endif
