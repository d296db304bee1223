#ifndef KOLM_AST_H
#define KOLM_AST_H

// The syntax tree of a Kolm source: every node class.

#include "ast_expressions.h"
#include "ast_statements.h"

#endif
