#!/usr/bin/env bash
# Builds the round-trip benchmark of halvane-kdb's emulator mode in a release
# build and runs it: own-address requests one after the other over loopback,
# with the machine halted and with a busy script; prints round trips per
# second. Arguments: halvane-kdb programs to compare (default: the one built
# with it). Environment: KOLM_BENCH_BUILD_DIR (default build-bench).
exec bash "$(dirname "$0")/run-release.sh" emu_roundtrip_bench "$@"
