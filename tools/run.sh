#!/usr/bin/env bash
# Installs what is missing, builds, and runs the IDE kolmide with the local
# emulator as its device. Without a display it says so and runs halvane-kdb
# on the bundled example image instead; arguments go to halvane-kdb.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/tools/install-deps.sh"
build=$here/build
bash "$here/tools/build.sh" "$build" -DCMAKE_BUILD_TYPE=Release
bin=$build/emulator/kdb
if [ $# -eq 0 ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
  # The device dialog offers the local emulator once this setting is on.
  conf=${XDG_CONFIG_HOME:-$HOME/.config}/kolm.dev/KolmIDE.conf
  if ! grep -qs '^EMUEnabled=' "$conf"; then
    mkdir -p "$(dirname "$conf")"
    printf '\n[RemoteTCP]\nEMUEnabled=true\n' >> "$conf"
  fi
  echo "Starting kolmide, with the local emulator (halvane-kdb) enabled as a device."
  exec "$bin/kolmide"
fi
if [ $# -eq 0 ]; then
  echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set): kolmide needs one."
  set -- "$here/resources/examples/sum.kcs"
  echo "Running halvane-kdb on the example image resources/examples/sum.kcs (adds 1 to 10):"
fi
exec "$bin/halvane-kdb" "$@"
