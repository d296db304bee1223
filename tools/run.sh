#!/usr/bin/env bash
# Installs what is missing, builds, and starts the product.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/install-deps.sh"
build=$here/build
bash "$here/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release
echo "Built into $build:"
find "$build" -maxdepth 2 -type f \( -name '*.a' -o -perm -u+x \) -newer "$here/CMakeLists.txt" \
  -not -path '*/CMakeFiles/*' -printf '  %P\n' | sort
