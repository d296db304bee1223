#!/usr/bin/env bash
# Builds the emulator mode benchmark in a release build and runs it: the
# benchmark programs (bench/programs) compiled from Kolm source, each run
# locally (halvane-kdb FILE.kcs) and uploaded through the device link to
# halvane-kdb -e with an idle client; prints local and emulator wall time
# and their ratio (goal: at least 0.5), then request round trips per second.
# Arguments: program names (default: fib sum primes format). Environment:
# KOLM_BENCH_BUILD_DIR (default build-bench).
exec bash "$(dirname "$0")/run-release.sh" emu_bench "$@"
