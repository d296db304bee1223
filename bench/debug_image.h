#ifndef KOLM_BENCH_DEBUG_IMAGE_H
#define KOLM_BENCH_DEBUG_IMAGE_H

// Images with a debug section for the benchmarks, built through the code
// generator: functions spread over eight source files, each statement with
// its own debug entry, some with static arrays.

#include <cstddef>
#include <string>

// The largest such image that is at most `bytes` long. The generator's notes
// on standard error (missing locales) are swallowed.
std::string debugImageOfSize(size_t bytes);

#endif
