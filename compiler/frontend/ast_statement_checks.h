#ifndef KOLM_AST_STATEMENT_CHECKS_H
#define KOLM_AST_STATEMENT_CHECKS_H

// Checks and steps that several statement nodes share in the compile pass.

#include "ast.h"

#include <ostream>
#include <string>

namespace kolm_ast {

// Compiles an optional child of a statement; on failure adds the parent's
// "while compiling" line. True for an absent child.
bool compileChild(KolmNode *child, const KolmNode &parent, KolmGenContext *ctx, std::ostream *out);

// Whether a variable or static array may take the name: not visible as a
// variable, not a function, no reserved word, special entry function or
// builtin. False (reported at the declaration) otherwise.
bool declarableName(const KolmNode &declaration, const std::string &name, KolmGenContext *ctx);

// Whether the statement or any statement inside it declares a label. A
// branch that a constant condition never runs is still compiled when it
// does, so that a goto can reach the label.
bool declaresLabel(const KolmStatement *statement);

} // namespace kolm_ast

#endif
