#!/usr/bin/env bash
# Installs what is missing, builds one benchmark TARGET in a release tree and
# runs it with the remaining arguments. Environment: KOLM_BENCH_BUILD_DIR
# (default build-bench).
#   bash bench/run-release.sh TARGET [ARGS...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KOLM_BENCH_BUILD_DIR:-$here/build-bench}
target=$1
shift
bash "$here/tools/install-deps.sh"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOLM_BUILD_TESTS=OFF
fi
cmake --build "$build" -j "$(nproc)" --target "$target"
"$build/bench/$target" "$@"
