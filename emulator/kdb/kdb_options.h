#ifndef KDB_OPTIONS_H
#define KDB_OPTIONS_H

// The command line of halvane-kdb: its version, its options and the log
// level word built from them.

#include "stdcommandlineparser.h"

#include <cstdint>
#include <vector>

// The program version, {0, 5, 0}.
extern const std::vector<int> ZUVM_VERSION;

// Sets the parser's texts and version and declares the help, version and
// program options.
void kdb_declare_options(StdCommandLineParser &parser);

// Severity from "level" (0 error, also for any unknown word; 1 warn; 2
// info), the system bit always, the board, emulator and network bits on
// request, the core bit unless "no-core".
uint32_t kdb_level_word(const StdCommandLineParser &parser);

#endif
