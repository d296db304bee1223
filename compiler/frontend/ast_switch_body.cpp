// Regrouping a switch's parsed body: every case and default label is a
// statement of its own; the statements after it move into its block.

#include "ast.h"
#include "ast_diagnostics.h"
#include "console_printer.h"

bool KolmSwitchBlock::parseBody(KolmStatement *body)
{
    static const char *const notABlock =
        "%s: switch keyword must be followed by a conditonal expression and a compound block, got %s\n";
    if (!body) {
        console_output("kcc", "error", CONSOLE_RED, notABlock, location().c_str(), "null");
        return false;
    }
    auto *compound = dynamic_cast<KolmCompoundBlock *>(body);
    if (!compound) {
        console_output("kcc", "error", CONSOLE_RED, notABlock, location().c_str(), kolm_ast::quoted(body).c_str());
        delete body;
        return false;
    }
    if (compound->declarations) {
        console_output("kcc", "error", CONSOLE_RED, "%s: No declarations are allowed inside a switch block\n",
                       location().c_str());
        delete compound;
        return false;
    }
    bool result = true;
    if (auto *block = dynamic_cast<KolmBlock *>(compound->statements)) {
        for (KolmStatement *statement : block->statements) {
            if (auto *branch = dynamic_cast<KolmSwitchBranch *>(statement)) {
                branches.push_back(branch);
            } else if (!branches.empty()) {
                static_cast<KolmSwitchBranch *>(branches.back())->statements->statements.push_back(statement);
            } else {
                console_output("kcc", "error", CONSOLE_RED, "%s: %s inside switch block is out of context\n",
                               location().c_str(), kolm_ast::quoted(statement).c_str());
                strays.push_back(statement);
                result = false;
            }
        }
        block->statements.clear();
    }
    delete compound;
    return result;
}
