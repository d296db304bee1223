#!/usr/bin/env bash
# Builds the disassembler benchmark in a release build and runs it: a 60 KB
# image with its debug section listed as JSON (goal: under 50 ms), text and
# XML. Environment: KOLM_BENCH_BUILD_DIR (default build-bench).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KOLM_BENCH_BUILD_DIR:-$here/build-bench}
bash "$here/tools/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLM_BUILD_TESTS=OFF
fi
cmake --build "$build" -j "$(nproc)" --target disasm_bench
"$build/bench/disasm_bench"
