#ifndef KOLM_TEST_KDB_PROGRAM_H
#define KOLM_TEST_KDB_PROGRAM_H

// The halvane-kdb program under test and small helpers for its command lines
// and outputs.

#include <string>
#include <vector>

const std::string kProgram = KDB_PROGRAM;

// The program followed by the given arguments.
inline std::vector<std::string> command(std::vector<std::string> args)
{
    args.insert(args.begin(), kProgram);
    return args;
}

inline bool endsWith(const std::string &text, const std::string &end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

#endif
