#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/install-deps.sh"
build=${KOLM_TEST_BUILD_DIR:-$here/build-asan}
bash "$here/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLM_SANITIZE=ON
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
