#!/usr/bin/env bash
# Installs what is missing, builds, and runs halvane-kdb: on the bundled
# example image, or with the arguments given.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/install-deps.sh"
build=$here/build
bash "$here/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release
if [ $# -eq 0 ]; then
  set -- "$here/resources/examples/sum.kcs"
  echo "Running halvane-kdb on the example image resources/examples/sum.kcs (adds 1 to 10):"
fi
exec "$build/emulator/kdb/halvane-kdb" "$@"
