#!/usr/bin/env bash
# Builds the load test of halvane-kdb's emulator mode in a release build and
# runs it over loopback: upload and read-back of a 60 KB image (goal: under
# one second), connect cycles, random bytes, back-to-back requests, a
# waiting second client, message bursts, and the program's memory before
# and after. Environment: KOLM_BENCH_BUILD_DIR (default build-bench).
exec bash "$(dirname "$0")/run-release.sh" load_test "$@"
