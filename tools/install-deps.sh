#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, only those
# that are missing. Runs as root, or through sudo otherwise.
# usage: tools/install-deps.sh [fuzz]
#   fuzz  also clang and its libFuzzer runtime, for fuzz/run-all.sh
set -euo pipefail

packages=(
  build-essential
  cmake
  ninja-build
  python3
  libgtest-dev
  libbenchmark-dev
  libtinyxml2-dev
  pkg-config
  bison
  flex
  libfl-dev
  qtbase5-dev
  qtbase5-dev-tools
  libqt5svg5-dev
  libqt5serialport5-dev
  libquazip5-dev
  zlib1g-dev
  qttools5-dev
  qttools5-dev-tools
  qttranslations5-l10n
  libhidapi-dev
  libusb-1.0-0-dev
  libudev-dev
  fonts-material-design-icons-iconfont
  lua5.4
)
if [ "${1:-}" = fuzz ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -eq 0 ]; then
  sudo=()
else
  sudo=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
