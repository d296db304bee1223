#!/usr/bin/env bash
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs every test, then builds a plain Release
# tree and runs every test there as well: a use of freed memory inside Qt's
# own libraries, which the sanitizers cannot see, shows in that run. Both
# runs must pass.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/install-deps.sh"
build=${KOLM_TEST_BUILD_DIR:-$here/build-asan}
release=${KOLM_TEST_RELEASE_BUILD_DIR:-$here/build-release}
status=0
bash "$here/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOLM_SANITIZE=ON
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" || status=1
bash "$here/tools/build.sh" "$release" -DCMAKE_BUILD_TYPE=Release -DKOLM_SANITIZE=OFF
ctest --test-dir "$release" --output-on-failure -j "$(nproc)" || status=1
exit "$status"
