#ifndef KOLM_TEST_RESIDENT_MEMORY_H
#define KOLM_TEST_RESIDENT_MEMORY_H

// The resident memory of a process, for checks that a program's memory
// stays bounded while it is driven hard.

#include <fstream>
#include <string>
#include <sys/types.h>

// VmRSS of the process in kB; -1 when it cannot be read.
inline long residentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

#endif
