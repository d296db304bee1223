#pragma once

#include <cstdlib>

// Ends the run as a finding when a property the target promises does not
// hold.
inline void check(bool condition)
{
    if (!condition)
        std::abort();
}
