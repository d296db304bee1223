#!/usr/bin/env bash
# Compile time and peak memory of the compiler on generated scripts of
# growing size up to the largest image the format holds, at levels 0 and 1,
# and on pathological sources. A Release build goes to build-bench (or
# $KOLM_BENCH_BUILD_DIR).
#
# usage: bash bench/compiler_bench.sh
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KOLM_BENCH_BUILD_DIR:-$here/build-bench}
if [ ! -f "$build/CMakeCache.txt" ]; then
  generator=()
  if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
  cmake -S "$here" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DKOLM_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target compiler_bench >/dev/null
"$build/bench/compiler_bench"
