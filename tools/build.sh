#!/usr/bin/env bash
# Configures and builds one build tree.
# usage: tools/build.sh BUILD_DIR [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
dir=$1; shift
generator=()
if command -v ninja >/dev/null 2>&1; then generator=(-G Ninja); fi
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S "$here" -B "$dir" "${generator[@]}" "$@"
else
  cmake -S "$here" -B "$dir" "$@"
fi
cmake --build "$dir" -j "$(nproc)"
