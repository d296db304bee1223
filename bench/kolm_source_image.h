#ifndef KOLM_BENCH_SOURCE_IMAGE_H
#define KOLM_BENCH_SOURCE_IMAGE_H

// Kolm source to an image in memory, the way the IDE's project build does
// it: board package, optimisation level, preprocessor, parser, precompile and
// compile passes, image finished by the generator.

#include <string>

// Compiles `source` (named `name` in diagnostics) against the board package
// at `boardPackage`. True with the image in `image`; false with the
// compiler's diagnostics in `diagnostics`.
bool compileKolmSource(const std::string &source, const std::string &name, const std::string &boardPackage,
                       int level, std::string &image, std::string &diagnostics);

#endif
