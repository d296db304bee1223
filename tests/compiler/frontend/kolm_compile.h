#ifndef KOLM_COMPILE_H
#define KOLM_COMPILE_H

// The test driver of the compiler: compiles one Kolm source into an image
// file in the order in which the IDE's project page builds, or prints the
// tokens, the preprocessed text or the syntax tree.
//
// kolm-compile [-O0|-O1] [-g] [--bsp FILE] [-I DIR]... [-D NAME=VALUE]...
//              [--tokens|--preprocessed|--tree|--tree-xml] -o OUT.kcs IN.kos
//
// Returns 0 when the image was written (or the listing printed), 1 when the
// build failed, 2 for a bad command line. Listings go to `out`, diagnostics
// to `err`.

#include <ostream>
#include <string>
#include <vector>

int kolmCompile(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

#endif
